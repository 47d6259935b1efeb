#!/usr/bin/env bash
# Builds contact sheets of the drawn pictures, each on the ground it is shown on and scaled up
# without smoothing, so that every pixel can be checked by eye: contact_sheet.sh <assets> <out dir>
set -euo pipefail
assets=${1:?assets folder}
out=${2:?output folder}
mkdir -p "$out"
lcd='rgb(240,243,216)'
window='rgb(212,212,212)'

sheet() { # sheet <name> <ground> <scale> <files...>
    local name=$1 ground=$2 scale=$3
    shift 3
    montage "$@" -background "$ground" -filter point -resize "${scale}00%" -geometry +6+6 -tile 6x "$out/$name.png"
}

sheet digits_large "$lcd" 3 "$assets"/images/Digits/large_*.png
sheet digits_small "$lcd" 4 "$assets"/images/Digits/small_*.png
sheet tabs "$window" 3 "$assets"/images/Buttons/*_48.png
sheet chrome "$window" 6 "$assets"/images/Buttons/{min,close}_*.png
montage "$assets"/images/Buttons/splitter_*.png -background "$window" -filter point -resize 500% -geometry +6+6 \
    -tile 1x "$out/splitter.png"
montage "$assets"/images/Buttons/lcd_*.png -background "$lcd" -filter point -resize 500% -geometry +6+6 \
    -tile 2x "$out/lcd_buttons.png"
sheet lcd_buttons_1x "$lcd" 1 "$assets"/images/Buttons/lcd_*.png
sheet frames "$window" 12 "$assets"/images/MainBox/*_*.png "$assets"/images/LCDBox/*_*.png
sheet icons "$window" 1 "$assets"/icons/horavia-*.png
