// The program: owns its windows and services for the whole run, starts up,
// carries out the tray menus' commands and shuts down.
#pragma once

#include "about/AboutWindow.h"
#include "app/Gestures.h"
#include "app/MainWindow.h"
#include "desktop/DesktopIcons.h"
#include "hotkey/HotKey.h"
#include "hotkey/HotKeyWindow.h"
#include "menu/DesktopItems.h"
#include "menu/TrayMenus.h"
#include "options/OptionsWindow.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "settings/Policies.h"
#include "settings/Settings.h"
#include "settings/ValueStore.h"

namespace tamberlinox {

class Program {
 public:
  explicit Program(platform::Platform& os);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Makes sure the autostart entry and the hot key settings exist, puts the
  // icon in the notification area, registers the hot key and hides the
  // desktop icons. From then on the program lives on its windows' messages.
  void Start();

  // What the tray menus' entries do.
  void RunCommand(menu::Command command);
  void OpenDesktopItem(const menu::DesktopItem& item);

  // "Close Program": asks whether to keep the autostart entry (No also removes
  // the hot key settings), shows the desktop icons, takes the tray icon away
  // and lets the windows go half a second later.
  void CloseProgram();
  // Ends the program as "Close Program" answered Yes does, without asking:
  // for "/exit", a logoff or an installer.
  void Leave();
  // Destroys every window of the program; the message loop then ends.
  void Shutdown();
  // Puts options in force at once (the Options window's OK). False when the
  // desktop menu's key could not be registered (another program holds it).
  bool ApplyOptions(const options::Options& chosen);
  // Reads the policies again (the system said they changed) and puts what
  // changed in force at once: the hot key, the options, the open windows.
  void ApplyPolicies();

  // The program's own values: in its key, or in a portable copy's file.
  const settings::Store& settings() const { return settings_; }
  // What an administrator holds of the user's choices, as last read.
  const settings::Policies& policies() const { return policies_; }
  hotkey::HotKey& hotKey() { return hotKey_; }
  // The key that opens the desktop menu, when one is set (the Options window).
  hotkey::FixedHotKey& menuKey() { return menuKey_; }
  desktop::Icons& icons() { return icons_; }
  MainWindow& mainWindow() { return mainWindow_; }
  hotkey::HotKeyWindow& hotKeyWindow() { return hotKeyWindow_; }
  about::AboutWindow& aboutWindow() { return aboutWindow_; }
  Gestures& gestures() { return gestures_; }
  options::OptionsWindow& optionsWindow() { return optionsWindow_; }

 private:
  bool ReregisterHotKey(int key, std::uint32_t modifiers);
  bool RegisterMenuKey(int key, std::uint32_t modifiers);

  platform::Platform& os_;
  settings::ValueStore store_;
  settings::Store settings_;
  settings::Policies policies_;
  hotkey::HotKey hotKey_;
  hotkey::FixedHotKey menuKey_{os_, platform::kMenuHotKeyId};
  desktop::Icons icons_;
  MainWindow mainWindow_;
  hotkey::HotKeyWindow hotKeyWindow_;
  about::AboutWindow aboutWindow_;
  Gestures gestures_;
  options::OptionsWindow optionsWindow_;
};

}  // namespace tamberlinox
