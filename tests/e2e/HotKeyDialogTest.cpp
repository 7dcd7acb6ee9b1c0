// The hot key dialog as a user meets it: opened from the tray menu ("Select Hot
// Key"), its controls, saving a key and modifiers (the registry, the message
// box, the new hot key under real key input), leaving without saving, a
// combination that another program holds, and text that is none of the keys.
// The harness reads and works the dialog's controls from outside through their
// ids, as another program can.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ProgramWindows.h"

namespace e2e {
namespace {

// The dialog's control ids.
constexpr int kModifiersLabel = 101;
constexpr int kKeyLabel = 102;
constexpr int kShiftBox = 103;
constexpr int kCtrlBox = 104;
constexpr int kAltBox = 105;
constexpr int kKeyCombo = 106;
constexpr int kCancelButton = 107;
constexpr int kSaveButton = 108;

constexpr char kSaved[] = "Your Hot Key Changes Have Been Saved!";
constexpr char kSavedButTaken[] =
    "Your Hot Key Changes Have Been Saved, But This Key Is Already In Use By Another Program.";
constexpr char kChooseAKey[] = "Please Choose One Of The Keys In The List.";

const std::vector<std::string> kAllKeys = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10",
                                           "F11", "F12", "A", "B", "C", "D", "E", "F", "G", "H",
                                           "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                           "S", "T", "U", "V", "W", "X", "Y", "Z"};

class HotKeyDialog : public TrayProgramTest {
 protected:
  // "Select Hot Key" from the tray menu; the dialog once it is shown.
  HWND OpenDialog(Running& r) { return OpenForm(r, "Select Hot Key", kHotKeyCaption); }
  static std::string KeyText(HWND dialog) { return AskText(GetDlgItem(dialog, kKeyCombo)); }
  static void TypeKey(HWND dialog, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, kKeyCombo), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  static bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
  // Clicks "Save Selection" and waits for the program's answer.
  std::optional<MessageBoxSeen> Save(Running& r, HWND dialog) {
    PostClick(dialog, kSaveButton);
    auto box = WaitForMessageBox(r.process, kHotKeyTitle);
    EXPECT_TRUE(box) << "no message box \"" << kHotKeyTitle << "\" after \"Save Selection\"";
    return box;
  }
  // Saves and answers the message box; true when it said the changes were saved.
  bool SaveAndConfirm(Running& r, HWND dialog) {
    auto box = Save(r, dialog);
    if (!box) return false;
    EXPECT_EQ(box->text, kSaved);
    AnswerMessageBox(box->window, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "the dialog is still there after the save";
    return box->text == kSaved;
  }
  static std::optional<std::string> Setting(const std::string& name) {
    return ReadRegString(HKEY_CURRENT_USER, kSettingsKey, name);
  }
};

// ------------------------------------------------------------ the dialog

TEST_F(HotKeyDialog, OpensFromTheTrayMenuWithItsCaptionAndControls) {
  Running& r = StartProgram();
  HWND dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ClassName(dialog), kFormClass);
  EXPECT_EQ(WindowText(dialog), kHotKeyCaption);
  RECT frame{};
  GetWindowRect(dialog, &frame);
  EXPECT_FALSE(RectOffScreen(frame, ScreenRect()));

