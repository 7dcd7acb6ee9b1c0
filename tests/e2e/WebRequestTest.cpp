// The web requests the About window carries: the home page (the link) and the
// donation page ("Make A Donation" in the tray menu). One second after it is
// asked for, a request checks the connection and either shows the notice that
// there is none, or shows the connecting state and opens the page in the
// browser; then the window goes.
//
// Where Wine differs from Windows:
// - Wine's own InternetGetConnectedState always answers "connected" (TRUE,
//   flags 0x12), network or not. These tests put the stand-in wininet.dll of
//   stubs/ beside the installed program and tell Wine to load wininet.dll as a
//   native DLL for Tamberlinox.exe, so that the test decides the answer.
//   WINEDLLOVERRIDES cannot say that for one started program only: Wine takes
//   the DLL load order from the Unix environment a process starts with, and a
//   variable the harness sets in its Windows environment does not reach it
//   (measured: the child still loads the builtin wininet). Wine's per-program
//   overrides in the registry (HKCU\Software\Wine\AppDefaults\<exe>\DllOverrides,
//   the same setting as "wininet=n" for that program) do, and the test puts
//   them there only for as long as it runs.
// - "InternetExplorer.Application" is Wine's own browser: it starts an "IEFrame"
//   window in a process of its own (iexplore.exe) after about a second; its
//   ReadyState fails at once (E_NOTIMPL), so the program's wait for the page
//   ends at the first read; it never loads the page (no network, no Gecko
//   here), but its address bar shows the address it was given.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramWindows.h"
#include "StubProtocol.h"

namespace e2e {
namespace {

constexpr char kNotConnected[] = "You Must Be Connected To The Internet To Use This Button";
constexpr char kDonationAddress[] =
    "https://pay.example/xclick/business=donate%40zemrik-software.example&no_note=1&tax=0&currency_code=USD";
constexpr char kHomePageAddress[] = "www.zemrik-software.example";
constexpr char kConnectingText[] = "  Connecting   Please Wait";

class WebRequest : public TrayProgramTest {
 protected:
  void SetUp() override {
    TrayProgramTest::SetUp();
    if (HasFatalFailure()) return;
    const std::string stub = GetPaths().installFolder + "wininet.dll";
    ASSERT_TRUE(CopyFileA((HarnessFolder() + "stubs\\wininet.dll").c_str(), stub.c_str(), FALSE))
        << "could not put the stand-in wininet.dll beside the program (error " << GetLastError() << ")";
    stub_ = stub;
    override_ = std::make_unique<ScopedRegString>(HKEY_CURRENT_USER, kOverrideKey, "wininet", "native");
    ASSERT_TRUE(override_->Written()) << "could not set Wine's DLL override for the program";
    SetConnection(false);
    MoveMouseTo(Outside());
  }

  void TearDown() override {
    TrayProgramTest::TearDown();
    // Only these tests run the program with the stand-in.
    override_.reset();
    DeleteRegTree(HKEY_CURRENT_USER, kProgramDefaultsKey);
    if (!stub_.empty()) {
      EXPECT_TRUE(DeleteFileA(stub_.c_str())) << "the stand-in wininet.dll stays behind";
    }
  }

  // What the stand-in wininet.dll answers from now on.
  static void SetConnection(bool connected, DWORD flags = 0x12) {
    WriteRegString(HKEY_CURRENT_USER, kWininetKey, "Connected", connected ? "1" : "0");
    WriteRegString(HKEY_CURRENT_USER, kWininetKey, "Flags", std::to_string(flags));
  }
  static std::string StubRecord(const char* name) {
    return ReadRegString(HKEY_CURRENT_USER, kWininetKey, name).value_or("");
  }

  HWND OpenAbout(Running& r) { return OpenForm(r, "About", kAboutCaption); }
  // A point of the screen that no window of the test covers.
  static POINT Outside() { return POINT{ScreenRect().right - 20, ScreenRect().bottom - 20}; }
  static void ClickLink(HWND about) { ClickMouseAt(CentreOf(about, kAboutLink)); }

