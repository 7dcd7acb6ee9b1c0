#!/usr/bin/env bash
# Makes the README's screenshots from the real program, run under Wine inside
# Wine's virtual desktop (1024x768, its taskbar at the bottom) on an Xvfb of
# its own:
#
#   docs/screenshots/desktop-menu.png   the tray icon's desktop menu (left click)
#   docs/screenshots/desktop-folders.png  the same with "FolderMenus" on and a
#                                         folder's submenu open
#   docs/screenshots/command-menu.png   the tray icon's command menu (right click)
#   docs/screenshots/hotkey-window.png  the window that "Select Hot Key" opens
#   docs/screenshots/about-window.png   the window that "About----Version ..." opens
#
#   scripts/screenshots.sh [--program FILE] [--out DIR]
#
#   --program FILE  photograph this exe instead of build/windows/Tamberlinox.exe
#                   (built with the windows preset when it is missing)
#   --out DIR       write the pictures there instead of docs/screenshots
#
# Each menu is shown with the corner of the taskbar below it, where the tray
# icon is. The two windows are cut to their client area: Wine draws the
# buttons in a window's caption with a fallback font ("0 1 r" instead of the
# minimize, maximize and close symbols), which would only mislead.
#
# A small helper (tools/screenshots, built into build/screenshots/helper)
# clicks the tray icon, chooses the commands and says where the menus and
# windows are. The Wine prefix and the logs live in build/screenshots.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/scripts/wine-lib.sh"

program="$root/build/windows/Tamberlinox.exe"
custom=
out="$root/docs/screenshots"
while [ $# -gt 0 ]; do
  case "$1" in
    --program) program=$2; custom=1; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "screenshots: unknown argument $1 (see the top of $0)" >&2; exit 2 ;;
  esac
done

"$root/scripts/install-deps.sh" imagemagick  # import takes and crops the pictures

