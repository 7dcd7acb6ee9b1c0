// The web browser driven on a thread of its own (WebBrowser in Platform.h).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/Handles.h"

namespace tamberlinox::platform::win32 {

class BrowserCalls;  // what the program and one browser's thread share

// The browsers' threads the program has started. A browser the program lets
// go of before it was shown is told to quit by its thread: nobody could see
// or close it, and it would run on. At the program's end such a thread gets a
// moment to do that before the process takes it away.
class BrowserThreads {
 public:
  // How long after the program let go of a browser its end waits for the thread.
  static constexpr std::uint32_t kQuitPatienceMs = 1000;

  BrowserThreads() = default;
  ~BrowserThreads();  // waits for the threads as above
  BrowserThreads(const BrowserThreads&) = delete;
  BrowserThreads& operator=(const BrowserThreads&) = delete;

  // Starts a thread, which enters an apartment of its own and waits for the
  // first call; null when it cannot be started.
  std::unique_ptr<WebBrowser> Start();

 private:
  struct Started {
    BrowserCalls* calls;  // one reference
    KernelHandle thread;
  };
  std::vector<Started> started_;
};

}  // namespace tamberlinox::platform::win32
