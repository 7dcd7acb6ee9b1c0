// Start-up of Tamberlinox.exe as a user and the shell see it: what it writes to
// the registry, the desktop it hides, the tray icon it adds (and adds again when
// the shell comes back), the hot key it registers (and the balloon when another
// program holds it), and the main window that is never seen. Every test starts
// from an empty settings store with a fresh shell, and every test also fails if
// the main window is ever seen (see ShellTest).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Fixtures.h"

namespace e2e {
namespace {

class Startup : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(GetPaths().setupError.empty()) << GetPaths().setupError;
  }

  // Starts the installed program (or another copy of it) and waits for its main window.
  Running& StartProgram(const std::string& exe = GetPaths().installed) {
    Running& r = Launch(exe);
    EXPECT_NE(WaitForMainWindow(r), nullptr) << "no window \"" << kMainCaption << "\" appeared";
    return r;
  }
  // Hiding the desktop is the last thing start-up does that the shell can see.
  bool WaitUntilDesktopHidden() {
    return WaitUntil([&] { return !shell_->DesktopVisible(); });
  }
  std::optional<std::string> Setting(const std::string& name) {
    return ReadRegString(HKEY_CURRENT_USER, kSettingsKey, name);
  }
  std::optional<std::string> Autostart() { return ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue); }
  std::optional<std::string> UserAutostart() { return ReadRegString(HKEY_CURRENT_USER, kRunKey, kRunValue); }
  static std::string Quoted(const std::string& path) { return "\"" + path + "\""; }
  // The balloons the program asked for at its tray icon.
  std::vector<TrayRequest> Balloons(HWND main) const {
    std::vector<TrayRequest> balloons;
    for (const TrayRequest& r : RequestsFrom(main)) {
      if (r.message == NIM_MODIFY && (r.flags & NIF_INFO)) balloons.push_back(r);
    }
    return balloons;
  }
  // A copy of the program somewhere else, removed again when the test ends.
  std::string InstallCopy(const std::string& path) {
    EXPECT_TRUE(CopyFileA(GetPaths().installed.c_str(), path.c_str(), FALSE)) << "could not copy to " << path;
    copies_.push_back(path);
    return path;
  }
  void TearDown() override {
    ShellTest::TearDown();  // the programs end first
    for (const std::string& copy : copies_) DeleteFileA(copy.c_str());
  }

  std::vector<std::string> copies_;  // files the test made, removed when it ends
};

// ------------------------------------------------------------------ registry

// Wine runs programs elevated, so HKLM is writable here. The entry is the
// program's path in quotes, so that the blank in it cannot split it.
TEST_F(Startup, FirstStartWritesTheAutostartEntryAndTheDefaultKeyOnly) {
  StartProgram();
  ASSERT_TRUE(WaitUntilDesktopHidden());
  EXPECT_EQ(Autostart(), Quoted(GetPaths().installFolder + "Tamberlinox.exe"));
  EXPECT_FALSE(UserAutostart());
  EXPECT_EQ(Setting("Key"), "121");
  // "Shift", "Ctrl", "Alt" (and "F10") come only with a save in the hot key dialog.
  EXPECT_EQ(RegValueNames(HKEY_CURRENT_USER, kSettingsKey), std::vector<std::string>{"Key"});
}

// A Tamberlinox.ini beside the program keeps the settings; the registry is
// left as it was: no start-up entry, no settings key.
TEST_F(Startup, PortableCopyKeepsItsSettingsInItsFileAndLeavesTheRegistryAlone) {
  CreateDirectoryA("C:\\Portable", nullptr);
  const std::string ini = "C:\\Portable\\Tamberlinox.ini";
  const HANDLE file = CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  copies_.push_back(ini);
  StartProgram(InstallCopy("C:\\Portable\\Tamberlinox.exe"));
  ASSERT_TRUE(WaitUntilDesktopHidden());
  char key[16] = "";
  GetPrivateProfileStringA("Tamberlinox", "Key", "", key, sizeof key, ini.c_str());
  EXPECT_STREQ(key, "121");
  EXPECT_FALSE(Autostart());
  EXPECT_FALSE(UserAutostart());
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kSettingsKey));
}

TEST_F(Startup, ExistingAutostartEntryWithAnotherPathStaysUnchanged) {
  const std::string elsewhere = "D:\\Elsewhere\\Tamberlinox.exe";
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, elsewhere));
  StartProgram();
  ASSERT_TRUE(WaitUntilDesktopHidden());
  EXPECT_EQ(Autostart(), elsewhere);
  EXPECT_EQ(Setting("Key"), "121");
}

