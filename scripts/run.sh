#!/usr/bin/env bash
# Builds the program and runs it. With KR5AU_PORT1 (or KR5AU_PORT2) set it talks to that
# device; otherwise it runs against the built-in instrument simulator (kr5sim), which is
# stopped when the program ends. Without a display it runs offscreen with --status and
# prints one status line a second; end it with Ctrl-C.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
kr5_ensure_packages
kr5_build kr5au kr5sim

args=("$@")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM=offscreen
    args=(--status "${args[@]}")
fi
if [ -n "${KR5AU_PORT1:-}${KR5AU_PORT2:-}" ]; then
    exec build/src/app/kr5au "${args[@]}"
fi
export KR5SIM=build/sim/kr5sim
exec sim/run-with-sim.sh build/src/app/kr5au "${args[@]}"
