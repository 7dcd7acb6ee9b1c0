// The end of the session (logoff, shutdown) and an installer's restart manager
// closing the program, as the system tells the main window: WM_QUERYENDSESSION
// is answered yes, and WM_ENDSESSION ends the program tidily (icons shown, tray
// icon removed, hot key freed) without a question and with settings and
// autostart entry kept; a session end that was called off changes nothing.
// The messages are sent by the harness the way the system sends them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Fixtures.h"

namespace e2e {
namespace {

class SessionEnd : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(GetPaths().setupError.empty()) << GetPaths().setupError;
  }
  // Starts the program on a desktop with the classic icon list and waits
  // until start-up is done.
  Running& StartProgram() {
    shell_->SetLayout(DesktopLayout::kClassic);
    return StartUntilReady(GetPaths().installed, Hides::kIcons);
  }
  // Sends the message and returns the answer; nothing when the program did
  // not answer within 5 s (a question it asked would hold it).
  static std::optional<LRESULT> Send(HWND main, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(main, message, wParam, lParam, SMTO_NORMAL, 5000, &answer)) return std::nullopt;
    return LRESULT(answer);
  }
  static bool Deleted(const TrayRequest& r) { return r.message == NIM_DELETE && r.id == kTrayId && r.answer == 1; }
};

TEST_F(SessionEnd, QueryEndSessionIsAnsweredYesAndChangesNothing) {
  Running& p = StartProgram();
  EXPECT_EQ(Send(p.main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 1);
  EXPECT_TRUE(shell_->HasIcon(p.main, kTrayId));
  EXPECT_FALSE(shell_->IconsVisible());
  EXPECT_TRUE(p.process.Running());
}

struct Ending {
  const char* name;
  LPARAM lParam;
};

void PrintTo(const Ending& e, std::ostream* os) { *os << e.name; }

class SessionEnds : public SessionEnd, public ::testing::WithParamInterface<Ending> {};

TEST_P(SessionEnds, ProgramEndsTidilyWithoutAQuestion) {
  Running& p = StartProgram();
  const auto autostart = ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
  ASSERT_TRUE(autostart) << "start-up wrote no autostart entry";
  ASSERT_EQ(Send(p.main, WM_QUERYENDSESSION, 0, GetParam().lParam), 1);
  ASSERT_TRUE(Send(p.main, WM_ENDSESSION, TRUE, GetParam().lParam)) << "WM_ENDSESSION was not answered within 5 s";
  EXPECT_TRUE(p.process.FindWindowsByClass("#32770").empty()) << "the program asked something";
  EXPECT_FALSE(HotKeyTaken(kNone, VK_F10)) << "F10 is still held";
  EXPECT_TRUE(WaitForIcons(true)) << "the icons were not shown";
  EXPECT_TRUE(WaitUntil([&] { return !shell_->HasIcon(p.main, kTrayId); })) << "the tray icon is still there";
  const auto requests = RequestsFrom(p.main);
  EXPECT_TRUE(!requests.empty() && Deleted(requests.back()));
  EXPECT_TRUE(p.process.WaitForExit(5000ms)) << "the program did not end by itself";
  EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue), autostart);
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kSettingsKey, "Key"), "121");
}

INSTANTIATE_TEST_SUITE_P(Session, SessionEnds,
                         ::testing::Values(Ending{"Shutdown", 0}, Ending{"Logoff", LPARAM(ENDSESSION_LOGOFF)},
                                           Ending{"InstallerClosesTheProgram", ENDSESSION_CLOSEAPP}),
                         [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

// Another program refused the end of the session: the system tells the
// others it was called off (wParam FALSE), and the program goes on as before.
TEST_F(SessionEnd, CalledOffSessionEndChangesNothing) {
  Running& p = StartProgram();
  ASSERT_EQ(Send(p.main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 1);
  ASSERT_TRUE(Send(p.main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF));
  EXPECT_TRUE(shell_->HasIcon(p.main, kTrayId));
  EXPECT_FALSE(shell_->IconsVisible());
  EXPECT_EQ(shell_->AllChanges(), 1);  // the start-up's
  EXPECT_TRUE(PressAndWaitForIcons(kNone, VK_F10, true)) << "F10 no longer works";
  for (const TrayRequest& r : RequestsFrom(p.main)) EXPECT_FALSE(Deleted(r)) << "the tray icon was removed";
  EXPECT_TRUE(p.process.Running());
}

// A polite request to end, as taskkill without /f makes it (WM_CLOSE to the
// program's windows), ends the program as the end of a session does: nothing
// forces it, so the icons come back.
TEST_F(SessionEnd, TaskkillWithoutForceEndsTheProgramTidily) {
  Running& p = StartProgram();
  Process taskkill = Process::Start("C:\\windows\\system32\\taskkill.exe", "/pid " + std::to_string(p.process.Id()));
  ASSERT_TRUE(taskkill.WaitForExit(10000ms)) << "taskkill did not end";
  EXPECT_TRUE(WaitForIcons(true)) << "the icons were not shown";
  EXPECT_TRUE(p.process.WaitForExit(5000ms)) << "the program did not end";
  EXPECT_TRUE(p.process.FindWindowsByClass("#32770").empty()) << "the program asked something";
  EXPECT_FALSE(shell_->HasIcon(p.main, kTrayId)) << "the tray icon is still there";
  EXPECT_FALSE(HotKeyTaken(kNone, VK_F10)) << "F10 is still held";
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kSettingsKey, "Key"), "121");
  EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue)) << "the autostart entry went";
}

}  // namespace
}  // namespace e2e
