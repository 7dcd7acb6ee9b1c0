// Start-up: the settings it creates or leaves alone, the hot key it registers,
// the tray icon, the hidden desktop, and a shell that is not ready or restarts.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "hotkey/KeyCodes.h"
#include "options/Options.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

using platform::HotKey;

class StartupTest : public RunningProgram {
 protected:
  HotKey Registered() const { return os.hotKeys.size() == 1 ? os.hotKeys[0] : HotKey{}; }
  std::optional<std::string> UserAutostart() const {
    return os.registry.Text(Hive::CurrentUser, kRunKey, "Tamberlinox");
  }
  Texts Balloons() const {
    Texts shown;
    for (const auto& balloon : main->tray.balloons) shown.push_back(balloon.title + ": " + balloon.text);
    return shown;
  }
};

constexpr char kFirstStartHint[] =
    "Click this icon for a list of your desktop items, right-click it for the commands. To keep the icon on the "
    "taskbar, drag it there from the hidden icons (^), or turn it on in the taskbar settings.";

Texts KeyTaken(const std::string& key) {
  return {"Tamberlinox: The hot key " + key +
          " is in use by another program, so it does nothing here. Right-click this icon and choose \"Select Hot "
          "Key\" to choose another."};
}

TEST_F(StartupTest, AFirstStartCreatesTheSettingsHidesTheDesktopAndRegistersF10) {
  Start();
  EXPECT_EQ(Autostart(), "\"C:\\Program Files\\Tamberlinox\\Tamberlinox.exe\"");  // quoted: it has blanks
  EXPECT_EQ(Setting("Key"), "121");
  EXPECT_EQ(os.registry.Find(Hive::CurrentUser, kSettingsKey)->values.size(), 1u);
  EXPECT_FALSE(DesktopVisible());
  EXPECT_EQ(Registered(), (HotKey{main->handle, os.FindAtom(os.localDateTime), 0, 121}));
  EXPECT_NE(Registered().id, 0);
  EXPECT_TRUE(main->tray.added);
  EXPECT_EQ(Balloons(), Texts{std::string("Tamberlinox is running: F10 shows and hides the desktop icons. ") +
                              kFirstStartHint});
  EXPECT_EQ(main->tray.balloons[0].icon, platform::BalloonIcon::Info);
  EXPECT_EQ(main->tray.id, 125u);
  EXPECT_EQ(main->tray.callbackMessage, 1025u);
  EXPECT_EQ(main->tray.tip, "Zemrik Tamberlinox");
  EXPECT_FALSE(main->shown);
  EXPECT_LT(main->top + main->height, 0);  // above the screen
}

TEST_F(StartupTest, ALaterStartLeavesTheStoredValuesAlone) {
  os.registry.SetText(Hive::LocalMachine, kRunKey, "Tamberlinox", "E:\\Old\\Other.exe");
  Store("Key", "65");
  Start();
  EXPECT_EQ(Autostart(), "E:\\Old\\Other.exe");
  EXPECT_EQ(Setting("Key"), "65");
  EXPECT_EQ(Registered().key, 65);
  EXPECT_TRUE(main->tray.balloons.empty()) << "the first start's hint came again";
}

TEST_F(StartupTest, WhereTheMachinesEntryCannotBeWrittenTheUserGetsOne) {
  os.registry.DenyWrites(Hive::LocalMachine);
  Start();
  EXPECT_EQ(UserAutostart(), "\"C:\\Program Files\\Tamberlinox\\Tamberlinox.exe\"");
}

TEST_F(StartupTest, TheUsersEntryCountsAndIsLeftAlone) {
  os.registry.SetText(Hive::CurrentUser, kRunKey, "Tamberlinox", "E:\\Old\\Other.exe");
  Start();
  EXPECT_FALSE(Autostart());
  EXPECT_EQ(UserAutostart(), "E:\\Old\\Other.exe");
}

TEST_F(StartupTest, AProgramInADriveRootGetsNoDoubledBackslash) {
  os.programFolder = "D:\\";
  os.registry.Make(Hive::CurrentUser, kSettingsKey);  // an empty settings key gets the default key too
  Start();
  EXPECT_EQ(Autostart(), "\"D:\\Tamberlinox.exe\"");
  EXPECT_EQ(Setting("Key"), "121");
}

