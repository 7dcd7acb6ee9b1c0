// The About window: how it looks, the hover link, the ways it closes, and the
// two web requests it carries (home page and donation), with and without a
// connection, each pause and wait on the window's timers so that the program
// answers throughout: a browser that never has the page, one that hangs, and
// the program ended in the middle.
#include <gtest/gtest.h>

#include <string>

#include "about/AboutWindow.h"
#include "app/CommandLine.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

using About = about::AboutWindow;
using platform::Colour;

constexpr char kCaption[] = "About Zemrik Tamberlinox";
constexpr char kLink[] = "GoTo My Home Page";
constexpr char kHomePage[] = "www.zemrik-software.example";
constexpr char kDonationPage[] =
    "https://pay.example/xclick/business=donate%40zemrik-software.example&no_note=1&tax=0&currency_code=USD";
constexpr Colour kWhite = Colour::Rgb(0xFF, 0xFF, 0xFF);

class AboutWindowTest : public RunningProgram {
 protected:
  void SetUp() override { Start(); }
  FakeWindow& Open(const char* command) {
    Command(command);
    EXPECT_NE(AboutWindow(), nullptr);
    return *AboutWindow();
  }
  FakeWindow& OpenAbout() { return Open("About----Version 5.1"); }
  FakeWindow& RequestDonation() { return Open("Make A Donation"); }
  // One second after it was asked for, the request runs; 100 ms after it the window goes.
  void RunRequest(FakeWindow& window) {
    EXPECT_EQ(window.timers[About::kRequestTimer].intervalMs, 1000u);
    repaintsBefore_ = window.repaints;
    EXPECT_TRUE(window.FireTimer(About::kRequestTimer));
  }
  // The pause timer ticks once, after this long.
  void Pause(FakeWindow& window, std::uint32_t ms) {
    EXPECT_EQ(window.timers[About::kPauseTimer].intervalMs, ms);
    EXPECT_TRUE(window.FireTimer(About::kPauseTimer));
  }
  // The connecting state is painted, 300 ms go by and the browser is started,
  // then waited for tick by tick (50 ms, 30 s at most) for at most this many ticks.
  void StartBrowser(FakeWindow& window) {
    ExpectConnecting(window);
    EXPECT_EQ(window.repaints, repaintsBefore_ + 1);  // painted before the pause
    EXPECT_EQ(os.browser.live, 0);
    Pause(window, 300);
    EXPECT_EQ(os.browser.live, 1);
    EXPECT_FALSE(window.TimerRunning(About::kPauseTimer));
    EXPECT_EQ(window.timers[About::kBrowserTimer].intervalMs, 50u);
    EXPECT_EQ(window.timers[About::kBrowserLimitTimer].intervalMs, 30000u);
  }
  int TickBrowser(FakeWindow& window, int ticks) {
    int ticked = 0;
    while (ticked < ticks && window.FireTimer(About::kBrowserTimer)) ++ticked;
    return ticked;
  }
  // The browser has the page (or the wait is over): 500 ms later the window hides.
  void AfterThePage(FakeWindow& window) {
    EXPECT_FALSE(window.TimerRunning(About::kBrowserTimer));
    EXPECT_FALSE(window.TimerRunning(About::kBrowserLimitTimer));
    EXPECT_EQ(os.browser.live, 0);
    ExpectConnecting(window);
    Pause(window, 500);
    EXPECT_EQ(window.caption, kCaption);
    EXPECT_FALSE(window.IsVisible(About::kConnectingLabel));
  }
  // All of a request with a browser that answers at once.
  void OpenPage(FakeWindow& window) {
    RunRequest(window);
    StartBrowser(window);
    EXPECT_GT(TickBrowser(window, 100), 0);
    AfterThePage(window);
  }
  void EndRequest(FakeWindow& window) {
    EXPECT_FALSE(window.shown);
    EXPECT_EQ(window.timers[About::kEndTimer].intervalMs, 100u);
    EXPECT_TRUE(window.FireTimer(About::kEndTimer));
    EXPECT_EQ(AboutWindow(), nullptr);
    EXPECT_FALSE(program.aboutWindow().HomePageRequested());
  }
  void ExpectConnecting(FakeWindow& window) {
    EXPECT_TRUE(window.shown);
    EXPECT_EQ(window.caption, "Internet Connection");
    EXPECT_TRUE(window.IsVisible(About::kConnectingLabel));
    for (int id : {About::kTextLabel, About::kHomePageLink, About::kCloseButton}) EXPECT_FALSE(window.IsVisible(id));
  }
  int repaintsBefore_ = 0;
  void ExpectAsDesigned(FakeWindow& window) {
    EXPECT_TRUE(window.shown);
    EXPECT_EQ(window.caption, kCaption);
    EXPECT_EQ(window.Text(About::kHomePageLink), kLink);
    EXPECT_EQ(window.ForeColour(About::kHomePageLink), kWhite);
    for (int id : {About::kTextLabel, About::kHomePageLink, About::kCloseButton}) EXPECT_TRUE(window.IsVisible(id));
    EXPECT_FALSE(window.IsVisible(About::kConnectingLabel));
    EXPECT_FALSE(window.TimerRunning(About::kRequestTimer));
    EXPECT_FALSE(window.TimerRunning(About::kEndTimer));
  }
  void ExpectNotConnectedNotice() {
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].text, "You Must Be Connected To The Internet To Use This Button");
    EXPECT_EQ(os.boxes[0].title, "Zemrik Info.....");
    EXPECT_EQ(os.boxes[0].flags, 64u);
    EXPECT_EQ(os.browser.created, 0);
  }
};