if [ -z "$custom" ] && [ ! -f "$program" ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j2 --target Tamberlinox
fi
[ -f "$program" ] || { echo "screenshots: no program at $program" >&2; exit 1; }

work="$root/build/screenshots"
mkdir -p "$work" "$out"
exec 9>"$work/lock"
flock -n 9 || { echo "screenshots: another run in this tree holds $work/lock" >&2; exit 1; }

if [ ! -f "$work/helper/CMakeCache.txt" ]; then
  cmake -S "$root/tools/screenshots" -B "$work/helper" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$work/helper" -j2 >/dev/null
helper_exe="$work/helper/screenshot_helper.exe"

trap wine_lib_cleanup EXIT
wine_lib_start_xvfb "$work"
wine_lib_use_prefix "$work/prefix"
wine_lib_prepare_prefix

# One step of the helper; its output is a rectangle "x y width height".
helper() { wine "$helper_exe" "$@" | tr -d '\r'; }

fail() {
  echo "screenshots: $*" >&2
  exit 1
}

# Installed as a user would, in a folder of its own with its help file.
folder="$WINEPREFIX/drive_c/Program Files/Tamberlinox"
mkdir -p "$folder"
cp "$program" "$folder/Tamberlinox.exe"
cp "$root/Help.txt" "$folder/Help.txt"
exe='C:\Program Files\Tamberlinox\Tamberlinox.exe'

# A desktop with a few documents and shortcuts to programs, and nothing else
# on either desktop.
profile=$(winepath -u "$(wine cmd /c 'echo %USERPROFILE%' | tr -d '\r')")
for desktop in "$profile/Desktop" "$WINEPREFIX/drive_c/users/Public/Desktop"; do
  mkdir -p "$desktop"
  find "$desktop" -mindepth 1 -delete
done
for item in "Budget 2026.xlsx" "Notes.txt" "Report.docx"; do
  : >"$profile/Desktop/$item"
done
# A folder, listed only with "FolderMenus" on (the second picture).
mkdir -p "$profile/Desktop/Projects/Photos"
for item in "Garden plan.docx" "Notes 2.txt" "Notes 10.txt" "Quotes.xlsx"; do
  : >"$profile/Desktop/Projects/$item"
done
# (Without Wine's menu builder, which would put a Unix launcher beside each.)
desktop_w=$(winepath -w "$profile/Desktop")
for shortcut in "Minesweeper:winemine.exe" "Notepad:notepad.exe" "Write:write.exe"; do
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d" \
    helper shortcut "$desktop_w\\${shortcut%%:*}.lnk" "C:\\windows\\system32\\${shortcut#*:}" ||
    fail "could not make the shortcut ${shortcut%%:*}"
done

# The program adds itself to the programs that start with Windows; the prefix
# is kept for the next run, without that entry.
remove_autostart() {
  local key
  for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run'; do
    wine reg delete "$key" /v Tamberlinox /f >/dev/null 2>&1 || true
  done
}
remove_autostart
# As after an earlier start: the first one's hint would be a balloon over the menus.
wine reg add 'HKCU\Software\Zemrik Software\Tamberlinox' /v Key /d 121 /f >/dev/null 2>&1

wine "$exe" >"$work/program.log" 2>&1 &
helper started >/dev/null || fail "the program's main window did not come (see $work/program.log)"
read -r bar_x bar_y bar_w bar_h < <(helper taskbar) || fail "no taskbar"
screen_w=$((bar_x + bar_w))
screen_h=$((bar_y + bar_h))

# Number of colours in a part of the screen. $1: geometry WxH+X+Y.
colours() { import -window root -crop "$1" +repage -format %k info:; }

# The tray icon is the last thing the program's start-up does, and Wine's
# taskbar paints it at its right end: wait until something is drawn there.
tray_corner="40x${bar_h}+$((screen_w - 40))+$bar_y"
tray_drawn() { [ "$(colours "$tray_corner")" -gt 1 ]; }
wine_lib_wait_for 20 tray_drawn || fail "the tray icon did not appear"

# Saves a part of the screen ($2: WxH+X+Y) as $1 once two captures in a row
# agree, so that nothing is caught half painted. The PNG has no time stamps.
capture() {
  local file=$1 geometry=$2 previous="$work/capture-previous.png" next="$work/capture-next.png" tries=50
  import -window root -crop "$geometry" +repage -strip -define png:exclude-chunks=date,time "$previous"
  while :; do
    sleep 0.2
    import -window root -crop "$geometry" +repage -strip -define png:exclude-chunks=date,time "$next"
    cmp -s "$previous" "$next" && break
    mv "$next" "$previous"
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || fail "the screen did not settle for $file"
  done
  mv "$next" "$file"
  rm -f "$previous"
  echo "screenshots: $file ($geometry)" >&2
}

# A menu with some desktop around it, down to the screen's bottom-right corner
# (Wine keeps a tray menu inside the screen: it ends at the right edge, just
# above the taskbar).
margin=16
menu_geometry() {
  local x=$(($1 > margin ? $1 - margin : 0)) y=$(($2 > margin ? $2 - margin : 0))
  echo "$((screen_w - x))x$((screen_h - y))+$x+$y"
}

# The pointer rests on the taskbar left of the tray icon: menus open where it
# is, and nothing below it lights up or shows a tip.
pointer_x=$((screen_w - 48))
pointer_y=$((bar_y + bar_h / 2))
open_menu() { helper tray "$1" "$pointer_x" "$pointer_y"; }

# The items' own icons (the shortcuts') are made while a menu is up and kept:
# a first menu, left open for a moment, makes them, and the one photographed
# shows them at once.
open_menu left >/dev/null || fail "the desktop menu did not open"
sleep 2
helper keys escape >/dev/null || fail "the desktop menu did not close"
read -r x y w h < <(open_menu left) || fail "the desktop menu did not open"
capture "$out/desktop-menu.png" "$(menu_geometry "$x" "$y")"
helper keys escape >/dev/null || fail "the desktop menu did not close"

# Folders as submenus: read at every click. "Projects" is the desktop
# menu's seventh entry (Budget 2026, Minesweeper, My Computer, My Documents,
# Notepad, Notes, Projects, ...).
settings='HKCU\Software\Zemrik Software\Tamberlinox'
wine reg add "$settings" /v FolderMenus /t REG_DWORD /d 1 /f >/dev/null
open_menu left >/dev/null || fail "the desktop menu did not open with folders"
helper keys down down down down down down down right >/dev/null || fail "could not open \"Projects\""
read -r x y w h < <(helper menus 2) || fail "the folder's submenu did not open"
capture "$out/desktop-folders.png" "$(menu_geometry "$x" "$y")"
helper keys escape escape >/dev/null || fail "the desktop menu did not close"
wine reg delete "$settings" /v FolderMenus /f >/dev/null

read -r x y w h < <(open_menu right) || fail "the command menu did not open"
capture "$out/command-menu.png" "$(menu_geometry "$x" "$y")"
# The command menu ends with "Select Hot Key", "Close Program" and "About----Version ...".
helper keys up up up return >/dev/null || fail "could not choose \"Select Hot Key\""

hotkey_caption="Zemrik Tamberlinox Program"
read -r x y w h < <(helper window "$hotkey_caption") || fail "the hot key window did not open"
capture "$out/hotkey-window.png" "${w}x${h}+$x+$y"
helper close "$hotkey_caption" >/dev/null || fail "the hot key window did not close"

open_menu right >/dev/null || fail "the command menu did not open again"
helper keys up return >/dev/null || fail "could not choose \"About----Version ...\""
about_caption="About Zemrik Tamberlinox"
read -r x y w h < <(helper window "$about_caption") || fail "the About window did not open"
capture "$out/about-window.png" "${w}x${h}+$x+$y"

remove_autostart
wine_lib_cleanup
wine_lib_prefix_done
echo "screenshots: written to $out" >&2