// A stored key that is no 16-bit whole number means F10 for this run; the store keeps it.
class StoredKeyTest : public StartupTest, public ::testing::WithParamInterface<std::tuple<const char*, int>> {};

TEST_P(StoredKeyTest, RegistersTheStoredCodeOrF10) {
  const auto& [stored, registered] = GetParam();
  Store("Key", stored);
  Start();
  EXPECT_EQ(Registered().key, registered);
  EXPECT_EQ(Setting("Key"), stored);
}

INSTANTIATE_TEST_SUITE_P(Keys, StoredKeyTest,
                         ::testing::Values(std::tuple(" 112 ", 112), std::tuple("32", 32), std::tuple("-1", 121),
                                           std::tuple("0", 121), std::tuple("255", 121), std::tuple("254", 254),
                                           std::tuple("1", 1), std::tuple("", 121), std::tuple("F10", 121),
                                           std::tuple("12.5", 121), std::tuple("32768", 121), std::tuple("1 2", 121)));

// A key stored with its terminator counted twice, or as a multi-string, reads
// as the number before the NULs, at start-up and in the hot key window.
TEST_F(StartupTest, AStoredKeyWithTrailingNulsIsItsNumber) {
  for (const auto& [stored, registered] : {std::pair{std::string("65\0", 3), 65}, {std::string("65\0\0", 4), 65},
                                          {std::string("6\0" "5", 3), 121}, {std::string("\0", 1), 121}}) {
    Store("Key", stored);
    Program program(os);
    program.Start();
    EXPECT_EQ(os.hotKeys.back().key, registered);
    program.RunCommand(menu::Command::SelectHotKey);
    EXPECT_EQ(Fake(program.hotKeyWindow().window())->Text(hotkey::HotKeyWindow::kKeyList),
              registered == 65 ? "A" : "") << stored.size();
  }
}

// Shift, Ctrl, Alt: any text but the empty one is on (nullptr: no value at all).
class StoredModifiersTest
    : public StartupTest,
      public ::testing::WithParamInterface<std::tuple<const char*, const char*, const char*, std::uint32_t>> {};

TEST_P(StoredModifiersTest, GiveTheRegistrationFlags) {
  const auto& [shift, ctrl, alt, flags] = GetParam();
  for (const auto& [name, text] : {std::pair{"Shift", shift}, {"Ctrl", ctrl}, {"Alt", alt}})
    if (text != nullptr) Store(name, text);
  Start();
  EXPECT_EQ(Registered().modifiers, flags);
}

INSTANTIATE_TEST_SUITE_P(Combinations, StoredModifiersTest,
                         ::testing::Values(std::tuple(nullptr, nullptr, nullptr, 0u), std::tuple("", "", "", 0u),
                                           std::tuple(nullptr, nullptr, "262144", 1u),
                                           std::tuple(nullptr, "131072", nullptr, 2u),
                                           std::tuple("", "131072", "262144", 3u), std::tuple("65536", "", "", 4u),
                                           std::tuple("65536", nullptr, "262144", 5u),
                                           std::tuple("65536", "131072", "", 6u), std::tuple("1", "x", " ", 7u)));

TEST_F(StartupTest, StartUpGoesOnWhereTheSystemRefuses) {
  os.registry.DenyWrites(Hive::LocalMachine);
  os.registry.DenyWrites(Hive::CurrentUser);
  os.hotKeysOfOthers.push_back({0, 1, 0, 121});
  Start();
  EXPECT_FALSE(Autostart());
  EXPECT_FALSE(os.registry.KeyExists(Hive::CurrentUser, kSettingsKey));
  EXPECT_TRUE(os.hotKeys.empty());
  EXPECT_FALSE(DesktopVisible());
  EXPECT_EQ(MenuOf(kRightClick).size(), 13u);  // the tray still works
}

