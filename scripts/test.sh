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
