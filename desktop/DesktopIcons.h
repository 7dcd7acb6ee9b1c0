// The desktop icons. They live in the shell's icon list, a list view called
// "FolderView" inside a "SHELLDLL_DefView" window, which the shell keeps in
// one of three places: inside its desktop window "Progman" (the classic
// layout, and again from Windows 11 24H2 on, where Progman also holds the
// window that draws the wallpaper), or inside a top-level "WorkerW" window of
// the shell's process (after the shell has been asked to draw the wallpaper
// apart: slideshows, Task View, live wallpapers). The list is looked for
// afresh at every use, so a layout that changes while the program runs is
// followed. Only the list is shown and hidden: the wallpaper never changes.
// A shell without such a list (Wine's, or one without icons) has its desktop
// window shown and hidden instead.
//
// Nothing is remembered: every decision asks the list itself, so icons shown
// by anyone else, or a desktop re-created by the shell, are seen at the next
// question.
#pragma once

#include "platform/Platform.h"

namespace tamberlinox::desktop {

inline constexpr char kDesktopClass[] = "Progman";
inline constexpr char kDesktopTitle[] = "Program Manager";
inline constexpr char kWorkerClass[] = "WorkerW";
inline constexpr char kViewClass[] = "SHELLDLL_DefView";
inline constexpr char kIconListClass[] = "SysListView32";
inline constexpr char kIconListTitle[] = "FolderView";

// The shell's icon list; 0 when the shell has none.
platform::WindowHandle FindIconList(platform::Platform& os);
// Shows or hides the icons; nothing when the shell has neither a list nor a desktop window.
void ShowIcons(platform::Platform& os, bool show);
// Whether the icons are visible; false when there are none to see.
bool IconsVisible(platform::Platform& os);
// The hot key's toggle: hidden icons are shown, shown ones hidden.
void ToggleIcons(platform::Platform& os);

}  // namespace tamberlinox::desktop
