// The system's automation objects, called late bound through IDispatch.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/win32/Com.h"

namespace tamberlinox::platform::win32 {

// The Windows Script Host's shell object, created at the first question and
// kept for the next ones (the desktop menu asks at every showing).
class ScriptHost {
 public:
  explicit ScriptHost(Com& com) : com_(com) {}

  // SpecialFolders(name); "" when the object cannot be created or knows no
  // such folder.
  std::string SpecialFolder(const std::string& name);

 private:
  Com& com_;
  ComPtr<IDispatch> shell_;
};

// A new instance of the web browser's automation object; null when it cannot
// be created. The object uses com, which must outlive it.
std::unique_ptr<WebBrowser> CreateWebBrowserObject(Com& com);

}  // namespace tamberlinox::platform::win32
