// The program's options, kept beside the hot key in the program's own key as
// REG_DWORD values (in a portable copy's file as decimal text). Each has a default that holds while the value is missing
// or holds anything the program would not write itself (another type, a
// number out of range); such a value is read as the default and left as it is.
#pragma once

#include <cstdint>

#include "settings/Policies.h"
#include "settings/Settings.h"

namespace tamberlinox::options {

using settings::kDoubleClick;  // 1 on, 0 off; missing = on
using settings::kIdleMinutes;  // 0 or missing = off, 1-120 = on
using settings::kFolderMenus;  // 1 on, 0 off; missing = off
// The desktop menu's key: a selectable key's code (hotkey/KeyCodes.h), 0 or
// missing = none; its modifier flags 0-7, missing = 0. Anything else, of
// either, reads as none.
using settings::kMenuKey;
using settings::kMenuModifiers;

inline constexpr int kMinIdleMinutes = 1;
inline constexpr int kMaxIdleMinutes = 120;

struct Options {
  // A double-click on an empty spot of the desktop shows or hides the icons.
  bool doubleClick = true;
  // Shown icons are hidden after this many minutes without input; 0 = never.
  int idleMinutes = 0;
  // The desktop menu lists the desktops' folders as submenus.
  bool folderMenus = false;
  // A hot key that opens the desktop menu at the pointer; 0 = none.
  int menuKey = 0;
  std::uint32_t menuModifiers = 0;
  friend bool operator==(const Options&, const Options&) = default;
};

Options ReadOptions(const settings::Store& store);
// The options in force: what the policies hold, the stored options for the rest.
Options InForce(Options stored, const settings::Policies& policies);
// Writes them all; false when one could not be written.
bool WriteOptions(const settings::Store& store, const Options& options);

}  // namespace tamberlinox::options
