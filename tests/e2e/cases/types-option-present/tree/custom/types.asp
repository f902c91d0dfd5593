Sextile;
Square;
Conjunction;
