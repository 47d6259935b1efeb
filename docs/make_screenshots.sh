#!/usr/bin/env bash
# Takes the README's screenshots of the real program under Xvfb: docs/screenshot.png (the clock),
# docs/stopwatch.png and docs/countdown.png, docs/stopwatch@2x.png on a 200 % screen (QT_SCALE_FACTOR=2),
# and docs/stopwatch_en.png, the stopwatch of a first run in an English locale.
# Usage: docs/make_screenshots.sh <path to horavia>
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
stop_app

# The same window on a 200 % screen: twice the device pixels, drawn from the 2x pictures.
QT_SCALE_FACTOR=2 start_app "$program"
click 306 122 # stopwatch tab
click 340 258 # start
sleep 2.4
shot stopwatch2x
convert "$E2E_TMP/stopwatch2x.png" -crop "800x500+$WX+$WY" +repage "$docs/stopwatch@2x.png"
stop_app

# A first run (no settings yet) in an English locale: the program speaks English.
rm -rf "$XDG_CONFIG_HOME/horavia"
start_app env -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 "$program"
click 153 61  # stopwatch tab
click 170 129 # start
sleep 2.4
shot stopwatch_en
crop stopwatch_en stopwatch_en.png
echo "screenshots written to $docs"
