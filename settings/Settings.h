// Every value the program keeps between runs: where it lives, what it holds,
// and the few ways the program reads and writes them. The hot key's values are
// texts, the options' numbers (REG_DWORD in the registry, decimal text in an
// INI file).
#pragma once

#include <cstdint>
#include <optional>
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
inline constexpr char kDoubleClick[] = "DoubleClick";  // the options: options/Options.h
inline constexpr char kIdleMinutes[] = "IdleMinutes";
inline constexpr char kFolderMenus[] = "FolderMenus";
inline constexpr char kMenuKey[] = "MenuKey";              // the desktop menu's key: a virtual-key code, 0 = none
inline constexpr char kMenuModifiers[] = "MenuModifiers";  // its modifier flags (hotkey/KeyCodes.h)

// A file of this name beside the program makes it a portable copy: every value
// is kept in the file's section kIniSection, under the same names and with the
// same values as in the key, and nothing is written to the registry (no
// settings key, no start-up entry).
inline constexpr char kIniFileName[] = "Tamberlinox.ini";
inline constexpr char kIniSection[] = "Tamberlinox";

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

// The program's own values, in its key or in the portable copy's file.
class Store {
 public:
  // The key, unless the program's folder holds the portable copy's file.
  Store(platform::Platform& os, const ValueStore& values, const std::string& programFolder);

  bool Portable() const { return portable_; }
  // Where the values live, as the user would look for it: the key's full name
  // or the file's path.
  std::string Location() const;
  // Whether the program has kept anything there yet (a new user: no).
  bool Exists() const;
  // Whether a value can be written there now (a file on a read-only medium:
  // no). Writes the hot key's value back as it is.
  bool Writable() const;

  // A missing text reads as empty.
  std::string ReadText(const char* name) const;
  bool WriteText(const char* name, const std::string& text) const;
  // Nothing for a missing value, or one that is no whole number.
  std::optional<std::uint32_t> ReadNumber(const char* name) const;
  // Whether the value is there at all, of whatever type.
  bool Has(const char* name) const;
  bool WriteNumber(const char* name, std::uint32_t number) const;
  // Every value gone: the key with its values, or the file's values emptied
  // (the file stays, so the copy stays portable).
  void RemoveAll() const;

  const ValueStore& values() const { return values_; }

 private:
  platform::Platform& os_;
  const ValueStore& values_;
  bool portable_ = false;
  std::string root_;  // "HKCU" or the file's path
  std::string key_;   // the key below the hive, or the file's section
};

// The autostart command: the program's folder and the fixed file name, in
// quotes, so that a folder with blanks is never read prefix by prefix.
std::string AutostartCommand(const std::string& programFolder);

// At start-up: creates the autostart entry when neither the machine's nor the
// user's can be read (an existing one stays as it is, whatever it names), the
// machine's where it may and else the user's (a portable copy makes none);
// creates the default hot key when "Key" cannot be read; then reads the hot key.
HotKeySettings PrepareAtStartup(const Store& store, const std::string& programFolder);
// The hot key as stored now; a missing value reads as empty.
HotKeySettings ReadHotKey(const Store& store);
// Writes the key (its text as it is) and the three modifiers; false when one
// could not be written.
bool WriteHotKey(const Store& store, const HotKeySettings& hotKey);
// Notes that the hot key window has saved (a value nothing reads).
void MarkHotKeySaved(const Store& store);
// Removes both autostart entries (those there are) and the program's own
// values (Store::RemoveAll). A portable copy leaves the registry alone.
void RemoveAutostartAndSettings(const Store& store);

}  // namespace tamberlinox::settings
