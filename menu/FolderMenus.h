// What a folder's submenu in the desktop menu lists: its folders first, then
// its files, each group in the order Explorer lists them, hidden ones as
// Explorer is set to show them. Files are captioned as in the desktop menu,
// folders with their whole names.
#pragma once

#include <string>
#include <vector>

#include "menu/DesktopItems.h"
#include "platform/Platform.h"

namespace tamberlinox::menu {

// The one greyed entry of an empty folder's submenu.
inline constexpr char kEmptyFolder[] = "(empty)";

std::vector<DesktopItem> FolderContents(platform::Platform& os, const std::string& folder, ShownFiles shown);

// Whether Explorer compares the digits in names as numbers ("File 2" before
// "File 10"), as it does unless a policy says otherwise.
bool ExplorerSortsNumbers(platform::Platform& os);

}  // namespace tamberlinox::menu
