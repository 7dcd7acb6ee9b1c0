# Shell functions shared by scripts/e2e.sh and scripts/run.sh: an X display of
# our own, a Wine prefix inside build/ (32-bit, or 64-bit for the 64-bit
# program), and a persistent wineserver.
# Source this file; it defines functions and sets nothing else.
#
# Everything started here is remembered by pid and stopped by wine_lib_cleanup,
# which the caller runs from an EXIT trap. Nothing else is ever stopped.

# Bump when the prefix set-up below changes: older prefixes are then rebuilt.
WINE_LIB_PREFIX_LAYOUT=5

WINE_LIB_XVFB_PID=
WINE_LIB_SERVER_STARTED=

wine_lib_log() { printf '%s\n' "$*" >&2; }

# Waits until "$@" succeeds, trying every 0.1 s for at most $1 seconds.
wine_lib_wait_for() {
  local limit=$1
  shift
  local tries=$((limit * 10))
  while ! "$@" 2>/dev/null; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

wine_lib_file_not_empty() { [ -s "$1" ]; }

# Starts Xvfb on a display that is free (Xvfb picks it: -displayfd), exports
# DISPLAY and remembers the pid. $1: scratch folder for the display number file.
wine_lib_start_xvfb() {
  local scratch=$1 fdfile
  fdfile="$scratch/xvfb-display"
  rm -f "$fdfile"
  # No -auth: an Xvfb without an authority file accepts local clients, so no
  # xauth cookie is needed. -nolisten tcp keeps it off the network.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fdfile" \
    >"$scratch/xvfb.log" 2>&1 &
  WINE_LIB_XVFB_PID=$!
  if ! wine_lib_wait_for 20 wine_lib_file_not_empty "$fdfile"; then
    wine_lib_log "Xvfb did not start (see $scratch/xvfb.log)"
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
  wine_lib_log "Xvfb (pid $WINE_LIB_XVFB_PID) on display $DISPLAY"
}

# Exports the Wine variables for the prefix at $1; $2 is its architecture,
# win32 (the default) or win64. A 64-bit prefix runs 32- and 64-bit programs;
# a 32-bit one only 32-bit programs, and stays 32-bit.
wine_lib_use_prefix() {
  export WINEPREFIX=$1
  export WINEARCH=${2:-win32}
  export WINEDEBUG=${WINEDEBUG:--all}
  # No prompts to install Mono or Gecko.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
}

wine_lib_stamp() {
  printf 'layout %s\n%s\n%s\n' "$WINE_LIB_PREFIX_LAYOUT" "$WINEARCH" "$(wine --version 2>/dev/null)"
}

# Makes sure $WINEPREFIX is a prefix this code set up for the installed Wine;
# builds it from nothing otherwise. Needs DISPLAY and wine_lib_use_prefix.
# A prefix is reused only when its stamp matches and the last run that used it
# ended cleanly (the stamp is removed while a run is using it).
wine_lib_prepare_prefix() {
  local stamp="$WINEPREFIX/.tamberlinox-prefix"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(wine_lib_stamp)" ]; then
    rm -f "$stamp"  # put back by wine_lib_prefix_done when this run ends cleanly
    wine_lib_log "reusing the Wine prefix $WINEPREFIX"
    wine_lib_start_server
    return 0
  fi
  wine_lib_log "creating the Wine prefix $WINEPREFIX"
  # A server left behind by an interrupted run of ours would keep the old files open.
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wine_lib_start_server
  wineboot --init >"$WINEPREFIX/../wineboot.log" 2>&1 || {
    wine_lib_log "wineboot --init failed (see $WINEPREFIX/../wineboot.log)"
    return 1
  }
  # The user's Desktop, Documents, ... are links into $HOME: make them real,
  # empty folders so that nothing of this machine's home shows through.
  local link
  find "$WINEPREFIX/drive_c/users" -mindepth 2 -maxdepth 2 -type l -print0 |
    while IFS= read -r -d '' link; do rm -f "$link" && mkdir -p "$link"; done
  # Wine's virtual desktop: a window manager of its own inside one X window.
  # Without a window manager every hide of a visible top-level window takes
  # about 2 s under Xvfb; inside the virtual desktop it takes milliseconds.
  local reg="$WINEPREFIX/../prefix-setup.reg"
  printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1024x768"' '' >"$reg"
  # A process that crashes is reported in C:\crashes.log (wine_lib_crash_log)
  # and ended, without Wine's crash dialog: that dialog needs the desktop
  # window, so a crash of Wine's own desktop process (explorer.exe) would wait
  # on it for ever, and no program could open a window again.
  printf '%s\r\n' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]' '"Auto"="1"' \
    '"Debugger"="C:\\windows\\system32\\cmd.exe /c C:\\windows\\system32\\winedbg.exe --auto %ld %ld >>C:\\crashes.log"' \
    '' >>"$reg"
  wine regedit /S "$(winepath -w "$reg")" || {
    wine_lib_log "could not configure the Wine prefix"
    return 1
  }
  # Wine's desktop process came up during wineboot, before that setting: start
  # the server anew so that the next program gets the virtual desktop.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wine_lib_start_server
}

# The crash reports of the prefix's processes (winedbg's, one after another).
wine_lib_crash_log() { printf '%s\n' "$WINEPREFIX/drive_c/crashes.log"; }

# Marks the prefix as fit for reuse (call at the end of a clean run).
wine_lib_prefix_done() {
  wine_lib_stamp >"$WINEPREFIX/.tamberlinox-prefix"
}

# Starts a wineserver that stays up between Wine processes (much faster starts).
wine_lib_start_server() {
  wineserver -p
  WINE_LIB_SERVER_STARTED=1
}

# Stops what this shell started: the wineserver of our prefix (and with it every
# Wine process in that prefix), then Xvfb.
wine_lib_cleanup() {
  if [ -n "$WINE_LIB_SERVER_STARTED" ] && [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    WINE_LIB_SERVER_STARTED=
  fi
  if [ -n "$WINE_LIB_XVFB_PID" ]; then
    kill "$WINE_LIB_XVFB_PID" 2>/dev/null || true
    wait "$WINE_LIB_XVFB_PID" 2>/dev/null || true
    WINE_LIB_XVFB_PID=
  fi
}
