// A double-click on an empty spot of the desktop toggles the icons as the hot
// key does: clicks paired by the system's time and rectangle (the tick count
// may wrap), drags and rubber bands no clicks, the icon list hit-tested only
// while it is shown, and every other window left alone.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "desktop/DesktopClicks.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

using platform::ClickLimits;
using platform::Point;

// The pairing alone, with the system's default limits (500 ms, 4 x 4 pixels).
TEST(DoubleClicksTest, PairsClicksByTimeAndRectangle) {
  const ClickLimits limits;
  struct Case {
    const char* what;
    std::uint32_t firstTime, secondTime;
    Point secondAt, secondRelease;
    bool paired;
  } cases[] = {
      {"quick, same spot", 1000, 1300, {100, 100}, {100, 100}, true},
      {"at the time limit", 1000, 1500, {102, 98}, {102, 98}, true},
      {"too slow", 1000, 1501, {100, 100}, {100, 100}, false},
      {"too far", 1000, 1100, {103, 100}, {103, 100}, false},
      {"the tick count wraps between", 0xFFFFFF80u, 0x100u, {100, 100}, {100, 100}, true},
      {"the second click drags", 1000, 1100, {100, 100}, {103, 100}, false},
  };
  for (const Case& c : cases) {
    desktop::DoubleClicks pairs;
    pairs.Press(limits, c.firstTime, {100, 100});
    EXPECT_FALSE(pairs.Release(limits, {101, 101})) << c.what;
    pairs.Press(limits, c.secondTime, c.secondAt);
    EXPECT_EQ(pairs.Release(limits, c.secondRelease).has_value(), c.paired) << c.what;
  }
  // A drag breaks a pair; a third click starts a new one.
  desktop::DoubleClicks pairs;
  pairs.Press(limits, 10, {5, 5});
  pairs.Release(limits, {40, 40});
  pairs.Press(limits, 20, {5, 5});
  EXPECT_FALSE(pairs.Release(limits, {5, 5}));
  pairs.Press(limits, 30, {5, 5});
  EXPECT_EQ(pairs.Release(limits, {5, 5}), (Point{5, 5}));
  pairs.Press(limits, 40, {5, 5});
  EXPECT_FALSE(pairs.Release(limits, {5, 5}));
  EXPECT_FALSE(pairs.Release(limits, {5, 5}));  // a release with no press
}

// The program with the classic desktop over two monitors (the second one left
// of the first) and one icon on it.
class DesktopClicksTest : public RunningProgram {
 protected:
  void SetUp() override {
    view = os.AddOtherWindow("SHELLDLL_DefView", "", true, desktop);
    list = os.AddOtherWindow("SysListView32", "FolderView", true, view);
    os.listItems[list] = {kIcon};
    Start();
  }
  // What Windows finds under the pointer: the list while it is shown, its view while it is hidden.
  void Cover(platform::WindowHandle window) { os.screenAreas.insert(os.screenAreas.begin(), {kTaskbar, window}); }
  bool IconsShown() { return os.IsWindowVisible(list); }
  void DoubleClick(Point at) {
    os.screenAreas.push_back({os.screen, IconsShown() ? list : view});
    os.DoubleClickAt(at);
    os.screenAreas.pop_back();
  }

  static constexpr platform::Rect kIcon{100, 100, 64, 64};
  static constexpr platform::Rect kTaskbar{0, 984, 1280, 40};
  platform::WindowHandle view = 0, list = 0;
};

TEST_F(DesktopClicksTest, AnEmptySpotTogglesTheIconsAndAnIconDoesNot) {
  ASSERT_FALSE(IconsShown());
  EXPECT_TRUE(os.inputWatch.leftButton);  // on by default
  DoubleClick({120, 120});  // where the icon would be: hidden, all of it is background
  EXPECT_TRUE(IconsShown());
  EXPECT_EQ(os.listHitTests, 0);
  DoubleClick({130, 140});  // on the icon
  EXPECT_TRUE(IconsShown());
  DoubleClick({-700, 500});  // an empty spot of the second monitor
  EXPECT_FALSE(IconsShown());
  EXPECT_EQ(os.listHitTests, 2);
  EXPECT_EQ(os.hiddenListHitTests, 0);
  EXPECT_EQ(MenuOf(kRightClick)[6], "Show Desktop");  // the menu follows, as after F10
}

TEST_F(DesktopClicksTest, OtherWindowsAndSilentListsChangeNothing) {
  Cover(taskbar);
  DoubleClick({600, 1000});
  os.screenAreas.clear();
  Cover(os.AddOtherWindow("WorkerW", ""));  // another program's
  os.otherWindows.back().process = 0x900;
  DoubleClick({600, 1000});
  EXPECT_FALSE(IconsShown());
  os.screenAreas.clear();
  DoubleClick({600, 1000});
  ASSERT_TRUE(IconsShown());
  os.unansweringLists = {list};  // a shell that does not answer: the icon may be there
  DoubleClick({600, 500});
  EXPECT_TRUE(IconsShown());
  DoubleClick({50, 5000});  // off every screen
  EXPECT_TRUE(IconsShown());
}

TEST_F(DesktopClicksTest, OffByTheOptionNothingIsWatched) {
  program.ApplyOptions(options::Options{false, 0, false});
  EXPECT_EQ(os.inputWatchWindow, 0u);
  DoubleClick({600, 500});
  EXPECT_FALSE(IconsShown());
  program.ApplyOptions(options::Options{});
  EXPECT_EQ(os.inputWatchWindow, main->handle);
  program.CloseProgram();  // no double-click hides the icons once they are back for good
  EXPECT_EQ(os.inputWatchWindow, 0u);
}

}  // namespace
}  // namespace tamberlinox::test
