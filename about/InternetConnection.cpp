#include "about/InternetConnection.h"

#include <cstdint>

namespace tamberlinox::InternetConnection {

namespace {
constexpr std::uint32_t kConnectionModem = 0x01;
constexpr std::uint32_t kConnectionLan = 0x02;
constexpr std::uint32_t kConnectionProxy = 0x04;
constexpr std::uint32_t kRasInstalled = 0x10;
constexpr std::uint32_t kConnectionOffline = 0x20;
constexpr std::uint32_t kConnectionConfigured = 0x40;
}  // namespace

std::string ConnectionStatusText(platform::Platform& os) {
  std::uint32_t flags = 0;
  if (!os.InternetGetConnectedState(flags)) return kNotConnected;

  std::string text;
  if (flags & kConnectionConfigured) text += "You have a network connection configured.\r\n";
  if (flags & kConnectionLan) text += "The local system connects to the Internet via a LAN";
  text += (flags & kConnectionProxy) ? ", and uses a proxy server. " : ".";
  // A modem, offline or remote-access connection leaves nothing to say.
  if (flags & kConnectionModem) text.clear();
  if (flags & kConnectionOffline) text.clear();
  if (flags & kRasInstalled) text.clear();
  return text;
}

}  // namespace tamberlinox::InternetConnection
