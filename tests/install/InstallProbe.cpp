// Answers, by its exit code, one question about the installed Tamberlinox for
// install-test.sh: 0 yes, 1 no, 2 the question could not be asked.
//   install_probe window   is the program's main window there?
//   install_probe tray     does the program's tray icon exist?
//   install_probe hotkey   is F10 taken (registering it fails with 1409)?
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstring>

namespace {

constexpr UINT kTrayIconId = 125;
constexpr int kYes = 0;
constexpr int kNo = 1;
constexpr int kCannotTell = 2;

HWND MainWindow() { return FindWindowW(L"TamberlinoxForm", L"Zemrik Program"); }

int WindowExists() { return MainWindow() ? kYes : kNo; }

// A change of nothing succeeds only for an icon the taskbar holds.
int TrayIconExists() {
  HWND window = MainWindow();
  if (!window) return kNo;
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = window;
  data.uID = kTrayIconId;
  return Shell_NotifyIconW(NIM_MODIFY, &data) ? kYes : kNo;
}

int HotKeyTaken() {
  constexpr int kId = 1;
  if (RegisterHotKey(nullptr, kId, 0, VK_F10)) {
    UnregisterHotKey(nullptr, kId);
    return kNo;
  }
  return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? kYes : kCannotTell;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (std::strcmp(commandLine, "window") == 0) return WindowExists();
  if (std::strcmp(commandLine, "tray") == 0) return TrayIconExists();
  if (std::strcmp(commandLine, "hotkey") == 0) return HotKeyTaken();
  return kCannotTell;
}
