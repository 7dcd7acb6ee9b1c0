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

TEST_F(DesktopIconsTest, VisibilityCountsTheParentsAndShowingShowsAHiddenDesktopWindow) {
  for (const auto& [layout, visible] : {std::pair{&Classic, false}, {&InAWorkerOfTheShell, true}}) {
    Make(layout);
    os.ShowWindow(progman, false);  // as an earlier version of the program left it
    EXPECT_EQ(desktop::IconsVisible(os), visible);
    desktop::ShowIcons(os, true);
    EXPECT_TRUE(Visible(progman));
    EXPECT_TRUE(desktop::IconsVisible(os));
  }
}

}  // namespace
}  // namespace tamberlinox::test