TEST_F(StartupTest, AHotKeyHeldElsewhereIsToldOnceInABalloon) {
  Store("Key", "300");  // F10 for this run
  Store("Ctrl", "131072");
  Store("Alt", "262144");
  os.HoldHotKeyElsewhere(3, 121);
  Start();
  EXPECT_EQ(Balloons(), KeyTaken("Ctrl+Alt+F10"));
  main->TaskbarCreated();
  EXPECT_EQ(Balloons(), KeyTaken("Ctrl+Alt+F10"));
}

TEST_F(StartupTest, TheBalloonWaitsForALateIcon) {
  os.HoldHotKeyElsewhere(0, 121);
  os.trayAddFailures = 1;
  Start();
  EXPECT_TRUE(main->tray.balloons.empty());
  EXPECT_TRUE(main->FireTimer(MainWindow::kTrayRetryTimer));
  EXPECT_EQ(Balloons(), KeyTaken("F10"));
}

// A first start whose hot key another program holds: that balloon first; the
// hint, without the key, once the shell says the first has gone, or after 30
// seconds where it says nothing.
TEST_F(StartupTest, OnAFirstStartTheTakenKeysBalloonComesBeforeTheHint) {
  os.HoldHotKeyElsewhere(0, 121);
  Start();
  EXPECT_EQ(Balloons(), KeyTaken("F10"));
  EXPECT_EQ(main->tray.balloons[0].icon, platform::BalloonIcon::Warning);
  EXPECT_TRUE(main->TrayClick(0x0402));  // NIN_BALLOONSHOW: still up
  EXPECT_EQ(Balloons().size(), 1u);
  EXPECT_TRUE(main->TrayClick(MainWindow::kBalloonHidden + 1));  // NIN_BALLOONTIMEOUT
  ASSERT_EQ(Balloons().size(), 2u);
  EXPECT_EQ(Balloons()[1], std::string("Tamberlinox is running: ") + kFirstStartHint);
  EXPECT_FALSE(main->TimerRunning(MainWindow::kBalloonTimer)) << "nothing left to wait for";
  EXPECT_TRUE(main->TrayClick(MainWindow::kBalloonClicked));
  EXPECT_EQ(Balloons().size(), 2u);
}

TEST_F(StartupTest, ABalloonWaitsAtMostThirtySecondsForTheOneBeforeIt) {
  os.HoldHotKeyElsewhere(0, 121);
  Start();
  EXPECT_EQ(main->timers[MainWindow::kBalloonTimer].intervalMs, 30000u);
  EXPECT_TRUE(main->FireTimer(MainWindow::kBalloonTimer));
  EXPECT_EQ(Balloons().size(), 2u);
  EXPECT_FALSE(main->TimerRunning(MainWindow::kBalloonTimer));
}

TEST(DescribeTest, NamesTheCombinationAsAUserTypesIt) {
  EXPECT_EQ(hotkey::Describe(121, 0), "F10");
  EXPECT_EQ(hotkey::Describe(65, 4), "Shift+A");
  EXPECT_EQ(hotkey::Describe(90, 7), "Ctrl+Alt+Shift+Z");
  EXPECT_EQ(hotkey::Describe(32, 2), "Ctrl+key 32");  // no key of the list
}

TEST_F(StartupTest, ASecondCopyAddsItsOwnIconButTheHotKeyStaysWithTheFirst) {
  Start();
  Program second(os);
  second.Start();
  EXPECT_TRUE(Fake(second.mainWindow().window())->tray.added);
  EXPECT_EQ(os.hotKeys.size(), 1u);
  EXPECT_EQ(os.hotKeys[0].window, main->handle);
}

TEST_F(StartupTest, TheHotKeyTogglesTheDesktopAsItIsNow) {
  Start();
  EXPECT_TRUE(os.PressHotKey(0, 121));
  EXPECT_TRUE(DesktopVisible());
  main->Send(platform::kWmHotKey, 4711);  // whatever the identifier
  os.ReleaseKey(121);
  EXPECT_FALSE(DesktopVisible());
  os.RemoveOtherWindow(desktop);  // the shell makes a new, visible one
  desktop = os.AddOtherWindow("Progman", "Program Manager");
  EXPECT_TRUE(os.PressHotKey(0, 121));
  EXPECT_FALSE(DesktopVisible());
}

