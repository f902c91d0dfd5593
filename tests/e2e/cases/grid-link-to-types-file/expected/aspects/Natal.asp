Natal types
Conjunction;  0 deg
Trine ; 120 deg
Square;
