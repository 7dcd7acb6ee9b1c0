#!/usr/bin/env bash
# Runs the end-to-end tests: the harness (tests/e2e) drives Tamberlinox.exe under
# Wine, playing the Windows shell around it. Build first with the windows preset.
#
#   scripts/e2e.sh [--program FILE] [--display :N] [--fresh-prefix] [gtest arguments...]
#
#   --program FILE    test this exe instead of build/windows/Tamberlinox.exe
#                     (e.g. build/windows/tests/e2e/e2e_probe.exe, to check the tests themselves)
#   --display :N      use this X display instead of starting an Xvfb of our own
#   --fresh-prefix    build the Wine prefix anew even when the old one could be reused
#
# Everything lives in build/e2e/: the Wine prefix, the logs. Prints the harness's
# output and, last, one line "end-to-end: N passed, N failed". Exits 0 only when
# tests ran and none failed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/scripts/wine-lib.sh"

program=
display=
fresh=
while [ $# -gt 0 ]; do
  case "$1" in
    --program) program=$2; shift 2 ;;
    --display) display=$2; shift 2 ;;
    --fresh-prefix) fresh=1; shift ;;
    *) break ;;
  esac
done

if [ -n "$program" ] && [ ! -f "$program" ]; then
  echo "e2e: no program at $program" >&2
  exit 2
fi
harness="$root/build/windows/tests/e2e/tamberlinox_e2e.exe"
if [ ! -f "$harness" ]; then
  echo "e2e: no harness at $harness; build first: cmake --preset windows && cmake --build --preset windows" >&2
  exit 2
fi

work="$root/build/e2e"
mkdir -p "$work"
# One run at a time in this tree: they would share the prefix.
exec 9>"$work/lock"
if ! flock -w 900 9; then
  echo "e2e: another run in this tree holds $work/lock" >&2
  exit 2
fi

trap wine_lib_cleanup EXIT
if [ -n "$display" ]; then
  export DISPLAY=$display
else
  wine_lib_start_xvfb "$work"
fi
wine_lib_use_prefix "$work/prefix"
[ -z "$fresh" ] || rm -f "$WINEPREFIX/.tamberlinox-prefix"
wine_lib_prepare_prefix

if [ -n "$program" ]; then
  TAMBERLINOX_E2E_PROGRAM=$(winepath -w "$(cd "$(dirname "$program")" && pwd)/$(basename "$program")")
  export TAMBERLINOX_E2E_PROGRAM
fi

cd "$(dirname "$harness")"
# The tests that should run, to count a crash of the harness as failures.
expected=$(wine "$harness" --gtest_list_tests "$@" 2>/dev/null | tr -d '\r' | grep -c '^  [^ ]' || true)
log="$work/harness.log"
status=0
# Into a file, not a pipe: a program that the program under test started (a
# browser, the file manager) inherits the harness's output, and a pipe would
# then stay open after the harness has ended.
timeout --kill-after=10 900 wine "$harness" --gtest_color=no "$@" >"$log.raw" 2>&1 || status=$?
tr -d '\r' <"$log.raw" >"$log"
cat "$log"

passed=$(grep -cE '^\[       OK \] .* \([0-9]+ ms\)$' "$log" || true)
failed=$(grep -cE '^\[  FAILED  \] .* \([0-9]+ ms\)$' "$log" || true)
skipped=$(grep -cE '^\[  SKIPPED \] .* \([0-9]+ ms\)$' "$log" || true)
missing=$((expected - passed - failed - skipped))
if [ "$expected" -eq 0 ]; then
  echo "e2e: the harness listed no tests (status $status): it could not run" >&2
  failed=$((failed + 1))
elif [ "$missing" -gt 0 ]; then
  echo "e2e: $missing test(s) never finished (the harness ended early, status $status)" >&2
  failed=$((failed + missing))
fi

# The prefix may be reused only after a run in which every test finished.
if [ "$expected" -gt 0 ] && [ "$missing" -le 0 ]; then
  wine_lib_prefix_done
fi
wine_lib_cleanup

summary="end-to-end: $passed passed, $failed failed"
[ "$skipped" -eq 0 ] || summary="$summary, $skipped skipped"
echo "$summary"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
