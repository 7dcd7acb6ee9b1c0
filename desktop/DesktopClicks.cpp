#include "desktop/DesktopClicks.h"

#include <string>

namespace tamberlinox::desktop {

using platform::Point;
using platform::WindowHandle;

namespace {

// The class of the screen's own window, which is under every other window.
constexpr char kScreenClass[] = "#32769";

// Whether b lies in the rectangle of this size centred on a.
bool Near(Point a, Point b, int width, int height) {
  const long long dx = b.x > a.x ? b.x - a.x : a.x - b.x;
  const long long dy = b.y > a.y ? b.y - a.y : a.y - b.y;
  return 2 * dx <= width && 2 * dy <= height;
}

// Whether a top-level window is the desktop's own: the screen's window, the
// shell's desktop window, or one of the shell's WorkerW windows (the icons'
// or the wallpaper's). Another program's WorkerW is not.
bool IsDesktopWindow(platform::Platform& os, WindowHandle topLevel) {
  const std::string name = os.WindowClassName(topLevel);
  if (name == kScreenClass) return true;
  if (name != kDesktopClass && name != kWorkerClass) return false;
  const WindowHandle desktop = os.FindTopLevelWindow(kDesktopClass, std::nullopt);
  return desktop != 0 && os.WindowProcess(topLevel) == os.WindowProcess(desktop);
}

}  // namespace

bool IsEmptyDesktopSpot(platform::Platform& os, bool iconsShown, Point at) {
  const WindowHandle under = os.WindowAt(at);
  if (under == 0 || !IsDesktopWindow(os, os.TopLevelWindowOf(under))) return false;
  if (!iconsShown) return true;
  // A shell without an icon list shows its desktop window as the icons: all of it is empty.
  const WindowHandle list = FindIconList(os);
  return list == 0 || os.ListItemAt(list, at) == false;
}

void DoubleClicks::Press(const platform::ClickLimits& limits, std::uint32_t time, Point at) {
  secondPress_ = lastClick_ && time - lastClick_->time <= limits.timeMs &&
                 Near(lastClick_->at, at, limits.doubleWidth, limits.doubleHeight);
  if (!secondPress_) lastClick_.reset();
  down_ = ButtonDown{time, at};
}

std::optional<Point> DoubleClicks::Release(const platform::ClickLimits& limits, Point at) {
  if (!down_) return std::nullopt;  // pressed before anyone listened
  const ButtonDown press = *down_;
  down_.reset();
  const bool second = secondPress_;
  secondPress_ = false;
  if (!Near(press.at, at, limits.dragWidth, limits.dragHeight)) {
    lastClick_.reset();  // a drag or a rubber band: no click
    return std::nullopt;
  }
  if (second) {
    lastClick_.reset();  // a third click starts a new pair
    return press.at;
  }
  lastClick_ = press;
  return std::nullopt;
}

void DesktopClicks::SetOn(bool on) {
  if (on != on_) pairs_.Reset();
  on_ = on;
}

void DesktopClicks::OnPress(std::uint32_t time, Point at) {
  if (on_) pairs_.Press(os_.MouseClickLimits(), time, at);
}

bool DesktopClicks::OnRelease(Point at) {
  if (!on_) return false;
  const std::optional<Point> second = pairs_.Release(os_.MouseClickLimits(), at);
  if (!second || !IsEmptyDesktopSpot(os_, icons_.Shown(), *second)) return false;
  icons_.Toggle();
  return true;
}

}  // namespace tamberlinox::desktop
