// "Minimize All Windows" and "Restore All Windows", carried out by the
// taskbar: its own commands are posted to it, and it does the work later on
// its own thread.
#pragma once

#include "platform/Platform.h"

namespace tamberlinox::desktop {

inline constexpr char kTaskbarClass[] = "Shell_TrayWnd";
inline constexpr platform::WParam kMinimizeAllCommand = 419;
inline constexpr platform::WParam kRestoreAllCommand = 416;

// Both do nothing when there is no taskbar.
void MinimizeAllWindows(platform::Platform& os);
void RestoreAllWindows(platform::Platform& os);

}  // namespace tamberlinox::desktop
