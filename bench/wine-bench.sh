#!/usr/bin/env bash
# Runs the Wine benchmark of the real program (bench/wine/MenuOpenBench.cpp) in
# a scratch prefix of its own, on an Xvfb of its own, and prints its figures.
# Build first: cmake --preset windows && cmake --build --preset windows -j2
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/scripts/wine-lib.sh"

bench="$root/build/windows/bench/menu_open_bench.exe"
program="$root/build/windows/Tamberlinox.exe"
for f in "$bench" "$program"; do
  [ -f "$f" ] || { echo "wine-bench: no $f; build the windows preset first" >&2; exit 2; }
done

work="$root/build/wine-bench"
mkdir -p "$work"
exec 9>"$work/lock"
flock -n 9 || { echo "wine-bench: another run holds $work/lock" >&2; exit 2; }

trap wine_lib_cleanup EXIT
wine_lib_start_xvfb "$work"
wine_lib_use_prefix "$work/prefix"
wine_lib_prepare_prefix
cp "$program" "$bench" "$work/"
wine "$work/menu_open_bench.exe" 'Z:'"$(echo "$work/Tamberlinox.exe" | tr / '\\')"
wine_lib_prefix_done
