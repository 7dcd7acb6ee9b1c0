// The session's input watch (Platform::WatchInput): low-level mouse and
// keyboard hooks on a thread that does nothing else. A hook sees every mouse
// or keyboard event of the session before any window does, and each event
// waits for the hooking thread; the program's own thread builds menus, lists
// folders and runs the shell's menus, seconds at a time, and Windows removes a
// hook without a word once it has kept an event waiting longer than
// LowLevelHooksTimeout. So the hooks live on a thread of their own that only
// sets them, takes each event and posts what matters to the program's window:
// it never waits for the program's thread and allocates nothing per event.
//
// The thread runs only while something is watched, and only the hooks asked
// for are set (under Wine every low-level hook costs each event a trip
// through the server). Its stack is reserved small, 64 KiB, of which Windows
// commits only what is used. (Wine gives every thread a stack of at least a
// megabyte whatever is asked, and counts about that much more as the
// process's own: 0.97 MiB measured, with the small reservation or without.)
#pragma once

#include "platform/Platform.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32.h"

namespace tamberlinox::platform::win32 {

class InputHooks {
 public:
  // The hook thread's reserved stack.
  static constexpr SIZE_T kStackBytes = 64 * 1024;

  InputHooks() = default;
  ~InputHooks();  // the hooks go and the thread ends
  InputHooks(const InputHooks&) = delete;
  InputHooks& operator=(const InputHooks&) = delete;

  // What to watch from now on; the hooks are in place (or gone) when this
  // returns. False when a hook could not be set.
  bool Watch(HWND window, UINT firstMessage, const InputWatch& watch);

 private:
  bool Start();
  void Stop();
  // Has the thread set or take away its hooks; waits for its answer.
  bool SetHooks(bool mouse, bool keyboard);

  KernelHandle thread_;
  DWORD threadId_ = 0;
  KernelHandle answered_;  // set by the thread once it is ready, and after each change of its hooks
  static constexpr int kUnknown = -1;
  int hooks_ = 0;  // the hooks set (the thread's kMouse, kKeyboard), or kUnknown
};

}  // namespace tamberlinox::platform::win32
