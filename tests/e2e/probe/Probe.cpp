// A small stand-in for the program under test, used to prove the bench itself.
// It starts up the way the tray program does (autostart entry, hot key from the
// settings, tray icon with retries, desktop hidden, main window out of sight),
// pops up small menus from the tray icon, asks a question in a message box and
// records what it was told in the registry, so that every tool of the bench can
// be tried against a program whose behaviour is known.
//
// Arguments that make it misbehave on purpose (the bench must notice):
//   --on-screen       shows its main window on the screen
//   --taskbar-button  shows its main window above the screen, but as a window with a taskbar button
//   --no-tray-retry   gives up when the first tray add fails
// and one that widens what it shows:
//   --unicode-menu    adds entries outside the code page to the left-click menu
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kSettingsKey[] = "Software\\Zemrik Software\\Tamberlinox";
constexpr char kProbeKey[] = "Software\\TamberlinoxE2E\\Probe";
constexpr UINT kTrayId = 125;
constexpr UINT kTrayMessage = WM_USER + 1;
constexpr UINT_PTR kRetryTimer = 2;
constexpr int kRetryLimit = 60;
constexpr int kControlText = 101;
constexpr int kControlCheck = 102;

HWND gMain = nullptr;
UINT gTaskbarCreated = 0;
int gRetries = 0;
bool gNoRetry = false;
bool gUnicodeMenu = false;

