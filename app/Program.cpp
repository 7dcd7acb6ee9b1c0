#include "app/Program.h"

#include "desktop/Taskbar.h"
#include "menu/Commands.h"

namespace tamberlinox {

Program::Program(platform::Platform& os)
    : os_(os),
      store_(os),
      settings_(os, store_, os.ProgramFolder()),
      hotKey_(os),
      icons_(os, mainWindow_),
      mainWindow_(os, *this),
      hotKeyWindow_(os, settings_, policies_,
                    [this](int key, std::uint32_t modifiers) { return ReregisterHotKey(key, modifiers); }),
      aboutWindow_(os),
      gestures_(os, icons_),
      optionsWindow_(os, settings_, policies_,
                     [this](const options::Options& chosen) { return ApplyOptions(chosen); }) {}

Program::~Program() {
  // The windows go first: while they are destroyed their messages may still
  // reach the objects they report to.
  aboutWindow_.Close();
  hotKeyWindow_.Close();
  optionsWindow_.Close();
  mainWindow_.Destroy();
}

bool Program::ApplyOptions(const options::Options& chosen) {
  if (platform::Window* window = mainWindow_.window()) gestures_.Apply(chosen, *window);
  return RegisterMenuKey(chosen.menuKey, chosen.menuModifiers);
}

bool Program::RegisterMenuKey(int key, std::uint32_t modifiers) {
  platform::Window* window = mainWindow_.window();
  if (window == nullptr) return false;
  // The same key held already stays as it is.
  if (menuKey_.Registered() && key == menuKey_.Key() && modifiers == menuKey_.Modifiers()) return true;
  // The hot key's own combination stays the hot key's (a value set by hand).
  if (key == hotKey_.Key() && modifiers == hotKey_.Modifiers()) key = 0;
  return menuKey_.Register(*window, key, modifiers);
}

bool Program::ReregisterHotKey(int key, std::uint32_t modifiers) {
  platform::Window* window = mainWindow_.window();
  if (window == nullptr) return false;
  // The hot key takes the desktop menu's combination from it.
  if (key == menuKey_.Key() && modifiers == menuKey_.Modifiers()) menuKey_.Unregister(*window);
  return hotKey_.Reregister(*window, mainWindow_, key, modifiers);
}

void Program::RunCommand(menu::Command command) {
  using menu::Command;
  switch (command) {
    case Command::MinimizeAllWindows:
      desktop::MinimizeAllWindows(os_);
      mainWindow_.SetWindowsMinimized(true);
      break;
    case Command::RestoreAllWindows:
      desktop::RestoreAllWindows(os_);
      mainWindow_.SetWindowsMinimized(false);
      break;
    case Command::HideDesktop:
      icons_.Choose(false);
      break;
    case Command::ShowDesktop:
      icons_.Choose(true);
      break;
    case Command::SelectHotKey:
      hotKeyWindow_.Show();
      break;
    case Command::CloseProgram:
      CloseProgram();
      break;
    case Command::About:
      aboutWindow_.Show();
      break;
    case Command::MakeADonation:
      aboutWindow_.RequestDonation();
      break;
    case Command::ProgramHelp:
      menu::OpenHelp(os_);
      break;
  }
}

void Program::OpenDesktopItem(const menu::DesktopItem& item) {
  const platform::Window* window = mainWindow_.window();
  menu::OpenDesktopItem(os_, window ? window->Handle() : 0, item);
}

}  // namespace tamberlinox
