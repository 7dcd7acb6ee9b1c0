// "Close Program" from the command menu: the question whether to keep the
// start-up entry, what each answer keeps or removes in the registry, and the
// end of the program as the shell sees it: the tray icon goes, the desktop
// comes back, the hot key is free before the desktop shows, and the process
// ends by itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>

#include "MenuBench.h"

namespace e2e {
namespace {

constexpr char kQuestionTitle[] = "Zemrik Info.....";
constexpr char kQuestionText[] =
    "  Do You Want To Keep The StartUp Shortcut?\r\n\r\nYou Will Also Remove Your Hot Key Settings!";
constexpr char kVendorKey[] = "Software\\Zemrik Software";
// The message box's icon control: Wine gives it the id 1088, Windows 20.
constexpr int kWineIconId = 1088;
constexpr int kWindowsIconId = 20;

class MenuCloseProgram : public MenuTest {
 protected:
  // Chooses "Close Program" and waits for the question.
  std::optional<MessageBoxSeen> ChooseClose(Running& p) {
    auto menu = Click(p, WM_RBUTTONUP);
    if (!menu) {
      ADD_FAILURE() << "no command menu could be read";
      return std::nullopt;
    }
    if (!Choose(p, *menu, "Close Program")) {
      ADD_FAILURE() << "could not choose \"Close Program\"";
      return std::nullopt;
    }
    auto box = WaitForMessageBox(p.process, kQuestionTitle);
    if (!box) ADD_FAILURE() << "no message box \"" << kQuestionTitle << "\" appeared";
    return box;
  }
  // Answers the question and waits until the program has ended by itself.
  // Returns the time from the answer to the end, or nothing when it did not end.
  std::optional<Millis> AnswerAndWaitForTheEnd(Running& p, const MessageBoxSeen& box, int answer) {
    const auto answered = Clock::now();
    AnswerMessageBox(box.window, answer);
    if (!p.process.WaitForExit(5000ms)) return std::nullopt;
    return std::chrono::duration_cast<Millis>(Clock::now() - answered);
  }
};

// -------------------------------------------------------------- question

TEST_F(MenuCloseProgram, AsksWhetherToKeepTheStartUpShortcutWithYesAsDefault) {
  Running& p = StartProgram();
  auto box = ChooseClose(p);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, kQuestionText);
  HWND yes = GetDlgItem(box->window, IDYES);
  HWND no = GetDlgItem(box->window, IDNO);
  ASSERT_NE(yes, nullptr) << "no Yes button";
  ASSERT_NE(no, nullptr) << "no No button";
  EXPECT_EQ(WindowText(yes), "&Yes");
  EXPECT_EQ(WindowText(no), "&No");
  EXPECT_EQ(GetDlgItem(box->window, IDOK), nullptr) << "an OK button as well";
  EXPECT_EQ(GetDlgItem(box->window, IDCANCEL), nullptr) << "a Cancel button as well";
  EXPECT_EQ(GetWindowLongPtrA(yes, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON) << "Yes is not the default button";
  HWND icon = GetDlgItem(box->window, kWineIconId);
  if (icon == nullptr) icon = GetDlgItem(box->window, kWindowsIconId);
  EXPECT_TRUE(icon != nullptr && IsWindowVisible(icon)) << "the question has no icon";
  // Nothing has happened yet.
  EXPECT_TRUE(shell_->HasIcon(p.main, kTrayId));
  EXPECT_FALSE(shell_->DesktopVisible());
  EXPECT_TRUE(p.process.Running());
}

// ------------------------------------------------------- what is kept

TEST_F(MenuCloseProgram, YesKeepsTheAutostartEntryAndTheSettings) {
  Running& p = StartProgram();
  const auto autostart = ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
  ASSERT_TRUE(autostart) << "start-up wrote no autostart entry";
  const auto names = RegValueNames(HKEY_CURRENT_USER, kSettingsKey);
  ASSERT_FALSE(names.empty());
  auto box = ChooseClose(p);
  ASSERT_TRUE(box);
  ASSERT_TRUE(AnswerAndWaitForTheEnd(p, *box, IDYES)) << "the program did not end";
  EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue), autostart);
  EXPECT_EQ(RegValueNames(HKEY_CURRENT_USER, kSettingsKey), names);
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kSettingsKey, "Key"), "121");
}

// The program's own key goes with all its values; the maker's key above it,
// and what else lies there, stays.
TEST_F(MenuCloseProgram, NoRemovesTheAutostartEntryAndTheProgramsKey) {
  const std::string sibling = std::string(kVendorKey) + "\\Another Program";
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, sibling, "Kept", "yes"));
  Running& p = StartProgram();
  ASSERT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue)) << "start-up wrote no autostart entry";
  auto box = ChooseClose(p);
  ASSERT_TRUE(box);
  ASSERT_TRUE(AnswerAndWaitForTheEnd(p, *box, IDNO)) << "the program did not end";
  EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue)) << "the autostart entry is still there";
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kSettingsKey)) << "the settings key is still there";
  EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kVendorKey));
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, sibling, "Kept"), "yes");
}

