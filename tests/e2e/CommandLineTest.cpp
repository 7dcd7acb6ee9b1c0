// Tamberlinox.exe's command line, as a script or a shortcut uses it:
// "/show", "/hide", "/toggle" and "/exit" (also with "-", in any case) are
// handed to the running copy; with no copy running, the desktop is shown or
// hidden directly. "/exit" returns at once, the other three once the desktop
// is as they asked (0) or when it has not become so within a short wait (1).
// Anything else shows how to use the program. Each command is started by the
// harness with CreateProcessW, and its exit code is what a script would see.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "Fixtures.h"

namespace e2e {
namespace {

constexpr char kUsageTitle[] = "Tamberlinox";
// The message box's icon control: Wine gives it the id 1088, Windows 20.
constexpr int kWineIconId = 1088;
constexpr int kWindowsIconId = 20;

using Values = std::map<std::string, std::optional<std::string>>;

class CommandLine : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(GetPaths().setupError.empty()) << GetPaths().setupError;
  }

  // Starts the installed program without arguments and waits until start-up
  // is done: the tray icon in, the desktop hidden, F10 registered.
  Running& StartProgram() { return StartUntilReady(GetPaths().installed); }
  // Starts the installed program with these arguments.
  Running& StartCommand(const std::string& arguments) { return Launch(GetPaths().installed, arguments, false); }
  // Runs the command and gives its exit code once it has ended by itself;
  // -1 when it still runs after the timeout.
  int Run(const std::string& arguments, Millis timeout = 5000ms) {
    Running& command = StartCommand(arguments);
    if (!command.process.WaitForExit(timeout)) {
      ADD_FAILURE() << "\"" << arguments << "\" still runs after " << timeout.count() << " ms";
      return -1;
    }
    return int(command.process.ExitCode());
  }
  // Every value of the program's settings and its autostart entry.
  static Values Stored() {
    Values values;
    for (const std::string& name : RegValueNames(HKEY_CURRENT_USER, kSettingsKey)) {
      values[name] = ReadRegString(HKEY_CURRENT_USER, kSettingsKey, name);
    }
    values["autostart (machine)"] = ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    values["autostart (user)"] = ReadRegString(HKEY_CURRENT_USER, kRunKey, kRunValue);
    return values;
  }
  // Nothing was started: no icon asked for, nothing stored, F10 free.
  void ExpectNothingStarted() {
    EXPECT_TRUE(shell_->TrayRequests().empty()) << "the taskbar was asked for an icon";
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kSettingsKey)) << "settings were written";
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue)) << "an autostart entry was written";
    EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, kRunKey, kRunValue)) << "an autostart entry was written";
    EXPECT_FALSE(HotKeyTaken(kNone, VK_F10));
  }
};

// ------------------------------------------------------ with a running copy

// Each command returns 0, and the running copy carries it out.
TEST_F(CommandLine, ShowHideAndToggleActThroughTheRunningCopy) {
  Running& p = StartProgram();
  ASSERT_EQ(Run("/show"), 0);
  EXPECT_TRUE(WaitUntil([&] { return shell_->DesktopVisible(); })) << "/show left the desktop hidden";
  ASSERT_EQ(Run("-HIDE"), 0);
  EXPECT_TRUE(WaitUntil([&] { return !shell_->DesktopVisible(); })) << "-HIDE left the desktop shown";
  ASSERT_EQ(Run("/Toggle"), 0);
  EXPECT_TRUE(WaitUntil([&] { return shell_->DesktopVisible(); })) << "/Toggle left the desktop hidden";
  ASSERT_EQ(Run("/toggle"), 0);
  EXPECT_TRUE(WaitUntil([&] { return !shell_->DesktopVisible(); })) << "/toggle left the desktop shown";
  EXPECT_EQ(shell_->DesktopChanges(), 5);  // start-up's hide and the four commands
  // The commands started no program of their own: the one icon is the running copy's.
  EXPECT_EQ(shell_->IconCount(), 1);
  EXPECT_EQ(RequestsFrom(p.main).size(), shell_->TrayRequests().size());
  EXPECT_TRUE(p.process.Running());
  EXPECT_TRUE(HotKeyTaken(kNone, VK_F10));
}

class CommandLineExit : public CommandLine, public ::testing::WithParamInterface<const char*> {};

// "/exit" ends the running copy as "Close Program" answered Yes would, without
// asking: the desktop comes back, the tray icon goes, F10 is free, the
// settings and the autostart entry stay, and the process ends by itself.
TEST_P(CommandLineExit, EndsTheRunningCopyWithoutAQuestion) {
  Running& p = StartProgram();
  const Values before = Stored();
  ASSERT_EQ(before.count("Key"), 1u) << "start-up stored no settings";
  ASSERT_EQ(Run(GetParam()), 0);
  bool asked = false;
  const bool ended = WaitUntil([&] {
    for (HWND w : p.process.FindWindowsByClass("#32770")) asked = asked || IsWindowVisible(w);
    return !p.process.Running();
  });
  EXPECT_FALSE(asked) << "a message box was shown";
  ASSERT_TRUE(ended) << "the running copy did not end";
  EXPECT_TRUE(shell_->DesktopVisible());
  EXPECT_FALSE(shell_->HasIcon(p.main, kTrayId));
  ASSERT_FALSE(RequestsFrom(p.main).empty());
  EXPECT_EQ(RequestsFrom(p.main).back().message, DWORD(NIM_DELETE));
  EXPECT_FALSE(HotKeyTaken(kNone, VK_F10));
  EXPECT_EQ(Stored(), before);
}

