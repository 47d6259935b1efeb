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

fail() {
    echo "FAIL: $*" >&2
    [ -n "${E2E_KEEP:-}" ] || cp "$E2E_TMP"/*.png /tmp/ 2>/dev/null || true
    exit 1
}

cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$E2E_TMP"
}
trap cleanup EXIT

# Starts Xvfb on the first free display number.
start_x() {
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        wait_for 10 xdpyinfo_ok && return 0
        kill "$XVFB_PID" 2>/dev/null
    done
    fail "no X server could be started"
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
