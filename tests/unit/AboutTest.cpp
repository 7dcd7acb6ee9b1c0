// The About window on the fake system: its design state, the hover link, the
// two web requests it carries (home page and donation) with and without a
// connection, its timers, and the ways it closes.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AutoHide.h"
#include "app/Program.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox {
namespace {

using namespace platform;

using About = AboutForm;

const std::string kCaption = "About Zemrik Tamberlinox";
const std::string kConnectingCaption = "Internet Connection";
const std::string kLink = "GoTo My Home Page";
const std::string kLinkHover = "Click Here Now !!!";
const std::string kHome = "www.zemrik-software.example";
const std::string kDonation =
    "https://pay.example/xclick/business=donate%40zemrik-software.example&no_note=1&tax=0&currency_code=USD";
const std::string kNotConnected = "You Must Be Connected To The Internet To Use This Button";
const std::string kInfoTitle = "Zemrik Info.....";
constexpr Colour kWhite = Colour::Rgb(0xFF, 0xFF, 0xFF);
constexpr Colour kMagenta = Colour::Rgb(0xFF, 0x00, 0xFF);

class AboutTest : public ::testing::Test {
 protected:
  AboutTest() {
    os.AddWindow("Progman", "Program Manager", true);
    program = std::make_unique<Program>(os);
    AutoHide::Main(*program);
    os.ClearLogs();
  }
  ~AboutTest() override {
    program.reset();
    EXPECT_EQ(os.LiveWebBrowsers(), 0u);
    EXPECT_EQ(os.OpenRegistryKeys(), 0u);
    EXPECT_EQ(os.Faults(), std::vector<std::string>{});
  }

  // The user picks the command-menu entry whose caption begins with this text.
  void Choose(const std::string& start) {
    os.SetPopupChooser(platform::ChooseCaption(start, false));
    EXPECT_TRUE(os.ClickTrayIcon(kWmRButtonUp));
    EXPECT_TRUE(!os.Popups().empty() && os.Popups().back().chosen != -1)
        << "no \"" << start << "\" in the command menu";
  }

  // The About window while it exists, else null.
  FakeForm* Window() const {
    const Form* form = program->frmAbout.form();
    return form ? os.FormByHandle(form->Handle()) : nullptr;
  }
  FakeForm& OpenAbout() {
    Choose("About");
    EXPECT_NE(Window(), nullptr);
    return *Window();
  }

  // Everything that makes the design state, checked at once.
  void ExpectDesignState(const FakeForm& w) const {
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(w.Caption(), kCaption);
    EXPECT_EQ(w.Text(About::Label2), kLink);
    EXPECT_EQ(w.ForeColour(About::Label2), kWhite);
    EXPECT_TRUE(w.IsVisible(About::Label1));
    EXPECT_TRUE(w.IsVisible(About::Label2));
    EXPECT_FALSE(w.IsVisible(About::Label5));
    EXPECT_TRUE(w.IsVisible(About::Command1));
    EXPECT_FALSE(w.TimerEnabled(About::Timer1));
    EXPECT_FALSE(w.TimerEnabled(About::Timer2));
  }

  // The state of the window at each pause, by the pause's length.
  struct Moment {
    std::uint32_t pause;
    bool loaded, visible;
    std::string caption;
    bool label1, label2, label5, command1;
    int refreshes;
    std::size_t navigations;
    std::size_t browserShown;
  };
  void RecordPauses(std::vector<Moment>& moments) {
    os.SetSleepCallback([this, &moments](std::uint32_t pause) {
      const FakeForm* w = Window();
      if (!w) {
        moments.push_back({pause, false, false, "", false, false, false, false, 0, 0, 0});
        return;
      }
      moments.push_back({pause, true, w->Visible(), w->Caption(), w->IsVisible(About::Label1),
                         w->IsVisible(About::Label2), w->IsVisible(About::Label5), w->IsVisible(About::Command1),
                         w->RefreshCount(), os.Navigations().size(), os.BrowserVisibleSettings().size()});
    });
  }