TEST_F(Startup, AutostartEntryNamesTamberlinoxExeWhateverTheFileIsCalled) {
  StartProgram(InstallCopy(GetPaths().installFolder + "Renamed Copy.exe"));
  ASSERT_TRUE(WaitUntilDesktopHidden());
  EXPECT_EQ(Autostart(), Quoted(GetPaths().installFolder + "Tamberlinox.exe"));
}

TEST_F(Startup, ProgramInADriveRootNamesTheRootWithOneBackslash) {
  StartProgram(InstallCopy("C:\\Tamberlinox.exe"));
  ASSERT_TRUE(WaitUntilDesktopHidden());
  EXPECT_EQ(Autostart(), "\"C:\\Tamberlinox.exe\"");
}

// An ordinary Windows user may not write HKLM (error 5): the entry goes under
// the same path in HKCU. Played here with an access list that denies the key's
// writing to everyone.
TEST_F(Startup, AutostartEntryGoesUnderHkcuWhenHklmCannotBeWritten) {
  RegistryWritesDenied denied(HKEY_LOCAL_MACHINE, kRunKey);
  ASSERT_TRUE(denied.Denied()) << "HKLM\\" << kRunKey << " could not be made read-only";
  StartProgram();
  ASSERT_TRUE(WaitUntilDesktopHidden());
  EXPECT_EQ(UserAutostart(), Quoted(GetPaths().installed));
  EXPECT_FALSE(Autostart());
  EXPECT_TRUE(denied.Restore()) << "HKLM\\" << kRunKey << " could not be made writable again";
}

TEST_F(Startup, AutostartEntryUnderHkcuAloneCountsAndNothingIsWrittenToHklm) {
  const std::string elsewhere = "\"D:\\Elsewhere\\Tamberlinox.exe\"";
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kRunKey, kRunValue, elsewhere));
  StartProgram();
  ASSERT_TRUE(WaitUntilDesktopHidden());
  EXPECT_FALSE(Autostart());
  EXPECT_EQ(UserAutostart(), elsewhere);
}

TEST_F(Startup, StoredKeyIsKeptAndNotWrittenAgain) {
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kSettingsKey, "Key", "122"));  // F11
  StartProgram();
  ASSERT_TRUE(WaitUntilDesktopHidden());
  EXPECT_EQ(Setting("Key"), "122");
  EXPECT_TRUE(HotKeyTaken(kNone, VK_F11));
  EXPECT_FALSE(HotKeyTaken(kNone, VK_F10));
}

// A stored key that is no key code from 1 to 254 means F10 for the run; the
// store keeps what it holds.
class OddStoredKey : public Startup, public ::testing::WithParamInterface<const char*> {};

TEST_P(OddStoredKey, MeansF10AndIsNotRewritten) {
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kSettingsKey, "Key", GetParam()));
  StartProgram();
  ASSERT_TRUE(WaitUntilDesktopHidden());
  EXPECT_TRUE(WaitUntil([] { return HotKeyTaken(kNone, VK_F10); })) << "F10 is not registered";
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true));
  EXPECT_EQ(Setting("Key"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Startup, OddStoredKey, ::testing::Values("0", "-1"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param[0] == '-' ? "MinusOne" : "Zero");
                         });

// ------------------------------------------------------------- desktop, tray

TEST_F(Startup, HidesTheDesktop) {
  StartProgram();
  ASSERT_TRUE(WaitUntilDesktopHidden());
  EXPECT_EQ(shell_->DesktopChanges(), 1);
}

