Aspect types for natal charts, in the order of the aspect-type table
Conjunction;      0°  orb 9°
Opposition;       180°  orb 9°
Trine;            120°  orb 8°
Square;           90°  orb 8°
Sextile;          60°  orb 6°
Quincunx;         150°  orb 3°
Sesquiquadrate;   135°  orb 2°
Semisquare;       45°  orb 2°
Semisextile;      30°  orb 2°
Quintile;         72°  orb 1.5°
