Query form: intervals of the coordinates, redshift and magnitudes
Epoch=2000
Minimal right ascension=02:30:00
Maximal right ascension=14:00:30.5
Minimal declination=-30:00:00
Maximal declination=+45:15:00
Minimal redshift=1.5
Maximal redshift=4
Minimal apparent magnitude=10
Maximal apparent magnitude=20
Minimal absolute magnitude=-30
Maximal absolute magnitude=-20
