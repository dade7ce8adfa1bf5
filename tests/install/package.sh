#!/usr/bin/env bash
# package.sh BUILD_DIR WORK_DIR APP_ID: makes the .deb with CPack from the built tree and
# checks what a Debian system would install: the files under /usr, the help page out of
# /usr/bin, and dependencies on the Qt libraries (found by dpkg-shlibdeps) and on the
# run-time pieces no linker sees.
set -u
build=$1 work=$2 id=$3
for tool in cpack dpkg-deb dpkg-shlibdeps file; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work"
mkdir -p "$work"
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
debs=("$work"/kr5au_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: no single kr5au_*.deb in $work"; exit 1; }
deb=${debs[0]}

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for f in ./usr/bin/kr5au ./usr/share/kr5au/kr5auhelp.html \
         "./usr/share/applications/$id.desktop" \
         "./usr/share/icons/hicolor/scalable/apps/$id.svg" \
         "./usr/share/metainfo/$id.metainfo.xml" \
         ./usr/share/man/man1/kr5au.1; do
    grep -qx -- "$f" <<<"$contents" || fail "$f is not in the package"
done
grep -q '^\./usr/bin/kr5auhelp\.html$' <<<"$contents" && fail "the help page is in /usr/bin"
outside=$(grep -v '^\./usr/' <<<"$contents" | grep -v '^\./$')
[ -z "$outside" ] || fail "files outside /usr: $outside"
dpkg-deb --contents "$deb" | grep -q '^-rwxr-xr-x root/root .* \./usr/bin/kr5au$' ||
    fail "/usr/bin/kr5au is not an executable owned by root"

[ "$(dpkg-deb -f "$deb" Package)" = kr5au ] || fail "the package is not named kr5au"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in fonts-ipafont-gothic qt6-qpa-plugins; do
    grep -qE "(^|, )$d(,|$| )" <<<"$depends" || fail "Depends lacks $d"
done
grep -qE '(^|, )libqt6[a-z]*6 ' <<<"$depends" ||
    fail "Depends lacks the Qt libraries (dpkg-shlibdeps did not run)"
[ "$failures" -eq 0 ] || exit 1
echo "package $deb: ok"
