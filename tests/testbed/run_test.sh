#!/usr/bin/env bash
# ./run's own test bed, as its functions do it (sourced), in a prefix of this test's own with a real Wine
# server: the server another run started outlives this run however it ends, and the server this run
# started ends with it; velmar-sim, with a stand-in server program, waits only for a server it started,
# tells a cut run from a whole one and names why it was cut; ./run test runs once more only a case lost
# at start-up; ./run whole runs every shard of every program once; and the verdict of a whole run fails a
# program Wine reports faulted.
# Nothing here looks at the machine's other processes.
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

# The server program of the two runs below that wait for another run's server: the real one behind a
# stand-in that writes down what it was asked. The first wait (-w) asked of it says on the fifo "waiting",
# where one is made, when it begins and then how it ended; it answers any call after that wait with a
# failure, so that a run that goes on asking ends at once and shows in the calls.
cat >"$work/recording-server" <<STANDIN
#!/bin/sh
echo "\$*" >>'$work/calls'
[ ! -e '$work/waited' ] || exit 3
case " \$* " in *" -w "*) mkdir '$work/waited' ;; *) exec $WINESERVER "\$@" ;; esac
[ -p '$work/waiting' ] || exit 3
exec 3>'$work/waiting'
trap : INT
echo >&3
$WINESERVER "\$@" 3>&-
status=\$?
echo "\$status" >&3
trap - INT
[ "\$status" != 130 ] || kill -INT \$\$
exit "\$status"
STANDIN
chmod +x "$work/recording-server"
# calls_were ROW CALLS: the calls the run of ROW asked of the recording server were CALLS, one a line.
calls_were() {
  [ "$(cat "$work/calls")" = "$(printf -- "$2")" ] || fail "$1 asked its server: $(cat "$work/calls")"
  : >"$work/calls"
  rm -rf "$work/waited"
}

# Another run's server: this run gives up at once, before any wait, says how long it waited (however long
# the server took to answer) and how to end that server, and leaves it running.
server -p || fail "no server to wait for"
testbed WINESERVER="$work/recording-server" SERVER_WAIT=0 2>"$work/log"
status=$?
[ "$status" = 1 ] || fail "a run that gave up ended with $status"
grep -qE "a Wine server of $prefix still runs after [0-9]+ s" "$work/log" &&
  grep -qF "end it with: WINEPREFIX=$prefix $work/recording-server -k" "$work/log" ||
  fail "a run that gave up said: $(cat "$work/log")"
calls_were "a run that gave up at once" '-p'
server -p
[ $? = 2 ] || fail "the server another run started did not outlive a run that gave up waiting for it"

# Ctrl-C while it waits: the wait and then the run end with the interrupt, the run asks nothing more of the
# server, which is still the other run's. Job control gives the run a process group of its own to
# interrupt, as a terminal does. An interrupt that lands before the wait has begun is not taken, so Ctrl-C
# is pressed from the moment the recording server says the wait began until it says the wait ended; then
# the run ends by itself. A run whose wait is out of Ctrl-C's reach ends before its wait does. A Ctrl-C
# pressed after the wait ended may cut the run's own clean-up short, and its display, when it was still
# starting and ignoring Ctrl-C, would outlive it: what is left of the run's job is ended.
mkfifo "$work/waiting"
exec 4<>"$work/waiting"
set -m
testbed WINESERVER="$work/recording-server" SERVER_WAIT=20 2>"$work/log" &
run=$!
set +m
read -r <&4 &
reader=$!
wait -n -p first "$run" "$reader"
kill "$reader" 2>/dev/null
while [ "$first" = "$reader" ] && ! read -r -t 0 <&4 && kill -0 "$run" 2>/dev/null; do
  kill -INT -- "-$run" 2>/dev/null
done
# The recording server says how its wait ended before it ends, and the run can end only after it.
if [ "$first" = "$run" ]; then
  fail "a run with another run's server to wait for ended before it waited"
elif read -r -t 0 <&4; then
  read -r waited <&4
  [ "$waited" = 130 ] || fail "the wait of a run interrupted while it waited ended with $waited"
else
  fail "a run interrupted while it waited ended with its wait going on"
fi
wait "$run"
status=$?
kill -TERM -- "-$run" 2>/dev/null
exec 4<&-
[ "$status" = 130 ] || fail "a run interrupted while it waited ended with $status: $(cat "$work/log")"
calls_were "a run interrupted while it waited" '-p\n-w'
server -p
[ $? = 2 ] || fail "the server another run started did not outlive a run interrupted while it waited"
server -k

# No other server: the run starts its own and ends it.
testbed 2>"$work/log" || fail "a run with no server before it failed: $(cat "$work/log")"
server -k && fail "the server a run started outlived it"

