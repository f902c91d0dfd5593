Trine;
Square;