TEST_F(AboutWindowTest, TheLinkLightsUpUnderThePointerUntilItMovesOverTheWindowOrTheText) {
  FakeWindow& window = OpenAbout();
  ExpectAsDesigned(window);
  EXPECT_TRUE(window.MoveMouse(About::kHomePageLink));
  EXPECT_EQ(window.Text(About::kHomePageLink), "Click Here Now !!!");
  EXPECT_EQ(window.ForeColour(About::kHomePageLink), Colour::Rgb(0xFF, 0x00, 0xFF));
  EXPECT_FALSE(window.MoveMouse(About::kCloseButton));
  EXPECT_EQ(window.Text(About::kHomePageLink), "Click Here Now !!!");
  EXPECT_TRUE(window.MoveMouse(About::kTextLabel));
  EXPECT_EQ(window.Text(About::kHomePageLink), kLink);
  EXPECT_EQ(window.ForeColour(About::kHomePageLink), kWhite);
  EXPECT_TRUE(window.MoveMouse(About::kHomePageLink));
  EXPECT_TRUE(window.MoveMouse(0));
  EXPECT_EQ(window.Text(About::kHomePageLink), kLink);
  EXPECT_EQ(&OpenAbout(), &window);  // "About" again shows the same window
}

TEST_F(AboutWindowTest, CloseFormEscAndTheCloseBoxCloseTheWindow) {
  FakeWindow& window = OpenAbout();
  EXPECT_TRUE(window.Click(About::kCloseButton));
  EXPECT_FALSE(window.shown);  // at once, then two short pauses on the way
  Pause(window, 50);
  Pause(window, 50);
  EXPECT_EQ(AboutWindow(), nullptr);
  OpenAbout().PressEsc();  // "Close Form" too
  Pause(*AboutWindow(), 50);
  Pause(*AboutWindow(), 50);
  EXPECT_EQ(AboutWindow(), nullptr);
  // "About" again while it closes: it stays.
  EXPECT_TRUE(OpenAbout().Click(About::kCloseButton));
  Pause(*AboutWindow(), 50);
  ExpectAsDesigned(OpenAbout());
  AboutWindow()->Close();
  EXPECT_EQ(AboutWindow(), nullptr);
  OpenAbout().Close();
  EXPECT_EQ(AboutWindow(), nullptr);
  EXPECT_TRUE(os.browser.navigated.empty());
}

TEST_F(AboutWindowTest, TheLinkOpensTheHomePageAndTheNextOpeningIsAsDesigned) {
  FakeWindow& window = OpenAbout();
  EXPECT_TRUE(window.MoveMouse(About::kHomePageLink));
  EXPECT_TRUE(window.Click(About::kHomePageLink));
  EXPECT_FALSE(window.shown);
  EXPECT_EQ(os.browser.created, 0);
  OpenPage(window);
  EXPECT_EQ(os.browser.navigated, Texts{kHomePage});
  EXPECT_TRUE(os.browser.visible);
  EXPECT_EQ(window.showCount, 2);  // as About, then connecting
  EndRequest(window);
  ExpectAsDesigned(OpenAbout());
}

