#!/usr/bin/env bash
# A countdown set up through the dialog, run to its end with the alarm sound written by SDL's disk
# driver: once with the message box, once with the LCD stop button.
set -euo pipefail
program=$1
source "$(dirname "$0")/lib.sh"

sound="$E2E_TMP/alarm sound.wav"
alarm_sound 20 "$sound"

start_x

# --- with the message box --------------------------------------------------------------------------
# One value stored with the wrong type (the time format as bytes) costs that value only: the box and
# the sound after it still come, and the user's file is kept aside before it is saved over.
write_settings 1 1 "$sound"
sed -i 's/^"TimeFormat"=dword:00000001$/"TimeFormat"=hex:01,00/' "$XDG_CONFIG_HOME/horavia/settings.conf"
grep -q '^"TimeFormat"=hex:01,00$' "$XDG_CONFIG_HOME/horavia/settings.conf" || fail "could not spoil the time format"
start_app "$program"
set_up_countdown 3
shot counting1
digits_changed() {
    shot counting2
    [ "$(region_hash counting1 $((WX + 18)) $((WY + 165)) 364 48)" != "$(region_hash counting2 $((WX + 18)) $((WY + 165)) 364 48)" ]
}
wait_for 5 digits_changed || fail "the countdown's digits do not change"
wait_for 10 box_shown || fail "no time-up message box"
wait_for 5 tail_sounding "$SDL_DISKAUDIOFILE" || fail "the alarm sound is not playing while the box is open"
box=$(xdotool search --onlyvisible --name "^Horavia$" | grep -v "^$WIN$" | tail -n 1)
xdotool windowfocus "$box" 2>/dev/null || true
xdotool key Return
wait_for 5 box_gone || fail "Enter did not close the box"
# The fade takes about a second; after it the output is silent.
wait_for 10 tail_silent "$SDL_DISKAUDIOFILE" || fail "the sound goes on after the box was closed"
stop_app
ls "$XDG_CONFIG_HOME"/horavia/settings.conf.corrupt-* >/dev/null 2>&1 || fail "the file with the bad value was not kept aside"
grep -q '^"ShowMsgBox"=dword:00000001$' "$XDG_CONFIG_HOME/horavia/settings.conf" || fail "the box's setting was lost on saving"
grep -q '^"TimeFormat"=dword:' "$XDG_CONFIG_HOME/horavia/settings.conf" || fail "the time format was not saved afresh"

# --- without the box: the stop button, and a click anywhere ----------------------------------------
rm -f "$SDL_DISKAUDIOFILE"
write_settings 0 1 "$sound"
start_app "$program"
shot clean
set_up_countdown 2
in_clock_with_stop() {
    shot ended
    # The stop button sits where the cancel button was, over the clock's LCD.
    [ "$(region_hash ended $((WX + 36)) $((WY + 123)) 55 12)" != "$(region_hash clean $((WX + 36)) $((WY + 123)) 55 12)" ] &&
        bigger_than "$SDL_DISKAUDIOFILE" 0
}
wait_for 10 in_clock_with_stop || fail "no stop button while the sound plays"
wait_for 5 tail_sounding "$SDL_DISKAUDIOFILE" || fail "the alarm sound is not playing"
click 300 20 # on the title, not on the button
wait_for 10 tail_silent "$SDL_DISKAUDIOFILE" || fail "a click did not stop the sound"
shot stopped
[ "$(region_hash stopped $((WX + 36)) $((WY + 123)) 55 12)" = "$(region_hash clean $((WX + 36)) $((WY + 123)) 55 12)" ] ||
    fail "the stop button is still shown"

stop_app

# --- a sound server that takes the connection and never answers -----------------------------------
# The window never waits on the sound: the box comes with the countdown's end, not after the
# server's timeout (5 s per connect), and the program goes on after it.
/usr/bin/python3 -c '
import socket, sys
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(8)
print(server.getsockname()[1], flush=True)
held = []
while True:
    held.append(server.accept()[0])
' >"$E2E_TMP/port" &
SILENT_PID=$!
trap 'kill $SILENT_PID 2>/dev/null || true; cleanup' EXIT
wait_for 5 test -s "$E2E_TMP/port" || fail "the silent server did not start"
write_settings 1 1 "http://127.0.0.1:$(cat "$E2E_TMP/port")/alarm.mp3"
start_app "$program"
set_up_countdown 2
# Two seconds to the end, plus room for a loaded machine; a window stuck on the server needs 10 s more.
wait_for 4 box_shown || fail "the box did not come on time with a sound server that never answers"
box=$(xdotool search --onlyvisible --name "^Horavia$" | grep -v "^$WIN$" | tail -n 1)
xdotool windowfocus "$box" 2>/dev/null || true
xdotool key Return
wait_for 5 box_gone || fail "Enter did not close the box"
kill -0 "$APP_PID" || fail "the program ended"
stop_app

echo "countdown e2e passed"
