#!/usr/bin/env bash
# Tamberlinox.exe side by side with bare_tray.exe, the least program that does
# the same job, under Wine: start-up, private bytes, a left click until the
# desktop menu is on the screen, mouse events per second while each runs
# (bench/wine/TrayBench.cpp), and the size of the executable. It runs in a scratch prefix of its own, on an Xvfb of its own,
# and prints each figure next to its target. A measurement, not a test: it
# exits 0 whatever the figures say.
#
#   bench/wine-bench.sh [--program PATH] [--build DIR] [--pairs N] [--work DIR]
#
#   --program  the Tamberlinox.exe to measure (default build/windows/Tamberlinox.exe)
#   --build    the build folder that holds bench/wine/tray_bench.exe and
#              bench/wine/bare_tray.exe (default build/windows), or a build of
#              bench/wine on its own
#   --pairs    how many alternating pairs of runs are measured after the
#              warm-up (default 7)
#   --work     the scratch folder with the Wine prefix (default build/wine-bench);
#              the desktop files made there are kept for the next run
#
# Build first: cmake --preset windows && cmake --build --preset windows -j2
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/scripts/wine-lib.sh"

program="$root/build/windows/Tamberlinox.exe"
build="$root/build/windows"
pairs=7
work="$root/build/wine-bench"
while [ $# -gt 0 ]; do
  case "$1" in
    --program) program=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --pairs) pairs=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    *) echo "usage: $0 [--program PATH] [--build DIR] [--pairs N] [--work DIR]" >&2; exit 2 ;;
  esac
done
# In the main tree's build they are in bench/wine/; in a build of bench/wine on its own, at the top.
bench_dir="$build/bench/wine"
[ -f "$bench_dir/tray_bench.exe" ] || bench_dir=$build
harness="$bench_dir/tray_bench.exe"
bare="$bench_dir/bare_tray.exe"
for f in "$program" "$harness" "$bare"; do
  [ -f "$f" ] || { echo "wine-bench: no $f; build the windows preset first" >&2; exit 2; }
done

mkdir -p "$work"
work=$(cd "$work" && pwd)
exec 9>"$work/lock"
flock -n 9 || { echo "wine-bench: another run holds $work/lock" >&2; exit 2; }

objdump=$(command -v i686-w64-mingw32-objdump || command -v objdump)
kb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1024 }'; }
imports() { "$objdump" -p "$1" | awk '/DLL Name:/ { printf "%s ", $3 }'; }

program_bytes=$(stat -c %s "$program")
bare_bytes=$(stat -c %s "$bare")
verdict=$([ "$program_bytes" -le $((250 * 1024)) ] && echo PASS || echo MISS)

trap wine_lib_cleanup EXIT
wine_lib_start_xvfb "$work"
wine_lib_use_prefix "$work/prefix"
wine_lib_prepare_prefix
cp "$program" "$work/Tamberlinox.exe"
cp "$bare" "$harness" "$work/"
# The harness makes the desktops' shortcuts with the shell's link object, which
# under Wine would start Wine's menu builder for each one.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
# The harness exits 0 when it printed figures; anything else means no figures.
wine "$work/tray_bench.exe" "$(winepath -w "$work/Tamberlinox.exe")" "$(winepath -w "$work/bare_tray.exe")" \
  "$pairs" || { echo "wine-bench: the harness gave no figures" >&2; exit 1; }
wine_lib_prefix_done

# The same columns as the harness's table (1 KB = 1,024 bytes).
printf '%-40s %14s %14s %11s   %-20s %s\n' "executable size" "$(kb "$program_bytes") KB" "$(kb "$bare_bytes") KB" "" \
  "<= 250 KB" "$verdict"
printf '  %s: %s bytes, imports %s\n' "Tamberlinox.exe" "$program_bytes" "$(imports "$program")"
printf '  %s: %s bytes, imports %s\n' "bare_tray.exe" "$bare_bytes" "$(imports "$bare")"
