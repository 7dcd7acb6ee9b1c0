// The connection check's words and opening an address in the browser: when
// the browser is shown, how long the wait may last, and the shell as the way
// out when the browser cannot be driven.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "about/WebRequest.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox::about {
namespace {

using platform::FakePlatform;
using platform::ShellOpenCall;

constexpr char kConfigured[] = "You have a network connection configured.\r\n";
constexpr char kLan[] = "The local system connects to the Internet via a LAN";

TEST(ConnectionStatusTextTest, DescribesTheConnectionFromItsFlags) {
  const std::pair<std::uint32_t, std::string> cases[] = {
      {0x42, kConfigured + std::string(kLan) + "."},
      {0x46, kConfigured + std::string(kLan) + ", and uses a proxy server. "},
      {0x40, kConfigured + std::string(".")},
      {0x02, kLan + std::string(".")},
      {0x00, "."},
      {0x41, ""},  // a modem, offline or remote-access connection says nothing, yet is a connection
      {0x22, ""},
      {0x12, ""},
      {0x88, "."},  // flags the check does not know are left alone
  };
  FakePlatform os;
  for (const auto& [flags, text] : cases) {
    os.connectionFlags = flags;
    EXPECT_EQ(ConnectionStatusText(os), text) << flags;
  }
  os.connected = false;
  os.connectionFlags = 0x42;
  EXPECT_EQ(ConnectionStatusText(os), "Not Connected");
}

// The browser is shown once the page is complete, after the first failing
// read, or after 30 seconds, whichever comes first; it is released, not quit.
TEST(OpenInBrowserTest, TheBrowserIsShownOnceThePageIsCompleteOrTheWaitEnds) {
  struct Case {
    std::deque<std::optional<std::int32_t>> states;
    int reads;
    std::uint64_t waitedMs;
  };
  const Case cases[] = {{{4}, 1, 0}, {{1, 3, 3, 4}, 4, 150}, {{1, std::nullopt, 4}, 2, 50}, {{1}, 600, 30000}};
  for (const Case& c : cases) {
    FakePlatform os;
    os.browser.readyStates = c.states;
    OpenInBrowser(os, "www.example.test");
    EXPECT_EQ(os.browser.navigated, std::vector<std::string>{"www.example.test"});
    EXPECT_EQ(os.browser.readyStateReads, c.reads);
    EXPECT_EQ(os.clockMs, c.waitedMs);
    EXPECT_TRUE(os.browser.visible);
    EXPECT_EQ(os.browser.live, 0);
    EXPECT_TRUE(os.shellOpens.empty());
  }
}

TEST(OpenInBrowserTest, WithoutABrowserToDriveTheShellOpensTheAddress) {
  FakePlatform os;
  os.browser.failCreation = true;
  OpenInBrowser(os, "www.example.test");
  OpenInBrowser(os, "https://pay.example/xclick/x=1");
  os.browser.failCreation = false;
  os.browser.failNavigate = true;
  OpenInBrowser(os, "www.example.test");
  const auto shell = [](const std::string& address) {
    return ShellOpenCall{0, "open", address, std::nullopt, std::nullopt, platform::kSwShowNormal};
  };
  EXPECT_EQ(os.shellOpens, (std::vector{shell("http://www.example.test"), shell("https://pay.example/xclick/x=1"),
                                        shell("http://www.example.test")}));
  EXPECT_EQ(os.browser.live, 0);
}

}  // namespace
}  // namespace tamberlinox::about
