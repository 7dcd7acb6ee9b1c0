#include "desktop/DesktopIcons.h"

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

}  // namespace

WindowHandle FindIconList(platform::Platform& os) {
  const WindowHandle view = FindIconView(os);
  return view != 0 ? os.FindChildWindow(view, kIconListClass, std::string(kIconListTitle)) : 0;
}

void ShowIcons(platform::Platform& os, bool show) {
  const WindowHandle desktop = os.FindTopLevelWindow(kDesktopClass, std::nullopt);
  const WindowHandle list = FindIconList(os);
  if (list == 0) {
    if (desktop != 0) os.ShowWindow(desktop, show);
    return;
  }
  // A desktop window left hidden (by an earlier version of this program, say)
  // would keep the list out of sight.
  if (show && !os.IsWindowVisible(desktop)) os.ShowWindow(desktop, true);
  os.ShowWindow(list, show);
}

bool IconsVisible(platform::Platform& os) {
  if (const WindowHandle list = FindIconList(os)) return os.IsWindowVisible(list);
  const WindowHandle desktop = os.FindTopLevelWindow(kDesktopClass, std::string(kDesktopTitle));
  return desktop != 0 && os.IsWindowVisible(desktop);
}

void ToggleIcons(platform::Platform& os) { ShowIcons(os, !IconsVisible(os)); }

void Icons::Choose(bool shown) {
  chosen_ = shown;
  idleHidden_ = false;
  Apply();
}

void Icons::Toggle() { Choose(!Shown()); }

bool Icons::Shown() { return !idleHidden_ && IconsVisible(os_); }

void Icons::SetIdle(bool idle) {
  const bool hide = idle && chosen_;
  if (hide == idleHidden_) return;
  idleHidden_ = hide;
  Apply();
}

void Icons::Apply() { ShowIcons(os_, Target()); }

}  // namespace tamberlinox::desktop
