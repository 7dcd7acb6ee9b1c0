// The gestures on the desktop and the Options window, with real mouse and
// keyboard input (SendInput): a double-click on an empty spot of the desktop
// shows or hides the icons in every layout, one on an icon of the list does
// not (nor one the list answers too late for), and the Options window opened by "/options" in the running copy stores
// and applies its values at once; a policy of the computer wins over the user's double-click.
//
// Measured under Wine, as on Windows: input that another process sends with
// SendInput reaches a program's low-level mouse and keyboard hooks (flagged
// LLMHF_INJECTED, with the event's time and point), and GetLastInputInfo in
// every process counts it. (Wine's raw input does not do for the watch: with
// no window in front, which happens under Wine whenever the window in front
// has gone, Wine gives no raw input to anyone.) The stand-in's
// top-level desktop windows are disabled (see ShellStandIn); WindowFromPoint
// gives such a window itself, not the child under the point, so the program
// decides by the top-level window and the list's own hit test, as it must on
// Windows too. Where no window of the stand-in is, WindowFromPoint gives
// Wine's desktop window ("#32769"), as Windows gives its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "Fixtures.h"
#include "ProgramWindows.h"

namespace e2e {
namespace {

constexpr char kOptionsCaption[] = "Tamberlinox Options";
// The Options window's controls.
constexpr int kDoubleClickBox = 101, kFolderMenusBox = 102, kIdleBox = 110, kIdleMinutesBox = 111, kOkButton = 120,
              kManagedLabel = 122;

// The stand-in's icon, and an empty spot beside it (the desktop stand-in
// covers the screen from 0,0 to 200,150).
constexpr RECT kItem{20, 20, 60, 60};
constexpr POINT kOnItem{40, 40};
constexpr POINT kEmptySpot{150, 110};

std::optional<DWORD> ReadRegDword(const std::string& name) {
  DWORD value = 0, size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, ToWide(kSettingsKey).c_str(), ToWide(name).c_str(), RRF_RT_REG_DWORD, nullptr,
                   &value, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

class Gestures : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(GetPaths().setupError.empty()) << GetPaths().setupError;
  }
  // Returns once the program's thread has handled what came before.
  static void Settle(const Running& r) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(r.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  }
  // "Tamberlinox.exe /options", which returns at once; then the window of the running copy.
  HWND OpenOptions(const Running& r) {
    Running& command = Launch(GetPaths().installed, "/options", false);
    EXPECT_TRUE(command.process.WaitForExit(5000ms));
    EXPECT_EQ(command.process.ExitCode(), 0u);
    return WaitForForm(r.process, kOptionsCaption);
  }
};

class DoubleClickInEachLayout : public Gestures, public ::testing::WithParamInterface<DesktopLayout> {};

TEST_P(DoubleClickInEachLayout, AnEmptySpotTogglesTheIconsAndTheIconDoesNot) {
  shell_->SetLayout(GetParam());
  shell_->PutItemOnList(kItem);
  const bool withList = shell_->Windows().list != nullptr;
  Running& r = StartUntilReady(GetPaths().installed, withList ? Hides::kIcons : Hides::kDesktop);
  // Hidden: all of the desktop is background, the icon's place too.
  DoubleClickMouseAt(kOnItem);
  ASSERT_TRUE(WaitForIcons(true)) << "a double-click on the hidden desktop did not show the icons";
  EXPECT_EQ(shell_->ListHitTests(), 0);
  if (withList) {
    const int changes = shell_->AllChanges();
    DoubleClickMouseAt(kOnItem);
    ASSERT_TRUE(WaitUntil([&] { return shell_->ListHitTests() == 1; })) << "the list was not asked";
    Settle(r);
    EXPECT_TRUE(shell_->IconsVisible()) << "a double-click on the icon hid the icons";
    // The list answers later than the program waits: the double-click does
    // nothing, and the late answer finds its record still there.
    shell_->PutItemOnList(kItem, 800ms);
    DoubleClickMouseAt(kEmptySpot);
    ASSERT_TRUE(WaitUntil([&] { return shell_->ListHitTests() == 2; }))
        << "the list did not answer, or found its record released";
    Settle(r);
    EXPECT_TRUE(shell_->IconsVisible()) << "a double-click the list answered late for hid the icons";
    EXPECT_EQ(shell_->AllChanges(), changes);
    shell_->PutItemOnList(kItem);
  }
  DoubleClickMouseAt(kEmptySpot);
  EXPECT_TRUE(WaitForIcons(false)) << "a double-click on an empty spot did not hide the icons";
  EXPECT_EQ(shell_->HiddenListHitTests(), 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DoubleClickInEachLayout,
                         ::testing::Values(DesktopLayout::kNoList, DesktopLayout::kClassic, DesktopLayout::kWorkerW,
                                           DesktopLayout::kProgmanWithWallpaper),
                         [](const ::testing::TestParamInfo<DesktopLayout>& info) { return LayoutName(info.param); });

// "/options" opens the window in the running copy, in front; its mnemonic and
// Enter work; OK stores the values, and the running copy acts on them at once.
TEST_F(Gestures, OptionsWindowRoundTripWithTheRunningCopy) {
  Running& r = StartUntilReady(GetPaths().installed);
  HWND options = OpenOptions(r);
  ASSERT_NE(options, nullptr) << "no Options window";
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == options; })) << "the window is not in front";
  EXPECT_EQ(IsDlgButtonChecked(options, kDoubleClickBox), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(options, kFolderMenusBox), BST_UNCHECKED);
  EXPECT_EQ(ControlText(options, kFolderMenusBox), "Show desktop &folders as submenus");
  EXPECT_EQ(IsDlgButtonChecked(options, kIdleBox), BST_UNCHECKED);
  EXPECT_EQ(ControlText(options, kIdleMinutesBox), "10");
  EXPECT_EQ(OpenOptions(r), options) << "a second window";

  PressKey(kAlt, 'D');  // the double-click's mnemonic
  EXPECT_TRUE(WaitUntil([&] { return IsDlgButtonChecked(options, kDoubleClickBox) == BST_UNCHECKED; }));
  SendClick(options, kIdleBox);
  SendClick(options, kFolderMenusBox);
  SetDlgItemTextA(options, kIdleMinutesBox, "45");
  PressKey(kNone, VK_RETURN);  // OK is the default button, wherever the focus is
  ASSERT_TRUE(WaitUntil([&] { return !FormExists(r.process, kOptionsCaption); })) << "Enter did not close the window";
  EXPECT_EQ(ReadRegDword("DoubleClick"), 0u);
  EXPECT_EQ(ReadRegDword("FolderMenus"), 1u);
  EXPECT_EQ(ReadRegDword("IdleMinutes"), 45u);
  DoubleClickMouseAt(kEmptySpot);  // off: heard by nobody
  Sleep(300);
  Settle(r);
  EXPECT_FALSE(shell_->DesktopVisible());

  options = OpenOptions(r);
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(IsDlgButtonChecked(options, kDoubleClickBox), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(options, kFolderMenusBox), BST_CHECKED);
  EXPECT_EQ(ControlText(options, kIdleMinutesBox), "45");
  SendClick(options, kDoubleClickBox);
  PostClick(options, kOkButton);
  ASSERT_TRUE(WaitUntil([&] { return !FormExists(r.process, kOptionsCaption); }));
  EXPECT_EQ(ReadRegDword("DoubleClick"), 1u);
  DoubleClickMouseAt(kEmptySpot);  // on again at once
  EXPECT_TRUE(WaitUntil([&] { return shell_->DesktopVisible(); })) << "the double-click was not turned on";

  // The window closes with the program.
  EXPECT_NE(OpenOptions(r), nullptr);
  Running& exit = Launch(GetPaths().installed, "/exit", false);
  EXPECT_TRUE(exit.process.WaitForExit(5000ms));
  EXPECT_TRUE(r.process.WaitForExit(10000ms)) << "the program did not end with its Options window open";
}

