#!/usr/bin/env bash
# installtree.sh BUILD_DIR STAGE APP_ID: installs the built tree under the prefix STAGE and
# checks that it is laid out as a Linux program, and that the desktop entry, the icon and
# the metainfo name each other and the executable the way a desktop looks them up.
set -u
build=$1 stage=$2 id=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

[ -f "$stage/bin/kr5au" ] && [ -x "$stage/bin/kr5au" ] || fail "bin/kr5au is not an executable"
for f in share/kr5au/kr5auhelp.html \
         "share/applications/$id.desktop" \
         "share/icons/hicolor/scalable/apps/$id.svg" \
         "share/metainfo/$id.metainfo.xml" \
         share/man/man1/kr5au.1; do
    [ -s "$stage/$f" ] || fail "$f is missing or empty"
done
# The help page is data: bin/ holds programs only.
[ -e "$stage/bin/kr5auhelp.html" ] && fail "the help page is installed in bin/"
extra=$(find "$stage/bin" -mindepth 1 ! -name kr5au)
[ -z "$extra" ] || fail "bin/ holds more than kr5au: $extra"

desktop="$stage/share/applications/$id.desktop"
metainfo="$stage/share/metainfo/$id.metainfo.xml"
if [ -f "$desktop" ]; then
    exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    [ -x "$stage/bin/$exec_cmd" ] || fail "Exec=$exec_cmd is not the installed executable"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$stage/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
        fail "Icon=$icon names no installed icon"
fi
if [ -f "$metainfo" ]; then
    grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's <id> is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch $id.desktop"
    grep -q "<binary>kr5au</binary>" "$metainfo" || fail "the metainfo does not provide kr5au"
fi
icon_file="$stage/share/icons/hicolor/scalable/apps/$id.svg"
if [ -f "$icon_file" ]; then
    grep -q '<svg[^>]*viewBox=' "$icon_file" || fail "the icon has no viewBox, so it cannot scale"
fi
[ "$failures" -eq 0 ] || exit 1
echo "install tree under $stage: ok"