  // A browser window that was not there when the test began, once it is
  // visible with an address.
  HWND WaitForNewBrowser(Millis timeout = 15000ms) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
          for (HWND b : BrowserWindows()) {
            if (std::find(browsersBefore_.begin(), browsersBefore_.end(), b) != browsersBefore_.end()) continue;
            // Wine's browser fills in its address bar before it is made visible.
            if (IsWindowVisible(b) && !BrowserAddress(b).empty()) {
              found = b;
              return true;
            }
          }
          return false;
        },
        timeout);
    return found;
  }
  size_t NewBrowserCount() const {
    size_t n = 0;
    for (HWND b : BrowserWindows()) {
      if (std::find(browsersBefore_.begin(), browsersBefore_.end(), b) == browsersBefore_.end()) ++n;
    }
    return n;
  }

  // Waits for the not-connected notice and answers it.
  void AnswerNotice(Running& r) {
    auto notice = WaitForMessageBox(r.process, kInfoTitle);
    ASSERT_TRUE(notice) << "no notice \"" << kInfoTitle << "\"";
    EXPECT_EQ(notice->text, kNotConnected);
    AnswerMessageBox(notice->window, IDOK);
  }
  // The request is over when the program has no About window left, shown or not.
  static bool WaitUntilRequestEnded(Running& r) {
    return WaitUntil([&] { return !FormExists(r.process, kAboutCaption) && !FormExists(r.process, kConnectingCaption); },
                     15000ms);
  }
  // The connecting state: the window shown with "Internet Connection" and the
  // connecting label in place of the text, the link and the button.
  static void ExpectConnecting(HWND window) {
    EXPECT_EQ(WindowText(window), kConnectingCaption);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(ControlShown(window, kAboutConnecting)) << "the connecting label is hidden";
    EXPECT_EQ(ControlText(window, kAboutConnecting), kConnectingText);
    EXPECT_FALSE(ControlShown(window, kAboutText)) << "the explanatory text is shown";
    EXPECT_FALSE(ControlShown(window, kAboutLink)) << "the link is shown";
    EXPECT_FALSE(ControlShown(window, kAboutClose)) << "\"Close Form\" is shown";
  }
  // The browser shows this address; closed, its process ends; the request then
  // ends and the program still runs.
  void ExpectBrowserWithAddress(Running& r, const std::string& address) {
    HWND browser = WaitForNewBrowser();
    ASSERT_NE(browser, nullptr) << "no visible browser window with an address appeared";
    EXPECT_EQ(BrowserAddress(browser), address);
    EXPECT_EQ(NewBrowserCount(), 1u);
    EXPECT_TRUE(CloseBrowser(browser)) << "the browser did not end on WM_CLOSE";
    EXPECT_TRUE(WaitUntilRequestEnded(r)) << "the About window is still there";
    EXPECT_TRUE(r.process.Running());
  }

  static constexpr char kProgramDefaultsKey[] = "Software\\Wine\\AppDefaults\\Tamberlinox.exe";
  static constexpr char kOverrideKey[] = "Software\\Wine\\AppDefaults\\Tamberlinox.exe\\DllOverrides";
  std::string stub_;
  std::unique_ptr<ScopedRegString> override_;
};

// ------------------------------------------------------- not connected

// The link hides the window at once; the connection is checked a second later
// (never earlier: a timer cannot fire early), then the notice; once it is
// answered the window goes and nothing was opened.
TEST_F(WebRequest, LinkWithoutAConnectionShowsTheNoticeAfterASecond) {
  Running& r = StartProgram();
  HWND about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  const auto clicked = Clock::now();
  ClickLink(about);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); })) << "the window stays visible after the click";
  auto notice = WaitForMessageBox(r.process, kInfoTitle);
  const auto waited = std::chrono::duration_cast<Millis>(Clock::now() - clicked);
  ASSERT_TRUE(notice) << "no notice \"" << kInfoTitle << "\"";
  EXPECT_GE(waited.count(), 950) << "the connection was checked before the second was over";
  EXPECT_EQ(notice->title, kInfoTitle);
  EXPECT_EQ(notice->text, kNotConnected);
  EXPECT_EQ(StubRecord("Calls"), "1") << "the program did not ask the stand-in wininet.dll, or asked more than once";
  EXPECT_EQ(StubRecord("Reserved"), "0");
  EXPECT_EQ(StubRecord("Caller"), GetPaths().installed);
  EXPECT_TRUE(IsWindow(about)) << "the window went before the notice was answered";

  AnswerMessageBox(notice->window, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "the About window did not go after the notice";
  EXPECT_TRUE(r.process.Running());
  EXPECT_EQ(NewBrowserCount(), 0u);
}

