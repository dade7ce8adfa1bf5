#!/bin/sh
# Runs a program against the simulated bench: starts kr5sim ($KR5SIM, or kr5sim on the
# PATH) with the settings in $KR5SIM_ARGS (shell words, default bench when empty), points
# KR5AU_PORT1/KR5AU_PORT2 at its pseudo-terminals, runs the program and stops the
# simulator when the program ends.
#   KR5SIM=build/sim/kr5sim KR5SIM_ARGS="--seed 3 --fault 'KR late ms=300'" \
#       sim/run-with-sim.sh build/src/app/kr5au
set -eu
if [ $# -lt 1 ]; then
    echo "usage: $0 PROGRAM [ARGS...]" >&2
    exit 2
fi
sim=${KR5SIM:-kr5sim}
dir=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
mkfifo "$dir/out"
# In a session of its own: a Ctrl-C meant for the program must not end the simulator
# before the program has said goodbye to the units.
eval "exec setsid \"\$sim\" ${KR5SIM_ARGS:-}" > "$dir/out" &
pid=$!
exec 3< "$dir/out"
ready=no
while IFS= read -r line <&3; do
    case $line in
    PORT1=*) KR5AU_PORT1=${line#PORT1=} ;;
    PORT2=*) KR5AU_PORT2=${line#PORT2=} ;;
    READY) ready=yes; break ;;
    esac
done
# The simulator's later lines (a pulled port) are not needed: it ignores a closed pipe.
exec 3<&-
if [ "$ready" != yes ]; then
    echo "kr5sim did not start" >&2
    exit 1
fi
export KR5AU_PORT1="${KR5AU_PORT1:-}" KR5AU_PORT2="${KR5AU_PORT2:-}"
# The program ends first, so that its last words (remote off, back to 9600 baud) still
# reach the simulator: a Ctrl-C or SIGTERM is passed on to it and waited out.
"$@" &
prog=$!
trap 'kill -TERM "$prog" 2>/dev/null || true' INT TERM
status=0
while kill -0 "$prog" 2>/dev/null; do
    wait "$prog" && status=0 || status=$?
done
exit $status
