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

HANDLE ProcessMemory::Open(std::uint32_t processId) {
  DWORD access = SYNCHRONIZE | PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE;
#ifdef _WIN64
  access |= PROCESS_QUERY_INFORMATION;  // for IsWow64Process (see Allocate)
#endif
  return ::OpenProcess(access, FALSE, processId);
}

// A wait that fails takes the process as living: its page is kept, not made anew.
bool ProcessMemory::Ended(HANDLE process) { return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

// Committed as a whole page, whatever the size asked for.
void* ProcessMemory::Allocate(HANDLE process) {
  void* const page = ::VirtualAllocEx(process, nullptr, sizeof(LVHITTESTINFO), MEM_COMMIT | MEM_RESERVE,
                                      PAGE_READWRITE);
#ifdef _WIN64
  // A 32-bit list reads only the low half of the message's address: a page
  // above 4 GB in its process would have it write its answer somewhere else.
  // Windows places what it allocates for a 32-bit process below 4 GB; should
  // a page ever lie above, the hit test goes without an answer instead.
  BOOL thirtyTwoBit = FALSE;
  if (page != nullptr && reinterpret_cast<std::uintptr_t>(page) > 0xFFFFFFFFu &&
      (!::IsWow64Process(process, &thirtyTwoBit) || thirtyTwoBit)) {
    Free(process, page);
    return nullptr;
  }
#endif
  return page;
}

void ProcessMemory::Free(HANDLE process, void* page) { ::VirtualFreeEx(process, page, 0, MEM_RELEASE); }

void ProcessMemory::Close(HANDLE process) { ::CloseHandle(process); }

// LVM_HITTEST with its record in the list's own process, in the page kept
// there for it (see RemotePage: the shell may write a late answer into it at
// any time). The record holds no pointer, so its layout is the same for a
// 32-bit and a 64-bit shell; memory that a 32-bit program allocates in a
// 64-bit process lies below 4 GB, where the message's 32-bit address can
// reach it, and a 64-bit program makes sure of the same for a 32-bit shell
// (ProcessMemory::Allocate). The answer, -1 for no item, may come back from a
// 32-bit shell to a 64-bit program as 0xFFFFFFFF: only its low half counts.
//
// The shell's own interfaces (its desktop's folder view and the items'
// positions, or UI Automation's element at the point) would write nothing into
// its memory, but they are calls into the shell's busy desktop thread with no
// time-out of the program's own, and they reach only a shell that registers
// its desktop with them; the hit test is a message with a time-out, and any
// list view of the layouts the program follows answers it.
std::optional<bool> Win32Platform::ListItemAt(WindowHandle listHandle, Point screen) {
  const HWND list = ToHwnd(listHandle);
  DWORD processId = 0;
  if (::GetWindowThreadProcessId(list, &processId) == 0) return std::nullopt;
  LVHITTESTINFO hit{};
  hit.pt = POINT{screen.x, screen.y};
  if (!::ScreenToClient(list, &hit.pt)) return std::nullopt;
  void* const record = hitTestPage_.In(processId);
  const HANDLE process = hitTestPage_.Owner();
  if (record == nullptr || !::WriteProcessMemory(process, record, &hit, sizeof hit, nullptr)) return std::nullopt;
  DWORD_PTR item = 0;
  // Sent messages are served meanwhile; posted ones, the input watch's
  // reports among them, wait.
  const bool answered = ::SendMessageTimeoutW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(record),
                                              SMTO_ABORTIFHUNG, kListAnswerMs, &item) != 0;
  hitTestPage_.Sent(answered);
  if (!answered || !::ReadProcessMemory(process, record, &hit, sizeof hit, nullptr)) return std::nullopt;
  return static_cast<int>(item) >= 0 && (hit.flags & LVHT_ONITEM) != 0;
}

ClickLimits Win32Platform::MouseClickLimits() {
  return ClickLimits{::GetDoubleClickTime(), ::GetSystemMetrics(SM_CXDOUBLECLK), ::GetSystemMetrics(SM_CYDOUBLECLK),
                     ::GetSystemMetrics(SM_CXDRAG), ::GetSystemMetrics(SM_CYDRAG)};
}

std::uint32_t Win32Platform::TickCount() { return ::GetTickCount(); }

std::string Win32Platform::LowerCase(const std::string& text) {
  std::wstring wide = Widen(text);
  if (!wide.empty()) ::CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return Narrow(wide);
}

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
