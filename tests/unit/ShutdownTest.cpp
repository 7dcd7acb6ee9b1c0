// "Close Program": the question, what each answer keeps, the desktop shown
// again for good, the tray icon gone at once and every window half a second later.
#include <gtest/gtest.h>

#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

constexpr char kPolicies[] = "Software\\Policies\\Zemrik Software\\Tamberlinox";

class ShutdownTest : public RunningProgram {
 protected:
  void SetUp() override {
    Store("Shift", "65536");
    os.registry.SetBytes(Hive::CurrentUser, kSettingsKey, "MenuKey", platform::kRegDword, {120, 0, 0, 0});
    os.registry.SetText(Hive::CurrentUser, "Software\\Zemrik Software", "Other", "x");
    for (const Hive hive : {Hive::LocalMachine, Hive::CurrentUser})
      os.registry.SetBytes(hive, kPolicies, "FolderMenus", platform::kRegDword, {0, 0, 0, 0});
    Start();
  }
  void CloseProgram(int answer) {
    os.AnswerBox(answer);
    Command("Close Program");
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].text,
              "  Do You Want To Keep The StartUp Shortcut?\r\n\r\nYou Will Also Remove Your Hot Key Settings!");
    EXPECT_EQ(os.boxes[0].title, "Zemrik Info.....");
    EXPECT_EQ(os.boxes[0].flags, 36u);
  }
};

TEST_F(ShutdownTest, YesKeepsTheStartUpEntryAndTheSettings) {
  CloseProgram(platform::kIdYes);
  EXPECT_TRUE(Autostart());
  EXPECT_EQ(Setting("Key"), "121");
  EXPECT_EQ(Setting("Shift"), "65536");
}

TEST_F(ShutdownTest, NoRemovesTheStartUpEntriesAndTheSettingsKeyButNotItsParent) {
  os.registry.SetText(Hive::CurrentUser, kRunKey, "Tamberlinox", "\"D:\\Tamberlinox.exe\"");
  CloseProgram(platform::kIdNo);
  EXPECT_FALSE(Autostart());
  EXPECT_FALSE(os.registry.ValueExists(Hive::CurrentUser, kRunKey, "Tamberlinox"));
  EXPECT_TRUE(os.registry.KeyExists(Hive::LocalMachine, kRunKey));
  EXPECT_FALSE(os.registry.KeyExists(Hive::CurrentUser, kSettingsKey));  // the menu key's values with it
  EXPECT_TRUE(os.registry.ValueExists(Hive::CurrentUser, "Software\\Zemrik Software", "Other"));
  for (const Hive hive : {Hive::LocalMachine, Hive::CurrentUser})  // an administrator's, not the program's
    EXPECT_TRUE(os.registry.ValueExists(hive, kPolicies, "FolderMenus"));
}

TEST_F(ShutdownTest, NoWhereTheUserMayNotDeleteTheEntryStillCloses) {
  os.registry.DenyWrites(Hive::LocalMachine);
  CloseProgram(platform::kIdNo);
  EXPECT_TRUE(Autostart());
  EXPECT_FALSE(os.registry.KeyExists(Hive::CurrentUser, kSettingsKey));
  EXPECT_TRUE(DesktopVisible());
  EXPECT_FALSE(main->tray.added);
}

TEST_F(ShutdownTest, TheDesktopComesBackForGoodAndTheIconGoesAtOnce) {
  CloseProgram(platform::kIdYes);
  EXPECT_TRUE(DesktopVisible());
  EXPECT_FALSE(main->TrayClick(kRightClick));
  // The hot key went before the desktop came back: a late press cannot hide it again.
  EXPECT_FALSE(os.PressHotKey(4, 121));
  EXPECT_TRUE(DesktopVisible());
  main->TaskbarCreated();  // a restarted taskbar does not bring the icon back
  EXPECT_FALSE(main->tray.added);
}

TEST_F(ShutdownTest, HalfASecondLaterEveryWindowGoes) {
  Command("Select Hot Key");
  Command("About----Version 5.1");
  CloseProgram(platform::kIdYes);
  EXPECT_EQ(os.Windows().size(), 3u);
  EXPECT_EQ(main->timers[MainWindow::kShutdownTimer].intervalMs, 500u);
  EXPECT_TRUE(main->FireTimer(MainWindow::kShutdownTimer));
  EXPECT_TRUE(os.Windows().empty());
  EXPECT_TRUE(DesktopVisible());
}

// Logoff, shutdown, or an installer's restart manager closing the program.
TEST_F(ShutdownTest, TheSessionMayEndAndTheProgramEndsWithItKeepingItsSettings) {
  EXPECT_EQ(main->Send(platform::kWmQueryEndSession), 1);
  main->Send(platform::kWmEndSession, 1);
  ExpectLeftKeepingSettings();
  EXPECT_EQ(Setting("Shift"), "65536");
}

// A polite request to end (taskkill without /f, an installer) is obeyed as
// "/exit" is: the icons come back, nothing is asked.
TEST_F(ShutdownTest, APoliteCloseEndsTheProgramKeepingItsSettings) {
  main->Close();
  ExpectLeftKeepingSettings();
}

TEST_F(ShutdownTest, ASessionEndThatWasCancelledChangesNothing) {
  main->Send(platform::kWmEndSession, 0);
  EXPECT_FALSE(DesktopVisible());
  EXPECT_TRUE(main->tray.added);
  EXPECT_FALSE(main->TimerRunning(MainWindow::kShutdownTimer));
  EXPECT_TRUE(os.PressHotKey(4, 121));  // the hot key still works
}

}  // namespace
}  // namespace tamberlinox::test
