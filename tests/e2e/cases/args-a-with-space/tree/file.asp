Other list



Opposition Sun-Saturn 3°