  FakePlatform os;
  std::unique_ptr<Program> program;
};

// --------------------------------------------------- design state, hovering

TEST_F(AboutTest, AboutOpensInTheDesignStateEveryTime) {
  FakeForm& w = OpenAbout();
  ExpectDesignState(w);
  EXPECT_EQ(w.TimerInterval(About::Timer2), 1000u);
  EXPECT_EQ(w.TimerInterval(About::Timer1), 100u);
  EXPECT_EQ(w.Text(About::Label5), "  Connecting   Please Wait");
  EXPECT_EQ(w.Text(About::Command1), "Close Form");

  // Hovered, then closed: the next opening is a fresh window.
  EXPECT_TRUE(os.MouseMove(w, About::Label2));
  EXPECT_TRUE(os.CloseBox(w));
  EXPECT_EQ(Window(), nullptr);
  ExpectDesignState(OpenAbout());
  EXPECT_TRUE(os.MessageBoxes().empty());
  EXPECT_EQ(os.ConnectionChecks(), 0);
}

TEST_F(AboutTest, AboutWhileOpenShowsTheSameWindowAsItIs) {
  FakeForm& w = OpenAbout();
  EXPECT_TRUE(os.MouseMove(w, About::Label2));
  const WindowHandle handle = w.Handle();
  Choose("About");
  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(Window()->Handle(), handle);
  EXPECT_EQ(Window()->Text(About::Label2), kLinkHover);  // not loaded again
  EXPECT_EQ(os.LiveForms(), 2u);
}

TEST_F(AboutTest, TheLinkLightsUpUnderThePointerOnly) {
  FakeForm& w = OpenAbout();

  EXPECT_TRUE(os.MouseMove(w, About::Label2));
  EXPECT_EQ(w.Text(About::Label2), kLinkHover);
  EXPECT_EQ(w.ForeColour(About::Label2), kMagenta);
  EXPECT_TRUE(os.MouseMove(w, About::Label2));  // again: no change
  EXPECT_EQ(w.Text(About::Label2), kLinkHover);

  EXPECT_TRUE(os.MouseMove(w));  // the background
  EXPECT_EQ(w.Text(About::Label2), kLink);
  EXPECT_EQ(w.ForeColour(About::Label2), kWhite);
  EXPECT_TRUE(os.MouseMove(w));
  EXPECT_EQ(w.Text(About::Label2), kLink);

  EXPECT_TRUE(os.MouseMove(w, About::Label2));
  EXPECT_TRUE(os.MouseMove(w, About::Label1));  // the explanatory text counts as background
  EXPECT_EQ(w.Text(About::Label2), kLink);
  EXPECT_EQ(w.ForeColour(About::Label2), kWhite);

  // The button has no hover of its own, and leaving the window changes nothing:
  // the link stays lit until the pointer crosses the background or the text.
  EXPECT_TRUE(os.MouseMove(w, About::Label2));
  EXPECT_FALSE(os.MouseMove(w, About::Command1));
  EXPECT_EQ(w.Text(About::Label2), kLinkHover);
  EXPECT_EQ(w.ForeColour(About::Label2), kMagenta);

  // Whatever else changed the link, a move over the background rewrites both.
  w.SetText(About::Label2, "something else");
  w.SetForeColour(About::Label2, Colour::System(kColorHighlightText));
  EXPECT_TRUE(os.MouseMove(w));
  EXPECT_EQ(w.Text(About::Label2), kLink);
  EXPECT_EQ(w.ForeColour(About::Label2), kWhite);
  EXPECT_TRUE(os.MessageBoxes().empty());
}

// ------------------------------------------------------------------ closing

TEST_F(AboutTest, CloseFormHidesPausesPutsTheTextBackPausesAndUnloads) {
  FakeForm& w = OpenAbout();
  std::vector<Moment> moments;
  RecordPauses(moments);

  EXPECT_TRUE(os.Click(w, About::Command1));

  ASSERT_EQ(moments.size(), 2u);
  EXPECT_EQ(moments[0].pause, 50u);
  EXPECT_TRUE(moments[0].loaded);
  EXPECT_FALSE(moments[0].visible);  // gone from the screen at once
  EXPECT_EQ(moments[1].pause, 50u);
  EXPECT_TRUE(moments[1].loaded);
  EXPECT_FALSE(moments[1].visible);
  EXPECT_FALSE(moments[1].label5);
  EXPECT_TRUE(moments[1].label1);
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(os.LiveForms(), 1u);
  EXPECT_FALSE(program->DonationRequested);
  EXPECT_FALSE(program->HomePageRequested);
}

TEST_F(AboutTest, EscPressesCloseForm) {
  FakeForm& w = OpenAbout();
  EXPECT_TRUE(os.PressEsc(w));
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(os.Sleeps(), (std::vector<std::uint32_t>{50, 50}));
}

TEST_F(AboutTest, TheCloseBoxUnloadsAtOnce) {
  FakeForm& w = OpenAbout();
  EXPECT_TRUE(os.CloseBox(w));
  EXPECT_EQ(Window(), nullptr);
  EXPECT_TRUE(os.Sleeps().empty());
  EXPECT_EQ(os.ConnectionChecks(), 0);
}

// ---------------------------------------------------------- the home page

TEST_F(AboutTest, TheLinkOpensTheHomePageOneSecondLater) {
  FakeForm& w = OpenAbout();
  EXPECT_TRUE(os.MouseMove(w, About::Label2));
  EXPECT_TRUE(os.Click(w, About::Label2));

  // Armed: out of sight, nothing asked yet, and only Timer2 can fire.
  EXPECT_FALSE(w.Visible());
  EXPECT_TRUE(program->HomePageRequested);
  EXPECT_TRUE(w.TimerEnabled(About::Timer2));
  EXPECT_FALSE(os.FireTimer(w, About::Timer1));
  EXPECT_EQ(os.ConnectionChecks(), 0);
  EXPECT_TRUE(os.Navigations().empty());

  std::vector<Moment> moments;
  RecordPauses(moments);
  EXPECT_TRUE(os.FireTimer(w, About::Timer2));

  EXPECT_EQ(os.ConnectionChecks(), 1);
  EXPECT_EQ(os.Navigations(), std::vector<std::string>{kHome});
  EXPECT_EQ(os.BrowserVisibleSettings(), std::vector<bool>{true});
  EXPECT_TRUE(os.MessageBoxes().empty());
  ASSERT_EQ(moments.size(), 2u);
  // The connecting state is on the screen, painted, before the first pause.
  EXPECT_EQ(moments[0].pause, 300u);
  EXPECT_TRUE(moments[0].visible);
  EXPECT_EQ(moments[0].caption, kConnectingCaption);
  EXPECT_TRUE(moments[0].label5);
  EXPECT_FALSE(moments[0].label1);
  EXPECT_FALSE(moments[0].label2);
  EXPECT_FALSE(moments[0].command1);
  EXPECT_GE(moments[0].refreshes, 1);
  EXPECT_EQ(moments[0].navigations, 0u);
  // The page is open and shown before the second pause.
  EXPECT_EQ(moments[1].pause, 500u);
  EXPECT_TRUE(moments[1].visible);
  EXPECT_EQ(moments[1].navigations, 1u);
  EXPECT_EQ(moments[1].browserShown, 1u);

  // Ending: hidden, put back together, and gone 100 ms later.
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.Caption(), kCaption);
  EXPECT_FALSE(w.IsVisible(About::Label5));
  EXPECT_TRUE(w.IsVisible(About::Label1));
  EXPECT_TRUE(w.IsVisible(About::Command1));
  EXPECT_FALSE(w.TimerEnabled(About::Timer2));
  EXPECT_TRUE(w.TimerEnabled(About::Timer1));
  EXPECT_FALSE(program->HomePageRequested);
  EXPECT_FALSE(program->DonationRequested);
  EXPECT_EQ(w.ShowCount(), 2);  // by "About", and in the connecting state

