// The tray icon's two menus: the desktop menu (left click) with the desktop
// items, and the command menu (right click) with the program's commands.
#pragma once

#include <string>
#include <vector>

#include "menu/DesktopItems.h"
#include "platform/Platform.h"

namespace tamberlinox::menu {

// The command menu's entries.
enum class Command : int {
  ProgramHelp = 1,
  MakeADonation,
  MinimizeAllWindows,
  RestoreAllWindows,
  ShowDesktop,
  HideDesktop,
  SelectHotKey,
  CloseProgram,
  About,
};

inline constexpr char kProgramHelp[] = "Program Help";
inline constexpr char kMakeADonation[] = "Make A Donation";
inline constexpr char kMinimizeAllWindows[] = "Minimize All Windows";
inline constexpr char kRestoreAllWindows[] = "Restore All Windows";
inline constexpr char kShowDesktop[] = "Show Desktop";
inline constexpr char kHideDesktop[] = "Hide Desktop";
inline constexpr char kSelectHotKey[] = "Select Hot Key";
inline constexpr char kCloseProgram[] = "Close Program";
inline constexpr char kAboutVersion[] = "About----Version ";  // followed by major.minor

// The menus' id ranges: platform/Messages.h.
using platform::kFirstDesktopItemId;
using platform::kFirstItemMenuId;
using platform::kLastItemMenuId;
static_assert(static_cast<int>(Command::ProgramHelp) >= platform::kFirstCommandId &&
                  static_cast<int>(Command::About) <= platform::kLastCommandId,
              "the command menu's ids leave their range");

// Help, donation, minimize or restore, show or hide, hot key, close and About,
// with separators between them. The captions follow the state they are given.
std::vector<platform::MenuEntry> CommandMenu(bool windowsMinimized, bool iconsVisible,
                                             platform::Platform::Version version);
// One entry per desktop item, in the items' order; a folder opens a submenu.
std::vector<platform::MenuEntry> DesktopMenu(const std::vector<DesktopItem>& items);

// The desktop item an entry id refers to, or null when it refers to none.
const DesktopItem* ItemOfEntry(const std::vector<DesktopItem>& items, int id);

}  // namespace tamberlinox::menu
