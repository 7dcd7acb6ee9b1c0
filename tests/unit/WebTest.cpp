// The connection check in words, and opening an address in the browser: the
// wait for the page, its bounds, and the way round a browser that cannot be
// driven.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "about/Browser.h"
#include "about/InternetConnection.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox {
namespace {

using namespace platform;

const std::string kConfigured = "You have a network connection configured.\r\n";
const std::string kLan = "The local system connects to the Internet via a LAN";
const std::string kProxy = ", and uses a proxy server. ";

// ---------------------------------------------------------- the connection

struct Connection {
  bool connected;
  std::uint32_t flags;
  std::string text;
};

void PrintTo(const Connection& c, std::ostream* out) {
  *out << (c.connected ? "connected" : "not connected") << " with flags 0x" << std::hex << c.flags;
}

class ConnectionStatusTextTest : public ::testing::TestWithParam<Connection> {};

TEST_P(ConnectionStatusTextTest, DescribesTheFlagsOrSaysNotConnected) {
  const Connection& c = GetParam();
  FakePlatform os;
  os.SetConnection(c.connected, c.flags);
  EXPECT_EQ(InternetConnection::ConnectionStatusText(os), c.text);
  EXPECT_EQ(os.ConnectionChecks(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, ConnectionStatusTextTest,
    ::testing::Values(
        Connection{true, 0x42, kConfigured + kLan + "."},
        Connection{true, 0x46, kConfigured + kLan + kProxy},
        Connection{true, 0x40, kConfigured + "."},
        Connection{true, 0x00, "."},
        Connection{true, 0x02, kLan + "."},
        Connection{true, 0x04, kProxy},
        // Modem, offline or remote access installed: the empty text, still a connection.
        Connection{true, 0x41, ""},
        Connection{true, 0x60, ""},
        Connection{true, 0x52, ""},
        Connection{true, 0x12, ""},  // what Wine always answers
        Connection{true, 0x77, ""},
        // Bits that are not looked at.
        Connection{true, 0x88, "."},
        Connection{true, 0xFFFF0042u, kConfigured + kLan + "."},
        // No connection: exactly this, whatever flags came with it.
        Connection{false, 0x00, "Not Connected"},
        Connection{false, 0x42, "Not Connected"},
        Connection{false, 0x46, "Not Connected"},
        Connection{false, 0x20, "Not Connected"}));

TEST(ConnectionFlagsTest, OnlyTheZeroResultMeansNotConnected) {
  // The one caller compares for equality: no connected text may be mistaken for it.
  for (std::uint32_t flags = 0; flags < 0x100; ++flags) {
    FakePlatform os;
    os.SetConnection(true, flags);
    EXPECT_NE(InternetConnection::ConnectionStatusText(os), "Not Connected") << flags;
  }
}

// ------------------------------------------------------------- the browser

const std::string kHome = "www.zemrik-software.example";
const std::string kDonation =
    "https://pay.example/xclick/business=donate%40zemrik-software.example&no_note=1&tax=0&currency_code=USD";

class OpenInBrowserTest : public ::testing::Test {
 protected:
  ~OpenInBrowserTest() override {
    EXPECT_EQ(os.LiveWebBrowsers(), 0u);  // released, never kept
    EXPECT_EQ(os.Faults(), std::vector<std::string>{});
  }
  FakePlatform os;
};

TEST_F(OpenInBrowserTest, TheWindowIsShownOnlyOnceThePageIsComplete) {
  os.SetReadyStates({{true, 1}, {true, 2}, {true, 3}, {true, 4}});
  std::vector<std::size_t> visibleDuringPauses;
  os.SetSleepCallback([&](std::uint32_t) { visibleDuringPauses.push_back(os.BrowserVisibleSettings().size()); });

  browser::OpenInBrowser(os, kDonation);

  EXPECT_EQ(os.WebBrowsersCreated(), 1);
  EXPECT_EQ(os.Navigations(), std::vector<std::string>{kDonation});
  EXPECT_EQ(os.ReadyStateReads(), 4);  // stops at the first 4
  EXPECT_EQ(os.Sleeps(), (std::vector<std::uint32_t>{50, 50, 50}));
  EXPECT_EQ(visibleDuringPauses, (std::vector<std::size_t>{0, 0, 0}));
  EXPECT_EQ(os.BrowserVisibleSettings(), std::vector<bool>{true});
  EXPECT_TRUE(os.ShellExecuteCalls().empty());
}

TEST_F(OpenInBrowserTest, APageCompleteAtOnceNeedsNoPause) {
  browser::OpenInBrowser(os, kHome);
  EXPECT_EQ(os.Navigations(), std::vector<std::string>{kHome});  // the browser takes the bare host
  EXPECT_EQ(os.ReadyStateReads(), 1);
  EXPECT_TRUE(os.Sleeps().empty());
  EXPECT_EQ(os.BrowserVisibleSettings(), std::vector<bool>{true});
}

TEST_F(OpenInBrowserTest, AFailingReadEndsTheWaitAndTheWindowIsShown) {
  // For instance the user closed the browser while it loaded. Under Wine every
  // read fails (its browser object does not implement ReadyState), so there
  // the first read ends the wait and the window is shown at once.
  os.SetReadyStates({{true, 1}, {true, 3}, {false, 0}, {true, 4}});
  browser::OpenInBrowser(os, kHome);
  EXPECT_EQ(os.ReadyStateReads(), 3);
  EXPECT_EQ(os.Sleeps(), (std::vector<std::uint32_t>{50, 50}));
  EXPECT_EQ(os.BrowserVisibleSettings(), std::vector<bool>{true});
  EXPECT_TRUE(os.ShellExecuteCalls().empty());

  os.ClearLogs();
  os.SetReadyStates({{false, 0}});
  browser::OpenInBrowser(os, kHome);
  EXPECT_EQ(os.ReadyStateReads(), 1);
  EXPECT_TRUE(os.Sleeps().empty());
  EXPECT_EQ(os.BrowserVisibleSettings(), std::vector<bool>{true});
}

TEST_F(OpenInBrowserTest, APageThatNeverCompletesIsShownAfterAboutThirtySeconds) {
  os.SetReadyStates({{true, 3}});  // loading for ever
  browser::OpenInBrowser(os, kDonation);

  // Short pauses, about 30 s in all, and reads to match: then the window is shown anyway.
  for (std::uint32_t pause : os.Sleeps()) EXPECT_EQ(pause, 50u);
  EXPECT_GE(os.TotalSleepMs(), 29950u);
  EXPECT_LE(os.TotalSleepMs(), 30050u);
  EXPECT_GE(os.ReadyStateReads(), int(os.Sleeps().size()));
  EXPECT_LE(os.ReadyStateReads(), int(os.Sleeps().size()) + 1);
  EXPECT_EQ(os.BrowserVisibleSettings(), std::vector<bool>{true});
  EXPECT_TRUE(os.ShellExecuteCalls().empty());
}

TEST_F(OpenInBrowserTest, WithoutTheBrowserObjectTheShellOpensTheAddress) {
  os.FailWebBrowserCreation();
  browser::OpenInBrowser(os, kHome);
  browser::OpenInBrowser(os, kDonation);
  browser::OpenInBrowser(os, "ftp://files.example/x");

  EXPECT_EQ(os.WebBrowsersCreated(), 0);
  const std::vector<ShellExecuteCall> expected = {
      {0, "open", "http://" + kHome, std::nullopt, std::nullopt, kSwShowNormal},
      {0, "open", kDonation, std::nullopt, std::nullopt, kSwShowNormal},  // has its scheme already
      {0, "open", "ftp://files.example/x", std::nullopt, std::nullopt, kSwShowNormal},
  };
  EXPECT_EQ(os.ShellExecuteCalls(), expected);
  EXPECT_TRUE(os.Sleeps().empty());
}

TEST_F(OpenInBrowserTest, WhenNavigateFailsTheShellOpensTheAddress) {
  os.FailNavigate();
  browser::OpenInBrowser(os, kHome);

  EXPECT_EQ(os.WebBrowsersCreated(), 1);
  EXPECT_EQ(os.ReadyStateReads(), 0);
  EXPECT_TRUE(os.BrowserVisibleSettings().empty());  // an empty browser window is never shown
  EXPECT_TRUE(os.Sleeps().empty());
  EXPECT_EQ(os.ShellExecuteCalls(), (std::vector<ShellExecuteCall>{
                                        {0, "open", "http://" + kHome, std::nullopt, std::nullopt, kSwShowNormal}}));
}

}  // namespace
}  // namespace tamberlinox
