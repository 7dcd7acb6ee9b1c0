// The bench proves itself against its probe, a small program whose behaviour is
// known: every tool must see what the probe does, and every watch must catch
// the faults the probe makes on purpose. A bench that cannot fail proves nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "MenuReader.h"

namespace e2e {
namespace {

class ProbeBench : public ShellTest {
 protected:
  Running& StartProbe(const std::string& arguments = "", bool watch = true) {
    Running& r = Launch(GetPaths().probe, arguments, watch);
    EXPECT_NE(WaitForMainWindow(r), nullptr) << "the probe's main window did not appear";
    // Asking whether a combination is taken registers it for a moment: asked
    // while the probe registers its own, it would make the probe's fail.
    EXPECT_TRUE(WaitUntil([&] { return Recorded("HotKeyRegistered").has_value(); }))
        << "the probe did not get as far as its hot key";
    return r;
  }
  std::optional<std::string> Recorded(const std::string& name) {
    return ReadRegString(HKEY_CURRENT_USER, kProbeKey, name);
  }
};

TEST_F(ProbeBench, StandInsAreTheWindowsTheProgramLooksUp) {
  EXPECT_EQ(FindWindowExA(nullptr, nullptr, "Progman", nullptr), shell_->Desktop());
  EXPECT_EQ(FindWindowA("Progman", "Program Manager"), shell_->Desktop());
  EXPECT_EQ(FindWindowA("Shell_TrayWnd", nullptr), shell_->Tray());
  EXPECT_TRUE(shell_->DesktopVisible());
}

TEST_F(ProbeBench, TrayAddIsDecodedFromWinesRecord) {
  Running& p = StartProbe();
  ASSERT_TRUE(WaitForIcon(p.main));
  auto requests = RequestsFrom(p.main);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].message, DWORD(NIM_ADD));
  EXPECT_EQ(requests[0].id, kTrayId);
  EXPECT_EQ(requests[0].flags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(requests[0].callbackMessage, kTrayMessage);
  EXPECT_EQ(requests[0].tip, kTrayTip);
  EXPECT_EQ(requests[0].answer, 1);
  EXPECT_GT(requests[0].iconWidth, 0u);
  EXPECT_GT(requests[0].iconHeight, 0u);
}

TEST_F(ProbeBench, RefusedTrayAddFailsInTheProgram) {
  shell_->SetTrayAccepts(false);
  Running& p = StartProbe("--no-tray-retry");
  ASSERT_TRUE(WaitUntil([&] { return !RequestsFrom(p.main).empty(); }));
  EXPECT_EQ(RequestsFrom(p.main)[0].answer, 0);
  EXPECT_FALSE(shell_->HasIcon(p.main, kTrayId));
}

TEST_F(ProbeBench, RefusedTrayAddIsRetriedOnceTheShellAccepts) {
  shell_->SetTrayAccepts(false);
  Running& p = StartProbe();
  ASSERT_TRUE(WaitUntil([&] { return !RequestsFrom(p.main).empty(); }));
  shell_->SetTrayAccepts(true);
  EXPECT_TRUE(WaitForIcon(p.main, 5000ms));
}

TEST_F(ProbeBench, ShellRestartWithTaskbarCreatedBringsTheIconBack) {
  Running& p = StartProbe();
  ASSERT_TRUE(WaitForIcon(p.main));
  HWND before = shell_->Tray();
  shell_->RecreateTray();
  ASSERT_NE(shell_->Tray(), before);
  ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), shell_->Tray());
  EXPECT_FALSE(shell_->HasIcon(p.main, kTrayId));
  BroadcastTaskbarCreated();
  EXPECT_TRUE(WaitForIcon(p.main, 5000ms));
}

TEST_F(ProbeBench, SendInputF10ReachesTheHotKeyOfAHiddenWindow) {
  StartProbe();
  ASSERT_TRUE(WaitUntil([&] { return !shell_->DesktopVisible(); })) << "the probe did not hide the desktop";
  ASSERT_TRUE(WaitUntil([&] { return HotKeyTaken(kNone, VK_F10); }));
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true));
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, false));
  EXPECT_EQ(shell_->DesktopChanges(), 3);
}

