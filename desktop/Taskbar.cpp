#include "desktop/Taskbar.h"

namespace tamberlinox::desktop {

namespace {

void PostToTaskbar(platform::Platform& os, platform::WParam command) {
  const platform::WindowHandle taskbar = os.FindTopLevelWindow(kTaskbarClass, std::nullopt);
  if (taskbar != 0) os.PostWindowMessage(taskbar, platform::kWmCommand, command, 0);
}

}  // namespace

void MinimizeAllWindows(platform::Platform& os) { PostToTaskbar(os, kMinimizeAllCommand); }

void RestoreAllWindows(platform::Platform& os) { PostToTaskbar(os, kRestoreAllCommand); }

}  // namespace tamberlinox::desktop
