Title line without semicolon
 	 ;
  Square;
Semi square ;
Trine	 ;comment; more
Sextile;