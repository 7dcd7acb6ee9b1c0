#include "app/MainWindow.h"

#include "app/CommandLine.h"
#include "app/Program.h"
#include "menu/LauncherMenu.h"
#include "menu/TrayMenus.h"
#include "options/Options.h"
#include "platform/ResourceIds.h"

namespace tamberlinox {

using namespace platform;

namespace {

constexpr char kTrayTip[] = "Zemrik Tamberlinox";
// The area WM_SETTINGCHANGE names once policies have been applied.
constexpr char kPolicyArea[] = "Policy";
constexpr std::uint32_t kShutdownDelayMs = 500;
constexpr std::uint32_t kTrayRetryMs = 2000;
constexpr std::uint32_t kHotKeyReleaseMs = 50;
// While a menu is built the window is moved far above the screen.
constexpr int kMenuTop = -667;

}  // namespace

bool MainWindow::Create() {
  WindowSpec spec;
  spec.caption = kCaption;
  spec.frame = Frame::Hidden;
  spec.icon = IDI_MAIN;
  spec.centred = false;
  window_ = os_.OpenWindow(spec, *this);
  if (!window_) return false;
  // At logon the shell may not be ready yet.
  if (!AddTrayIcon()) RetryTrayIcon();
  return true;
}

void MainWindow::RetryTrayIcon() {
  trayRetries_ = 0;
  window_->StartTimer(kTrayRetryTimer, kTrayRetryMs);
}

bool MainWindow::AddTrayIcon() {
  if (!window_->AddTrayIcon(kTrayIconId, kTrayMessage, kTrayTip)) return false;
  trayIconShown_ = true;
  window_->StopTimer(kTrayRetryTimer);
  window_->Subclass(*this);  // the icon's clicks reach the program from now on
  if (!balloonShown_) ShowNextBalloon();
  return true;
}

void MainWindow::ShowBalloon(const std::string& title, const std::string& text, BalloonIcon icon) {
  balloons_.push_back({title, text, icon});
  if (!balloonShown_) {
    ShowNextBalloon();
  } else if (!window_->TimerRunning(kBalloonTimer)) {
    window_->StartTimer(kBalloonTimer, kBalloonWaitMs);
  }
}

// Shown one at a time: the shell would put a new balloon in the place of the
// one on the screen.
void MainWindow::ShowNextBalloon() {
  if (balloons_.empty() || !window_ || !trayIconShown_) return;
  const Balloon& next = balloons_.front();
  balloonShown_ = window_->ShowTrayBalloon(kTrayIconId, next.title, next.text, next.icon);
  if (balloonShown_ && balloons_.size() > 1) window_->StartTimer(kBalloonTimer, kBalloonWaitMs);
}

void MainWindow::BalloonGone() {
  if (!balloonShown_) return;
  balloonShown_ = false;
  balloons_.erase(balloons_.begin());
  window_->StopTimer(kBalloonTimer);
  ShowNextBalloon();
}

void MainWindow::RemoveTrayIcon() {
  trayIconRemoved_ = true;
  if (!window_) return;
  window_->StopTimer(kTrayRetryTimer);
  window_->RemoveTrayIcon(kTrayIconId);
  trayIconShown_ = false;
}

void MainWindow::ScheduleShutdown() {
  if (window_) window_->StartTimer(kShutdownTimer, kShutdownDelayMs);
}

void MainWindow::Destroy() {
  if (!window_) return;
  window_->StopTimer(kShutdownTimer);
  // From here on the filter no longer sees the window's messages.
  window_->Unsubclass();
  std::unique_ptr<Window> closing = std::move(window_);
}

bool MainWindow::OnMessage(std::uint32_t message, WParam wParam, LParam lParam, LResult& result) {
  if (message == kWmHotKey) {
    // The desktop menu's key has its own id; any other is the hot key's.
    if (wParam == WParam(kMenuHotKeyId)) {
      OnMenuKey();
    } else {
      OnHotKey();
    }
    return false;
  }
  if (message == kWmQueryEndSession) {
    result = 1;  // the session may end: the program ends with it
    return true;
  }
  if (message == kWmEndSession) {
    // The session ends, or an installer's restart manager closes the program:
    // the icons come back and the settings stay. A logoff that was cancelled
    // changes nothing.
    if (wParam != 0) program_.Leave();
    result = 0;
    return true;
  }
  if (message == kRemoteCommandMessage) {
    result = 0;
    switch (static_cast<RemoteCommand>(wParam)) {
      case RemoteCommand::ShowIcons:
        program_.icons().Choose(true);
        break;
      case RemoteCommand::HideIcons:
        program_.icons().Choose(false);
        break;
      case RemoteCommand::ToggleIcons:
        program_.icons().Toggle();
        break;
      case RemoteCommand::Exit:
        program_.Leave();
        return true;
      case RemoteCommand::OpenOptions:
        program_.optionsWindow().Show();
        return true;
    }
    // The command line waits for the desktop to be as the copy asked.
    const RemoteAnswer asked = program_.icons().Chosen() ? RemoteAnswer::IconsShown : RemoteAnswer::IconsHidden;
    result = static_cast<LResult>(asked);
    return true;
  }
  if (message == Gestures::kFirstReport + kKeyReleased || message == Gestures::kFirstReport + kKeyWatchBegun) {
    OnInputReport(InputReport(message - Gestures::kFirstReport), int(wParam));
    result = 0;
    return true;
  }
  if (program_.gestures().OnMessage(message, wParam, lParam)) {
    result = 0;
    return true;
  }
  if (message != kTrayMessage) return false;
  OnTrayEvent(ReadTrayEvent(kTrayIconId, wParam, lParam));
  result = 0;  // every other tray notification is ignored, and none is passed on
  return true;
}

// A click opens each menu once, in either form: the fourth form follows a
// left click's release with NIN_SELECT and a right click's with
// WM_CONTEXTMENU, and only those that no click came before are the
// keyboard's.
void MainWindow::OnTrayEvent(const TrayEvent& tray) {
  switch (tray.event) {
    case kWmLButtonUp:
      PopUpDesktopMenu({});
      break;
    case kTrayKeySelect:
      PopUpDesktopMenu(MenuOpening{tray.at, true});
      break;
    case kWmRButtonUp:
      if (tray.fourthForm) {
        rightClickPending_ = true;  // its WM_CONTEXTMENU opens the menu
      } else {
        PopUpCommandMenu({});
      }
      break;
    case kWmContextMenu:
      PopUpCommandMenu(rightClickPending_ ? MenuOpening{} : MenuOpening{tray.at, true});
      rightClickPending_ = false;
      break;
    default:
      if (tray.event >= kBalloonHidden && tray.event <= kBalloonClicked) BalloonGone();
      break;
  }
}

// A held key repeats, and where the system does not leave the repeats out
// (Wine does not) each comes as a press of the hot key: a press counts when
// the key was released since the last press that counted, and every such
// press counts, however many wait in the queue. The input watch reports the
// key's releases in their place among the presses (a release is posted before
// the hot key message of the next press), so once a press has counted the
// watch of the release begins; after its kKeyWatchBegun the presses are
// repeats until the release arrives. The presses queued before it all count
// (the key is looked at once the watch is on, for the presses after it): the
// system leaves their repeats out where it can, and elsewhere the first repeat
// comes the keyboard's delay after the press, when the watch is in place
// unless the program was busy. The release timer runs meanwhile; it ticks
// only once nothing posted waits in the queue. While the key is held its tick
// looks at the key, should the watch be missing or have missed the release
// (the presses meanwhile are repeats); after the release the watch stays on
// until the tick, so that a quick next press, even one that waits behind busy
// work, is heard in order too.
void MainWindow::OnHotKey() {
  const int key = program_.hotKey().Key();
  if (releaseWatched_ == key) {
    if (releaseInOrder_ && hotKeyHeld_) return;
  } else {
    if (hotKeyHeld_) return;
    releaseWatched_ = key;
    releaseInOrder_ = false;
    if (!program_.gestures().WatchKeyRelease(key)) releaseWatched_ = 0;
  }
  hotKeyHeld_ = releaseInOrder_ || os_.IsKeyDown(key);
  FollowHotKey();
  program_.icons().Toggle();
}

void MainWindow::OnInputReport(InputReport report, int key) {
  if (key != releaseWatched_) return;
  if (report == kKeyWatchBegun) releaseInOrder_ = true;
  if (report == kKeyReleased) hotKeyHeld_ = false;
  FollowHotKey();
}

// The menu opens at the pointer, on its monitor. Presses while it is up find
// it open and do nothing.
void MainWindow::OnMenuKey() { PopUpDesktopMenu({}); }

void MainWindow::OnHotKeyReleaseTick() {
  if (hotKeyHeld_) {
    if (!os_.IsKeyDown(program_.hotKey().Key())) hotKeyHeld_ = false;
  } else {
    program_.gestures().WatchKeyRelease(0);
    releaseWatched_ = 0;
    releaseInOrder_ = false;
  }
  FollowHotKey();
}

void MainWindow::FollowHotKey() {
  if (!hotKeyHeld_ && releaseWatched_ == 0) {
    window_->StopTimer(kHotKeyReleaseTimer);
  } else if (!window_->TimerRunning(kHotKeyReleaseTimer)) {
    window_->StartTimer(kHotKeyReleaseTimer, kHotKeyReleaseMs);
  }
}

void MainWindow::PopUpDesktopMenu(const MenuOpening& opening) {
  if (menuOpen_ || !window_) return;
  menuOpen_ = true;
  window_->SetTop(kMenuTop);
  {
    // The menu holds what it shows; the items are not kept until the next click.
    const bool folderMenus =
        options::InForce(options::ReadOptions(program_.settings()), program_.policies()).folderMenus;
    menu::LauncherMenu launcher(os_, *window_, pictures_, folderMenus);
    const std::vector<platform::MenuEntry> entries = launcher.Entries();
    os_.RestoreDefaultCursor();
    menuTheme_.BeforeMenu();
    const int chosen = window_->PopupMenu(entries, &launcher, opening);
    if (const menu::DesktopItem* item = launcher.ItemOf(chosen)) {
      program_.OpenDesktopItem(*item);
    } else {
      MenuDismissed(opening);
    }
  }
  // The menu's items and pictures are gone: what they took goes back.
  os_.TrimMemory();
  menuOpen_ = false;
}

// A menu the keyboard opened and Esc closed gives the focus back to the icon.
void MainWindow::MenuDismissed(const MenuOpening& opening) {
  if (opening.fromKeyboard && window_ && trayIconShown_) window_->FocusTrayIcon(kTrayIconId);
}

void MainWindow::PopUpCommandMenu(const MenuOpening& opening) {
  if (menuOpen_ || !window_) return;
  menuOpen_ = true;
  window_->SetTop(kMenuTop);
  const auto entries = menu::CommandMenu(windowsMinimized_, program_.icons().Shown(), os_.ProgramVersion());
  os_.RestoreDefaultCursor();
  menuTheme_.BeforeMenu();
  const int chosen = window_->PopupMenu(entries, nullptr, opening);
  if (chosen > 0) {
    program_.RunCommand(static_cast<menu::Command>(chosen));
  } else {
    MenuDismissed(opening);
  }
  menuOpen_ = false;
}

void MainWindow::OnTimer(int timerId) {
  if (timerId == kShutdownTimer) {
    program_.Shutdown();
  } else if (timerId == kBalloonTimer) {
    BalloonGone();
  } else if (timerId == kTrayRetryTimer) {
    ++trayRetries_;
    if (!AddTrayIcon() && trayRetries_ >= kTrayRetryLimit) window_->StopTimer(kTrayRetryTimer);
  } else if (timerId == kDesktopWatchTimer) {
    program_.icons().OnTick();
  } else if (timerId == kHotKeyReleaseTimer) {
    OnHotKeyReleaseTick();
  } else if (timerId == kIdleTimer) {
    program_.gestures().OnIdleTimer();
  }
}

// A polite request to end (taskkill without /f, an installer, Task Manager):
// the program ends as "/exit" ends it, with the icons back.
void MainWindow::OnClose() { program_.Leave(); }

void MainWindow::OnSettingChange(std::uint32_t action, const std::string& area) {
  menuTheme_.OnSettingChange(action, area);
  // Group Policy has applied its settings (and the like: "gpupdate").
  if (area == kPolicyArea) program_.ApplyPolicies();
}

void MainWindow::OnTaskbarCreated() {
  // The shell has (re)started and lost every icon: without ours the user
  // could no longer reach the program, so it goes back in, tried again as at
  // start-up while the new taskbar is not ready for it.
  if (trayIconRemoved_ || !window_) return;
  trayIconShown_ = false;
  if (!AddTrayIcon()) RetryTrayIcon();
  // Its desktop comes with a new icon list, which gets the user's choice.
  program_.icons().OnShellRestarted();
}

void MainWindow::OnShellWindowCreated(WindowHandle window) { program_.icons().OnShellWindowCreated(window); }

void MainWindow::StartTicks(std::uint32_t intervalMs) {
  if (window_) window_->StartTimer(kDesktopWatchTimer, intervalMs);
}

void MainWindow::StopTicks() {
  if (window_) window_->StopTimer(kDesktopWatchTimer);
}

void MainWindow::WatchShell(std::uint32_t process, const std::vector<std::string>& classNames) {
  if (window_) window_->WatchShellWindows(process, classNames);
}

}  // namespace tamberlinox
