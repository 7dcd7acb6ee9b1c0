#!/usr/bin/env bash
# Runs the end-to-end tests: the harness (tests/e2e) drives Tamberlinox.exe under
# Wine, playing the Windows shell around it. Build first with the windows preset
# (the windows-x64 preset for --arch x64).
#
#   scripts/e2e.sh [--arch x86|x64] [--x64-subset] [--program FILE] [--display :N] [--fresh-prefix]
#                  [--repeat N] [gtest arguments...]
#
#   --arch x64        the 64-bit program and harness (build/windows-x64) in a 64-bit
#                     Wine prefix of their own, in build/e2e-x64/; x86, the default,
#                     is the 32-bit program and harness in a 32-bit prefix
#   --x64-subset      only the tests listed in tests/e2e/x64-subset.txt (see there why)
#   --program FILE    test this exe instead of build/windows/Tamberlinox.exe
#                     (e.g. build/windows/tests/e2e/e2e_probe.exe, to check the tests themselves);
#                     with --arch x64 also the 32-bit program, against the 64-bit shell
#                     stand-in, but then no test can read a menu: the harness's menu hook
#                     DLL is 64-bit, and a hook DLL goes only into a program of its bitness
#   --display :N      use this X display instead of starting an Xvfb of our own
#   --fresh-prefix    build the Wine prefix anew even when the old one could be reused
#   --repeat N        run the whole suite N times, each run as a single one would
#                     (its own Xvfb, the prefix reused when the run before ended cleanly)
#
# Everything lives in build/e2e/ (build/e2e-x64/ with --arch x64): the Wine
# prefix, the logs (harness.log, or harness-1.log ... harness-N.log with
# --repeat) and, when a process crashed, winedbg's report (crashes.log,
# crashes-N.log), which counts as a failure.
# Prints the harness's output and, last, one line "end-to-end: N passed,
# N failed". With --repeat, each run ends with "end-to-end run I of N: ..." and,
# before the last line (which then counts all runs), every test that failed is
# listed with the runs it failed in.
# Exits 0 only when tests ran and none failed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/scripts/wine-lib.sh"

arch=x86
program=
display=
fresh=
repeat=
subset=
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) arch=$2; shift 2 ;;
    --x64-subset) subset=1; shift ;;
    --program) program=$2; shift 2 ;;
    --display) display=$2; shift 2 ;;
    --fresh-prefix) fresh=1; shift ;;
    --repeat) repeat=$2; shift 2 ;;
    *) break ;;
  esac
done

if [ -n "$repeat" ] && ! [[ "$repeat" =~ ^[1-9][0-9]*$ ]]; then
  echo "e2e: --repeat needs a number of runs, not \"$repeat\"" >&2
  exit 2
fi
runs=${repeat:-1}
case "$arch" in
  x86) build="$root/build/windows" preset=windows work="$root/build/e2e" wine_arch=win32 ;;
  x64) build="$root/build/windows-x64" preset=windows-x64 work="$root/build/e2e-x64" wine_arch=win64 ;;
  *) echo "e2e: --arch takes x86 or x64, not \"$arch\"" >&2; exit 2 ;;
