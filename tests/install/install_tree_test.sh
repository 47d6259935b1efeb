#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves that prefix elsewhere, and checks the result as a
# desktop would see it: every file in its FHS and XDG place, a valid desktop entry and AppStream file,
# nothing that points back into the build, and the installed program finding its help pages and audio
# modules relative to itself.
#
# install_tree_test.sh <build dir> <source dir> <version>
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
version=$3
source "$source_dir/tests/e2e/lib.sh"
unset HORAVIA_AUDIO_MODULE_DIR LD_LIBRARY_PATH

app_id=org.horavia.Horavia
modules="libhoravia-audio.so libhoravia-audio-wma.so libhoravia-audio-aac.so libhoravia-audio-alac.so
         libhoravia-audio-ape.so"

# Stripped as a distribution installs it: the debug information of a Debug build names the build.
cmake --install "$build" --prefix "$E2E_TMP/staged" --strip >"$E2E_TMP/install.log" || fail "cmake --install failed"
# Nothing may depend on the prefix the tree was installed to.
prefix="$E2E_TMP/moved/usr"
mkdir -p "$(dirname "$prefix")"
mv "$E2E_TMP/staged" "$prefix"
cd "$E2E_TMP"

# Every expected file, and nothing outside the folders we own or share.
expect=(bin/horavia share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml
        share/horavia/help/Welcometopic.htm share/horavia/help/Timer.htm share/horavia/help/Settings.htm
        share/horavia/help/help.css share/horavia/help/en/Welcometopic.htm share/horavia/help/en/Timer.htm
        share/horavia/help/en/Settings.htm)