TEST_F(Startup, AddsItsTrayIconWithIdCallbackAndTip) {
  Running& p = StartProgram();
  ASSERT_TRUE(WaitForIcon(p.main));
  auto requests = RequestsFrom(p.main);
  ASSERT_FALSE(requests.empty());
  const TrayRequest& add = requests.front();
  EXPECT_EQ(add.message, DWORD(NIM_ADD));
  EXPECT_EQ(add.id, kTrayId);
  EXPECT_EQ(add.callbackMessage, kTrayMessage);
  EXPECT_EQ(add.flags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(add.tip, kTrayTip);
  EXPECT_EQ(add.iconWidth, UINT(GetSystemMetrics(SM_CXSMICON))) << "the tray icon is not the taskbar's small size";
  EXPECT_EQ(add.answer, 1);
  EXPECT_EQ(shell_->IconCount(), 1);
}

// The shell is not ready when the program starts (at logon, say): the taskbar
// refuses the icon. The program tries again every 2 s, and once the icon is in
// it works as after a normal start: the hot key toggles the desktop.
TEST_F(Startup, RefusedTrayIconIsAddedOnceTheShellAccepts) {
  shell_->SetTrayAccepts(false);
  Running& p = StartProgram();
  ASSERT_TRUE(WaitUntil([&] { return !RequestsFrom(p.main).empty(); })) << "the program never asked for its icon";
  EXPECT_EQ(RequestsFrom(p.main).front().answer, 0);
  ASSERT_TRUE(WaitUntilDesktopHidden());
  shell_->SetTrayAccepts(true);
  ASSERT_TRUE(WaitForIcon(p.main, 5000ms)) << "the icon was not added within 5 s of the shell accepting it";
  auto requests = RequestsFrom(p.main);
  // The last add (the first start's hint balloon may come after it).
  const auto added = std::find_if(requests.rbegin(), requests.rend(),
                                  [](const TrayRequest& r) { return r.message == NIM_ADD; });
  ASSERT_NE(added, requests.rend());
  EXPECT_EQ(added->tip, kTrayTip);
  EXPECT_EQ(added->id, kTrayId);
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true)) << "F10 does nothing after a late tray icon";
}

// A shell that restarts has a new taskbar without the old icons and tells every
// top-level window "TaskbarCreated"; the program then adds its icon again.
TEST_F(Startup, TaskbarCreatedAddsTheIconToTheNewTaskbar) {
  Running& p = StartProgram();
  ASSERT_TRUE(WaitForIcon(p.main));
  shell_->RecreateTray();
  ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), shell_->Tray());
  ASSERT_FALSE(shell_->HasIcon(p.main, kTrayId));
  BroadcastTaskbarCreated();
  EXPECT_TRUE(WaitForIcon(p.main, 5000ms)) << "no icon in the new taskbar";
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true));
}

// The new taskbar is not ready for the icon either: it comes when the
// taskbar accepts it, as at start-up.
TEST_F(Startup, IconRefusedByTheNewTaskbarComesWhenItAccepts) {
  Running& p = StartProgram();
  ASSERT_TRUE(WaitForIcon(p.main));
  shell_->SetTrayAccepts(false);
  shell_->RecreateTray();
  const size_t before = RequestsFrom(p.main).size();
  BroadcastTaskbarCreated();
  ASSERT_TRUE(WaitUntil([&] { return RequestsFrom(p.main).size() > before; })) << "no new request for the icon";
  EXPECT_EQ(RequestsFrom(p.main).back().answer, 0);
  shell_->SetTrayAccepts(true);
  EXPECT_TRUE(WaitForIcon(p.main, 5000ms)) << "the icon was not added within 5 s of the taskbar accepting it";
}

// ------------------------------------------------------------------ hot key

// A key held down repeats after the keyboard's delay. Wine reports each repeat
// as a press of the hot key even with MOD_NOREPEAT (Windows leaves them out):
// the press and three repeats after it change the desktop once, and the next
// press counts again. (Under Wine, repeats that reached the program's queue
// before it took in the press would count as presses: nothing tells them
// from quick presses made before the watch of the key's release began, which
// must each count, and which are all Windows sends.)
TEST_F(Startup, HeldF10TogglesOnce) {
  StartProgram();
  ASSERT_TRUE(WaitUntilDesktopHidden());
  ASSERT_TRUE(HoldKey(VK_F10, 3, [&] { return shell_->DesktopVisible(); })) << "the held F10 did nothing";
  Sleep(500);
  EXPECT_EQ(shell_->DesktopChanges(), 2) << "the repeats of F10 toggled the desktop too";
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, false));
}

// SendInput from the harness reaches Wine's server directly (not through the X
// server), as a real key press would on Windows; the program's main window is
// hidden and never has the focus.
TEST_F(Startup, F10TogglesTheDesktop) {
  StartProgram();
  ASSERT_TRUE(WaitUntilDesktopHidden());
  ASSERT_TRUE(WaitUntil([] { return HotKeyTaken(kNone, VK_F10); })) << "F10 is not registered";
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true)) << "first F10 did not show the desktop";
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, false)) << "second F10 did not hide it again";
  EXPECT_EQ(shell_->DesktopChanges(), 3);
}

