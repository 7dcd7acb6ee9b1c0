// Every value the program keeps between runs: where it lives and what it holds.
// All of them are registry strings (type "S").
#pragma once

namespace tamberlinox::settings {

// The machine-wide autostart entry.
inline constexpr char kRunRoot[] = "HKLM";
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
inline constexpr char kF10[] = "F10";      // "Yes" after a save in the hot key dialog; never read

inline constexpr char kTypeText[] = "S";
inline constexpr char kDefaultKey[] = "121";  // F10
inline constexpr char kShiftOn[] = "65536";
inline constexpr char kCtrlOn[] = "131072";
inline constexpr char kAltOn[] = "262144";
inline constexpr char kF10Written[] = "Yes";

}  // namespace tamberlinox::settings