std::string ReadString(HKEY hive, const char* path, const char* name, bool& found) {
  found = false;
  HKEY key;
  if (RegOpenKeyExA(hive, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
  char data[512] = "";
  DWORD size = sizeof data - 1, type = 0;
  found = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return found ? std::string(data) : std::string();
}

void WriteString(HKEY hive, const char* path, const char* name, const std::string& value) {
  HKEY key;
  if (RegCreateKeyExA(hive, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
  RegCloseKey(key);
}

void Record(const char* name, const std::string& value) { WriteString(HKEY_CURRENT_USER, kProbeKey, name, value); }

NOTIFYICONDATAA TrayData() {
  NOTIFYICONDATAA nid{};
  nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = gMain;
  nid.uID = kTrayId;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = kTrayMessage;
  nid.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  std::strcpy(nid.szTip, "Zemrik Tamberlinox");
  return nid;
}

bool AddTrayIcon() {
  NOTIFYICONDATAA nid = TrayData();
  return Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
}

void AddTrayIconOrRetry() {
  if (AddTrayIcon()) return;
  if (gNoRetry) return;
  gRetries = 0;
  SetTimer(gMain, kRetryTimer, 2000, nullptr);
}

void ToggleDesktop() {
  HWND desktop = FindWindowA("Progman", "Program Manager");
  if (!desktop) return;
  ShowWindow(desktop, IsWindowVisible(desktop) ? SW_HIDE : SW_SHOW);
}

void PopUp(bool commands) {
  HMENU menu = CreatePopupMenu();
  if (commands) {
    AppendMenuA(menu, MF_STRING, 1, "Program Help");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, 2, "Ask Question");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, 4, "Minimize All Windows");
    AppendMenuA(menu, MF_STRING, 3, "Close Probe");
  } else {
    AppendMenuA(menu, MF_STRING, 11, "My Computer");
    AppendMenuA(menu, MF_STRING, 12, "My Documents");
    AppendMenuA(menu, MF_STRING, 13, "Recycle Bin");
    if (gUnicodeMenu) {
      AppendMenuW(menu, MF_STRING, 14, L"\x65E5\x672C\x8A9E \xD83D\xDE00");  // Japanese and an emoji
      AppendMenuW(menu, MF_STRING, 15, L"Lone\xD800");                       // an unpaired surrogate
    }
  }
  POINT at;
  GetCursorPos(&at);
  SetForegroundWindow(gMain);
  UINT chosen = UINT(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, gMain, nullptr));
  char caption[256] = "";
  if (chosen != 0) GetMenuStringA(menu, chosen, caption, sizeof caption, MF_BYCOMMAND);
  DestroyMenu(menu);
  Record("Chosen", chosen != 0 ? caption : "(none)");
  if (chosen == 2) {
    int answer = MessageBoxA(gMain, "Keep the probe?\r\n\r\nSecond line.", "Probe Question", MB_YESNO | MB_ICONQUESTION);
    Record("Answer", std::to_string(answer));
  } else if (chosen == 4) {
    PostMessageA(FindWindowA("Shell_TrayWnd", nullptr), WM_COMMAND, 419, 0);
  } else if (chosen == 3) {
    NOTIFYICONDATAA nid = TrayData();
    Shell_NotifyIconA(NIM_DELETE, &nid);
    DestroyWindow(gMain);
  }
}

LRESULT CALLBACK MainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == gTaskbarCreated && gTaskbarCreated != 0) {
    AddTrayIconOrRetry();
    return 0;
  }
  switch (msg) {
    case WM_HOTKEY:
      ToggleDesktop();
      return 0;
    case kTrayMessage:
      if (lp == WM_RBUTTONUP) PopUp(true);
      if (lp == WM_LBUTTONUP) PopUp(false);
      return 0;
    case WM_TIMER:
      if (wp == kRetryTimer && (AddTrayIcon() || ++gRetries >= kRetryLimit)) KillTimer(w, kRetryTimer);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(w, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const std::string args = commandLine ? commandLine : "";
  const bool onScreen = args.find("--on-screen") != std::string::npos;
  const bool taskbarButton = args.find("--taskbar-button") != std::string::npos;
  gNoRetry = args.find("--no-tray-retry") != std::string::npos;
  gUnicodeMenu = args.find("--unicode-menu") != std::string::npos;

  // Autostart entry: the program's folder and the fixed file name, when there is none yet.
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  folder = folder.substr(0, folder.find_last_of('\\') + 1);
  bool found = false;
  ReadString(HKEY_LOCAL_MACHINE, kRunKey, "Tamberlinox", found);
  if (!found) WriteString(HKEY_LOCAL_MACHINE, kRunKey, "Tamberlinox", folder + "Tamberlinox.exe");

  // The hot key from the settings: "Key" (written as F10 when missing) and the modifiers.
  std::string key = ReadString(HKEY_CURRENT_USER, kSettingsKey, "Key", found);
  if (!found) {
    key = "121";
    WriteString(HKEY_CURRENT_USER, kSettingsKey, "Key", key);
  }
  UINT modifiers = 0;
  if (!ReadString(HKEY_CURRENT_USER, kSettingsKey, "Alt", found).empty()) modifiers |= MOD_ALT;
  if (!ReadString(HKEY_CURRENT_USER, kSettingsKey, "Ctrl", found).empty()) modifiers |= MOD_CONTROL;
  if (!ReadString(HKEY_CURRENT_USER, kSettingsKey, "Shift", found).empty()) modifiers |= MOD_SHIFT;

  WNDCLASSA wc{};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.lpszClassName = "TamberlinoxProbe";
  RegisterClassA(&wc);
  gTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  const DWORD exStyle = taskbarButton ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
  gMain = CreateWindowExA(exStyle, "TamberlinoxProbe", "Zemrik Program", WS_POPUP, 0, -133, 2, 2, nullptr, nullptr,
                          instance, nullptr);
  if (!gMain) return 2;
  CreateWindowExA(0, "STATIC", "probe text", WS_CHILD, 0, 0, 1, 1, gMain, reinterpret_cast<HMENU>(kControlText),
                  instance, nullptr);
  HWND check = CreateWindowExA(0, "BUTTON", "probe check", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 1, 1, gMain,
                               reinterpret_cast<HMENU>(kControlCheck), instance, nullptr);
  SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);

  AddTrayIconOrRetry();
  const ATOM atom = GlobalAddAtomA("TamberlinoxE2E probe hot key");
  Record("HotKeyRegistered", RegisterHotKey(gMain, atom, modifiers, UINT(std::stoi(key))) ? "1" : "0");
  if (HWND desktop = FindWindowExA(nullptr, nullptr, "Progman", nullptr)) ShowWindow(desktop, SW_HIDE);

  if (onScreen) SetWindowPos(gMain, nullptr, 100, 100, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (taskbarButton) ShowWindow(gMain, SW_SHOWNOACTIVATE);

  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  GlobalDeleteAtom(atom);
  return 0;
}
