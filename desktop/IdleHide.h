// Hide when idle: icons the user chose to see are hidden after a number of
// minutes without keyboard or mouse input, and come back with the next input.
// Icons the user hid are never shown by it, and the user's choice is never
// changed (Icons::SetIdle).
//
// Nothing polls. While the icons are shown, one check of the time since the
// last input (a difference of 32-bit tick counts, so the 49.7-day wrap does
// no harm) is made at the earliest moment the limit could be reached, and
// the next one again at the earliest moment after that. While they are hidden
// for idleness the session's input watch reports the first input (a mouse
// event or a key release: the hot key acts on its press, so the key that
// brings the icons back as the hot key is heard as the hot key first, and
// toggles what the user sees). Should the system have taken the watch away
// meanwhile, a look at the session's last input time every few seconds
// brings them back all the same.
#pragma once

#include <cstdint>
#include <optional>

#include "desktop/DesktopIcons.h"
#include "platform/Platform.h"

namespace tamberlinox::desktop {

class IdleHide {
 public:
  // What the program does until the next call: check again after checkInMs
  // (no check when none), and whether to watch for the first input. With
  // hideNow the limit is reached: once the watch is in place, Hide(), so that
  // no input after the icons went can pass unheard; NotHidden() when it
  // could not be put in place.
  struct Plan {
    std::optional<std::uint32_t> checkInMs;
    bool watchInput = false;
    bool hideNow = false;
    friend bool operator==(const Plan&, const Plan&) = default;
  };
  // Checks are never closer together than this.
  static constexpr std::uint32_t kShortestCheckMs = 1000;
  // While the icons are hidden for idleness, the last input time is looked at this often.
  static constexpr std::uint32_t kLookMs = 3000;

  IdleHide(platform::Platform& os, Icons& icons) : os_(os), icons_(icons) {}
  IdleHide(const IdleHide&) = delete;
  IdleHide& operator=(const IdleHide&) = delete;

  // Minutes without input before shown icons hide; 0 = never (icons hidden
  // for idleness then come back at once). The time counts from now.
  Plan SetLimit(int minutes);
  int LimitMinutes() const { return int(limitMs_ / 60000); }
  // The check: whether the limit is reached.
  Plan Check();
  // Hides the icons the user chose to see, for idleness.
  void Hide();
  // The limit was reached but the icons could not be hidden: the time counts
  // again from now.
  Plan NotHidden();
  // The watch heard input: icons hidden for idleness come back.
  Plan OnInput();

 private:
  platform::Platform& os_;
  Icons& icons_;
  std::uint32_t limitMs_ = 0;
  // The time counts from here (the limit set, the icons back) while that is
  // more recent than the last input; forgotten once the limit has passed it.
  std::optional<std::uint32_t> since_;
  // The last input time as the previous look found it while the icons are
  // hidden for idleness; none before the first look. The first look only
  // notes it: the window system may count the icons' own going as input
  // (Wine does, when they go from under the pointer).
  std::optional<std::uint32_t> looked_;
};

}  // namespace tamberlinox::desktop
