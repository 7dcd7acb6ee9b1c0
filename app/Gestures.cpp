#include "app/Gestures.h"

#include "app/MainWindow.h"

namespace tamberlinox {

using namespace platform;

void Gestures::Apply(const options::Options& options, Window& mainWindow) {
  window_ = &mainWindow;
  clicks_.SetOn(options.doubleClick);
  Follow(idle_.SetLimit(options.idleMinutes));
}

void Gestures::Stop() {
  clicks_.SetOn(false);
  Follow(idle_.SetLimit(0));
}

bool Gestures::OnMessage(std::uint32_t message, WParam wParam, LParam lParam) {
  if (message < kFirstReport || message >= kFirstReport + kInputReportCount) return false;
  switch (message - kFirstReport) {
    case kLeftButtonPressed:
      clicks_.OnPress(std::uint32_t(wParam), UnpackPoint(lParam));
      break;
    case kLeftButtonReleased:
      clicks_.OnRelease(UnpackPoint(lParam));
      break;
    case kInputArrived:
      if (plan_.watchInput) Follow(idle_.OnInput());
      break;
  }
  return true;
}

void Gestures::OnIdleTimer() { Follow(idle_.Check()); }

bool Gestures::WatchKeyRelease(int key) {
  keyReleased_ = key;
  UpdateWatch();
  return watching_ && watched_.keyReleased == key;
}

// Icons hidden for idleness come back with the first input, which only the
// watch hears at once: without it in place they are not hidden.
void Gestures::Follow(const desktop::IdleHide::Plan& plan) {
  plan_ = plan;
  UpdateWatch();
  if (plan_.hideNow) {
    if (watching_ && watched_.anyInput) {
      idle_.Hide();
    } else {
      plan_ = idle_.NotHidden();
      UpdateWatch();
    }
  }
  if (window_ != nullptr) {
    if (plan_.checkInMs) {
      window_->StartTimer(MainWindow::kIdleTimer, *plan_.checkInMs);
    } else {
      window_->StopTimer(MainWindow::kIdleTimer);
    }
  }
}

void Gestures::UpdateWatch() {
  const InputWatch watch{clicks_.On(), plan_.watchInput, keyReleased_};
  const bool watching = watch.leftButton || watch.anyInput || watch.keyReleased != 0;
  if (window_ == nullptr || (!watching && !watching_)) return;
  if (watching == watching_ && watch.leftButton == watched_.leftButton && watch.anyInput == watched_.anyInput &&
      watch.keyReleased == watched_.keyReleased) {
    return;
  }
  watching_ = os_.WatchInput(window_->Handle(), kFirstReport, watch) && watching;
  watched_ = watch;
}

}  // namespace tamberlinox
