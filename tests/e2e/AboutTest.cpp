// The About window as a user meets it: opened from the tray ("About----Version
// 5.1"), its caption and controls, the link's hover text under the real mouse
// pointer, and the ways to close it. The web requests it carries are in
// WebRequestTest.cpp.
//
// The pointer is moved with real input (SendInput, absolute coordinates), not
// with WM_MOUSEMOVE posted to a chosen child: what is under test is which
// control the window system finds under the pointer. The link and the text are
// static controls that report the mouse (SS_NOTIFY); a static that does not
// lets the mouse through to the window behind it, so a posted message would
// prove a hover that no user could ever produce.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramWindows.h"

namespace e2e {
namespace {

constexpr char kLinkText[] = "GoTo My Home Page";
constexpr char kLinkHoverText[] = "Click Here Now !!!";
constexpr char kConnectingText[] = "  Connecting   Please Wait";

std::string Explanation() {
  return "I hope you find this program useful and enjoy using it. I wrote it so that I would not have to look at "
         "all the ugly icons scattered all over the desktop, but still wanted to have access to the shortcuts. :-)" +
         std::string(157, ' ') +
         "If you like the program and would like to make a contribution to help defray the cost of developing, "
         "maintaining and posting the program, click on the  option located at the top of the program options "
         "list.";
}

class About : public TrayProgramTest {
 protected:
  void SetUp() override {
    TrayProgramTest::SetUp();
    // Nowhere near the window that is about to open in the middle of the screen.
    MoveMouseTo(Outside());
  }
  HWND OpenAbout(Running& r) { return OpenForm(r, "About", kAboutCaption); }
  // A point of the screen that no window of the test covers.
  static POINT Outside() {
    const RECT screen = ScreenRect();
    return POINT{screen.right - 20, screen.bottom - 20};
  }
  // A point of the window's own background: below the link, left of the button.
  static POINT Background(HWND about) { return ClientPoint(about, TwipsToPixelsX(300), TwipsToPixelsY(3100)); }
  // Moves the pointer there and waits until the link reads this text.
  static bool PointAndRead(POINT at, HWND about, const std::string& text) {
    return MoveMouseUntil(at, [&] { return ControlText(about, kAboutLink) == text; });
  }
};

// -------------------------------------------------------------- the window

TEST_F(About, OpensFromTheTrayWithItsCaptionAndControls) {
  Running& r = StartProgram();
  std::vector<MenuEntry> entries;
  ASSERT_TRUE(ChooseCommand(r, "About", &entries));
  const auto captions = Captions(entries);
  EXPECT_NE(std::find(captions.begin(), captions.end(), "About----Version 5.1"), captions.end())
      << "the command menu has no entry \"About----Version 5.1\"";
  HWND about = WaitForForm(r.process, kAboutCaption);
  ASSERT_NE(about, nullptr) << "the About window did not appear";
  EXPECT_EQ(ClassName(about), kFormClass);
  EXPECT_EQ(WindowText(about), kAboutCaption);
  RECT frame{};
  GetWindowRect(about, &frame);
  EXPECT_FALSE(RectOffScreen(frame, ScreenRect()));

  EXPECT_EQ(ControlText(about, kAboutText), Explanation());
  EXPECT_TRUE(ControlShown(about, kAboutText));
  EXPECT_EQ(ControlText(about, kAboutLink), kLinkText);
  EXPECT_TRUE(ControlShown(about, kAboutLink));
  EXPECT_EQ(ControlText(about, kAboutConnecting), kConnectingText);
  EXPECT_FALSE(ControlShown(about, kAboutConnecting)) << "the connecting label is shown";
  EXPECT_EQ(ControlText(about, kAboutClose), "Close Form");
  EXPECT_TRUE(ControlShown(about, kAboutClose));
  EXPECT_EQ(ClassName(GetDlgItem(about, kAboutClose)), "Button");
}

// 4995 x 3495 twips, and taller by what the explanatory text needs in a font
// wider than the one the window was drawn for (Wine's): LooksTest.cpp.
TEST_F(About, ClientAreaIs4995By3495TwipsAtTheScreensDpi) {
  Running& r = StartProgram();
  HWND about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  const SIZE size = ClientSize(about);
  EXPECT_EQ(size.cx, TwipsToPixelsX(4995));
  EXPECT_GE(size.cy, TwipsToPixelsY(3495));
}

// ------------------------------------------------------------ hover texts

TEST_F(About, PointerOverTheLinkShowsClickHereNow) {
  Running& r = StartProgram();
  HWND about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  ASSERT_EQ(ControlText(about, kAboutLink), kLinkText);
  EXPECT_TRUE(PointAndRead(CentreOf(about, kAboutLink), about, kLinkHoverText)) << "the link reads \"" << ControlText(about, kAboutLink) << "\"";
}

enum class Under { Background, Text };

void PrintTo(Under where, std::ostream* os) { *os << (where == Under::Background ? "Background" : "Text"); }

class PointerLeavesTheLink : public About, public ::testing::WithParamInterface<Under> {};

// From the link onto the window's background or onto the explanatory text: the
// link reads "GoTo My Home Page" again. Then back onto the link and off again,
// since every move rewrites it.
TEST_P(PointerLeavesTheLink, OntoTheWindowRestoresItsText) {
  Running& r = StartProgram();
  HWND about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  const POINT away = GetParam() == Under::Background ? Background(about) : CentreOf(about, kAboutText);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(PointAndRead(CentreOf(about, kAboutLink), about, kLinkHoverText)) << "round " << round;
    EXPECT_TRUE(PointAndRead(away, about, kLinkText)) << "round " << round << ": the link reads \""
                                             << ControlText(about, kAboutLink) << "\"";
  }
}

INSTANTIATE_TEST_SUITE_P(About, PointerLeavesTheLink, ::testing::Values(Under::Background, Under::Text),
                         [](const ::testing::TestParamInfo<Under>& info) {
                           std::ostringstream name;
                           PrintTo(info.param, &name);
                           return name.str();
                         });

// --------------------------------------------------------------- closing

enum class Close { CloseFormButton, CloseBox, Escape };

void PrintTo(Close way, std::ostream* os) {
  *os << (way == Close::CloseFormButton ? "CloseFormButton" : way == Close::CloseBox ? "CloseBox" : "Escape");
}

class ClosingTheAboutWindow : public About, public ::testing::WithParamInterface<Close> {};

// The window goes, the program stays: its tray icon is there and F10 works.
TEST_P(ClosingTheAboutWindow, DestroysItAndTheProgramRuns) {
  Running& r = StartProgram();
  HWND about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  switch (GetParam()) {
    case Close::CloseFormButton:
      ClickMouseAt(CentreOf(about, kAboutClose));
      break;
    case Close::CloseBox:
      PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case Close::Escape:
      ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == about; }))
          << "the About window is not in the foreground; Esc would go elsewhere";
      PressKey(kNone, VK_ESCAPE);
      break;
  }
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "the About window is still there";
  EXPECT_TRUE(r.process.Running());
  EXPECT_TRUE(shell_->HasIcon(r.main, kTrayId));
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true)) << "F10 no longer works";
}

INSTANTIATE_TEST_SUITE_P(About, ClosingTheAboutWindow,
                         ::testing::Values(Close::CloseFormButton, Close::CloseBox, Close::Escape),
                         [](const ::testing::TestParamInfo<Close>& info) {
                           std::ostringstream name;
                           PrintTo(info.param, &name);
                           return name.str();
                         });

// Every opening starts from the design state, whatever the last one left.
TEST_F(About, ReopenedWindowStartsFromItsDesignState) {
  Running& r = StartProgram();
  HWND about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  ASSERT_TRUE(PointAndRead(CentreOf(about, kAboutLink), about, kLinkHoverText));
  PostClick(about, kAboutClose);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
  MoveMouseTo(Outside());

  about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(ControlText(about, kAboutLink), kLinkText);
  EXPECT_TRUE(ControlShown(about, kAboutLink));
  EXPECT_TRUE(ControlShown(about, kAboutText));
  EXPECT_FALSE(ControlShown(about, kAboutConnecting));
  EXPECT_TRUE(ControlShown(about, kAboutClose));
}

}  // namespace
}  // namespace e2e
