#include "platform/Layout.h"

#include <algorithm>

namespace tamberlinox::platform {

namespace {

int Right(const Rect& r) { return r.left + r.width; }
int Bottom(const Rect& r) { return r.top + r.height; }

// Everything from y down moves by d, and the window grows by as much.
void MoveDown(WindowLayout& layout, int y, int d) {
  for (Rect& r : layout.controls)
    if (r.top >= y) r.top += d;
  layout.clientHeight += d;
}

void MoveRight(WindowLayout& layout, int x, int d) {
  for (Rect& r : layout.controls)
    if (r.left >= x) r.left += d;
  layout.clientWidth += d;
}

// Fits the text of control i into its box, growing it, and the window, as little as it can.
void Fit(const WindowSpec& spec, WindowLayout& layout, std::size_t i, TextMeasurer& measurer) {
  const ControlSpec& control = spec.controls[i];
  Rect& r = layout.controls[i];
  // The free room of the box: down to the nearest control under it, and
  // across to the nearest control to its right, or to the window's edges. A
  // control that starts above the middle of the box lies over it and limits
  // nothing; nor does a control hidden when the window opens, which is shown
  // in place of others and has the room up to the window's edges.
  int roomRight = layout.clientWidth, roomBottom = layout.clientHeight;
  for (std::size_t j = 0; control.visible && j < layout.controls.size(); ++j) {
    const Rect& o = layout.controls[j];
    if (j == i || !spec.controls[j].visible) continue;
    if (o.left < Right(r) && r.left < Right(o) && o.top > r.top + r.height / 2) roomBottom = std::min(roomBottom, o.top);
    if (o.top < Bottom(r) && r.top < Bottom(o) && o.left > r.left + r.width / 2) roomRight = std::min(roomRight, o.left);
  }

  const TextExtent line = measurer.Measure(control, layout.dpi, 0);
  const bool wrapped = control.kind == ControlKind::Label && r.height >= 2 * line.lineHeight;
  TextExtent text = wrapped ? measurer.Measure(control, layout.dpi, r.width) : line;
  // A box that reaches past the window's edge loses what is past it when its
  // text would be cut there.
  const int textRight =
      control.align == TextAlign::Centre ? r.left + (r.width + text.width + 1) / 2 : r.left + text.width;
  if (Right(r) > roomRight && roomRight > r.left && textRight > roomRight) {
    r.width = roomRight - r.left;
    if (wrapped) text = measurer.Measure(control, layout.dpi, r.width);
  }
  if (text.width > r.width) {  // one line, or a word longer than a wrapped label is wide
    if (r.left + text.width > roomRight) MoveRight(layout, roomRight, r.left + text.width - roomRight);
    r.width = text.width;
  }
  if (r.top + text.height > roomBottom) MoveDown(layout, roomBottom, r.top + text.height - roomBottom);
  r.height = std::max(r.height, text.height);
}

}  // namespace

int ScaleToDpi(int pixels, int dpi) { return (pixels * dpi + (pixels < 0 ? -48 : 48)) / 96; }

WindowLayout LayOut(const WindowSpec& spec, int dpi, TextMeasurer& measurer) {
  const std::size_t count = spec.controls.size();
  WindowLayout layout;
  layout.dpi = dpi;
  layout.clientWidth = ScaleToDpi(spec.clientWidth, dpi);
  layout.clientHeight = ScaleToDpi(spec.clientHeight, dpi);
  layout.controls = std::vector<Rect>(count);
  for (std::size_t i = 0; i < count; ++i) {
    const Rect& b = spec.controls[i].bounds;
    layout.controls[i] = {ScaleToDpi(b.left, dpi), ScaleToDpi(b.top, dpi), ScaleToDpi(b.width, dpi),
                          ScaleToDpi(b.height, dpi)};
  }
  // Top to bottom (and in the WindowSpec's order on one line): a box that grows
  // moves only what comes after it, so the order holds.
  const auto before = [&](std::size_t a, std::size_t b) {
    return layout.controls[a].top < layout.controls[b].top || (layout.controls[a].top == layout.controls[b].top && a < b);
  };
  for (std::size_t n = 0, last = 0; n < count; ++n) {
    std::size_t i = count;
    for (std::size_t j = 0; j < count; ++j)
      if ((n == 0 || before(last, j)) && (i == count || before(j, i))) i = j;
    last = i;
    const ControlSpec& control = spec.controls[i];
    // Only texts the program wrote: not what the user types or chooses.
    const bool captioned = control.kind == ControlKind::Label || control.kind == ControlKind::CheckBox ||
                           control.kind == ControlKind::Button;
    if (captioned && !control.text.empty()) Fit(spec, layout, i, measurer);
  }
  return layout;
}

bool LaysOutAgain(const WindowSpec& spec, int currentDpi, int newDpi) {
  return spec.frame != Frame::Hidden && newDpi != currentDpi && newDpi > 0;
}

}  // namespace tamberlinox::platform
