#!/usr/bin/env bash
# The real program measured as a user runs it, on a private Xvfb: start to first mapped window, resident
# memory after 10 s, and CPU over 30 s idle, with the stopwatch running and with a countdown running.
# A second program given with --peer is measured in the same run, so the figures compare on one machine
# at one time; another build of Horavia given as the peer (an earlier one, say) is driven as ours is. It
# prints figures and never fails on a number; it is not a test.
#
#   bench/program_bench.sh build/release/horavia [--peer "ktimer" --peer-name KTimer] [--runs 5] [--seconds 30]
#   bench/program_bench.sh build/release/horavia --peer /tmp/old/horavia --peer-name '^Horavia$'
set -euo pipefail

usage() {
    echo "usage: $0 <horavia binary> [--peer \"<command line>\" --peer-name <window name regex>] [--runs N] [--seconds S]" >&2
    exit 2
}

[ $# -ge 1 ] || usage
program=$(realpath "$1")
shift
peer=""
peer_name=""
runs=5
seconds=30
while [ $# -gt 0 ]; do
    case $1 in
    --peer) peer=$2; shift 2 ;;
    --peer-name) peer_name=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    *) usage ;;
    esac
done
[ -x "$program" ] || { echo "not an executable: $program" >&2; exit 2; }
if [ -n "$peer" ] && [ -z "$peer_name" ]; then
    echo "--peer needs --peer-name, a regular expression for its window's title" >&2
    exit 2
fi

# The private X server, config, home and runtime folder, and the helpers that click the window.
# shellcheck source-path=SCRIPTDIR source=../tests/e2e/lib.sh
source "$(dirname "$0")/../tests/e2e/lib.sh"
start_x
# Both programs get a session bus of their own: KDE programs refuse to start without one, and ours
# registers its inhibitors and sleep monitor on it.
dbus-daemon --session --fork --nopidfile --address="unix:path=$XDG_RUNTIME_DIR/bus" --print-pid 1 >"$E2E_TMP/bus.pid"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
BUS_PID=$(cat "$E2E_TMP/bus.pid")
trap '[ -z "$APP_PID" ] || kill "$APP_PID" 2>/dev/null || true; kill "$BUS_PID" 2>/dev/null || true; cleanup' EXIT

write_settings 0 0 "" # no message box, no sound, no speech: nothing but the window

# Watches the X server for the first mapped top-level window whose title matches, and prints the wall
# clock of that event. It is driven by the server's own MapNotify and PropertyNotify events, not by
# polling, so the time is that of the map to well under a millisecond.
cat >"$E2E_TMP/mapwatch.py" <<'PY'
import ctypes, ctypes.util, re, select, sys, time
x = ctypes.CDLL(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XPending.argtypes = [ctypes.c_void_p]
x.XConnectionNumber.argtypes = [ctypes.c_void_p]
x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
                                 ctypes.c_int, ctypes.c_ulong] + [ctypes.c_void_p] * 5
x.XFree.argtypes = [ctypes.c_void_p]
x.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7
x.XGetImage.restype = ctypes.c_void_p
x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                        ctypes.c_ulong, ctypes.c_int]
x.XDestroyImage.argtypes = [ctypes.c_void_p]
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
ignore_errors = ERROR_HANDLER(lambda display, error: 0)  # a window gone between two requests is no reason to stop
x.XSetErrorHandler(ignore_errors)

class Event(ctypes.Structure):  # the head shared by XMapEvent and XPropertyEvent, padded to an XEvent
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("pad", ctypes.c_long * 18)]

MAP_NOTIFY, PROPERTY_NOTIFY = 19, 28
SUBSTRUCTURE_NOTIFY, PROPERTY_CHANGE = 1 << 19, 1 << 22
title = re.compile(sys.argv[1])
deadline = time.time() + float(sys.argv[2])
display = x.XOpenDisplay(None)
net_wm_name = x.XInternAtom(display, b"_NET_WM_NAME", 0)
x.XSelectInput(display, x.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY)
x.XSync(display, 0)
print("ready", flush=True)

def property_text(window, atom):
    kind, fmt = ctypes.c_ulong(), ctypes.c_int()
    count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
    if x.XGetWindowProperty(display, window, atom, 0, 1024, 0, 0, ctypes.byref(kind), ctypes.byref(fmt),
                            ctypes.byref(count), ctypes.byref(after), ctypes.byref(data)) != 0 or not data:
        return ""
    text = ctypes.string_at(data, count.value) if fmt.value == 8 else b""
    x.XFree(data)
    return text.decode("utf-8", "replace")

def name(window):  # the UTF-8 title toolkits set, else the legacy one, whatever its encoding
    return property_text(window, net_wm_name) or property_text(window, 39)  # 39: XA_WM_NAME