  EXPECT_EQ(ControlText(dialog, kModifiersLabel), "Select One Or More Modifiers");
  EXPECT_EQ(ControlText(dialog, kKeyLabel), "Select Your Hot Key F10 Is The Default");
  EXPECT_EQ(ControlText(dialog, kShiftBox), "Shift Button");
  EXPECT_EQ(ControlText(dialog, kCtrlBox), "Ctrl Button");
  EXPECT_EQ(ControlText(dialog, kAltBox), "Alt Button");
  EXPECT_EQ(ControlText(dialog, kCancelButton), "Cancel");
  EXPECT_EQ(ControlText(dialog, kSaveButton), "Save Selection");
  for (int id : {kShiftBox, kCtrlBox, kAltBox}) {
    EXPECT_EQ(ClassName(GetDlgItem(dialog, id)), "Button");
    EXPECT_FALSE(Checked(dialog, id)) << "check box " << ControlText(dialog, id) << " is set on a first start";
  }
  EXPECT_EQ(ClassName(GetDlgItem(dialog, kKeyCombo)), "ComboBox");
  EXPECT_EQ(ComboEntries(GetDlgItem(dialog, kKeyCombo)), kAllKeys);
  EXPECT_EQ(KeyText(dialog), "F10");
}

// The window system converts the size at the screen's DPI (Wine's default is
// 96, 15 twips a pixel: 300 x 166).
TEST_F(HotKeyDialog, ClientAreaIs4500By2490TwipsAtTheScreensDpi) {
  Running& r = StartProgram();
  HWND dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  const SIZE size = ClientSize(dialog);
  EXPECT_EQ(size.cx, TwipsToPixelsX(4500));
  EXPECT_EQ(size.cy, TwipsToPixelsY(2490));
}

// ------------------------------------------------------------------ saving

// An entry chosen from the list, two modifiers clicked on.
TEST_F(HotKeyDialog, SaveWritesTheChosenKeyAndModifiers) {
  Running& r = StartProgram();
  HWND dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  HWND combo = GetDlgItem(dialog, kKeyCombo);
  SendMessageA(combo, CB_SETCURSEL, 11, 0);  // "F12"
  ASSERT_EQ(KeyText(dialog), "F12");
  SendClick(dialog, kCtrlBox);
  SendClick(dialog, kAltBox);
  ASSERT_TRUE(Checked(dialog, kCtrlBox) && Checked(dialog, kAltBox));

  auto box = Save(r, dialog);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->title, kHotKeyTitle);
  EXPECT_EQ(box->text, kSaved);
  EXPECT_FALSE(IsWindowVisible(dialog)) << "the dialog stays visible behind the message box";
  AnswerMessageBox(box->window, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "the dialog was not closed after the message box";
  EXPECT_TRUE(r.process.Running());

  EXPECT_EQ(Setting("Key"), "123");
  EXPECT_EQ(Setting("Shift"), "");
  EXPECT_EQ(Setting("Ctrl"), "131072");
  EXPECT_EQ(Setting("Alt"), "262144");
  EXPECT_EQ(Setting("F10"), "Yes");
}

// A key typed into the box: from then on only the new key toggles the
// desktop. F10 is pressed first, then the new key: input reaches the program
// in order, so when the new one has shown the desktop, an F10 that still
// toggled would already have been seen.
//
// The keys pressed right after the dialog has gone carry no modifiers: under
// Wine the program's thread takes in the focus events of its dialog and
// message box when it next wakes, which may be while the harness holds a
// modifier, and Wine then releases it (see PressKey). The modifiers' part is
// the registration, checked as it is.
TEST_F(HotKeyDialog, SavedKeyTogglesTheDesktopAndF10NoLonger) {
  Running& r = StartProgram();
  HWND dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  TypeKey(dialog, "Q");
  ASSERT_TRUE(SaveAndConfirm(r, dialog));

  EXPECT_TRUE(WaitUntil([] { return !HotKeyTaken(kNone, VK_F10); })) << "F10 is still registered";
  EXPECT_TRUE(HotKeyTaken(kNone, 'Q')) << "Q is not registered";
  const int changes = shell_->DesktopChanges();
  PressKey(kNone, VK_F10);
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, 'Q', true)) << "Q did not show the desktop";
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, 'Q', false)) << "Q did not hide it again";
  EXPECT_EQ(shell_->DesktopChanges(), changes + 2) << "F10 toggled the desktop too";
}

// Saving twice in one run replaces the hot key each time (a new identifier for
// each registration); the second choice is the one that works. The first has
// a modifier, which is part of what is registered and given back.
TEST_F(HotKeyDialog, SecondSaveReplacesTheFirstChoice) {
  Running& r = StartProgram();
  HWND dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  TypeKey(dialog, "F7");
  SendClick(dialog, kShiftBox);
  ASSERT_TRUE(SaveAndConfirm(r, dialog));
  ASSERT_TRUE(WaitUntil([] { return HotKeyTaken(kShift, VK_F7); }));
  EXPECT_FALSE(HotKeyTaken(kNone, VK_F7)) << "F7 without Shift is taken";

  dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  TypeKey(dialog, "F8");
  SendClick(dialog, kShiftBox);  // off again
  ASSERT_TRUE(SaveAndConfirm(r, dialog));
  EXPECT_FALSE(HotKeyTaken(kShift, VK_F7)) << "the first choice is still registered";
  EXPECT_FALSE(HotKeyTaken(kShift, VK_F8)) << "Shift stayed with the second choice";
  EXPECT_TRUE(HotKeyTaken(kNone, VK_F8));
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F8, true));
  EXPECT_EQ(Setting("Key"), "119");
  EXPECT_EQ(Setting("Shift"), "");
}

