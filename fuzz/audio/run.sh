#!/bin/sh
# Builds and runs the ICY header fuzzer for the given number of seconds (default 60).
# Not part of the normal build: needs clang with libFuzzer.
set -eu
seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${FUZZ_OUT:-$root/build-fuzz/audio}
mkdir -p "$out/corpus"
qt_flags=$(pkg-config --cflags Qt6Core)
qt_libs=$(pkg-config --libs Qt6Core)
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fPIC -DQT_NO_KEYWORDS -I"$root" $qt_flags \
    "$here/IcyHeaderFuzzer.cpp" "$root/audio/lib/IcyHeaderParser.cpp" "$root/audio/RsySoundPlayer.cpp" \
    "$root/audio/ModuleLoader.cpp" "$root/audio/QtFadeTimer.cpp" "$root/audio/TMyAudioMixer.cpp" \
    "$root/audio/AudioLog.cpp" "$root/audio/AudioFormats.cpp" "$root/audio/AudioModules.cpp" \
    -o "$out/icy_header_fuzzer" $qt_libs -lasound -ldl
printf 'ICY 200 OK\r\nicy-name:Radio\r\nicy-br:128\r\nicy-metaint:8192\r\n\r\n' > "$out/corpus/seed1"
printf 'HTTP/1.0 200 OK\nContent-Type: audio/mpeg\n\n' > "$out/corpus/seed2"
exec "$out/icy_header_fuzzer" -max_total_time="$seconds" -max_len=8192 "$out/corpus"
