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
//   screenshot_helper.exe keys KEY...            keys (down, up, right, return, escape) to
//                                                the open menu; waits until it closes
//                                                when the last key is return or escape
//   screenshot_helper.exe window CAPTION         the program's visible window with this
//                                                caption; prints its client area
//   screenshot_helper.exe close CAPTION          closes that window and waits until it has gone
//   screenshot_helper.exe shortcut LINK TARGET   makes a shortcut (a .lnk file) to TARGET
//   screenshot_helper.exe menus COUNT            waits until COUNT menus are open (a menu and
//                                                its submenus); prints the rectangle around them
#include <windows.h>
// The headers below need <windows.h> before them.
#include <objbase.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
#include <utility>

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

// The last one found is the lowest: the menu itself, under its submenus.
BOOL CALLBACK FindVisibleMenu(HWND window, LPARAM found) {
  wchar_t name[16] = L"";
  GetClassNameW(window, name, 16);
  if (std::wcscmp(name, L"#32768") == 0 && IsWindowVisible(window)) *reinterpret_cast<HWND*>(found) = window;
  return TRUE;
}

BOOL CALLBACK CollectVisibleMenu(HWND window, LPARAM found) {
  wchar_t name[16] = L"";
  GetClassNameW(window, name, 16);
  if (std::wcscmp(name, L"#32768") == 0 && IsWindowVisible(window)) {
    RECT r{};
    GetWindowRect(window, &r);
    auto& all = *reinterpret_cast<std::pair<int, RECT>*>(found);
    if (all.first++ == 0) {
      all.second = r;
    } else {
      UnionRect(&all.second, &all.second, &r);
    }
  }
  return TRUE;
}

// The popup menu on the screen, or null. Keys go to it rather than to an open
// submenu: Wine drops the messages queued for a menu window it destroys, and
// a key that closes a submenu would take the next key with it.
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
                       : name == "right"  ? VK_RIGHT
                                          : 0;
    if (key == 0) return 2;
    PostMessageW(menu, WM_KEYDOWN, key, 1);
    PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
    // From the name: i686 GCC 12 at -Os folds "key == VK_RETURN || key ==
    // VK_ESCAPE" after the chain above into a constant true.
    closes = name == "return" || name == "escape";
  }
  return (!closes || WaitUntil([] { return OpenMenu() == nullptr; })) ? 0 : 1;
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

int Menus(int count) {
  std::pair<int, RECT> all{};
  if (!WaitUntil([&] {
        all = {};
        EnumWindows(CollectVisibleMenu, reinterpret_cast<LPARAM>(&all));
        return all.first == count;
      })) {
    return 1;
  }
  if (HWND menu = OpenMenu()) Settle(menu);
  PrintRect(all.second);
  return 0;
}

// Made by the shell's own link object, as Explorer makes them.
int Shortcut(const std::wstring& link, const std::wstring& target) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  bool saved = false;
  IShellLinkW* shortcut = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&shortcut)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shortcut->SetPath(target.c_str())) &&
        SUCCEEDED(shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      saved = SUCCEEDED(file->Save(link.c_str(), TRUE));
      file->Release();
    }
    shortcut->Release();
  }
  CoUninitialize();
  return saved ? 0 : 1;
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
  if (command == "shortcut" && argc == 4) return Shortcut(Wide(argv[2]), Wide(argv[3]));
  if (command == "menus" && argc == 3) return Menus(std::atoi(argv[2]));
  std::fprintf(stderr, "screenshot_helper: unknown command (see the top of ScreenshotHelper.cpp)\n");
  return 2;
}
