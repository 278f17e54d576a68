# Variant B: night blue. Read by data/make-data.sh.
letter=B
logo=logo_gb.bmp                 # forced to 37.6 x 8 by the reader
music=SleepyTime.mp3
backdrop_centre='#1f3350'
backdrop_edge='#060b14'
accent='#cfe2ff'
plate='#182a44'
chords=("130.81 196.00 246.94 329.63" "110.00 164.81 261.63 329.63" "116.54 174.61 220.00 293.66" "98.00 146.83 246.94 293.66")
