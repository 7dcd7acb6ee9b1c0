// The desktop icons: shown and hidden by showing and hiding the shell's
// desktop window. Nothing is remembered: every decision asks the window
// itself, so a desktop shown by anyone else, or re-created by the shell, is
// seen at the next question.
#pragma once

#include "platform/Platform.h"

namespace tamberlinox::desktop {

inline constexpr char kDesktopClass[] = "Progman";
inline constexpr char kDesktopTitle[] = "Program Manager";

// Shows or hides the desktop window; nothing when there is none.
void ShowIcons(platform::Platform& os, bool show);
// Whether the desktop window is visible; false when there is none.
bool IconsVisible(platform::Platform& os);
// The hot key's toggle: hidden icons are shown, shown ones hidden.
void ToggleIcons(platform::Platform& os);

}  // namespace tamberlinox::desktop
