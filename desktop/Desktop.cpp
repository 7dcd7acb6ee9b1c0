#include "desktop/Desktop.h"

namespace tamberlinox::desktop {

using namespace platform;

void ShowDesktopIcons(Platform& os, bool show) {
  const WindowHandle window = os.FindWindowExA(0, 0, kDesktopClass, nullptr);
  if (window == 0) return;
  os.ShowWindow(window, show ? kSwShow : kSwHide);
}

std::int32_t DesktopIconsVisible(Platform& os) {
  const WindowHandle window = os.FindWindowA(kDesktopClass, kDesktopTitle);
  if (window == 0) return 0;
  return os.IsWindowVisible(window);
}

void ToggleDesktopIcons(Platform& os) {
  const std::int32_t visible = DesktopIconsVisible(os);
  if (visible == 0) {
    ShowDesktopIcons(os, true);
  } else if (visible == 1) {
    ShowDesktopIcons(os, false);
  }
}

void PostTaskbarCommand(Platform& os, WParam command) {
  // Posted, not sent: the taskbar does the work later on its own thread.
  const WindowHandle taskbar = os.FindWindowA(kTaskbarClass, nullptr);
  if (taskbar == 0) return;  // a null window would post to our own thread
  os.PostMessageA(taskbar, kWmCommand, command, 0);
}

}  // namespace tamberlinox::desktop