TEST_F(ProbeBench, HotKeyTakenTellsExactCombinations) {
  WriteRegString(HKEY_CURRENT_USER, kSettingsKey, "Key", "65");
  WriteRegString(HKEY_CURRENT_USER, kSettingsKey, "Shift", "65536");
  StartProbe();
  ASSERT_TRUE(WaitUntil([] { return HotKeyTaken(kShift, 'A'); }));
  EXPECT_FALSE(HotKeyTaken(kNone, 'A'));
  EXPECT_FALSE(HotKeyTaken(kShift | kCtrl, 'A'));
  EXPECT_FALSE(HotKeyTaken(kNone, VK_F10));
}

// Ctrl+Alt+F-keys: measured here because the X server may keep them (they
// switch virtual terminals) before Wine sees them. SendInput goes to the
// wineserver directly, not through X.
TEST_F(ProbeBench, CtrlAltFunctionKeyThroughSendInput) {
  WriteRegString(HKEY_CURRENT_USER, kSettingsKey, "Key", "116");  // F5
  WriteRegString(HKEY_CURRENT_USER, kSettingsKey, "Ctrl", "131072");
  WriteRegString(HKEY_CURRENT_USER, kSettingsKey, "Alt", "262144");
  StartProbe();
  ASSERT_TRUE(WaitUntil([] { return HotKeyTaken(kCtrl | kAlt, VK_F5); }));
  ASSERT_TRUE(WaitUntil([&] { return !shell_->DesktopVisible(); }));
  EXPECT_TRUE(PressAndWaitForDesktop(kCtrl | kAlt, VK_F5, true));
}

TEST_F(ProbeBench, MenuReaderReadsCaptionsAndSeparators) {
  MenuReader reader(*shell_);
  ASSERT_TRUE(reader.Loaded()) << "e2e_menuhook.dll or its MenuHookProc export is missing";
  Running& p = StartProbe();
  ClickTray(p.main, WM_RBUTTONUP);
  HWND menu = reader.WaitForMenu(p.process);
  ASSERT_NE(menu, nullptr);
  auto entries = reader.Read(menu);
  ASSERT_TRUE(entries.has_value());
  EXPECT_EQ(Captions(*entries),
            (std::vector<std::string>{"Program Help", "-", "Ask Question", "-", "Minimize All Windows", "Close Probe"}));
  ASSERT_EQ(entries->size(), 6u);
  // Wine gives a separator the state MF_SEPARATOR | MF_GRAYED | MF_DISABLED.
  EXPECT_EQ((*entries)[1].state, 0x803u);
  EXPECT_EQ((*entries)[0].state, 0u);
  reader.Close(menu);
  EXPECT_TRUE(WaitUntil([&] { return Recorded("Chosen") == "(none)"; }));
}

TEST_F(ProbeBench, MenuReaderChoosesAnEntryWithTheKeyboard) {
  MenuReader reader(*shell_);
  Running& p = StartProbe();
  ClickTray(p.main, WM_LBUTTONUP);
  HWND menu = reader.WaitForMenu(p.process);
  ASSERT_NE(menu, nullptr);
  auto entries = reader.Read(menu);
  ASSERT_TRUE(entries.has_value());
  EXPECT_EQ(Captions(*entries), (std::vector<std::string>{"My Computer", "My Documents", "Recycle Bin"}));
  ASSERT_TRUE(reader.Choose(menu, *entries, "My Documents"));
  EXPECT_TRUE(WaitUntil([&] { return Recorded("Chosen") == "My Documents"; }));
}

// Captions are read with the wide functions and come as UTF-8; an unpaired
// surrogate comes as its own three bytes, never as U+FFFD.
TEST_F(ProbeBench, MenuReaderReadsCaptionsOutsideTheCodePage) {
  MenuReader reader(*shell_);
  Running& p = StartProbe("--unicode-menu");
  ClickTray(p.main, WM_LBUTTONUP);
  HWND menu = reader.WaitForMenu(p.process);
  ASSERT_NE(menu, nullptr);
  auto entries = reader.Read(menu);
  ASSERT_TRUE(entries.has_value());
  const std::string loneSurrogate = ToUtf8(L"Lone\xD800");
  EXPECT_EQ(loneSurrogate, "Lone\xED\xA0\x80");
  EXPECT_EQ(Captions(*entries), (std::vector<std::string>{"My Computer", "My Documents", "Recycle Bin",
                                                          "\u65E5\u672C\u8A9E \U0001F600", loneSurrogate}));
  reader.Close(menu);
}