esac
if [ -n "$subset" ]; then
  # One gtest filter made of the file's lines, without comments and blank lines.
  filter=$(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$root/tests/e2e/x64-subset.txt" | grep . | paste -sd: -)
  set -- "--gtest_filter=$filter" "$@"
fi
if [ -n "$program" ] && [ ! -f "$program" ]; then
  echo "e2e: no program at $program" >&2
  exit 2
fi
harness="$build/tests/e2e/tamberlinox_e2e.exe"
if [ ! -f "$harness" ]; then
  echo "e2e: no harness at $harness; build first: cmake --preset $preset && cmake --build --preset $preset" >&2
  exit 2
fi

mkdir -p "$work"
# One run at a time in this tree: they would share the prefix.
exec 9>"$work/lock"
if ! flock -w 900 9; then
  echo "e2e: another run in this tree holds $work/lock" >&2
  exit 2
fi

trap wine_lib_cleanup EXIT

# The full names of the tests the harness would run ("Suite.Test"), one a line,
# from its --gtest_list_tests output (suites flush left, tests indented by two).
test_names() {
  tr -d '\r' | awk '/^[^ ]/ { suite = $1 } /^  [^ ]/ { print suite $1 }'
}

# The names of the tests a log reports with this result ("OK", "FAILED", "SKIPPED").
tests_with_result() {
  local result=$1 log=$2
  sed -nE "s/^\[ *$result *\] ([^ ,]+)(, where .*)? \([0-9]+ ms\)$/\1/p" "$log"
}

# A folder of N empty files (C:\e2e files\N) for the tests: made here at once,
# where Wine would take minutes to make them one by one.
make_folder_of_files() {
  [ "$(find "$1" -maxdepth 1 -type f 2>/dev/null | wc -l)" -eq "$2" ] && return 0
  rm -rf "$1" && mkdir -p "$1"
  (cd "$1" && seq 1 "$2" | sed 's/.*/File &.txt/' | tr '\n' '\0' | xargs -0 touch)
}

# One run of the suite, as a single run of this script would do it. $1: the
# run's number, or empty for the only run; the rest are the harness's arguments.
# Sets run_passed, run_failed and run_skipped, and adds the names of the tests
# that failed or never finished to $work/failed-in-run.
run_once() {
  local number=$1 log expected_names expected status=0 missing
  shift
  if [ -n "$display" ]; then
    export DISPLAY=$display
  else
    wine_lib_start_xvfb "$work"
  fi
  wine_lib_use_prefix "$work/prefix" "$wine_arch"
  [ -z "$fresh" ] || rm -f "$WINEPREFIX/.tamberlinox-prefix"
  fresh=  # a fresh prefix for the first run only; the next ones reuse it
  wine_lib_prepare_prefix
  rm -f "$(wine_lib_crash_log)"
  make_folder_of_files "$WINEPREFIX/drive_c/e2e files/10000" 10000

  if [ -n "$program" ]; then
    TAMBERLINOX_E2E_PROGRAM=$(winepath -w "$(cd "$(dirname "$program")" && pwd)/$(basename "$program")")
    export TAMBERLINOX_E2E_PROGRAM
  fi

  log="$work/harness${number:+-$number}.log"
  # The tests that should run, to count a crash of the harness as failures.
  expected_names=$(cd "$(dirname "$harness")" && wine "$harness" --gtest_list_tests "$@" 2>/dev/null | test_names) ||
    expected_names=
  expected=$(grep -c . <<<"$expected_names" || true)
  # Into a file, not a pipe: a program that the program under test started (a
  # browser, the file manager) inherits the harness's output, and a pipe would
  # then stay open after the harness has ended.
  (cd "$(dirname "$harness")" && timeout --kill-after=10 900 wine "$harness" --gtest_color=no "$@") \
    >"$log.raw" 2>&1 || status=$?
  tr -d '\r' <"$log.raw" >"$log"
  cat "$log"

  run_passed=$(grep -cE '^\[       OK \] .* \([0-9]+ ms\)$' "$log" || true)
  run_failed=$(grep -cE '^\[  FAILED  \] .* \([0-9]+ ms\)$' "$log" || true)
  run_skipped=$(grep -cE '^\[  SKIPPED \] .* \([0-9]+ ms\)$' "$log" || true)
  missing=$((expected - run_passed - run_failed - run_skipped))
  tests_with_result FAILED "$log" >>"$work/failed-in-run"
  if [ "$expected" -eq 0 ]; then
    echo "e2e: the harness listed no tests (status $status): it could not run" >&2
    run_failed=$((run_failed + 1))
    echo "(the harness)" >>"$work/failed-in-run"
  elif [ "$missing" -gt 0 ]; then
    echo "e2e: $missing test(s) never finished (the harness ended early, status $status)" >&2
    run_failed=$((run_failed + missing))
    # Those listed that the log does not report as finished.
    { tests_with_result OK "$log"; tests_with_result FAILED "$log"; tests_with_result SKIPPED "$log"; } |
      sort -u | comm -23 <(sort -u <<<"$expected_names") - | sed 's/$/ (never finished)/' >>"$work/failed-in-run"
  fi

  # A crash of any process in the session (the program, the harness's helpers,
  # Wine's own) is a failure of the run, with winedbg's report kept beside the log.
  if [ -s "$(wine_lib_crash_log)" ]; then
    local crashes="$work/crashes${number:+-$number}.log"
    tr -d '\r' <"$(wine_lib_crash_log)" >"$crashes"
    echo "e2e: a process crashed during the run; winedbg's report ($crashes):" >&2
    sed -n '/^Unhandled exception/,/^Modules:/p' "$crashes" | grep -v '^Modules:' | head -60 >&2
    run_failed=$((run_failed + 1))
    echo "(a crash, see $(basename "$crashes"))" >>"$work/failed-in-run"
  fi

  # The prefix may be reused only after a run in which every test finished.
  if [ "$expected" -gt 0 ] && [ "$missing" -le 0 ]; then
    wine_lib_prefix_done
  fi
  wine_lib_cleanup
}

summary_line() {  # $1 prefix, $2 passed, $3 failed, $4 skipped
  local line="$1 $2 passed, $3 failed"
  [ "$4" -eq 0 ] || line="$line, $4 skipped"
  echo "$line"
}

passed=0
failed=0
skipped=0
all_ran=1
rm -f "$work"/crashes*.log  # what is there after this belongs to this invocation
: >"$work/failures"  # "run<TAB>test" for every failure of every run
for ((run = 1; run <= runs; run++)); do
  : >"$work/failed-in-run"
  if [ -n "$repeat" ]; then
    run_once "$run" "$@"
  else
    run_once "" "$@"
  fi
  passed=$((passed + run_passed))
  failed=$((failed + run_failed))
  skipped=$((skipped + run_skipped))
  [ "$run_passed" -gt 0 ] || all_ran=
  sed "s/^/$run\t/" "$work/failed-in-run" >>"$work/failures"
  [ -z "$repeat" ] || summary_line "end-to-end run $run of $runs:" "$run_passed" "$run_failed" "$run_skipped"
done

if [ -n "$repeat" ]; then
  if [ -s "$work/failures" ]; then
    echo "end-to-end failures over $runs runs:"
    # Each test once, in the order of its first failure, with the runs it failed in.
    awk -F'\t' '!($2 in runs) { order[++n] = $2; count[$2] = 0 }
                { runs[$2] = count[$2]++ ? runs[$2] ", " $1 : $1 }
                END { for (i = 1; i <= n; i++) {
                        t = order[i]; printf "  %s (run%s %s)\n", t, (count[t] > 1 ? "s" : ""), runs[t] } }' \
      "$work/failures"
  else
    echo "end-to-end failures over $runs runs: none"
  fi
fi
summary_line "end-to-end:" "$passed" "$failed" "$skipped"
[ "$failed" -eq 0 ] && [ -n "$all_ran" ]
