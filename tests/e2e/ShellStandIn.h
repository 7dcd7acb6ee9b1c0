// The shell around the program under test: a desktop window ("Progman") and a
// taskbar ("Shell_TrayWnd") that the program finds before Wine's own, both on a
// thread of their own that keeps pumping messages (a cross-process ShowWindow
// waits for the target's thread). The taskbar records what the program sends it
// and answers tray requests the way the test asks.
//
// Where Wine differs from Windows: Wine has no "Progman" window at all, so the
// stand-in is the only desktop window there is. Wine's explorer does have a
// hidden "Shell_TrayWnd", but nothing can be read from it and it ignores the
// minimize-all commands (WM_COMMAND 419/416); the stand-in is made topmost so
// that FindWindowA meets it first even if explorer creates its own later.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// One tray request as the taskbar received it. Wine's Shell_NotifyIcon sends
// WM_COPYDATA with dwData = the NIM_ code and a record of its own layout
// (hWnd, uID, uFlags, uCallbackMessage, WCHAR szTip[128], ...); Windows'
// taskbar receives a different record, so this decoding is Wine's.
struct TrayRequest {
  DWORD message = 0;  // NIM_ADD 0, NIM_MODIFY 1, NIM_DELETE 2, ...
  HWND window = nullptr;
  UINT id = 0;
  UINT flags = 0;
  UINT callbackMessage = 0;
  std::string tip;                     // UTF-8
  UINT iconWidth = 0, iconHeight = 0;  // of the icon image Wine sends along (0 when none)
  LRESULT answer = 0;                  // what the taskbar answered (Shell_NotifyIcon's result)
};

class ShellStandIn {
 public:
  ShellStandIn();
  ~ShellStandIn();
  ShellStandIn(const ShellStandIn&) = delete;
  ShellStandIn& operator=(const ShellStandIn&) = delete;

  bool Ready() const;

  // The desktop stand-in: top-level, visible at first, class "Progman", title "Program Manager".
  HWND Desktop() const;
  // Whether it is visible and how often it was shown or hidden since it was
  // created, as its own thread has seen it: the two always agree. (The window
  // system clears the visible style a moment before the window hears of it, so
  // IsWindowVisible alone would run ahead of the count.)
  bool DesktopVisible() const;
  int DesktopChanges() const;
  void ShowDesktop();  // puts it back to visible, as a fresh shell would have it
  // Runs hook on the stand-in's thread at each show or hide of the desktop,
  // while whoever changed it waits: a ShowWindow from another process returns
  // only after the stand-in has handled it. What the hook sees is the world at
  // the moment of the change. An empty function removes the hook.
  void OnDesktopChange(std::function<void(bool visible)> hook);

  // The taskbar stand-in.
  HWND Tray() const;
  // Whether NIM_ADD requests succeed; when refused, the taskbar answers 0 as a
  // shell does that is not ready yet.
  void SetTrayAccepts(bool accepts);
  std::vector<TrayRequest> TrayRequests() const;
  // Icons the taskbar holds now (added and not deleted).
  bool HasIcon(HWND window, UINT id) const;
  int IconCount() const;
  // WM_COMMAND wParams posted to the taskbar (419 minimize all, 416 undo).
  std::vector<WPARAM> TaskbarCommands() const;
  // The shell restarted: the taskbar window goes away and a new, empty one
  // takes its place. The "TaskbarCreated" broadcast is the caller's to send.
  void RecreateTray();

  // Receives the menu reports of the hook DLL (see MenuReader).
  HWND Receiver() const;
  std::optional<std::string> TakeMenuReport();

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// Sends the shell's "TaskbarCreated" notification to every top-level window.
void BroadcastTaskbarCreated();

}  // namespace e2e
