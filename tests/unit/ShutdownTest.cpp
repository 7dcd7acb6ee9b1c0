// "Close Program": the question, the settings kept or removed, the desktop
// shown, the hot key and the icon gone and Timer1 started; then Timer1's tick,
// which puts the window's own procedure back and unloads every window.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "app/AutoHide.h"
#include "app/Program.h"
#include "app/frmUnload.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox {
namespace {

using platform::FakeForm;
using platform::FakePlatform;
using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using platform::kWmRButtonUp;
using Texts = std::vector<std::string>;

constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kSettings[] = "Software\\Zemrik Software\\Tamberlinox";
constexpr char kCloseQuestion[] =
    "  Do You Want To Keep The StartUp Shortcut?\r\n\r\nYou Will Also Remove Your Hot Key Settings!";

class ShutdownTest : public ::testing::Test {
 protected:
  ShutdownTest() {
    progman = os.AddWindow("Progman", "Program Manager", true);
    os.AddWindow("Shell_TrayWnd", "", true);
    os.SetSpecialFolder(FakePlatform::kCsidlDesktopDirectory, "C:\\Users\\me\\Desktop");
    os.SetSpecialFolder(FakePlatform::kCsidlCommonDesktopDirectory, "C:\\Users\\Public\\Desktop");
    os.SetSpecialFolder(FakePlatform::kCsidlWindows, "C:\\WINDOWS");
    os.SetRegistryString(kHkeyLocalMachine, kRun, "Other Tool", "C:\\Other\\Tool.exe");
    os.SetRegistryString(kHkeyCurrentUser, kSettings, "Key", "65");
    os.SetRegistryString(kHkeyCurrentUser, kSettings, "Ctrl", "131072");
    os.SetRegistryString(kHkeyCurrentUser, "Software\\Zemrik Software\\Other", "Kept", "yes");
  }

  void Start() {
    AutoHide::Main(program);
    main = os.FormByHandle(program.frmTamberlinox.Handle());
    ASSERT_NE(main, nullptr);
    atom = program.GlobalAtom->Value();
  }

  void TearDown() override { EXPECT_EQ(os.Faults(), Texts{}); }

  // Chooses the command menu entry that starts with the text.
  void Choose(const std::string& start) {
    os.SetPopupChooser(platform::ChooseCaption(start, false));
    EXPECT_TRUE(os.ClickTrayIcon(kWmRButtonUp));
  }

  void Close(int answer) {
    os.SetMessageBoxResponder([answer](const platform::MessageBoxCall&) { return answer; });
    os.ClearLogs();
    Choose("Close Program");
  }

