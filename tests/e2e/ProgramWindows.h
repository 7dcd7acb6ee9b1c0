// Tools for the program's own windows (the hot key dialog and the About window)
// and for what its web requests start (the browser window), registry values
// put back when a test ends, and a fixture that starts the program and
// chooses its tray commands through the MenuReader.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Bench.h"
#include "Fixtures.h"
#include "MenuReader.h"

namespace e2e {

// The window class of the program's windows, and the windows' captions.
inline constexpr char kFormClass[] = "TamberlinoxForm";
inline constexpr char kHotKeyCaption[] = "Zemrik Tamberlinox Program";
inline constexpr char kAboutCaption[] = "About Zemrik Tamberlinox";
inline constexpr char kConnectingCaption[] = "Internet Connection";
// The About window's control ids.
inline constexpr int kAboutText = 101;        // the explanatory text
inline constexpr int kAboutLink = 102;        // "GoTo My Home Page"
inline constexpr int kAboutConnecting = 105;  // "  Connecting   Please Wait"
inline constexpr int kAboutClose = 110;       // "Close Form"
// Titles of the program's message boxes.
inline constexpr char kHotKeyTitle[] = "Zemrik HotKey Select";
inline constexpr char kInfoTitle[] = "Zemrik Info.....";

// ------------------------------------------------------------------ windows
// The visible top-level window of process p with the program's window class
// and this caption, or null.
HWND FindForm(const Process& p, const std::string& caption);
HWND WaitForForm(const Process& p, const std::string& caption, Millis timeout = 10000ms);
// Whether process p has a window of the program's class with this caption,
// shown or hidden.
bool FormExists(const Process& p, const std::string& caption);
// Client area size in pixels.
SIZE ClientSize(HWND window);
// Pixels of the screen for this many twips (1/1440 inch), as the window system
// converts them at the screen's DPI.
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);
// Whether a child control has the visible style (whatever its parent's state).
bool ControlShown(HWND dialog, int id);

// Texts of another process's controls that the window system does not keep
// (combo box entries, an edit inside another control): asked with a message.
std::string AskText(HWND window);
std::vector<std::string> ComboEntries(HWND combo);

// A click on a button the way the button itself turns it into a command:
// posted, so a handler that shows a modal message box does not hold the harness.
void PostClick(HWND dialog, int id);
// Sent: returns when the program has handled it (for check boxes).
void SendClick(HWND dialog, int id);

// ------------------------------------------------------------------- mouse
// Real mouse input (SendInput, absolute): the window under the pointer gets
// the messages after the window system's own hit testing, as with a user.
void MoveMouseTo(POINT screen);
void ClickMouseAt(POINT screen);
// Two clicks at once: well within the system's double-click time and rectangle.
void DoubleClickMouseAt(POINT screen);
// Moves the pointer and waits until it is there and fact() is true.
//
// Where Wine differs from Windows: in its virtual desktop Wine moves the X
// server's pointer after every move (a grab, a warp, an ungrab), and the grab
// makes the X server report the pointer's old place to the desktop window,
// which belongs to Wine's explorer.exe; explorer takes that for a move of the
// mouse. So a pointer moved from A to B is now and then found at A again a
// moment later (a few of every hundred such moves), and, more rarely, it is
// at B while the last mouse message the window under it got was for A (about
// one in a few hundred under load). When the pointer is found anywhere but B
// for 100 ms, the move is made again; when it is at B but fact() has not come
// true for 500 ms, the pointer comes to B again from the next pixel. A window
// that never reacts to the pointer at B still fails.
bool MoveMouseUntil(POINT screen, const std::function<bool()>& fact, Millis timeout = 5000ms);
// The middle of a child control, or a point of a window's client area, in screen coordinates.
POINT CentreOf(HWND dialog, int id);
POINT ClientPoint(HWND window, int x, int y);

// ----------------------------------------------------------------- browser
// Every top-level "IEFrame" window (the browser that "InternetExplorer.Application"
// starts under Wine), visible or not, of any process.
std::vector<HWND> BrowserWindows();
// The text of the browser's address bar (the edit of its ComboBoxEx32, id 1004).
std::string BrowserAddress(HWND frame);
// Closes a browser window with WM_CLOSE and waits until its process has ended.
// False when the process is still there after the timeout.
bool CloseBrowser(HWND frame, Millis timeout = 10000ms);

// -------------------------------------------------------------- fixture
// Starts the installed program and works its tray menu. Every test also fails
// if the main window is ever seen (ShellTest), and ends with no program, no
// message box and no browser window of its own left behind.
class TrayProgramTest : public ShellTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the installed program and waits until start-up is done: the icon
  // in the taskbar, the desktop hidden and the stored hot key registered.
  Running& StartProgram(unsigned modifiers = kNone, WORD vk = VK_F10);
  // Right click on the tray icon, then the entry with this caption (the first
  // one that begins with it, for "About----Version ..."). With seen, also
  // hands back the entries the menu had.
  bool ChooseCommand(Running& r, const std::string& captionPrefix, std::vector<MenuEntry>* seen = nullptr);
  // Chooses the command and waits for the window with this caption.
  HWND OpenForm(Running& r, const std::string& captionPrefix, const std::string& formCaption);

  std::unique_ptr<MenuReader> menus_;
  // Browser windows that were there before the test (none, normally): the
  // ones the test made are closed at the end.
  std::vector<HWND> browsersBefore_;
};

}  // namespace e2e