TEST_F(StartupTest, AShellThatIsNotReadyGetsTheIconWithinTwoMinutes) {
  os.trayAddFailures = 3;
  Start();
  EXPECT_FALSE(main->tray.added);
  EXPECT_EQ(main->timers[MainWindow::kTrayRetryTimer].intervalMs, 2000u);
  EXPECT_TRUE(os.PressHotKey(0, 121));  // the hot key works meanwhile
  EXPECT_TRUE(DesktopVisible());
  int ticks = 0;
  while (main->FireTimer(MainWindow::kTrayRetryTimer)) ++ticks;
  EXPECT_EQ(ticks, 3);
  EXPECT_TRUE(main->tray.added);
  EXPECT_EQ(MenuOf(kLeftClick).size(), 3u);
}

TEST_F(StartupTest, TheRetriesStopAfterTwoMinutesButARestartedTaskbarGetsTheIcon) {
  os.trayAddFailures = 1000;
  Start();
  int ticks = 0;
  while (main->FireTimer(MainWindow::kTrayRetryTimer)) ++ticks;
  EXPECT_EQ(ticks, 60);
  EXPECT_FALSE(main->tray.added);
  os.trayAddFailures = 0;
  main->TaskbarCreated();
  EXPECT_TRUE(main->tray.added);
  main->TaskbarCreated();  // and again after every restart
  EXPECT_TRUE(main->tray.added);
  EXPECT_EQ(main->tray.tip, "Zemrik Tamberlinox");
  os.trayAddFailures = 2;  // a new taskbar that is not ready yet: tried again as at start-up
  main->TaskbarCreated();
  EXPECT_FALSE(main->tray.added);
  ticks = 0;
  while (main->FireTimer(MainWindow::kTrayRetryTimer)) ++ticks;
  EXPECT_EQ(ticks, 2);
  EXPECT_TRUE(main->tray.added);
}

// A key held down repeats, and where the system does not leave the repeats
// out each comes as a press: only the first counts, until the input watch
// reports the key's release. The watch stays on until the release timer ticks
// after the release, so that the next press is heard in order. A release the
// watch missed, or one before it began, is found by a look at the key.
TEST_F(StartupTest, AHeldHotKeyTogglesOnce) {
  Start();
  const int before = os.OtherWindowAt(desktop)->changes;
  os.keysDown = {121};
  for (int repeat = 0; repeat < 3; ++repeat) EXPECT_TRUE(os.PressHotKey(0, 121));
  os.ReleaseKey(121);
  os.keysDown = {121};
  EXPECT_TRUE(os.PressHotKey(0, 121));  // pressed again at once: it counts
  os.keysDown.clear();                  // let go of unheard
  EXPECT_TRUE(main->FireTimer(MainWindow::kHotKeyReleaseTimer));
  EXPECT_EQ(os.inputWatch.keyReleased, 121);
  EXPECT_TRUE(main->FireTimer(MainWindow::kHotKeyReleaseTimer));
  EXPECT_EQ(os.inputWatch.keyReleased, 0);
  EXPECT_FALSE(main->TimerRunning(MainWindow::kHotKeyReleaseTimer));
  os.keysDown = {121};
  os.releasedBeforeWatch = 121;
  for (int press = 0; press < 2; ++press) EXPECT_TRUE(os.PressHotKey(0, 121));
  EXPECT_EQ(os.OtherWindowAt(desktop)->changes, before + 4);
}

// Presses that wait in the queue while the program is busy each count: two
// quick ones before the watch began, and, with the watch still on after an
// earlier release, a press, its repeats, its release and a new press.
TEST_F(StartupTest, EveryQueuedPressCountsButNotTheRepeats) {
  Start();
  const int before = os.OtherWindowAt(desktop)->changes;
  os.busy = true;
  for (int press = 0; press < 2; ++press) EXPECT_TRUE(os.PressHotKey(0, 121));
  os.WorkDone();
  os.busy = true;
  os.keysDown = {121};
  for (int repeat = 0; repeat < 3; ++repeat) EXPECT_TRUE(os.PressHotKey(0, 121));
  os.ReleaseKey(121);
  EXPECT_TRUE(os.PressHotKey(0, 121));
  os.WorkDone();
  EXPECT_EQ(os.OtherWindowAt(desktop)->changes, before + 4);
}

