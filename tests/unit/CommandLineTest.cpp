// The command line: /show, /hide, /toggle and /exit go to the running copy
// (the fixture's program) or, with none running, to the desktop itself, and
// say whether the desktop ended as asked; anything else shows the usage.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "app/CommandLine.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

class CommandLineTest : public RunningProgram {
 protected:
  std::optional<int> Run(const Texts& arguments) { return RunCommandLine(os, arguments); }
};

// An argument, and the desktop before and after it.
class IconCommandTest : public CommandLineTest,
                        public ::testing::WithParamInterface<std::tuple<const char*, bool, bool>> {};

TEST_P(IconCommandTest, ActsThroughTheRunningCopyOrElseOnTheDesktop) {
  const auto& [argument, before, after] = GetParam();
  os.ShowWindow(desktop, before);
  EXPECT_EQ(Run({argument}), 0);
  EXPECT_EQ(DesktopVisible(), after);
  Start();
  os.ShowWindow(desktop, before);
  EXPECT_EQ(Run({argument}), 0);
  EXPECT_EQ(DesktopVisible(), after);
  EXPECT_TRUE(main->tray.added);  // the copy runs on
  EXPECT_TRUE(os.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Forms, IconCommandTest,
                         ::testing::Values(std::tuple("/show", false, true), std::tuple("-SHOW", false, true),
                                           std::tuple("/Show", true, true), std::tuple("/hide", true, false),
                                           std::tuple("-Hide", true, false), std::tuple("/HIDE", false, false),
                                           std::tuple("/toggle", false, true), std::tuple("-TOGGLE", true, false)));

TEST_F(CommandLineTest, ExitEndsTheRunningCopyWithoutAQuestion) {
  EXPECT_EQ(Run({"/exit"}), 1);
  Start();
  os.copyLingers = true;  // still there after the wait: not done
  EXPECT_EQ(Run({"/exit"}), 1);
  os.copyLingers = false;
  EXPECT_EQ(Run({"-Exit"}), 0);
  ExpectLeftKeepingSettings();
}

// 1 whenever the desktop did not end as asked, with a running copy or without:
// a hide refused because Progman draws the wallpaper and there is no icon
// list yet, a shell that does not carry it out within the wait, no desktop.
TEST_F(CommandLineTest, ExitsOneWhenTheDesktopDidNotEndAsAsked) {
  const platform::WindowHandle wallpaper = os.AddOtherWindow("WorkerW", "", true, desktop);
  for (const bool running : {false, true}) {
    if (running) Start();
    EXPECT_EQ(Run({"/hide"}), 1);
    EXPECT_EQ(Run({"/toggle"}), 1);
    EXPECT_EQ(Run({"/show"}), 0);
    EXPECT_TRUE(DesktopVisible());
  }
  os.RemoveOtherWindow(wallpaper);
  os.OtherWindowAt(desktop)->hung = true;
  const std::uint64_t before = os.clockMs;
  EXPECT_EQ(Run({"/hide"}), 1);
  EXPECT_LE(os.clockMs - before, 2000u) << "the wait is not short";
  os.RemoveOtherWindow(desktop);
  EXPECT_EQ(Run({"/show"}), 1);
  EXPECT_TRUE(main->tray.added);
}

// The running copy cannot be reached (it runs elevated, and the system's
// message filter drops the command): the command says so with its exit code.
TEST_F(CommandLineTest, ARunningCopyThatCannotBeReachedGivesThree) {
  Start();
  os.failPosts = true;
  for (const char* argument : {"/show", "/hide", "/toggle", "/exit"}) EXPECT_EQ(Run({argument}), 3) << argument;
  EXPECT_FALSE(DesktopVisible());
  EXPECT_TRUE(main->tray.added);
}

TEST_F(CommandLineTest, AnythingButOneKnownArgumentShowsTheUsage) {
  EXPECT_EQ(Run({}), std::nullopt);  // no arguments: the program starts
  Start();
  const struct {
    Texts arguments;
    int code;
    std::uint32_t flags;
  } cases[] = {{{"/?"}, 0, 64},         {{"-?"}, 0, 64},     {{"show"}, 2, 48},
               {{"/"}, 2, 48},          {{""}, 2, 48},       {{"/shows"}, 2, 48},
               {{"--show"}, 2, 48},     {{"/show "}, 2, 48}, {{"/show", "/hide"}, 2, 48},
               {{"/?", "/show"}, 2, 48}};
  for (const auto& c : cases) {
    os.boxes.clear();
    EXPECT_EQ(Run(c.arguments), c.code) << c.arguments[0];
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].title, "Tamberlinox");
    EXPECT_EQ(os.boxes[0].flags, c.flags);
    EXPECT_TRUE(os.boxes[0].text.starts_with("Tamberlinox.exe [/show | /hide | /toggle | /exit | /options]\r\n"));
  }
  EXPECT_FALSE(DesktopVisible());
  EXPECT_TRUE(main->tray.added);
}

}  // namespace
}  // namespace tamberlinox::test