// A policy of the computer (in the 64-bit registry, where Group Policy writes
// it) turns the double-click off over the user's choice; the Options window
// shows it greyed, and its OK keeps the user's value.
TEST_F(Gestures, APolicyOfTheComputerTurnsTheDoubleClickOffOverTheUsersChoice) {
  const DWORD on = 1, off = 0;
  for (const auto& [hive, path, value] :
       {std::tuple(HKEY_CURRENT_USER, kSettingsKey, &on), std::tuple(HKEY_LOCAL_MACHINE, kPolicyKey, &off)}) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(hive, path, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr), 0);
    RegSetValueExA(key, "DoubleClick", 0, REG_DWORD, reinterpret_cast<const BYTE*>(value), sizeof(DWORD));
    RegCloseKey(key);
  }
  Running& r = StartUntilReady(GetPaths().installed);
  HWND options = OpenOptions(r);
  ASSERT_NE(options, nullptr) << "no Options window";
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(options, kDoubleClickBox)));
  EXPECT_EQ(ControlText(options, kManagedLabel), "Some settings are managed by your organization.");
  PostClick(options, kOkButton);
  ASSERT_TRUE(WaitUntil([&] { return !FormExists(r.process, kOptionsCaption); }));
  EXPECT_EQ(ReadRegDword("DoubleClick"), 1u) << "OK wrote the policy's value over the user's";
  DoubleClickMouseAt(kEmptySpot);
  Sleep(300);
  Settle(r);
  EXPECT_FALSE(shell_->DesktopVisible()) << "the double-click the policy turns off showed the icons";
}

// Hide when idle, at its shortest: a minute without input hides the icons the
// user showed, they stay hidden while the program looks at the last input
// time every few seconds, and the next key brings them back at once.
// (Measured under Wine: nothing but the harness's input counts as input
// meanwhile; the minute is real, so the test takes one.)
TEST_F(Gestures, IconsHideAfterAMinuteWithoutInputAndComeBackWithIt) {
  DWORD minute = 1;
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "IdleMinutes", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&minute), sizeof minute);
  RegCloseKey(key);
  StartUntilReady(GetPaths().installed);
  ASSERT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true));
  const DWORD shown = GetTickCount();
  // Every input meanwhile, as the session counts it, to tell what kept the icons up.
  std::string inputs;
  LASTINPUTINFO last{sizeof last, 0};
  GetLastInputInfo(&last);
  DWORD seen = last.dwTime;
  const bool hidden = WaitUntil(
      [&] {
        if (GetLastInputInfo(&last) && last.dwTime != seen) {
          seen = last.dwTime;
          inputs += " " + std::to_string(int(seen - shown)) + " ms";
        }
        return !shell_->DesktopVisible();
      },
      75000ms);
  ASSERT_TRUE(hidden) << "still shown after 75 s; input came after F10 at:" << inputs;
  const DWORD idle = GetTickCount() - shown;
  EXPECT_GE(idle, 59000u);
  EXPECT_LE(idle, 66000u);
  Sleep(7000);
  EXPECT_FALSE(shell_->DesktopVisible()) << "shown again without input; input came after F10 at:" << inputs;
  PressKey(kNone, VK_SHIFT);
  EXPECT_TRUE(WaitUntil([&] { return shell_->DesktopVisible(); }, 1500ms)) << "a key did not bring the icons back";
}

}  // namespace
}  // namespace e2e
