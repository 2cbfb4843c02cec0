#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick: the icons of the program and of the six
# window kinds, the standard toolbar strip and the splash picture. Run it again after
# changing a picture; the files it writes are what quorix61.rc includes.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
convert=/usr/bin/convert
font=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf

# icon <file> <colour> <letter>: a rounded tile with a letter, at 32 and 16 pixels.
icon() {
    local file=$1 colour=$2 letter=$3 size
    for size in 32 16; do
        $convert -size ${size}x${size} xc:none -fill "$colour" -stroke black \
            -draw "roundrectangle 0,0 $((size - 1)),$((size - 1)) $((size / 6)),$((size / 6))" \
            -fill white -stroke none -font "$font" -pointsize $((size * 3 / 4)) \
            -gravity center -annotate +0+0 "$letter" "tile$size.png"
    done
    $convert tile32.png tile16.png "$file"
    rm -f tile32.png tile16.png
}
icon quorix.ico '#1d4f91' Q
icon worksheet.ico '#2e7d32' W
icon graph.ico '#c62828' G
icon layout.ico '#6a1b9a' L
icon matrix.ico '#ef6c00' M
icon excel.ico '#00695c' X
icon notes.ico '#546e7a' N
icon quorix2.ico '#0d47a1' q

# The toolbar: one 16 by 15 cell per button (new, open, save, cut, copy, paste, print,
# about, context help), on the button face grey.
cells=(N O S X C V P A '?')
args=()
for i in "${!cells[@]}"; do
    args+=(-draw "text $((i * 16 + 4)),12 '${cells[$i]}'")
done
$convert -size 144x15 xc:'#c0c0c0' -fill black -font "$font" -pointsize 11 "${args[@]}" \
    -compress none -type truecolor BMP3:toolbar.bmp

# The splash picture: an 8-bit palette bitmap, as the splash draws it through its palette.
$convert -size 360x180 gradient:'#0d2c5a'-'#3f7fc1' -fill white -font "$font" \
    -pointsize 54 -gravity center -annotate +0-20 'Quorix' \
    -pointsize 16 -annotate +0+34 'Scientific graphing and data analysis' \
    -colors 200 -compress none -type palette BMP3:splash.bmp
