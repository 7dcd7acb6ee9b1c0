#include "about/Browser.h"

#include <memory>

namespace tamberlinox::browser {

using namespace platform;

namespace {

void OpenWithShell(Platform& os, const std::string& address) {
  // The shell needs a scheme to know the text is a web address.
  const std::string url = address.find("://") == std::string::npos ? "http://" + address : address;
  os.ShellExecuteA(0, "open", url.c_str(), nullptr, nullptr, kSwShowNormal);
}

}  // namespace

void OpenInBrowser(Platform& os, const std::string& address) {
  std::unique_ptr<WebBrowser> browser = os.CreateWebBrowser();
  if (!browser || !browser->Navigate(address)) {
    OpenWithShell(os, address);
    return;
  }
  // Wait for the page, but not forever: a browser that stops answering (or
  // never reports the state at all) ends the wait.
  std::int32_t state = 0;
  for (std::uint32_t waited = 0; waited < kReadyStateLimitMs; waited += kReadyStatePauseMs) {
    if (!browser->ReadyState(state) || state == kReadyStateComplete) break;
    os.Sleep(kReadyStatePauseMs);
  }
  browser->SetVisible(true);
  // Released here, not quit: the browser stays open with the page.
}

}  // namespace tamberlinox::browser