// "Make A Donation" never shows the window when there is no connection.
TEST_F(WebRequest, DonationWithoutAConnectionShowsOnlyTheNotice) {
  Running& r = StartProgram();
  ASSERT_TRUE(ChooseCommand(r, "Make A Donation"));
  // Watched until the notice is up, at every poll.
  bool shown = false;
  HWND notice = nullptr;
  WaitUntil([&] {
    shown = shown || FindForm(r.process, kAboutCaption) || FindForm(r.process, kConnectingCaption);
    for (HWND box : r.process.FindWindowsByClass("#32770")) {
      if (IsWindowVisible(box) && WindowText(box) == kInfoTitle) notice = box;
    }
    return notice != nullptr;
  });
  ASSERT_NE(notice, nullptr) << "no notice \"" << kInfoTitle << "\"";
  EXPECT_EQ(ControlText(notice, 0xFFFF), kNotConnected);
  EXPECT_FALSE(shown) << "the About window was shown";
  EXPECT_TRUE(FormExists(r.process, kAboutCaption)) << "the request runs without its (hidden) window";
  AnswerMessageBox(notice, IDOK);
  EXPECT_TRUE(WaitUntilRequestEnded(r));
  EXPECT_TRUE(r.process.Running());
  EXPECT_EQ(NewBrowserCount(), 0u);
}

// The tray works while the notice is up. "About" then shows the window the
// request ran on, and it stays as an About window with its link back.
TEST_F(WebRequest, AboutOpenedWhileTheNoticeIsUpStaysWithItsLink) {
  Running& r = StartProgram();
  HWND about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  ClickLink(about);
  auto notice = WaitForMessageBox(r.process, kInfoTitle);
  ASSERT_TRUE(notice);
  // Away from where the link will be, so that it shows its own text.
  ASSERT_TRUE(MoveMouseUntil(Outside(), [] { return true; }));
  ASSERT_EQ(OpenAbout(r), about) << "\"About\" did not show the window the request ran on";
  AnswerMessageBox(notice->window, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(notice->window); }));
  EXPECT_TRUE(WaitUntil([&] { return ControlShown(about, kAboutLink); })) << "the link did not come back";
  EXPECT_EQ(ControlText(about, kAboutLink), "GoTo My Home Page");
  EXPECT_TRUE(IsWindow(about) && IsWindowVisible(about)) << "the About window went with the notice";
  EXPECT_EQ(WindowText(about), kAboutCaption);
  EXPECT_TRUE(ControlShown(about, kAboutClose));
  PostClick(about, kAboutClose);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
}

// "Make A Donation" while the notice is up arms a new request on the same
// window; answering the notice does not cut it short.
TEST_F(WebRequest, DonationAskedForWhileTheNoticeIsUpStillRuns) {
  Running& r = StartProgram();
  HWND about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  ClickLink(about);
  auto notice = WaitForMessageBox(r.process, kInfoTitle);
  ASSERT_TRUE(notice);
  SetConnection(true);
  ASSERT_TRUE(ChooseCommand(r, "Make A Donation"));
  ASSERT_TRUE(WaitUntil([&] { return menus_->WaitForMenu(r.process, 0ms) == nullptr; }));
  AnswerMessageBox(notice->window, IDOK);
  HWND connecting = WaitForForm(r.process, kConnectingCaption);
  ASSERT_EQ(connecting, about) << "the donation request did not run on the window";
  ExpectBrowserWithAddress(r, kDonationAddress);
}

// ----------------------------------------------------------- connected

TEST_F(WebRequest, DonationWithAConnectionShowsTheConnectingStateAndOpensTheDonationPage) {
  SetConnection(true);
  Running& r = StartProgram();
  ASSERT_TRUE(ChooseCommand(r, "Make A Donation"));
  HWND connecting = WaitForForm(r.process, kConnectingCaption);
  ASSERT_NE(connecting, nullptr) << "the connecting state was never shown";
  ExpectConnecting(connecting);
  ExpectBrowserWithAddress(r, kDonationAddress);
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true)) << "F10 no longer works after the request";
}

