// The desktop icons wherever the shell keeps them: only the icon list is shown
// and hidden (the desktop window where there is no list), and the shell's
// other windows, the wallpaper's among them, never change.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "desktop/DesktopIcons.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox::test {
namespace {

using platform::FakePlatform;
using platform::WindowHandle;

// Builds the shell's windows around its desktop window; gives the window that
// shows or hides the icons.
using Layout = WindowHandle (*)(FakePlatform& os, WindowHandle progman);

WindowHandle IconList(FakePlatform& os, WindowHandle parent) {
  const WindowHandle view = os.AddOtherWindow("SHELLDLL_DefView", "", true, parent);
  return os.AddOtherWindow("SysListView32", "FolderView", true, view);
}
WindowHandle Classic(FakePlatform& os, WindowHandle progman) { return IconList(os, progman); }
WindowHandle InAWorkerOfTheShell(FakePlatform& os, WindowHandle) {
  const WindowHandle list = IconList(os, os.AddOtherWindow("WorkerW", ""));
  os.AddOtherWindow("WorkerW", "");  // the wallpaper's, above it
  return list;
}
WindowHandle BesideTheWallpaper(FakePlatform& os, WindowHandle progman) {
  os.AddOtherWindow("WorkerW", "", true, progman);
  return IconList(os, progman);
}
WindowHandle NoList(FakePlatform& os, WindowHandle progman) {
  os.AddOtherWindow("SysListView32", "FolderView");  // in no view
  return progman;
}

class DesktopIconsTest : public ::testing::Test {
 protected:
  WindowHandle Make(Layout layout) {
    os.otherWindows.clear();
    progman = os.AddOtherWindow("Progman", "Program Manager");
    return layout(os, progman);
  }
  std::map<WindowHandle, bool> Flags() const {
    std::map<WindowHandle, bool> flags;
    for (const platform::OtherWindow& window : os.otherWindows) flags[window.handle] = window.visible;
    return flags;
  }
  bool Visible(WindowHandle window) { return os.OtherWindowAt(window)->visible; }

  FakePlatform os;
  WindowHandle progman = 0;
};

class LayoutTest : public DesktopIconsTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(LayoutTest, OnlyTheIconsWindowChanges) {
  const WindowHandle icons = Make(GetParam());
  EXPECT_EQ(desktop::FindIconList(os), icons == progman ? 0 : icons);
  std::map<WindowHandle, bool> expected = Flags();
  for (const bool show : {false, false, true, true}) {
    desktop::ShowIcons(os, show);
    expected[icons] = show;
    EXPECT_EQ(Flags(), expected);
    EXPECT_EQ(desktop::IconsVisible(os), show);
  }
  desktop::ToggleIcons(os);
  EXPECT_FALSE(os.IsWindowVisible(icons));
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutTest,
                         ::testing::Values(Classic, InAWorkerOfTheShell, BesideTheWallpaper, NoList));

TEST_F(DesktopIconsTest, AWorkerOfAnotherProcessIsNotTheShells) {
  Make(NoList);
  const WindowHandle worker = os.AddOtherWindow("WorkerW", "");
  os.OtherWindowAt(worker)->process = 0x600;
  const WindowHandle foreign = IconList(os, worker);
  desktop::ShowIcons(os, false);
  EXPECT_FALSE(Visible(progman));
  EXPECT_TRUE(Visible(foreign));
}

TEST_F(DesktopIconsTest, ALayoutThatChangesWhileTheProgramRunsIsFollowed) {
  Make(Classic);
  desktop::ShowIcons(os, false);
  const WindowHandle list = Make(InAWorkerOfTheShell);  // the shell now draws the wallpaper apart
  EXPECT_TRUE(desktop::IconsVisible(os));
  desktop::ToggleIcons(os);
  EXPECT_FALSE(Visible(list));
  EXPECT_TRUE(Visible(progman));
}

TEST_F(DesktopIconsTest, VisibilityCountsTheParentsAndActingOnTheListShowsAHiddenDesktopWindow) {
  for (const auto& [layout, visible] : {std::pair{&Classic, false}, {&InAWorkerOfTheShell, true}}) {
    Make(layout);
    os.ShowWindow(progman, false);  // as an earlier version of the program left it
    EXPECT_EQ(desktop::IconsVisible(os), visible);
    desktop::ShowIcons(os, true);
    EXPECT_TRUE(Visible(progman));
    EXPECT_TRUE(desktop::IconsVisible(os));
    os.ShowWindow(progman, false);
    desktop::ShowIcons(os, false);  // a hide too: of the list alone
    EXPECT_TRUE(Visible(progman));
  }
}

// ------------------------------------------------- the icons as kept by the program

// The main window's part: ticks started and stopped, the process watched.
struct Signals : desktop::ShellSignals {
  void StartTicks(std::uint32_t) override { ticking = true; }
  void StopTicks() override { ticking = false; }
  void WatchShell(std::uint32_t process, const std::vector<std::string>&) override { watched = process; }
  bool ticking = false;
  std::uint32_t watched = 0;
};

class KeptIconsTest : public DesktopIconsTest {
 protected:
  // Ticks until the icons stop waiting for the shell; how many it took.
  int TickOut(int limit = 1000) {
    int ticks = 0;
    for (; signals.ticking && ticks < limit; ++ticks) icons.OnTick();
    return ticks;
  }
  // The shell makes a new icon view with its list, visible, where the layout keeps it.
  WindowHandle NewList(WindowHandle parent) {
    for (const platform::OtherWindow& w : std::vector(os.otherWindows))
      if (w.className == "SHELLDLL_DefView") os.RemoveOtherWindow(w.handle);
    return IconList(os, parent);
  }

