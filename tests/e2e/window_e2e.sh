#!/usr/bin/env bash
# The real program under Xvfb, used as a person would: its outline, the stopwatch and the splitter.
set -euo pipefail
program=$1
source "$(dirname "$0")/lib.sh"

start_x
start_app "$program"

# The outline: the corners lie outside the window, the frame inside, nothing below row 249.
shot outline
[ "$(pixel_at "$WX" "$WY" outline)" = "0,0,0" ] || fail "top-left corner is drawn"
[ "$(pixel_at $((WX + 399)) "$WY" outline)" = "0,0,0" ] || fail "top-right corner is drawn"
[ "$(pixel_at $((WX + 200)) $((WY + 10)) outline)" != "0,0,0" ] || fail "the title row is not drawn"
[ "$(pixel_at $((WX + 200)) $((WY + 249)) outline)" != "0,0,0" ] || fail "row 249 is not drawn"
[ "$(pixel_at $((WX + 200)) $((WY + 252)) outline)" = "0,0,0" ] || fail "rows below 249 are drawn"

# The stopwatch: enter it, start it, and see its digits change.
click 153 61      # stopwatch tab
click 170 129     # start
shot run1
digits_changed() {
    shot run2
    [ "$(region_hash run1 $((WX + 18)) $((WY + 165)) 364 48)" != "$(region_hash run2 $((WX + 18)) $((WY + 165)) 364 48)" ]
}
wait_for 5 digits_changed || fail "the running stopwatch's digits do not change"

# The splitter hides the tab row and moves the LCD box up by 30 pixels.
before=$(region_hash run2 $((WX + 15)) $((WY + 29)) 368 64)
click 200 98
shot hidden
[ "$before" != "$(region_hash hidden $((WX + 15)) $((WY + 29)) 368 64)" ] || fail "the tab row is still shown"
[ "$(pixel_at $((WX + 200)) $((WY + 40)) hidden)" != "$(pixel_at $((WX + 200)) $((WY + 110)) hidden)" ] ||
    fail "the LCD box did not move up"

# Dragging the title moves the window.
xdotool mousemove $((WX + 120)) $((WY + 10)) mousedown 1 mousemove $((WX + 170)) $((WY + 60)) mouseup 1
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$WIN")"
[ "$X" -ne "$WX" ] || fail "the window did not move when dragged"

# The session ending (SIGTERM) closes the window as the close button does: the new place is saved.
stop_app
grep -qix "\"LastWindowPosLeft\"=dword:$(printf '%08x' "$X")" "$XDG_CONFIG_HOME/horavia/settings.conf" ||
    fail "SIGTERM did not save the window's position ($X): $(grep LastWindowPos "$XDG_CONFIG_HOME/horavia/settings.conf" 2>&1)"

echo "window e2e passed"
