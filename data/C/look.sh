# Variant C: deep teal. Read by data/make-data.sh.
letter=C
logo=logo_gb.bmp                 # forced to 37.6 x 8 by the reader
music=Interlude3a.mp3
backdrop_centre='#1d4240'
backdrop_edge='#061211'
accent='#d7f0dc'
plate='#173634'
chords=("146.83 220.00 277.18 369.99" "123.47 185.00 246.94 293.66" "130.81 196.00 261.63 329.63" "110.00 164.81 220.00 277.18")
