// News of another process's windows as they are created, from the
// system's accessibility events (an out-of-context WinEvent hook: nothing is
// injected into the other process and nothing is polled). Each event of a
// window of one of the classes is posted to a window of the program, so that
// it is handled as an ordinary message, never from inside another call.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/Win32.h"

namespace tamberlinox::platform::win32 {

class ShellWatch {
 public:
  ShellWatch() = default;
  ~ShellWatch() { Stop(); }
  ShellWatch(const ShellWatch&) = delete;
  ShellWatch& operator=(const ShellWatch&) = delete;

  // Posts message to target, with the window in wParam, for each window of
  // these classes that the process creates. One watch at a time in
  // the program: a new Start replaces the last.
  void Start(HWND target, UINT message, DWORD process, std::vector<std::wstring> classNames);
  void Stop();

 private:
  static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                               DWORD time);

  HWINEVENTHOOK hook_ = nullptr;
  HWND target_ = nullptr;
  UINT message_ = 0;
  std::vector<std::wstring> classNames_;
};

}  // namespace tamberlinox::platform::win32
