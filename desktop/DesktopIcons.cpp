#include "desktop/DesktopIcons.h"

#include <algorithm>

namespace tamberlinox::desktop {

using platform::WindowHandle;

namespace {

// The view with the icons: inside the desktop window, or else inside a
// top-level WorkerW of the same process.
WindowHandle FindIconView(platform::Platform& os) {
  const WindowHandle desktop = os.FindTopLevelWindow(kDesktopClass, std::nullopt);
  if (desktop == 0) return 0;
  if (const WindowHandle view = os.FindChildWindow(desktop, kViewClass, std::nullopt)) return view;
  const std::uint32_t shell = os.WindowProcess(desktop);
  for (const WindowHandle worker : os.TopLevelWindows(kWorkerClass)) {
    if (os.WindowProcess(worker) != shell) continue;
    if (const WindowHandle view = os.FindChildWindow(worker, kViewClass, std::nullopt)) return view;
  }
  return 0;
}

// Shows or hides the list, or the desktop window where there is none. Where
// there is a list, only the list is hidden: a desktop window left hidden (from
// before the shell made its list, at logon; or by an earlier version of this
// program) would keep the list and the wallpaper out of sight, so it is shown
// whenever the list is acted on; also when a hide asked of it is still on its
// way (desktopAskedHidden), as it is while the shell is busy making its list.
// Gives the window whose visibility is now the icons'.
WindowHandle ShowIconWindow(platform::Platform& os, WindowHandle desktop, WindowHandle list, bool show,
                            bool desktopAskedHidden = false) {
  if (list == 0) {
    os.ShowWindow(desktop, show);
    return desktop;
  }
  if (desktop != 0 && (desktopAskedHidden || !os.IsWindowVisible(desktop))) os.ShowWindow(desktop, true);
  os.ShowWindow(list, show);
  return list;
}

}  // namespace

WindowHandle FindIconList(platform::Platform& os) {
  const WindowHandle view = FindIconView(os);
  return view != 0 ? os.FindChildWindow(view, kIconListClass, std::string(kIconListTitle)) : 0;
}

bool HoldsWallpaper(platform::Platform& os, WindowHandle desktop) {
  return desktop != 0 && os.FindChildWindow(desktop, kWorkerClass, std::nullopt) != 0;
}

bool ShowIcons(platform::Platform& os, bool show) {
  const WindowHandle desktop = os.FindTopLevelWindow(kDesktopClass, std::nullopt);
  const WindowHandle list = FindIconList(os);
  if (list == 0 && (desktop == 0 || (!show && HoldsWallpaper(os, desktop)))) return false;
  ShowIconWindow(os, desktop, list, show);
  return true;
}

bool IconsVisible(platform::Platform& os) {
  if (const WindowHandle list = FindIconList(os)) return os.IsWindowVisible(list);
  const WindowHandle desktop = os.FindTopLevelWindow(kDesktopClass, std::string(kDesktopTitle));
  return desktop != 0 && os.IsWindowVisible(desktop);
}

void ToggleIcons(platform::Platform& os) { ShowIcons(os, !IconsVisible(os)); }

// ------------------------------------------------------------------ Icons

void Icons::Choose(bool shown) {
  chosen_ = shown;
  idleHidden_ = false;
  Apply();
}

void Icons::Toggle() { Choose(!Shown()); }

bool Icons::Shown() {
  if (idleHidden_) return false;
  const WindowHandle list = FindIconList(os_);
  if (list == 0 && listSeen_) return Target();  // the list is on its way and will be put so
  const WindowHandle window = IconWindow(list);
  if (window == 0) return false;
  // A shell that has not carried out the last request yet and does not
  // answer now will carry it out when it answers again.
  if (window == asked_ && !Answered() && !os_.IsWindowAnswering(window)) return askedVisible_;
  return os_.IsWindowVisible(window);
}

void Icons::SetIdle(bool idle) {
  const bool hide = idle && chosen_;
  if (hide == idleHidden_) return;
  idleHidden_ = hide;
  Apply();
}

void Icons::Apply() {
  if (released_) return;
  FollowShellProcess();
  const WindowHandle list = FindIconList(os_);
  if (list != 0) {
    // A list that takes the place of another is the shell's new one: for a
    // moment the shell may still show it as it likes.
    if (list_ != 0 && list != list_) settleTicks_ = kSettleTicks;
    list_ = list;
    listSeen_ = true;
    Ask(list);
    if (settleTicks_ > 0) Wait(0);
    return;
  }
  // No list. A shell that had one is making a new one; a desktop window that
  // draws the wallpaper is waiting for its list. Either way Progman stays as
  // it is (hidden, it would take the wallpaper with it) until the list comes.
  const WindowHandle desktop = os_.FindTopLevelWindow(kDesktopClass, std::nullopt);
  const bool listExpected = listSeen_ || HoldsWallpaper(os_, desktop);
  if (desktop != 0 && (Target() || !listExpected)) Ask(0);
  if (listExpected) Wait(kRestartTicks);
}

void Icons::Release() {
  released_ = true;
  if (ticking_) signals_.StopTicks();
  ticking_ = false;
  if (shellProcess_ != 0) signals_.WatchShell(0, {});
  shellProcess_ = 0;
  ShowIcons(os_, true);
}

void Icons::OnShellRestarted() {
  if (released_) return;
  // The new taskbar may come before the shell's new list or after it.
  Wait(kRestartTicks);
  if (IsNewList(FindIconList(os_))) Apply();
}

void Icons::OnShellWindowCreated(WindowHandle) {
  if (released_) return;
  if (IsNewList(FindIconList(os_))) {
    Apply();
  } else {
    Wait(kSettleTicks);  // the view comes before its list
  }
}

void Icons::OnTick() {
  if (released_) return;
  FollowShellProcess();
  const WindowHandle list = FindIconList(os_);
  if (IsNewList(list)) {
    Apply();
  } else if (list != 0 && list == list_ && settleTicks_ > 0) {
    --settleTicks_;
    // The shell showed its new list after the choice was put on it (and is
    // not merely still on its way to carrying the choice out).
    if (os_.IsWindowVisible(list) != Target() && os_.IsWindowAnswering(list)) Ask(list);
  }
  if (ticksLeft_ > 0) --ticksLeft_;
  if (ticksLeft_ > 0 || settleTicks_ > 0) return;
  signals_.StopTicks();
  ticking_ = false;
}

WindowHandle Icons::IconWindow(WindowHandle list) {
  return list != 0 ? list : os_.FindTopLevelWindow(kDesktopClass, std::string(kDesktopTitle));
}

void Icons::Ask(WindowHandle list) {
  const bool show = Target();
  const WindowHandle desktop = os_.FindTopLevelWindow(kDesktopClass, std::nullopt);
  asked_ = ShowIconWindow(os_, desktop, list, show, desktop != 0 && asked_ == desktop && !askedVisible_);
  askedVisible_ = show;
}

bool Icons::Answered() { return asked_ == 0 || os_.IsWindowVisible(asked_) == askedVisible_; }

void Icons::Wait(int ticks) {
  ticksLeft_ = std::max(ticksLeft_, ticks);
  if (ticking_) return;
  ticking_ = true;
  signals_.StartTicks(kTickMs);
}

void Icons::FollowShellProcess() {
  const std::uint32_t process = os_.WindowProcess(os_.FindTopLevelWindow(kDesktopClass, std::nullopt));
  if (process == shellProcess_) return;
  shellProcess_ = process;
  signals_.WatchShell(process, process != 0 ? std::vector<std::string>{kViewClass, kIconListClass}
                                            : std::vector<std::string>{});
}

}  // namespace tamberlinox::desktop
