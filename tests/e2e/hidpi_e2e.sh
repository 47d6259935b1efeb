#!/usr/bin/env bash
# The real program at 200 % (QT_SCALE_FACTOR=2) under Xvfb: the window has twice the device pixels, its
# digits and its outline are drawn at that resolution rather than enlarged, and a click at a button's
# place still reaches the button. Then two screens, at 100 % and 200 %: the window moved from one to the
# other takes the other's size and is drawn anew for it.
set -euo pipefail
program=$1
source "$(dirname "$0")/lib.sh"

start_x
write_settings 0 0 ""
export QT_SCALE_FACTOR=2
start_app "$program"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
[ "$WIDTH" -eq 800 ] && [ "$HEIGHT" -eq 560 ] || fail "the window is ${WIDTH}x$HEIGHT device pixels, not 800x560"

# analyse <shot> <what>: the window's pixels (800 x 500 from its corner) read by a few lines of Python.
analyse() {
    convert "$E2E_TMP/$1.png" -crop "800x500+$WX+$WY" +repage -depth 8 rgb:- | python3 -c "$ANALYSIS" "$2"
}
ANALYSIS='
import sys
data = sys.stdin.buffer.read()
W = 800
def px(x, y):
    i = 3 * (y * W + x)
    return data[i], data[i + 1], data[i + 2]
what = sys.argv[1]
if what == "outline":
    # The first pixel of each of the top rows that the window covers; the root window is black.
    firsts = [next(x for x in range(W) if px(x, y) != (0, 0, 0)) for y in range(8)]
    print(" ".join(map(str, firsts)))
elif what == "digits":
    # The clock'"'"'s time in the LCD box: logical 18..382 x 165..213, device twice that. Ink is what is
    # much darker than the LCD ground; an enlarged 1x picture has no 2 x 2 block (aligned to the
    # window) with ink and ground in it, a picture drawn at 2x has them all along its edges.
    def ink(x, y):
        r, g, b = px(x, y)
        return r + g + b < 360
    mixed = 0
    top, bottom = 999, 0
    for y in range(330, 426, 2):
        for x in range(36, 764, 2):
            block = [ink(x, y), ink(x + 1, y), ink(x, y + 1), ink(x + 1, y + 1)]
            if any(block):
                top, bottom = min(top, y), max(bottom, y + 1)
            if any(block) and not all(block):
                mixed += 1
    print(mixed, bottom - top + 1)
'

# The outline: its corners follow the 2x curve, not the 1x one with each pixel doubled (rows in pairs).
shot clock
read -r -a firsts <<<"$(analyse clock outline)"
pairs_differ=0
for k in 0 1 2 3; do
    [ "${firsts[$((2 * k))]}" -eq "${firsts[$((2 * k + 1))]}" ] || pairs_differ=1
done
[ "$pairs_differ" -eq 1 ] || fail "the outline's corner is the 1x corner enlarged: first pixels of rows 0-7 are ${firsts[*]}"
[ "$(pixel_at $((WX + 400)) $((WY + 499)) clock)" != "0,0,0" ] || fail "row 499 is not drawn"
[ "$(pixel_at $((WX + 400)) $((WY + 502)) clock)" = "0,0,0" ] || fail "rows below 499 are drawn"

# The digits: drawn at 2x (sharp edges) and at twice the size (48 logical pixels tall at most).
read -r mixed height <<<"$(analyse clock digits)"
[ "$mixed" -ge 200 ] || fail "the digits' edges are blocky: $mixed mixed 2x2 blocks"
[ "$height" -ge 70 ] && [ "$height" -le 96 ] || fail "the digits are $height device pixels tall, not about 2 x 48"

# Hit tests stay in logical pixels: the stopwatch tab and its start button at twice their places.
click $((2 * 153)) $((2 * 61)) # stopwatch tab
click $((2 * 170)) $((2 * 129)) # start
shot run1
digits_changed() {
    shot run2
    [ "$(region_hash run1 $((WX + 36)) $((WY + 330)) 728 96)" != "$(region_hash run2 $((WX + 36)) $((WY + 330)) 728 96)" ]
}
wait_for 5 digits_changed || fail "a click at the start button's place does not start the stopwatch"

stop_app

# Two screens side by side, at 100 % and 200 %: one X screen split into two monitors, LEFT and RIGHT.
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
Xvfb -displayfd 3 -noreset -screen 0 2048x768x24 -nolisten tcp 3>"$E2E_TMP/display2" >"$E2E_TMP/xvfb.log" 2>&1 &
XVFB_PID=$!
wait_for 10 test -s "$E2E_TMP/display2" || fail "no second X server: $(cat "$E2E_TMP/xvfb.log")"
export DISPLAY=":$(head -n 1 "$E2E_TMP/display2")"
wait_for 10 xdpyinfo_ok || fail "the X server on $DISPLAY does not answer"
python3 "$(dirname "$0")/split_monitors.py" 1024 || fail "cannot split the screen into two monitors"
unset QT_SCALE_FACTOR
export QT_SCREEN_SCALE_FACTORS="LEFT=1;RIGHT=2"
write_settings 0 0 ""
start_app "$program"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
[ "$WIDTH" -eq 400 ] || fail "on the 100 % screen the window is $WIDTH device pixels wide"
sized() {
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    WX=$X
    WY=$Y
    [ "$WIDTH" -eq "$1" ] && [ "$HEIGHT" -eq "$2" ]
}
sharp() {
    shot moved
    read -r mixed _ <<<"$(analyse moved digits)"
    [ "$mixed" -ge 200 ]
}
xdotool windowmove "$WIN" 1200 100
wait_for 5 sized 800 560 || fail "moved to the 200 % screen, the window is ${WIDTH}x$HEIGHT device pixels"
wait_for 5 sharp || fail "moved to the 200 % screen, the digits are not drawn at 2x"
read -r -a firsts <<<"$(analyse moved outline)"
[ "${firsts[0]}" -ne "${firsts[1]}" ] || fail "moved to the 200 % screen, the outline is the 1x one enlarged"
xdotool windowmove "$WIN" 100 100
wait_for 5 sized 400 280 || fail "moved back to the 100 % screen, the window is ${WIDTH}x$HEIGHT device pixels"

stop_app
echo "hidpi e2e passed"