// A desktop menu key that another program holds is said as the hot key is.
TEST_F(StartupTest, ATakenDesktopMenuKeyIsSaid) {
  os.registry.SetBytes(Hive::CurrentUser, kSettingsKey, "MenuKey", platform::kRegDword, {120, 0, 0, 0});
  os.registry.SetBytes(Hive::CurrentUser, kSettingsKey, "MenuModifiers", platform::kRegDword, {4, 0, 0, 0});
  os.HoldHotKeyElsewhere(4, 120);
  Start();
  EXPECT_EQ(Balloons()[0], "Tamberlinox: The desktop menu key Shift+F9 is in use by another program, so it does "
                           "nothing here. Run \"Tamberlinox.exe /options\" to choose another.");
}

TEST_F(StartupTest, AProgramThatGoesGivesBackItsAtomHotKeyAndWindows) {
  {
    Program other(os);
    other.Start();
  }
  EXPECT_TRUE(os.atoms.empty());
  EXPECT_TRUE(os.hotKeys.empty());
  EXPECT_TRUE(os.Windows().empty());
}

}  // namespace
}  // namespace tamberlinox::test

// ------------------------------------------------------------ portable copy
namespace tamberlinox::test {
namespace {

constexpr char kIniFile[] = "C:\\Program Files\\Tamberlinox\\Tamberlinox.ini";

// A Tamberlinox.ini beside the program keeps every value, under the names the
// key has, and the registry is never written: no start-up entry, no key. "No"
// to "Close Program" empties the file's values and keeps the file.
TEST_F(StartupTest, APortableCopyKeepsItsSettingsInItsFileAlone) {
  os.iniFiles[kIniFile];  // the file, empty
  Program portable{os};
  portable.Start();
  main = Fake(portable.mainWindow().window());
  EXPECT_EQ(os.iniFiles[kIniFile]["Tamberlinox"]["Key"], "121");
  EXPECT_EQ(Balloons().size(), 1u) << "the first start's hint";
  EXPECT_EQ(Registered().key, 121);

  ASSERT_TRUE(options::WriteOptions(portable.settings(), options::Options{false, 7, true, 120, 4}));
  EXPECT_EQ(os.iniFiles[kIniFile]["Tamberlinox"]["IdleMinutes"], "7");
  EXPECT_EQ(options::ReadOptions(portable.settings()), (options::Options{false, 7, true, 120, 4}));
  EXPECT_EQ(portable.settings().Location(), kIniFile);

  os.AnswerBox(platform::kIdNo);
  Command("Close Program");
  EXPECT_FALSE(Autostart());
  EXPECT_FALSE(UserAutostart());
  EXPECT_FALSE(os.registry.KeyExists(Hive::CurrentUser, kSettingsKey));
  ASSERT_TRUE(os.iniFiles.contains(kIniFile));
  for (const auto& [name, text] : os.iniFiles[kIniFile]["Tamberlinox"]) EXPECT_EQ(text, "") << name;
}

// A copy on a medium it cannot write to runs with what it reads and says so once.
TEST_F(StartupTest, APortableCopyThatCannotWriteSaysSoOnceAndRuns) {
  os.iniFiles[kIniFile]["Tamberlinox"]["Key"] = "65";
  os.iniWriteFailure = platform::kErrorAccessDenied;
  Program portable{os};
  portable.Start();
  main = Fake(portable.mainWindow().window());
  EXPECT_EQ(Balloons(), Texts{std::string("Tamberlinox: Tamberlinox cannot write its settings to ") + kIniFile +
                              ". It runs with the settings it has read; changes to them last until it ends."});
  EXPECT_EQ(Registered().key, 65);
  EXPECT_FALSE(os.registry.KeyExists(Hive::CurrentUser, kSettingsKey));
}

}  // namespace
}  // namespace tamberlinox::test
