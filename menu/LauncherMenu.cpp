#include "menu/LauncherMenu.h"

#include "menu/FolderMenus.h"
#include "menu/TrayMenus.h"

namespace tamberlinox::menu {

using platform::MenuEntry;

LauncherMenu::LauncherMenu(platform::Platform& os, platform::Window& window, MenuPictures& pictures,
                           bool folderMenus)
    : os_(os), window_(window), pictures_(pictures), folderMenus_(folderMenus), ownIcons_(os) {}

LauncherMenu::~LauncherMenu() { pictures_.End(); }

MenuEntry LauncherMenu::EntryOf(std::size_t index, const platform::MenuPlace& place) {
  const DesktopItem& item = items_[index];
  MenuEntry entry{kFirstDesktopItemId + static_cast<int>(index), item.caption};
  entry.submenu = item.place == Place::Folder;
  entry.picture = pictures_.Dress(entry.id, place, IconOf(item, ownIcons_));
  return entry;
}

std::vector<MenuEntry> LauncherMenu::Entries() {
  pictures_.Begin(PictureSize(window_.MenuDpi()));
  shown_ = ExplorerShows(os_);
  items_ = FindDesktopItems(os_, folderMenus_);
  std::vector<MenuEntry> entries;
  entries.reserve(items_.size());
  for (std::size_t index = 0; index < items_.size(); ++index)
    entries.push_back(EntryOf(index, {0, static_cast<int>(index)}));
  return entries;
}

const DesktopItem* LauncherMenu::ItemOf(int id) const { return ItemOfEntry(items_, id); }

std::vector<MenuEntry> LauncherMenu::OnSubmenuOpening(int entryId) {
  const DesktopItem* folder = ItemOf(entryId);
  if (folder == nullptr || folder->place != Place::Folder) return {};
  std::vector<DesktopItem> contents = FolderContents(os_, folder->path, shown_);
  std::vector<MenuEntry> entries;
  if (contents.empty()) {
    MenuEntry empty{0, kEmptyFolder};
    empty.grayed = true;
    entries.push_back(empty);
    return entries;
  }
  const std::size_t first = items_.size();
  items_.insert(items_.end(), std::make_move_iterator(contents.begin()), std::make_move_iterator(contents.end()));
  entries.reserve(items_.size() - first);
  for (std::size_t index = first; index < items_.size(); ++index)
    entries.push_back(EntryOf(index, {entryId, static_cast<int>(index - first)}));
  return entries;
}

void LauncherMenu::OnEntryRightClick(int entryId) {
  const DesktopItem* item = ItemOf(entryId);
  if (item == nullptr) return;
  const platform::ShellItem shellItem = ShellItemOf(*item);
  if (shellItem.place == platform::ShellPlace::None && shellItem.path.empty()) return;
  window_.ShowItemMenu(shellItem, kFirstItemMenuId, kLastItemMenuId);
}

bool LauncherMenu::OnMenuIdle() { return pictures_.Fill(window_); }

platform::MenuCharAnswer LauncherMenu::OnMenuChar(const std::string& typed, std::uint32_t tick,
                                                  const std::vector<std::string>& names,
                                                  std::optional<std::size_t> selected) {
  return typeToFind_.OnChar(typed, tick, names, selected);
}

}  // namespace tamberlinox::menu
