Conjunction;
Trine;
