// The web browser driven on a thread of its own (WebBrowser in Platform.h).
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace tamberlinox::platform::win32 {

// Starts the thread, which enters an apartment of its own and waits for the
// first call; null when it cannot be started.
std::unique_ptr<WebBrowser> StartBrowserThread();

}  // namespace tamberlinox::platform::win32