TEST_F(ProbeBench, MessageBoxIsFoundReadAndAnswered) {
  MenuReader reader(*shell_);
  Running& p = StartProbe();
  ClickTray(p.main, WM_RBUTTONUP);
  HWND menu = reader.WaitForMenu(p.process);
  auto entries = reader.Read(menu);
  ASSERT_TRUE(entries.has_value());
  ASSERT_TRUE(reader.Choose(menu, *entries, "Ask Question"));
  auto box = WaitForMessageBox(p.process, "Probe Question");
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, "Keep the probe?\r\n\r\nSecond line.");
  AnswerMessageBox(box->window, IDNO);
  EXPECT_TRUE(WaitUntil([&] { return Recorded("Answer") == std::to_string(IDNO); }));
}

TEST_F(ProbeBench, TaskbarRecordsTheCommandsPostedToIt) {
  MenuReader reader(*shell_);
  Running& p = StartProbe();
  ClickTray(p.main, WM_RBUTTONUP);
  HWND menu = reader.WaitForMenu(p.process);
  auto entries = reader.Read(menu);
  ASSERT_TRUE(entries.has_value());
  ASSERT_TRUE(reader.Choose(menu, *entries, "Minimize All Windows"));
  EXPECT_TRUE(WaitUntil([&] { return shell_->TaskbarCommands() == std::vector<WPARAM>{419}; }));
}

TEST_F(ProbeBench, ControlsAreReadByIdFromAnotherProcess) {
  Running& p = StartProbe();
  // The probe makes its controls just after its window, before its hot key.
  EXPECT_EQ(ControlText(p.main, 101), "probe text");
  EXPECT_EQ(IsDlgButtonChecked(p.main, 102), UINT(BST_CHECKED));
}

TEST_F(ProbeBench, WatchStaysQuietForAWindowOutOfSight) {
  Running& p = StartProbe();
  ASSERT_TRUE(WaitForIcon(p.main));
  ASSERT_TRUE(WaitUntil([&] { return p.watch->Checks() > 10; }));
  EXPECT_TRUE(p.watch->SawWindow());
  EXPECT_TRUE(p.watch->Violations().empty());
}

TEST_F(ProbeBench, WatchCatchesAWindowOnTheScreen) {
  Running& p = StartProbe("--on-screen", false);
  VisibilityWatch watch(p.process.Id(), kMainCaption);
  EXPECT_TRUE(WaitUntil([&] { return !watch.Violations().empty(); }));
  ASSERT_FALSE(watch.Violations().empty());
  EXPECT_NE(watch.Violations()[0].find("visible on the screen"), std::string::npos) << watch.Violations()[0];
}

TEST_F(ProbeBench, WatchCatchesATaskbarButtonAboveTheScreen) {
  Running& p = StartProbe("--taskbar-button", false);
  VisibilityWatch watch(p.process.Id(), kMainCaption);
  EXPECT_TRUE(WaitUntil([&] { return !watch.Violations().empty(); }));
  ASSERT_EQ(watch.Violations().size(), 1u);
  EXPECT_NE(watch.Violations()[0].find("taskbar button"), std::string::npos) << watch.Violations()[0];
}

TEST_F(ProbeBench, RegistryToolsSeeWhatTheProgramWrote) {
  StartProbe();
  ASSERT_TRUE(WaitUntil([] { return ReadRegString(HKEY_CURRENT_USER, kSettingsKey, "Key").has_value(); }));
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kSettingsKey, "Key"), "121");
  auto run = ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
  ASSERT_TRUE(run.has_value());
  EXPECT_EQ(*run, HarnessFolder() + "Tamberlinox.exe");
}

TEST_F(ProbeBench, KilledProgramGivesUpItsHotKeyAndLeavesNoProcess) {
  Running& p = StartProbe();
  ASSERT_TRUE(WaitUntil([] { return HotKeyTaken(kNone, VK_F10); }));
  const DWORD pid = p.process.Id();
  p.process.Kill();
  EXPECT_FALSE(p.process.Running());
  UniqueHandle again(OpenProcess(SYNCHRONIZE, FALSE, pid));
  EXPECT_TRUE(!again || WaitForSingleObject(again.Get(), 0) == WAIT_OBJECT_0);
  EXPECT_TRUE(WaitUntil([] { return !HotKeyTaken(kNone, VK_F10); }));
}

}  // namespace
}  // namespace e2e