struct Combination {
  const char* name;
  const char* shift;  // stored texts; nullptr = value absent
  const char* ctrl;
  const char* alt;
  const char* key;
  unsigned modifiers;  // what the program must register
  WORD vk;
};

void PrintTo(const Combination& c, std::ostream* os) { *os << c.name; }

class StoredHotKey : public Startup, public ::testing::WithParamInterface<Combination> {};

// Only the exact stored combination toggles. Other combinations are pressed
// first, then the right one: input reaches the program in order, so when the
// right press has shown the desktop, a wrong press that toggled would already
// have been seen. A second right press must hide it again: three changes in all
// (one from start-up).
TEST_P(StoredHotKey, OnlyTheExactCombinationToggles) {
  const Combination& c = GetParam();
  auto store = [](const char* name, const char* value) {
    if (value) WriteRegString(HKEY_CURRENT_USER, kSettingsKey, name, value);
  };
  store("Key", c.key);
  store("Shift", c.shift);
  store("Ctrl", c.ctrl);
  store("Alt", c.alt);
  StartProgram();
  ASSERT_TRUE(WaitUntilDesktopHidden());
  ASSERT_TRUE(WaitUntil([&] { return HotKeyTaken(c.modifiers, c.vk); })) << KeyName(c.modifiers, c.vk)
                                                                         << " is not registered";
  std::vector<std::pair<unsigned, WORD>> wrong = {{kNone, c.vk}, {kNone, VK_F10}};
  for (unsigned m : {kShift, kCtrl, kAlt}) {
    wrong.emplace_back(c.modifiers ^ m, c.vk);  // one modifier more or less
  }
  for (auto [m, vk] : wrong) {
    if (m == c.modifiers && vk == c.vk) continue;
    // Alt+F4 would close whatever window has the focus; no combination here has it.
    EXPECT_FALSE(HotKeyTaken(m, vk)) << KeyName(m, vk) << " is registered too";
    PressKey(m, vk);
  }
  EXPECT_TRUE(PressAndWaitForDesktop(c.modifiers, c.vk, true)) << KeyName(c.modifiers, c.vk) << " did not toggle";
  EXPECT_TRUE(PressAndWaitForDesktop(c.modifiers, c.vk, false));
  EXPECT_EQ(shell_->DesktopChanges(), 3) << "a wrong combination toggled the desktop";
}

// Ctrl+Alt+F-keys would be kept by the X server if the input went through X
// (xdotool); SendInput does not, so they are tested like any other combination.
INSTANTIATE_TEST_SUITE_P(
    Startup, StoredHotKey,
    ::testing::Values(Combination{"ShiftA", "65536", nullptr, nullptr, "65", kShift, 'A'},
                      Combination{"CtrlF5", "", "131072", "", "116", kCtrl, VK_F5},
                      Combination{"AltZ", nullptr, nullptr, "262144", "90", kAlt, 'Z'},
                      Combination{"CtrlAltF10", nullptr, "131072", "262144", "121", kCtrl | kAlt, VK_F10},
                      Combination{"AnyTextMeansOnShiftF10", "1", nullptr, nullptr, nullptr, kShift, VK_F10},
                      Combination{"AllThreeF12", "65536", "131072", "262144", "123", kCtrl | kShift | kAlt,
                                  VK_F12}),
    [](const ::testing::TestParamInfo<Combination>& info) { return std::string(info.param.name); });

// Another program holds the hot key (here the harness, as a thread hot key).
class HeldHotKey {
 public:
  HeldHotKey(unsigned modifiers, WORD vk) : held_(RegisterHotKey(nullptr, kId, modifiers, vk) != FALSE) {}
  ~HeldHotKey() {
    if (held_) UnregisterHotKey(nullptr, kId);
  }
  HeldHotKey(const HeldHotKey&) = delete;
  HeldHotKey& operator=(const HeldHotKey&) = delete;
  bool Held() const { return held_; }

 private:
  static constexpr int kId = 0xF10;
  bool held_;
};

constexpr char kBalloonTitle[] = "Tamberlinox";
constexpr char kKeyTakenText[] =
    "The hot key F10 is in use by another program, so it does nothing here. Right-click this icon and choose "
    "\"Select Hot Key\" to choose another.";