INSTANTIATE_TEST_SUITE_P(Command, CommandLineExit, ::testing::Values("/exit", "-EXIT"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param[0] == '/' ? "Slash" : "DashUpperCase");
                         });

// ----------------------------------------------------------- no running copy

// The command acts on the desktop itself, and starts nothing.
// The command asks the shell's thread and ends once the window's style has
// changed; the stand-in's own record of it follows a moment later.
TEST_F(CommandLine, WithoutARunningCopyShowAndHideActOnTheDesktop) {
  const auto desktopBecomes = [&](bool visible) {
    return WaitUntil([&] { return shell_->DesktopVisible() == visible; }, 1000ms);
  };
  ASSERT_EQ(Run("/hide"), 0);
  EXPECT_TRUE(desktopBecomes(false));
  ASSERT_EQ(Run("/show"), 0);
  EXPECT_TRUE(desktopBecomes(true));
  ASSERT_EQ(Run("/toggle"), 0);
  EXPECT_TRUE(desktopBecomes(false));
  EXPECT_EQ(shell_->DesktopChanges(), 3);
  ExpectNothingStarted();
}

TEST_F(CommandLine, ExitWithoutARunningCopyExitsOneAndStartsNothing) {
  EXPECT_EQ(Run("/exit"), 1);
  EXPECT_EQ(shell_->DesktopChanges(), 0);
  EXPECT_TRUE(shell_->DesktopVisible());
  ExpectNothingStarted();
}

// Without a desktop window at all there is nothing to show: 1. (Wine has no
// "Progman" of its own; the test takes the stand-in away.)
TEST_F(CommandLine, ShowWithoutADesktopWindowExitsOne) {
  shell_.reset();
  ASSERT_EQ(FindWindowW(L"Progman", nullptr), nullptr) << "a desktop window other than the stand-in is there";
  EXPECT_EQ(Run("/show"), 1);
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kSettingsKey)) << "settings were written";
  EXPECT_FALSE(HotKeyTaken(kNone, VK_F10));
}

// Windows 11 24H2 before the shell has made its icon list (at logon, or while
// it restarts): Progman draws the wallpaper, and hiding it would leave the
// screen black. A hide is refused and says so with 1, with or without a
// running copy; the copy keeps the choice and hides the list when it comes.
TEST_F(CommandLine, AHideRefusedForTheWallpaperExitsOne) {
  shell_->SetLayout(DesktopLayout::kProgmanWithWallpaper);
  shell_->RemoveIconView();
  EXPECT_EQ(Run("/toggle"), 1);
  Running& p = Launch(GetPaths().installed);
  ASSERT_NE(WaitForMainWindow(p), nullptr);
  ASSERT_TRUE(WaitForIcon(p.main));
  EXPECT_EQ(Run("-Hide"), 1);
  EXPECT_EQ(shell_->AllChanges(), 0) << "a window of the desktop was shown or hidden";
  shell_->RecreateIconView();
  EXPECT_TRUE(WaitForIcons(false, 1000ms)) << "the list was not hidden within a second of its coming";
  EXPECT_EQ(Run("/show"), 0);
  EXPECT_TRUE(WaitForIcons(true, 1000ms));  // the stand-in hears of it a moment after the style changed
}

// ----------------------------------------------------------------- usage

struct UsageCase {
  const char* name;
  const char* arguments;
  int exitCode;
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.arguments; }

class CommandLineUsage : public CommandLine, public ::testing::WithParamInterface<UsageCase> {};

// A message box titled "Tamberlinox" tells how to use the program; the
// command waits for it to be answered, then exits with its code. Nothing is
// shown or hidden and nothing starts. Which icon the box shows (a warning for
// a mistake, information for "/?") is not checked: measured under Wine, the
// icon that STM_GETICON hands out is the program's own handle, which neither
// equals the harness's LoadIcon of the same icon nor can be read from here
// (GetIconInfo fails with 1402).
TEST_P(CommandLineUsage, ShowsTheUsageAndExitsWhenAnswered) {
  Running& command = StartCommand(GetParam().arguments);
  const auto box = WaitForMessageBox(command.process, kUsageTitle);
  ASSERT_TRUE(box) << "no message box \"" << kUsageTitle << "\" appeared";
  for (const char* word : {"/show", "/hide", "/toggle", "/exit"}) {
    EXPECT_NE(box->text.find(word), std::string::npos) << "the usage does not name " << word << ": " << box->text;
  }
  EXPECT_NE(GetDlgItem(box->window, IDOK), nullptr) << "no OK button";
  EXPECT_EQ(GetDlgItem(box->window, IDCANCEL), nullptr) << "a Cancel button as well";
  HWND icon = GetDlgItem(box->window, kWineIconId);
  if (icon == nullptr) icon = GetDlgItem(box->window, kWindowsIconId);
  EXPECT_TRUE(icon != nullptr && IsWindowVisible(icon)) << "the usage has no icon";
  EXPECT_TRUE(command.process.Running()) << "the command did not wait for the answer";
  AnswerMessageBox(box->window, IDOK);
  ASSERT_TRUE(command.process.WaitForExit(5000ms)) << "the command did not end when answered";
  EXPECT_EQ(int(command.process.ExitCode()), GetParam().exitCode);
  EXPECT_EQ(shell_->DesktopChanges(), 0);
  ExpectNothingStarted();
}

INSTANTIATE_TEST_SUITE_P(Command, CommandLineUsage,
                         ::testing::Values(UsageCase{"UnknownArgument", "/bogus", 2},
                                           UsageCase{"TwoArguments", "/show /hide", 2},
                                           UsageCase{"QuestionMark", "/?", 0}),
                         [](const ::testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
