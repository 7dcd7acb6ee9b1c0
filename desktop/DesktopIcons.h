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
// window shown and hidden instead, unless Progman draws the wallpaper itself.
//
// Every show and hide is asked of the shell's own thread and returns at once:
// a shell that has stopped answering never holds the program.
//
// The free functions below act on the shell's windows as they are now and
// remember nothing; the running program keeps the user's choice in an Icons
// object, which uses them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
// Whether the desktop window draws the wallpaper in a window of its own
// inside it (Windows 11 24H2 on): hiding it would leave the screen black.
bool HoldsWallpaper(platform::Platform& os, platform::WindowHandle desktop);
// Shows or hides the icons; nothing (false) when the shell has neither a list
// nor a desktop window, or when hiding would take the wallpaper with it.
bool ShowIcons(platform::Platform& os, bool show);
// Whether the icons are visible; false when there are none to see.
bool IconsVisible(platform::Platform& os);
// The hot key's toggle: hidden icons are shown, shown ones hidden.
void ToggleIcons(platform::Platform& os);

// What an Icons object needs from the program's main window to follow the
// shell: ticks while it waits for the shell, and news of the shell's windows.
class ShellSignals {
 public:
  virtual void StartTicks(std::uint32_t intervalMs) = 0;  // Icons::OnTick each interval until StopTicks
  virtual void StopTicks() = 0;
  // Icons::OnShellWindowCreated for the process's windows of these classes;
  // process 0 = none.
  virtual void WatchShell(std::uint32_t process, const std::vector<std::string>& classNames) = 0;

 protected:
  ~ShellSignals() = default;
};

// The desktop icons as the running program keeps them: hidden or shown as the
// user last chose (hidden after start-up; then F10, the menu, the command line
// and the gestures on the desktop), and hidden for a while when the user has
// been away, without changing that choice.
//
// The choice holds whatever the shell does: when the shell makes a new icon
// list (it restarted, or re-created its desktop), the choice is applied to
// the new list as soon as it is seen. News comes from the system's window
// events where it sends them, and from a few looks after the shell announces a
// new taskbar ("TaskbarCreated"), in whichever order the list and the taskbar
// come. While the list is missing for a moment, Progman is left alone (it may
// draw the wallpaper) and the choice waits for the list. A shell that has not
// made its list yet (at logon) and draws no wallpaper in Progman has Progman
// hidden in its place; when the list comes, Progman is shown again and the
// list alone hidden.
//
// Shows and hides are asked of the shell and carried out by it later: while
// the shell does not answer, what the user is taken to see is what was asked.
class Icons {
 public:
  Icons(platform::Platform& os, ShellSignals& signals) : os_(os), signals_(signals) {}
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
  // The program ends: the icons are shown and no longer followed.
  void Release();

  // News from the shell.
  void OnShellRestarted();                             // "TaskbarCreated"
  void OnShellWindowCreated(platform::WindowHandle window);
  void OnTick();

  // Timing: the looks while waiting for the shell, and how long each wait lasts.
  static constexpr std::uint32_t kTickMs = 250;
  static constexpr int kRestartTicks = 240;  // 60 s for a restarting shell's icon list
  static constexpr int kSettleTicks = 12;    // 3 s in which a new list is kept as chosen

 private:
  bool Target() const { return chosen_ && !idleHidden_; }
  // The window whose visibility is the icons': the list, or else Progman.
  platform::WindowHandle IconWindow(platform::WindowHandle list);
  // Asks the icon window to be as the target is; notes what was asked.
  void Ask(platform::WindowHandle list);
  // Whether the shell has carried out what was last asked of it.
  bool Answered();
  // A list other than the one the choice was last applied to.
  bool IsNewList(platform::WindowHandle list) const { return list != 0 && list != list_; }
  void Wait(int ticks);
  void FollowShellProcess();

  platform::Platform& os_;
  ShellSignals& signals_;
  bool chosen_ = false;
  bool idleHidden_ = false;
  bool released_ = false;

  platform::WindowHandle list_ = 0;  // the list last acted on
  bool listSeen_ = false;            // this shell has a list, so a missing one is on its way
  platform::WindowHandle asked_ = 0; // the window last asked to change, and how
  bool askedVisible_ = false;
  int ticksLeft_ = 0;                // looks left before the ticks stop
  int settleTicks_ = 0;              // looks left in which the new list is kept as chosen
  bool ticking_ = false;
  std::uint32_t shellProcess_ = 0;   // the process watched for new windows
};

}  // namespace tamberlinox::desktop
