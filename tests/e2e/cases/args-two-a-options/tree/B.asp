Sextile;
Square;