// The program runs all the same and says so once, in a balloon at its icon
// (NIM_MODIFY with NIF_INFO; Wine's tray record carries the balloon's text and
// title, so the taskbar stand-in reads them). A new taskbar gets the icon
// again, but not the balloon.
TEST_F(Startup, HotKeyHeldByAnotherProgramIsToldOnceInABalloon) {
  HeldHotKey held(kNone, VK_F10);
  ASSERT_TRUE(held.Held()) << "the harness could not take F10 first";
  Running& p = StartProgram();
  ASSERT_TRUE(WaitForIcon(p.main));
  ASSERT_TRUE(WaitUntilDesktopHidden()) << "the program did not finish its start-up";
  ASSERT_TRUE(WaitUntil([&] { return !Balloons(p.main).empty(); }, 5000ms)) << "no balloon";
  const TrayRequest balloon = Balloons(p.main).front();
  EXPECT_EQ(balloon.id, kTrayId);
  EXPECT_EQ(balloon.infoTitle, kBalloonTitle);
  EXPECT_EQ(balloon.info, kKeyTakenText);
  EXPECT_EQ(balloon.answer, 1);

  shell_->RecreateTray();
  BroadcastTaskbarCreated();
  ASSERT_TRUE(WaitForIcon(p.main, 5000ms)) << "no icon in the new taskbar";
  // Whatever the program does after the new icon, before it answers this.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(p.main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  EXPECT_EQ(Balloons(p.main).size(), 1u) << "the balloon came again";
  EXPECT_TRUE(p.process.Running());
  EXPECT_EQ(Setting("Key"), "121");
}

// At logon the taskbar may refuse the icon for a while: the balloon waits for
// the icon and comes right after it.
TEST_F(Startup, BalloonAboutTheHeldHotKeyWaitsForARefusedIcon) {
  HeldHotKey held(kNone, VK_F10);
  ASSERT_TRUE(held.Held()) << "the harness could not take F10 first";
  shell_->SetTrayAccepts(false);
  Running& p = StartProgram();
  ASSERT_TRUE(WaitUntil([&] { return !RequestsFrom(p.main).empty(); })) << "the program never asked for its icon";
  ASSERT_TRUE(WaitUntilDesktopHidden());
  shell_->SetTrayAccepts(true);
  ASSERT_TRUE(WaitForIcon(p.main, 5000ms));
  ASSERT_TRUE(WaitUntil([&] { return !Balloons(p.main).empty(); }, 5000ms)) << "no balloon after the icon came";
  const auto requests = RequestsFrom(p.main);
  const auto added = std::find_if(requests.begin(), requests.end(),
                                  [](const TrayRequest& r) { return r.message == NIM_ADD && r.answer == 1; });
  const auto first =
      std::find_if(requests.begin(), requests.end(), [](const TrayRequest& r) { return (r.flags & NIF_INFO) != 0; });
  EXPECT_LT(added, first) << "a balloon was asked for before the icon was in";
  EXPECT_EQ(Balloons(p.main).size(), 1u);
  EXPECT_EQ(first->info, kKeyTakenText);
  EXPECT_EQ(first->answer, 1);
}

// ------------------------------------------------------------ first start

constexpr char kFirstStartTitle[] = "Tamberlinox is running";
constexpr char kFirstStartHint[] =
    "Click this icon for a list of your desktop items, right-click it for the commands. To keep the icon on the "
    "taskbar, drag it there from the hidden icons (^), or turn it on in the taskbar settings.";

// The first start for this user (no settings key yet) says in a balloon what
// the program does and how to keep its icon in sight; a later start says
// nothing, even after the first copy ended without a word.
TEST_F(Startup, FirstStartShowsTheHintOnceAndLaterStartsDoNot) {
  Running& first = StartProgram();
  ASSERT_TRUE(WaitForIcon(first.main));
  // Not its window's answer: start-up takes in what is sent to it while it
  // waits for the taskbar's answers, balloons still to come.
  ASSERT_TRUE(WaitUntilDesktopHidden());
  const auto balloons = Balloons(first.main);
  ASSERT_EQ(balloons.size(), 1u);
  EXPECT_EQ(balloons[0].infoTitle, kFirstStartTitle);
  EXPECT_EQ(balloons[0].info, std::string("F10 shows and hides the desktop icons. ") + kFirstStartHint);
  EXPECT_EQ(balloons[0].infoFlags & 3, DWORD(NIIF_INFO));
  EXPECT_EQ(balloons[0].answer, 1);
  first.process.Kill();

  shell_->ShowDesktop();
  Running& second = StartProgram();
  ASSERT_TRUE(WaitForIcon(second.main));
  ASSERT_TRUE(WaitUntilDesktopHidden());
  EXPECT_TRUE(Balloons(second.main).empty()) << "the hint came again";
}