mapped = set()  # a title may be set after the map: watch the mapped windows' properties too
event, fd = Event(), x.XConnectionNumber(display)
while time.time() < deadline:
    if not x.XPending(display):
        select.select([fd], [], [], max(0.0, deadline - time.time()))
        continue
    x.XNextEvent(display, ctypes.byref(event))
    now = time.time()
    if event.type == MAP_NOTIFY:
        window = event.window
        x.XSelectInput(display, window, PROPERTY_CHANGE)
        mapped.add(window)
    elif event.type == PROPERTY_NOTIFY and event.event in mapped:
        window = event.event
    else:
        continue
    if title.search(name(window)):
        print("%.6f" % now, flush=True)
        break
else:
    print("timeout", flush=True)
    sys.exit(1)

# First painted: the window's middle row holds a pixel that is not black, the colour of the bare screen.
# Sampled every millisecond, which is also the resolution of this figure.
root, wx, wy = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_int()
width, height, border, depth = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
x.XGetGeometry(display, window, *(ctypes.byref(v) for v in (root, wx, wy, width, height, border, depth)))
row_bytes = width.value * 4  # a 24-bit screen stores a pixel in 32 bits
while time.time() < deadline:
    image = x.XGetImage(display, window, 0, height.value // 2, width.value, 1, 0x00FFFFFF, 2)  # ZPixmap
    now = time.time()
    if image:
        data = ctypes.cast(ctypes.c_void_p.from_address(image + 16).value, ctypes.POINTER(ctypes.c_ubyte))
        painted = any(data[i] for i in range(row_bytes) if i % 4 != 3)
        x.XDestroyImage(image)
        if painted:
            print("%.6f" % now, flush=True)
            sys.exit(0)
    time.sleep(0.001)
print("timeout", flush=True)
sys.exit(1)
PY

calc() { python3 -c "print($1)"; }
# since <t0> <t1>: milliseconds from one wall-clock time to the other, "-" when the second is not a time.
since() { if [[ $2 =~ ^[0-9.]+$ ]]; then calc "round(($2 - $1) * 1000, 1)"; else echo "-"; fi; }

# launch <title regex> <command...>: starts the program as APP_PID and sets START_MS, the time from its
# start to its first mapped window with that title, and PAINT_MS, to that window's first painted pixels
# ("-" when either did not come within 20 s).
launch() {
    local title=$1 mapped painted t0
    shift
    coproc WATCH { python3 "$E2E_TMP/mapwatch.py" "$title" 20; }
    read -r _ <&"${WATCH[0]}"
    t0=$EPOCHREALTIME
    "$@" >>"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    read -r mapped <&"${WATCH[0]}" || mapped=""
    read -r painted <&"${WATCH[0]}" || painted=""
    wait "$WATCH_PID" 2>/dev/null || true
    START_MS=$(since "$t0" "$mapped")
    PAINT_MS=$(since "$t0" "$painted")
}

end_app() {
    [ -n "$APP_PID" ] || return 0
    kill -TERM "$APP_PID" 2>/dev/null || true
    wait_for 5 app_gone || kill -KILL "$APP_PID" 2>/dev/null || true
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=""
    end_speech_service
}

# A speech-dispatcher that a program started on the private runtime folder (libspeechd spawns one on the
# first connection) would otherwise keep a core busy for a second while the next program starts.
end_speech_service() {
    local -a pids
    mapfile -t pids < <(pgrep -f -- "--socket-path $XDG_RUNTIME_DIR/" || true)
    [ "${#pids[@]}" -eq 0 ] || kill "${pids[@]}" 2>/dev/null || true
}

# cpu_ns <pid>: CPU time of all its threads so far, in ns, from the scheduler's own account
# (/proc/<pid>/task/*/schedstat, first field), which is exact where /proc/<pid>/stat counts 10 ms ticks.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d", s }'; }
rss_mb() { awk '/^VmRSS:/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }

# cpu_percent <pid> <seconds>: CPU over that wall-clock span, in % of one core.
cpu_percent() {
    local c0 c1 t0 t1
    c0=$(cpu_ns "$1")
    t0=$EPOCHREALTIME
    sleep "$2"
    c1=$(cpu_ns "$1")
    t1=$EPOCHREALTIME
    calc "round(100 * ($c1 - $c0) / 1e9 / ($t1 - $t0), 3)"
}

median() { python3 -c "import statistics, sys; v = [float(a) for a in sys.argv[1:] if a != '-']; print(round(statistics.median(v), 1) if v else '-')" "$@"; }

ktimer_countdown() {
    # ktimer restores each job's state from its config: one 10-minute job, saved as started (2).
    mkdir -p "$XDG_CONFIG_HOME"
    printf '[Job0]\nCommand=true\nConsecutive=false\nDelay=600\nLoop=false\nOneInstance=true\nState=2\n\n[Jobs]\nNumber=1\n' \
        >"$XDG_CONFIG_HOME/ktimerrc"
}

read -r -a peer_cmd <<<"$peer"
ours_title='^Horavia$'

# Start-up: one warm-up start each (it fills the page cache and the font cache), then the programs take
# turns so a slow moment of the machine falls on both.
ours_starts=()
peer_starts=()
ours_paints=()
peer_paints=()
launch "$ours_title" "$program"
end_app
if [ -n "$peer" ]; then
    launch "$peer_name" "${peer_cmd[@]}"
    end_app
fi
for _ in $(seq "$runs"); do
    launch "$ours_title" "$program"
    ours_starts+=("$START_MS")
    ours_paints+=("$PAINT_MS")
    end_app
    if [ -n "$peer" ]; then
        launch "$peer_name" "${peer_cmd[@]}"
        peer_starts+=("$START_MS")
        peer_paints+=("$PAINT_MS")
        end_app
    fi
done

# measure_long <title> <command...>: RSS 10 s after start, then CPU over the span as the program started.
measure_long() {
    launch "$@"
    [ "$START_MS" != "-" ] || fail "$2 showed no window titled $1"
    sleep 10
    app_gone && fail "$2 ended by itself"
    RSS=$(rss_mb "$APP_PID")
    IDLE=$(cpu_percent "$APP_PID" "$seconds")
}

# measure_horavia <command...>: RSS and CPU as started, then with the stopwatch running and with a countdown
# running, as STOPWATCH and COUNTDOWN.
measure_horavia() {
    measure_long "$ours_title" "$@"
    WIN=$(window_id)
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    WX=$X
    WY=$Y
    click 153 61  # the stopwatch tab
    click 170 129 # start
    digits_run || fail "the stopwatch did not start"
    STOPWATCH=$(cpu_percent "$APP_PID" "$seconds")
    set_up_countdown 600 # ten minutes: it runs through the whole span
    digits_run || fail "the countdown did not start"
    COUNTDOWN=$(cpu_percent "$APP_PID" "$seconds")
    end_app
}
# digits_run: the LCD digits change, so the clock being measured really runs.
digits_run() {
    shot before
    wait_for 3 digits_differ_from before
}
digits_differ_from() {
    shot now
    [ "$(region_hash "$1" $((WX + 18)) $((WY + 165)) 364 48)" != "$(region_hash now $((WX + 18)) $((WY + 165)) 364 48)" ]
}

measure_horavia "$program"
ours_rss=$RSS
ours_idle=$IDLE
ours_stopwatch=$STOPWATCH
ours_countdown=$COUNTDOWN

peer_stopwatch="-"
peer_countdown="-"
peer_countdown_note=""
if [ -n "$peer" ] && [ "$(basename "${peer_cmd[0]}")" = horavia ]; then
    # Another build of this program (an earlier one, say): driven as ours is.
    measure_horavia "${peer_cmd[@]}"
    peer_rss=$RSS
    peer_idle=$IDLE
    peer_stopwatch=$STOPWATCH
    peer_countdown=$COUNTDOWN
    peer_countdown_note="driven as ours is"
elif [ -n "$peer" ]; then
    measure_long "$peer_name" "${peer_cmd[@]}"
    peer_rss=$RSS
    peer_idle=$IDLE
    end_app
    if [ "$(basename "${peer_cmd[0]}")" = ktimer ]; then
        ktimer_countdown
        launch "$peer_name" "${peer_cmd[@]}"
        sleep 2
        peer_countdown=$(cpu_percent "$APP_PID" "$seconds")
        peer_countdown_note="a 10-minute job restored as started from its config"
        end_app
        rm -f "$XDG_CONFIG_HOME/ktimerrc"
    else
        peer_countdown_note="not driven: no way known to start its countdown"
    fi
fi

# The report.
row() { printf '%-36s %12s %12s\n' "$@"; }
peer_label=${peer_cmd[0]:+$(basename "${peer_cmd[0]}")}
echo "Horavia program benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "start: exec to the first mapped window with the title, timed by the X server's MapNotify event (no"
echo "       polling); painted: a pixel of the window's middle row is not black, sampled every 1 ms;"
echo "       medians of $runs after one warm-up start each, the programs taking turns"
echo "CPU:   run time of all threads from /proc/<pid>/task/*/schedstat over $seconds s, in % of one core"
echo
row "" "Horavia" "${peer_label:-}"
row "start to first mapped window, ms" "$(median "${ours_starts[@]}")" "${peer:+$(median "${peer_starts[@]}")}"
row "start to first painted window, ms" "$(median "${ours_paints[@]}")" "${peer:+$(median "${peer_paints[@]}")}"
row "resident memory after 10 s, MB" "$ours_rss" "${peer_rss:-}"
row "CPU as started, %" "$ours_idle" "${peer_idle:-}"
row "CPU, stopwatch running, %" "$ours_stopwatch" "${peer_label:+$peer_stopwatch}"
row "CPU, countdown running, %" "$ours_countdown" "${peer_label:+$peer_countdown}"
echo
echo "Horavia mapped, ms: ${ours_starts[*]}; painted, ms: ${ours_paints[*]}"
[ -z "$peer" ] || echo "$peer_label mapped, ms: ${peer_starts[*]}; painted, ms: ${peer_paints[*]}"
[ -z "$peer" ] || echo "$peer_label's countdown: $peer_countdown_note"