// Wine's browser shows the bare host name as "http://<host>/".
TEST_F(WebRequest, LinkWithAConnectionOpensTheHomePage) {
  SetConnection(true);
  Running& r = StartProgram();
  HWND about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  ClickLink(about);
  HWND connecting = WaitForForm(r.process, kConnectingCaption);
  ASSERT_EQ(connecting, about) << "the connecting state is not shown on the About window";
  ExpectConnecting(connecting);
  ExpectBrowserWithAddress(r, std::string("http://") + kHomePageAddress + "/");
}

// A request ends with the home page forgotten even when there was no
// connection: the next "Make A Donation" opens the donation page.
TEST_F(WebRequest, RequestWithoutAConnectionForgetsTheHomePage) {
  Running& r = StartProgram();
  HWND about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  ClickLink(about);
  AnswerNotice(r);
  ASSERT_TRUE(WaitUntilRequestEnded(r));

  SetConnection(true);
  ASSERT_TRUE(ChooseCommand(r, "Make A Donation"));
  ExpectBrowserWithAddress(r, kDonationAddress);
}

// "Make A Donation" while the About window is open runs the request on that
// window at once.
TEST_F(WebRequest, DonationWhileTheAboutWindowIsOpenStartsOnThatWindow) {
  SetConnection(true);
  Running& r = StartProgram();
  HWND about = OpenAbout(r);
  ASSERT_NE(about, nullptr);
  ASSERT_TRUE(ChooseCommand(r, "Make A Donation"));
  HWND connecting = WaitForForm(r.process, kConnectingCaption);
  ASSERT_EQ(connecting, about) << "the request did not start on the open About window";
  ExpectConnecting(connecting);
  ExpectBrowserWithAddress(r, kDonationAddress);
}

// Every answer with a connection opens the page, whatever its flags say: the
// modem, offline and remote-access bits leave the description empty, and it
// still counts as connected.
class ConnectionFlags : public WebRequest, public ::testing::WithParamInterface<DWORD> {};

TEST_P(ConnectionFlags, OpenThePage) {
  SetConnection(true, GetParam());
  Running& r = StartProgram();
  ASSERT_TRUE(ChooseCommand(r, "Make A Donation"));
  ASSERT_NE(WaitForForm(r.process, kConnectingCaption), nullptr);
  ExpectBrowserWithAddress(r, kDonationAddress);
  EXPECT_EQ(StubRecord("Calls"), "1");
}

INSTANTIATE_TEST_SUITE_P(WebRequest, ConnectionFlags, ::testing::Values(DWORD(0x00), DWORD(0x01), DWORD(0x30),
                                                                         DWORD(0x46)),
                         [](const ::testing::TestParamInfo<DWORD>& info) {
                           char name[16];
                           wsprintfA(name, "Flags0x%02X", unsigned(info.param));
                           return std::string(name);
                         });

// ---------------------------------------------- without the browser object

enum class Page { HomePage, Donation };

void PrintTo(Page page, std::ostream* os) { *os << (page == Page::HomePage ? "HomePage" : "Donation"); }

// Where the browser object cannot be created, the address goes to the default
// browser through the shell, with "http://" put before a bare host name. The
// test takes the object away by pointing its ProgID at a class that does not
// exist, and makes the stand-in browser the shell's command for http and
// https. Both are machine-wide keys (HKLM\Software\Classes) of the test's own
// Wine prefix, put back when the test ends. Where Wine differs from Windows: a
// per-user class under HKCU\Software\Classes does not override the machine's
// in Wine 8 (measured: CLSIDFromProgID still gives the machine's CLSID), so the
// per-user keys that would be enough on Windows change nothing here.
class WithoutTheBrowserObject : public WebRequest, public ::testing::WithParamInterface<Page> {
 protected:
  void SetUp() override {
    WebRequest::SetUp();
    if (HasFatalFailure()) return;
    const std::string browser = "\"" + HarnessFolder() + "stubs\\e2e_browser.exe\" \"%1\"";
    classes_.push_back(std::make_unique<ScopedRegString>(HKEY_LOCAL_MACHINE,
                                                         "Software\\Classes\\InternetExplorer.Application\\CLSID", "",
                                                         "{E2E40000-0000-0000-0000-00000000E2E4}"));
    for (const char* scheme : {"http", "https"}) {
      classes_.push_back(std::make_unique<ScopedRegString>(
          HKEY_LOCAL_MACHINE, std::string("Software\\Classes\\") + scheme + "\\shell\\open\\command", "", browser));
    }
    for (const auto& c : classes_) ASSERT_TRUE(c->Written()) << "could not change the shell's classes";
  }
  void TearDown() override {
    WebRequest::TearDown();
    classes_.clear();
  }
  static std::string Opened(const char* name) {
    return ReadRegString(HKEY_CURRENT_USER, kBrowserKey, name).value_or("");
  }

