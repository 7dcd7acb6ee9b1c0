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
    OnHotKey();  // whatever the key's identifier
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
        break;
      case RemoteCommand::OpenOptions:
        program_.optionsWindow().Show();
        break;
    }
    result = 0;
    return true;
  }
  if (message == Gestures::kFirstReport + kKeyReleased) {
    LetGoOfHotKey(false);
    result = 0;
    return true;
  }
  if (program_.gestures().OnMessage(message, wParam, lParam)) {
    result = 0;
    return true;
  }
  if (message != kTrayMessage) return false;
  if (lParam == kWmLButtonUp) {
    PopUpDesktopMenu();
  } else if (lParam == kWmRButtonUp) {
    PopUpCommandMenu();
  } else if (lParam >= kBalloonHidden && lParam <= kBalloonClicked) {
    BalloonGone();
  }
  result = 0;  // every other tray notification is ignored, and none is passed on
  return true;
}

// A held key repeats, and each repeat comes as a press of the hot key where
// the system does not leave them out: only the first counts. The key is
// looked at as the press is handled. Already up: the presses queued meanwhile
// were its repeats. Still down: further presses count again once the input
// watch has seen the key's release, which it reports after the repeats that
// came before it and before the next press; should the watch miss it, a look
// at the key now and then finds it up. The key is looked at once more when
// the watch has begun: a release that came before it would never be heard,
// and a quick second press would be taken for a repeat.
void MainWindow::OnHotKey() {
  if (hotKeyHeld_) return;
  program_.icons().Toggle();
  const int key = program_.hotKey().Key();
  if (!os_.IsKeyDown(key)) {
    window_->DropQueuedMessages(kWmHotKey);
    return;
  }
  hotKeyHeld_ = true;
  program_.gestures().WatchKeyRelease(key);
  if (!os_.IsKeyDown(key)) {
    LetGoOfHotKey(true);
    return;
  }
  window_->StartTimer(kHotKeyReleaseTimer, kHotKeyReleaseMs);
}

void MainWindow::OnHotKeyReleaseTick() {
  if (!os_.IsKeyDown(program_.hotKey().Key())) LetGoOfHotKey(true);
}

void MainWindow::LetGoOfHotKey(bool dropQueuedPresses) {
  if (!hotKeyHeld_) return;
  hotKeyHeld_ = false;
  window_->StopTimer(kHotKeyReleaseTimer);
  program_.gestures().WatchKeyRelease(0);
  if (dropQueuedPresses) window_->DropQueuedMessages(kWmHotKey);
}

void MainWindow::PopUpDesktopMenu() {
  if (menuOpen_ || !window_) return;
  menuOpen_ = true;
  window_->SetTop(kMenuTop);
  {
    // The menu holds what it shows; the items are not kept until the next click.
    menu::LauncherMenu launcher(os_, *window_, pictures_, options::ReadOptions(os_).folderMenus);
    const std::vector<platform::MenuEntry> entries = launcher.Entries();
    os_.RestoreDefaultCursor();
    menuTheme_.BeforeMenu();
    const int chosen = window_->PopupMenu(entries, &launcher);
    if (const menu::DesktopItem* item = launcher.ItemOf(chosen)) program_.OpenDesktopItem(*item);
  }
  // The menu's items and pictures are gone: what they took goes back.
  os_.TrimMemory();
  menuOpen_ = false;
}

void MainWindow::PopUpCommandMenu() {
  if (menuOpen_ || !window_) return;
  menuOpen_ = true;
  window_->SetTop(kMenuTop);
  const auto entries = menu::CommandMenu(windowsMinimized_, program_.icons().Shown(), os_.ProgramVersion());
  os_.RestoreDefaultCursor();
  menuTheme_.BeforeMenu();
  const int chosen = window_->PopupMenu(entries);
  if (chosen > 0) program_.RunCommand(static_cast<menu::Command>(chosen));
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
