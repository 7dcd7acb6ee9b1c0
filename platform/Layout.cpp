#include "platform/Layout.h"

#include <algorithm>
#include <numeric>

namespace tamberlinox::platform {

namespace {

int Right(const Rect& r) { return r.left + r.width; }
int Bottom(const Rect& r) { return r.top + r.height; }

class Fitting {
 public:
  Fitting(const WindowSpec& spec, int dpi, TextMeasurer& measurer) : spec_(spec), measurer_(measurer) {
    layout_.dpi = dpi;
    layout_.clientWidth = ScaleToDpi(spec.clientWidth, dpi);
    layout_.clientHeight = ScaleToDpi(spec.clientHeight, dpi);
    for (const ControlSpec& control : spec.controls) {
      const Rect& b = control.bounds;
      layout_.controls.push_back({ScaleToDpi(b.left, dpi), ScaleToDpi(b.top, dpi), ScaleToDpi(b.width, dpi),
                                  ScaleToDpi(b.height, dpi)});
    }
  }

  WindowLayout Run() {
    // Top to bottom: a box that grows moves only what comes after it.
    std::vector<std::size_t> order(spec_.controls.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return layout_.controls[a].top < layout_.controls[b].top;
    });
    for (std::size_t i : order) {
      const ControlSpec& control = spec_.controls[i];
      if (control.kind != ControlKind::ComboBox && !control.text.empty()) Fit(i);
    }
    return std::move(layout_);
  }

 private:
  // The free room of box i: down to the nearest control under it, and across
  // to the nearest control to its right, or to the window's edges. A control
  // that starts above the middle of the box lies over it and limits nothing;
  // nor does a control hidden when the window opens, which is shown in place
  // of others and has the room up to the window's edges.
  void RoomOf(std::size_t i, int& right, int& bottom) const {
    const Rect& r = layout_.controls[i];
    right = layout_.clientWidth;
    bottom = layout_.clientHeight;
    if (!spec_.controls[i].visible) return;
    for (std::size_t j = 0; j < layout_.controls.size(); ++j) {
      const Rect& o = layout_.controls[j];
      if (j == i || !spec_.controls[j].visible) continue;
      const bool besideX = o.left < Right(r) && r.left < Right(o);
      const bool besideY = o.top < Bottom(r) && r.top < Bottom(o);
      if (besideX && o.top > r.top + r.height / 2) bottom = std::min(bottom, o.top);
      if (besideY && o.left > r.left + r.width / 2) right = std::min(right, o.left);
    }
  }

  // Where the text of box r ends on the right, for a text this wide.
  static int TextRight(const Rect& r, int textWidth, TextAlign align) {
    return align == TextAlign::Centre ? r.left + (r.width + textWidth + 1) / 2 : r.left + textWidth;
  }

  void Fit(std::size_t i) {
    const ControlSpec& control = spec_.controls[i];
    const int dpi = layout_.dpi;
    int roomRight = 0, roomBottom = 0;
    RoomOf(i, roomRight, roomBottom);
    Rect& r = layout_.controls[i];
    const TextExtent line = measurer_.Measure(control, dpi, 0);
    const bool wrapped = control.kind == ControlKind::Label && r.height >= 2 * line.lineHeight;
    TextExtent text = wrapped ? measurer_.Measure(control, dpi, r.width) : line;

    // A box that reaches past the window's edge loses what is past it when
    // its text would be cut there.
    if (Right(r) > roomRight && roomRight - r.left > 0 && TextRight(r, text.width, control.align) > roomRight) {
      r.width = roomRight - r.left;
      if (wrapped) text = measurer_.Measure(control, dpi, r.width);
    }
    if (!wrapped && text.width > r.width) {
      if (r.left + text.width > roomRight) MoveRight(roomRight, r.left + text.width - roomRight);
      r.width = text.width;
    }
    if (r.top + text.height > roomBottom) MoveDown(roomBottom, r.top + text.height - roomBottom);
    r.height = std::max(r.height, text.height);
  }

  // Everything from y down moves by d, and the window grows by as much.
  void MoveDown(int y, int d) {
    for (Rect& r : layout_.controls)
      if (r.top >= y) r.top += d;
    layout_.clientHeight += d;
  }

  void MoveRight(int x, int d) {
    for (Rect& r : layout_.controls)
      if (r.left >= x) r.left += d;
    layout_.clientWidth += d;
  }

  const WindowSpec& spec_;
  TextMeasurer& measurer_;
  WindowLayout layout_;
};

}  // namespace

int ScaleToDpi(int pixels, int dpi) {
  const long long scaled = static_cast<long long>(pixels) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + 48) / 96 : (scaled - 48) / 96);
}

WindowLayout LayOut(const WindowSpec& spec, int dpi, TextMeasurer& measurer) {
  return Fitting(spec, dpi, measurer).Run();
}

DpiChange ChangeDpi(const WindowSpec& spec, int currentDpi, int newDpi, const Rect& suggested,
                    TextMeasurer& measurer) {
  DpiChange change;
  if (spec.frame == Frame::Hidden || newDpi == currentDpi || newDpi <= 0) return change;
  change.layOutAgain = true;
  change.layout = LayOut(spec, newDpi, measurer);
  change.left = suggested.left;
  change.top = suggested.top;
  return change;
}

}  // namespace tamberlinox::platform
