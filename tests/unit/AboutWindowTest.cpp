// The About window: how it looks, the hover link, the ways it closes, and the
// two web requests it carries (home page and donation), with and without a
// connection, while the tray keeps working.
#include <gtest/gtest.h>

#include <string>

#include "about/AboutWindow.h"
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
    EXPECT_TRUE(window.FireTimer(About::kRequestTimer));
  }
  void EndRequest(FakeWindow& window) {
    EXPECT_FALSE(window.shown);
    EXPECT_EQ(window.timers[About::kEndTimer].intervalMs, 100u);
    EXPECT_TRUE(window.FireTimer(About::kEndTimer));
    EXPECT_EQ(AboutWindow(), nullptr);
    EXPECT_FALSE(program.aboutWindow().HomePageRequested());
  }
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
  EXPECT_TRUE(OpenAbout().Click(About::kCloseButton));
  EXPECT_EQ(AboutWindow(), nullptr);
  EXPECT_EQ(os.clockMs, 100u);  // two short pauses on the way
  OpenAbout().PressEsc();
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
  RunRequest(window);
  EXPECT_EQ(os.browser.navigated, Texts{kHomePage});
  EXPECT_TRUE(os.browser.visible);
  EXPECT_EQ(window.showCount, 2);  // as About, then connecting
  EXPECT_EQ(window.repaints, 1);   // the connecting state is painted before the waits
  EXPECT_EQ(os.clockMs, 800u);
  EXPECT_EQ(window.caption, kCaption);
  EndRequest(window);
  ExpectAsDesigned(OpenAbout());
}

TEST_F(AboutWindowTest, MakeADonationShowsOnlyTheConnectingState) {
  FakeWindow& window = RequestDonation();
  EXPECT_FALSE(window.shown);
  RunRequest(window);
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
  RunRequest(RequestDonation());
  EXPECT_EQ(os.browser.navigated, Texts{kDonationPage});
}

TEST_F(AboutWindowTest, MakeADonationWhileTheWindowIsOpenOrEndingStartsTheRequestOnIt) {
  FakeWindow& window = OpenAbout();
  EXPECT_EQ(&RequestDonation(), &window);
  EXPECT_FALSE(window.shown);
  RunRequest(window);
  EXPECT_EQ(&RequestDonation(), &window);  // within the last 100 ms
  EXPECT_FALSE(window.TimerRunning(About::kEndTimer));
  RunRequest(window);
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
  RunRequest(window);
  EXPECT_EQ(os.browser.navigated, Texts{kDonationPage});
  EndRequest(window);
}

}  // namespace
}  // namespace tamberlinox::test
