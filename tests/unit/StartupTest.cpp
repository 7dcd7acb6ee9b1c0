// Start-up, the main window with its tray icon, the hot key and the window
// procedure chain, on the fake system.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/AutoHide.h"
#include "app/Program.h"
#include "app/frmUnload.h"
#include "hotkey/BasModule.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox {
namespace {

using platform::FakeForm;
using platform::FakePlatform;
using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using platform::WindowHandle;

const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kSettings = "Software\\Zemrik Software\\Tamberlinox";

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() {
    os.SetProgramFolder("C:\\Tools\\Tamberlinox");
    progman = os.AddWindow("Progman", "Program Manager", true);
  }
  ~StartupTest() override {
    program.reset();
    EXPECT_EQ(os.OpenRegistryKeys(), 0u);
    EXPECT_EQ(os.Faults(), std::vector<std::string>{});
  }

  void Start() {
    program = std::make_unique<Program>(os);
    AutoHide::Main(*program);
  }
  FakeForm& Main() {
    FakeForm* form = os.FormByCaption("Zemrik Program");
    EXPECT_NE(form, nullptr);
    return *form;
  }
  std::optional<std::string> Setting(const std::string& name) {
    return os.RegistryString(kHkeyCurrentUser, kSettings, name);
  }
  const platform::HotKeyRegistration* OnlyHotKey() {
    EXPECT_EQ(os.HotKeys().size(), 1u);
    return os.HotKeys().empty() ? nullptr : &os.HotKeys()[0];
  }

  FakePlatform os;
  WindowHandle progman = 0;
  std::unique_ptr<Program> program;
};

TEST_F(StartupTest, FirstStartCreatesTheSettingsHidesTheDesktopAndRegistersF10) {
  Start();

  EXPECT_EQ(os.RegistryString(kHkeyLocalMachine, kRun, "Tamberlinox"), "C:\\Tools\\Tamberlinox\\Tamberlinox.exe");
  EXPECT_EQ(os.RegistryValueNames(kHkeyCurrentUser, kSettings), std::vector<std::string>{"Key"});
  EXPECT_EQ(Setting("Key"), "121");

  FakeForm& main = Main();
  const platform::HotKeyRegistration* hotKey = OnlyHotKey();
  ASSERT_NE(hotKey, nullptr);
  EXPECT_EQ(hotKey->window, main.Handle());
  EXPECT_EQ(hotKey->modifiers, 0u);
  EXPECT_EQ(hotKey->key, 121);
  // The identifier is the atom of the clock's text, and the atom lives on.
  EXPECT_EQ(os.AtomName(static_cast<std::uint32_t>(hotKey->id)), "07/12/2026 10:00:00");
  EXPECT_EQ(program->GlobalAtom->Value(), hotKey->id);

  ASSERT_EQ(os.TrayIcons().size(), 1u);
  const platform::NotifyIconData& icon = os.TrayIcons()[0];
  EXPECT_EQ(icon.hWnd, main.Handle());
  EXPECT_EQ(icon.uID, 125u);
  EXPECT_EQ(icon.uFlags, 7u);
  EXPECT_EQ(icon.uCallbackMessage, 1025u);
  EXPECT_EQ(icon.hIcon, main.IconHandle());
  EXPECT_EQ(icon.szTip, "Zemrik Tamberlinox");

  EXPECT_FALSE(os.WindowVisible(progman));
  EXPECT_EQ(os.ShowWindowCalls(), (std::vector<platform::ShowWindowCall>{{progman, platform::kSwHide, true}}));

  // Never on screen: hidden, tiny, above the top edge, no taskbar button.
  EXPECT_FALSE(main.Visible());
  EXPECT_EQ(main.Top(), -2000);
  EXPECT_EQ(main.Width(), 10);
  EXPECT_EQ(main.Height(), 10);
  EXPECT_EQ(main.Spec().frame, platform::FormFrame::Hidden);
  EXPECT_EQ(main.Spec().caption, "Zemrik Program");

  // WindowProc in front of the window's own procedure; HookWindow found WindowProc itself.
  EXPECT_EQ(os.CurrentWndProc(main.Handle()), FakePlatform::kWindowProcAddress);
  EXPECT_EQ(program->PrevWndProc, main.ClassProcedure());
  EXPECT_EQ(program->SavedWndProc, FakePlatform::kWindowProcAddress);
  EXPECT_FALSE(program->WindowsMinimized);
  EXPECT_FALSE(program->DonationRequested);
  EXPECT_FALSE(program->HomePageRequested);
}