  FakePlatform os;
  Program program{os};
  FakeForm* main = nullptr;
  platform::WindowHandle progman = 0;
  std::uint32_t atom = 0;
};

// ------------------------------------------------------- the close sequence

TEST_F(ShutdownTest, AsksWhetherToKeepTheStartUpEntry) {
  Start();
  Close(platform::kIdYes);

  ASSERT_EQ(os.MessageBoxes().size(), 1u);
  const platform::MessageBoxCall& box = os.MessageBoxes()[0];
  EXPECT_EQ(box.owner, 0u);
  EXPECT_EQ(box.text, kCloseQuestion);
  EXPECT_EQ(box.title, "Zemrik Info.....");
  EXPECT_EQ(box.flags, 36u);  // Yes and No, the question icon, Yes the default
}

TEST_F(ShutdownTest, YesKeepsTheStartUpEntryAndTheSettings) {
  Start();
  const std::string before = os.DumpRegistry();

  Close(platform::kIdYes);

  EXPECT_EQ(os.DumpRegistry(), before);
  EXPECT_TRUE(os.RegistryString(kHkeyLocalMachine, kRun, "Tamberlinox"));
  EXPECT_EQ(os.RegistryString(kHkeyCurrentUser, kSettings, "Key"), "65");
}

TEST_F(ShutdownTest, NoRemovesTheStartUpEntryAndTheWholeSettingsKey) {
  Start();
  ASSERT_TRUE(os.RegistryString(kHkeyLocalMachine, kRun, "Tamberlinox"));

  Close(platform::kIdNo);

  EXPECT_FALSE(os.RegistryValue(kHkeyLocalMachine, kRun, "Tamberlinox"));
  EXPECT_EQ(os.RegistryString(kHkeyLocalMachine, kRun, "Other Tool"), "C:\\Other\\Tool.exe");
  EXPECT_FALSE(os.KeyExists(kHkeyCurrentUser, kSettings));
  EXPECT_TRUE(os.KeyExists(kHkeyCurrentUser, "Software\\Zemrik Software"));
  EXPECT_EQ(os.RegistryString(kHkeyCurrentUser, "Software\\Zemrik Software\\Other", "Kept"), "yes");
  EXPECT_EQ(os.OpenRegistryKeys(), 0u);
}

TEST_F(ShutdownTest, NoWithoutAStartUpEntryDeletesNoValue) {
  Start();
  os.RemoveRegistryKey(kHkeyLocalMachine, kRun);

  Close(platform::kIdNo);

  const auto& calls = os.RegistryCalls();
  EXPECT_TRUE(std::none_of(calls.begin(), calls.end(), [](const platform::RegistryCall& call) {
    return call.function == "RegDeleteValueA";
  }));
  EXPECT_FALSE(os.KeyExists(kHkeyLocalMachine, kRun));
  EXPECT_FALSE(os.KeyExists(kHkeyCurrentUser, kSettings));
}

class CloseAnswerTest : public ShutdownTest, public ::testing::WithParamInterface<int> {};

TEST_P(CloseAnswerTest, ShowsTheDesktopDropsHotKeyAndIconAndStartsTimer1) {
  Start();
  ASSERT_FALSE(os.WindowVisible(progman));

  Close(GetParam());

  EXPECT_TRUE(os.WindowVisible(progman));
  EXPECT_EQ(os.ShowWindowCalls(), (std::vector<platform::ShowWindowCall>{{progman, platform::kSwShow, false}}));
  EXPECT_TRUE(os.HotKeys().empty());
  ASSERT_EQ(os.HotKeyCalls().size(), 1u);
  EXPECT_EQ(os.HotKeyCalls()[0], (platform::HotKeyCall{false, {main->Handle(), std::int32_t(atom), 0, 0}, true}));
  EXPECT_TRUE(os.TrayIcons().empty());
  ASSERT_FALSE(os.TrayCalls().empty());
  const platform::TrayCall& removal = os.TrayCalls().back();
  EXPECT_EQ(removal.message, platform::kNimDelete);
  EXPECT_EQ(removal.data.hWnd, main->Handle());
  EXPECT_EQ(removal.data.uID, 125u);
  EXPECT_EQ(removal.result, 1);
  EXPECT_TRUE(main->TimerEnabled(TamberlinoxForm::Timer1));
  EXPECT_GE(os.DefaultMousePointerCalls(), 1);
  // Until the tick the windows stay, and WindowProc stays in front of the main window.
  EXPECT_EQ(os.LiveForms(), 1u);
  EXPECT_FALSE(main->Visible());
  EXPECT_EQ(os.CurrentWndProc(main->Handle()), FakePlatform::kWindowProcAddress);
  EXPECT_NE(program.PrevWndProc, 0u);
}

INSTANTIATE_TEST_SUITE_P(Answers, CloseAnswerTest, ::testing::Values(platform::kIdYes, platform::kIdNo),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param == platform::kIdYes ? "Yes" : "No");
                         });

TEST_F(ShutdownTest, DesktopAlreadyShownIsShownAgain) {
  Start();
  os.SetWindowVisible(progman, true);
  Close(platform::kIdYes);
  EXPECT_TRUE(os.WindowVisible(progman));
}

