// The desktop menu while it is up: its entries with their pictures, the
// folders' submenus filled as they first open, the shell's own menu of an
// entry on a right click, and the pictures made while the user looks.
#pragma once

#include <vector>

#include "menu/DesktopItems.h"
#include "menu/MenuIcons.h"
#include "menu/TypeToFind.h"
#include "platform/Platform.h"

namespace tamberlinox::menu {

class LauncherMenu final : public platform::MenuEvents {
 public:
  // With folderMenus, the desktops' folders are entries too, each opening a
  // submenu of what it holds.
  LauncherMenu(platform::Platform& os, platform::Window& window, MenuPictures& pictures, bool folderMenus);
  ~LauncherMenu();  // the pictures' showing ends with it
  LauncherMenu(const LauncherMenu&) = delete;
  LauncherMenu& operator=(const LauncherMenu&) = delete;

  // Finds what the desktops hold now: the menu's entries, in their order.
  std::vector<platform::MenuEntry> Entries();
  // The item an entry of the menu or of a submenu stands for; null for none.
  const DesktopItem* ItemOf(int id) const;

  std::vector<platform::MenuEntry> OnSubmenuOpening(int entryId) override;
  void OnEntryRightClick(int entryId) override;
  bool OnMenuIdle() override;
  platform::MenuCharAnswer OnMenuChar(const std::string& typed, std::uint32_t tick,
                                      const std::vector<std::string>& names,
                                      std::optional<std::size_t> selected) override;

 private:
  // The entry of items_[index], at this place in the menu.
  platform::MenuEntry EntryOf(std::size_t index, const platform::MenuPlace& place);

  platform::Platform& os_;
  platform::Window& window_;
  MenuPictures& pictures_;
  const bool folderMenus_;
  TypeToFind typeToFind_{os_};
  ShownFiles shown_;
  OwnIconTypes ownIcons_;
  // By entry id less kFirstDesktopItemId: the desktops' items, then those of
  // the submenus in the order they opened.
  std::vector<DesktopItem> items_;
};

}  // namespace tamberlinox::menu
