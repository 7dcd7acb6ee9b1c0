// The system's automation objects, called late bound through IDispatch.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace tamberlinox::platform::win32 {

// The Windows Script Host shell object; null when it cannot be created.
std::unique_ptr<ScriptShell> CreateScriptShellObject();
// A new instance of the web browser's automation object; null when it cannot be created.
std::unique_ptr<WebBrowser> CreateWebBrowserObject();

}  // namespace tamberlinox::platform::win32
