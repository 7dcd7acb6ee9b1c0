#!/usr/bin/env bash
# Tamberlinox.exe side by side with bare_tray.exe, the least program that does
# the same job, under Wine: start-up, private bytes, a left click until the
# desktop menu is on the screen, mouse events per second while each runs
# (bench/wine/TrayBench.cpp), and the size of the executable. It runs in a scratch prefix of its own, on an Xvfb of its own,
# and prints each figure next to its target. A measurement, not a test: it
# exits 0 whatever the figures say.
#
#   bench/wine-bench.sh [--arch x86|x64|both] [--program PATH] [--build DIR] [--pairs N] [--work DIR]
#
#   --arch     x86 (the default): the 32-bit program against the 32-bit bare
#              program, in a 32-bit prefix; x64: the 64-bit program against the
#              64-bit bare program (build/windows-x64), in a 64-bit prefix; both:
#              the two one after the other, and last their "compared" columns
#              side by side
#   --program  the Tamberlinox.exe to measure (default build/windows/Tamberlinox.exe,
#              build/windows-x64/Tamberlinox.exe with --arch x64); not with both
#   --build    the build folder that holds bench/wine/tray_bench.exe and
#              bench/wine/bare_tray.exe (default build/windows, build/windows-x64
#              with --arch x64), or a build of bench/wine on its own; not with both
#   --pairs    how many alternating pairs of runs are measured after the
#              warm-up (default 7)
#   --work     the scratch folder with the Wine prefix (default build/wine-bench,
#              build/wine-bench-x64 with --arch x64); the desktop files made
#              there are kept for the next run; not with both
#
# Build first: cmake --preset windows && cmake --build --preset windows -j2
# (and the windows-x64 preset for x64).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/scripts/wine-lib.sh"

arch=x86
program=
build=
pairs=7
work=
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) arch=$2; shift 2 ;;
    --program) program=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --pairs) pairs=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    *) echo "usage: $0 [--arch x86|x64|both] [--program PATH] [--build DIR] [--pairs N] [--work DIR]" >&2; exit 2 ;;
  esac
done
case "$arch" in
  x86 | x64) ;;
  both)
    if [ -n "$program$build$work" ]; then
      echo "wine-bench: --arch both takes the default builds and folders" >&2
      exit 2
    fi
    ;;
  *) echo "wine-bench: --arch takes x86, x64 or both, not \"$arch\"" >&2; exit 2 ;;
esac

kb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1024 }'; }

# One measurement: $1 the architecture (x86 or x64); the program, build and
# work folders from the options or the architecture's defaults. Prints the
# harness's table and the sizes, and keeps the table in $work/figures.txt.
bench_one() {
  local arch=$1 program=$program build=$build work=$work wine_arch=win32 triplet=i686-w64-mingw32
  if [ "$arch" = x64 ]; then
    wine_arch=win64 triplet=x86_64-w64-mingw32
    : "${program:=$root/build/windows-x64/Tamberlinox.exe}" "${build:=$root/build/windows-x64}"
    : "${work:=$root/build/wine-bench-x64}"
  else
    : "${program:=$root/build/windows/Tamberlinox.exe}" "${build:=$root/build/windows}"
    : "${work:=$root/build/wine-bench}"
  fi
  # In the main tree's build they are in bench/wine/; in a build of bench/wine on its own, at the top.
  local bench_dir="$build/bench/wine"
  [ -f "$bench_dir/tray_bench.exe" ] || bench_dir=$build
  local harness="$bench_dir/tray_bench.exe" bare="$bench_dir/bare_tray.exe" f
  for f in "$program" "$harness" "$bare"; do
    [ -f "$f" ] || { echo "wine-bench: no $f; build the windows$([ "$arch" = x64 ] && echo -x64) preset first" >&2; return 2; }
  done

  mkdir -p "$work"
  work=$(cd "$work" && pwd)
  exec 9>"$work/lock"
  flock -n 9 || { echo "wine-bench: another run holds $work/lock" >&2; return 2; }

  local objdump
  objdump=$(command -v "$triplet-objdump" || command -v objdump)
  imports() { "$objdump" -p "$1" | awk '/DLL Name:/ { printf "%s ", $3 }'; }

  local program_bytes bare_bytes verdict
  program_bytes=$(stat -c %s "$program")
  bare_bytes=$(stat -c %s "$bare")
  verdict=$([ "$program_bytes" -le $((250 * 1024)) ] && echo PASS || echo MISS)

  wine_lib_start_xvfb "$work"
  wine_lib_use_prefix "$work/prefix" "$wine_arch"
  wine_lib_prepare_prefix
  cp "$program" "$work/Tamberlinox.exe"
  cp "$bare" "$harness" "$work/"
  # The harness makes the desktops' shortcuts with the shell's link object, which
  # under Wine would start Wine's menu builder for each one.
  local overrides=$WINEDLLOVERRIDES
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
  # The harness exits 0 when it printed figures; anything else means no figures.
  wine "$work/tray_bench.exe" "$(winepath -w "$work/Tamberlinox.exe")" "$(winepath -w "$work/bare_tray.exe")" \
    "$pairs" | tr -d '\r' | tee "$work/figures.txt" ||
    { echo "wine-bench: the harness gave no figures" >&2; return 1; }
  WINEDLLOVERRIDES=$overrides
  wine_lib_prefix_done
  wine_lib_cleanup
  exec 9>&-

  # The same columns as the harness's table (1 KB = 1,024 bytes).
  printf '%-40s %14s %14s %11s   %-20s %s\n' "executable size" "$(kb "$program_bytes") KB" "$(kb "$bare_bytes") KB" \
    "$(awk -v p="$program_bytes" -v b="$bare_bytes" 'BEGIN { printf "%.2fx", p / b }')" "<= 250 KB" "$verdict" |
    tee -a "$work/figures.txt"
  printf '  %s: %s bytes, imports %s\n' "Tamberlinox.exe" "$program_bytes" "$(imports "$program")"
  printf '  %s: %s bytes, imports %s\n' "bare_tray.exe" "$bare_bytes" "$(imports "$bare")"
}

trap wine_lib_cleanup EXIT
if [ "$arch" != both ]; then
  bench_one "$arch"
  exit
fi

echo "== 32-bit: Tamberlinox.exe against bare_tray.exe, both 32-bit, in a 32-bit prefix"
bench_one x86
echo
echo "== 64-bit: Tamberlinox.exe against bare_tray.exe, both 64-bit, in a 64-bit prefix"
bench_one x64
echo
# The rows of the two tables that compare, side by side: a row is the figure's
# name, then right-aligned fields (Tamberlinox, bare, compared, target,
# verdict), each apart from the next by two spaces or more. Memory is compared
# as a difference; its ratio is added in brackets.
echo "compared with the bare program of the same architecture:"
printf '%-42s %-22s %s\n' "" "32-bit" "64-bit"
awk 'FNR == 1 { file++ }
     {
       n = split($0, f, /  +/)
       if (n < 5 || f[1] == "" || f[4] !~ /^[-+0-9.]+ ?(x|MiB)$/) next
       value = f[4]
       if (value ~ /MiB$/ && f[3] + 0 > 0) value = sprintf("%s (%.2fx)", value, f[2] / f[3])
       if (file == 1) { order[++rows] = f[1]; x86[f[1]] = value } else x64[f[1]] = value
     }
     END { for (i = 1; i <= rows; i++) printf "%-42s %-22s %s\n", order[i], x86[order[i]], (order[i] in x64 ? x64[order[i]] : "-") }' \
  "$root/build/wine-bench/figures.txt" "$root/build/wine-bench-x64/figures.txt"
