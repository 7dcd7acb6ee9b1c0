#!/usr/bin/env bash
# Builds Tamberlinox.exe and runs it under Wine, installed the way a user would
# install it (Tamberlinox.exe and Help.txt in a folder of their own).
#
#   scripts/run.sh [--program FILE]
#
# With a display (DISPLAY set) the program runs there, inside Wine's virtual
# desktop with its taskbar, until you choose "Close Program" from the tray
# icon's right-click menu. Without a display it runs under an Xvfb of its own:
# once it has started, a screenshot is saved (the path is printed) and
# everything is stopped again.
#
# Wine has no desktop icon window of its own, so hiding the desktop icons shows
# nothing here; the tray icon, its menus and the hot key (F10) work.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/scripts/wine-lib.sh"

program="$root/build/windows/Tamberlinox.exe"
custom=
if [ "${1:-}" = "--program" ]; then
  program=$2
  custom=1
fi

headless=
[ -n "${DISPLAY:-}" ] || headless=1
if [ -n "$headless" ]; then
  "$root/scripts/install-deps.sh" imagemagick xdotool  # for the screenshot
else
  "$root/scripts/install-deps.sh"
fi

if [ -z "$custom" ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j2
fi
[ -f "$program" ] || { echo "run: no program at $program" >&2; exit 1; }

work="$root/build/run"
mkdir -p "$work"
exec 9>"$work/lock"
flock -n 9 || { echo "run: the program already runs from this tree ($work/lock)" >&2; exit 1; }

trap wine_lib_cleanup EXIT
[ -z "$headless" ] || wine_lib_start_xvfb "$work"
wine_lib_use_prefix "$work/prefix"
wine_lib_prepare_prefix

# Installed as a user would: its own folder under Program Files, with its help file.
folder="$WINEPREFIX/drive_c/Program Files/Tamberlinox"
mkdir -p "$folder"
cp "$program" "$folder/Tamberlinox.exe"
cp "$root/Help.txt" "$folder/Help.txt"
exe='C:\Program Files\Tamberlinox\Tamberlinox.exe'

if [ -z "$headless" ]; then
  echo "run: Tamberlinox runs on $DISPLAY; right-click its tray icon and choose \"Close Program\" to end it."
  wine "$exe" || true
  wine_lib_prefix_done
  exit 0
fi

first_start=
wine reg query 'HKCU\Software\Zemrik Software\Tamberlinox' /v Key >/dev/null 2>&1 || first_start=1
wine "$exe" &
# Start-up writes the hot key setting just before it adds the tray icon. Nothing
# outside tells when Wine's taskbar has painted the icon, so the screenshot
# waits one more second for that.
if ! wine_lib_wait_for 30 sh -c "wine reg query 'HKCU\\Software\\Zemrik Software\\Tamberlinox' /v Key >/dev/null"; then
  echo "run: the program did not start (no hot key setting after 30 s)" >&2
  exit 1
fi
sleep 1
# On a first start the program's hint is up in a balloon above the taskbar,
# which Wine draws as one long line across the bottom of the screen, over the
# menu, and which lets clicks through to what is under it: the picture waits
# until Wine has taken it away (Wine shows a balloon 2 seconds after it is
# asked for, and for at least 10 seconds).
if [ -n "$first_start" ]; then
  echo "run: waiting for the first start's balloon to go (12 s)"
  sleep 12
fi
# A right click on the tray icon (the last one in the taskbar's bottom-right
# corner of the 1024x768 virtual desktop) opens the program's command menu for
# the picture.
xdotool mousemove --sync 1012 757 click 3 2>/dev/null || true
sleep 1
shot="$work/screenshot.png"
import -display "$DISPLAY" -window root "$shot"
echo "run: the program started under Xvfb; screenshot saved to $shot"
wine_lib_prefix_done
