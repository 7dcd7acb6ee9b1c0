// Opening an address in the user's web browser, and the two addresses the program opens.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace tamberlinox::browser {

// The maker's home page: a bare host name.
inline constexpr char kHomePageAddress[] = "www.zemrik-software.example";
// The donation page: the payment site's "/xclick/" followed directly by its parameters.
inline constexpr char kDonationAddress[] =
    "https://pay.example/xclick/business=donate%40zemrik-software.example&no_note=1&tax=0&currency_code=USD";

inline constexpr std::uint32_t kReadyStatePauseMs = 50;
inline constexpr std::uint32_t kReadyStateLimitMs = 30000;
inline constexpr std::int32_t kReadyStateComplete = 4;

// Opens the address in a new browser window and returns once the page is
// complete (or has taken 30 seconds, or the browser stopped answering) and the
// window is visible. Without the browser's automation object the address goes
// to the user's default browser through the shell. Never hangs.
void OpenInBrowser(platform::Platform& os, const std::string& address);

}  // namespace tamberlinox::browser
