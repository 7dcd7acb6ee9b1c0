// The connection check's words and opening an address in the browser, one
// step a tick: when the browser is shown, how long the wait may last, a
// browser that stops answering, and the shell as the way out when the browser
// cannot be driven.
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

using Progress = BrowserOpening::Progress;

// One step a tick: the browser is created and sent to the address, its
// ReadyState read at every tick until the page is complete (or a read fails),
// and only then is its window shown; it is released, not quit.
TEST(BrowserOpeningTest, TheBrowserIsShownOnceThePageIsCompleteOrAReadFails) {
  struct Case {
    std::deque<std::optional<std::int32_t>> states;
    int reads;
  };
  for (const Case& c : {Case{{4}, 1}, Case{{1, 3, 3, 4}, 4}, Case{{1, std::nullopt, 4}, 2}}) {
    FakePlatform os;
    os.browser.readyStates = c.states;
    BrowserOpening opening(os);
    EXPECT_EQ(opening.Start("www.example.test"), Progress::Waiting);
    for (int tick = 0; tick <= c.reads; ++tick) {
      EXPECT_FALSE(os.browser.visible) << "shown before the page was complete";
      EXPECT_EQ(opening.Tick(), Progress::Waiting);
      EXPECT_EQ(os.browser.readyStateReads, tick);
    }
    EXPECT_EQ(opening.Tick(), Progress::Over);
    EXPECT_EQ(os.browser.navigated, std::vector<std::string>{"www.example.test"});
    EXPECT_EQ(os.browser.readyStateReads, c.reads);
    EXPECT_TRUE(os.browser.visible);
    EXPECT_EQ(os.browser.live, 0);
    EXPECT_TRUE(os.shellOpens.empty());
  }
}

// A browser stuck inside a call (its creation, a read, or showing its window)
// is let go when the time is up; it shows nothing, and nothing is opened instead.
TEST(BrowserOpeningTest, ABrowserStuckInACallIsLetGoWhenTheTimeIsUp) {
  for (int answered : {0, 2, 3}) {  // creation, reads, then showing hang
    FakePlatform os;
    os.browser.readyStates = {1, 4};
    BrowserOpening opening(os);
    opening.Start("www.example.test");
    for (int tick = 0; tick < answered; ++tick) EXPECT_EQ(opening.Tick(), Progress::Waiting);
    os.browser.hangs = true;
    for (int tick = 0; tick < 100; ++tick) ASSERT_EQ(opening.Tick(), Progress::Waiting);
    EXPECT_EQ(opening.TimeUp(), Progress::Over);
    EXPECT_EQ(os.browser.live, 0);
    EXPECT_EQ(os.browser.abandonedCalls, 1);
    os.browser.hangs = false;
    EXPECT_FALSE(os.browser.visible);
    EXPECT_TRUE(os.shellOpens.empty());
  }
}

TEST(BrowserOpeningTest, WithoutABrowserToDriveTheAddressIsForTheShell) {
  FakePlatform os;
  os.browser.failThread = true;
  BrowserOpening opening(os);
  EXPECT_EQ(opening.Start("www.example.test"), Progress::UseShell);
  os.browser.failThread = false;
  for (bool* failure : {&os.browser.failCreation, &os.browser.failNavigate}) {
    *failure = true;
    EXPECT_EQ(opening.Start("www.example.test"), Progress::Waiting);
    EXPECT_EQ(opening.Tick(), Progress::UseShell);
    *failure = false;
  }
  EXPECT_EQ(os.browser.live, 0);
  EXPECT_TRUE(os.shellOpens.empty());  // the owner opens it

  OpenWithShell(os, "www.example.test");
  OpenWithShell(os, "https://pay.example/xclick/x=1");
  const auto shell = [](const std::string& address) {
    return ShellOpenCall{0, "open", address, std::nullopt, std::nullopt, platform::kSwShowNormal};
  };
  EXPECT_EQ(os.shellOpens, (std::vector{shell("http://www.example.test"), shell("https://pay.example/xclick/x=1")}));
}

}  // namespace
}  // namespace tamberlinox::about
