#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: a Debug build with warnings as
# errors, then the same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
root=$(repo_root)

install_missing

export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

configure_and_build "$root/build/debug" -DCMAKE_BUILD_TYPE=Debug -DHORAVIA_WERROR=ON
ctest --test-dir "$root/build/debug" --parallel "$(nproc)" --timeout 300

configure_and_build "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DHORAVIA_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir "$root/build/asan" --parallel "$(nproc)" --timeout 600 -LE nosanitize

echo "All tests passed."
