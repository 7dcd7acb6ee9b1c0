// The command line: /show, /hide, /toggle and /exit go to the running copy
// (the fixture's program) or, with none running, to the desktop itself, and
// the exit code says whether the desktop ended as asked; anything else shows
// the usage.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
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
  EXPECT_EQ(Run({"-Exit"}), 0);
  ExpectLeftKeepingSettings();
}

// The shell's windows around the fixture's desktop window.
enum class Shell {
  ProgmanAlone,          // no icon list: Progman is shown and hidden
  ListBesideWallpaper,   // Progman > the list, and the wallpaper's WorkerW
  WallpaperWithoutList,  // the same before the shell has made its list: never hidden
  HungList,              // the list's thread does not answer: nothing changes
  None,                  // no desktop window at all
};

struct ExitCase {
  const char* name;
  Shell shell;
  bool running;  // through a running copy
  const char* argument;
  bool shownBefore;
  int code;
  bool shownAfter;
};

void PrintTo(const ExitCase& c, std::ostream* out) { *out << c.name; }

class ExitCodeTest : public CommandLineTest, public ::testing::WithParamInterface<ExitCase> {
 protected:
  // Gives the window whose visibility is the icons'.
  platform::WindowHandle Build(Shell shell) {
    if (shell == Shell::None) {
      os.RemoveOtherWindow(desktop);
      return 0;
    }
    if (shell == Shell::ListBesideWallpaper || shell == Shell::WallpaperWithoutList)
      os.AddOtherWindow("WorkerW", "", true, desktop);
    if (shell == Shell::ProgmanAlone || shell == Shell::WallpaperWithoutList) return desktop;
    const platform::WindowHandle view = os.AddOtherWindow("SHELLDLL_DefView", "", true, desktop);
    return os.AddOtherWindow("SysListView32", "FolderView", true, view);
  }
};

// 0 only when the desktop ended as asked; 1 when it did not within the wait.
TEST_P(ExitCodeTest, SaysWhetherTheDesktopEndedAsAsked) {
  const ExitCase& c = GetParam();
  const platform::WindowHandle icons = Build(c.shell);
  if (c.running) Start();
  if (icons != 0) os.ShowWindow(icons, c.shownBefore);
  if (c.shell == Shell::HungList) os.OtherWindowAt(icons)->hung = true;
  EXPECT_EQ(Run({c.argument}), c.code);
  if (icons != 0) {
    EXPECT_EQ(os.IsWindowVisible(icons), c.shownAfter);
  }
  EXPECT_LE(os.clockMs, 2000u) << "the wait is not short";
  EXPECT_TRUE(os.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Shells, ExitCodeTest,
    ::testing::Values(ExitCase{"ProgmanHidden", Shell::ProgmanAlone, false, "/hide", true, 0, false},
                      ExitCase{"ProgmanToggledByTheCopy", Shell::ProgmanAlone, true, "/toggle", false, 0, true},
                      ExitCase{"ListShown", Shell::ListBesideWallpaper, false, "/show", false, 0, true},
                      ExitCase{"ListHiddenByTheCopy", Shell::ListBesideWallpaper, true, "/hide", true, 0, false},
                      ExitCase{"WallpaperNeverHidden", Shell::WallpaperWithoutList, false, "/hide", true, 1, true},
                      ExitCase{"WallpaperNeverToggled", Shell::WallpaperWithoutList, false, "/toggle", true, 1, true},
                      ExitCase{"WallpaperNeverHiddenByTheCopy", Shell::WallpaperWithoutList, true, "/hide", true, 1,
                               true},
                      ExitCase{"WallpaperShownByTheCopy", Shell::WallpaperWithoutList, true, "/show", true, 0, true},
                      ExitCase{"HungShell", Shell::HungList, false, "/hide", true, 1, true},
                      ExitCase{"HungShellAskedByTheCopy", Shell::HungList, true, "/hide", true, 1, true},
                      ExitCase{"NoDesktop", Shell::None, false, "/show", true, 1, true},
                      ExitCase{"NoDesktopForTheCopy", Shell::None, true, "/toggle", true, 1, true}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

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
