#include "platform/win32/ShellWatch.h"

#include <utility>

namespace tamberlinox::platform::win32 {

namespace {

ShellWatch* g_watch = nullptr;  // the watch whose hook is set

}  // namespace

void ShellWatch::Start(HWND target, UINT message, DWORD process, std::vector<std::wstring> classNames) {
  Stop();
  if (process == 0 || classNames.empty()) return;
  target_ = target;
  message_ = message;
  classNames_ = std::move(classNames);
  if (g_watch != nullptr) g_watch->Stop();
  hook_ = ::SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, &ShellWatch::OnEvent, process, 0,
                            WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  if (hook_ != nullptr) g_watch = this;
}

void ShellWatch::Stop() {
  if (hook_ == nullptr) return;
  ::UnhookWinEvent(hook_);
  hook_ = nullptr;
  if (g_watch == this) g_watch = nullptr;
}

// Called on the program's thread while it waits for messages, also for the
// parts of windows (list items), which are not windows.
void CALLBACK ShellWatch::OnEvent(HWINEVENTHOOK hook, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  ShellWatch* self = g_watch;
  if (self == nullptr || self->hook_ != hook) return;
  if (window == nullptr || object != OBJID_WINDOW || child != CHILDID_SELF) return;
  wchar_t name[64] = {};
  if (::GetClassNameW(window, name, 64) <= 0) return;
  for (const std::wstring& wanted : self->classNames_) {
    if (::lstrcmpiW(name, wanted.c_str()) == 0) {
      ::PostMessageW(self->target_, self->message_, reinterpret_cast<WPARAM>(window), 0);
      return;
    }
  }
}

}  // namespace tamberlinox::platform::win32
