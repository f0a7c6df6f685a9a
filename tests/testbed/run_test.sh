#!/usr/bin/env bash
# ./run's own test bed, as its functions do it (sourced), in a prefix of this test's own with a real Wine
# server: the server another run started outlives this run however it ends, the server this run started
# ends with it, velmar-sim waits only for a server it started, and the verdict of a whole run fails a
# program Wine reports faulted.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WINESERVER=/usr/lib/wine/wineserver64
work=$(mktemp -d)
export BUILD_DIR=$work/build
prefix=$BUILD_DIR/wineprefix
mkdir -p "$prefix"
failed=0
fail() {
  echo "FAILED: $*" >&2
  failed=1
}
server() { WINEPREFIX=$prefix "$WINESERVER" "$@" </dev/null >/dev/null 2>&1; }
trap 'server -k; rm -rf "$work"' EXIT

# testbed [VARIABLE=VALUE...]: start_testbed of ./run in a shell of its own, with the variables set after
# ./run's own; there is no Wine to start programs with, the server is what is tested.
testbed() {
  (
    # shellcheck source=../../run
    source "$ROOT/run"
    WINE64=true
    for assignment in "$@"; do eval "$assignment"; done
    start_testbed
  )
}

# Another run's server: this run waits for it, and gives up at once.
server -p || fail "no server to wait for"
testbed SERVER_WAIT=0 2>"$work/log"
status=$?
[ "$status" = 1 ] || fail "a run that gave up ended with $status"
grep -q 'still runs after 0 s' "$work/log" || fail "a run that gave up said: $(cat "$work/log")"
server -p
[ $? = 2 ] || fail "the server another run started did not outlive a run that gave up waiting for it"

# Ctrl-C while it waits: the run ends at once, and the server is still the other run's. Job control gives
# the run a process group of its own to interrupt, as a terminal does; a run Ctrl-C does not reach gives
# up after its first wait, long enough here that a loaded machine still interrupts it while it waits.
set -m
testbed SERVER_WAIT=20 2>"$work/log" &
run=$!
set +m
for ((i = 0; i < 200; i++)); do
  grep -q 'waiting for the Wine server' "$work/log" && break
  sleep 0.05
done
kill -INT -- "-$run"
wait "$run"
status=$?
[ "$status" = 130 ] || fail "a run interrupted while it waited ended with $status"
server -p
[ $? = 2 ] || fail "the server another run started did not outlive a run interrupted while it waited"
server -k

# No other server: the run starts its own and ends it.
testbed 2>"$work/log" || fail "a run with no server before it failed: $(cat "$work/log")"
server -k && fail "the server a run started outlived it"

# velmar-sim on a display of its own waits for the server it started before the display goes, and for no
# other. There is no Windows program to launch: the launcher does what the case needs of the server and
# prints what velmar-sim.exe would, a run that ends as it meant to with its last line "end: exit code 0".
mkdir -p "$BUILD_DIR/bin"
: >"$BUILD_DIR/bin/velmar-sim.exe"
launcher() {
  printf '#!/bin/sh\n%s\n' "$1" >"$BUILD_DIR/wine-run"
  chmod +x "$BUILD_DIR/wine-run"
}
velmar_sim() { env -u DISPLAY timeout 30 "$ROOT/velmar-sim" --command 0 >"$work/out" 2>"$work/log"; }
ended="echo 'end: exit code 0'"
# The launcher's line that writes the command line of this test's server, as ps gives it, to $work/server.
server_command="for pid in \$(pgrep -x wineserver64); do
  tr '\\\\0' '\\\\n' <\"/proc/\$pid/environ\" 2>/dev/null | grep -qxF 'WINEPREFIX=$prefix' && ps -o args= -p \$pid
done >'$work/server'"
# No server before it: the one it started ends a little after the launcher, as after a program's end; it
# was started to end with its last program, not to linger after it while the run waits for it.
launcher "$ended; (sleep 2; : >'$work/ending'; WINEPREFIX='$prefix' $WINESERVER -k) </dev/null >/dev/null 2>&1 &
$server_command"
velmar_sim || fail "velmar-sim with no server before it ended with $?: $(cat "$work/log")"
[ -e "$work/ending" ] || fail "velmar-sim ended before the server it started"
grep -q -- '-p0$' "$work/server" || fail "velmar-sim started a server that outlives its last program: $(cat "$work/server")"
for ((i = 0; i < 100; i++)); do [ -e "$work/ending" ] && break; sleep 0.1; done
server -w
# Another run's server: velmar-sim shares it and ends without waiting for it.
server -p || fail "no server to share"
launcher "$ended"
velmar_sim || fail "velmar-sim beside another run's server ended with $? (124: still waiting for it)"
# A run whose process ended under it, with a cut listing and whatever exit code, is told from one that
# ran: exit code 4 and a line saying so; one that ran, or refused its options, keeps its own.
while IFS='|' read -r what printed code status says; do
  launcher "printf '$printed'; exit $code"
  velmar_sim
  got=$?
  [ "$got" = "$status" ] || fail "$what: velmar-sim ended with $got"
  [ "$(cat "$work/out")" = "$(printf "$printed")" ] || fail "$what: the listing became $(cat "$work/out")"
  if [ -n "$says" ]; then grep -qF "$says" "$work/log" || fail "$what: it said $(cat "$work/log")"
  else [ ! -s "$work/log" ] || fail "$what: it said $(cat "$work/log")"; fi
done <<'ROWS'
cut, exit code 0|command: 0\n|0|4|velmar-sim: the run was cut short (exit code 0
cut, exit code 1|command: 0\n|1|4|velmar-sim: the run was cut short (exit code 1
cut, nothing printed||0|4|velmar-sim: the run was cut short (exit code 0
ran|command: 0\nend: exit code 0\n|0|0|
a bad option|x|2|2|
ROWS
server -p
[ $? = 2 ] || fail "the server another run started did not outlive velmar-sim"
server -k

# The verdict of a whole run: the output, the exit code, whether it passes and what it says.
verdict() {
  local what=$1 output=$2 status=$3 passes=$4 says=$5 answer=0
  printf '%b' "$output" >"$work/output"
  echo "$status" >"$work/output.status"
  (
    source "$ROOT/run"
    whole_verdict test_x "$work/output"
  ) 2>"$work/log" || answer=1
  [ "$answer" = "$passes" ] || fail "$what: the verdict answered $answer"
  grep -qF "$says" "$work/log" || fail "$what: the verdict said $(tail -n 1 "$work/log")"
}
passed='[==========] 2 tests from 1 test suite ran. (5 ms total)\r\n[  PASSED  ] 2 tests.\r\n'
fault='wine: Unhandled page fault on read access to 0000000000000000 at address 0000000140001234 (thread 0024), starting debugger...\r\n'
verdict "a program that passed" "$passed" 0 0 "whole test_x: 2 tests passed in 5 ms"
verdict "a fault after the summary" "$passed$fault" 0 1 "whole test_x: FAILED, exit code 0 and a fault: wine: Unhandled page fault"
verdict "a failure" "[  FAILED  ] A.B\r\n$passed" 0 1 "whole test_x: FAILED, exit code 0"

exit "$failed"
