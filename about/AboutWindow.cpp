#include "about/AboutWindow.h"

#include <string>

#include "platform/ResourceIds.h"

namespace tamberlinox::about {

using namespace platform;

namespace {

constexpr char kCaption[] = "About Zemrik Tamberlinox";
constexpr char kConnectingCaption[] = "Internet Connection";
constexpr char kLinkText[] = "GoTo My Home Page";
constexpr char kLinkHoverText[] = "Click Here Now !!!";
constexpr char kConnectingText[] = "  Connecting   Please Wait";
constexpr char kCloseText[] = "Close Form";
constexpr char kNotConnectedText[] = "You Must Be Connected To The Internet To Use This Button";
constexpr char kNotConnectedTitle[] = "Zemrik Info.....";
constexpr std::uint32_t kEndIntervalMs = 100;
constexpr std::uint32_t kRequestIntervalMs = 1000;
constexpr std::uint32_t kConnectingPauseMs = 300;  // the connecting state is up before the browser starts
constexpr std::uint32_t kPageOpenedPauseMs = 500;  // and stays a little after it has the page
constexpr std::uint32_t kClosePauseMs = 50;
constexpr Colour kWhite = Colour::Rgb(0xFF, 0xFF, 0xFF);
constexpr Colour kBlack = Colour::Rgb(0x00, 0x00, 0x00);
constexpr Colour kMagenta = Colour::Rgb(0xFF, 0x00, 0xFF);

// One text; the run of blanks pushes its second paragraph onto later lines.
std::string Explanation() {
  return "I hope you find this program useful and enjoy using it. I wrote it so that I would not have to look at "
         "all the ugly icons scattered all over the desktop, but still wanted to have access to the shortcuts. :-)" +
         std::string(157, ' ') +
         "If you like the program and would like to make a contribution to help defray the cost of developing, "
         "maintaining and posting the program, click on the  option located at the top of the program options list.";
}

ControlSpec Label(int id, std::string text, Rect bounds, Font font, Colour colour, TextAlign align) {
  ControlSpec label;
  label.id = id;
  label.kind = ControlKind::Label;
  label.text = std::move(text);
  label.bounds = bounds;
  label.font = font;
  label.transparent = true;
  label.align = align;
  label.foreColour = colour;
  return label;
}

// The window keeps its picture design in high contrast: its texts are fixed
// white on its own dark picture, readable whatever the user's scheme. Only the
// notice that takes the system's highlight text colour (black in some
// schemes, which vanishes on the picture) is white then.
WindowSpec Layout(bool highContrast) {
  WindowSpec spec;
  spec.caption = kCaption;
  spec.clientWidth = 333;
  spec.clientHeight = 233;
  spec.frame = Frame::Fixed;
  spec.icon = IDI_FORMS;
  spec.backgroundPicture = IDB_ABOUT_BACK;

  ControlSpec text = Label(AboutWindow::kTextLabel, Explanation(), {8, 8, 329, 153}, {9.75, false, false}, kWhite,
                           TextAlign::Left);
  text.notifyMouse = true;
  ControlSpec link = Label(AboutWindow::kHomePageLink, kLinkText, {0, 160, 329, 25}, {18, true, true}, kWhite,
                           TextAlign::Centre);
  link.notifyMouse = true;
  ControlSpec connecting = Label(AboutWindow::kConnectingLabel, kConnectingText, {0, 16, 329, 121},
                                 {36, true, false}, highContrast ? kWhite : Colour::System(kColorHighlightText),
                                 TextAlign::Centre);
  connecting.visible = false;

  ControlSpec close;
  close.id = AboutWindow::kCloseButton;
  close.kind = ControlKind::Button;
  close.text = kCloseText;
  close.bounds = {80, 192, 161, 33};
  close.font = {18, true, false};
  close.backColour = kWhite;
  // Its caption in a fixed black on the fixed white, as on the usual scheme,
  // where the scheme's button text colour may be white.
  close.foreColour = kBlack;
  close.picture = IDB_ABOUT_BUTTON;
  close.cancel = true;  // Esc closes the window like the button

  spec.controls = {text, link, connecting, close};
  return spec;
}

}  // namespace

bool AboutWindow::Open() {
  if (window_) return true;
  window_ = os_.OpenWindow(Layout(os_.HighContrast()), *this);
  if (!window_) return false;
  if (donationRequested_) window_->StartTimer(kRequestTimer, kRequestIntervalMs);
  return true;
}

bool AboutWindow::InRequest() const {
  return stage_ == Stage::Connecting || stage_ == Stage::Browsing || stage_ == Stage::PageOpened;
}

void AboutWindow::Show() {
  if (!Open()) return;
  if (InRequest()) {
    aboutWanted_ = true;  // shown already; it turns into the About window when the request is over
  } else if (stage_ != Stage::None || window_->TimerRunning(kEndTimer)) {
    // Closing, or about to go after a request: it stays, as designed.
    window_->StopTimer(kPauseTimer);
    window_->StopTimer(kEndTimer);
    stage_ = Stage::None;
    ShowAsDesigned();
  }
  window_->Show();
}

void AboutWindow::RequestDonation() {
  donationRequested_ = true;
  if (!window_) {
    Open();  // not shown: the request is armed as the window opens
    return;
  }
  // A request under way runs to its end; this one follows it.
  if (InRequest()) return;
  // Already open: the request starts on this window now, rather than leaving
  // the flag to surprise the user at a later "About".
  window_->Hide();
  window_->StopTimer(kPauseTimer);  // "Close Form" under way gives way to the request
  stage_ = Stage::None;
  ShowAsDesigned();
  window_->StopTimer(kEndTimer);  // a request that was ending gives way to this one
  window_->StartTimer(kRequestTimer, kRequestIntervalMs);
}

void AboutWindow::Close() {
  browser_.reset();
  stage_ = Stage::None;
  aboutWanted_ = false;
  // Moved out first: whatever runs while the window is destroyed sees it closed.
  std::unique_ptr<Window> closing = std::move(window_);
}

void AboutWindow::AbandonRequest() {
  if (window_ && (InRequest() || window_->TimerRunning(kRequestTimer))) Close();
}

void AboutWindow::OnCloseButton() {
  window_->Hide();
  stage_ = Stage::Closing;
  window_->StartTimer(kPauseTimer, kClosePauseMs);
}

void AboutWindow::OnHomePageLink() {
  window_->Hide();
  homePageRequested_ = true;
  window_->StartTimer(kRequestTimer, kRequestIntervalMs);
}

void AboutWindow::ShowLinkAtRest() {
  window_->SetForeColour(kHomePageLink, kWhite);
  window_->SetText(kHomePageLink, kLinkText);
}

void AboutWindow::ShowLinkHovered() {
  window_->SetForeColour(kHomePageLink, kMagenta);
  window_->SetText(kHomePageLink, kLinkHoverText);
}

void AboutWindow::ShowAsDesigned() {
  window_->SetCaption(kCaption);
  window_->SetVisible(kConnectingLabel, false);
  window_->SetVisible(kTextLabel, true);
  ShowLinkAtRest();
  window_->SetVisible(kHomePageLink, true);
  window_->SetVisible(kCloseButton, true);
}

void AboutWindow::RunRequest() {
  donationRequested_ = false;
  window_->StopTimer(kRequestTimer);
  window_->SetVisible(kHomePageLink, false);

  if (ConnectionStatusText(os_) == kNotConnected) {
    os_.ShowMessage(kNotConnectedText, kNotConnectedTitle, kMbOk | kMbIconInformation);
    // Whichever page was asked for, the request is over: a later "Make A
    // Donation" must open the donation page, not this home page.
    homePageRequested_ = false;
    // While the notice was up the tray kept working: the window may have
    // gone, "Make A Donation" may have armed a new request on it (or run it
    // already), which closing must not cut short, or "About" may have shown
    // it, and then it stays as an About window with its link.
    if (!window_ || window_->TimerRunning(kRequestTimer) || stage_ != Stage::None) return;
    if (window_->Visible()) {
      ShowLinkAtRest();
      window_->SetVisible(kHomePageLink, true);
      return;
    }
    window_->StartTimer(kEndTimer, kEndIntervalMs);
    return;
  }

  // Connecting: shown with the notice instead of the text, painted before the pauses.
  window_->SetCaption(kConnectingCaption);
  window_->SetVisible(kCloseButton, false);
  window_->SetVisible(kTextLabel, false);
  window_->SetVisible(kConnectingLabel, true);
  window_->Show();
  window_->Repaint();
  stage_ = Stage::Connecting;
  window_->StartTimer(kPauseTimer, kConnectingPauseMs);
}

void AboutWindow::OnPause() {
  window_->StopTimer(kPauseTimer);
  switch (stage_) {
    case Stage::Connecting:
      StartBrowser();
      break;
    case Stage::PageOpened:
      EndRequest();
      break;
    case Stage::Closing:
      window_->SetVisible(kConnectingLabel, false);
      window_->SetVisible(kTextLabel, true);
      stage_ = Stage::LabelsBack;
      window_->StartTimer(kPauseTimer, kClosePauseMs);
      break;
    case Stage::LabelsBack:
      Close();
      break;
    case Stage::None:
    case Stage::Browsing:
      break;
  }
}

void AboutWindow::StartBrowser() {
  address_ = homePageRequested_ ? kHomePageAddress : kDonationAddress;
  homePageRequested_ = false;
  stage_ = Stage::Browsing;
  browser_ = std::make_unique<BrowserOpening>(os_);
  const BrowserOpening::Progress progress = browser_->Start(address_);
  if (progress != BrowserOpening::Progress::Waiting) {
    OnBrowserProgress(progress);
    return;
  }
  window_->StartTimer(kBrowserTimer, BrowserOpening::kTickMs);
  window_->StartTimer(kBrowserLimitTimer, BrowserOpening::kLimitMs);
}

void AboutWindow::OnBrowserProgress(BrowserOpening::Progress progress) {
  if (progress == BrowserOpening::Progress::Waiting) return;
  window_->StopTimer(kBrowserTimer);
  window_->StopTimer(kBrowserLimitTimer);
  browser_.reset();
  stage_ = Stage::PageOpened;
  if (progress == BrowserOpening::Progress::UseShell) {
    // The shell may run a message loop of its own meanwhile, in which the
    // window can go or be used again: only a window still waiting pauses.
    const std::string address = address_;
    OpenWithShell(os_, address);
    if (!window_ || stage_ != Stage::PageOpened) return;
  }
  window_->StartTimer(kPauseTimer, kPageOpenedPauseMs);
}

void AboutWindow::EndRequest() {
  stage_ = Stage::None;
  // "About" during the request keeps the window, unless a donation asked for
  // meanwhile comes next.
  const bool stays = aboutWanted_ && !donationRequested_;
  aboutWanted_ = false;
  if (stays) {
    ShowAsDesigned();
    return;
  }
  window_->Hide();
  window_->SetVisible(kConnectingLabel, false);
  window_->SetVisible(kTextLabel, true);
  window_->SetVisible(kCloseButton, true);
  window_->SetCaption(kCaption);
  if (donationRequested_) {
    window_->StartTimer(kRequestTimer, kRequestIntervalMs);
  } else {
    window_->StartTimer(kEndTimer, kEndIntervalMs);
  }
}

void AboutWindow::OnClick(int controlId) {
  if (controlId == kCloseButton) {
    OnCloseButton();
  } else if (controlId == kHomePageLink) {
    OnHomePageLink();
  }
}

void AboutWindow::OnMouseMove(int controlId) {
  if (controlId == 0 || controlId == kTextLabel) {
    ShowLinkAtRest();
  } else if (controlId == kHomePageLink) {
    ShowLinkHovered();
  }
}

void AboutWindow::OnTimer(int timerId) {
  switch (timerId) {
    case kRequestTimer:
      RunRequest();
      break;
    case kEndTimer:
      window_->StopTimer(kEndTimer);
      Close();
      break;
    case kPauseTimer:
      OnPause();
      break;
    case kBrowserTimer:
    case kBrowserLimitTimer:
      if (!browser_) {
        window_->StopTimer(timerId);
      } else if (timerId == kBrowserTimer) {
        OnBrowserProgress(browser_->Tick());
      } else {
        OnBrowserProgress(browser_->TimeUp());
      }
      break;
  }
}

void AboutWindow::OnClose() { Close(); }

}  // namespace tamberlinox::about