TEST_F(StartupTest, AProgramInADriveRootGetsNoDoubledBackslash) {
  os.SetProgramFolder("D:\\");
  Start();
  EXPECT_EQ(os.RegistryString(kHkeyLocalMachine, kRun, "Tamberlinox"), "D:\\Tamberlinox.exe");
}

TEST_F(StartupTest, ALaterStartLeavesTheStoredValuesAlone) {
  os.SetRegistryString(kHkeyLocalMachine, kRun, "Tamberlinox", "E:\\Elsewhere\\Tamberlinox.exe");
  os.SetRegistryString(kHkeyCurrentUser, kSettings, "Key", "65");
  os.SetRegistryString(kHkeyCurrentUser, kSettings, "Shift", "65536");
  os.SetRegistryString(kHkeyCurrentUser, kSettings, "Ctrl", "");
  const std::string before = os.DumpRegistry();

  Start();

  EXPECT_EQ(os.DumpRegistry(), before);
  const platform::HotKeyRegistration* hotKey = OnlyHotKey();
  ASSERT_NE(hotKey, nullptr);
  EXPECT_EQ(hotKey->key, 65);  // Shift+A
  EXPECT_EQ(hotKey->modifiers, 4u);
}

TEST_F(StartupTest, AnEmptySettingsKeyGetsTheDefaultKey) {
  os.AddRegistryKey(kHkeyCurrentUser, kSettings);
  Start();
  EXPECT_EQ(Setting("Key"), "121");
  EXPECT_EQ(OnlyHotKey()->key, 121);
}

// Any stored text that is not a whole 16-bit number means F10 for this run; the store keeps it.
class StoredKeyTest : public StartupTest, public ::testing::WithParamInterface<std::tuple<std::string, int>> {};

TEST_P(StoredKeyTest, RegistersTheStoredCodeOrF10) {
  const auto& [stored, registered] = GetParam();
  os.SetRegistryString(kHkeyCurrentUser, kSettings, "Key", stored);
  Start();
  ASSERT_NE(OnlyHotKey(), nullptr);
  EXPECT_EQ(OnlyHotKey()->key, registered);
  EXPECT_EQ(Setting("Key"), stored);
}

INSTANTIATE_TEST_SUITE_P(Keys, StoredKeyTest,
                         ::testing::Values(std::make_tuple("121", 121), std::make_tuple("90", 90),
                                           std::make_tuple(" 112 ", 112), std::make_tuple("32767", 32767),
                                           std::make_tuple("-1", -1), std::make_tuple("", 121),
                                           std::make_tuple("F10", 121), std::make_tuple("12.5", 121),
                                           std::make_tuple("32768", 121), std::make_tuple("99999999999", 121),
                                           std::make_tuple("1 2", 121), std::make_tuple("-", 121)));

// Shift, Ctrl, Alt: any non-empty text is on, the empty text or no value is off.
class ModifierTest : public StartupTest,
                     public ::testing::WithParamInterface<std::tuple<const char*, const char*, const char*, int>> {};

TEST_P(ModifierTest, StoredModifiersGiveTheRegistrationFlags) {
  const auto& [shift, ctrl, alt, flags] = GetParam();
  for (auto [name, text] : {std::pair{"Shift", shift}, {"Ctrl", ctrl}, {"Alt", alt}}) {
    if (text != nullptr) os.SetRegistryString(kHkeyCurrentUser, kSettings, name, text);
  }
  Start();
  ASSERT_NE(OnlyHotKey(), nullptr);
  EXPECT_EQ(OnlyHotKey()->modifiers, static_cast<std::uint32_t>(flags));
  EXPECT_EQ(program->HotKeyModifiers, flags);
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, ModifierTest,
    ::testing::Values(std::make_tuple(nullptr, nullptr, nullptr, 0), std::make_tuple("", "", "", 0),
                      std::make_tuple(nullptr, nullptr, "262144", 1), std::make_tuple(nullptr, "131072", nullptr, 2),
                      std::make_tuple("", "131072", "262144", 3), std::make_tuple("65536", "", "", 4),
                      std::make_tuple("65536", nullptr, "262144", 5), std::make_tuple("65536", "131072", "", 6),
                      std::make_tuple("65536", "131072", "262144", 7), std::make_tuple("1", "x", " ", 7)));

