// The desktop icons in each layout a Windows shell keeps them in (see
// DesktopLayout): start-up hides the icon list and nothing else, F10 and the
// command menu act on the list and the menu offers what the list's state calls
// for, a layout that changes while the program runs is followed, "Close
// Program" brings the icons back, and another program's windows that look like
// the shell's are left alone. Where the shell has no list (Wine's own), Progman
// itself is hidden and shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MenuBench.h"

namespace e2e {
namespace {

constexpr char kShowDesktop[] = "Show Desktop";
constexpr char kHideDesktop[] = "Hide Desktop";
constexpr char kCloseProgram[] = "Close Program";
constexpr char kQuestionTitle[] = "Zemrik Info.....";

class DesktopLayoutTest : public MenuTest {
 protected:
  // Builds the desktop in this layout, starts the program and waits until its
  // start-up is done: the tray icon in, the icons hidden, F10 registered.
  Running& StartIn(DesktopLayout layout) {
    shell_->SetLayout(layout);
    desk_ = shell_->Windows();
    EXPECT_NE(desk_.IconWindow(), nullptr);
    return StartUntilReady(GetPaths().installed, Hides::kIcons);
  }
  // Opens the command menu and chooses whichever of "Show Desktop" and "Hide
  // Desktop" it offers, after checking that it is the expected one.
  bool ChooseDesktopCommand(Running& r, const std::string& expected) {
    auto menu = Click(r, WM_RBUTTONUP);
    if (!menu) {
      ADD_FAILURE() << "no command menu could be read";
      return false;
    }
    const auto captions = Captions(menu->entries);
    const bool offersShow = std::count(captions.begin(), captions.end(), kShowDesktop) == 1;
    const bool offersHide = std::count(captions.begin(), captions.end(), kHideDesktop) == 1;
    EXPECT_NE(offersShow, offersHide) << "the menu offers both or neither";
    const std::string offered = offersShow ? kShowDesktop : kHideDesktop;
    EXPECT_EQ(offered, expected) << "with the icons " << (shell_->IconsVisible() ? "visible" : "hidden");
    return Choose(r, *menu, offered);
  }
  // No window of the desktop was shown or hidden but the icons' own, and all
  // the others are still visible.
  void ExpectOnlyTheIconsChanged() {
    EXPECT_EQ(shell_->AllChanges(), shell_->Changes(desk_.IconWindow()));
    for (HWND w : {desk_.desktop, desk_.iconWorker, desk_.wallpaper, desk_.view}) {
      if (w != nullptr && w != desk_.IconWindow()) {
        EXPECT_TRUE(shell_->Visible(w)) << ClassName(w) << " is hidden";
      }
    }
  }

