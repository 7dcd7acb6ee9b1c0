// InternetConnection: whether the computer has an Internet connection, in words.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace tamberlinox::InternetConnection {

inline constexpr char kNotConnected[] = "Not Connected";

// "Not Connected" when there is no connection; any other text (the empty one
// included) describes the connection there is.
std::string ConnectionStatusText(platform::Platform& os);

}  // namespace tamberlinox::InternetConnection
