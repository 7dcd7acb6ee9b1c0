#include "VisibilityWatch.h"

#include <algorithm>

#include "Bench.h"

namespace e2e {

namespace {
thread_local VisibilityWatch* tWatch = nullptr;

std::string RectText(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}
}  // namespace

void CALLBACK WatchEvent(HWINEVENTHOOK, DWORD, HWND w, LONG object, LONG, DWORD, DWORD) {
  if (tWatch && w && object == OBJID_WINDOW) {
    ++tWatch->events_;
    tWatch->Check(w);
  }
}

VisibilityWatch::VisibilityWatch(DWORD pid, std::string caption)
    : pid_(pid), caption_(std::move(caption)), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  thread_ = std::thread([this] { Run(); });
}

VisibilityWatch::~VisibilityWatch() {
  SetEvent(stop_);
  thread_.join();
  CloseHandle(stop_);
}

std::vector<std::string> VisibilityWatch::Violations() const {
  std::lock_guard lock(mutex_);
  return violations_;
}

void VisibilityWatch::Report(const std::string& fault) {
  std::lock_guard lock(mutex_);
  if (std::find(violations_.begin(), violations_.end(), fault) == violations_.end()) violations_.push_back(fault);
}

void VisibilityWatch::Check(HWND w) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != pid_ || GetParent(w) != nullptr || WindowText(w) != caption_) return;
  sawWindow_ = true;
  ++checks_;
  if (!IsWindowVisible(w)) return;
  RECT r{};
  if (!GetWindowRect(w, &r)) return;  // destroyed meanwhile
  SetLastError(0);
  const LONG_PTR ex = GetWindowLongPtrA(w, GWL_EXSTYLE);
  if (ex == 0 && GetLastError() != 0) return;
  const HWND owner = GetWindow(w, GW_OWNER);
  // A window destroyed while it was read (its program was just ended) may have
  // given partial answers: only a window still there and visible counts.
  if (!IsWindow(w) || !IsWindowVisible(w)) return;
  if (!RectOffScreen(r, ScreenRect())) Report("visible on the screen at " + RectText(r));
  // The shell gives a taskbar button to every visible top-level window that is
  // not owned and not a tool window, and to any window marked as an app window.
  const bool button = (ex & WS_EX_APPWINDOW) || (!(ex & WS_EX_TOOLWINDOW) && owner == nullptr);
  if (button) Report("visible as a window with a taskbar button");
}

BOOL CALLBACK CollectWatched(HWND w, LPARAM lp) {
  auto& watch = *reinterpret_cast<VisibilityWatch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == watch.pid_ && WindowText(w) == watch.caption_) watch.windows_.push_back(w);
  return TRUE;
}

void VisibilityWatch::Poll() {
  windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [](HWND w) { return !IsWindow(w); }),
                 windows_.end());
  if (windows_.empty()) EnumWindows(CollectWatched, reinterpret_cast<LPARAM>(this));
  for (HWND w : windows_) Check(w);
}

void VisibilityWatch::Run() {
  tWatch = this;
  // On Windows, window events tell at once when the window is shown or moved.
  // Wine 8 delivers no out-of-context window events from another process (none
  // arrived in our measurements), so there the watch rests on polling every few
  // milliseconds: a flash shorter than that can slip through.
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_LOCATIONCHANGE, nullptr, WatchEvent, pid_, 0,
                                       WINEVENT_OUTOFCONTEXT);
  for (;;) {
    DWORD r = MsgWaitForMultipleObjects(1, &stop_, FALSE, 2, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) break;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    Poll();
  }
  if (hook) UnhookWinEvent(hook);
  tWatch = nullptr;
}

}  // namespace e2e
