#include "about/frmAbout.h"

#include "about/Browser.h"
#include "about/InternetConnection.h"
#include "app/Program.h"
#include "platform/ResourceIds.h"

namespace tamberlinox {

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
constexpr Colour kWhite = Colour::Rgb(0xFF, 0xFF, 0xFF);
constexpr Colour kMagenta = Colour::Rgb(0xFF, 0x00, 0xFF);

// One text; the run of blanks pushes its second paragraph onto later lines.
const std::string kExplanation =
    "I hope you find this program useful and enjoy using it. I wrote it so that I would not have to look at all "
    "the ugly icons scattered all over the desktop, but still wanted to have access to the shortcuts. :-)" +
    std::string(157, ' ') +
    "If you like the program and would like to make a contribution to help defray the cost of developing, "
    "maintaining and posting the program, click on the  option located at the top of the program options list.";

ControlSpec Label(int id, const std::string& text, TwipsRect bounds, FontSpec font, Colour colour, TextAlign align) {
  ControlSpec label;
  label.id = id;
  label.kind = ControlKind::Label;
  label.text = text;
  label.bounds = bounds;
  label.font = font;
  label.transparent = true;
  label.align = align;
  label.hasForeColour = true;
  label.foreColour = colour;
  return label;
}

}  // namespace

FormSpec AboutForm::Spec() const {
  FormSpec spec;
  spec.caption = kCaption;
  spec.clientWidth = 4995;
  spec.clientHeight = 3495;
  spec.frame = FormFrame::Fixed;
  spec.icon = IDI_FORMS;
  spec.backgroundPicture = IDB_ABOUT_BACK;

  ControlSpec text = Label(Label1, kExplanation, {120, 120, 4935, 2295}, {"MS Sans Serif", 9.75, false, false},
                           kWhite, TextAlign::Left);
  text.notifyMouse = true;
  ControlSpec link = Label(Label2, kLinkText, {0, 2400, 4935, 375}, {"MS Sans Serif", 18, true, true}, kWhite,
                           TextAlign::Centre);
  link.notifyMouse = true;
  ControlSpec connecting = Label(Label5, kConnectingText, {0, 240, 4935, 1815}, {"MS Sans Serif", 36, true, false},
                                 Colour::System(kColorHighlightText), TextAlign::Centre);
  connecting.visible = false;

  ControlSpec close;
  close.id = Command1;
  close.kind = ControlKind::Button;
  close.text = kCloseText;
  close.bounds = {1200, 2880, 2415, 495};
  close.font = {"MS Sans Serif", 18, true, false};
  close.hasBackColour = true;
  close.backColour = kWhite;
  close.picture = IDB_ABOUT_BUTTON;
  close.cancel = true;  // Esc closes the window like the button

  spec.controls = {text, link, connecting, close};
  spec.timers = {{Timer2, 1000}, {Timer1, 100}};
  return spec;
}

void AboutForm::Form_Load() {
  if (program_.DonationRequested) form()->EnableTimer(Timer2, true);
}

void AboutForm::MakeADonation() {
  program_.DonationRequested = true;
  if (!Loaded()) {
    Load();  // not shown: its load handler arms the request
    return;
  }
  // Already open: the request starts on this window now, rather than leaving
  // the flag to surprise the user at a later "About".
  Form& window = *form();
  window.Hide();
  window.EnableTimer(Timer1, false);  // a request that was ending gives way to this one
  window.EnableTimer(Timer2, true);
}

void AboutForm::Command1_Click() {
  Platform& os = program_.os;
  form()->Hide();
  os.Sleep(50);
  if (!form()) return;
  form()->SetVisible(Label5, false);
  form()->SetVisible(Label1, true);
  os.Sleep(50);
  Unload();
}

void AboutForm::Label2_Click() {
  form()->Hide();
  program_.HomePageRequested = true;
  form()->EnableTimer(Timer2, true);
}

void AboutForm::Form_MouseMove() {
  form()->SetForeColour(Label2, kWhite);
  form()->SetText(Label2, kLinkText);
}

void AboutForm::Label1_MouseMove() { Form_MouseMove(); }

void AboutForm::Label2_MouseMove() {
  form()->SetForeColour(Label2, kMagenta);
  form()->SetText(Label2, kLinkHoverText);
}

void AboutForm::Timer2_Timer() {
  Platform& os = program_.os;
  program_.DonationRequested = false;
  form()->EnableTimer(Timer2, false);
  form()->SetVisible(Label2, false);

  if (InternetConnection::ConnectionStatusText(os) == InternetConnection::kNotConnected) {
    os.MessageBoxA(0, kNotConnectedText, kNotConnectedTitle, kMbOk | kMbIconInformation);
    // Whichever page was asked for, the request is over: a later "Make A
    // Donation" must open the donation page, not this home page.
    program_.HomePageRequested = false;
    // While the notice was up the tray kept working: the window may have gone,
    // "Make A Donation" may have armed a new request on it, which the
    // unloading must not cut short, or "About" may have shown it, and then it
    // stays as an About window with its link.
    if (!form() || form()->TimerEnabled(Timer2)) return;
    if (form()->Visible()) {
      form()->SetForeColour(Label2, kWhite);
      form()->SetText(Label2, kLinkText);
      form()->SetVisible(Label2, true);
      return;
    }
    form()->EnableTimer(Timer1, true);
    return;
  }

  // Connecting: shown with the notice instead of the text, painted before the pauses.
  Form& window = *form();
  window.SetCaption(kConnectingCaption);
  window.SetVisible(Command1, false);
  window.SetVisible(Label1, false);
  window.SetVisible(Label5, true);
  window.Show();
  window.Refresh();
  os.Sleep(300);

  browser::OpenInBrowser(os, program_.HomePageRequested ? browser::kHomePageAddress : browser::kDonationAddress);
  program_.HomePageRequested = false;
  os.Sleep(500);

  window.Hide();
  window.SetVisible(Label5, false);
  window.SetVisible(Label1, true);
  window.SetVisible(Command1, true);
  window.SetCaption(kCaption);
  window.EnableTimer(Timer1, true);
}

void AboutForm::Timer1_Timer() {
  form()->EnableTimer(Timer1, false);
  Unload();
}

void AboutForm::OnClick(int controlId) {
  if (controlId == Command1) {
    Command1_Click();
  } else if (controlId == Label2) {
    Label2_Click();
  }
}

void AboutForm::OnMouseMove(int controlId) {
  if (controlId == 0) {
    Form_MouseMove();
  } else if (controlId == Label1) {
    Label1_MouseMove();
  } else if (controlId == Label2) {
    Label2_MouseMove();
  }
}

void AboutForm::OnTimer(int timerId) {
  if (timerId == Timer1) {
    Timer1_Timer();
  } else if (timerId == Timer2) {
    Timer2_Timer();
  }
}

void AboutForm::OnCloseBox() { Unload(); }

}  // namespace tamberlinox
