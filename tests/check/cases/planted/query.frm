Query form with traps
Epoch=2000
Minimal right ascension=14:00:00
Maximal right ascension=02:30:00
Minimal declination=-30:00:00
Maximal declination=+45:15:00
Minimal redshift=1,5
Maximal redshift=4
Minimal apparent magnitude=20
Maximal apparent magnitude=10
Minimal absolute magnitude (M=)=-30
Maximal absolute magnitude=-20
