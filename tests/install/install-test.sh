#!/usr/bin/env bash
# Installs Tamberlinox with its installer under Wine, runs it, installs it again
# over the running copy and uninstalls it, checking at each stage what a user
# would find: files, Start menu shortcuts, the entry in the list of installed
# programs, the program running (main window, tray icon, hot key, start-up
# entry), settings kept across an install, and nothing left after the uninstall.
#
#   tests/install/install-test.sh [--no-build] [--display :N] [--fresh-prefix]
#
#   --no-build       use build/windows as it is (otherwise the targets package and
#                    install_probe are built there first)
#   --display :N     use this X display instead of starting an Xvfb of our own
#   --fresh-prefix   build the Wine prefix anew even when the old one could be reused
#
# Everything lives in build/install/: the Wine prefix and the logs. Prints one
# line per check and, last, "install: N passed, N failed". Exits 0 only when
# every check passed.
#
# Ending the program shows the desktop icons again. Wine has no desktop icon
# window ("Progman"), so that cannot be seen here without a stand-in for it;
# the end-to-end tests (tests/e2e) provide one and check it there. This test
# checks that the program ends: its window, its process and its hot key go.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$root/scripts/wine-lib.sh"

build_first=1
display=
fresh=
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build_first=; shift ;;
    --display) display=$2; shift 2 ;;
    --fresh-prefix) fresh=1; shift ;;
    *) echo "install: unknown argument $1" >&2; exit 2 ;;
  esac
done

work="$root/build/install"
build="$root/build/windows"
mkdir -p "$work"
version=$(sed -n 's/^project(Tamberlinox VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
setup="$build/Tamberlinox-$version-setup.exe"
probe="$build/tests/install/install_probe.exe"

if [ -n "$build_first" ]; then
  if ! { [ -f "$build/CMakeCache.txt" ] || cmake --preset windows; } >"$work/build.log" 2>&1 ||
    ! cmake --build "$build" -j2 --target package install_probe >>"$work/build.log" 2>&1; then
    tail -n 30 "$work/build.log"
    echo "install: the installer could not be built (log: $work/build.log)" >&2
    echo "install: 0 passed, 1 failed"
    exit 1
  fi
fi
for file in "$setup" "$probe"; do
  if [ ! -f "$file" ]; then
    echo "install: $file is missing: cmake --build --preset windows --target package install_probe" >&2
    echo "install: 0 passed, 1 failed"
    exit 1
  fi
done

# One run at a time in this tree: they would share the prefix.
exec 9>"$work/lock"
if ! flock -w 300 9; then
  echo "install: another run in this tree holds $work/lock" >&2
  exit 2
fi

trap wine_lib_cleanup EXIT
if [ -n "$display" ]; then
  export DISPLAY=$display
else
  wine_lib_start_xvfb "$work" || exit 2
fi
wine_lib_use_prefix "$work/prefix"
[ -z "$fresh" ] || rm -f "$WINEPREFIX/.tamberlinox-prefix"
wine_lib_prepare_prefix || exit 2
rm -f "$(wine_lib_crash_log)" "$work/crashes.log"

passed=0
failed=0
# check DESCRIPTION COMMAND...: runs the command and counts its result.
check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok      $what"
  else
    failed=$((failed + 1))
    echo "FAILED  $what"
  fi
}

