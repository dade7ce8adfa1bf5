#!/usr/bin/env bash
# manpage.sh STAGE: the installed manual page formats without a warning, and documents
# every option and every exit status the installed program's --help lists, so that a new
# option or status cannot go out undocumented.
set -u
stage=$1
page="$stage/share/man/man1/kr5au.1"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
[ -f "$page" ] || { echo "FAIL: $page is missing"; exit 1; }

if command -v groff >/dev/null; then
    warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "groff: $warnings"
else
    echo "note: groff is not installed; the page's roff is not checked"
fi
grep -q '@[A-Za-z_]*@' "$page" && fail "a placeholder was left unfilled: $(grep -o '@[A-Za-z_]*@' "$page")"

help=$(QT_QPA_PLATFORM=offscreen "$stage/bin/kr5au" --help 2>&1) ||
    { echo "FAIL: kr5au --help failed: $help"; exit 1; }
# Each option is described under OPTIONS (the synopsis and examples do not count). In roff
# a dash in an option is written \-.
options_section=$(sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$page" | sed 's/\\-/-/g')
options=$(grep -oE '(^|[ ,])--?[a-z][a-z0-9-]*' <<<"$help" | tr -d ' ,' | sort -u)
[ -n "$options" ] || fail "no options found in kr5au --help"
for option in $options; do
    # Qt's parser adds --help-all beside --help; it is not the program's own.
    [ "$option" = --help-all ] && continue
    grep -qE -- "(^|[^a-z-])$option([^a-z0-9-]|$)" <<<"$options_section" ||
        fail "the option $option is not described under OPTIONS"
done
exit_section=$(sed -n '/^\.SH EXIT STATUS/,/^\.SH /p' "$page")
statuses=$(sed -n 's/^ *\([0-9][0-9]*\)  .*/\1/p' <<<"$help")
[ -n "$statuses" ] || fail "no exit statuses found in kr5au --help"
for status in $statuses; do
    grep -qx "\.B $status" <<<"$exit_section" || fail "exit status $status is not in EXIT STATUS"
done
[ "$failures" -eq 0 ] || exit 1
echo "manual page: ok ($(wc -w <<<"$options") options, $(wc -w <<<"$statuses") exit statuses)"