TEST_F(StartupTest, StartUpGoesOnWhereTheSystemRefuses) {
  os.DenyRegistryWrites(kHkeyLocalMachine);
  os.DenyRegistryWrites(kHkeyCurrentUser);
  os.ReserveHotKey(0, 121);  // another program holds F10
  os.FailAtomAdds();
  os.RemoveWindow(progman);

  Start();

  EXPECT_FALSE(os.RegistryValue(kHkeyLocalMachine, kRun, "Tamberlinox"));
  EXPECT_FALSE(os.KeyExists(kHkeyCurrentUser, kSettings));
  EXPECT_EQ(program->KeySetting, "121");  // in memory only
  EXPECT_TRUE(os.HotKeys().empty());
  ASSERT_EQ(os.HotKeyCalls().size(), 1u);
  EXPECT_EQ(os.HotKeyCalls()[0].hotKey.id, 0);  // the failed atom
  EXPECT_EQ(os.TrayIcons().size(), 1u);          // the tray still works
  EXPECT_TRUE(os.ShowWindowCalls().empty());
}

TEST_F(StartupTest, TheHotKeyTogglesTheDesktopAndIsPassedOn) {
  Start();
  FakeForm& main = Main();

  EXPECT_TRUE(os.PressHotKey(0, 121));
  EXPECT_TRUE(os.WindowVisible(progman));
  EXPECT_TRUE(os.PressHotKey(0, 121));
  EXPECT_FALSE(os.WindowVisible(progman));

  // Whatever the identifier, and the window's own procedure still sees the message.
  os.SendMessage(main.Handle(), platform::kWmHotKey, 4711, 0);
  EXPECT_TRUE(os.WindowVisible(progman));
  int passedOn = 0;
  for (const platform::WindowMessage& m : os.DefaultHandled()) passedOn += m.message == platform::kWmHotKey;
  EXPECT_EQ(passedOn, 3);

  // A desktop shown by someone else, or re-created by the shell, is seen at the next press.
  os.SetWindowVisible(progman, false);
  os.PressHotKey(0, 121);
  EXPECT_TRUE(os.WindowVisible(progman));
  os.RemoveWindow(progman);
  const WindowHandle recreated = os.AddWindow("Progman", "Program Manager", true);
  os.PressHotKey(0, 121);
  EXPECT_FALSE(os.WindowVisible(recreated));

  // Only the exact combination.
  EXPECT_FALSE(os.PressHotKey(BasModule::kModAlt, 121));
  EXPECT_FALSE(os.PressHotKey(0, 120));
}

TEST_F(StartupTest, WithoutADesktopWindowTheHotKeyDoesNothing) {
  os.RemoveWindow(progman);
  Start();
  EXPECT_TRUE(os.PressHotKey(0, 121));
  EXPECT_TRUE(os.ShowWindowCalls().empty());
}

TEST_F(StartupTest, ASecondCopyAddsAnIconButCannotTakeTheHotKey) {
  Start();
  FakePlatform& shared = os;
  Program second(shared);
  AutoHide::Main(second);

  EXPECT_EQ(os.TrayIcons().size(), 2u);
  ASSERT_EQ(os.HotKeys().size(), 1u);
  EXPECT_EQ(os.HotKeys()[0].window, program->frmTamberlinox.Handle());
  EXPECT_FALSE(os.HotKeyCalls().back().result);
  EXPECT_EQ(os.RegistryString(kHkeyLocalMachine, kRun, "Tamberlinox"), "C:\\Tools\\Tamberlinox\\Tamberlinox.exe");
  // That the first copy keeps toggling is checked end to end: one fake system
  // has room for one process's window procedure.
}

TEST_F(StartupTest, MessagesForOtherWindowsAndOtherMessagesGoOnUnchanged) {
  Start();
  FakeForm& main = Main();
  os.SendMessage(main.Handle(), 0x0401 + 7, 11, 22);
  ASSERT_FALSE(os.DefaultHandled().empty());
  EXPECT_EQ(os.DefaultHandled().back(), (platform::WindowMessage{main.Handle(), 0x0401 + 7, 11, 22}));

  // WindowProc called for a handle that is not the main window passes everything on, even the hot key.
  const platform::WindowHandle other = 0xBEEF;
  program->PrevWndProc = main.ClassProcedure();
  os.CallWindowProcA(FakePlatform::kWindowProcAddress, other, platform::kWmHotKey, 1, 0);
  EXPECT_FALSE(os.WindowVisible(progman));
}

