#include "desktop/IdleHide.h"

#include <algorithm>

namespace tamberlinox::desktop {

IdleHide::Plan IdleHide::SetLimit(int minutes) {
  limitMs_ = minutes > 0 ? std::uint32_t(minutes) * 60000u : 0;
  since_ = os_.TickCount();
  return Check();
}

IdleHide::Plan IdleHide::Check() {
  if (limitMs_ == 0) {
    icons_.SetIdle(false);
    return {};
  }
  // The last input first: read after the clock, it could be later than "now".
  const std::uint32_t lastInput = os_.LastInputTick();
  const std::uint32_t now = os_.TickCount();
  if (icons_.HiddenForIdleness()) {
    if (looked_ && *looked_ != lastInput) return OnInput();  // input the watch did not report
    looked_ = lastInput;
    return {kLookMs, true};
  }
  std::uint32_t idle = now - lastInput;
  if (since_) {
    const std::uint32_t sinceStart = now - *since_;
    if (sinceStart >= limitMs_) since_.reset();
    idle = std::min(idle, sinceStart);
  }
  if (idle >= limitMs_ && icons_.Chosen()) return {kLookMs, true, true};
  // Hidden by the user: the earliest they could be shown and then left is
  // now, so the limit could be reached a whole limit from now.
  const std::uint32_t wait = idle < limitMs_ ? limitMs_ - idle : limitMs_;
  return {std::max(wait, kShortestCheckMs), false};
}

void IdleHide::Hide() {
  looked_.reset();
  icons_.SetIdle(true);
}

IdleHide::Plan IdleHide::NotHidden() {
  since_ = os_.TickCount();
  return Check();
}

IdleHide::Plan IdleHide::OnInput() {
  if (limitMs_ == 0) return Check();
  icons_.SetIdle(false);
  since_ = os_.TickCount();
  return Check();
}

}  // namespace tamberlinox::desktop
