#include "platform/win32/InputHooks.h"

#include <atomic>

namespace tamberlinox::platform::win32 {

namespace {

// The hooks in kSetHooksMessage's wParam; the thread sets the answer event after each.
constexpr int kMouse = 1, kKeyboard = 2;
// How long the program's thread waits for the hook thread, which has nothing
// else to do.
constexpr DWORD kAnswerMs = 5000;

// What the hook procedures work with: they have no pointer of their own. The
// program's thread writes what is watched, the hook thread reads it for each
// event; atomics, so that a change is safe while events come.
struct Watched {
  std::atomic<HWND> window{nullptr};
  std::atomic<UINT> firstMessage{0};
  std::atomic<bool> leftButton{false};
  std::atomic<bool> anyInput{false};
  std::atomic<bool> inputReported{false};
  std::atomic<DWORD> keyReleased{0};
};
Watched g_watched;

// Only the hook thread's.
struct HookThreadState {
  HHOOK mouse = nullptr;
  HHOOK keyboard = nullptr;
  POINT pointer{};  // where the last mouse event left the pointer
};
HookThreadState g_thread;
std::atomic<bool> g_hooksSet{false};  // the hook thread's answer to the last kSetHooksMessage

void Report(InputReport report, WPARAM wParam, LPARAM lParam) {
  ::PostMessageW(g_watched.window.load(), g_watched.firstMessage.load() + report, wParam, lParam);
}

void ReportInput() {
  if (g_watched.anyInput.load() && !g_watched.inputReported.exchange(true)) Report(kInputArrived, 0, 0);
}

LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    const auto& event = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    if (g_watched.leftButton.load() && (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)) {
      Report(message == WM_LBUTTONDOWN ? kLeftButtonPressed : kLeftButtonReleased, event.time,
             PackPoint(Point{event.pt.x, event.pt.y}));
    }
    // A move that leaves the pointer where it was is nobody's doing: the
    // window system reports one when a window under the pointer comes or goes
    // (Wine does, when the icons are hidden for idleness under the pointer).
    const bool moved = event.pt.x != g_thread.pointer.x || event.pt.y != g_thread.pointer.y;
    g_thread.pointer = event.pt;
    if (message != WM_MOUSEMOVE || moved) ReportInput();
  }
  return ::CallNextHookEx(nullptr, code, message, data);
}

// Key releases only: a key pressed as the hot key has been heard as the hot
// key by the time it is released. A release is posted before the system
// takes in the keyboard's next event, so it reaches the program's window
// before the hot key message that event may bring.
LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && (message == WM_KEYUP || message == WM_SYSKEYUP)) {
    const DWORD key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data)->vkCode;
    const DWORD watchedKey = g_watched.keyReleased.load();
    if (watchedKey != 0 && key == watchedKey) Report(kKeyReleased, key, 0);
    ReportInput();
  }
  return ::CallNextHookEx(nullptr, code, message, data);
}

bool SetHook(HHOOK& hook, bool wanted, int kind, HOOKPROC procedure) {
  if (hook != nullptr && !wanted) {
    ::UnhookWindowsHookEx(hook);
    hook = nullptr;
  } else if (hook == nullptr && wanted) {
    if (kind == WH_MOUSE_LL) ::GetCursorPos(&g_thread.pointer);
    hook = ::SetWindowsHookExW(kind, procedure, ::GetModuleHandleW(nullptr), 0);
  }
  return hook != nullptr || !wanted;
}

bool SetThreadHooks(bool mouse, bool keyboard) {
  const bool mouseSet = SetHook(g_thread.mouse, mouse, WH_MOUSE_LL, MouseHook);
  return SetHook(g_thread.keyboard, keyboard, WH_KEYBOARD_LL, KeyboardHook) && mouseSet;
}

// The hook thread: its message loop is where the system calls the hooks.
DWORD WINAPI HookThread(void* answered) {
  // Every event of the session waits for this thread, which takes microseconds
  // for one: it goes before the program's own work.
  ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  MSG message;
  // The thread's queue exists before the thread says it is ready.
  ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  ::SetEvent(answered);
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == kSetHooksMessage) {
      g_hooksSet.store(SetThreadHooks((message.wParam & kMouse) != 0, (message.wParam & kKeyboard) != 0));
      ::SetEvent(answered);
    }
  }
  SetThreadHooks(false, false);
  return 0;
}

}  // namespace

InputHooks::~InputHooks() { Stop(); }

bool InputHooks::Start() {
  if (thread_) return true;
  answered_.Reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!answered_) return false;
  thread_.Reset(::CreateThread(nullptr, kStackBytes, HookThread, answered_.Get(), STACK_SIZE_PARAM_IS_A_RESERVATION,
                               &threadId_));
  if (thread_ && ::WaitForSingleObject(answered_.Get(), kAnswerMs) == WAIT_OBJECT_0) return true;
  Stop();
  return false;
}

void InputHooks::Stop() {
  if (thread_) {
    // The thread takes its hooks away and ends at once: it waits for nobody.
    ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    ::WaitForSingleObject(thread_.Get(), INFINITE);
    thread_.Reset();
  }
  threadId_ = 0;
  answered_.Reset();
  hooks_ = 0;
}

bool InputHooks::SetHooks(bool mouse, bool keyboard) {
  const int hooks = (mouse ? kMouse : 0) | (keyboard ? kKeyboard : 0);
  if (hooks == hooks_) return true;
  if (!::PostThreadMessageW(threadId_, kSetHooksMessage, hooks, 0) ||
      ::WaitForSingleObject(answered_.Get(), kAnswerMs) != WAIT_OBJECT_0 || !g_hooksSet.load()) {
    hooks_ = kUnknown;  // asked again next time
    return false;
  }
  hooks_ = hooks;
  return true;
}

bool InputHooks::Watch(HWND window, UINT firstMessage, const InputWatch& watch) {
  const bool mouse = watch.leftButton || watch.anyInput;
  const bool keyboard = watch.anyInput || watch.keyReleased != 0;
  const auto key = static_cast<DWORD>(watch.keyReleased);
  const bool keyWatchBegins = key != 0 && key != g_watched.keyReleased.load();
  g_watched.window.store(window);
  g_watched.firstMessage.store(firstMessage);
  g_watched.leftButton.store(watch.leftButton);
  g_watched.keyReleased.store(key);
  g_watched.inputReported.store(false);
  g_watched.anyInput.store(watch.anyInput);
  if (!mouse && !keyboard) {
    Stop();
    return true;
  }
  if (!Start() || !SetHooks(mouse, keyboard)) {
    g_watched.keyReleased.store(0);  // its watch begins anew when asked again
    return false;
  }
  if (keyWatchBegins) ::PostMessageW(window, firstMessage + kKeyWatchBegun, key, 0);
  return true;
}

}  // namespace tamberlinox::platform::win32
