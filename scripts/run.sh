#!/usr/bin/env bash
# Builds the program and runs it against the serial ports configured in KR5AU_PORT1 and
# KR5AU_PORT2 (default /dev/ttyS0 and /dev/ttyS1).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
kr5_ensure_packages
kr5_build kr5au
exec build/src/app/kr5au "$@"
