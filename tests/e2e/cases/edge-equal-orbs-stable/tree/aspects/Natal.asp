Square;
Trine;
