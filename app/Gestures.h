// What the Options window turns on besides the hot key: a double-click on the
// desktop shows or hides the icons, and shown icons hide after a time without
// input. Both are fed by the session's input watch (Platform::WatchInput),
// whose reports reach the main window, and hide-when-idle by the main
// window's idle timer. The watch runs only while one of them needs it: the
// left button while the double-click is on, any input while the icons are
// hidden for idleness (which they are only once the watch is in place).
#pragma once

#include <cstdint>

#include "desktop/DesktopClicks.h"
#include "desktop/DesktopIcons.h"
#include "desktop/IdleHide.h"
#include "options/Options.h"
#include "platform/Platform.h"

namespace tamberlinox {

class Gestures {
 public:
  // The watch's reports arrive at the main window as kFirstReport + InputReport.
  static constexpr std::uint32_t kFirstReport = platform::kFirstInputReport;

  Gestures(platform::Platform& os, desktop::Icons& icons) : os_(os), clicks_(os, icons), idle_(os, icons) {}
  Gestures(const Gestures&) = delete;
  Gestures& operator=(const Gestures&) = delete;

  // Puts the options in force at once; mainWindow receives the reports and
  // runs the idle timer.
  void Apply(const options::Options& options, platform::Window& mainWindow);
  // Everything off, the icons no longer hidden for idleness (the program ends).
  void Stop();

  // The input watch also reports each release of this key (0: none), as
  // kKeyReleased, for whoever waits for it (the hot key held down). False
  // when the watch is not in place.
  bool WatchKeyRelease(int key);

  // The watch's reports; false for any other message.
  bool OnMessage(std::uint32_t message, platform::WParam wParam, platform::LParam lParam);
  void OnIdleTimer();

 private:
  void Follow(const desktop::IdleHide::Plan& plan);
  void UpdateWatch();

  platform::Platform& os_;
  platform::Window* window_ = nullptr;
  desktop::DesktopClicks clicks_;
  desktop::IdleHide idle_;
  desktop::IdleHide::Plan plan_;
  bool watching_ = false;
  platform::InputWatch watched_;
  int keyReleased_ = 0;
};

}  // namespace tamberlinox
