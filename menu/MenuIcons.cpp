#include "menu/MenuIcons.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tamberlinox::menu {

using platform::IconSource;
using platform::MenuPicture;

namespace {

using Kind = IconSource::Kind;

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// Kinds of file whose every file shows its own icon, whatever the registry
// says: programs, shortcuts, icons and cursors, screen savers, Control Panel
// items, Internet shortcuts.
constexpr std::array<std::string_view, 9> kOwnIconTypes = {".exe", ".lnk", ".ico", ".cur", ".ani",
                                                           ".scr", ".cpl", ".url", ".pif"};

// A registry value naming the file itself as its icon: "%1", quoted or not.
bool NamesTheFileItself(const std::string& text) {
  std::string_view value = text;
  while (!value.empty() && (value.front() == '"' || value.front() == ' ')) value.remove_prefix(1);
  return value.starts_with("%1");
}

// An item's own picture by its path and last write: a changed item gets its own picture anew.
std::string OwnKey(const IconSource& source, std::uint64_t writeTime) {
  return Lower(source.path) + '|' + std::to_string(writeTime);
}

bool IsRecycleBin(Kind kind) { return kind == Kind::RecycleBinEmpty || kind == Kind::RecycleBinFull; }

}  // namespace

int PictureSize(int dpi) {
  if (dpi <= 0) dpi = 96;
  return (16 * dpi + 48) / 96;
}

std::string TypeOf(const std::string& fileName) {
  const std::size_t stop = fileName.rfind('.');
  if (stop == std::string::npos || fileName.find('\\', stop) != std::string::npos) return {};
  return Lower(fileName.substr(stop));
}

bool OwnIconTypes::Has(const std::string& fileName) {
  const std::string type = TypeOf(fileName);
  if (type.size() < 2) return false;
  auto known = known_.find(type);
  if (known != known_.end()) return known->second;
  bool own = std::find(kOwnIconTypes.begin(), kOwnIconTypes.end(), type) != kOwnIconTypes.end();
  if (!own) {
    // The extension's key, then the class it names, the way the shell looks.
    std::vector<std::string> keys{type};
    std::optional<std::string> className;
    if (os_.ReadRegistryText(platform::Hive::ClassesRoot, type, "", className) == platform::kErrorSuccess &&
        className && !className->empty()) {
      keys.push_back(*className);
    }
    for (const std::string& key : keys) {
      std::optional<std::string> icon, handler;
      if (os_.ReadRegistryText(platform::Hive::ClassesRoot, key + "\\DefaultIcon", "", icon) ==
              platform::kErrorSuccess &&
          icon && NamesTheFileItself(*icon)) {
        own = true;
      }
      if (os_.ReadRegistryText(platform::Hive::ClassesRoot, key + "\\shellex\\IconHandler", "", handler) ==
              platform::kErrorSuccess &&
          handler && !handler->empty()) {
        own = true;
      }
    }
  }
  known_[type] = own;
  return own;
}

EntryIcon IconOf(const DesktopItem& item, OwnIconTypes& types) {
  EntryIcon icon;
  icon.writeTime = item.writeTime;
  if (item.path.empty()) {
    switch (item.place) {
      case Place::MyComputer:
        icon.type = {Kind::MyComputer, ""};
        break;
      case Place::MyDocuments:
        icon.type = {Kind::MyDocuments, ""};
        break;
      case Place::RecycleBin:
        icon.type = {Kind::RecycleBinEmpty, ""};
        break;
      case Place::File:
      case Place::Folder:
        icon.type = {Kind::FileType, ""};
        break;
    }
    return icon;
  }
  if (item.place == Place::Folder) {
    icon.type = {Kind::FolderType, ""};
    if ((item.attributes & (platform::kFileAttributeReadOnly | platform::kFileAttributeSystem)) != 0)
      icon.own = IconSource{Kind::Item, item.path};
    return icon;
  }
  const std::size_t slash = item.path.rfind('\\');
  const std::string name = slash == std::string::npos ? item.path : item.path.substr(slash + 1);
  icon.type = {Kind::FileType, TypeOf(name)};
  if (types.Has(name)) icon.own = IconSource{Kind::Item, item.path};
  return icon;
}

// ------------------------------------------------------------ MenuPictures

MenuPictures::~MenuPictures() {
  End();
  DeleteTypes();
}

void MenuPictures::DeleteTypes() {
  for (const TypeSlot& type : types_)
    if (type.slot.picture != 0) os_.DeleteMenuPicture(type.slot.picture);
  types_.clear();
}

void MenuPictures::Begin(int size) {
  End();
  // Another size: the pictures of the old one are of no more use. (No menu
  // is up, so none is shown.)
  if (size != size_) {
    DeleteTypes();
    size_ = size;
  }
  types_.reserve(kTypeLimit);
  ++clock_;
}

void MenuPictures::End() {
  for (auto& [key, slot] : owns_)
    if (slot.picture != 0) os_.DeleteMenuPicture(slot.picture);
  owns_.clear();
  owned_.clear();
  waiting_ = 0;
  std::vector<platform::MenuPlace>().swap(recycleBins_);
  recycleBinToCheck_ = false;
  for (TypeSlot& type : types_) type.slot.shown = false;
}

