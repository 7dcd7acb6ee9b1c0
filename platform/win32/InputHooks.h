// The session's input watch (Platform::WatchInput): low-level mouse and
// keyboard hooks on the program's thread. A hook sees every mouse or keyboard
// event of the session before any window does, and each event waits for it,
// so the hooks only post what they saw to a window of the program and return:
// they allocate nothing and call no other process. They are in place only
// while something is watched.
//
// Windows removes a low-level hook without a word when its thread keeps an
// event waiting longer than LowLevelHooksTimeout (at most a second). The
// program's thread takes the hooks away while it sleeps (Pause), and sets them
// again after any message whose handling took long (Renew).
//
// Two other ways were measured under Wine and left: a thread of the hooks'
// own would never keep an event waiting, but every thread costs about a
// megabyte of committed memory there, four times what the program may add to
// a bare tray program; raw input (RIDEV_INPUTSINK) keeps no event waiting at
// all, but Wine gives none while no window is in front, which happens there
// whenever the window in front has gone.
#pragma once

#include "platform/Platform.h"
#include "platform/win32/Win32.h"

namespace tamberlinox::platform::win32 {

class InputHooks {
 public:
  // A message whose handling took longer than this renews the hooks.
  static constexpr DWORD kLongHandlingMs = 200;

  InputHooks() = default;
  ~InputHooks();  // the hooks go
  InputHooks(const InputHooks&) = delete;
  InputHooks& operator=(const InputHooks&) = delete;

  // What to watch from now on; the hooks are in place (or gone) when this
  // returns. False when a hook could not be set.
  bool Watch(HWND window, UINT firstMessage, const InputWatch& watch);
  // Takes the hooks away and sets them again, in case Windows removed them.
  void Renew();

  // The hooks are away for the life of the object (the thread sleeps); input
  // meanwhile is not seen.
  class Pause {
   public:
    explicit Pause(InputHooks& hooks);
    ~Pause();
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;

   private:
    InputHooks& hooks_;
  };

 private:
  bool Set(bool mouse, bool keyboard);
  bool Restore();  // the hooks as watch_ asks, the pointer's place noted

  InputWatch watch_;
  int paused_ = 0;
};

}  // namespace tamberlinox::platform::win32
