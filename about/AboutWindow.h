// The About window. It also carries the program's two web requests, the home
// page from its link and the donation page from the tray's "Make A Donation",
// each run one second after it is asked for: a connection check, then the
// page in the browser or a notice that there is no connection. Every pause
// and wait of a request (and of closing) runs on the window's timers, so the
// program answers the user throughout. The window exists only while it is in
// use, so every opening starts afresh.
#pragma once

#include <memory>
#include <string>

#include "about/WebRequest.h"
#include "platform/Platform.h"

namespace tamberlinox::about {

class AboutWindow : private platform::WindowEvents {
 public:
  // Control ids.
  enum : int {
    kTextLabel = 101,
    kHomePageLink = 102,
    kConnectingLabel = 105,
    kCloseButton = 110,
  };
  using enum platform::AboutWindowTimer;  // platform/Messages.h

  explicit AboutWindow(platform::Platform& os) : os_(os) {}
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  // "About": opens the window, or shows it again.
  void Show();
  // "Make A Donation": the donation page, one second from now.
  void RequestDonation();
  // Destroys the window; nothing when it is not open. A browser still being
  // waited for is let go.
  void Close();
  // As the program ends: a request armed or under way is dropped with its
  // window, so that nothing opens any more; an About window stays.
  void AbandonRequest();

  bool IsOpen() const { return window_ != nullptr; }
  platform::Window* window() const { return window_.get(); }
  bool DonationRequested() const { return donationRequested_; }
  bool HomePageRequested() const { return homePageRequested_; }

 private:
  // Where a request, or the closing of the window, stands between two ticks.
  enum class Stage {
    None,
    Connecting,  // the connecting state is shown: a pause, then the browser
    Browsing,    // the browser is waited for
    PageOpened,  // a pause before the window hides
    Closing,     // "Close Form": hidden, a pause, then the labels as designed
    LabelsBack,  // a pause, then the window goes
  };
  bool InRequest() const;

  bool Open();
  void OnCloseButton();
  void OnHomePageLink();
  void ShowLinkAtRest();
  void ShowLinkHovered();
  void ShowAsDesigned();
  void RunRequest();
  void OnPause();
  void StartBrowser();
  void OnBrowserProgress(BrowserOpening::Progress progress);
  void EndRequest();
  void OnClick(int controlId) override;
  void OnMouseMove(int controlId) override;
  void OnTimer(int timerId) override;
  void OnClose() override;

  platform::Platform& os_;
  std::unique_ptr<platform::Window> window_;
  // Set by "Make A Donation": the window's opening starts the request.
  bool donationRequested_ = false;
  // Set by the link: the next request opens the home page.
  bool homePageRequested_ = false;
  Stage stage_ = Stage::None;
  // "About" during a request: the window stays as an About window after it.
  bool aboutWanted_ = false;
  std::string address_;  // of the page being opened
  std::unique_ptr<BrowserOpening> browser_;
};

}  // namespace tamberlinox::about