TEST_F(HotKeyDialog, ReopenedDialogShowsTheStoredChoice) {
  Running& r = StartProgram();
  HWND dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  TypeKey(dialog, "Z");
  SendClick(dialog, kShiftBox);
  SendClick(dialog, kAltBox);
  ASSERT_TRUE(SaveAndConfirm(r, dialog));

  dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(KeyText(dialog), "Z");
  EXPECT_TRUE(Checked(dialog, kShiftBox));
  EXPECT_FALSE(Checked(dialog, kCtrlBox));
  EXPECT_TRUE(Checked(dialog, kAltBox));
  EXPECT_EQ(ComboEntries(GetDlgItem(dialog, kKeyCombo)), kAllKeys) << "a reopened dialog has other entries";
}

// The tray works while the saved notice is up (its owner is no window of the
// program): "Select Hot Key" then shows the dialog again with what was just
// saved, and it stays open when the notice is answered.
TEST_F(HotKeyDialog, SelectHotKeyWhileTheSavedNoticeIsUpKeepsTheDialogOpen) {
  Running& r = StartProgram();
  HWND dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  TypeKey(dialog, "Q");
  SendClick(dialog, kShiftBox);
  auto box = Save(r, dialog);
  ASSERT_TRUE(box);
  ASSERT_FALSE(IsWindowVisible(dialog));

  HWND again = OpenDialog(r);
  ASSERT_EQ(again, dialog) << "not the dialog that was saved";
  AnswerMessageBox(box->window, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box->window); }));
  EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "the dialog went with the notice";
  EXPECT_EQ(KeyText(dialog), "Q");
  EXPECT_TRUE(Checked(dialog, kShiftBox));
  EXPECT_EQ(Setting("Key"), "81");
  EXPECT_TRUE(HotKeyTaken(kShift, 'Q'));
  PostClick(dialog, kCancelButton);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

// A stored "Key" the dialog cannot show as one of its entries: a code outside
// the table, no number at all, a number beyond 16 bits, or no value.
class StoredKeyWithoutEntry : public HotKeyDialog, public ::testing::WithParamInterface<const char*> {};

TEST_P(StoredKeyWithoutEntry, ShowsTheEmptyText) {
  Running& r = StartProgram();
  // Changed behind the running program's back: the dialog reads the store itself.
  if (GetParam()) {
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kSettingsKey, "Key", GetParam()));
  } else {
    DeleteRegValue(HKEY_CURRENT_USER, kSettingsKey, "Key");
  }
  HWND dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(KeyText(dialog), "");
  EXPECT_EQ(ComboEntries(GetDlgItem(dialog, kKeyCombo)), kAllKeys);
}

std::string StoredKeyName(const ::testing::TestParamInfo<const char*>& info) {
  static const char* const names[] = {"CodeOutsideTheTable", "NotANumber", "Beyond16Bits", "Empty", "Missing"};
  return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(HotKeyDialog, StoredKeyWithoutEntry, ::testing::Values("32", "abc", "70000", "", nullptr),
                         StoredKeyName);

// ------------------------------------------------------- leaving unsaved

enum class Leave { Cancel, Escape, CloseBox };

void PrintTo(Leave way, std::ostream* os) {
  *os << (way == Leave::Cancel ? "Cancel" : way == Leave::Escape ? "Escape" : "CloseBox");
}

class LeavingTheDialog : public HotKeyDialog, public ::testing::WithParamInterface<Leave> {};

// A changed key and modifier, then the dialog is left without saving: nothing
// is written and F10 still toggles.
TEST_P(LeavingTheDialog, ChangesNothing) {
  Running& r = StartProgram();
  HWND dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  TypeKey(dialog, "F5");
  SendClick(dialog, kShiftBox);
  switch (GetParam()) {
    case Leave::Cancel:
      PostClick(dialog, kCancelButton);
      break;
    case Leave::Escape:
      // Real key input goes to the window with the keyboard focus: the dialog
      // took it when it was shown.
      ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }))
          << "the dialog is not in the foreground; Esc would go elsewhere";
      PressKey(kNone, VK_ESCAPE);
      break;
    case Leave::CloseBox:
      // What a click on the close box sends.
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "the dialog is still there";
  EXPECT_TRUE(r.process.Running());
  EXPECT_TRUE(r.process.FindWindowsByClass("#32770").empty()) << "a message box appeared";
  EXPECT_EQ(RegValueNames(HKEY_CURRENT_USER, kSettingsKey), std::vector<std::string>{"Key"});
  EXPECT_EQ(Setting("Key"), "121");
  EXPECT_FALSE(HotKeyTaken(kShift, VK_F5));
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true)) << "F10 no longer toggles the desktop";
}

