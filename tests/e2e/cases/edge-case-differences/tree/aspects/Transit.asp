Trine;
