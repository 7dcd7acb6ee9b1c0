// The window toolkit's layout arithmetic: boxes scaled to the DPI, and boxes
// that grow just enough for their texts, moving what comes after them. Then
// the program's two windows on the in-memory system, at several DPIs and with
// a wider font.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/Layout.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::platform {

inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
inline void PrintTo(const Rect& r, std::ostream* out) {
  *out << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

}  // namespace tamberlinox::platform

namespace tamberlinox::test {
namespace {

using namespace platform;

// A font of fixed pitch: every character 6 pixels wide and every line 10
// pixels high at 96 dpi, in proportion at other DPIs; lines break at single
// blanks. A check box adds 20 pixels for its square.
struct GridMeasurer final : TextMeasurer {
  TextExtent Measure(const ControlSpec& control, int dpi, int wrapWidth) override {
    ++calls;
    const int letter = ScaleToDpi(6, dpi);
    TextExtent extent{0, 0, ScaleToDpi(10, dpi)};
    int lines = 1, line = 0;
    std::string::size_type start = 0;
    while (start <= control.text.size()) {
      std::string::size_type end = control.text.find(' ', start);
      if (end == std::string::npos) end = control.text.size();
      const int word = static_cast<int>(end - start) * letter;
      if (wrapWidth > 0 && line > 0 && line + letter + word > wrapWidth) {
        ++lines;
        line = word;
      } else {
        line += (line > 0 ? letter : 0) + word;
      }
      extent.width = std::max(extent.width, line);
      start = end + 1;
    }
    extent.height = lines * extent.lineHeight;
    if (control.kind == ControlKind::CheckBox) extent.width += ScaleToDpi(20, dpi);
    return extent;
  }
  int calls = 0;
};

ControlSpec Control(ControlKind kind, std::string text, Rect bounds, TextAlign align = TextAlign::Left) {
  ControlSpec control;
  control.kind = kind;
  control.text = std::move(text);
  control.bounds = bounds;
  control.align = align;
  return control;
}

// A window of two columns: a wrapped label over a check box on the left, a
// wrapped label over a combo box on the right, a button across the bottom.
WindowSpec TwoColumns(const std::string& leftLabel, const std::string& checkBox = "Shift") {
  WindowSpec spec;
  spec.clientWidth = 200;
  spec.clientHeight = 120;
  spec.controls = {
      Control(ControlKind::Label, leftLabel, {10, 10, 80, 30}),
      Control(ControlKind::Label, "Pick a key", {110, 10, 80, 30}, TextAlign::Centre),
      Control(ControlKind::CheckBox, checkBox, {10, 45, 80, 20}),
      Control(ControlKind::ComboBox, "", {110, 45, 80, 20}),
      Control(ControlKind::Button, "OK", {60, 80, 80, 30}),
  };
  return spec;
}

std::vector<Rect> Scaled(const WindowSpec& spec, int dpi) {
  std::vector<Rect> boxes;
  for (const ControlSpec& c : spec.controls) {
    boxes.push_back({ScaleToDpi(c.bounds.left, dpi), ScaleToDpi(c.bounds.top, dpi), ScaleToDpi(c.bounds.width, dpi),
                     ScaleToDpi(c.bounds.height, dpi)});
  }
  return boxes;
}

// Where every text fits, the window and its boxes are the WindowSpec's, scaled.
TEST(Layout, TextsThatFitMoveNothingAtAnyDpi) {
  GridMeasurer measurer;
  const WindowSpec spec = TwoColumns("Modifiers");
  for (int dpi : {96, 120, 144, 192}) {
    const WindowLayout layout = LayOut(spec, dpi, measurer);
    EXPECT_EQ(layout.dpi, dpi);
    EXPECT_EQ(layout.clientWidth, ScaleToDpi(200, dpi)) << dpi;
    EXPECT_EQ(layout.clientHeight, ScaleToDpi(120, dpi)) << dpi;
    EXPECT_EQ(layout.controls, Scaled(spec, dpi)) << dpi;
  }
}

// "Choose one or more modifiers" wraps into three lines of 10 pixels in its
// 80-pixel box, 30 high: it fits. Four lines (40) do not fit the box, nor the
// free room down to the check box (35): everything from the check box's row
// down moves 5 pixels, and the window grows by 5.
TEST(Layout, AWrappedLabelGrowsDownIntoFreeRoomThenMovesWhatIsBelow) {
  GridMeasurer measurer;
  const WindowLayout three = LayOut(TwoColumns("Choose one or more modifiers"), 96, measurer);
  EXPECT_EQ(three.controls[0], (Rect{10, 10, 80, 30}));
  EXPECT_EQ(three.clientHeight, 120);

  const WindowLayout four = LayOut(TwoColumns("Choose one or more of the modifier keys below"), 96, measurer);
  EXPECT_EQ(four.controls[0], (Rect{10, 10, 80, 40}));
  EXPECT_EQ(four.controls[1], (Rect{110, 10, 80, 30})) << "the label beside it stays";
  EXPECT_EQ(four.controls[2], (Rect{10, 50, 80, 20}));
  EXPECT_EQ(four.controls[3], (Rect{110, 50, 80, 20})) << "its row moves with it";
  EXPECT_EQ(four.controls[4], (Rect{60, 85, 80, 30}));
  EXPECT_EQ(four.clientHeight, 125);
  EXPECT_EQ(four.clientWidth, 200);
}

// A one-line control grows to the right: into the free room before the next
// control beside it without moving anything, beyond it by moving that
// control and widening the window.
TEST(Layout, AOneLineControlGrowsSideways) {
  GridMeasurer measurer;
  // "Shift Button": 12 letters and the square, 92 pixels in an 80-pixel box; the combo box starts at 110.
  WindowLayout layout = LayOut(TwoColumns("Modifiers", "Shift Button"), 96, measurer);
  EXPECT_EQ(layout.controls[2], (Rect{10, 45, 92, 20}));
  EXPECT_EQ(layout.controls[3], (Rect{110, 45, 80, 20}));
  EXPECT_EQ(layout.clientWidth, 200);

  // "Shift Button Held": 17 letters and the square, 122 pixels: 22 past the combo box's left edge.
  layout = LayOut(TwoColumns("Modifiers", "Shift Button Held"), 96, measurer);
  EXPECT_EQ(layout.controls[2], (Rect{10, 45, 122, 20}));
  EXPECT_EQ(layout.controls[3], (Rect{132, 45, 80, 20}));
  EXPECT_EQ(layout.controls[1], (Rect{132, 10, 80, 30})) << "the column moves as a whole";
  EXPECT_EQ(layout.controls[4], (Rect{60, 80, 80, 30})) << "the button starts left of the edge: it stays";
  EXPECT_EQ(layout.clientWidth, 222);
  EXPECT_EQ(layout.clientHeight, 120);
}

// A centred label whose box reaches 10 pixels past the window's edge: a text
// that stays inside the window keeps the box; one that would be cut at the
// edge is wrapped inside the window instead, and grows down if it must.
TEST(Layout, ABoxPastTheWindowsEdgeIsCutBackWhenItsTextWouldBeCut) {
  GridMeasurer measurer;
  WindowSpec spec;
  spec.clientWidth = 100;
  spec.clientHeight = 60;
  spec.controls = {Control(ControlKind::Label, "Pick a key", {20, 0, 90, 20}, TextAlign::Centre)};
  // 60 pixels, centred in 90: it ends at 20 + 75 = 95.
  WindowLayout layout = LayOut(spec, 96, measurer);
  EXPECT_EQ(layout.controls[0], (Rect{20, 0, 90, 20}));

  spec.controls[0].text = "Selected keys";  // 78 pixels: it would end at 104
  layout = LayOut(spec, 96, measurer);
  EXPECT_EQ(layout.controls[0], (Rect{20, 0, 80, 20}));
  spec.controls[0].text = "Selected keys and more keys again";  // three lines in 80 pixels
  layout = LayOut(spec, 96, measurer);
  EXPECT_EQ(layout.controls[0], (Rect{20, 0, 80, 30}));
  EXPECT_EQ(layout.clientWidth, 100);
  EXPECT_EQ(layout.clientHeight, 60) << "the room below it was free";
}

// A label that starts above the middle of another lies over it (shown in its
// place): it limits nothing, and nothing moves for it.
TEST(Layout, ALabelLyingOverAnotherLimitsNothing) {
  GridMeasurer measurer;
  WindowSpec spec;
  spec.clientWidth = 100;
  spec.clientHeight = 100;
  spec.controls = {
      Control(ControlKind::Label, "one two three four five six seven", {0, 0, 100, 40}),
      Control(ControlKind::Label, "Wait", {0, 10, 100, 20}, TextAlign::Centre),
      Control(ControlKind::Button, "Close", {20, 60, 60, 30}),
  };
  const WindowLayout layout = LayOut(spec, 96, measurer);
  EXPECT_EQ(layout.controls[0], (Rect{0, 0, 100, 40}));  // three lines: fits
  EXPECT_EQ(layout.controls[1], (Rect{0, 10, 100, 20}));
  EXPECT_EQ(layout.controls[2], (Rect{20, 60, 60, 30}));
}

// A label hidden when the window opens is shown in place of others: its text
// may take the room down to the window's edge, over the button below it, and
// the window grows only for what goes past that edge.
TEST(Layout, AHiddenLabelHasTheRoomUpToTheWindowsEdges) {
  GridMeasurer measurer;
  WindowSpec spec;
  spec.clientWidth = 100;
  spec.clientHeight = 60;
  spec.controls = {
      Control(ControlKind::Label, "fourteen-chars fourteen-chars fourteen-chars fourteen-chars", {0, 0, 100, 20}),
      Control(ControlKind::Button, "Close", {20, 30, 60, 20}),
  };
  spec.controls[0].visible = false;
  WindowLayout layout = LayOut(spec, 96, measurer);  // a word a line: 40 pixels, reaching over the button
  EXPECT_EQ(layout.controls[0], (Rect{0, 0, 100, 40}));
  EXPECT_EQ(layout.controls[1], (Rect{20, 30, 60, 20}));
  EXPECT_EQ(layout.clientHeight, 60);
  spec.controls[0].text += " " + spec.controls[0].text;  // eight lines
  layout = LayOut(spec, 96, measurer);
  EXPECT_EQ(layout.controls[0].height, 80);
  EXPECT_EQ(layout.controls[1], (Rect{20, 30, 60, 20}));
  EXPECT_EQ(layout.clientHeight, 80);
}

// The About window on the in-memory system, in a font a third wider than the
// fake's: the text needs more lines, its box reaches down to them, the link
// and the button move down by what was missing, and the window grows by as
// much, at every DPI.
class ProgramWindowsLayout : public RunningProgram, public ::testing::WithParamInterface<int> {
 protected:
  FakeWindow* OpenAbout() {
    Start();
    Command("About----Version 5.1");
    return AboutWindow();
  }
  static Rect Box(const FakeWindow& window, int id) {
    for (std::size_t i = 0; i < window.spec.controls.size(); ++i)
      if (window.spec.controls[i].id == id) return window.layout.controls[i];
    return {};
  }
};

TEST_P(ProgramWindowsLayout, TheAboutTextReadsToItsEndInAWiderFont) {
  const int dpi = GetParam();
  os.dpi = dpi;
  os.text.charWidth *= 4.0 / 3;
  FakeWindow* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  const Rect text = Box(*about, about::AboutWindow::kTextLabel);
  const int needed = os.text.Measure(about->spec.controls[0], dpi, text.width).height;
  ASSERT_GT(text.top + needed, ScaleToDpi(160, dpi)) << "the text should not fit above the link";
  EXPECT_EQ(text.height, needed);
  const int grown = text.top + needed - ScaleToDpi(160, dpi);
  EXPECT_EQ(Box(*about, about::AboutWindow::kHomePageLink).top, ScaleToDpi(160, dpi) + grown);
  EXPECT_EQ(Box(*about, about::AboutWindow::kCloseButton).top, ScaleToDpi(192, dpi) + grown);
  EXPECT_EQ(Box(*about, about::AboutWindow::kConnectingLabel).top, ScaleToDpi(16, dpi)) << "it lies over the text";
  EXPECT_EQ(about->layout.clientHeight, ScaleToDpi(233, dpi) + grown);
  EXPECT_EQ(about->layout.clientWidth, ScaleToDpi(333, dpi));
}

INSTANTIATE_TEST_SUITE_P(Dpi, ProgramWindowsLayout, ::testing::Values(96, 120, 144, 192));

// WM_DPICHANGED cannot be produced under Wine (it has one DPI for the whole
// session), so what a window does with it is proved here, on the decision
// the Win32 side takes from the shared layout code.
TEST_F(RunningProgram, ADpiChangeLaysAWindowOutAgainAtTheSuggestedCorner) {
  Start();
  Command("Select Hot Key");
  FakeWindow* window = HotKeyWindow();
  ASSERT_NE(window, nullptr);
  const WindowLayout before = window->layout;

  window->ChangeDpi(96, {500, 400, 316, 205});  // the DPI it has: nothing to do
  EXPECT_EQ(window->layout.controls, before.controls);
  EXPECT_EQ(window->frameLeft, 0);

  window->ChangeDpi(144, {1500, 300, 474, 307});
  EXPECT_EQ(window->layout.dpi, 144);
  EXPECT_EQ(window->layout.controls, Scaled(window->spec, 144));
  EXPECT_EQ(window->layout.clientWidth, 450);
  EXPECT_EQ(window->layout.clientHeight, 249);
  EXPECT_EQ(window->frameLeft, 1500);
  EXPECT_EQ(window->frameTop, 300);

  window->ChangeDpi(96, {100, 50, 316, 205});  // and back
  EXPECT_EQ(window->layout.controls, before.controls);
  EXPECT_EQ(window->frameLeft, 100);

  // The hidden main window has no layout to change, and is never moved.
  main->ChangeDpi(192, {0, -400, 2, 2});
  EXPECT_EQ(main->layout.dpi, 96);
  EXPECT_EQ(main->frameTop, 0);
}

}  // namespace
}  // namespace tamberlinox::test
