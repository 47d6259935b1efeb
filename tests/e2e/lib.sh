# Helpers for driving the real program under a private X server. Sourced by the e2e scripts.
# shellcheck shell=bash

E2E_TMP=$(mktemp -d)
export XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/runtime" HOME="$E2E_TMP/home"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

XVFB_PID=""
APP_PID=""
TRAY_PID=""

fail() {
    echo "FAIL: $*" >&2
    [ -s "$E2E_TMP/app.log" ] && sed 's/^/  program: /' "$E2E_TMP/app.log" | tail -n 20 >&2
    [ -n "${E2E_KEEP:-}" ] || cp "$E2E_TMP"/*.png /tmp/ 2>/dev/null || true
    exit 1
}

cleanup() {
    # Each kill may find its process gone already; that must not stop the rest of the cleanup.
    [ -z "$APP_PID" ] || kill "$APP_PID" 2>/dev/null || true
    [ -z "$TRAY_PID" ] || kill "$TRAY_PID" 2>/dev/null || true
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null
    rm -rf "$E2E_TMP"
}
trap cleanup EXIT

# Starts Xvfb on a display number the server picks and reports itself once it listens (choosing one here
# raced with a server of an earlier test that was still going away). -noreset: by default the server
# resets when its last client leaves, and a program connecting right then is refused.
start_x() {
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_for 10 test -s "$E2E_TMP/display" || fail "no X server could be started: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$(head -n 1 "$E2E_TMP/display")"
    wait_for 10 xdpyinfo_ok || fail "the X server on $DISPLAY does not answer"
}

xdpyinfo_ok() { xdotool getmouselocation >/dev/null 2>&1; }

# wait_for <seconds> <command...>: polls the command every 0.1 s until it succeeds.
wait_for() {
    local limit=$1
    shift
    local tries=$((limit * 10))
    while [ "$tries" -gt 0 ]; do
        "$@" && return 0
        sleep 0.1
        tries=$((tries - 1))
    done
    return 1
}

window_id() { xdotool search --name '^Horavia$' 2>/dev/null | head -n 1; }

start_app() {
    "$@" >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    wait_for 20 window_id >/dev/null || fail "the window did not appear"
    WIN=$(window_id)
    # The first tick composes the window 10 ms after start; give the X server a moment to show it.
    wait_for 5 window_painted || fail "the window was never painted"
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    WX=$X
    WY=$Y
}

window_painted() {
    eval "$(xdotool getwindowgeometry --shell "$(window_id)")"
    [ "$(pixel_at $((X + 200)) $((Y + 10)))" != "0,0,0" ]
}

# Screenshot of the whole screen.
shot() { import -window root "$E2E_TMP/$1.png"; }

# pixel_at <x> <y> [shot]: "r,g,b" of a screen pixel, from a fresh screenshot or a named one.
pixel_at() {
    local file="$E2E_TMP/.probe.png"
    if [ -n "${3:-}" ]; then file="$E2E_TMP/$3.png"; else import -window root "$file"; fi
    convert "$file" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}

# region_hash <shot> <x> <y> <w> <h>: a digest of a rectangle of a screenshot.
region_hash() { convert "$E2E_TMP/$1.png" -crop "$4x$5+$2+$3" +repage rgb:- | md5sum | cut -d' ' -f1; }

# click <x> <y> [button]: a click at window coordinates.
click() {
    xdotool mousemove $((WX + $1)) $((WY + $2)) sleep 0.05 click "${3:-1}"
    sleep 0.2
}

# hex_utf16 <text>: the text as UTF-16LE bytes in the settings file's "aa,bb,..." notation.
hex_utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//'; }

# alarm_sound <seconds> <file>: a sine tone of that length as the alarm, with the program's audio
# written by SDL's disk driver to $SDL_DISKAUDIOFILE, where the tests read what sounded.
alarm_sound() {
    command -v ffmpeg >/dev/null || fail "ffmpeg is missing: cannot make the alarm sound"
    ffmpeg -loglevel error -f lavfi -i "sine=frequency=880:duration=$1" -ac 2 -ar 44100 "$2"
    export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$E2E_TMP/out.raw" SDL_DISKAUDIODELAY=10
}

# write_settings <show box 0|1> <play sound 0|1> <sound file>: a complete settings file, speech off.
write_settings() {
    mkdir -p "$XDG_CONFIG_HOME/horavia"
    cat >"$XDG_CONFIG_HOME/horavia/settings.conf" <<SETTINGS
Horavia Settings Version 1

[Software\\Horavia]
"TimeFormat"=dword:00000001
"Language"=dword:00000000
"MinimizeToTray"=dword:00000000
"ShowMsgBox"=dword:0000000$1
"PlaySound"=dword:0000000$2
"SoundFileW"=hex:$(hex_utf16 "$3")
"TimerTTS"=dword:00000000
"StopwatchTTS"=dword:00000000
"ClockTTS"=dword:00000000
"RemindPeriod"=dword:0000003c
"AutoIncreaseRemindFreq"=dword:00000000
"VoiceNameW"=hex:
"LastWindowPosLeft"=dword:00000064
"LastWindowsPosTop"=dword:00000064
SETTINGS
}

file_size() { stat -c %s "$1" 2>/dev/null || echo 0; }

# grows <file> <seconds>: the file grows within that time.
grows() {
    local before
    before=$(file_size "$1")
    wait_for "$2" bigger_than "$1" "$before"
}
bigger_than() { [ "$(file_size "$1")" -gt "$2" ]; }

# set_up_countdown <seconds>: the timer tab, the set-up dialog, a duration in seconds, OK.
set_up_countdown() {
    click 61 61
    wait_for 10 dialog_shown || fail "the set-up dialog did not open"
    local dlg
    dlg=$(xdotool search --name '^计时器设置$' | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$dlg")"
    xdotool mousemove $((X + 262)) $((Y + 51)) click --repeat 3 1 # the seconds field, all its text
    xdotool key ctrl+a type "$1"
    xdotool key Tab
    xdotool mousemove $((X + 137)) $((Y + 292)) click 1 # OK
    wait_for 5 dialog_gone || fail "the set-up dialog did not close"
}
dialog_shown() { [ -n "$(xdotool search --name '^计时器设置$' 2>/dev/null)" ]; }
dialog_gone() { ! dialog_shown; }
# The time-up message box: a second window titled like the program.
box_shown() { [ "$(xdotool search --onlyvisible --name '^Horavia$' 2>/dev/null | wc -l)" -ge 2 ]; }
box_gone() { ! box_shown; }

# tail_silent <file>: the last 50 ms written (16-bit stereo, 44.1 kHz) are silence, or nothing is written any more.
tail_silent() {
    local before
    before=$(file_size "$1")
    sleep 0.2
    [ "$(file_size "$1")" -eq "$before" ] && return 0
    ! tail -c 8820 "$1" | od -An -tx1 -v | tr -d ' \n' | grep -q '[1-9a-f]'
}
# tail_sounding <file>: the last 50 ms written are not silence.
tail_sounding() { ! tail_silent "$1"; }

# stop_app: ends the program as a session would, with SIGTERM; it must go at once.
stop_app() {
    kill -TERM "$APP_PID"
    wait_for 5 app_gone || fail "the program ignores SIGTERM"
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=""
}
app_gone() { ! kill -0 "$APP_PID" 2>/dev/null; }

# start_tray <tray host>: a system tray on the X server; TRAY_X, TRAY_Y is the corner of its first icon.
start_tray() {
    "$1" >"$E2E_TMP/tray.log" 2>&1 &
    TRAY_PID=$!
    wait_for 10 grep -q '^ready ' "$E2E_TMP/tray.log" || fail "the tray host did not start: $(cat "$E2E_TMP/tray.log")"
    read -r _ TRAY_X TRAY_Y < <(grep '^ready ' "$E2E_TMP/tray.log")
}

# stop_tray: the tray host ends on SIGTERM, with status 0.
stop_tray() {
    kill -TERM "$TRAY_PID"
    wait "$TRAY_PID" || fail "the tray host did not end cleanly"
    TRAY_PID=""
}