  EXPECT_TRUE(os.FireTimer(w, About::Timer1));
  EXPECT_EQ(Window(), nullptr);

  // A new "About" starts from the design state again.
  ExpectDesignState(OpenAbout());
}

TEST_F(AboutTest, TheLinkWithoutAConnectionShowsTheNoticeAndTheNextDonationGoesToTheDonationPage) {
  os.SetConnection(false, 0x42);
  FakeForm& w = OpenAbout();
  EXPECT_TRUE(os.Click(w, About::Label2));
  bool visibleDuringNotice = true;
  os.SetMessageBoxResponder([&](const MessageBoxCall&) {
    visibleDuringNotice = Window() && Window()->Visible();
    return kIdOk;
  });
  EXPECT_TRUE(os.FireTimer(w, About::Timer2));

  ASSERT_EQ(os.MessageBoxes().size(), 1u);
  EXPECT_EQ(os.MessageBoxes()[0].text, kNotConnected);
  EXPECT_EQ(os.MessageBoxes()[0].title, kInfoTitle);
  EXPECT_EQ(os.MessageBoxes()[0].flags, 64u);
  EXPECT_FALSE(visibleDuringNotice);
  EXPECT_EQ(os.WebBrowsersCreated(), 0);
  EXPECT_TRUE(os.ShellExecuteCalls().empty());
  EXPECT_TRUE(os.Sleeps().empty());
  EXPECT_FALSE(program->HomePageRequested);  // the request is over, connected or not
  EXPECT_FALSE(w.Visible());
  EXPECT_FALSE(w.TimerEnabled(About::Timer2));
  EXPECT_TRUE(w.TimerEnabled(About::Timer1));
  EXPECT_TRUE(os.FireTimer(w, About::Timer1));
  EXPECT_EQ(Window(), nullptr);

  os.SetConnection(true, 0x02);
  Choose("Make A Donation");
  ASSERT_NE(Window(), nullptr);
  EXPECT_TRUE(os.FireTimer(*Window(), About::Timer2));
  EXPECT_EQ(os.Navigations(), std::vector<std::string>{kDonation});
  EXPECT_FALSE(program->HomePageRequested);
}

