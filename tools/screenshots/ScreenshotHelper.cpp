// screenshot_helper.exe: drives the running Tamberlinox.exe for
// scripts/screenshots.sh and tells it where things are on the screen. Each
// call does one thing, waits for its result and prints a rectangle as
// "x y width height" in screen pixels; it exits 1 when the awaited window does
// not come within ten seconds.
//
//   screenshot_helper.exe started                the program's main window is there
//   screenshot_helper.exe taskbar                the taskbar's rectangle
//   screenshot_helper.exe tray left|right X Y    pointer to X,Y, a click on the tray
//                                                icon; prints the menu's rectangle
//   screenshot_helper.exe keys KEY...            keys (down, up, return, escape) to
//                                                the open menu; waits until it closes
//                                                when the last key is return or escape
//   screenshot_helper.exe window CAPTION         the program's visible window with this
//                                                caption; prints its client area
//   screenshot_helper.exe close CAPTION          closes that window and waits until it has gone
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kFormClass[] = L"TamberlinoxForm";
constexpr wchar_t kMainCaption[] = L"Zemrik Program";
// The tray icon's id and callback message, and the mouse messages it reports.
constexpr UINT kTrayMessage = WM_USER + 1;
constexpr WPARAM kTrayIconId = 125;
constexpr LPARAM kLeftButtonUp = WM_LBUTTONUP;
constexpr LPARAM kRightButtonUp = WM_RBUTTONUP;

bool WaitUntil(const std::function<bool()>& fact) {
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (!fact()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

void PrintRect(const RECT& r) { std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top); }

// Returns once the window's thread has handled everything sent before, and so
// has had the chance to paint.
void Settle(HWND window) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

HWND MainWindow() { return FindWindowW(kFormClass, kMainCaption); }

BOOL CALLBACK FindVisibleMenu(HWND window, LPARAM found) {
  wchar_t name[16] = L"";
  GetClassNameW(window, name, 16);
  if (std::wcscmp(name, L"#32768") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The popup menu on the screen, or null.
HWND OpenMenu() {
  HWND menu = nullptr;
  EnumWindows(FindVisibleMenu, reinterpret_cast<LPARAM>(&menu));
  return menu;
}

HWND VisibleForm(const std::wstring& caption) {
  HWND form = FindWindowW(kFormClass, caption.c_str());
  return form && IsWindowVisible(form) ? form : nullptr;
}

std::wstring Wide(const char* text) {
  std::wstring wide(std::strlen(text) + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), static_cast<int>(wide.size())));
  if (!wide.empty()) wide.pop_back();
  return wide;
}

int Started() {
  return WaitUntil([] { return MainWindow() != nullptr; }) ? 0 : 1;
}

int Taskbar() {
  HWND taskbar = nullptr;
  if (!WaitUntil([&] { return (taskbar = FindWindowW(L"Shell_TrayWnd", nullptr)) != nullptr; })) return 1;
  RECT r{};
  GetWindowRect(taskbar, &r);
  PrintRect(r);
  return 0;
}

// The menu opens where the pointer is, as after a real click.
int Tray(const char* button, int x, int y) {
  HWND main = nullptr;
  if (!WaitUntil([&] { return (main = MainWindow()) != nullptr; })) return 1;
  if (!WaitUntil([&] {
        POINT at{};
        SetCursorPos(x, y);
        return GetCursorPos(&at) && at.x == x && at.y == y;
      })) {
    return 1;
  }
  const LPARAM mouse = std::strcmp(button, "right") == 0 ? kRightButtonUp : kLeftButtonUp;
  PostMessageW(main, kTrayMessage, kTrayIconId, mouse);
  HWND menu = nullptr;
  if (!WaitUntil([&] { return (menu = OpenMenu()) != nullptr; })) return 1;
  Settle(menu);
  RECT r{};
  GetWindowRect(menu, &r);
  PrintRect(r);
  return 0;
}

int Keys(int count, char** names) {
  HWND menu = OpenMenu();
  if (!menu) return 1;
  bool closes = false;
  for (int i = 0; i < count; ++i) {
    const std::string name = names[i];
    const WPARAM key = name == "down"     ? VK_DOWN
                       : name == "up"     ? VK_UP
                       : name == "return" ? VK_RETURN
                       : name == "escape" ? VK_ESCAPE
                                          : 0;
    if (key == 0) return 2;
    PostMessageW(menu, WM_KEYDOWN, key, 1);
    PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
    closes = key == VK_RETURN || key == VK_ESCAPE;
  }
  return !closes || WaitUntil([] { return OpenMenu() == nullptr; }) ? 0 : 1;
}

int Window(const std::wstring& caption) {
  HWND form = nullptr;
  if (!WaitUntil([&] { return (form = VisibleForm(caption)) != nullptr; })) return 1;
  Settle(form);
  RECT r{};
  GetClientRect(form, &r);
  MapWindowPoints(form, nullptr, reinterpret_cast<POINT*>(&r), 2);
  PrintRect(r);
  return 0;
}

int Close(const std::wstring& caption) {
  HWND form = VisibleForm(caption);
  if (!form) return 1;
  PostMessageW(form, WM_CLOSE, 0, 0);
  return WaitUntil([&] { return !IsWindow(form) || !IsWindowVisible(form); }) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "started" && argc == 2) return Started();
  if (command == "taskbar" && argc == 2) return Taskbar();
  if (command == "tray" && argc == 5) return Tray(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  if (command == "keys" && argc > 2) return Keys(argc - 2, argv + 2);
  if (command == "window" && argc == 3) return Window(Wide(argv[2]));
  if (command == "close" && argc == 3) return Close(Wide(argv[2]));
  std::fprintf(stderr, "screenshot_helper: unknown command (see the top of ScreenshotHelper.cpp)\n");
  return 2;
}
