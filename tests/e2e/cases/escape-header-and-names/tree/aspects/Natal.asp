Types as the list writes them
<!--Trine;
Square;
Sextile;
Conjunction;
Opposition;
