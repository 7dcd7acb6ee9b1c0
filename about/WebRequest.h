// The About window's web requests: whether there is an Internet connection,
// and opening an address in the user's web browser.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace tamberlinox::about {

// The maker's home page: a bare host name.
inline constexpr char kHomePageAddress[] = "www.zemrik-software.example";
// The donation page: the payment site's "/xclick/" followed directly by its parameters.
inline constexpr char kDonationAddress[] =
    "https://pay.example/xclick/business=donate%40zemrik-software.example&no_note=1&tax=0&currency_code=USD";

inline constexpr char kNotConnected[] = "Not Connected";

// "Not Connected" when there is no connection; any other text, the empty one
// included, describes the connection there is.
std::string ConnectionStatusText(platform::Platform& os);

// Opens the address in the user's default browser through the shell.
void OpenWithShell(platform::Platform& os, const std::string& address);

// Opens an address in a new browser window and shows that window once the
// page is complete, step by step, never holding the program: the browser runs
// its calls on a thread of its own, and the owner calls Tick() every kTickMs
// and TimeUp() kLimitMs after Start() unless it is over by then. When there is
// no browser to drive (none can be created, or it cannot go to the address),
// the owner is told to open the address with the shell instead.
class BrowserOpening {
 public:
  enum class Progress {
    Waiting,   // still waiting for the browser
    Over,      // the page is shown, or the wait was given up
    UseShell,  // no browser to drive: over, and the address is for OpenWithShell
  };
  static constexpr std::uint32_t kTickMs = 50;      // also the pause between two ReadyState reads
  static constexpr std::uint32_t kLimitMs = 30000;  // the longest wait for the page

  explicit BrowserOpening(platform::Platform& os) : os_(os) {}
  BrowserOpening(const BrowserOpening&) = delete;
  BrowserOpening& operator=(const BrowserOpening&) = delete;

  Progress Start(const std::string& address);
  Progress Tick();
  // The wait is over. A browser that answers but never had its page complete
  // is shown all the same; one still inside a call is let go and shows
  // nothing. Never Waiting.
  Progress TimeUp();

 private:
  enum class Step { None, Opening, Reading, Showing };
  Progress Finish(Progress progress);

  platform::Platform& os_;
  std::unique_ptr<platform::WebBrowser> browser_;
  Step step_ = Step::None;
};

}  // namespace tamberlinox::about