TEST_F(AboutWindowTest, MakeADonationShowsOnlyTheConnectingState) {
  FakeWindow& window = RequestDonation();
  EXPECT_FALSE(window.shown);
  OpenPage(window);
  EXPECT_EQ(os.browser.navigated, Texts{kDonationPage});
  EXPECT_EQ(window.showCount, 1);
  EXPECT_FALSE(program.aboutWindow().DonationRequested());
  EndRequest(window);
  ExpectAsDesigned(OpenAbout());  // nothing is left to surprise a later "About"
}

TEST_F(AboutWindowTest, WithoutAConnectionTheNoticeEndsTheRequestAndTheNextDonationGoesToItsPage) {
  os.connected = false;
  FakeWindow& window = OpenAbout();
  EXPECT_TRUE(window.Click(About::kHomePageLink));
  RunRequest(window);
  ExpectNotConnectedNotice();
  EndRequest(window);

  FakeWindow& donation = RequestDonation();
  RunRequest(donation);
  EXPECT_EQ(donation.showCount, 0);  // never shown at all
  EndRequest(donation);

  os.connected = true;
  OpenPage(RequestDonation());
  EXPECT_EQ(os.browser.navigated, Texts{kDonationPage});
}

TEST_F(AboutWindowTest, MakeADonationWhileTheWindowIsOpenOrEndingStartsTheRequestOnIt) {
  FakeWindow& window = OpenAbout();
  EXPECT_EQ(&RequestDonation(), &window);
  EXPECT_FALSE(window.shown);
  OpenPage(window);
  EXPECT_EQ(&RequestDonation(), &window);  // within the last 100 ms
  EXPECT_FALSE(window.TimerRunning(About::kEndTimer));
  OpenPage(window);
  EXPECT_EQ(os.browser.navigated, (Texts{kDonationPage, kDonationPage}));
  EndRequest(window);
}

// The notice waits for the user, and meanwhile the tray works.
TEST_F(AboutWindowTest, WhatTheUserAsksForWhileTheNoticeIsUpIsNotLost) {
  os.connected = false;
  FakeWindow& window = OpenAbout();
  EXPECT_TRUE(window.Click(About::kHomePageLink));
  os.AnswerBoxWith([this](const platform::ShownBox&) {
    OpenAbout();
    return platform::kIdOk;
  });
  RunRequest(window);
  ExpectAsDesigned(window);

  EXPECT_TRUE(window.Click(About::kHomePageLink));
  os.AnswerBoxWith([this](const platform::ShownBox&) {
    os.connected = true;
    RequestDonation();
    return platform::kIdOk;
  });
  RunRequest(window);
  EXPECT_FALSE(window.TimerRunning(About::kEndTimer));
  OpenPage(window);
  EXPECT_EQ(os.browser.navigated, Texts{kDonationPage});
  EndRequest(window);
}

// ------------------------------------------------ waiting for the browser

// The page never completes: the browser is read every tick while the program
// goes on answering, and shown when the 30 s are up.
TEST_F(AboutWindowTest, ABrowserThatNeverHasThePageIsShownWhenTheWaitEnds) {
  os.browser.readyStates = {1};
  FakeWindow& window = RequestDonation();
  RunRequest(window);
  StartBrowser(window);
  EXPECT_EQ(TickBrowser(window, 300), 300);
  EXPECT_TRUE(os.PressHotKey(0, 121));
  EXPECT_TRUE(DesktopVisible());
  EXPECT_FALSE(MenuOf(kRightClick).empty());
  EXPECT_EQ(TickBrowser(window, 300), 300);
  EXPECT_EQ(os.browser.readyStateReads, 599);
  EXPECT_FALSE(os.browser.visible);
  EXPECT_TRUE(window.FireTimer(About::kBrowserLimitTimer));
  EXPECT_TRUE(os.browser.visible);
  AfterThePage(window);
  EndRequest(window);
}

