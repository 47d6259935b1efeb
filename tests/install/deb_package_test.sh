#!/usr/bin/env bash
# Builds the Debian package from the build tree into a temporary folder and checks what it holds: a
# horavia package in section utils with computed library dependencies, everything under /usr, and no
# path of the build or the sources in its file list or inside its files.
#
# deb_package_test.sh <build dir> <source dir> <version>
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
version=$3

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$tmp/cpack.log")"
debs=("$tmp"/out/*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: ${debs[*]}"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = horavia ] || fail "package name is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "package version is $(field Version), expected $version"
[ "$(field Section)" = utils ] || fail "section is $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
[ -n "$(field Description)" ] || fail "no description"
depends=$(field Depends)
# Computed by dpkg-shlibdeps from what the program and the modules link against; FFmpeg's and SDL's
# package names carry their ABI version, so those are matched by the start of the name.
depends_names=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/^ *//; s/ .*//')
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libpng16-16 libavformat libavcodec \
    libswresample libsdl2- libasound2 libespeak-ng1; do
    found=no
    while read -r name; do [[ $name == "$lib"* ]] && found=yes; done <<<"$depends_names"
    [ "$found" = yes ] || fail "Depends lacks $lib: $depends"
done

# The file list: all under /usr, the expected files present, no build or source path, no staging folder.
dpkg-deb -c "$deb" | awk '{print $NF}' >"$tmp/files"
bad=$(grep -v -E '^\./(usr/.*)?$' "$tmp/files" || true)
[ -z "$bad" ] || fail "files outside /usr: $bad"
for f in ./usr/bin/horavia ./usr/lib/horavia/libhoravia-audio.so ./usr/lib/horavia/libhoravia-audio-ape.so \
    ./usr/share/horavia/help/Welcometopic.htm ./usr/share/applications/org.horavia.Horavia.desktop \
    ./usr/share/metainfo/org.horavia.Horavia.metainfo.xml ./usr/share/icons/hicolor/256x256/apps/horavia.png; do
    grep -q -x -F "$f" "$tmp/files" || fail "the package lacks $f"
done
if grep -F -e "$build" -e "$source_dir" -e _CPack_Packages "$tmp/files"; then fail "the file list names the build"; fi

# Inside the files: no build or source path, no run path on the program, $ORIGIN on the modules.
dpkg-deb -x "$deb" "$tmp/root"
hits=$(grep -r -l -a -F -e "$build" -e "$source_dir" "$tmp/root" || true)
[ -z "$hits" ] || fail "packaged files name the build or sources: $hits"
if readelf -d "$tmp/root/usr/bin/horavia" | grep -E '\((RPATH|RUNPATH)\)'; then fail "usr/bin/horavia has a run path"; fi
runpath=$(readelf -d "$tmp/root/usr/lib/horavia/libhoravia-audio-aac.so")
grep -q -F '[$ORIGIN]' <<<"$runpath" || fail "the modules lost their \$ORIGIN run path"

echo "deb package passed: ${deb##*/}"
