// Every value the program keeps between runs: where it lives, what it holds,
// and the few ways the program reads and writes them. All of them are
// registry strings.
#pragma once

#include <string>

#include "settings/ValueStore.h"

namespace tamberlinox::settings {

// The autostart entry: machine-wide, or for the user alone where the user may
// not write the machine's (a standard user).
inline constexpr char kRunRoot[] = "HKLM";
inline constexpr char kUserRunRoot[] = "HKCU";
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValue[] = "Tamberlinox";
// The file name the autostart entry names, whatever the running file is called.
inline constexpr char kProgramFileName[] = "Tamberlinox.exe";

// The program's own per-user key.
inline constexpr char kRoot[] = "HKCU";
inline constexpr char kKeyPath[] = "Software\\Zemrik Software\\Tamberlinox";
inline constexpr char kKey[] = "Key";      // the hot key's virtual-key code, decimal
inline constexpr char kShift[] = "Shift";  // non-empty = on
inline constexpr char kCtrl[] = "Ctrl";
inline constexpr char kAlt[] = "Alt";
inline constexpr char kSaved[] = "F10";    // "Yes" after a save in the hot key window; never read

inline constexpr char kText[] = "S";
inline constexpr char kShiftOn[] = "65536";
inline constexpr char kCtrlOn[] = "131072";
inline constexpr char kAltOn[] = "262144";
inline constexpr char kSavedYes[] = "Yes";

// The hot key as stored: the key's code as decimal text, and whether each
// modifier is on.
struct HotKeySettings {
  std::string key;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// The autostart command: the program's folder and the fixed file name, in
// quotes, so that a folder with blanks is never read prefix by prefix.
std::string AutostartCommand(const std::string& programFolder);

// At start-up: creates the autostart entry when neither the machine's nor the
// user's can be read (an existing one stays as it is, whatever it names), the
// machine's where it may and else the user's; creates the default hot key when
// "Key" cannot be read; then reads the hot key.
HotKeySettings PrepareAtStartup(const ValueStore& store, const std::string& programFolder);
// The hot key as stored now; a missing value reads as empty.
HotKeySettings ReadHotKey(const ValueStore& store);
// Writes the key and the three modifiers.
void WriteHotKey(const ValueStore& store, int keyCode, bool shift, bool ctrl, bool alt);
// Notes that the hot key window has saved (a value nothing reads).
void MarkHotKeySaved(const ValueStore& store);
// Removes both autostart entries (those there are) and the program's own key
// with all its values; the parent key stays.
void RemoveAutostartAndSettings(const ValueStore& store);

}  // namespace tamberlinox::settings