// ------------------------------------------------------------ the donation

TEST_F(AboutTest, MakeADonationWithAConnectionShowsOnlyTheConnectingState) {
  Choose("Make A Donation");
  FakeForm* w = Window();
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(w->Visible());
  EXPECT_TRUE(program->DonationRequested);
  EXPECT_TRUE(w->TimerEnabled(About::Timer2));
  EXPECT_FALSE(w->TimerEnabled(About::Timer1));
  EXPECT_EQ(os.ConnectionChecks(), 0);

  std::vector<Moment> moments;
  RecordPauses(moments);
  EXPECT_TRUE(os.FireTimer(*w, About::Timer2));

  EXPECT_FALSE(program->DonationRequested);
  EXPECT_EQ(os.Navigations(), std::vector<std::string>{kDonation});
  // Shown once, and then already in the connecting state: never with the explanatory text.
  EXPECT_EQ(w->ShowCount(), 1);
  ASSERT_FALSE(moments.empty());
  EXPECT_TRUE(moments[0].visible);
  EXPECT_FALSE(moments[0].label1);
  EXPECT_TRUE(moments[0].label5);
  EXPECT_FALSE(w->Visible());
  EXPECT_TRUE(os.FireTimer(*w, About::Timer1));
  EXPECT_EQ(Window(), nullptr);

  // The flag is spent: the next "About" is a plain About window.
  FakeForm& again = OpenAbout();
  ExpectDesignState(again);
  EXPECT_EQ(os.Navigations().size(), 1u);
}

TEST_F(AboutTest, MakeADonationWithoutAConnectionNeverShowsTheWindow) {
  os.SetConnection(false, 0);
  Choose("Make A Donation");
  FakeForm* w = Window();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(os.FireTimer(*w, About::Timer2));

  ASSERT_EQ(os.MessageBoxes().size(), 1u);
  EXPECT_EQ(os.MessageBoxes()[0].text, kNotConnected);
  EXPECT_EQ(w->ShowCount(), 0);
  EXPECT_FALSE(program->DonationRequested);
  EXPECT_FALSE(program->HomePageRequested);
  EXPECT_EQ(os.WebBrowsersCreated(), 0);
  EXPECT_TRUE(os.FireTimer(*w, About::Timer1));
  EXPECT_EQ(Window(), nullptr);
}

TEST_F(AboutTest, MakeADonationWhileAboutIsOpenStartsTheRequestOnThatWindow) {
  FakeForm& w = OpenAbout();
  const WindowHandle handle = w.Handle();
  Choose("Make A Donation");

  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(Window()->Handle(), handle);
  EXPECT_FALSE(w.Visible());
  EXPECT_TRUE(program->DonationRequested);
  EXPECT_TRUE(w.TimerEnabled(About::Timer2));

  EXPECT_TRUE(os.FireTimer(w, About::Timer2));
  EXPECT_EQ(os.Navigations(), std::vector<std::string>{kDonation});
  EXPECT_FALSE(program->DonationRequested);
  EXPECT_TRUE(os.FireTimer(w, About::Timer1));
  EXPECT_EQ(Window(), nullptr);

  // Nothing left over to surprise a later "About".
  FakeForm& later = OpenAbout();
  EXPECT_FALSE(later.TimerEnabled(About::Timer2));
  EXPECT_EQ(os.Navigations().size(), 1u);
}

TEST_F(AboutTest, MakeADonationWhileARequestIsEndingRunsAnotherOne) {
  Choose("Make A Donation");
  FakeForm* w = Window();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(os.FireTimer(*w, About::Timer2));
  ASSERT_TRUE(w->TimerEnabled(About::Timer1));

  Choose("Make A Donation");  // within the last 100 ms
  ASSERT_EQ(Window(), w);
  EXPECT_FALSE(w->TimerEnabled(About::Timer1));
  EXPECT_TRUE(w->TimerEnabled(About::Timer2));
  EXPECT_TRUE(os.FireTimer(*w, About::Timer2));
  EXPECT_EQ(os.Navigations(), (std::vector<std::string>{kDonation, kDonation}));
  EXPECT_TRUE(os.FireTimer(*w, About::Timer1));
  EXPECT_EQ(Window(), nullptr);
}

