// The bench proves itself against its probe, a small program whose behaviour is
// known: every tool must see what the probe does, and every watch must catch
// the faults the probe makes on purpose. A bench that cannot fail proves nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

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

// The keyboard focus stays where it is while the desktop stand-in is shown
// and hidden: a window that got the focus would make Wine forget the keys the
// bench holds (see PressKey). The probe shows the desktop as the program
// does, with SW_SHOW, and the bench presses the next combination at once.
TEST_F(ProbeBench, CombinationsInARowAllReachTheHotKey) {
  WriteRegString(HKEY_CURRENT_USER, kSettingsKey, "Key", "116");  // F5
  WriteRegString(HKEY_CURRENT_USER, kSettingsKey, "Ctrl", "131072");
  WriteRegString(HKEY_CURRENT_USER, kSettingsKey, "Alt", "262144");
  StartProbe();
  ASSERT_TRUE(WaitUntil([] { return HotKeyTaken(kCtrl | kAlt, VK_F5); }));
  ASSERT_TRUE(WaitUntil([&] { return !shell_->DesktopVisible(); }));
  for (int i = 1; i <= 20; ++i) {
    const bool visibleAfter = i % 2 == 1;
    EXPECT_TRUE(PressKey(kCtrl | kAlt, VK_F5)) << "Wine released the modifiers during press " << i;
    ASSERT_TRUE(WaitUntil([&] { return shell_->DesktopVisible() == visibleAfter; }, 5000ms))
        << "press " << i << " did not " << (visibleAfter ? "show" : "hide") << " the desktop";
  }
  EXPECT_EQ(shell_->DesktopChanges(), 21);
}

namespace {
LRESULT CALLBACK FocusWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(w, msg, wp, lp);
}

// A visible top-level window of the harness, near the middle of the screen, that
// takes the focus; it goes away with the object. Its thread keeps pumping, so
// that Wine handles the window's X events at once (a thread that handled them
// later, say in GetAsyncKeyState, would release keys held at that later time).
class FocusedWindow {
 public:
  FocusedWindow() {
    UniqueHandle ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread([this, event = ready.Get()] { Run(event); });
    WaitForSingleObject(ready.Get(), 10000);
  }
  ~FocusedWindow() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  FocusedWindow(const FocusedWindow&) = delete;
  FocusedWindow& operator=(const FocusedWindow&) = delete;
  HWND Get() const { return window_; }
  // A point of the screen inside the window, wherever it is made.
  static POINT Inside() { return POINT{Left() + kWidth / 2, Top() + kHeight / 2}; }

 private:
  static constexpr int kWidth = 120;
  static constexpr int kHeight = 80;
  static int Left() { return ScreenRect().right / 2 + 50; }
  static int Top() { return ScreenRect().bottom / 2 + 50; }

  void Run(HANDLE ready) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FocusWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TamberlinoxE2EFocus";
    RegisterClassA(&wc);  // fails harmlessly the second time
    window_ = CreateWindowExA(0, wc.lpszClassName, "focus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Left(), Top(), kWidth,
                              kHeight, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(window_);
    SetEvent(ready);
    MSG m;
    while (window_ && GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  }

  HWND window_ = nullptr;
  std::thread thread_;
};
}  // namespace

// Wine ignores WS_EX_NOACTIVATE: the stand-in would become the foreground
// window when the program shows it (SW_SHOW, from another thread, as here),
// and again when the window in front of it goes away. On Windows the desktop
// takes the keyboard from the user's application neither way; the stand-in
// refuses both.
TEST_F(ProbeBench, DesktopStandInNeverTakesTheFocus) {
  HWND desktop = shell_->Desktop();
  ShowWindow(desktop, SW_HIDE);
  ShowWindow(desktop, SW_SHOW);  // returns once the stand-in's thread has done it
  ASSERT_TRUE(shell_->DesktopVisible());
  EXPECT_NE(GetForegroundWindow(), desktop) << "shown with SW_SHOW, the stand-in took the focus";
  {
    FocusedWindow focus;
    ASSERT_EQ(GetForegroundWindow(), focus.Get());
  }
  EXPECT_NE(GetForegroundWindow(), desktop) << "the stand-in got the focus of a window that went away";
}

// What the bench guards against (see PressKey), measured: a key held through
// SendInput is released when a window appears under the pointer. (A window
// that takes the focus does the same, but only when Wine's request for the X
// focus is granted, which depends on the X server's focus times: the pointer
// is the way that always works.) Should a Wine version stop doing this, the
// test says so, and the guards may go.
TEST_F(ProbeBench, WineReleasesHeldKeysWhenAWindowAppearsUnderThePointer) {
  POINT before{};
  GetCursorPos(&before);
  const POINT inside = FocusedWindow::Inside();
  ASSERT_TRUE(SetCursorPos(inside.x, inside.y));
  INPUT ctrl{};
  ctrl.type = INPUT_KEYBOARD;
  ctrl.ki.wVk = VK_CONTROL;
  SendInput(1, &ctrl, sizeof ctrl);
  EXPECT_TRUE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
  {
    FocusedWindow focus;
    EXPECT_TRUE(WaitUntil([] { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) == 0; }))
        << "Ctrl stayed down: Wine no longer resets held keys when a window appears under the pointer";
    ctrl.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &ctrl, sizeof ctrl);
  }
  SetCursorPos(before.x, before.y);
  EXPECT_FALSE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
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
