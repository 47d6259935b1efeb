#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: a Debug build with warnings as errors and the
# house style checked (with the end-to-end tests of the real program under Xvfb), then the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz targets for a bounded time.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
root=$(repo_root)

install_missing

export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

# Every text the user sees is translated into every language: the committed .ts files hold no entry that
# lupdate marked unfinished (new or changed), vanished or obsolete (gone from the sources), and lupdate run
# over the sources now finds no text they lack. The entries at fault are named.
check_translations() {
    local work ts status=0
    work=$(mktemp -d)
    for ts in "$root"/translations/*.ts; do
        cp "$ts" "$work/"
        # The folders whose texts texts/CMakeLists.txt gives lupdate.
        "$(qtpaths6 --query QT_HOST_BINS)/lupdate" -silent -locations none -no-obsolete \
            "$root/texts" "$root/dialogs" "$root/app" -ts "$work/$(basename "$ts")"
        python3 - "$ts" "$work/$(basename "$ts")" <<'PY' || status=1
import sys
import xml.etree.ElementTree as ET

committed, current = sys.argv[1], sys.argv[2]
faults = []
for label, path in (("", committed), (", a text of the sources the file lacks", current)):
    for context in ET.parse(path).getroot().iter("context"):
        for message in context.iter("message"):
            kind = message.find("translation").get("type")
            entry = f'{context.findtext("name")}: "{message.findtext("source")}"'
            if kind in ("unfinished", "vanished", "obsolete") and not any(f.startswith(entry) for f in faults):
                faults.append(f"{entry} {kind}{label}")
for fault in faults:
    print(f"{committed}: {fault}", file=sys.stderr)
sys.exit(1 if faults else 0)
PY
    done
    rm -rf "$work"
    if [ "$status" -ne 0 ]; then
        echo "error: translate the entries above (cmake --build <build> --target update_translations refreshes the files)" >&2
    fi
    return "$status"
}

check_translations

configure_and_build "$root/build/debug" -DCMAKE_BUILD_TYPE=Debug -DHORAVIA_WERROR=ON
"$root/scripts/check_style.sh" "$root/build/debug"
ctest --test-dir "$root/build/debug" --parallel "$(nproc)" --timeout 300

configure_and_build "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DHORAVIA_SANITIZE=ON
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ASAN_OPTIONS=detect_leaks=1 \
    ctest --test-dir "$root/build/asan" --parallel "$(nproc)" --timeout 600 -LE 'nosanitize|e2e|audio'
# The audio library's modules are loaded and unloaded at run time with SDL's and FFmpeg's threads
# inside; LeakSanitizer's exit-time scan crashes on such a process, so these run without it.
ASAN_OPTIONS=detect_leaks=0 \
    ctest --test-dir "$root/build/asan" --parallel "$(nproc)" --timeout 600 -L audio -LE 'nosanitize|e2e'

# Fuzz targets of the parsers that read outside input, each for a bounded time.
for fuzz in "$root"/fuzz/*/run.sh; do
    [ -x "$fuzz" ] || continue
    "$fuzz" "${HORAVIA_FUZZ_SECONDS:-30}"
done

echo "All tests passed."
