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

# Another program's window over the digits' upper part while they change under it: when it goes away, the window
# shows what it holds now, not the cover's grey nor the digits from before it came.
cat >"$E2E_TMP/cover.py" <<'PY'
import ctypes, ctypes.util, sys
x = ctypes.CDLL(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XCreateSimpleWindow.restype = ctypes.c_ulong
x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + [ctypes.c_uint] * 3 + \
    [ctypes.c_ulong] * 2
x.XMapRaised.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
display = x.XOpenDisplay(None)
left, top, width, height = map(int, sys.argv[1:5])
cover = x.XCreateSimpleWindow(display, x.XDefaultRootWindow(display), left, top, width, height, 0, 0, 0x808080)
x.XMapRaised(display, cover)
x.XSync(display, 0)
print("covered", flush=True)
sys.stdin.readline()  # the cover goes with the connection
PY
a_second_shown() {
    shot now
    [ "$(region_hash run1 $((WX + 18)) $((WY + 195)) 364 18)" != "$(region_hash now $((WX + 18)) $((WY + 195)) 364 18)" ]
}
wait_for 5 a_second_shown || fail "the running stopwatch's seconds do not change"
click 170 129 # pause
coproc COVER { timeout 60 python3 "$E2E_TMP/cover.py" $((WX + 18)) $((WY + 160)) 364 35; }
read -r _ <&"${COVER[0]}"
shot covered
[ "$(pixel_at $((WX + 200)) $((WY + 180)) covered)" = "128,128,128" ] || fail "the cover is not over the digits"
click 230 129 # reset: zeros under the cover
zeros_drawn() {
    shot now
    [ "$(region_hash covered $((WX + 18)) $((WY + 195)) 364 18)" != "$(region_hash now $((WX + 18)) $((WY + 195)) 364 18)" ]
}
wait_for 5 zeros_drawn || fail "the reset stopwatch's digits do not change"
exec {COVER[1]}>&-
wait "$COVER_PID" 2>/dev/null || true
uncovered() { [ "$(pixel_at $((WX + 200)) $((WY + 180)))" != "128,128,128" ]; }
wait_for 5 uncovered || fail "the window was not repainted where the cover was"
shot uncovered
click 200 98 # the tab row hidden and shown again: the LCD drawn anew
click 200 34
shot redrawn
[ "$(region_hash uncovered $((WX + 18)) $((WY + 160)) 364 53)" = "$(region_hash redrawn $((WX + 18)) $((WY + 160)) 364 53)" ] ||
    fail "where the cover was, the window showed other pixels than the display holds"

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
