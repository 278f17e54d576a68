# Variant A: warm dusk. Read by data/make-data.sh.
letter=A
logo=logo_gd.bmp                 # forced to 37.6 x 8 by the reader
music=Supernova.mp3
backdrop_centre='#4a2f3f'        # backdrop: plum centre fading to near black
backdrop_edge='#140b12'
accent='#f3c98b'                 # title and logo text
plate='#3b2533'                  # logo plate
# Music: four chords of four notes (Hz), ten seconds each.
chords=("174.61 220.00 261.63 349.23" "155.56 196.00 261.63 311.13" "146.83 185.00 220.00 293.66" "164.81 207.65 246.94 329.63")
