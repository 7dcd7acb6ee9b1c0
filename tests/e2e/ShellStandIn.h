// The shell around the program under test: a desktop window ("Progman") and a
// taskbar ("Shell_TrayWnd") that the program finds before Wine's own, both on a
// thread of their own that keeps pumping messages (a cross-process ShowWindow
// waits for the target's thread). The taskbar records what the program sends it
// and answers tray requests the way the test asks.
//
// The desktop can be built in each of the layouts a Windows shell uses for its
// icon list (see DesktopLayout); every window of it belongs to the harness's
// process, which plays the shell, and is watched for being shown and hidden.
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

#include "Bench.h"

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
  std::string info, infoTitle;         // the balloon's text and title, UTF-8 (with NIF_INFO only)
  DWORD infoFlags = 0;                 // NIIF_ flags of the balloon
  UINT iconWidth = 0, iconHeight = 0;  // of the icon image Wine sends along (0 when none)
  LRESULT answer = 0;                  // what the taskbar answered (Shell_NotifyIcon's result)
};

// Where the shell keeps the desktop's icon list, a SysListView32 called
// "FolderView" inside a "SHELLDLL_DefView".
enum class DesktopLayout {
  // Progman alone, no icon list anywhere (as with Wine's own shell): the
  // program hides and shows Progman itself. The stand-in starts this way.
  kNoList,
  // Progman > SHELLDLL_DefView > FolderView: a shell that draws no wallpaper apart.
  kClassic,
  // After the shell was asked (message 0x052C) to draw the wallpaper apart,
  // Windows 7 to Windows 11 23H2: top-level windows, top to bottom, a WorkerW
  // holding SHELLDLL_DefView > FolderView, an empty WorkerW (the wallpaper),
  // then Progman, visible, with no children.
  kWorkerW,
  // Windows 11 24H2 and later: Progman > SHELLDLL_DefView > FolderView, and
  // below the view a child WorkerW of Progman (the wallpaper).
  kProgmanWithWallpaper,
};
const char* LayoutName(DesktopLayout layout);

// The windows of the desktop stand-in in its current layout (null where the layout has none).
struct DesktopWindows {
  DesktopLayout layout = DesktopLayout::kNoList;
  HWND desktop = nullptr;     // Progman
  HWND view = nullptr;        // SHELLDLL_DefView
  HWND list = nullptr;        // SysListView32 "FolderView"
  HWND iconWorker = nullptr;  // the top-level WorkerW holding the view
  HWND wallpaper = nullptr;   // the WorkerW that draws the wallpaper (top-level, or Progman's child)
  // The window whose visibility is the icons': the list, or Progman where there is none.
  HWND IconWindow() const { return list ? list : desktop; }
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
  // Runs hook on the stand-in's thread at each show or hide of the desktop
  // (the icon list, or Progman where there is none),
  // while whoever changed it waits: a ShowWindow from another process returns
  // only after the stand-in has handled it. What the hook sees is the world at
  // the moment of the change. An empty function removes the hook.
  void OnDesktopChange(std::function<void(bool visible)> hook);

  // Builds the desktop in this layout, the way the shell would change it while
  // running: Progman stays the same window, and an icon list that exists
  // already is moved (with its visibility) rather than made anew. Windows
  // made for the layout start visible and with no changes counted.
  void SetLayout(DesktopLayout layout);
  DesktopWindows Windows() const;
  // Whether a window of the desktop stand-in is visible by its own style, and
  // how often it was shown or hidden, as its thread has seen it (see DesktopVisible).
  bool Visible(HWND window) const;
  int Changes(HWND window) const;
  // Shows and hides of all the desktop stand-in's windows together.
  int AllChanges() const;
  // Whether the icons can be seen, as its thread has seen it: the list and
  // every window around it visible (Progman where there is no list).
  bool IconsVisible() const;
  // Shows or hides the icon list (or Progman) as someone else than the program would.
  void ShowIcons(bool show);
  // The shell's icon view (SHELLDLL_DefView with its list) goes away, as while
  // the shell restarts; Progman and the WorkerWs stay.
  void RemoveIconView();
  // The shell makes its icon view anew, visible, where the layout keeps it
  // (the old one, if any, goes first): a new list for the program to find.
  void RecreateIconView();
  // The thread of the desktop's windows (and of the taskbar) stops answering
  // for this long, as a shell's busy desktop thread does. Returns once it has
  // stopped; menu reports still arrive meanwhile (ReportReceiver).
  void StallDesktop(Millis duration);
  // Puts one item on the icon list at this rectangle of the screen (the list
  // covers the same corner of the screen as every window of the desktop
  // stand-in): its hit test (LVM_HITTEST, with the record in this process's
  // memory, as another program must put it there) finds the item inside the
  // rectangle and nothing elsewhere. The answer comes after answerDelay (the
  // desktop's thread busy meanwhile), and is written into the record then,
  // however long the asker waited, unless the asker has released it. Hit
  // tests are counted once answered, and those that came while the list was
  // hidden by its own style.
  void PutItemOnList(RECT item, Millis answerDelay = Millis(0));
  int ListHitTests() const;
  int HiddenListHitTests() const;

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

  // Takes the harness's requests on the stand-in's thread.
  HWND Receiver() const;
  // Receives the menu reports of the hook DLL (see MenuReader), on a thread of
  // its own, so that they arrive while the desktop's thread is stalled.
  HWND ReportReceiver() const;
  std::optional<std::string> TakeMenuReport();

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// Sends the shell's "TaskbarCreated" notification to every top-level window.
void BroadcastTaskbarCreated();

// Another program's desktop windows: a top-level WorkerW holding
// SHELLDLL_DefView > SysListView32 "FolderView", all visible, in a process of
// its own, which is this harness started again with kForeignWorkerArgument
// (it then plays that program and nothing else, until it is ended). The
// process ends with the object.
inline constexpr char kForeignWorkerArgument[] = "--e2e-foreign-desktop-worker";
class ForeignDesktopWorker {
 public:
  ForeignDesktopWorker();
  bool Ready() const { return list_ != nullptr; }
  DWORD ProcessId() const { return process_.Id(); }
  HWND Worker() const { return worker_; }
  HWND List() const { return list_; }

 private:
  Process process_;
  HWND worker_ = nullptr;
  HWND list_ = nullptr;
};

}  // namespace e2e
