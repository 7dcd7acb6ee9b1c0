// Where a window's controls go on a screen of a given DPI, when their texts
// may need more room than their boxes give (a wider font than the one they
// were drawn for, a larger text size). Both implementations of the window
// toolkit lay their windows out with it, so the unit tests see the arithmetic
// the program uses.
//
// A WindowSpec gives sizes and positions in pixels at 96 dpi; at another DPI
// each is scaled first. Then each control's text is measured in its font at
// that DPI, top to bottom (labels, check boxes and buttons: the texts the
// program writes, not those a user types or chooses), and where it does not
// fit, its box grows just enough:
// - A label whose box holds two lines of its font or more is a wrapped label:
//   it grows down (and to the right only for a word wider than the box). A
//   box that reaches past the window's edge is first cut back to the edge,
//   when the text would otherwise be cut there.
// - Check boxes, buttons and the other labels hold one line: they grow to the
//   right, and down when their line is taller than the box.
// A box may grow into the free room below it (up to the next control under
// it) and beside it (up to the next control to its right) without moving
// anything. Beyond that, everything from that edge on moves down (or right)
// by what is missing, and the window grows by as much. A control that starts
// above the middle of another lies over it and limits nothing, and one that
// is hidden when the window opens is shown in place of others: its room goes
// up to the window's edges. Where every text fits, nothing moves.
#pragma once

#include "platform/Platform.h"

namespace tamberlinox::platform {

// The room a text takes, in pixels.
struct TextExtent {
  int width = 0;       // of its widest line
  int height = 0;      // of all its lines
  int lineHeight = 0;  // of one line of its font
};

class TextMeasurer {
 public:
  // The room the control's text takes in the control's font at this DPI,
  // with the parts of the control around the text (a check box's square, a
  // button's edges): broken into lines at blanks to fit wrapWidth, or on one
  // line when wrapWidth is 0.
  virtual TextExtent Measure(const ControlSpec& control, int dpi, int wrapWidth) = 0;

 protected:
  ~TextMeasurer() = default;
};

// A window laid out at a DPI: its client area and its controls' boxes, in pixels.
struct WindowLayout {
  int dpi = 96;
  int clientWidth = 0, clientHeight = 0;
  std::vector<Rect> controls;  // in the order of the WindowSpec's controls
};

// Pixels at 96 dpi to pixels at dpi, rounded to the nearest (as MulDiv does).
int ScaleToDpi(int pixels, int dpi);

WindowLayout LayOut(const WindowSpec& spec, int dpi, TextMeasurer& measurer);

// The system moves a window to a monitor of another DPI (WM_DPICHANGED) and
// suggests its new outer rectangle there. The hidden main window and a change
// to the DPI the window has already change nothing in it; any other window is
// laid out again at the new DPI, and its outer frame goes to the suggested
// rectangle's top-left corner.
bool LaysOutAgain(const WindowSpec& spec, int currentDpi, int newDpi);

}  // namespace tamberlinox::platform
