#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts Horavia.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
root=$(repo_root)

install_missing
configure_and_build "$root/build/release" -DCMAKE_BUILD_TYPE=Release

program="$root/build/release/horavia"

# A pending countdown wakes the machine from sleep through an alarm timer that needs the
# wake-alarm capability. Grant it where we can without asking for a password.
if [ "$(id -u)" -eq 0 ] || sudo -n true 2>/dev/null; then
    if as_root setcap cap_wake_alarm+ep "$program" 2>/dev/null; then
        echo "Granted the wake-alarm capability to $program (setcap cap_wake_alarm+ep),"
        echo "so a pending countdown can wake the machine from sleep."
    else
        echo "Could not grant the wake-alarm capability (setcap); a countdown will not wake the machine."
    fi
else
    echo "Not root: a countdown cannot wake the machine from sleep. To allow it, run:"
    echo "    sudo setcap cap_wake_alarm+ep $program"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<MSG
Built $program.
Horavia is a desktop program and needs a graphical session, and none was found
(neither DISPLAY nor WAYLAND_DISPLAY is set). To try it without a desktop, run it
on a virtual X server:

    xvfb-run -s '-screen 0 1280x800x24' $program

MSG
    exit 2
fi
exec "$program" "$@"
