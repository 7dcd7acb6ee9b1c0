// The system's automation objects, called late bound through IDispatch.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
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

// A new instance of the web browser, driven through its automation object on
// the thread that created it, which is in com's apartment. Released, not quit,
// when the object goes away: a browser the user sees is the user's.
class BrowserAutomation {
 public:
  // Null when the object cannot be created. com must outlive the object.
  static std::unique_ptr<BrowserAutomation> Create(Com& com);
  BrowserAutomation(Com& com, ComPtr<IDispatch> object) : com_(com), object_(std::move(object)) {}

  bool Navigate(const std::wstring& address);
  // The page's ReadyState (4 = complete); nothing when the read fails.
  std::optional<std::int32_t> ReadyState();
  bool SetVisible(bool visible);
  // Ends the browser's instance.
  bool Quit();

 private:
  Com& com_;
  ComPtr<IDispatch> object_;
};

}  // namespace tamberlinox::platform::win32