// A browser stuck inside a call is let go after 30 s; the request ends as
// after a page, and the browser never shows up afterwards.
TEST_F(AboutWindowTest, ABrowserThatHangsIsLetGoWhenTheWaitEnds) {
  os.browser.hangs = true;
  FakeWindow& window = OpenAbout();
  EXPECT_TRUE(window.Click(About::kHomePageLink));
  RunRequest(window);
  StartBrowser(window);
  EXPECT_EQ(TickBrowser(window, 100), 100);
  EXPECT_TRUE(window.FireTimer(About::kBrowserLimitTimer));
  EXPECT_EQ(os.browser.abandonedCalls, 1);
  AfterThePage(window);
  EndRequest(window);
  os.browser.hangs = false;
  EXPECT_FALSE(os.browser.visible);
  EXPECT_TRUE(os.browser.navigated.empty());
}

TEST_F(AboutWindowTest, WithoutABrowserToDriveTheShellOpensThePage) {
  os.browser.failCreation = true;
  FakeWindow& window = RequestDonation();
  RunRequest(window);
  StartBrowser(window);
  EXPECT_EQ(TickBrowser(window, 100), 1);
  ASSERT_EQ(os.shellOpens.size(), 1u);
  EXPECT_EQ(os.shellOpens[0].file, kDonationPage);
  AfterThePage(window);
  EndRequest(window);
}

// "About" during the wait: the window becomes the About window once the page
// is open. "Make A Donation" during the wait: its request follows.
TEST_F(AboutWindowTest, WhatTheUserAsksForDuringTheWaitFollowsIt) {
  os.browser.hangs = true;
  FakeWindow& window = RequestDonation();
  RunRequest(window);
  StartBrowser(window);
  EXPECT_EQ(&OpenAbout(), &window);
  ExpectConnecting(window);
  os.browser.hangs = false;
  EXPECT_EQ(TickBrowser(window, 100), 3);  // opened, read complete, shown
  Pause(window, 500);
  ExpectAsDesigned(window);

  os.browser.hangs = true;
  EXPECT_TRUE(window.Click(About::kHomePageLink));
  RunRequest(window);
  StartBrowser(window);
  EXPECT_EQ(&RequestDonation(), &window);
  ExpectConnecting(window);
  EXPECT_TRUE(window.FireTimer(About::kBrowserLimitTimer));
  AfterThePage(window);
  EXPECT_FALSE(window.shown);
  os.browser.hangs = false;
  OpenPage(window);
  EXPECT_EQ(os.browser.navigated, (Texts{kDonationPage, kDonationPage}));
  EndRequest(window);
}

// "Close Program", "/exit", a logoff or the window's close box during the
// wait end the request at once: the window goes, the browser is let go and
// never shows up; the program ends as usual.
enum class Ending { CloseProgram, Exit, Logoff, CloseBox };

class EndingDuringTheWait : public AboutWindowTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(EndingDuringTheWait, LetsTheBrowserGo) {
  os.browser.hangs = true;
  FakeWindow& window = RequestDonation();
  RunRequest(window);
  StartBrowser(window);
  EXPECT_EQ(TickBrowser(window, 10), 10);
  switch (GetParam()) {
    case Ending::CloseProgram:
      os.AnswerBox(platform::kIdYes);
      Command("Close Program");
      break;
    case Ending::Exit:
      main->Send(kRemoteCommandMessage, platform::WParam(RemoteCommand::Exit));
      break;
    case Ending::Logoff:
      main->Send(platform::kWmEndSession, 1);
      break;
    case Ending::CloseBox:
      window.Close();
      break;
  }
  EXPECT_EQ(AboutWindow(), nullptr);
  EXPECT_EQ(os.browser.live, 0);
  EXPECT_EQ(os.browser.abandonedCalls, 1);
  os.browser.hangs = false;
  EXPECT_FALSE(os.browser.visible);
  if (GetParam() == Ending::CloseBox) {
    EXPECT_TRUE(main->tray.added);
    return;
  }
  EXPECT_TRUE(DesktopVisible());
  EXPECT_TRUE(main->FireTimer(MainWindow::kShutdownTimer));
  EXPECT_TRUE(os.Windows().empty());
}

INSTANTIATE_TEST_SUITE_P(AboutWindowTest, EndingDuringTheWait,
                         ::testing::Values(Ending::CloseProgram, Ending::Exit, Ending::Logoff, Ending::CloseBox));

}  // namespace
}  // namespace tamberlinox::test