# velmar-sim on a display of its own waits for the server it started before the display goes, and for no
# other. Its server program is a stand-in that writes down what it was asked and answers -p0 as the case
# says: 0, the server started; 2, another server holds the prefix. There is no Windows program to launch:
# the launcher writes down that the program ran and prints what velmar-sim.exe would, a run that ends as it
# meant to with its last line "end: exit code 0".
mkdir -p "$BUILD_DIR/bin"
: >"$BUILD_DIR/bin/velmar-sim.exe"
cat >"$work/wineserver" <<STANDIN
#!/bin/sh
echo "\$*" >>'$work/calls'
[ "\$*" != -p0 ] || exit "\$(cat '$work/p0')"
STANDIN
chmod +x "$work/wineserver"
launcher() {
  printf '#!/bin/sh\n%s\n' "$1" >"$BUILD_DIR/wine-run"
  chmod +x "$BUILD_DIR/wine-run"
}
velmar_sim() {
  : >"$work/calls"
  env -u DISPLAY WINESERVER="$work/wineserver" "$ROOT/velmar-sim" --command 0 "$@" 2>"$work/log"
}
launcher "echo program >>'$work/calls'; echo 'end: exit code 0'"
while IFS='|' read -r what p0 calls; do
  echo "$p0" >"$work/p0"
  velmar_sim >"$work/out" || fail "velmar-sim $what ended with $?: $(cat "$work/log")"
  # -p0: a server that ends with its last program, not one that lingers after it while the run waits.
  [ "$(cat "$work/calls")" = "$(printf -- "$calls")" ] || fail "velmar-sim $what asked its server: $(cat "$work/calls")"
done <<'ROWS'
with no server before it|0|-p0\nprogram\n-w
beside another run's server|2|-p0\nprogram
ROWS
# A run whose process ended under it, with a cut listing and whatever exit code, is told from one that
# ran: exit code 4 and a last line saying so, which names a fault the run reported; one that ran, or
# refused its options, or could not load the library, keeps its own code and reason. A command line of a
# --callout of NAMES components that Windows does not take (Wine starts nothing, without a word, and ends
# with 1) is refused before anything starts, saying why.
echo 2 >"$work/p0"
while IFS='|' read -r what printed reason code status says names; do
  launcher "printf '$printed'; printf '$reason' >&2; exit $code"
  if [ -n "$names" ]; then velmar_sim --callout "$(seq -s, -f 'comp%g' "$names")" >"$work/out"; else velmar_sim >"$work/out"; fi
  got=$?
  [ "$got" = "$status" ] || fail "$what: velmar-sim ended with $got"
  [ "$(cat "$work/out")" = "$(printf "$printed")" ] || fail "$what: the listing became $(cat "$work/out")"
  if [ -n "$says" ]; then [[ "$(tail -n 1 "$work/log")" == "$says"* ]] || fail "$what: it said $(cat "$work/log")"
  else [ "$(cat "$work/log")" = "$(printf "$reason")" ] || fail "$what: it said $(cat "$work/log")"; fi
