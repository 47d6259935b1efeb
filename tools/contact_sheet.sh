#!/usr/bin/env bash
# Builds contact sheets of the drawn pictures, each on the ground it is shown on and scaled up
# without smoothing, so that every pixel can be checked by eye: contact_sheet.sh <assets> <out dir>
# Each sheet is made twice, from the 1x pictures and from the @2x ones at half the magnification, so
# the two sheets show the pictures at the same size and the 2x sheet shows its finer pixels.
set -euo pipefail
shopt -s nullglob
assets=${1:?assets folder}
out=${2:?output folder}
mkdir -p "$out"
lcd='rgb(240,243,216)'
window='rgb(212,212,212)'

# pick <suffix> <files...>: the files drawn at that scale ("" for 1x, "@2x" for 2x).
pick() {
    local suffix=$1 f
    shift
    for f in "$@"; do
        case $f in
        *@2x.png) [ "$suffix" = @2x ] && printf '%s\n' "$f" ;;
        *) [ -z "$suffix" ] && printf '%s\n' "$f" ;;
        esac
    done
    return 0
}

# sheet <name> <ground> <magnification at 1x> <columns> <files...>
sheet() {
    local name=$1 ground=$2 scale=$3 tile=$4 suffix factor
    shift 4
    for suffix in "" @2x; do
        factor=$((scale * 100))
        [ -z "$suffix" ] || factor=$((scale * 50))
        mapfile -t files < <(pick "$suffix" "$@")
        [ "${#files[@]}" -gt 0 ] || continue
        montage "${files[@]}" -background "$ground" -filter point -resize "${factor}%" -geometry +6+6 \
            -tile "$tile" "$out/$name$suffix.png"
    done
}

b=$assets/images/Buttons
sheet digits_large "$lcd" 3 6x "$assets"/images/Digits/large_*.png
sheet digits_small "$lcd" 4 6x "$assets"/images/Digits/small_*.png
sheet tabs "$window" 3 6x "$b"/*_48.png "$b"/*_48@2x.png
sheet chrome "$window" 6 6x "$b"/{min,close}_*.png
sheet splitter "$window" 5 1x "$b"/splitter_*.png
sheet lcd_buttons "$lcd" 5 2x "$b"/lcd_*.png
sheet lcd_buttons_en "$lcd" 5 2x "$b"/en/lcd_*.png
sheet lcd_buttons_1x "$lcd" 2 2x "$b"/lcd_*.png "$b"/en/lcd_*.png
sheet frames "$window" 12 6x "$assets"/images/MainBox/*_*.png "$assets"/images/LCDBox/*_*.png
sheet icons "$window" 1 8x "$assets"/icons/horavia-*.png
