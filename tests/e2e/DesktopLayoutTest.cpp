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
#include <tuple>
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

// ------------------------------------------------------ a restarting shell

// The shell restarts: a new taskbar ("TaskbarCreated") and a new icon list,
// made visible, in either order, the list seconds after the taskbar or just
// before it. The icons stay as the user chose them, hidden or shown: the new
// list gets the choice within a second of its coming, the tray icon comes
// back, and Progman and the wallpaper are never touched.
//
// Where Wine differs from Windows: no window events of another process reach
// the program under Wine, so the program learns of the new list only from its
// looks after "TaskbarCreated"; on Windows the events tell it at once.
class RestartingShell : public DesktopLayoutTest,
                        public ::testing::WithParamInterface<std::tuple<DesktopLayout, bool>> {};

TEST_P(RestartingShell, KeepsTheUsersChoice) {
  const auto [layout, listFirst] = GetParam();
  Running& r = StartIn(layout);
  for (const bool shown : {false, true}) {
    if (shown) {
      ASSERT_TRUE(PressAndWaitForIcons(kNone, VK_F10, true));
    }
    shell_->RemoveIconView();
    shell_->RecreateTray();
    if (listFirst) shell_->RecreateIconView();
    BroadcastTaskbarCreated();
    if (!listFirst) {
      Sleep(1500);  // the shell takes its time to make the desktop
      shell_->RecreateIconView();
    }
    desk_ = shell_->Windows();
    if (shown) {
      Sleep(1500);
      EXPECT_TRUE(shell_->IconsVisible()) << "the icons chosen to be seen were hidden";
      EXPECT_EQ(shell_->Changes(desk_.list), 0);
    } else {
      EXPECT_TRUE(WaitForIcons(false, 1000ms)) << "the new list was not hidden within a second";
    }
    EXPECT_TRUE(WaitForIcon(r.main, 5000ms)) << "no icon in the new taskbar";
    for (HWND w : {desk_.desktop, desk_.wallpaper, desk_.iconWorker}) {
      if (w != nullptr) {
        EXPECT_EQ(shell_->Changes(w), 0) << ClassName(w) << " was shown or hidden";
      }
    }
  }
  ASSERT_TRUE(ChooseDesktopCommand(r, kHideDesktop));  // the menu follows the icons
  EXPECT_TRUE(WaitForIcons(false));
}

INSTANTIATE_TEST_SUITE_P(Desktop, RestartingShell,
                         ::testing::Values(std::tuple(DesktopLayout::kClassic, true),
                                           std::tuple(DesktopLayout::kWorkerW, false),
                                           std::tuple(DesktopLayout::kProgmanWithWallpaper, false),
                                           std::tuple(DesktopLayout::kProgmanWithWallpaper, true)),
                         [](const ::testing::TestParamInfo<std::tuple<DesktopLayout, bool>>& info) {
                           return std::string(LayoutName(std::get<0>(info.param))) +
                                  (std::get<1>(info.param) ? "ListFirst" : "TaskbarFirst");
                         });

// Windows 11 24H2 draws the wallpaper inside Progman. At logon the program may
// start before the shell has made its icon list: Progman is not hidden (the
// screen would go black), and the list is hidden when it comes.
TEST_F(DesktopLayoutTest, AtLogonTheWallpaperStaysUntilTheListComes) {
  shell_->SetLayout(DesktopLayout::kProgmanWithWallpaper);
  shell_->RemoveIconView();
  desk_ = shell_->Windows();
  Running& r = Launch(GetPaths().installed);
  ASSERT_NE(WaitForMainWindow(r), nullptr);
  ASSERT_TRUE(WaitForIcon(r.main));
  // The first start's hint comes once the hot key is registered: looking for
  // the key before could take it from the program.
  ASSERT_TRUE(WaitUntil([&] {
    for (const TrayRequest& request : RequestsFrom(r.main)) {
      if (request.infoTitle == "Tamberlinox is running") return true;
    }
    return false;
  })) << "start-up did not end";
  EXPECT_TRUE(HotKeyTaken(kNone, VK_F10));
  Sleep(500);
  EXPECT_EQ(shell_->AllChanges(), 0) << "a window of the desktop was shown or hidden";
  shell_->RecreateIconView();
  desk_ = shell_->Windows();
  EXPECT_TRUE(WaitForIcons(false, 1000ms)) << "the list was not hidden within a second of its coming";
  ExpectOnlyTheIconsChanged();
}

// The shell's desktop thread is busy for seconds (a stuck network drive, a
// slow shell extension). F10 and the tray menu answer at once all the same,
// the menu offers what F10 asked for, and the shell carries it out when it
// answers again.
TEST_F(DesktopLayoutTest, ABusyShellHoldsNothingUp) {
  Running& r = StartIn(DesktopLayout::kClassic);
  shell_->StallDesktop(4000ms);
  const auto start = Clock::now();
  PressKey(kNone, VK_F10);
  auto menu = Click(r, WM_RBUTTONUP);
  ASSERT_TRUE(menu) << "no command menu could be read";
  EXPECT_LT(Clock::now() - start, 1000ms) << "the menu waited for the shell";
  const auto captions = Captions(menu->entries);
  EXPECT_EQ(std::count(captions.begin(), captions.end(), kHideDesktop), 1) << "the menu does not follow F10";
  ASSERT_TRUE(CloseMenu(r, *menu));
  EXPECT_FALSE(shell_->IconsVisible()) << "the stand-in was not stalled";
  EXPECT_TRUE(WaitForIcons(true, 6000ms)) << "the shell never showed the icons";
  EXPECT_EQ(shell_->Changes(desk_.list), 2);
}

}  // namespace
}  // namespace e2e
