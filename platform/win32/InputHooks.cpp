#include "platform/win32/InputHooks.h"

namespace tamberlinox::platform::win32 {

namespace {

// A thread message that hands the hook thread what to watch (lParam: a Watched it deletes).
constexpr UINT kWatchMessage = WM_APP + 1;
constexpr DWORD kThreadStackBytes = 64 * 1024;
constexpr DWORD kThreadStartMs = 5000;
constexpr DWORD kWatchChangeMs = 1000;

struct Watched {
  HWND window = nullptr;
  UINT firstMessage = 0;
  InputWatch watch;
};

// What the hooks work with. Only the hook thread reads or writes it.
struct HookState {
  Watched now;
  bool inputReported = false;
  HHOOK mouse = nullptr;
  HHOOK keyboard = nullptr;
};
HookState g_hooks;

void Report(InputReport report, WPARAM wParam, LPARAM lParam) {
  ::PostMessageW(g_hooks.now.window, g_hooks.now.firstMessage + report, wParam, lParam);
}

void ReportInput() {
  if (!g_hooks.now.watch.anyInput || g_hooks.inputReported) return;
  g_hooks.inputReported = true;
  Report(kInputArrived, 0, 0);
}

LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    const auto& event = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    if (g_hooks.now.watch.leftButton && (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)) {
      Report(message == WM_LBUTTONDOWN ? kLeftButtonPressed : kLeftButtonReleased, event.time,
             PackPoint(Point{event.pt.x, event.pt.y}));
    }
    ReportInput();
  }
  return ::CallNextHookEx(nullptr, code, message, data);
}

// Key releases only: a key pressed as the hot key has been heard as the hot
// key by the time it is released.
LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && (message == WM_KEYUP || message == WM_SYSKEYUP)) ReportInput();
  return ::CallNextHookEx(nullptr, code, message, data);
}

void SetHook(HHOOK& hook, bool wanted, int kind, HOOKPROC procedure) {
  if (wanted && hook == nullptr) {
    hook = ::SetWindowsHookExW(kind, procedure, ::GetModuleHandleW(nullptr), 0);
  } else if (!wanted && hook != nullptr) {
    ::UnhookWindowsHookEx(hook);
    hook = nullptr;
  }
}

void Apply(const Watched& watched) {
  g_hooks.now = watched;
  g_hooks.inputReported = false;
  const InputWatch& watch = watched.watch;
  SetHook(g_hooks.mouse, watch.leftButton || watch.anyInput, WH_MOUSE_LL, MouseHook);
  SetHook(g_hooks.keyboard, watch.anyInput, WH_KEYBOARD_LL, KeyboardHook);
  if (watch.anyInput) {
    // Input between the moment the program looked and now came before the hooks.
    LASTINPUTINFO last{sizeof last, 0};
    if (::GetLastInputInfo(&last) && last.dwTime != watch.inputSeenAt) ReportInput();
  }
}

// done: an event set once the thread's queue exists, and again after each change.
DWORD WINAPI HookThread(void* done) {
  MSG message;
  ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the thread's queue, before anyone posts
  ::SetEvent(static_cast<HANDLE>(done));
  // The hooks are called from inside GetMessage.
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == kWatchMessage) {
      Watched* watched = reinterpret_cast<Watched*>(message.lParam);
      Apply(*watched);
      delete watched;
      ::SetEvent(static_cast<HANDLE>(done));
    }
  }
  Apply(Watched{});
  return 0;
}

}  // namespace

InputHooks::~InputHooks() {
  if (!thread_) return;
  ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  ::WaitForSingleObject(thread_.Get(), kThreadStartMs);
}

bool InputHooks::Watch(HWND window, UINT firstMessage, const InputWatch& watch) {
  if (!thread_) {
    if (!watch.leftButton && !watch.anyInput) return true;
    done_.Reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!done_) return false;
    thread_.Reset(::CreateThread(nullptr, kThreadStackBytes, HookThread, done_.Get(),
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, &threadId_));
    if (!thread_) return false;
    ::WaitForSingleObject(done_.Get(), kThreadStartMs);
  }
  auto* watched = new Watched{window, firstMessage, watch};
  if (!::PostThreadMessageW(threadId_, kWatchMessage, 0, reinterpret_cast<LPARAM>(watched))) {
    delete watched;
    return false;
  }
  // The hooks are in place, or gone, when this returns: what the program
  // does next (and what a user does next) meets them as asked.
  ::WaitForSingleObject(done_.Get(), kWatchChangeMs);
  return true;
}

}  // namespace tamberlinox::platform::win32
