Natal types
Trine;
Square;
 Sextile;
Semi Square;