TEST_F(AboutTest, MakeADonationWhileTheNoticeIsUpIsNotLost) {
  // The notice is modal only to itself: the tray still works while it is up.
  // The user connects and asks for the donation page before dismissing it.
  os.SetConnection(false, 0);
  FakeForm& w = OpenAbout();
  EXPECT_TRUE(os.Click(w, About::Label2));
  os.SetMessageBoxResponder([this](const MessageBoxCall&) {
    os.SetMessageBoxResponder(nullptr);
    os.SetConnection(true, 0x02);
    Choose("Make A Donation");
    return kIdOk;
  });
  EXPECT_TRUE(os.FireTimer(w, About::Timer2));

  // The donation request is armed on the window; no unloading may cut it short.
  ASSERT_EQ(Window(), &w);
  EXPECT_TRUE(program->DonationRequested);
  EXPECT_TRUE(w.TimerEnabled(About::Timer2));
  EXPECT_FALSE(w.TimerEnabled(About::Timer1));
  EXPECT_TRUE(os.FireTimer(w, About::Timer2));
  EXPECT_EQ(os.Navigations(), std::vector<std::string>{kDonation});
  EXPECT_TRUE(os.FireTimer(w, About::Timer1));
  EXPECT_EQ(Window(), nullptr);
}

TEST_F(AboutTest, AboutChosenWhileTheNoticeIsUpStaysWithItsLink) {
  os.SetConnection(false, 0);
  FakeForm& w = OpenAbout();
  EXPECT_TRUE(os.MouseMove(w, About::Label2));
  EXPECT_TRUE(os.Click(w, About::Label2));
  os.SetMessageBoxResponder([this](const MessageBoxCall&) {
    Choose("About");
    return kIdOk;
  });
  EXPECT_TRUE(os.FireTimer(w, About::Timer2));

  // The user asked for the About window: it is not taken away, and it is whole again.
  ASSERT_EQ(Window(), &w);
  ExpectDesignState(w);
  EXPECT_FALSE(program->HomePageRequested);
  EXPECT_TRUE(os.Click(w, About::Command1));
  EXPECT_EQ(Window(), nullptr);
}

TEST_F(AboutTest, ClosingTheWindowWhileTheNoticeIsUpEndsEverything) {
  os.SetConnection(false, 0);
  FakeForm& w = OpenAbout();
  EXPECT_TRUE(os.Click(w, About::Label2));
  os.SetMessageBoxResponder([this](const MessageBoxCall&) {
    program->frmAbout.Unload();  // the program closing, for instance
    return kIdOk;
  });
  EXPECT_TRUE(os.FireTimer(w, About::Timer2));
  EXPECT_EQ(Window(), nullptr);
  EXPECT_FALSE(program->HomePageRequested);
}

// --------------------------------------------------- the browser's failures

TEST_F(AboutTest, WithoutTheBrowserObjectTheRequestStillEndsAndUnloads) {
  os.FailWebBrowserCreation();
  FakeForm& w = OpenAbout();
  EXPECT_TRUE(os.Click(w, About::Label2));
  EXPECT_TRUE(os.FireTimer(w, About::Timer2));

  EXPECT_EQ(os.ShellExecuteCalls(), (std::vector<ShellExecuteCall>{
                                        {0, "open", "http://" + kHome, std::nullopt, std::nullopt, kSwShowNormal}}));
  EXPECT_FALSE(program->HomePageRequested);
  EXPECT_TRUE(os.FireTimer(w, About::Timer1));
  EXPECT_EQ(Window(), nullptr);
}

TEST_F(AboutTest, ABrowserThatNeverFinishesHoldsTheRequestForAboutThirtySeconds) {
  os.SetReadyStates({{true, 1}});
  Choose("Make A Donation");
  FakeForm* w = Window();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(os.FireTimer(*w, About::Timer2));
  // 300 ms before, 500 ms after, and the bounded wait between.
  EXPECT_GE(os.TotalSleepMs(), 800u + 29950u);
  EXPECT_LE(os.TotalSleepMs(), 800u + 30050u);
  EXPECT_EQ(os.BrowserVisibleSettings(), std::vector<bool>{true});
  EXPECT_TRUE(w->TimerEnabled(About::Timer1));
}

}  // namespace
}  // namespace tamberlinox