  DesktopWindows desk_;
};

// ------------------------------------------------------------ each layout

class EachLayout : public DesktopLayoutTest, public ::testing::WithParamInterface<DesktopLayout> {};

TEST_P(EachLayout, StartUpHidesTheIconsAndNothingElse) {
  StartIn(GetParam());
  EXPECT_FALSE(shell_->Visible(desk_.IconWindow()));
  EXPECT_EQ(shell_->Changes(desk_.IconWindow()), 1);
  ExpectOnlyTheIconsChanged();
}

TEST_P(EachLayout, F10TogglesTheIcons) {
  StartIn(GetParam());
  EXPECT_TRUE(PressAndWaitForIcons(kNone, VK_F10, true));
  EXPECT_TRUE(PressAndWaitForIcons(kNone, VK_F10, false));
  EXPECT_EQ(shell_->Changes(desk_.IconWindow()), 3);
  ExpectOnlyTheIconsChanged();
}

// The menu is built from the icons' state at the click: after the program's
// own choices, and after the icons were shown by someone else.
TEST_P(EachLayout, CommandMenuOffersWhatTheIconsCallForAndActsOnThem) {
  Running& r = StartIn(GetParam());
  ASSERT_TRUE(ChooseDesktopCommand(r, kShowDesktop));
  EXPECT_TRUE(WaitForIcons(true)) << "\"Show Desktop\" did not show the icons";
  ASSERT_TRUE(ChooseDesktopCommand(r, kHideDesktop));
  EXPECT_TRUE(WaitForIcons(false)) << "\"Hide Desktop\" did not hide the icons";
  shell_->ShowIcons(true);
  ASSERT_TRUE(ChooseDesktopCommand(r, kHideDesktop));
  EXPECT_TRUE(WaitForIcons(false));
  EXPECT_EQ(shell_->Changes(desk_.IconWindow()), 5);
  ExpectOnlyTheIconsChanged();
}

TEST_P(EachLayout, CloseProgramShowsTheIcons) {
  Running& r = StartIn(GetParam());
  auto menu = Click(r, WM_RBUTTONUP);
  ASSERT_TRUE(menu) << "no command menu could be read";
  ASSERT_TRUE(Choose(r, *menu, kCloseProgram));
  auto box = WaitForMessageBox(r.process, kQuestionTitle);
  ASSERT_TRUE(box) << "no question whether to keep the start-up entry";
  AnswerMessageBox(box->window, IDYES);
  EXPECT_TRUE(WaitForIcons(true)) << "the icons did not come back";
  EXPECT_TRUE(r.process.WaitForExit(5000ms)) << "the program did not end";
  EXPECT_EQ(shell_->Changes(desk_.IconWindow()), 2);
  ExpectOnlyTheIconsChanged();
}

INSTANTIATE_TEST_SUITE_P(Desktop, EachLayout,
                         ::testing::Values(DesktopLayout::kNoList, DesktopLayout::kClassic, DesktopLayout::kWorkerW,
                                           DesktopLayout::kProgmanWithWallpaper),
                         [](const ::testing::TestParamInfo<DesktopLayout>& info) {
                           return std::string(LayoutName(info.param));
                         });

// ----------------------------------------------------- a changing layout

// The shell moves its view into a WorkerW of its own when it is asked (message
// 0x052C) to draw the wallpaper apart, long after the program has started: the
// next F10 acts on the icons where they are now.
TEST_F(DesktopLayoutTest, F10FollowsTheIconsIntoAWorkerW) {
  StartIn(DesktopLayout::kClassic);
  const HWND list = desk_.list;
  shell_->SetLayout(DesktopLayout::kWorkerW);
  desk_ = shell_->Windows();
  ASSERT_EQ(desk_.list, list);
  ASSERT_EQ(GetAncestor(list, GA_ROOT), desk_.iconWorker);
  ASSERT_FALSE(shell_->IconsVisible()) << "the move showed the icons";
  EXPECT_TRUE(PressAndWaitForIcons(kNone, VK_F10, true));
  EXPECT_TRUE(PressAndWaitForIcons(kNone, VK_F10, false));
  EXPECT_EQ(shell_->Changes(list), 3);
  ExpectOnlyTheIconsChanged();
}

// --------------------------------------------- another program's windows

// A WorkerW holding SHELLDLL_DefView > FolderView that belongs to another
// process than Progman's is not the shell's. Where the shell has no list the
// other program's is the only one there is, and Progman is hidden all the same;
// next to the shell's own WorkerW, the shell's list is the one acted on.
//
// Where Wine differs from Windows: which of two WorkerWs comes first (the
// order EnumWindows gives) is not under the test's control: under Wine the
// stand-in's WorkerWs, put at the bottom, were seen at the top a moment later,
// above the other program's, so the order they were made or put in does not last.
class ForeignWorker : public DesktopLayoutTest, public ::testing::WithParamInterface<DesktopLayout> {};

TEST_P(ForeignWorker, IsLeftAlone) {
  ForeignDesktopWorker foreign;
  ASSERT_TRUE(foreign.Ready()) << "the other program's desktop windows did not appear";
  StartIn(GetParam());
  EXPECT_TRUE(IsWindowVisible(foreign.List()));
  EXPECT_TRUE(PressAndWaitForIcons(kNone, VK_F10, true));
  EXPECT_TRUE(IsWindowVisible(foreign.List()));
  ExpectOnlyTheIconsChanged();
}

INSTANTIATE_TEST_SUITE_P(Desktop, ForeignWorker, ::testing::Values(DesktopLayout::kNoList, DesktopLayout::kWorkerW),
                         [](const ::testing::TestParamInfo<DesktopLayout>& info) {
                           return std::string(LayoutName(info.param));
                         });

}  // namespace
}  // namespace e2e