// The entry may be under HKLM, under HKCU (a user who may not write HKLM), or
// both: No removes it wherever it is.
TEST_F(MenuCloseProgram, NoRemovesTheAutostartEntryUnderHklmAndHkcu) {
  const std::string entry = "\"" + GetPaths().installed + "\"";
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, entry));
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kRunKey, kRunValue, entry));
  Running& p = StartProgram();
  auto box = ChooseClose(p);
  ASSERT_TRUE(box);
  ASSERT_TRUE(AnswerAndWaitForTheEnd(p, *box, IDNO)) << "the program did not end";
  EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue)) << "the entry under HKLM is still there";
  EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, kRunKey, kRunValue)) << "the entry under HKCU is still there";
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kSettingsKey));
}

// No autostart entry to remove: the settings go all the same.
TEST_F(MenuCloseProgram, NoWithoutAnAutostartEntryStillRemovesTheSettings) {
  Running& p = StartProgram();
  DeleteRegValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
  auto box = ChooseClose(p);
  ASSERT_TRUE(box);
  ASSERT_TRUE(AnswerAndWaitForTheEnd(p, *box, IDNO)) << "the program did not end";
  EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue));
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kSettingsKey));
}

// ------------------------------------------------- the end, either answer

struct Answer {
  const char* name;
  int id;
};

void PrintTo(const Answer& a, std::ostream* os) { *os << a.name; }

class MenuCloseAnswered : public MenuCloseProgram, public ::testing::WithParamInterface<Answer> {};

TEST_P(MenuCloseAnswered, RemovesTheTrayIcon) {
  Running& p = StartProgram();
  auto box = ChooseClose(p);
  ASSERT_TRUE(box);
  AnswerMessageBox(box->window, GetParam().id);
  EXPECT_TRUE(WaitUntil([&] { return !shell_->HasIcon(p.main, kTrayId); })) << "the tray icon is still there";
  const auto requests = RequestsFrom(p.main);
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back().message, DWORD(NIM_DELETE));
  EXPECT_EQ(requests.back().id, kTrayId);
  EXPECT_EQ(requests.back().answer, 1) << "the taskbar did not know the icon";
  EXPECT_TRUE(p.process.WaitForExit(5000ms));
  EXPECT_EQ(shell_->IconCount(), 0);
}

TEST_P(MenuCloseAnswered, ShowsTheDesktop) {
  Running& p = StartProgram();
  auto box = ChooseClose(p);
  ASSERT_TRUE(box);
  AnswerMessageBox(box->window, GetParam().id);
  EXPECT_TRUE(WaitUntil([&] { return shell_->DesktopVisible(); })) << "the desktop was not shown";
  EXPECT_TRUE(p.process.WaitForExit(5000ms));
  EXPECT_TRUE(shell_->DesktopVisible());
  EXPECT_EQ(shell_->DesktopChanges(), 2);  // hidden at start-up, shown at the end
}

// The hot key is given up before the desktop comes back, so that a last press
// cannot hide it again after the program has gone. The desktop stand-in looks
// at the hot key at the very moment it is shown, while the program waits for it.
TEST_P(MenuCloseAnswered, FreesTheHotKeyBeforeShowingTheDesktop) {
  Running& p = StartProgram();
  auto box = ChooseClose(p);
  ASSERT_TRUE(box);
  auto heldAtShow = std::make_shared<std::atomic<int>>(-1);  // -1: not shown yet
  shell_->OnDesktopChange([heldAtShow](bool visible) {
    if (visible) *heldAtShow = HotKeyTaken(kNone, VK_F10) ? 1 : 0;
  });
  AnswerMessageBox(box->window, GetParam().id);
  EXPECT_TRUE(WaitUntil([&] { return *heldAtShow != -1; })) << "the desktop was not shown";
  shell_->OnDesktopChange(nullptr);
  EXPECT_EQ(*heldAtShow, 0) << "F10 was still registered when the desktop came back";
  EXPECT_TRUE(p.process.WaitForExit(5000ms));
  EXPECT_FALSE(HotKeyTaken(kNone, VK_F10));
}

// The process ends by itself about half a second after the answer (its timer),
// leaving no window behind. The time is printed; it is not a pass mark.
TEST_P(MenuCloseAnswered, EndsByItself) {
  Running& p = StartProgram();
  auto box = ChooseClose(p);
  ASSERT_TRUE(box);
  const auto took = AnswerAndWaitForTheEnd(p, *box, GetParam().id);
  ASSERT_TRUE(took) << "the program still runs 5 s after the answer";
  std::printf("[   TIME   ] the program ended %lld ms after the answer\n", static_cast<long long>(took->count()));
  std::fflush(stdout);
  RecordProperty("ms_from_answer_to_end", static_cast<int>(took->count()));
  EXPECT_EQ(p.process.ExitCode(), 0u);
  EXPECT_TRUE(VisibleWindowsOf(p.process.Id()).empty());
}

INSTANTIATE_TEST_SUITE_P(Menu, MenuCloseAnswered,
                         ::testing::Values(Answer{"Yes", IDYES}, Answer{"No", IDNO}),
                         [](const ::testing::TestParamInfo<Answer>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
