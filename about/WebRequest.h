// The About window's web requests: whether there is an Internet connection,
// and opening an address in the user's web browser.
#pragma once

#include <cstdint>
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

// Opens the address in a new browser window and returns once the page is
// complete (or has taken 30 seconds, or the browser stopped answering) and the
// window is visible. Without the browser's automation object the address goes
// to the user's default browser through the shell. Never hangs.
void OpenInBrowser(platform::Platform& os, const std::string& address);

}  // namespace tamberlinox::about