// On a first start with F10 taken, the taken key's balloon comes first, and
// the hint (which then names no key) once the shell says that one has gone.
TEST_F(Startup, FirstStartWithTheKeyTakenTellsThatFirstThenTheHint) {
  HeldHotKey held(kNone, VK_F10);
  ASSERT_TRUE(held.Held()) << "the harness could not take F10 first";
  Running& p = StartProgram();
  ASSERT_TRUE(WaitForIcon(p.main));
  ASSERT_TRUE(WaitUntilDesktopHidden());
  ASSERT_EQ(Balloons(p.main).size(), 1u);
  EXPECT_EQ(Balloons(p.main)[0].info, kKeyTakenText);
  EXPECT_EQ(Balloons(p.main)[0].infoFlags & 3, DWORD(NIIF_WARNING));
  PostMessageA(p.main, kTrayMessage, kTrayId, NIN_BALLOONTIMEOUT);  // as the shell says it
  ASSERT_TRUE(WaitUntil([&] { return Balloons(p.main).size() == 2; }, 5000ms)) << "no hint after the first balloon";
  EXPECT_EQ(Balloons(p.main)[1].infoTitle, kFirstStartTitle);
  EXPECT_EQ(Balloons(p.main)[1].info, kFirstStartHint);
}

// A second copy adds its own icon and hides the desktop too, but cannot have
// the hot key: the first copy keeps it, and when the first copy is gone nobody
// holds F10 (the second copy's registration had failed).
TEST_F(Startup, SecondCopyGetsNoHotKeyAndTheFirstKeepsIt) {
  Running& first = StartProgram();
  ASSERT_TRUE(WaitForIcon(first.main));
  ASSERT_TRUE(WaitUntilDesktopHidden());
  ASSERT_TRUE(WaitUntil([] { return HotKeyTaken(kNone, VK_F10); }));
  const auto autostart = Autostart();

  shell_->ShowDesktop();  // so that the second copy's start-up shows when it is done
  Running& second = StartProgram();
  ASSERT_NE(second.main, first.main);
  ASSERT_TRUE(WaitForIcon(second.main)) << "the second copy added no icon";
  ASSERT_TRUE(WaitUntilDesktopHidden()) << "the second copy did not hide the desktop";
  EXPECT_EQ(shell_->IconCount(), 2);
  EXPECT_EQ(Autostart(), autostart);

  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true)) << "the first copy's F10 stopped working";
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, false));

  first.process.Kill();
  EXPECT_TRUE(WaitUntil([] { return !HotKeyTaken(kNone, VK_F10); }))
      << "F10 is still held after the first copy ended: the second copy registered it too";
  EXPECT_TRUE(second.process.Running());
}

// ------------------------------------------------------------- main window

// The main window stays out of sight: tiny, above the top of the screen, never
// with a taskbar button, through start-up, hot key presses and a second copy.
// (The watch runs in every test; here it is also made sure it saw the window.)
TEST_F(Startup, MainWindowIsNeverSeen) {
  Running& p = StartProgram();
  ASSERT_TRUE(WaitUntilDesktopHidden());
  RECT r{};
  EXPECT_TRUE(WaitUntil([&] { return GetWindowRect(p.main, &r) && r.bottom <= 0; }))
      << "the main window is not above the screen: bottom edge at " << r.bottom;
  EXPECT_LE(r.right - r.left, 200);
  EXPECT_LE(r.bottom - r.top, 200);
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true));
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, false));
  Running& second = StartProgram();
  EXPECT_TRUE(WaitForIcon(second.main));
  const LONG_PTR ex = GetWindowLongPtrA(p.main, GWL_EXSTYLE);
  const bool taskbarButton =
      (ex & WS_EX_APPWINDOW) || (!(ex & WS_EX_TOOLWINDOW) && GetWindow(p.main, GW_OWNER) == nullptr);
  EXPECT_FALSE(taskbarButton) << "the main window would get a taskbar button whenever it is shown";
  EXPECT_FALSE(IsWindowVisible(p.main));
  ASSERT_TRUE(p.watch);
  EXPECT_TRUE(p.watch->SawWindow());
  EXPECT_GT(p.watch->Checks(), 0);
}

}  // namespace
}  // namespace e2e
