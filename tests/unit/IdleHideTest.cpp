// Hide when idle: shown icons hide after the minutes without input and the
// next input shows them; icons the user hid stay hidden; the hot key acts on
// what the user sees; the tick count may wrap; nothing runs while it is off.
#include <gtest/gtest.h>

#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

constexpr std::uint32_t kMinute = 60000;
constexpr int kF10 = 121;

class IdleHideTest : public RunningProgram {
 protected:
  void StartWithMinutes(std::uint32_t minutes) {
    os.registry.SetBytes(Hive::CurrentUser, kSettingsKey, "IdleMinutes", 4, {std::uint8_t(minutes), 0, 0, 0});
    Start();
  }
  bool IconsShown() { return DesktopVisible(); }
  bool TimerOn() { return main->TimerRunning(MainWindow::kIdleTimer); }
  std::uint32_t TimerMs() { return main->timers[MainWindow::kIdleTimer].intervalMs; }
  // Time passes without input, and the timer ticks whenever it is due.
  void Wait(std::uint32_t ms) {
    while (TimerOn()) {
      const platform::FakeTimer& timer = main->timers[MainWindow::kIdleTimer];
      const std::uint32_t due = timer.startedAt + timer.intervalMs - os.tickCount;
      if (due > ms) break;
      os.tickCount += due;
      ms -= due;
      main->FireTimer(MainWindow::kIdleTimer);
    }
    os.tickCount += ms;
  }
  // F10 pressed: input the watch does not report (only the release is), then the hot key.
  void PressF10() {
    os.lastInputTick = os.tickCount;
    os.PressHotKey(0, kF10);
  }
};

TEST_F(IdleHideTest, ShownIconsHideAfterTheMinutesAndComeBackWithInput) {
  os.tickCount = os.lastInputTick = 0xFFFFFFFFu - 6 * kMinute;  // the tick count wraps before they hide
  StartWithMinutes(5);
  PressF10();
  ASSERT_TRUE(IconsShown());
  EXPECT_EQ(TimerMs(), 5 * kMinute);  // one check, when the limit could first be reached
  Wait(2 * kMinute);
  os.UserInput();
  Wait(3 * kMinute);  // the check finds 3 minutes of idleness: the next one is 2 minutes away
  EXPECT_TRUE(IconsShown());
  EXPECT_EQ(TimerMs(), 2 * kMinute);
  Wait(2 * kMinute);
  EXPECT_FALSE(IconsShown());
  EXPECT_EQ(TimerMs(), 3000u);  // the watch waits for input; the timer only looks at the last input time
  EXPECT_TRUE(os.inputWatch.anyInput);
  EXPECT_TRUE(program.icons().Chosen());
  EXPECT_EQ(MenuOf(kRightClick)[6], "Show Desktop");  // what the user sees
  os.UserInput();
  EXPECT_TRUE(IconsShown());
  EXPECT_FALSE(os.inputWatch.anyInput);
  EXPECT_EQ(TimerMs(), 5 * kMinute);
}

TEST_F(IdleHideTest, IconsTheUserHidStayHidden) {
  StartWithMinutes(1);
  for (int i = 0; i < 3; ++i) {
    Wait(kMinute);
    os.UserInput();
    EXPECT_FALSE(IconsShown());
  }
  EXPECT_TRUE(TimerOn());
  PressF10();
  Wait(kMinute);
  ASSERT_FALSE(IconsShown());  // hidden for idleness
  PressF10();                  // shows what the user does not see
  os.UserInput();              // and its release changes nothing more
  EXPECT_TRUE(IconsShown());
  PressF10();
  Wait(kMinute);
  os.UserInput();
  EXPECT_FALSE(IconsShown());
}

// The icons are hidden only while the watch that brings them back is in
// place; should it go unheard, a look at the last input time every few
// seconds brings them back (the first look only notes it: Wine counts the
// icons' going from under the pointer as input).
TEST_F(IdleHideTest, HiddenOnlyWithTheWatchAndBackByTheLookWithout) {
  os.failInputWatch = true;
  StartWithMinutes(1);
  PressF10();
  Wait(kMinute);
  EXPECT_TRUE(IconsShown());
  os.failInputWatch = false;
  Wait(kMinute);
  ASSERT_FALSE(IconsShown());
  os.lastInputTick = os.tickCount + 100;  // the window system's own move as they went
  os.inputWatch = {};                     // the watch gone unheard
  Wait(6000);
  EXPECT_FALSE(IconsShown());
  os.lastInputTick = os.tickCount;
  Wait(3000);
  EXPECT_TRUE(IconsShown());
}

TEST_F(IdleHideTest, OffMeansNoTimerAndIconsBack) {
  StartWithMinutes(0);
  EXPECT_FALSE(main->timers.count(MainWindow::kIdleTimer));
  program.ApplyOptions({true, 2, false});
  PressF10();
  Wait(2 * kMinute);
  ASSERT_FALSE(IconsShown());
  program.ApplyOptions({true, 0, false});
  EXPECT_TRUE(IconsShown());
  EXPECT_FALSE(TimerOn());
  EXPECT_FALSE(os.inputWatch.anyInput);
}

}  // namespace
}  // namespace tamberlinox::test
