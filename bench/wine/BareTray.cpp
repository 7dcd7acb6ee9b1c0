// The least code that does the job of Tamberlinox's desktop menu, for the
// benchmark to hold the program against: a hidden window with a tray icon
// (id 125, callback message WM_USER + 1), and on a left click on the icon a
// popup menu of the files on both desktops and the three shell places, sorted
// without regard to case, built afresh for each click and destroyed after it.
// It ends only when it is ended from outside.
//
//   bare_tray.exe [/hook]
//
// With /hook it also sets a low-level mouse hook that does nothing: the floor
// for a program that watches the mouse (under Wine every event then makes a
// trip to the hooking thread).
#include <windows.h>
// The headers below need <windows.h> before them.
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr UINT kTrayMessage = WM_USER + 1;
constexpr UINT kTrayId = 125;

// Appends the display name (the file name less its last four characters) of
// every file in a shell folder; sub-folders are left out.
void AddFileNames(int csidl, std::vector<std::wstring>& names) {
  wchar_t folder[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder))) return;
  const std::wstring pattern = std::wstring(folder) + L"\\*";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::wstring name = found.cFileName;
    name.resize(name.size() > 4 ? name.size() - 4 : 0);
    names.push_back(std::move(name));
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

bool LessNoCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                        static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

void ShowDesktopMenu(HWND window) {
  std::vector<std::wstring> names{L"My Computer", L"My Documents", L"Recycle Bin"};
  AddFileNames(CSIDL_DESKTOPDIRECTORY, names);
  AddFileNames(CSIDL_COMMON_DESKTOPDIRECTORY, names);
  std::stable_sort(names.begin(), names.end(), LessNoCase);

  HMENU menu = CreatePopupMenu();
  UINT id = 1;
  for (const std::wstring& name : names) AppendMenuW(menu, MF_STRING, id++, name.c_str());
  POINT cursor;
  GetCursorPos(&cursor);
  // The menu closes when the user clicks elsewhere only if its owner is in front.
  SetForegroundWindow(window);
  TrackPopupMenu(menu, 0, cursor.x, cursor.y, 0, window, nullptr);
  PostMessageW(window, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

NOTIFYICONDATAW TrayIcon(HWND window) {
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = window;
  icon.uID = kTrayId;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = kTrayMessage;
  icon.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  lstrcpynW(icon.szTip, L"Bare tray", ARRAYSIZE(icon.szTip));
  return icon;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kTrayMessage && wParam == kTrayId && lParam == WM_LBUTTONUP) {
    ShowDesktopMenu(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    NOTIFYICONDATAW icon = TrayIcon(window);
    Shell_NotifyIconW(NIM_DELETE, &icon);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK EmptyMouseHook(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"BareTray";
  if (!RegisterClassW(&windowClass)) return 1;
  HWND window = CreateWindowExW(0, L"BareTray", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  NOTIFYICONDATAW icon = TrayIcon(window);
  Shell_NotifyIconW(NIM_ADD, &icon);
  if (lstrcmpiA(commandLine, "/hook") == 0) SetWindowsHookExW(WH_MOUSE_LL, EmptyMouseHook, instance, 0);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