  std::vector<std::unique_ptr<ScopedRegString>> classes_;
};

TEST_P(WithoutTheBrowserObject, TheShellOpensTheAddress) {
  SetConnection(true);
  Running& r = StartProgram();
  if (GetParam() == Page::HomePage) {
    HWND about = OpenAbout(r);
    ASSERT_NE(about, nullptr);
    ClickLink(about);
  } else {
    ASSERT_TRUE(ChooseCommand(r, "Make A Donation"));
  }
  ASSERT_NE(WaitForForm(r.process, kConnectingCaption), nullptr);
  ASSERT_TRUE(WaitUntil([] { return !Opened("Count").empty(); }, 15000ms)) << "the shell opened nothing";
  EXPECT_EQ(Opened("Opened1"), GetParam() == Page::HomePage ? std::string("http://") + kHomePageAddress
                                                            : std::string(kDonationAddress));
  EXPECT_TRUE(WaitUntilRequestEnded(r));
  EXPECT_EQ(Opened("Count"), "1");
  EXPECT_EQ(NewBrowserCount(), 0u);
  EXPECT_TRUE(r.process.Running());
}

INSTANTIATE_TEST_SUITE_P(WebRequest, WithoutTheBrowserObject, ::testing::Values(Page::HomePage, Page::Donation),
                         [](const ::testing::TestParamInfo<Page>& info) {
                           return std::string(info.param == Page::HomePage ? "HomePage" : "Donation");
                         });

// ------------------------------------------- a browser that keeps it waiting

// The program waits for the browser without ever holding its own thread: the
// browser's calls run on a thread of their own, the pauses on timers. Wine's
// browser cannot be made to keep the program waiting (its ReadyState fails at
// once), so these tests register a stand-in automation server
// (stubs/e2e_automation.exe, a local COM server) as the class of
// "InternetExplorer.Application" in the machine's classes of the test's Wine
// prefix, put back when the test ends; the stand-in either never has the page
// or hangs inside its first ReadyState read, as a browser stuck on a dialog or
// a dead network drive would.
class WebRequestKeptWaiting : public WebRequest {
 protected:
  void SetUp() override {
    WebRequest::SetUp();
    if (HasFatalFailure()) return;
    DeleteRegTree(HKEY_CURRENT_USER, kAutomationKey);
    const std::string server = "\"" + HarnessFolder() + "stubs\\e2e_automation.exe\"";
    classes_.push_back(std::make_unique<ScopedRegString>(
        HKEY_LOCAL_MACHINE, "Software\\Classes\\InternetExplorer.Application\\CLSID", "", kAutomationClass));
    classes_.push_back(
        std::make_unique<ScopedRegString>(HKEY_LOCAL_MACHINE, ServerKey() + "\\LocalServer32", "", server));
    for (const auto& c : classes_) ASSERT_TRUE(c->Written()) << "could not register the stand-in browser";
    SetConnection(true);
  }
  void TearDown() override {
    WebRequest::TearDown();
    // A hung stand-in waits for ever: it ends with the test.
    if (const std::string pid = Record("Pid"); !pid.empty()) {
      UniqueHandle server(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, DWORD(std::stoul(pid))));
      if (server && WaitForSingleObject(server.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(server.Get(), 1);
        WaitForSingleObject(server.Get(), 5000);
      }
    }
    classes_.clear();
    DeleteRegTree(HKEY_LOCAL_MACHINE, ServerKey());
    DeleteRegTree(HKEY_CURRENT_USER, kAutomationKey);
  }

