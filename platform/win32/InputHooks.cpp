#include "platform/win32/InputHooks.h"

namespace tamberlinox::platform::win32 {

namespace {

// What the hook procedures work with: they have no pointer of their own. Only
// the program's thread reads or writes it.
struct HookState {
  HWND window = nullptr;
  UINT firstMessage = 0;
  bool leftButton = false;
  bool anyInput = false;
  bool inputReported = false;
  DWORD keyReleased = 0;
  POINT pointer{};  // where the last mouse event left the pointer
  HHOOK mouse = nullptr;
  HHOOK keyboard = nullptr;
};
HookState g_hooks;

void Report(InputReport report, WPARAM wParam, LPARAM lParam) {
  ::PostMessageW(g_hooks.window, g_hooks.firstMessage + report, wParam, lParam);
}

void ReportInput() {
  if (!g_hooks.anyInput || g_hooks.inputReported) return;
  g_hooks.inputReported = true;
  Report(kInputArrived, 0, 0);
}

LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    const auto& event = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    if (g_hooks.leftButton && (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)) {
      Report(message == WM_LBUTTONDOWN ? kLeftButtonPressed : kLeftButtonReleased, event.time,
             PackPoint(Point{event.pt.x, event.pt.y}));
    }
    // A move that leaves the pointer where it was is nobody's doing: the
    // window system reports one when a window under the pointer comes or goes
    // (Wine does, when the icons are hidden for idleness under the pointer).
    const bool moved = event.pt.x != g_hooks.pointer.x || event.pt.y != g_hooks.pointer.y;
    g_hooks.pointer = event.pt;
    if (message != WM_MOUSEMOVE || moved) ReportInput();
  }
  return ::CallNextHookEx(nullptr, code, message, data);
}

// Key releases only: a key pressed as the hot key has been heard as the hot
// key by the time it is released.
LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && (message == WM_KEYUP || message == WM_SYSKEYUP)) {
    const DWORD key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data)->vkCode;
    if (g_hooks.keyReleased != 0 && key == g_hooks.keyReleased) Report(kKeyReleased, key, 0);
    ReportInput();
  }
  return ::CallNextHookEx(nullptr, code, message, data);
}

bool SetHook(HHOOK& hook, bool wanted, int kind, HOOKPROC procedure) {
  if (hook != nullptr && !wanted) {
    ::UnhookWindowsHookEx(hook);
    hook = nullptr;
  } else if (hook == nullptr && wanted) {
    hook = ::SetWindowsHookExW(kind, procedure, ::GetModuleHandleW(nullptr), 0);
  }
  return hook != nullptr || !wanted;
}

}  // namespace

InputHooks::~InputHooks() { Set(false, false); }

bool InputHooks::Set(bool mouse, bool keyboard) {
  const bool mouseSet = SetHook(g_hooks.mouse, mouse, WH_MOUSE_LL, MouseHook);
  return SetHook(g_hooks.keyboard, keyboard, WH_KEYBOARD_LL, KeyboardHook) && mouseSet;
}

bool InputHooks::Restore() {
  ::GetCursorPos(&g_hooks.pointer);
  return Set(watch_.leftButton || watch_.anyInput, watch_.anyInput || watch_.keyReleased != 0);
}

bool InputHooks::Watch(HWND window, UINT firstMessage, const InputWatch& watch) {
  watch_ = watch;
  g_hooks.window = window;
  g_hooks.firstMessage = firstMessage;
  g_hooks.leftButton = watch.leftButton;
  g_hooks.anyInput = watch.anyInput;
  g_hooks.inputReported = false;
  g_hooks.keyReleased = static_cast<DWORD>(watch.keyReleased);
  return paused_ > 0 || Restore();  // else the pause's end sets them
}

void InputHooks::Renew() {
  if (paused_ > 0 || (g_hooks.mouse == nullptr && g_hooks.keyboard == nullptr)) return;
  Set(false, false);
  Restore();
}

InputHooks::Pause::Pause(InputHooks& hooks) : hooks_(hooks) {
  if (hooks_.paused_++ == 0) hooks_.Set(false, false);
}

InputHooks::Pause::~Pause() {
  if (--hooks_.paused_ == 0) hooks_.Restore();
}

}  // namespace tamberlinox::platform::win32
