// Every window message, timer id and menu id the program makes up for itself,
// in one place. Two that reach the same window or menu must never meet: the
// checks at the end of this file hold them apart at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tamberlinox::platform {

inline constexpr std::uint32_t kWmUser = 0x0400;  // WM_USER
inline constexpr std::uint32_t kWmApp = 0x8000;   // WM_APP
// Messages registered with the system by name come from 0xC000 up, above
// every number below.
inline constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;
// Registered by the shell and every tray program: the taskbar was made anew.
inline constexpr char kTaskbarCreatedName[] = "TaskbarCreated";

// ------------------------------------------------- messages of the main window
// The tray icon's callback: 1025, which other tools post to click the icon.
inline constexpr std::uint32_t kTrayMessage = kWmUser + 1;
// What a second start asks of the running copy (a RemoteCommand in wParam).
inline constexpr std::uint32_t kRemoteCommandMessage = kWmUser + 2;
// The input watch's reports, kFirstInputReport + InputReport.
inline constexpr std::uint32_t kFirstInputReport = kWmUser + 0x100;
inline constexpr std::uint32_t kInputReportSlots = 16;

// ------------------------------------ messages the window layer sends itself
// Sent to a window by the message loop when Esc is pressed in it (IDCANCEL
// cannot tell Esc from a click on a control whose id is 2).
inline constexpr std::uint32_t kEscapeMessage = kWmApp + 0x154;
// Posted by a window's watch of the shell's windows: wParam is the new window.
inline constexpr std::uint32_t kShellWindowMessage = kWmApp + 0x155;
// Posted to a menu's owner when a right button was released in a menu whose
// loop did not say so with WM_MENURBUTTONUP.
inline constexpr std::uint32_t kMenuRightButtonMessage = kWmApp + 0x156;

// --------------------------------------- messages to a thread without windows
// To the input watch's thread: set the hooks of wParam, take the others away.
inline constexpr std::uint32_t kSetHooksMessage = kWmApp;

// ---------------------------------------------------------------- timers
// The main window's; each runs only while there is something to wait for.
enum MainWindowTimer : int {
  kShutdownTimer = 1,       // 500 ms: the program's windows go once "Close Program" is done
  kTrayRetryTimer = 2,      // 2 s: adds the icon again while the shell is not ready for it
  kDesktopWatchTimer = 3,   // the shell's icon view is looked for while it may be on its way
  kHotKeyReleaseTimer = 4,  // the hot key is held, or the watch of its release is to end
  kIdleTimer = 5,           // hide when idle is on: the next check, or while hidden the look at the last input
  kBalloonTimer = 10,       // a balloon waits for the one shown to go
  // Set on the window that owns an open menu (the main window): the
  // program's idle slices while the menu is up.
  kMenuIdleTimer = 0x7A11,
};
// The About window's.
enum AboutWindowTimer : int {
  kEndTimer = 1,           // 100 ms: closes the window once a request is over
  kRequestTimer = 2,       // 1000 ms: runs the web request
  kPauseTimer = 3,         // the short pauses of a request and of "Close Form", each ticks once
  kBrowserTimer = 4,       // 50 ms: the steps of the wait for the browser
  kBrowserLimitTimer = 5,  // 30 s: the end of that wait
};

// ---------------------------------------------------------------- hot key ids
// The hot key is registered under a global atom's value (hotkey/HotKey.h),
// always from kFirstAtom up; the desktop menu's key under a fixed id below
// every atom, in the range the system leaves to programs.
inline constexpr int kFirstAtom = 0xC000;
inline constexpr int kMenuHotKeyId = 1;

// ---------------------------------------------------------------- menu ids
// The command menu's entries (menu::Command) take the first ids.
inline constexpr int kFirstCommandId = 1;
inline constexpr int kLastCommandId = 99;
// The commands of the shell's own menu of an item, shown over the desktop
// menu, take ids below all of the desktop menu's: nothing the program hears
// while both are up can be taken for the other's. (The command menu is never
// up with them.)
inline constexpr int kFirstItemMenuId = 1;
inline constexpr int kLastItemMenuId = 999;
// A desktop menu entry's id is this plus the item's index. The entries of
// folders' submenus take the ids after the desktop's, as the submenus open.
inline constexpr int kFirstDesktopItemId = 1000;

// ---------------------------------------------------------------- checks
namespace ids_detail {
template <typename T, std::size_t N>
constexpr bool AllDistinct(const std::array<T, N>& values) {
  for (std::size_t i = 0; i < N; ++i) {
    for (std::size_t j = i + 1; j < N; ++j) {
      if (values[i] == values[j]) return false;
    }
  }
  return true;
}
}  // namespace ids_detail

// Every window of the program hears these (the main window all of them).
inline constexpr std::array<std::uint32_t, 5> kOwnMessages{kTrayMessage, kRemoteCommandMessage, kEscapeMessage,
                                                           kShellWindowMessage, kMenuRightButtonMessage};
static_assert(ids_detail::AllDistinct(kOwnMessages), "two of the program's messages share a number");
static_assert([] {
  for (const std::uint32_t message : kOwnMessages) {
    if (message >= kFirstInputReport && message < kFirstInputReport + kInputReportSlots) return false;
    if (message < kWmUser || message >= kFirstRegisteredMessage) return false;
  }
  return true;
}(), "a message of the program's meets the input watch's reports or the system's own");
static_assert(ids_detail::AllDistinct(std::array<int, 7>{kShutdownTimer, kTrayRetryTimer, kDesktopWatchTimer,
                                                         kHotKeyReleaseTimer, kIdleTimer, kBalloonTimer,
                                                         kMenuIdleTimer}),
              "two of the main window's timers share an id");
static_assert(ids_detail::AllDistinct(
                  std::array<int, 5>{kEndTimer, kRequestTimer, kPauseTimer, kBrowserTimer, kBrowserLimitTimer}),
              "two of the About window's timers share an id");
static_assert(kMenuHotKeyId >= 0 && kMenuHotKeyId < kFirstAtom, "the menu key's id may meet the hot key's atom");
static_assert(kFirstCommandId > 0 && kFirstItemMenuId > 0 && kLastItemMenuId < kFirstDesktopItemId &&
                  kLastCommandId < kFirstDesktopItemId,
              "menu id ranges meet (0 is no choice)");

}  // namespace tamberlinox::platform
