#!/usr/bin/env bash
# Minimizing to the tray, as the default settings do: the window hides and the tray icon appears; the
# countdown's time-up box comes and is closed with Return; the program is still there, hidden in the tray,
# and a click on the icon brings the window back. The icon shows only while the window is hidden.
set -euo pipefail
program=$1
tray_host=$2
source "$(dirname "$0")/lib.sh"

sound="$E2E_TMP/alarm.wav"
alarm_sound 10 "$sound"

start_x
start_tray "$tray_host"
shot empty_tray
EMPTY_SLOT=$(region_hash empty_tray "$TRAY_X" "$TRAY_Y" 24 24)
# The first icon's place in the tray shows something other than the bare panel.
icon_shown() {
    shot tray
    [ "$(region_hash tray "$TRAY_X" "$TRAY_Y" 24 24)" != "$EMPTY_SLOT" ]
}
icon_hidden() { ! icon_shown; }
# The docked icon is a window titled like the program too, inside the tray: only top-level windows count.
window_id() { xdotool search --maxdepth 1 --onlyvisible --name '^Horavia$' 2>/dev/null | head -n 1; }
main_shown() { xdotool search --maxdepth 1 --onlyvisible --name '^Horavia$' 2>/dev/null | grep -qx "$WIN"; }
main_hidden() { ! main_shown; }
# The time-up box: the other top-level window titled like the program.
box_id() { xdotool search --maxdepth 1 --onlyvisible --name '^Horavia$' 2>/dev/null | grep -vx "$WIN" | head -n 1; }
tray_box_shown() { [ -n "$(box_id)" ]; }
tray_box_gone() { ! tray_box_shown; }
minimize() {
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    WX=$X
    WY=$Y
    click 368 11 # the minimize button, left of the close button in the title row
}

write_settings 1 1 "$sound"
sed -i 's/"MinimizeToTray"=dword:00000000/"MinimizeToTray"=dword:00000001/' "$XDG_CONFIG_HOME/horavia/settings.conf"
start_app "$program"
shot started
icon_hidden || fail "the tray icon shows while the window is shown"

set_up_countdown 3
minimize
wait_for 5 main_hidden || fail "the minimize button did not hide the window"
wait_for 5 icon_shown || fail "no tray icon while the window is hidden: $(cat "$E2E_TMP/tray.log")"
shot minimized

wait_for 15 tray_box_shown || fail "no time-up message box"
wait_for 5 tail_sounding "$SDL_DISKAUDIOFILE" || fail "the alarm sound is not playing while the box is open"
shot box
xdotool windowfocus "$(box_id)" 2>/dev/null || true
xdotool key Return
wait_for 5 tray_box_gone || fail "Return did not close the box"
# The sound fades out once the box is closed; by then a program about to end would have ended.
wait_for 10 tail_silent "$SDL_DISKAUDIOFILE" || fail "the sound goes on after the box was closed"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended when the time-up box was closed"
main_hidden || fail "closing the box showed the window"
icon_shown || fail "the tray icon went away with the box"
shot after_box

xdotool mousemove $((TRAY_X + 12)) $((TRAY_Y + 12)) sleep 0.05 click 1
wait_for 5 main_shown || fail "a click on the tray icon did not bring the window back"
wait_for 5 icon_hidden || fail "the tray icon stays after the window was restored"
shot restored
# Brought back from the tray, the window ticks again: its clock's seconds move on screen.
clock_moves() {
    shot restored_later
    [ "$(region_hash restored $((WX + 18)) $((WY + 165)) 364 48)" != "$(region_hash restored_later $((WX + 18)) $((WY + 165)) 364 48)" ]
}
wait_for 5 clock_moves || fail "the restored window's clock does not move on"

minimize
wait_for 5 main_hidden || fail "the second minimize did not hide the window"
wait_for 5 icon_shown || fail "no tray icon after the second minimize"
shot minimized_again

stop_app
stop_tray
echo "tray e2e passed"