done <<'ROWS'
cut, exit code 0|command: 0\n||0|4|velmar-sim: the run was cut short (exit code 0|
cut, exit code 1|command: 0\n||1|4|velmar-sim: the run was cut short (exit code 1|
cut, nothing printed|||0|4|velmar-sim: the run was cut short (exit code 0|
faulted|command: 0\n|velmar-sim: the run faulted (exception 0xc0000005)\n|4|4|velmar-sim: the run was cut short by the fault above|
ran|command: 0\nend: exit code 0\n||0|0||
ran, a long command line Windows takes|command: 0\nend: exit code 0\n||0|0||3000
a command line longer than Windows takes|||1|2|velmar-sim: the command line is longer than Windows takes|10000
a bad option||velmar-sim: unknown option\n|2|2||
a library that cannot be loaded||velmar-sim: cannot load normset.dll\n|3|3||
ROWS
# A program that Wine gave no windows ends with exit code 5, having run nothing, and is started again until
# the desktop is up; one that never gets a window ends the run with exit code 4 and a line saying why.
launcher "if [ ! -e '$work/desktop' ]; then : >'$work/desktop'; exit 5; fi; printf 'command: 0\\nend: exit code 0\\n'"
velmar_sim >"$work/out" || fail "a run started again once the desktop was up ended with $?: $(cat "$work/log")"
[ "$(cat "$work/out")" = "$(printf 'command: 0\nend: exit code 0')" ] || fail "a run started again printed $(cat "$work/out")"
launcher "exit 5"
DESKTOP_WAIT=0 velmar_sim >"$work/out"
status=$?
[ "$status" = 4 ] && grep -qF "Wine's desktop did not come up within 0 s" "$work/log" ||
  fail "a run that never got a window ended with $status: $(cat "$work/log")"
# A reader that stops early sees only the start of a run that ran whole: the program goes on once the
# reader is gone, and the run keeps its own code.
mkfifo "$work/read"
launcher "echo 'command: 0'; read -r _ <'$work/read'; echo 'end: exit code 0'"
velmar_sim | {
  head -n 1 >"$work/head"
  exec 0<&-
  echo >"$work/read"
}
status=${PIPESTATUS[0]}
[ "$status" = 0 ] || fail "a run whose reader stopped early ended with $status: $(cat "$work/log")"
[ "$(cat "$work/head")" = "command: 0" ] || fail "a reader that stopped early read $(cat "$work/head")"

# The cases of ./run test, run by real CTest, each a stand-in program behind the build's own launcher that
# ends as its case says, first run and second, and writes down each run. A case lost at start-up prints
# nothing and ends with exit code 5: it alone runs once more, and is listed with the exit code the launcher
# printed. A case that prints Wine's line of a fault and nothing of GoogleTest's, or that hangs until CTest
# ends it (in 2 s, its own time limit), fails the run in its first run, though a second would pass.
cases=$work/cases
mkdir -p "$cases"
sed -e "s|@NORMSET_WINEPREFIX@|$prefix|" -e "s|@NORMSET_WINE64@|$work/program|" "$ROOT/cmake/wine-run.in" >"$work/wine-run"
cat >"$work/program" <<'STANDIN'
#!/bin/sh
runs=${0%/*}/cases/runs
echo "$1" >>"$runs"
case "$1:$(grep -c "^$1\$" "$runs")" in
  lost:1 | lost-twice:*) exit 5 ;;
  assertion:1) printf 'Running main() from gtest_main.cc\r\n[ RUN      ] A.B\r\n[  FAILED  ] A.B (1 ms)\r\n'; exit 1 ;;
  summary:1) printf '[  PASSED  ] 1 test.\r\n'; exit 1 ;;
  fault:1) printf 'wine: Unhandled page fault on read access to 0000000000000000 at address 0000000140001234 (thread 0024), starting debugger...\r\n'; exit 5 ;;
  hang:1) exec sleep 30 ;;
esac
printf '[ RUN      ] A.B\r\n[       OK ] A.B (1 ms)\r\n[  PASSED  ] 1 test.\r\n'
STANDIN
chmod +x "$work/wine-run" "$work/program"
retried=$cases/Testing/Temporary/LastTestsRetried.log
while IFS='|' read -r what names passes runs listed; do
  rm -rf "$cases/runs" "$cases/Testing"
  for name in $names; do
    echo "add_test(Case.$name \"$work/wine-run\" $name)"
    [ "$name" != hang ] || echo "set_tests_properties(Case.$name PROPERTIES TIMEOUT 2)"
  done >"$cases/CTestTestfile.cmake"
  (
    cd "$cases" || exit 1
    source "$ROOT/run"
    JOBS=2
    run_cases
  ) >/dev/null 2>"$work/log"
  answer=$?
  [ "$answer" = "$passes" ] || fail "$what: the run ended with $answer: $(cat "$work/log")"
  [ "$(sort "$cases/runs" | tr '\n' ' ')" = "$runs" ] || fail "$what: the cases ran $(sort "$cases/runs" | tr '\n' ' ')"
  if [ -n "$listed" ]; then
    [ "$(grep "^Case.$listed: " "$retried" 2>/dev/null)" = "Case.$listed: its first run printed nothing but the launcher's \"wine-run: exit code 5\"" ] &&
      grep -qF "[run]   Case.$listed: " "$work/log" ||
      fail "$what: the cases run again were listed as $(cat "$retried" 2>/dev/null)"
  elif [ -e "$retried" ]; then
    fail "$what: cases were run again: $(cat "$retried")"
  fi
done <<'ROWS'
a case lost at start-up|lost passed|0|lost lost passed |lost
a case lost twice|lost-twice|1|lost-twice lost-twice |lost-twice
a failed assertion beside a case lost|assertion lost|1|assertion lost lost |lost
a failure after the summary|summary|1|summary |
a fault with no line of GoogleTest's|fault|1|fault |
a case that hangs|hang|1|hang |
ROWS

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

# The runs of ./run whole, over stand-in programs that write down each run and its shard and print
# GoogleTest's summary of success, two of them in shards and one in an environment of its own: every shard
# of a sharded program and every other program runs once and only once, and the whole run passes.
mkdir -p "$work/bin"
for name in test_a test_b test_c test_alone; do : >"$work/bin/$name.exe"; done
cat >"$work/whole-program" <<STANDIN
#!/bin/sh
echo "\${1##*/} \${GTEST_SHARD_INDEX:--} \${GTEST_TOTAL_SHARDS:--}" >>'$work/whole-runs'
printf '[==========] 1 test from 1 test suite ran. (1 ms total)\r\n[  PASSED  ] 1 test.\r\n'
STANDIN
chmod +x "$work/whole-program"
(
  source "$ROOT/run"
  WINE64=$work/whole-program JOBS=2
  whole_shards() { case "$1" in test_a) echo 3 ;; test_b) echo 2 ;; *) echo 1 ;; esac; }
  whole_env() { [ "$1" != test_alone ] || echo LANG=C.UTF-8; }
  run_programs_whole "$work/bin"
) 2>"$work/log" || fail "a whole run of programs that passed failed: $(cat "$work/log")"
[ "$(sort "$work/whole-runs" 2>/dev/null | tr '\n' ,)" = "test_a.exe 0 3,test_a.exe 1 3,test_a.exe 2 3,test_alone.exe - -,test_b.exe 0 2,test_b.exe 1 2,test_c.exe - -," ] ||
  fail "a whole run ran: $(sort "$work/whole-runs" 2>/dev/null | tr '\n' ,)"

exit "$failed"