  static std::string ServerKey() { return std::string("Software\\Classes\\CLSID\\") + kAutomationClass; }
  static void SetMode(const char* mode) { WriteRegString(HKEY_CURRENT_USER, kAutomationKey, "Mode", mode); }
  static std::string Record(const char* name) {
    return ReadRegString(HKEY_CURRENT_USER, kAutomationKey, name).value_or("");
  }
  // "Make A Donation", then the connecting window once the stand-in is asked
  // for the page's state (and, in "Hang", is stuck answering).
  HWND StartWaiting(Running& r, const char* mode) {
    SetMode(mode);
    if (!ChooseCommand(r, "Make A Donation")) return nullptr;
    HWND connecting = WaitForForm(r.process, kConnectingCaption);
    connectingSeen_ = Clock::now();
    EXPECT_NE(connecting, nullptr) << "the connecting state was never shown";
    const bool asked = WaitUntil(
        [&] { return std::string(mode) == "Hang" ? Record("Hanging") == "1" : !Record("Reads").empty(); }, 15000ms);
    EXPECT_TRUE(asked) << "the stand-in browser was never asked for the page's state";
    EXPECT_EQ(Record("Navigated"), kDonationAddress);
    return asked ? connecting : nullptr;
  }
  // Whether the program has let go of the stand-in's object.
  static bool WaitUntilReleased() { return WaitUntil([] { return Record("Released") == "1"; }); }
  // Both tray menus open within a second, and close again.
  void ExpectTrayMenusAnswer(Running& r) {
    for (UINT click : {UINT(WM_RBUTTONUP), UINT(WM_LBUTTONUP)}) {
      ClickTray(r.main, click);
      HWND menu = menus_->WaitForMenu(r.process, 1000ms);
      EXPECT_NE(menu, nullptr) << "no menu within a second of a " << (click == WM_RBUTTONUP ? "right" : "left")
                               << " click";
      if (menu == nullptr) continue;
      menus_->Close(menu);
      EXPECT_TRUE(WaitUntil([&] { return menus_->WaitForMenu(r.process, 0ms) == nullptr; }));
    }
  }

  std::vector<std::unique_ptr<ScopedRegString>> classes_;
  Clock::time_point connectingSeen_;
};

// While the browser hangs, F10 and both tray menus answer at once. After 30 s
// the program stops waiting: the window goes, the browser is never shown, and
// the program goes on; "/exit" still ends it promptly, its browser thread
// still stuck inside the call.
TEST_F(WebRequestKeptWaiting, AHungBrowserHoldsNothingAndIsGivenUpAfterThirtySeconds) {
  Running& r = StartProgram();
  HWND connecting = StartWaiting(r, "Hang");
  ASSERT_NE(connecting, nullptr);
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true, 1000ms)) << "F10 did not answer within a second";
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, false, 1000ms)) << "F10 did not answer within a second";
  ExpectTrayMenusAnswer(r);
  ExpectConnecting(connecting);

  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(connecting); }, 40000ms)) << "the program never stopped waiting";
  // 300 ms after the window was shown the wait began; it ends 30 s later, then 500 ms more.
  const auto waited = std::chrono::duration_cast<Millis>(Clock::now() - connectingSeen_);
  EXPECT_GE(waited.count(), 30000) << "the wait was given up early";
  EXPECT_EQ(Record("Hanging"), "1");
  EXPECT_NE(Record("Visible"), "1") << "the hung browser was shown";
  EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true, 1000ms)) << "F10 no longer works";

  Running& exit = Launch(GetPaths().installed, "/exit", false);
  EXPECT_TRUE(exit.process.WaitForExit(5000ms));
  EXPECT_EQ(exit.process.ExitCode(), 0u);
  EXPECT_TRUE(r.process.WaitForExit(2000ms)) << "the program did not end on \"/exit\"";
}

enum class Ending { Exit, Logoff, CloseProgram, CloseBox, ExitWhileLoading };

