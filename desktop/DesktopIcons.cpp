#include "desktop/DesktopIcons.h"

namespace tamberlinox::desktop {

void ShowIcons(platform::Platform& os, bool show) {
  const platform::WindowHandle desktop = os.FindTopLevelWindow(kDesktopClass, std::nullopt);
  if (desktop != 0) os.ShowWindow(desktop, show);
}

bool IconsVisible(platform::Platform& os) {
  const platform::WindowHandle desktop = os.FindTopLevelWindow(kDesktopClass, std::string(kDesktopTitle));
  return desktop != 0 && os.IsWindowVisible(desktop);
}

void ToggleIcons(platform::Platform& os) { ShowIcons(os, !IconsVisible(os)); }

}  // namespace tamberlinox::desktop
