// The mouse, the keyboard and what is under the pointer: the Win32Platform
// functions that the gestures on the desktop and hide-when-idle use.
#include "platform/win32/Win32Platform.h"
// After <windows.h>, which Win32Platform.h brings.
#include <commctrl.h>

#include "platform/win32/Text.h"

namespace tamberlinox::platform::win32 {

namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// How long another program's list view may take to answer a hit test: it
// belongs to the shell, which may be busy opening what was double-clicked.
constexpr UINT kListAnswerMs = 300;

// Memory in another process, given back at the end of the scope.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, SIZE_T size)
      : process_(process), address_(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  ~RemoteMemory() {
    if (address_ != nullptr) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  void* Get() const { return address_; }

 private:
  HANDLE process_;
  void* address_;
};

}  // namespace

WindowHandle Win32Platform::WindowAt(Point screen) {
  return reinterpret_cast<WindowHandle>(::WindowFromPoint(POINT{screen.x, screen.y}));
}

std::string Win32Platform::WindowClassName(WindowHandle window) {
  wchar_t name[256] = L"";
  const int length = ::GetClassNameW(ToHwnd(window), name, 256);
  return length > 0 ? Narrow(std::wstring(name, length)) : std::string();
}

WindowHandle Win32Platform::TopLevelWindowOf(WindowHandle window) {
  // The screen's own window has no root above it: it is its own.
  const HWND root = ::GetAncestor(ToHwnd(window), GA_ROOT);
  return root != nullptr ? reinterpret_cast<WindowHandle>(root) : window;
}

// LVM_HITTEST with its record in the list's own process. The record holds no
// pointer, so its layout is the same for a 32-bit and a 64-bit shell; memory
// that a 32-bit program allocates in a 64-bit process lies below 4 GB, where
// the message's 32-bit address can reach it.
std::optional<bool> Win32Platform::ListItemAt(WindowHandle listHandle, Point screen) {
  const HWND list = ToHwnd(listHandle);
  DWORD processId = 0;
  if (::GetWindowThreadProcessId(list, &processId) == 0) return std::nullopt;
  LVHITTESTINFO hit{};
  hit.pt = POINT{screen.x, screen.y};
  if (!::ScreenToClient(list, &hit.pt)) return std::nullopt;
  const KernelHandle process(
      ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  if (!process) return std::nullopt;
  const RemoteMemory remote(process.Get(), sizeof hit);
  if (remote.Get() == nullptr || !::WriteProcessMemory(process.Get(), remote.Get(), &hit, sizeof hit, nullptr)) {
    return std::nullopt;
  }
  DWORD_PTR item = 0;
  // Sent messages are served meanwhile; posted ones, the input watch's
  // reports among them, wait.
  if (!::SendMessageTimeoutW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(remote.Get()), SMTO_ABORTIFHUNG,
                             kListAnswerMs, &item) ||
      !::ReadProcessMemory(process.Get(), remote.Get(), &hit, sizeof hit, nullptr)) {
    return std::nullopt;
  }
  return static_cast<int>(item) >= 0 && (hit.flags & LVHT_ONITEM) != 0;
}

ClickLimits Win32Platform::MouseClickLimits() {
  return ClickLimits{::GetDoubleClickTime(), ::GetSystemMetrics(SM_CXDOUBLECLK), ::GetSystemMetrics(SM_CYDOUBLECLK),
                     ::GetSystemMetrics(SM_CXDRAG), ::GetSystemMetrics(SM_CYDRAG)};
}

std::uint32_t Win32Platform::TickCount() { return ::GetTickCount(); }

std::uint32_t Win32Platform::LastInputTick() {
  LASTINPUTINFO last{sizeof last, 0};
  return ::GetLastInputInfo(&last) ? last.dwTime : ::GetTickCount();
}

bool Win32Platform::WatchInput(WindowHandle window, std::uint32_t firstMessage, const InputWatch& watch) {
  return inputHooks_.Watch(ToHwnd(window), firstMessage, watch);
}

void Win32Platform::LetComeToFront(WindowHandle window) {
  DWORD processId = 0;
  if (::GetWindowThreadProcessId(ToHwnd(window), &processId) != 0) ::AllowSetForegroundWindow(processId);
}

}  // namespace tamberlinox::platform::win32