for m in $modules; do expect+=("lib/horavia/$m"); done
# Each drawn icon lies in the hicolor folder of its size, and in the 2x folder of half its size, where the
# theme has such folders; a folder the theme does not list would be ignored by every desktop.
hicolor=" 16 22 24 32 36 48 64 72 96 128 192 256 512 "
icon_folders=()
for icon in "$source_dir"/assets/icons/horavia-*.png; do
    size=${icon##*/horavia-}
    size=${size%.png}
    [[ $hicolor == *" $size "* ]] && icon_folders+=("${size}x${size}:$size")
    [[ $((size % 2)) -eq 0 && $hicolor == *" $((size / 2)) "* ]] && icon_folders+=("$((size / 2))x$((size / 2))@2:$size")
done
for entry in "${icon_folders[@]}"; do expect+=("share/icons/hicolor/${entry%%:*}/apps/horavia.png"); done
[ "${#icon_folders[@]}" -ge 14 ] || fail "expected at least 14 icon folders from assets/icons, found ${#icon_folders[@]}"
for f in "${expect[@]}"; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
[ -x "$prefix/bin/horavia" ] || fail "bin/horavia is not executable"
stray=$(cd "$prefix" && find . -type f | sed 's|^\./||' |
    grep -v -E '^(bin/horavia|lib/horavia/libhoravia-audio[a-z-]*\.so|share/horavia/help/.*|share/applications/[^/]+\.desktop|share/metainfo/[^/]+\.metainfo\.xml|share/icons/hicolor/[0-9]+x[0-9]+(@2)?/apps/horavia\.png)$' || true)
[ -z "$stray" ] || fail "unexpected files installed: $stray"

# Each icon really has the device size its folder names (twice the size in an @2 folder).
for entry in "${icon_folders[@]}"; do
    folder=${entry%%:*}
    size=${entry##*:}
    got=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/$folder/apps/horavia.png")
    [ "$got" = "${size}x${size}" ] || fail "the $folder icon is $got"
done

# Every picture, style sheet and page the help pages of each language refer to is installed beside them.
for page in "$prefix"/share/horavia/help/*.htm "$prefix"/share/horavia/help/*/*.htm; do
    for ref in $(grep -o -E '(src|href)="[^":#]+"' "$page" | sed -E 's/^(src|href)="//; s/"$//'); do
        [ -f "$(dirname "$page")/$ref" ] || fail "${page#"$prefix"/share/horavia/help/} refers to $ref, which is not installed"
    done
done

# The desktop entry: the validator has nothing to say about it.
desktop="$prefix/share/applications/$app_id.desktop"
report=$(desktop-file-validate "$desktop" 2>&1 || true)
[ -z "$report" ] || fail "desktop-file-validate: $report"
grep -qx 'Exec=horavia' "$desktop" || fail "the desktop entry does not start horavia"
grep -qx 'Icon=horavia' "$desktop" || fail "the desktop entry does not name the horavia icon"
for key in Name GenericName Comment Keywords; do
    grep -q "^$key\[zh_CN\]=." "$desktop" || fail "the desktop entry has no Chinese $key"
done

# The AppStream file, alone and together with the tree it describes (desktop entry, icons).
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
appstreamcli validate --no-net "$metainfo" >"$E2E_TMP/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$E2E_TMP/appstream.log")"
! grep -E '^(E|W):' "$E2E_TMP/appstream.log" || fail "appstreamcli validate: $(cat "$E2E_TMP/appstream.log")"
appstreamcli validate-tree --no-net "$prefix" >"$E2E_TMP/appstream-tree.log" 2>&1 ||
    fail "appstreamcli validate-tree: $(cat "$E2E_TMP/appstream-tree.log")"
for element in name summary keyword; do
    grep -q "<$element xml:lang=\"zh_CN\">" "$metainfo" || fail "the AppStream file has no Chinese $element"
done
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream release is not version $version"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the AppStream file does not launch $app_id.desktop"

# Nothing installed points into the build or the sources.
for dir in "$build" "$source_dir"; do
    hits=$(grep -r -l -a -F "$dir" "$prefix" || true)
    [ -z "$hits" ] || fail "installed files name $dir: $hits"
done

# The program carries no run path (it needs only system libraries); the modules carry exactly $ORIGIN so
# that the plug-ins find the core module beside them. Every dependency resolves from the installed tree.
if readelf -d "$prefix/bin/horavia" | grep -E '\((RPATH|RUNPATH)\)'; then
    fail "bin/horavia has a run path: $(readelf -d "$prefix/bin/horavia" | grep -E 'RPATH|RUNPATH')"
fi
for f in bin/horavia $(for m in $modules; do echo "lib/horavia/$m"; done); do
    missing=$(ldd "$prefix/$f" | grep 'not found' || true)
    [ -z "$missing" ] || fail "$f: unresolved libraries: $missing"
    if ldd "$prefix/$f" | grep -F -e "$build" -e "$source_dir"; then fail "$f resolves a library from the build"; fi
done
for m in $modules; do
    runpath=$(readelf -d "$prefix/lib/horavia/$m" | sed -n -E 's/.*\((RPATH|RUNPATH)\).*\[(.*)\]$/\2/p')
    [ "$runpath" = '$ORIGIN' ] || fail "$m has run path '$runpath', expected \$ORIGIN"
    [ "$m" = libhoravia-audio.so ] && continue
    resolved=$(ldd "$prefix/lib/horavia/$m")
    grep -q -F "libhoravia-audio.so => $prefix/lib/horavia/libhoravia-audio.so" <<<"$resolved" ||
        fail "$m does not find the core module beside it: $resolved"
done

# The installed program, started from its new place with no module folder in the environment. F1 on the
# main window opens the overview help page through the desktop's opener; the opener here is a small
# script ahead of the real one on PATH that writes down what it was asked to open.
mkdir -p "$E2E_TMP/opener"
cat >"$E2E_TMP/opener/xdg-open" <<OPENER
#!/bin/sh
printf '%s\n' "\$1" >>"$E2E_TMP/opened"
OPENER
chmod +x "$E2E_TMP/opener/xdg-open"
export PATH="$E2E_TMP/opener:$PATH"

start_x
# With no window manager the focus is ours to give, and a key sent while the new window is still settling
# can be lost; so F1 is pressed again until a page opens or the attempts run out.
press_f1() {
    xdotool windowfocus --sync "$WIN" key F1 || return 1
    wait_for 3 test -s "$E2E_TMP/opened"
}
# help_opened_by_f1: the page F1 on the main window opens.
help_opened_by_f1() {
    rm -f "$E2E_TMP/opened"
    local opened_ok=no
    for _ in 1 2 3 4 5; do
        if press_f1; then opened_ok=yes; break; fi
    done
    [ "$opened_ok" = yes ] || fail "F1 opened nothing; log: $(cat "$E2E_TMP/app.log")"
    head -n 1 "$E2E_TMP/opened"
}
help="file://$prefix/share/horavia/help"

# A first run in a Chinese locale is Chinese and opens the Chinese page; one in any other locale is English
# and opens the English page, or the Chinese one where the English page is missing.
start_app env -u LC_ALL -u LC_MESSAGES LANG=zh_CN.UTF-8 "$prefix/bin/horavia"
opened=$(help_opened_by_f1)
[ "$opened" = "$help/Welcometopic.htm" ] || fail "F1 in Chinese opened $opened"
stop_app
rm -rf "$XDG_CONFIG_HOME/horavia"
start_app env -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 "$prefix/bin/horavia"
opened=$(help_opened_by_f1)
[ "$opened" = "$help/en/Welcometopic.htm" ] || fail "F1 in English opened $opened"
rm "$prefix/share/horavia/help/en/Welcometopic.htm"
opened=$(help_opened_by_f1)
[ "$opened" = "$help/Welcometopic.htm" ] || fail "F1 in English without the English page opened $opened"
if grep -F 'help page not found' "$E2E_TMP/app.log"; then fail "the installed program did not find its help"; fi
if grep -F 'Unable to load library' "$E2E_TMP/app.log"; then fail "the installed program did not find a module"; fi

echo "install tree passed"
