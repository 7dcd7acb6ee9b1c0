#include "menu/TrayMenus.h"

namespace tamberlinox::menu {

using platform::MenuEntry;

namespace {

MenuEntry Entry(Command command, std::string caption) { return {static_cast<int>(command), std::move(caption)}; }

MenuEntry Separator() { return {0, "-", true}; }

}  // namespace

std::vector<MenuEntry> CommandMenu(bool windowsMinimized, bool iconsVisible, platform::Platform::Version version) {
  return {
      Entry(Command::ProgramHelp, kProgramHelp),
      Separator(),
      Entry(Command::MakeADonation, kMakeADonation),
      Separator(),
      windowsMinimized ? Entry(Command::RestoreAllWindows, kRestoreAllWindows)
                       : Entry(Command::MinimizeAllWindows, kMinimizeAllWindows),
      Separator(),
      iconsVisible ? Entry(Command::HideDesktop, kHideDesktop) : Entry(Command::ShowDesktop, kShowDesktop),
      Separator(),
      Entry(Command::SelectHotKey, kSelectHotKey),
      Separator(),
      Entry(Command::CloseProgram, kCloseProgram),
      Separator(),
      Entry(Command::About, kAboutVersion + std::to_string(version.major) + "." + std::to_string(version.minor)),
  };
}

std::vector<MenuEntry> DesktopMenu(const std::vector<DesktopItem>& items) {
  std::vector<MenuEntry> entries;
  entries.reserve(items.size());
  for (std::size_t index = 0; index < items.size(); ++index) {
    entries.push_back({kFirstDesktopItemId + static_cast<int>(index), items[index].caption});
    entries.back().submenu = items[index].place == Place::Folder;
  }
  return entries;
}

const DesktopItem* ItemOfEntry(const std::vector<DesktopItem>& items, int id) {
  if (id < kFirstDesktopItemId) return nullptr;
  const auto index = static_cast<std::size_t>(id - kFirstDesktopItemId);
  return index < items.size() ? &items[index] : nullptr;
}

}  // namespace tamberlinox::menu
