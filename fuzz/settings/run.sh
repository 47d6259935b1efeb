#!/bin/sh
# Builds the settings-file parser fuzzer with clang (libFuzzer, AddressSanitizer, UBSan) and runs it.
# Usage: fuzz/settings/run.sh [seconds]     (default 60)
# Build and corpus go to $FUZZ_BUILD_DIR (default build-settings/fuzz in the repository).
# Exits non-zero when the fuzzer finds a crash; the reproducer is left in the build folder.
set -eu

seconds="${1:-60}"
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
out="${FUZZ_BUILD_DIR:-$repo/build-settings/fuzz}"
cxx="${CLANGXX:-clang++}"

mkdir -p "$out/corpus"
"$cxx" -std=c++20 -O1 -g -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$repo" \
    "$here/RegistryFileFuzz.cpp" "$repo/settings/RegistryFile.cpp" \
    -o "$out/registry_file_fuzz"

# Oversized inputs are refused before parsing, so inputs a little past the file bound are enough.
exec "$out/registry_file_fuzz" "$out/corpus" "$here/seeds" \
    -dict="$here/settings.dict" \
    -max_len=1100000 -len_control=200 -rss_limit_mb=2048 \
    -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$out/"
