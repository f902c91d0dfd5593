Trine;
Square;
Trine;