INSTANTIATE_TEST_SUITE_P(HotKeyDialog, LeavingTheDialog,
                         ::testing::Values(Leave::Cancel, Leave::Escape, Leave::CloseBox),
                         [](const ::testing::TestParamInfo<Leave>& info) {
                           std::ostringstream name;
                           PrintTo(info.param, &name);
                           return name.str();
                         });

// ------------------------------------------------------------ refusals

// The harness holds Ctrl+Shift+K itself, as another program would. The choice
// is still stored and the old hot key given up, but the user is told.
TEST_F(HotKeyDialog, CombinationHeldByAnotherProgramIsSavedWithAWarning) {
  constexpr int kHarnessHotKey = 0xE2E4;
  ASSERT_TRUE(RegisterHotKey(nullptr, kHarnessHotKey, kCtrl | kShift, 'K')) << "the harness could not take Ctrl+Shift+K";
  struct Release {
    ~Release() { UnregisterHotKey(nullptr, kHarnessHotKey); }
  } release;

  Running& r = StartProgram();
  HWND dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  TypeKey(dialog, "K");
  SendClick(dialog, kShiftBox);
  SendClick(dialog, kCtrlBox);
  auto box = Save(r, dialog);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->title, kHotKeyTitle);
  EXPECT_EQ(box->text, kSavedButTaken);
  AnswerMessageBox(box->window, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));

  EXPECT_EQ(Setting("Key"), "75");
  EXPECT_EQ(Setting("Shift"), "65536");
  EXPECT_EQ(Setting("Ctrl"), "131072");
  EXPECT_EQ(Setting("Alt"), "");
  EXPECT_EQ(Setting("F10"), "Yes");
  EXPECT_FALSE(HotKeyTaken(kNone, VK_F10)) << "the old hot key was not given up";
  UnregisterHotKey(nullptr, kHarnessHotKey);
  EXPECT_FALSE(HotKeyTaken(kCtrl | kShift, 'K')) << "the program holds Ctrl+Shift+K after all";
  EXPECT_TRUE(r.process.Running());
}

// "f5" is not "F5": the comparison is exact. Nothing is saved or registered,
// and the dialog stays open for another try.
TEST_F(HotKeyDialog, TextThatIsNoneOfTheKeysIsRefusedAndTheDialogStaysOpen) {
  Running& r = StartProgram();
  HWND dialog = OpenDialog(r);
  ASSERT_NE(dialog, nullptr);
  TypeKey(dialog, "f5");
  SendClick(dialog, kCtrlBox);
  auto box = Save(r, dialog);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->title, kHotKeyTitle);
  EXPECT_EQ(box->text, kChooseAKey);
  AnswerMessageBox(box->window, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box->window); }));

  EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "the dialog did not stay open";
  EXPECT_EQ(KeyText(dialog), "f5");
  EXPECT_TRUE(Checked(dialog, kCtrlBox));
  EXPECT_EQ(RegValueNames(HKEY_CURRENT_USER, kSettingsKey), std::vector<std::string>{"Key"});
  EXPECT_EQ(Setting("Key"), "121");
  EXPECT_TRUE(HotKeyTaken(kNone, VK_F10)) << "F10 was given up";
  EXPECT_FALSE(HotKeyTaken(kCtrl, VK_F5));

  // The next try with a key of the list is saved.
  TypeKey(dialog, "F5");
  ASSERT_TRUE(SaveAndConfirm(r, dialog));
  EXPECT_EQ(Setting("Key"), "116");
  EXPECT_TRUE(HotKeyTaken(kCtrl, VK_F5));
}

}  // namespace
}  // namespace e2e
