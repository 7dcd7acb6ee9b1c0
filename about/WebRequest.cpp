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

constexpr std::uint32_t kReadyStatePauseMs = 50;
constexpr std::uint32_t kReadyStateLimitMs = 30000;
constexpr std::int32_t kReadyStateComplete = 4;

void OpenWithShell(Platform& os, const std::string& address) {
  // The shell needs a scheme to know the text is a web address.
  const std::string url = address.find("://") == std::string::npos ? "http://" + address : address;
  os.ShellOpen(0, "open", url, std::nullopt, std::nullopt, platform::kSwShowNormal);
}

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

void OpenInBrowser(Platform& os, const std::string& address) {
  std::unique_ptr<platform::WebBrowser> browser = os.CreateWebBrowser();
  if (!browser || !browser->Navigate(address)) {
    OpenWithShell(os, address);
    return;
  }
  // Wait for the page, but not forever: a browser that stops answering (or
  // never reports the state at all) ends the wait.
  for (std::uint32_t waited = 0; waited < kReadyStateLimitMs; waited += kReadyStatePauseMs) {
    const std::optional<std::int32_t> state = browser->ReadyState();
    if (!state || *state == kReadyStateComplete) break;
    os.Sleep(kReadyStatePauseMs);
  }
  browser->SetVisible(true);
  // Released here, not quit: the browser stays open with the page.
}

}  // namespace tamberlinox::about