TEST_F(StartupTest, HookingAgainLeavesTheChainAsItWas) {
  Start();
  FakeForm& main = Main();
  for (int i = 0; i < 3; ++i) {
    BasModule::UnhookWindow(*program, main.Handle());
    BasModule::HookWindow(*program, main.Handle());
  }
  EXPECT_EQ(os.CurrentWndProc(main.Handle()), FakePlatform::kWindowProcAddress);
  EXPECT_EQ(program->PrevWndProc, main.ClassProcedure());
  EXPECT_TRUE(os.PressHotKey(0, 121));
  EXPECT_TRUE(os.WindowVisible(progman));
}

TEST_F(StartupTest, AShellThatIsNotReadyGetsTheIconLater) {
  os.SetShellAvailable(false);
  Start();
  FakeForm& main = Main();

  // No icon, so no HookForm; HookWindow still put WindowProc in front, and with
  // nothing saved it hands messages to the window's class procedure.
  EXPECT_TRUE(os.TrayIcons().empty());
  EXPECT_EQ(program->PrevWndProc, 0u);
  EXPECT_EQ(os.CurrentWndProc(main.Handle()), FakePlatform::kWindowProcAddress);
  EXPECT_TRUE(main.TimerEnabled(TamberlinoxForm::TrayRetryTimer));
  EXPECT_EQ(main.TimerInterval(TamberlinoxForm::TrayRetryTimer), 2000u);
  EXPECT_TRUE(os.PressHotKey(0, 121));  // the hot key works meanwhile
  EXPECT_TRUE(os.WindowVisible(progman));

  EXPECT_TRUE(os.FireTimer(main, TamberlinoxForm::TrayRetryTimer));
  EXPECT_TRUE(os.TrayIcons().empty());

  os.SetShellAvailable(true);
  EXPECT_TRUE(os.FireTimer(main, TamberlinoxForm::TrayRetryTimer));
  ASSERT_EQ(os.TrayIcons().size(), 1u);
  EXPECT_FALSE(main.TimerEnabled(TamberlinoxForm::TrayRetryTimer));
  // Never chained to itself: the saved procedure is the window's own.
  EXPECT_EQ(program->PrevWndProc, main.ClassProcedure());
  EXPECT_EQ(os.CurrentWndProc(main.Handle()), FakePlatform::kWindowProcAddress);

  // Shutdown puts the window's own procedure back.
  frmUnload::UnloadAllForms(*program);
  EXPECT_EQ(os.LiveForms(), 0u);
}

TEST_F(StartupTest, TheRetriesStopAfterTwoMinutes) {
  os.SetShellAvailable(false);
  Start();
  FakeForm& main = Main();
  int ticks = 0;
  while (os.FireTimer(main, TamberlinoxForm::TrayRetryTimer)) ++ticks;
  EXPECT_EQ(ticks, 60);  // every 2 s for 120 s
  EXPECT_TRUE(os.TrayIcons().empty());

  // A shell that starts later still announces itself, and the icon goes in then.
  os.BroadcastTaskbarCreated();
  EXPECT_EQ(os.TrayIcons().size(), 1u);
  EXPECT_EQ(program->PrevWndProc, main.ClassProcedure());
}

TEST_F(StartupTest, ARestartedTaskbarGetsTheIconBack) {
  Start();
  FakeForm& main = Main();
  os.BroadcastTaskbarCreated();
  ASSERT_EQ(os.TrayIcons().size(), 1u);
  EXPECT_EQ(os.TrayIcons()[0].hWnd, main.Handle());
  EXPECT_EQ(os.TrayIcons()[0].szTip, "Zemrik Tamberlinox");
  EXPECT_EQ(program->PrevWndProc, main.ClassProcedure());  // not hooked twice
  EXPECT_TRUE(os.ClickTrayIcon(platform::kWmLButtonDblClk));

  // Once the program has taken its icon away to end, it stays away.
  main.EnableTimer(TamberlinoxForm::Timer1, false);
  program->frmTamberlinox.ShellTrayRemove();
  os.BroadcastTaskbarCreated();
  EXPECT_TRUE(os.TrayIcons().empty());
}

}  // namespace
}  // namespace tamberlinox
