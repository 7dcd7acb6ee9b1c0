// The program's main window. It is never on screen: it exists to own the
// notification-area icon and the hot key, and to receive their messages. A
// left click on the icon pops up the desktop menu, a right click the command
// menu; the hot key shows or hides the desktop icons, and the desktop menu's
// key, when one is set, pops that menu up at the pointer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "desktop/DesktopIcons.h"
#include "menu/DesktopItems.h"
#include "menu/MenuIcons.h"
#include "menu/MenuTheme.h"
#include "platform/Platform.h"

namespace tamberlinox {

class Program;

class MainWindow : private platform::WindowEvents, public platform::MessageFilter, public desktop::ShellSignals {
 public:
  static constexpr char kCaption[] = "Zemrik Program";
  static constexpr std::uint32_t kTrayIconId = 125;
  // Its timers and messages: platform/Messages.h.
  using enum platform::MainWindowTimer;
  // A balloon waits at most this long for the one shown, where the shell does
  // not say when that has gone.
  static constexpr std::uint32_t kBalloonWaitMs = 30000;
  // The shell's tray notifications of a balloon that has gone: hidden, timed
  // out, clicked (NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT, NIN_BALLOONUSERCLICK).
  static constexpr std::uint32_t kBalloonHidden = platform::kWmUser + 3;
  static constexpr std::uint32_t kBalloonClicked = platform::kWmUser + 5;
  static constexpr int kTrayRetryLimit = 60;  // two minutes

  MainWindow(platform::Platform& os, Program& program) : os_(os), program_(program), pictures_(os) {}
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and puts its icon in the notification area; when the
  // shell is not ready for the icon it is tried again every 2 seconds for a
  // while. False when the window could not be created.
  bool Create();
  // Takes the icon away for good.
  void RemoveTrayIcon();
  // A balloon at the icon, shown as soon as the icon is there and the
  // balloons asked for before it have gone.
  void ShowBalloon(const std::string& title, const std::string& text,
                   platform::BalloonIcon icon = platform::BalloonIcon::Warning);
  // The program's windows go 500 ms from now.
  void ScheduleShutdown();
  // Puts the window's own procedure back and destroys the window.
  void Destroy();

  platform::Window* window() const { return window_.get(); }
  bool TrayIconShown() const { return trayIconShown_; }
  // The last taskbar command given from the menu: true after "Minimize All Windows".
  bool WindowsMinimized() const { return windowsMinimized_; }
  void SetWindowsMinimized(bool minimized) { windowsMinimized_ = minimized; }

  bool OnMessage(std::uint32_t message, platform::WParam wParam, platform::LParam lParam,
                 platform::LResult& result) override;

  // What the desktop icons need to follow the shell.
  void StartTicks(std::uint32_t intervalMs) override;
  void StopTicks() override;
  void WatchShell(std::uint32_t process, const std::vector<std::string>& classNames) override;

 private:
  bool AddTrayIcon();
  void RetryTrayIcon();
  void OnHotKey();
  void OnMenuKey();
  void OnInputReport(platform::InputReport report, int key);  // of the hot key's release watch
  void OnHotKeyReleaseTick();
  void FollowHotKey();
  void ShowNextBalloon();
  void BalloonGone();
  void OnTrayEvent(const platform::TrayEvent& tray);
  void PopUpDesktopMenu(const platform::MenuOpening& opening);
  void PopUpCommandMenu(const platform::MenuOpening& opening);
  void MenuDismissed(const platform::MenuOpening& opening);
  void OnTimer(int timerId) override;
  void OnClose() override;
  void OnTaskbarCreated() override;
  void OnShellWindowCreated(platform::WindowHandle window) override;
  void OnSettingChange(std::uint32_t action, const std::string& area) override;

  platform::Platform& os_;
  Program& program_;
  std::unique_ptr<platform::Window> window_;
  menu::MenuTheme menuTheme_{os_};  // both menus' look: light, dark or the system's
  // The desktop menu's pictures, kept from one menu to the next.
  menu::MenuPictures pictures_;
  bool windowsMinimized_ = false;
  // A tray menu is up, or the command chosen from it is still running: the
  // tray's clicks are ignored meanwhile, so menus never nest.
  bool menuOpen_ = false;
  // The fourth form's right click, whose WM_CONTEXTMENU comes next.
  bool rightClickPending_ = false;
  bool trayIconShown_ = false;
  bool trayIconRemoved_ = false;  // "Close Program" took it away for good
  int trayRetries_ = 0;
  // The hot key went down and has not been seen released: the key's repeats
  // while it is held are not presses of their own.
  bool hotKeyHeld_ = false;
  int releaseWatched_ = 0;  // the key whose releases the input watch reports; 0: none
  bool releaseInOrder_ = false;  // its kKeyWatchBegun has arrived
  // The balloons to show, in order; the first is on the screen while balloonShown_.
  struct Balloon {
    std::string title, text;
    platform::BalloonIcon icon;
  };
  std::vector<Balloon> balloons_;
  bool balloonShown_ = false;
};

}  // namespace tamberlinox
