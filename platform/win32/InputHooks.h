// The session's input watch (Platform::WatchInput): low-level mouse and
// keyboard hooks on a thread of their own that does nothing else. A hook sees
// every mouse or keyboard event of the session before any window does, and
// each event waits for it: on the program's own thread, which may be busy (a
// web request, a message box's modal loop, a pause), it would slow the whole
// session's mouse, and Windows removes a hook that keeps it waiting too long.
// The hooks only post what they saw to a window of the program and return;
// they allocate nothing and call no other process. They are in place only
// while something is watched.
#pragma once

#include "platform/Platform.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32.h"

namespace tamberlinox::platform::win32 {

class InputHooks {
 public:
  InputHooks() = default;
  ~InputHooks();  // the hooks go, and the thread ends
  InputHooks(const InputHooks&) = delete;
  InputHooks& operator=(const InputHooks&) = delete;

  // What to watch from now on; the thread starts the first time something is.
  // Returns once the hooks are as asked (or after a second at most). False
  // when the thread could not be started.
  bool Watch(HWND window, UINT firstMessage, const InputWatch& watch);

 private:
  KernelHandle thread_;
  KernelHandle done_;  // set by the thread each time it has done what it was asked
  DWORD threadId_ = 0;
};

}  // namespace tamberlinox::platform::win32