void MenuPictures::MakeTypeRoom() {
  if (types_.size() < kTypeLimit) return;
  auto oldest = types_.end();
  for (auto it = types_.begin(); it != types_.end(); ++it)
    if (!it->slot.shown && (oldest == types_.end() || it->slot.used < oldest->slot.used)) oldest = it;
  if (oldest == types_.end()) return;
  if (oldest->slot.picture != 0) os_.DeleteMenuPicture(oldest->slot.picture);
  types_.erase(oldest);
}

bool MenuPictures::MakeOwnRoom(platform::Window& menu, const std::vector<int>* onScreen) {
  if (owns_.size() < kOwnLimit) return true;
  if (onScreen == nullptr) return false;
  auto oldest = owns_.end();
  for (auto it = owns_.begin(); it != owns_.end(); ++it) {
    const int by = it->second.shownBy;
    if (by == 0 || std::find(onScreen->begin(), onScreen->end(), by) != onScreen->end()) continue;
    if (oldest == owns_.end() || it->second.used < oldest->second.used) oldest = it;
  }
  if (oldest == owns_.end()) return false;
  Owned& offScreen = owned_[oldest->second.shownBy];
  menu.SetMenuEntryPicture(offScreen.place, offScreen.type);
  offScreen.waiting = true;
  ++waiting_;
  if (oldest->second.picture != 0) os_.DeleteMenuPicture(oldest->second.picture);
  owns_.erase(oldest);
  return true;
}

MenuPicture MenuPictures::TypePicture(const IconSource& wanted) {
  IconSource source = wanted;
  if (IsRecycleBin(source.kind)) source.kind = recycleBinFull_ ? Kind::RecycleBinFull : Kind::RecycleBinEmpty;
  std::string key(1, static_cast<char>('A' + static_cast<int>(source.kind)));
  key += Lower(source.path);
  auto found = std::find_if(types_.begin(), types_.end(), [&key](const TypeSlot& type) { return type.key == key; });
  if (found == types_.end()) {
    // Type pictures are needed at once: while every kept one is shown, there
    // are simply more of them for a while.
    MakeTypeRoom();
    types_.push_back(TypeSlot{key, Slot{os_.MakeMenuPicture(source, size_)}});
    found = types_.end() - 1;
  }
  found->slot.used = ++clock_;
  found->slot.shown = true;
  // A type the system has no icon for shows the icon of a file of no type.
  const bool generic = source.kind == Kind::FileType && source.path.empty();
  if (found->slot.picture == 0 && !generic) return TypePicture(IconSource{Kind::FileType, ""});
  return found->slot.picture;
}

MenuPicture MenuPictures::Dress(int id, const platform::MenuPlace& place, const EntryIcon& icon) {
  const MenuPicture type = TypePicture(icon.type);
  if (IsRecycleBin(icon.type.kind)) {
    recycleBins_.push_back(place);
    recycleBinToCheck_ = true;
  }
  if (!icon.own) return type;
  Owned& owned = owned_[id];
  owned = Owned{place, *icon.own, OwnKey(*icon.own, icon.writeTime), type, false};
  auto found = owns_.find(owned.key);
  if (found == owns_.end()) {
    owned.waiting = true;
    ++waiting_;
    return type;
  }
  found->second.used = ++clock_;
  found->second.shown = true;
  if (found->second.picture == 0) return type;  // the item has none: its type's it is
  found->second.shownBy = id;
  return found->second.picture;
}

bool MenuPictures::MakeOwn(platform::Window& menu, int id, Owned& owned, const std::vector<int>* onScreen) {
  auto found = owns_.find(owned.key);
  if (found == owns_.end()) {
    if (!MakeOwnRoom(menu, onScreen)) return false;
    found = owns_.emplace(owned.key, Slot{os_.MakeMenuPicture(owned.own, size_)}).first;
  }
  owned.waiting = false;
  --waiting_;
  found->second.used = ++clock_;
  found->second.shown = true;
  if (found->second.picture != 0) {
    found->second.shownBy = id;
    menu.SetMenuEntryPicture(owned.place, found->second.picture);
  }
  return true;
}

bool MenuPictures::Fill(platform::Window& menu) {
  int budget = kOwnPerSlice;
  bool progress = false;
  if (recycleBinToCheck_) {
    recycleBinToCheck_ = false;
    progress = true;
    --budget;
    const bool full = os_.RecycleBinHoldsItems();
    if (full != recycleBinFull_) {
      recycleBinFull_ = full;
      const MenuPicture picture = TypePicture(IconSource{Kind::RecycleBinEmpty, ""});
      for (const platform::MenuPlace& place : recycleBins_) menu.SetMenuEntryPicture(place, picture);
    }
  }
  if (waiting_ == 0) return false;
  // The entries on the screen first: for them a shown picture of an entry
  // off the screen may go.
  const std::vector<int> onScreen = menu.MenuEntriesOnScreen();
  bool room = true;
  for (int id : onScreen) {
    if (budget == 0) break;
    auto owned = owned_.find(id);
    if (owned == owned_.end() || !owned->second.waiting) continue;
    room = MakeOwn(menu, id, owned->second, &onScreen);
    if (!room) break;
    progress = true;
    --budget;
  }
  // Then the others, in the menu's order, while there is room for them.
  for (auto owned = owned_.begin(); room && budget > 0 && waiting_ > 0 && owned != owned_.end(); ++owned) {
    if (!owned->second.waiting) continue;
    room = MakeOwn(menu, owned->first, owned->second, nullptr);
    if (!room) break;
    progress = true;
    --budget;
  }
  return progress && waiting_ > 0;
}

}  // namespace tamberlinox::menu