// The hot key is gone before the desktop comes back, so a press in the half
// second before the tick can no longer hide it for good.
TEST_F(ShutdownTest, HotKeyPressBeforeTheTickLeavesTheDesktopShown) {
  Start();
  Close(platform::kIdYes);

  EXPECT_FALSE(os.PressHotKey(0x0002, 65));
  EXPECT_TRUE(os.WindowVisible(progman));
}

TEST_F(ShutdownTest, TaskbarRecreatedBeforeTheTickDoesNotBringTheIconBack) {
  Start();
  Close(platform::kIdYes);

  os.BroadcastTaskbarCreated();

  EXPECT_TRUE(os.TrayIcons().empty());
  EXPECT_FALSE(os.ClickTrayIcon(kWmRButtonUp));
}

// ------------------------------------------------------------ Timer1's tick

struct OpenWindows {
  std::string name;
  Texts entries;  // chosen from the command menu before "Close Program"
  bool aboutLoaded, hotKeyDialogLoaded;
  friend void PrintTo(const OpenWindows& c, std::ostream* out) { *out << c.name; }
};

class Timer1TickTest : public ShutdownTest, public ::testing::WithParamInterface<OpenWindows> {};

TEST_P(Timer1TickTest, PutsTheProcedureBackAndUnloadsEveryWindow) {
  Start();
  const platform::WndProcAddr ownProcedure = main->ClassProcedure();
  ASSERT_EQ(program.PrevWndProc, ownProcedure);
  for (const std::string& entry : GetParam().entries) Choose(entry);
  ASSERT_EQ(program.frmAbout.Loaded(), GetParam().aboutLoaded);
  ASSERT_EQ(program.frmHotKeySet.Loaded(), GetParam().hotKeyDialogLoaded);
  Close(platform::kIdYes);
  ASSERT_EQ(os.LiveForms(), 1u + GetParam().aboutLoaded + GetParam().hotKeyDialogLoaded);

  EXPECT_TRUE(os.FireTimer(*main, TamberlinoxForm::Timer1));

  EXPECT_EQ(program.PrevWndProc, 0u);
  EXPECT_FALSE(program.frmTamberlinox.Loaded());
  EXPECT_FALSE(program.frmAbout.Loaded());
  EXPECT_FALSE(program.frmHotKeySet.Loaded());
  EXPECT_EQ(os.LiveForms(), 0u);
  EXPECT_TRUE(os.HotKeys().empty());
  EXPECT_TRUE(os.TrayIcons().empty());
  EXPECT_TRUE(os.WindowVisible(progman));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, Timer1TickTest,
    ::testing::Values(OpenWindows{"MainOnly", {}, false, false},
                      OpenWindows{"About", {"About"}, true, false},
                      OpenWindows{"AboutForADonation", {"Make A Donation"}, true, false},
                      OpenWindows{"HotKeyDialog", {"Select Hot Key"}, false, true},
                      OpenWindows{"Both", {"Select Hot Key", "About"}, true, true}),
    [](const ::testing::TestParamInfo<OpenWindows>& info) { return info.param.name; });

// Without a tray icon the window's own procedure was never saved: nothing is
// put back (no empty procedure installed), and the windows still go.
TEST_F(ShutdownTest, UnloadWithoutASavedProcedureStillUnloadsEverything) {
  os.SetShellAvailable(false);
  Start();
  ASSERT_EQ(program.PrevWndProc, 0u);
  program.frmAbout.Show();

  frmUnload::UnloadAllForms(program);

  EXPECT_EQ(os.LiveForms(), 0u);
}

// A window that is not loaded is skipped; the others still go.
TEST_F(ShutdownTest, UnloadSkipsWindowsThatAreNotLoaded) {
  program.frmHotKeySet.Show();

  frmUnload::UnloadAllForms(program);

  EXPECT_EQ(os.LiveForms(), 0u);
  EXPECT_FALSE(program.frmTamberlinox.Loaded());
}

}  // namespace
}  // namespace tamberlinox
