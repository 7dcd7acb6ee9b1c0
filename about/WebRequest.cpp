#include "about/WebRequest.h"

#include <memory>
#include <optional>

namespace tamberlinox::about {

using platform::Platform;

namespace {

constexpr std::uint32_t kConnectionModem = 0x01;
constexpr std::uint32_t kConnectionLan = 0x02;
constexpr std::uint32_t kConnectionProxy = 0x04;
constexpr std::uint32_t kRasInstalled = 0x10;
constexpr std::uint32_t kConnectionOffline = 0x20;
constexpr std::uint32_t kConnectionConfigured = 0x40;

constexpr std::int32_t kReadyStateComplete = 4;

}  // namespace

std::string ConnectionStatusText(Platform& os) {
  std::uint32_t flags = 0;
  if (!os.InternetConnected(flags)) return kNotConnected;

  std::string text;
  if (flags & kConnectionConfigured) text += "You have a network connection configured.\r\n";
  if (flags & kConnectionLan) text += "The local system connects to the Internet via a LAN";
  text += (flags & kConnectionProxy) ? ", and uses a proxy server. " : ".";
  // A modem, offline or remote-access connection leaves nothing to say.
  if (flags & (kConnectionModem | kConnectionOffline | kRasInstalled)) text.clear();
  return text;
}

void OpenWithShell(Platform& os, const std::string& address) {
  // The shell needs a scheme to know the text is a web address.
  const std::string url = address.find("://") == std::string::npos ? "http://" + address : address;
  os.ShellOpen(0, "open", url, std::nullopt, std::nullopt, platform::kSwShowNormal);
}

using Progress = BrowserOpening::Progress;
using CallState = platform::WebBrowser::CallState;

Progress BrowserOpening::Start(const std::string& address) {
  browser_ = os_.CreateWebBrowser();
  if (!browser_ || !browser_->Open(address)) return Finish(Progress::UseShell);
  step_ = Step::Opening;
  return Progress::Waiting;
}

Progress BrowserOpening::Tick() {
  if (!browser_) return Progress::Over;
  const platform::WebBrowser::Outcome call = browser_->LastCall();
  if (call.state == CallState::Pending) return Progress::Waiting;
  switch (step_) {
    case Step::Opening:
      if (call.state == CallState::Failed) return Finish(Progress::UseShell);
      break;  // the first read follows at once
    case Step::Reading:
      // A read that fails (a browser that cannot tell, or one closed
      // meanwhile) ends the wait as a complete page does.
      if (call.state == CallState::Failed || call.readyState == kReadyStateComplete) {
        step_ = Step::Showing;
        browser_->Show();
        return Progress::Waiting;
      }
      break;
    case Step::Showing:
    case Step::None:
      return Finish(Progress::Over);
  }
  step_ = Step::Reading;
  browser_->ReadReadyState();
  return Progress::Waiting;
}

Progress BrowserOpening::TimeUp() {
  if (!browser_) return Progress::Over;
  const platform::WebBrowser::Outcome call = browser_->LastCall();
  if (call.state != CallState::Pending) {
    if (step_ == Step::Opening && call.state == CallState::Failed) return Finish(Progress::UseShell);
    // Shown, then let go: the browser's thread makes this last call on its own.
    if (step_ == Step::Opening || step_ == Step::Reading) browser_->Show();
  }
  return Finish(Progress::Over);
}

Progress BrowserOpening::Finish(Progress progress) {
  browser_.reset();  // released; a call still under way is left to its thread
  step_ = Step::None;
  return progress;
}

}  // namespace tamberlinox::about
