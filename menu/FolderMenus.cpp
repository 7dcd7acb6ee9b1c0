#include "menu/FolderMenus.h"

#include <cstdint>
#include <optional>

namespace tamberlinox::menu {

using platform::Hive;
using platform::Platform;

namespace {

constexpr char kExplorerPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

bool PolicyOn(Platform& os, Hive hive, const char* name) {
  std::optional<std::uint32_t> value;
  return os.ReadRegistryNumber(hive, kExplorerPolicies, name, value) == platform::kErrorSuccess && value &&
         *value != 0;
}

void SortByCaption(Platform& os, bool numbers, std::vector<DesktopItem>& items) {
  std::vector<std::string> captions;
  captions.reserve(items.size());
  for (const DesktopItem& item : items) captions.push_back(item.caption);
  const std::vector<std::size_t> order = numbers ? os.ExplorerOrder(captions) : os.SortedOrder(captions);
  std::vector<DesktopItem> sorted;
  sorted.reserve(items.size());
  for (std::size_t index : order) sorted.push_back(std::move(items[index]));
  items = std::move(sorted);
}

}  // namespace

bool ExplorerSortsNumbers(Platform& os) {
  // The machine's policy holds over the user's.
  return !PolicyOn(os, Hive::LocalMachine, "NoStrCmpLogical") && !PolicyOn(os, Hive::CurrentUser, "NoStrCmpLogical");
}

std::vector<DesktopItem> FolderContents(Platform& os, const std::string& folder, ShownFiles shown) {
  const std::string base = AddBackslash(folder);
  std::vector<DesktopItem> folders, files;
  for (const platform::FolderEntry& entry : os.ListFolder(folder)) {
    if (entry.name == "." || entry.name == ".." || !IsShown(entry.attributes, shown)) continue;
    if ((entry.attributes & platform::kFileAttributeDirectory) != 0) {
      folders.push_back({ShowableText(entry.name), base + entry.name, Place::Folder, entry.attributes, entry.writeTime});
    } else {
      files.push_back(
          {ShowableText(DisplayName(entry.name)), base + entry.name, Place::File, entry.attributes, entry.writeTime});
    }
  }
  const bool numbers = ExplorerSortsNumbers(os);
  SortByCaption(os, numbers, folders);
  SortByCaption(os, numbers, files);
  folders.insert(folders.end(), std::make_move_iterator(files.begin()), std::make_move_iterator(files.end()));
  return folders;
}

}  // namespace tamberlinox::menu
