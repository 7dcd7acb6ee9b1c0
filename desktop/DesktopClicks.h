// A double-click on an empty spot of the desktop shows hidden icons and hides
// shown ones, as the hot key does.
//
// The program hears of every press and release of the left button in the
// session (Platform::WatchInput) and pairs them into double-clicks the way the
// window system does: two clicks whose presses come within the double-click
// time and rectangle of each other. A click is a press and a release inside
// the drag rectangle around the press point; a drag or a rubber-band
// selection is no click, and breaks a pair. Each double-click is decided when
// its second release arrives: it toggles the icons only when its second press
// was on an empty spot of the desktop (see IsEmptyDesktopSpot).
#pragma once

#include <cstdint>
#include <optional>

#include "desktop/DesktopIcons.h"
#include "platform/Platform.h"

namespace tamberlinox::desktop {

// The shell's desktop under a point of the screen, with nothing there to
// click: when the icons are shown, a point of the desktop where the icon
// list's hit test finds no item (no icon, label or check box); when they are
// hidden, any point of the desktop's background, on every monitor. The list
// is hit-tested only while it is shown (a hidden list still reports its
// items); a list that does not answer counts as an item there.
bool IsEmptyDesktopSpot(platform::Platform& os, bool iconsShown, platform::Point at);

// Pairs presses and releases of the left button into double-clicks. Times are
// the system's 32-bit tick counts, compared as unsigned differences so that
// the wrap after 49.7 days does no harm.
class DoubleClicks {
 public:
  void Press(const platform::ClickLimits& limits, std::uint32_t time, platform::Point at);
  // The point of the second press when this release completes a double-click.
  std::optional<platform::Point> Release(const platform::ClickLimits& limits, platform::Point at);
  // Forgets every click so far (the watch was off meanwhile).
  void Reset() { *this = DoubleClicks(); }

 private:
  struct ButtonDown {
    std::uint32_t time = 0;
    platform::Point at;
  };
  std::optional<ButtonDown> down_;       // the button is down since this press
  std::optional<ButtonDown> lastClick_;  // the press of the last single click
  bool secondPress_ = false;        // down_ may complete a double-click with lastClick_
};

// The gesture as the running program has it: on or off, fed with the watch's
// reports, toggling the program's icons.
class DesktopClicks {
 public:
  DesktopClicks(platform::Platform& os, Icons& icons) : os_(os), icons_(icons) {}
  DesktopClicks(const DesktopClicks&) = delete;
  DesktopClicks& operator=(const DesktopClicks&) = delete;

  void SetOn(bool on);
  bool On() const { return on_; }
  void OnPress(std::uint32_t time, platform::Point at);
  // True when this release made a double-click on an empty spot, and the icons toggled.
  bool OnRelease(platform::Point at);

 private:
  platform::Platform& os_;
  Icons& icons_;
  bool on_ = false;
  DoubleClicks pairs_;
};

}  // namespace tamberlinox::desktop
