// Watches, for as long as it lives, that a program's window is never seen: while
// it is visible its rectangle must lie entirely off the screen, and it must
// never be a window that gets a taskbar button.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

class VisibilityWatch {
 public:
  // Watches the top-level windows of process pid that carry this caption.
  VisibilityWatch(DWORD pid, std::string caption);
  ~VisibilityWatch();
  VisibilityWatch(const VisibilityWatch&) = delete;
  VisibilityWatch& operator=(const VisibilityWatch&) = delete;

  // What was seen that should not have been, each fault once.
  std::vector<std::string> Violations() const;
  // Whether the window was found at all (a watch that never saw it proves nothing).
  bool SawWindow() const { return sawWindow_; }
  // How many times the window was looked at, by polling and on window events.
  int Checks() const { return checks_; }
  int WindowEvents() const { return events_; }

  void Check(HWND w);  // for the event hook; checks one window now

 private:
  void Run();
  void Poll();
  void Report(const std::string& fault);

  const DWORD pid_;
  const std::string caption_;
  HANDLE stop_;
  std::vector<HWND> windows_;
  std::atomic<bool> sawWindow_{false};
  std::atomic<int> checks_{0};
  std::atomic<int> events_{0};
  mutable std::mutex mutex_;
  std::vector<std::string> violations_;
  std::thread thread_;
  friend void CALLBACK WatchEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD);
  friend BOOL CALLBACK CollectWatched(HWND, LPARAM);
};

}  // namespace e2e
