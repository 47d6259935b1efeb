#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts Horavia.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
root=$(repo_root)

install_missing
configure_and_build "$root/build/release" -DCMAKE_BUILD_TYPE=Release

program="$root/build/release/horavia"
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