constexpr const char* kEndingNames[] = {"Exit", "Logoff", "CloseProgram", "CloseBox", "ExitWhileLoading"};
void PrintTo(Ending e, std::ostream* os) { *os << kEndingNames[int(e)]; }

class EndingTheWait : public WebRequestKeptWaiting, public ::testing::WithParamInterface<Ending> {};

// "/exit", a logoff or "Close Program" while the browser hangs end the program
// at once, as usual, with the icons shown. The window's close box ends the
// request. A browser that answers but never has its page is let go and never
// shown, and is told to quit (nobody could see or close it), also when the
// program ends; its stand-in ends once released.
TEST_P(EndingTheWait, EndsItAtOnce) {
  Running& r = StartProgram();
  const bool answers = GetParam() == Ending::CloseBox || GetParam() == Ending::ExitWhileLoading;
  HWND connecting = StartWaiting(r, answers ? "NeverReady" : "Hang");
  ASSERT_NE(connecting, nullptr);
  switch (GetParam()) {
    case Ending::Exit:
    case Ending::ExitWhileLoading: {
      Running& exit = Launch(GetPaths().installed, "/exit", false);
      EXPECT_TRUE(exit.process.WaitForExit(5000ms));
      break;
    }
    case Ending::Logoff: {
      DWORD_PTR answer = 0;
      EXPECT_TRUE(SendMessageTimeoutA(r.main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 1000, &answer));
      EXPECT_EQ(answer, 1u);
      EXPECT_TRUE(SendMessageTimeoutA(r.main, WM_ENDSESSION, 1, ENDSESSION_LOGOFF, SMTO_NORMAL, 1000, &answer))
          << "the program did not answer WM_ENDSESSION within a second";
      break;
    }
    case Ending::CloseProgram: {
      ASSERT_TRUE(ChooseCommand(r, "Close Program"));
      auto question = WaitForMessageBox(r.process, kInfoTitle, 1000ms);
      ASSERT_TRUE(question) << "no question within a second of \"Close Program\"";
      AnswerMessageBox(question->window, IDYES);
      break;
    }
    case Ending::CloseBox:
      PostMessageA(connecting, WM_SYSCOMMAND, SC_CLOSE, 0);
      EXPECT_TRUE(WaitUntil([&] { return !IsWindow(connecting); }, 1000ms)) << "the window did not close";
      EXPECT_TRUE(WaitUntilReleased()) << "the browser was never released";
      EXPECT_EQ(Record("Quit"), "1") << "the browser, never shown, was not told to quit";
      EXPECT_NE(Record("Visible"), "1") << "the browser was shown";
      EXPECT_TRUE(r.process.Running());
      EXPECT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true, 1000ms)) << "F10 no longer works";
      return;
  }
  EXPECT_TRUE(r.process.WaitForExit(2000ms)) << "the program did not end";
  EXPECT_TRUE(WaitUntil([&] { return shell_->DesktopVisible(); }, 1000ms)) << "the program ended with the icons hidden";
  EXPECT_NE(Record("Visible"), "1") << "the browser was shown";
  EXPECT_EQ(Record("Quit"), answers ? "1" : "") << "a browser never shown and answering is told to quit before the end";
}

INSTANTIATE_TEST_SUITE_P(WebRequest, EndingTheWait,
                         ::testing::Values(Ending::Exit, Ending::Logoff, Ending::CloseProgram, Ending::CloseBox,
                                           Ending::ExitWhileLoading),
                         [](const ::testing::TestParamInfo<Ending>& info) {
                           std::ostringstream name;
                           PrintTo(info.param, &name);
                           return name.str();
                         });

// A browser that has its page is shown, and is then the user's: let go of, never told to quit.
TEST_F(WebRequestKeptWaiting, AShownBrowserIsTheUsers) {
  Running& r = StartProgram();
  ASSERT_NE(StartWaiting(r, "Complete"), nullptr);
  EXPECT_TRUE(WaitUntilRequestEnded(r));
  EXPECT_TRUE(WaitUntilReleased()) << "the browser was never released";
  EXPECT_EQ(Record("Visible"), "1") << "the browser was not shown";
  EXPECT_EQ(Record("Quit"), "") << "the browser the user sees was told to quit";
}

}  // namespace
}  // namespace e2e