  Signals signals;
  desktop::Icons icons{os, signals};
};

// A restarting shell makes a new list, visible, before or after its new
// taskbar: the user's choice is put on it at the next look, both ways, and
// the looks stop once there is nothing more to wait for.
TEST_F(KeptIconsTest, ANewListGetsTheChoiceWhicheverComesFirst) {
  for (const bool shown : {false, true}) {
    Make(Classic);
    icons.Choose(shown);
    EXPECT_EQ(signals.watched, 0x500u);
    // The taskbar first, the list some ticks later.
    NewList(progman);
    os.otherWindows.pop_back();
    os.otherWindows.pop_back();
    icons.OnShellRestarted();
    for (int i = 0; i < 8; ++i) icons.OnTick();
    const WindowHandle later = NewList(progman);
    icons.OnTick();
    EXPECT_EQ(Visible(later), shown);
    // The list first: the restart's first look finds it.
    const WindowHandle first = NewList(progman);
    icons.OnShellRestarted();
    EXPECT_EQ(Visible(first), shown);
    EXPECT_EQ(icons.Shown(), shown);
    // The shell shows its new list again a moment later: kept as chosen for a while.
    os.ShowWindow(first, true);
    icons.OnTick();
    EXPECT_EQ(Visible(first), shown);
    EXPECT_LE(TickOut(), desktop::Icons::kRestartTicks);
    EXPECT_TRUE(Visible(progman));
  }
}

// Where the system reports the shell's new windows, the new list needs no
// restart of the taskbar.
TEST_F(KeptIconsTest, ReportedWindowsBringTheChoiceToANewList) {
  Make(InAWorkerOfTheShell);
  icons.Choose(false);
  EXPECT_FALSE(signals.ticking);
  const WindowHandle worker = os.FindTopLevelWindow("WorkerW", std::nullopt);
  icons.OnShellWindowCreated(NewList(worker));
  EXPECT_FALSE(Visible(os.otherWindows.back().handle));
}

// The shell's desktop thread does not answer: the request waits in the shell,
// and the program goes by what it asked (the command menu, the next F10).
TEST_F(KeptIconsTest, AHungShellIsTakenToShowWhatWasAsked) {
  const WindowHandle list = Make(Classic);
  icons.Choose(false);
  os.OtherWindowAt(list)->hung = true;
  icons.Toggle();
  EXPECT_FALSE(Visible(list));
  EXPECT_TRUE(icons.Shown());
  icons.Toggle();
  icons.Toggle();
  EXPECT_TRUE(icons.Shown());
  os.Answer(list);
  EXPECT_TRUE(Visible(list));
  // Answering again, the list is what counts: shown by someone else, it is shown.
  icons.Choose(false);
  os.ShowWindow(list, true);
  EXPECT_TRUE(icons.Shown());
}

// Windows 11 24H2 draws the wallpaper inside Progman: with the list away for a
// moment (the shell restarts, or the program starts at logon), Progman is never
// hidden; the list gets the choice when it comes. A shell that has no list yet
// and draws no wallpaper in Progman has Progman hidden instead, shown again
// with the list, which alone is hidden: also when the hide, asked of a shell
// busy making its list, is carried out only then.
TEST_F(KeptIconsTest, ProgmanWithTheWallpaperIsNeverHidden) {
  const WindowHandle made = Make(BesideTheWallpaper);
  os.RemoveOtherWindow(os.OtherWindowAt(made)->parent);  // the view with its list, not made yet
  os.RemoveOtherWindow(made);
  icons.Choose(false);
  EXPECT_TRUE(Visible(progman));
  EXPECT_TRUE(signals.ticking);
  const WindowHandle list = IconList(os, progman);
  icons.OnTick();
  EXPECT_FALSE(Visible(list));
  os.RemoveOtherWindow(list);  // a restart of the shell
  icons.Choose(false);
  icons.Toggle();
  icons.Toggle();
  EXPECT_TRUE(Visible(progman));
  Make(NoList);
  os.OtherWindowAt(progman)->hung = true;
  desktop::Icons plain(os, signals);
  plain.Choose(false);
  EXPECT_EQ(os.OtherWindowAt(progman)->pending, std::vector{false});
  plain.OnShellWindowCreated(IconList(os, progman));
  os.Answer(progman);
  EXPECT_TRUE(Visible(progman));
  EXPECT_FALSE(Visible(os.otherWindows.back().handle));
}

// Idleness hides only icons the user chose to see, and brings back only those;
// F10 meanwhile acts on what the user sees.
TEST_F(KeptIconsTest, IdlenessNeverChangesTheChoice) {
  const WindowHandle list = Make(Classic);
  icons.Choose(false);
  icons.SetIdle(true);
  icons.SetIdle(false);
  EXPECT_FALSE(Visible(list));
  icons.Choose(true);
  icons.SetIdle(true);
  EXPECT_FALSE(Visible(list));
  EXPECT_FALSE(icons.Shown());
  EXPECT_TRUE(icons.Chosen());
  icons.SetIdle(false);
  EXPECT_TRUE(Visible(list));
  icons.SetIdle(true);
  icons.Toggle();
  EXPECT_TRUE(Visible(list));
  EXPECT_FALSE(icons.HiddenForIdleness());
}

}  // namespace
}  // namespace tamberlinox::test
