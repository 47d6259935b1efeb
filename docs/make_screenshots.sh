#!/usr/bin/env bash
# Takes the README's screenshots of the real program under Xvfb: docs/screenshot.png (the clock),
# docs/stopwatch.png and docs/countdown.png. Usage: docs/make_screenshots.sh <path to horavia>
set -euo pipefail
program=$(realpath "$1")
docs=$(cd "$(dirname "$0")" && pwd)
source "$docs/../tests/e2e/lib.sh"

start_x
write_settings 0 0 ""
start_app "$program"
crop() { convert "$E2E_TMP/$1.png" -crop "400x250+$WX+$WY" +repage "$docs/$2"; }

shot clock
crop clock screenshot.png
click 153 61  # stopwatch tab
click 170 129 # start
sleep 2.4
shot stopwatch
crop stopwatch stopwatch.png
click 240 61 # back to the clock
set_up_countdown 59
sleep 1.3
shot countdown
crop countdown countdown.png
echo "screenshots written to $docs"