win() { wine "$@" 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null; }
windows_path() { winepath -w "$1" 2>/dev/null; }
ask_probe() { timeout 20 wine "$probe" "$1" >/dev/null 2>&1; }
probe_says_no() {
  local status=0
  ask_probe "$1" || status=$?
  [ "$status" -eq 1 ]
}
reg_view=  # "/reg:64" in a 64-bit prefix, whose reg.exe (run by "wine reg") is 32-bit
# The data of one registry value as reg prints it (REG_DWORD as 0x...); fails when absent.
reg_value() {
  local out
  out=$(win reg query "$1" /v "$2" $reg_view) || return 1
  sed -n "s/^    $2    REG_[A-Z_]*    //p" <<<"$out"
}
reg_is() { [ "$(reg_value "$1" "$2")" = "$3" ]; }
reg_value_absent() { ! win reg query "$1" /v "$2" $reg_view >/dev/null; }
reg_key_absent() { ! win reg query "$1" $reg_view >/dev/null; }
reg_dump() { win reg query "$1" /s; }
positive_dword() { local v; v=$(reg_value "$1" "$2") && [[ $v =~ ^0x[0-9a-f]+$ ]] && [ $((v)) -gt 0 ]; }
same_file() { cmp -s "$1" "$2"; }
absent() { local file; for file; do [ ! -e "$file" ] || return 1; done; }
# The machine a program file is for, from its PE header: 0x14c x86, 0x8664 x64.
pe_machine() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ') || return 1
  printf '0x%x\n' "$((16#$(od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' ')))"
}
is_machine() { [ "$(pe_machine "$1")" = "$2" ]; }
wait_for() { wine_lib_wait_for "$@"; }
wait_gone() {
  local limit=$1
  shift
  wine_lib_wait_for "$limit" eval "! { $*; }"
}
# Whether a process of this prefix runs a program file whose name matches $1
# (an extended regular expression, any case). Wine shows a process's Windows
# command line as its Linux one.
prefix_runs() {
  local cmdline pid
  while IFS= read -r cmdline; do
    pid=${cmdline#/proc/}
    pid=${pid%/cmdline}
    grep -qszxF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" && return 0
  done < <(grep -laisE -- "$1" /proc/[0-9]*/cmdline)
  return 1
}
program_running() { prefix_runs '[\]Tamberlinox[.]exe'; }
# The uninstaller's copy of itself runs from a folder "~nsu....tmp".
uninstaller_running() { prefix_runs '[\]~nsu'; }

local_appdata=$(win cmd /c echo %LOCALAPPDATA%)
appdata=$(win cmd /c echo %APPDATA%)
folder_win="$local_appdata\\Programs\\Tamberlinox"
exe_win="$folder_win\\Tamberlinox.exe"
uninstaller_win="$folder_win\\Uninstall.exe"
folder=$(unix_path "$folder_win")
shortcut=$(unix_path "$appdata\\Microsoft\\Windows\\Start Menu\\Programs")/Tamberlinox.lnk
options_shortcut=${shortcut%.lnk}" Options.lnk"
setup_win=$(windows_path "$setup")
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tamberlinox'
run_key='Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\Zemrik Software\Tamberlinox'
maker_key='HKCU\Software\Zemrik Software'

# Runs a silent install; its exit code is checked.
install_silently() {
  local status=0
  timeout 90 wine "$setup_win" /S >>"$work/wine.log" 2>&1 || status=$?
  check "$1: the installer ends with exit code 0 (it gave $status)" [ "$status" -eq 0 ]
}

# Runs the uninstaller the way the list of installed programs does it silently.
# The uninstaller copies itself to the temporary folder and goes on from there
# (so that it can delete itself): its end is awaited through that copy.
uninstall_silently() {
  local quiet status=0
  quiet=$(reg_value "$uninstall_key" QuietUninstallString)
  check "$1: QuietUninstallString is \"...\\Uninstall.exe\" /S" [ "$quiet" = "\"$uninstaller_win\" /S" ]
  timeout 60 wine "$uninstaller_win" /S >>"$work/wine.log" 2>&1 || status=$?
  check "$1: the uninstaller ends with exit code 0 (it gave $status)" [ "$status" -eq 0 ]
  wait_gone 30 uninstaller_running || true
}

start_program() {
  wine "$exe_win" >>"$work/wine.log" 2>&1 &
  wait_for 20 ask_probe window
}

echo "install: installer $setup"

# The portable zips hold the program, its help and the README, at their top.
zip_lists() { [ "$(cmake -E tar tf "$1" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ')" = "Help.txt README.txt Tamberlinox.exe " ]; }
# The manifest names the program's processor, for the program and for the
# common controls it asks for (a 64-bit program asking for x86 ones gets none).
manifest_names() { [ "$(grep -ao 'processorArchitecture="[^"]*"' "$1" | sort | uniq -c | tr -s ' ')" = " 2 processorArchitecture=\"$2\"" ]; }
for zip in win32:0x14c:x86 win64:0x8664:amd64; do
  IFS=: read -r suffix machine processor <<<"$zip"
  rm -rf "$work/zip" && mkdir -p "$work/zip" && (cd "$work/zip" && cmake -E tar xf "$build/Tamberlinox-$version-$suffix.zip")
  check "zip $suffix: holds Tamberlinox.exe, Help.txt and README.txt" zip_lists "$build/Tamberlinox-$version-$suffix.zip"
  check "zip $suffix: its program is for the machine $machine" is_machine "$work/zip/Tamberlinox.exe" "$machine"
  check "zip $suffix: its manifest names $processor twice" manifest_names "$work/zip/Tamberlinox.exe" "$processor"
done
policies_list() { [ "$(cmake -E tar tf "$1" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ')" = "Tamberlinox.admx en-US/Tamberlinox.adml " ]; }
check "policies zip: holds the template and its en-US texts" policies_list "$build/Tamberlinox-$version-policies.zip"

# The winget manifests: the required fields of each, and one entry per installer
# and architecture naming its file at the download address with the file's hash.
winget="$build/winget/ZemrikSoftware.Tamberlinox"
# has_lines FILE PATTERN...: each extended regular expression matches a whole line.
has_lines() { local file=$1 line; shift; for line; do grep -qxE -- "$line" "$file" || return 1; done; }
common=("PackageIdentifier: ZemrikSoftware.Tamberlinox" "PackageVersion: $version" "ManifestVersion: 1.10.0")
check "winget: the version manifest" has_lines "$winget.yaml" "${common[@]}" "DefaultLocale: en-US" "ManifestType: version"
check "winget: the locale manifest" has_lines "$winget.locale.en-US.yaml" "${common[@]}" "PackageLocale: en-US" \
  "Publisher: .+" "PackageName: Tamberlinox" "License: .+" "ShortDescription: .+" "ManifestType: defaultLocale"
check "winget: the installer manifest" has_lines "$winget.installer.yaml" "${common[@]}" "ManifestType: installer"
download_url=$(sed -n 's|^TAMBERLINOX_DOWNLOAD_URL:STRING=\(https://.*[^/]\)/*$|\1|p' "$build/CMakeCache.txt")
msi_product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
# winget_lists ARCH TYPE SCOPE FILE [PRODUCT-CODE]: the manifest holds that entry, its fields in this order.
winget_lists() {
  local entry="  - Architecture: $1|    InstallerType: $2|    Scope: $3|    InstallerUrl: $download_url/${4##*/}|"
  entry+="    InstallerSha256: $(sha256sum "$4" | cut -d' ' -f1 | tr a-f A-F)|${5:+    ProductCode: '$5'|}"
  [[ "$(tr '\n' '|' <"$winget.installer.yaml")" == *"$entry"* ]]
}
check "winget: four installers" [ "$(grep -c '^  - Architecture:' "$winget.installer.yaml")" -eq 4 ]
for arch in x86 x64; do
  check "winget: the setup for $arch, per user, with its hash" winget_lists $arch nullsoft user "$setup"
  msi="$build/Tamberlinox-$version-$arch.msi"
  check "winget: the $arch MSI, per machine, with its hash and product code" \
    winget_lists $arch msi machine "$msi" "$(msi_product_code "$msi")"
done

# A first install.
install_silently "install"
check "install: Tamberlinox.exe is the built program" same_file "$folder/Tamberlinox.exe" "$build/Tamberlinox.exe"
check "install: for x86 on 32-bit Windows" is_machine "$folder/Tamberlinox.exe" 0x14c
check "install: Help.txt is the help file" same_file "$folder/Help.txt" "$root/Help.txt"
check "install: Uninstall.exe is there" [ -f "$folder/Uninstall.exe" ]
check "install: the Start menu shortcut is there" [ -f "$shortcut" ]
check "install: the shortcut starts the installed program" grep -aqiF "Programs\\Tamberlinox\\Tamberlinox.exe" "$shortcut"
check "install: the Start menu shortcut \"Tamberlinox Options\" is there" [ -f "$options_shortcut" ]
check "install: it starts the installed program" grep -aqiF "Programs\\Tamberlinox\\Tamberlinox.exe" "$options_shortcut"
# A shortcut keeps its arguments as UTF-16: read without the zero bytes.
has_options_argument() { tr -d '\000' <"$options_shortcut" | grep -aqF "/options"; }
check "install: with the argument /options" has_options_argument
check "install: DisplayName" reg_is "$uninstall_key" DisplayName Tamberlinox
check "install: DisplayVersion" reg_is "$uninstall_key" DisplayVersion "$version"
check "install: Publisher" reg_is "$uninstall_key" Publisher "Zemrik Software"
check "install: DisplayIcon" reg_is "$uninstall_key" DisplayIcon "$exe_win"
check "install: UninstallString (quoted)" reg_is "$uninstall_key" UninstallString "\"$uninstaller_win\""
check "install: QuietUninstallString" reg_is "$uninstall_key" QuietUninstallString "\"$uninstaller_win\" /S"
check "install: InstallLocation" reg_is "$uninstall_key" InstallLocation "$folder_win"
check "install: NoModify" reg_is "$uninstall_key" NoModify 0x1
check "install: NoRepair" reg_is "$uninstall_key" NoRepair 0x1
check "install: EstimatedSize" positive_dword "$uninstall_key" EstimatedSize
check "install: the installer writes no settings" reg_key_absent "$settings_key"

# The installed program runs.
check "run: the main window appears" start_program
check "run: the tray icon is there" wait_for 10 ask_probe tray
check "run: the hot key F10 is taken" ask_probe hotkey
# The entry is quoted, so that a folder with blanks is never read prefix by prefix.
autostart_set() { reg_is "HKLM\\$run_key" Tamberlinox "\"$exe_win\"" || reg_is "HKCU\\$run_key" Tamberlinox "\"$exe_win\""; }
check "run: the start-up entry names the installed program" wait_for 5 autostart_set
settings_written() { reg_value "$settings_key" Key >/dev/null; }
check "run: the settings hold the hot key" wait_for 5 settings_written

# An install over the running copy ends that copy, replaces the files and keeps the settings.
settings_before=$(reg_dump "$settings_key")
# Marks the installed files (Linux lets the test change a running program's
# file), so that a file left in place is told from a replaced one.
echo "changed by the test" >>"$folder/Tamberlinox.exe"
echo "changed by the test" >>"$folder/Help.txt"
install_silently "reinstall"
check "reinstall: the running copy has ended" wait_gone 5 program_running
check "reinstall: no copy of the program runs" probe_says_no window
check "reinstall: Tamberlinox.exe was replaced by the built program" same_file "$folder/Tamberlinox.exe" "$build/Tamberlinox.exe"
check "reinstall: Help.txt is the help file again" same_file "$folder/Help.txt" "$root/Help.txt"
check "reinstall: the settings are unchanged" [ "$(reg_dump "$settings_key")" = "$settings_before" ]
check "reinstall: the list entry is still there" reg_is "$uninstall_key" DisplayName Tamberlinox

# The uninstaller ends the running copy and removes everything.
ask_probe window || start_program || true
check "uninstall: the program runs before" ask_probe window
# A start-up entry for the user alone, as the program writes where it may not write for the machine.
win reg add "HKCU\\$run_key" /v Tamberlinox /d "$exe_win" /f >/dev/null
uninstall_silently "uninstall"
check "uninstall: the program's process has ended" wait_gone 5 program_running
check "uninstall: the main window is gone" probe_says_no window
check "uninstall: the hot key F10 is free" probe_says_no hotkey
check "uninstall: the install folder is gone" absent "$folder"
check "uninstall: the Start menu shortcut is gone" absent "$shortcut"
check "uninstall: the Options shortcut is gone" absent "$options_shortcut"
check "uninstall: the list entry is gone" reg_key_absent "$uninstall_key"
check "uninstall: the start-up entry for the machine is gone" reg_value_absent "HKLM\\$run_key" Tamberlinox
check "uninstall: the start-up entry for the user is gone" reg_value_absent "HKCU\\$run_key" Tamberlinox
check "uninstall: the settings are gone" reg_key_absent "$settings_key"
check "uninstall: the maker's key, then empty, is gone" reg_key_absent "$maker_key"

# The maker's key stays when it holds more than this program's settings. A copy
# that the uninstaller above failed to end would spoil this part too: it goes first.
if program_running; then
  win taskkill /f /im Tamberlinox.exe >/dev/null
  wait_gone 5 program_running || true
fi
install_silently "install again"
win reg add "$settings_key" /v Key /d 121 /f >/dev/null
win reg add "$maker_key\\Other" /v Kept /d yes /f >/dev/null
uninstall_silently "uninstall again"
check "uninstall again: the settings are gone" reg_key_absent "$settings_key"
check "uninstall again: another key of the maker stays" reg_is "$maker_key\\Other" Kept yes
win reg delete "$maker_key" /f >/dev/null
check "uninstall again: the install folder is gone" absent "$folder"

# msi_walk ARCH PROGRAM MACHINE [UPGRADE]: the MSI installed silently for the
# machine, the program started from Program Files, (with UPGRADE: a newer MSI
# replacing it while the program runs), removed silently while the program runs.
msi_walk() {
  local arch=$1 built=$2 machine=$3 upgrade=${4:-} at="msi $1" status
  local msi="$build/Tamberlinox-$version-$arch.msi" msi_folder_win msi_exe_win msi_folder programs product settings
  # Wine's cmd is 32-bit: %ProgramFiles% is the 32-bit folder, %ProgramW6432% the 64-bit one.
  msi_folder_win="$(win cmd /c echo "%Program$([ "$arch" = x64 ] && echo W6432 || echo Files)%")\\Tamberlinox"
  msi_exe_win="$msi_folder_win\\Tamberlinox.exe"
  msi_folder=$(unix_path "$msi_folder_win")
  product() { echo "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(msi_product_code "$msi")"; }
  msiexec_ok() {
    status=0
    timeout 120 wine msiexec "$2" "$(windows_path "$msi")" /qn >>"$work/wine.log" 2>&1 || status=$?
    check "$at: $1: msiexec $2 /qn ends with exit code 0 (it gave $status)" [ "$status" -eq 0 ]
  }
  # The machine's start-up entry, in the registry view of the architecture.
  machine_run_is() { reg_is "HKLM\\$run_key" Tamberlinox "\"$msi_exe_win\""; }
  options_shortcut_for_all() { tr -d '\000' <"$programs/Tamberlinox Options.lnk" | grep -aqF "/options"; }
  in_32_bit_view() { win reg query "HKLM\\$run_key" /v Tamberlinox /reg:32 >/dev/null; }

  msiexec_ok install /i
  # Every user's Start menu (ProgramData); Wine's msi uses the installing user's.
  programs=$(unix_path "$(win cmd /c echo %ProgramData%)\\Microsoft\\Windows\\Start Menu\\Programs")
  [ -e "$programs/Tamberlinox.lnk" ] || programs=$(unix_path "$appdata\\Microsoft\\Windows\\Start Menu\\Programs")
  check "$at: Program Files\\Tamberlinox\\Tamberlinox.exe is the built program" same_file "$msi_folder/Tamberlinox.exe" "$built"
  check "$at: for the machine $machine" is_machine "$msi_folder/Tamberlinox.exe" "$machine"
  check "$at: Help.txt is the help file" same_file "$msi_folder/Help.txt" "$root/Help.txt"
  check "$at: the shortcut starts the program" grep -aqiF "Tamberlinox\\Tamberlinox.exe" "$programs/Tamberlinox.lnk"
  check "$at: the shortcut \"Tamberlinox Options\" gives /options" options_shortcut_for_all
  check "$at: Settings > Apps lists Tamberlinox $version.0" reg_is "$(product)" DisplayVersion "$version.0"
  check "$at: the start-up entry for every user names the program, quoted" machine_run_is

  # Started from Program Files, the program finds the machine's entry and adds none.
  wine "$msi_exe_win" >>"$work/wine.log" 2>&1 &
  check "$at: run: the main window and the tray icon appear" wait_for 20 ask_probe tray
  check "$at: run: the settings hold the hot key" wait_for 5 settings_written
  check "$at: run: no start-up entry for the user" reg_value_absent "HKCU\\$run_key" Tamberlinox
  check "$at: run: the machine's entry is unchanged" machine_run_is
  # A program that read the other view would not find the entry and write its own there.
  [ "$arch" = x86 ] || check "$at: run: nothing in the 32-bit view" eval '! in_32_bit_view'
  settings=$(reg_dump "$settings_key")

  if [ -n "$upgrade" ]; then
    # The same source with a higher version replaces this one, ending the running copy.
    local old_product stage="$work/msi-upgrade"
    old_product=$(product)
    rm -rf "$stage" && mkdir -p "$stage" && cp "$built" "$root/Help.txt" "$root/resources/main.ico" "$stage/"
    msi="$work/Tamberlinox-$upgrade-$arch.msi"
    (cd "$stage" && wixl -a "$arch" -D Arch="$arch" -D Version="$upgrade" -D Program=Tamberlinox.exe -D Help=Help.txt \
      -D Icon=main.ico -D UpdateUrl=https://example.com -o "$msi" "$root/packaging/Tamberlinox.wxs")
    echo "changed by the test" >>"$msi_folder/Help.txt"
    msiexec_ok "upgrade to $upgrade" /i
    check "$at: upgrade: the running copy was ended" wait_gone 10 program_running
    check "$at: upgrade: the older version is gone from Settings > Apps" reg_key_absent "$old_product"
    check "$at: upgrade: the newer version is listed" reg_is "$(product)" DisplayVersion "$upgrade"
    check "$at: upgrade: its files are in place" same_file "$msi_folder/Help.txt" "$root/Help.txt"
    check "$at: upgrade: the user's settings are unchanged" [ "$(reg_dump "$settings_key")" = "$settings" ]
    wine "$msi_exe_win" >>"$work/wine.log" 2>&1 &
    wait_for 20 ask_probe window || true
  fi

  # Under Wine the copy ends some 0.6 s after /exit has returned (no desktop icon
  # window): a removal that did not wait for it would leave its program file.
  msiexec_ok remove /x
  check "$at: remove: the running copy has ended" wait_gone 5 program_running
  check "$at: remove: the install folder is gone" absent "$msi_folder"
  check "$at: remove: the shortcuts are gone" absent "$programs/Tamberlinox.lnk" "$programs/Tamberlinox Options.lnk"
  check "$at: remove: Settings > Apps no longer lists it" reg_key_absent "$(product)"
  check "$at: remove: the start-up entry is gone" reg_value_absent "HKLM\\$run_key" Tamberlinox
  check "$at: remove: the user's settings stay" [ "$(reg_dump "$settings_key")" = "$settings" ]
  win reg delete "$maker_key" /f >/dev/null
}
msi_walk x86 "$build/Tamberlinox.exe" 0x14c "$version.1"

# finish_prefix: the crash reports of the prefix in use, then its server ends.
finish_prefix() {
  if [ -s "$(wine_lib_crash_log)" ]; then
    tr -d '\r' <"$(wine_lib_crash_log)" >>"$work/crashes.log"
    sed -n '/^Unhandled exception/,/^Modules:/p' "$work/crashes.log" | grep -v '^Modules:' | head -40 >&2
  fi
  check "$1: no process crashed (winedbg's reports: $work/crashes.log)" [ ! -s "$(wine_lib_crash_log)" ]
  [ "$failed" -ne 0 ] || wine_lib_prefix_done  # reused only after a run that left nothing behind
  wineserver -k 2>/dev/null || true
}
finish_prefix "32-bit Windows"

# 64-bit Windows: a 64-bit prefix runs the 64-bit MSI, and the setup installs the 64-bit program there.
x64_build=$(sed -n 's/^TAMBERLINOX_X64_BUILD_DIR:PATH=//p' "$build/CMakeCache.txt")
wine_lib_use_prefix "$work/prefix64"
export WINEARCH=win64
[ -z "$fresh" ] || rm -f "$WINEPREFIX/.tamberlinox-prefix"
wine_lib_prepare_prefix || exit 2
rm -f "$(wine_lib_crash_log)"
reg_view=/reg:64
msi_walk x64 "$x64_build/Tamberlinox.exe" 0x8664

folder=$(unix_path "$(win cmd /c echo %LOCALAPPDATA%)\\Programs\\Tamberlinox")
install_silently "setup on x64"
check "setup on x64: Tamberlinox.exe is the 64-bit program" same_file "$folder/Tamberlinox.exe" "$x64_build/Tamberlinox.exe"
check "setup on x64: for the machine 0x8664" is_machine "$folder/Tamberlinox.exe" 0x8664
uninstall_silently "setup on x64"
check "setup on x64: the uninstaller removes it" absent "$folder"
finish_prefix "64-bit Windows"
wine_lib_cleanup

echo "install: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
