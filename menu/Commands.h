// What the desktop menu's entries and the command menu's "Program Help" open
// through the shell.
#pragma once

#include "menu/DesktopItems.h"
#include "platform/Platform.h"

namespace tamberlinox::menu {

// A file opens with its own program, a folder in the file manager; the shell
// places open in the file manager.
void OpenDesktopItem(platform::Platform& os, platform::WindowHandle owner, const DesktopItem& item);
// Help.txt beside the program.
void OpenHelp(platform::Platform& os);

}  // namespace tamberlinox::menu
