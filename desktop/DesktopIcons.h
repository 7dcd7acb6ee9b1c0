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
// The free functions below act on the shell's windows as they are now and
// remember nothing; the running program keeps the user's choice in an Icons
// object, which uses them.
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

// The desktop icons as the running program keeps them: hidden or shown as the
// user last chose (hidden after start-up; then F10, the menu, the command line
// and the gestures on the desktop), and hidden for a while when the user has
// been away, without changing that choice.
class Icons {
 public:
  explicit Icons(platform::Platform& os) : os_(os) {}
  Icons(const Icons&) = delete;
  Icons& operator=(const Icons&) = delete;

  // The user chooses: the icons are shown or hidden accordingly.
  void Choose(bool shown);
  // F10 and its peers: what the user sees hidden is shown, what the user sees
  // shown is hidden (icons hidden for idleness count as hidden).
  void Toggle();
  // Whether the user sees the icons now; the command menu offers the opposite.
  bool Shown();
  // The user's choice, whatever idleness did to it.
  bool Chosen() const { return chosen_; }

  // The user has been away (true) or is back (false). Only icons the user
  // chose to see are hidden, and only those come back.
  void SetIdle(bool idle);
  bool HiddenForIdleness() const { return idleHidden_; }

  // Puts the icons as the choice and idleness call for.
  void Apply();

 private:
  bool Target() const { return chosen_ && !idleHidden_; }

  platform::Platform& os_;
  bool chosen_ = false;
  bool idleHidden_ = false;
};

}  // namespace tamberlinox::desktop
