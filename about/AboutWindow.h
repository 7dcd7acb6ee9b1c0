// The About window. It also carries the program's two web requests, the home
// page from its link and the donation page from the tray's "Make A Donation",
// each run one second after it is asked for: a connection check, then the
// page in the browser or a notice that there is no connection. The window
// exists only while it is in use, so every opening starts afresh.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace tamberlinox::about {

class AboutWindow : private platform::WindowEvents {
 public:
  // Control and timer ids.
  enum : int {
    kTextLabel = 101,
    kHomePageLink = 102,
    kConnectingLabel = 105,
    kCloseButton = 110,
  };
  enum : int {
    kEndTimer = 1,      // 100 ms: closes the window once a request is over
    kRequestTimer = 2,  // 1000 ms: runs the web request
  };

  explicit AboutWindow(platform::Platform& os) : os_(os) {}
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  // "About": opens the window, or shows it again.
  void Show();
  // "Make A Donation": the donation page, one second from now.
  void RequestDonation();
  // Destroys the window; nothing when it is not open.
  void Close();

  bool IsOpen() const { return window_ != nullptr; }
  platform::Window* window() const { return window_.get(); }
  bool DonationRequested() const { return donationRequested_; }
  bool HomePageRequested() const { return homePageRequested_; }

 private:
  bool Open();
  void OnCloseButton();
  void OnHomePageLink();
  void ShowLinkAtRest();
  void ShowLinkHovered();
  void RunRequest();
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
};

}  // namespace tamberlinox::about
