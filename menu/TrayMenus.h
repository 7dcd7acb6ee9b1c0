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

// A desktop menu entry's id is this plus the item's index. The entries of
// folders' submenus take the ids after the desktop's, as the submenus open.
inline constexpr int kFirstDesktopItemId = 1000;
// The commands of the shell's own menu of an item, shown over the desktop
// menu, take ids below all of the desktop menu's: nothing the program hears
// while both are up can be taken for the other's.
inline constexpr int kFirstItemMenuId = 1;
inline constexpr int kLastItemMenuId = kFirstDesktopItemId - 1;

// Help, donation, minimize or restore, show or hide, hot key, close and About,
// with separators between them. The captions follow the state they are given.
std::vector<platform::MenuEntry> CommandMenu(bool windowsMinimized, bool iconsVisible,
                                             platform::Platform::Version version);
// One entry per desktop item, in the items' order; a folder opens a submenu.
std::vector<platform::MenuEntry> DesktopMenu(const std::vector<DesktopItem>& items);

// The desktop item an entry id refers to, or null when it refers to none.
const DesktopItem* ItemOfEntry(const std::vector<DesktopItem>& items, int id);

}  // namespace tamberlinox::menu
