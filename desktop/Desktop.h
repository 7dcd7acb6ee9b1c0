// The program's only effects on other programs' windows: the shell's desktop
// window (which carries the desktop icons) and the taskbar's minimize-all
// commands. Nothing is remembered: every decision asks the desktop window.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace tamberlinox::desktop {

inline constexpr char kDesktopClass[] = "Progman";
inline constexpr char kDesktopTitle[] = "Program Manager";
inline constexpr char kTaskbarClass[] = "Shell_TrayWnd";
// The taskbar's own commands: minimize all windows, and undo it.
inline constexpr platform::WParam kTaskbarMinimizeAll = 419;
inline constexpr platform::WParam kTaskbarRestoreAll = 416;

// Shows (true) or hides (false) the desktop window; nothing when there is none.
void ShowDesktopIcons(platform::Platform& os, bool show);
// 1 when the desktop window is visible; 0 when it is hidden or there is none.
std::int32_t DesktopIconsVisible(platform::Platform& os);
// The hot key's toggle: shows hidden icons, hides shown ones.
void ToggleDesktopIcons(platform::Platform& os);
// Posts one of the taskbar's commands to the taskbar; nothing when there is none.
void PostTaskbarCommand(platform::Platform& os, platform::WParam command);

}  // namespace tamberlinox::desktop
