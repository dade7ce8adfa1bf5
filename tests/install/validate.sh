#!/usr/bin/env bash
# validate.sh desktop|metainfo FILE: runs the validator a desktop or a software centre
# applies. Without the validator the test is skipped (exit 77), not passed.
set -u
kind=$1 file=$2
case $kind in
    desktop) tool=desktop-file-validate; args=("$file") ;;
    # --strict: warnings fail too; only pedantic hints are let through.
    metainfo) tool=appstreamcli; args=(validate --no-net --strict "$file") ;;
    *) echo "unknown kind $kind"; exit 2 ;;
esac
if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
fi
[ -f "$file" ] || { echo "FAIL: $file is missing"; exit 1; }
"$tool" "${args[@]}"
