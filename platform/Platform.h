// The program's one door to Windows, at the level the program thinks in.
//
// The logic (app/, settings/, menu/, desktop/, hotkey/, about/) talks to the
// system only through the abstract class Platform below and the Window objects
// it creates. There are two implementations: platform/win32 (the real thing,
// the only code that includes Windows headers) and platform/fake (an in-memory
// Windows that the unit tests set up, drive and inspect).
//
// Conventions:
// - Text is UTF-8 in std::string. File names and paths that come from the
//   system may hold UTF-16 that is not valid Unicode (an unpaired surrogate);
//   such a name arrives with the surrogate kept in the generalized form of
//   UTF-8 (WTF-8), so that handing the path back opens the very same file.
//   Text shown to the user is made valid first (menu/DesktopItems.h).
// - Results are the system's error codes where the program reports them
//   (the value store), and plain truth values elsewhere. Nothing throws.
// - Handles that must be given back are move-only objects that give them back
//   when they go away (GlobalAtom, WebBrowser, Window).
// - No identifier here may collide with a windows.h macro (MessageBox,
//   FindWindow, ShellExecute, ...): the Win32 side includes this header after
//   <windows.h>.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Messages.h"

namespace tamberlinox::platform {

using WindowHandle = std::uintptr_t;  // 0 = none
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// ---------------------------------------------------------------- messages
// The window messages the program's main window acts on.
inline constexpr std::uint32_t kWmQueryEndSession = 0x0011;  // WM_QUERYENDSESSION
inline constexpr std::uint32_t kWmEndSession = 0x0016;       // WM_ENDSESSION
inline constexpr std::uint32_t kWmCommand = 0x0111;      // WM_COMMAND
inline constexpr std::uint32_t kWmHotKey = 0x0312;       // WM_HOTKEY
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;    // WM_LBUTTONUP, as a tray notification
inline constexpr std::uint32_t kWmRButtonUp = 0x0205;    // WM_RBUTTONUP, as a tray notification

// ------------------------------------------------------------ system codes
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidData = 13;
inline constexpr std::int32_t kErrorMoreData = 234;

// --------------------------------------------------------------- registry
enum class Hive : std::uint32_t {
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
  Users = 0x80000003u,
  CurrentConfig = 0x80000005u,
  DynData = 0x80000006u,
};

// Registry value types the program writes.
inline constexpr std::uint32_t kRegBinary = 3;  // REG_BINARY
inline constexpr std::uint32_t kRegDword = 4;   // REG_DWORD

// ------------------------------------------------------------------ files
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;

// One entry of a folder, as the system lists it ("." and ".." included).
struct FolderEntry {
  std::string name;  // WTF-8: an unpaired surrogate is kept (see above)
  std::uint32_t attributes = 0;
  std::uint64_t writeTime = 0;  // the last write, in 100-nanosecond steps since 1601 (UTC)
};

// Shell folders (CSIDL numbers).
enum class SpecialFolder : int {
  Documents = 5,        // CSIDL_PERSONAL
  Desktop = 16,         // CSIDL_DESKTOPDIRECTORY
  CommonDesktop = 25,   // CSIDL_COMMON_DESKTOPDIRECTORY
  Windows = 36,         // CSIDL_WINDOWS
};

// Show commands for windows and for what the shell opens.
inline constexpr int kSwHide = 0;        // SW_HIDE
inline constexpr int kSwShowNormal = 1;  // SW_SHOWNORMAL
inline constexpr int kSwShow = 5;        // SW_SHOW

// ---------------------------------------------------------- message boxes
inline constexpr std::uint32_t kMbOk = 0, kMbYesNo = 4;
inline constexpr std::uint32_t kMbIconQuestion = 32, kMbIconExclamation = 48, kMbIconInformation = 64;
inline constexpr int kIdOk = 1, kIdYes = 6, kIdNo = 7;

// ------------------------------------------------------- mouse and input
// A point of the screen in pixels; left of and above the primary monitor the
// coordinates are negative.
struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// The system's limits for telling clicks apart (GetDoubleClickTime,
// SM_CXDOUBLECLK and SM_CYDOUBLECLK, SM_CXDRAG and SM_CYDRAG): a second press
// within timeMs of the first and within the double-click rectangle around it
// makes a double-click; a pointer that leaves the drag rectangle around its
// press point while the button is down drags.
struct ClickLimits {
  std::uint32_t timeMs = 500;
  int doubleWidth = 4, doubleHeight = 4;
  int dragWidth = 4, dragHeight = 4;
};

// Where a popup menu opens: at the mouse position, or at a point the shell
// gave (a menu opened from the keyboard, with its first entry selected).
struct MenuOpening {
  std::optional<Point> at;
  bool fromKeyboard = false;
};

// A message from the icon in the notification area. The shell tells in one
// of two forms: the first (lParam = the mouse message, wParam = the icon's
// id), which other programs also post to click the icon, and the fourth
// (lParam = the event in its low word and the icon's id in its high word,
// wParam = the point on the screen where a menu belongs), which adds the
// keyboard's events and a context menu after each right click.
inline constexpr std::uint32_t kTraySelect = kWmUser + 0;     // NIN_SELECT: after a left click's release
inline constexpr std::uint32_t kTrayKeySelect = kWmUser + 1;  // NIN_KEYSELECT: Enter or Space on the icon
inline constexpr std::uint32_t kWmContextMenu = 0x007B;       // WM_CONTEXTMENU: the menu key, Shift+F10, a right click
struct TrayEvent {
  std::uint32_t event = 0;
  bool fourthForm = false;  // the high word of lParam named the icon
  Point at;                 // the fourth form's point
};
inline TrayEvent ReadTrayEvent(std::uint32_t iconId, WParam wParam, LParam lParam) {
  TrayEvent read;
  read.event = std::uint32_t(lParam) & 0xFFFF;
  read.fourthForm = ((std::uint32_t(lParam) >> 16) & 0xFFFF) == iconId;
  if (read.fourthForm) read.at = Point{std::int16_t(wParam & 0xFFFF), std::int16_t((wParam >> 16) & 0xFFFF)};
  return read;
}

// What the session's input watch reports (Platform::WatchInput). It sees every
// mouse and keyboard event of the session and lets it go at once; its reports
// are posted to a window of the program, so they arrive on the program's
// thread afterwards, as messages firstMessage + InputReport.
struct InputWatch {
  bool leftButton = false;  // each press and release of the left mouse button
  // The first input from now on, once: a key released, or the mouse moved
  // (a move that leaves the pointer where it was is none), clicked or turned.
  bool anyInput = false;
  // Each release of this key (a virtual-key code; 0 = none). The report is
  // posted before anything the next event of the keyboard brings (a hot key's
  // message among them), and after what earlier events brought. When the
  // watch of a key begins, kKeyWatchBegun is posted once it is in place:
  // what the keyboard brought before waits in the queue ahead of it, and the
  // release of every key that goes down after it is reported.
  int keyReleased = 0;
};
enum InputReport : std::uint32_t {
  kLeftButtonPressed = 0,   // wParam = the event's tick count, lParam = PackPoint of the pointer
  kLeftButtonReleased = 1,  // the same
  kInputArrived = 2,
  kKeyReleased = 3,         // wParam = the key
  kKeyWatchBegun = 4,       // wParam = the key
  kInputReportCount = 5,
};
static_assert(kInputReportCount <= kInputReportSlots, "the input watch reports more than its messages hold");
inline LParam PackPoint(Point p) {
  return LParam(std::uint32_t(std::uint16_t(p.x)) | (std::uint32_t(std::uint16_t(p.y)) << 16));
}
inline Point UnpackPoint(LParam packed) {
  const auto bits = std::uint32_t(packed);
  return Point{std::int16_t(bits & 0xFFFF), std::int16_t(bits >> 16)};
}

class Platform;

// --------------------------------------------------------------- handles
// A global atom; deleted when the object goes away. Move-only.
class GlobalAtom {
 public:
  GlobalAtom() = default;
  GlobalAtom(GlobalAtom&& other) noexcept : os_(other.os_), value_(other.value_) { other.value_ = 0; }
  GlobalAtom& operator=(GlobalAtom&& other) noexcept;
  GlobalAtom(const GlobalAtom&) = delete;
  GlobalAtom& operator=(const GlobalAtom&) = delete;
  ~GlobalAtom() { Delete(); }

  // The atom; 0 when it could not be added.
  std::uint16_t Value() const { return value_; }

 private:
  friend class Platform;
  GlobalAtom(Platform* os, std::uint16_t value) : os_(os), value_(value) {}
  void Delete();

  Platform* os_ = nullptr;
  std::uint16_t value_ = 0;
};

// A new instance of the system's web browser, driven through its automation
// object on a thread of its own: a browser that stops answering holds that
// thread, never the program. One call runs at a time: the program starts it,
// then looks at LastCall() (without waiting) until it is no longer pending,
// and decides itself how long it waits. Destroying the object lets the thread
// go: it finishes the call it was given, if that call ever returns, tells a
// browser that was never shown to quit (nobody could see or close it), then
// releases the browser and ends on its own. A browser shown is the user's and
// runs on. At the program's end such a thread has a moment to finish.
class WebBrowser {
 public:
  enum class CallState { Pending, Done, Failed };
  struct Outcome {
    CallState state = CallState::Done;
    std::int32_t readyState = 0;  // what a ReadyState read that is done found (4 = complete)
  };
  virtual ~WebBrowser() = default;
  // Each starts a call, unless one is still pending (then false, and nothing starts).
  // Creates the browser, a new and hidden instance, and sends it to the address.
  virtual bool Open(const std::string& address) = 0;
  virtual bool ReadReadyState() = 0;
  virtual bool Show() = 0;  // makes the browser's window visible
  // The outcome of the call started last; Done before the first.
  virtual Outcome LastCall() = 0;
};

// ------------------------------------------------------ the window toolkit
// The program's three windows are described by a WindowSpec and created by
// Platform::OpenWindow. Positions and sizes are in pixels at 96 dpi; each
// window is laid out at the DPI of its monitor, with boxes grown where their
// texts need more room (platform/Layout.h). Controls are named by small
// integers chosen by the program, which the Win32 side uses as control ids (so
// another process can find a control with GetDlgItem).

// A colour: an RGB value, or one of the system colours (GetSysColor index).
struct Colour {
  bool system = false;
  std::uint32_t value = 0;  // 0x00BBGGRR, or the system colour index
  static constexpr Colour Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return Colour{false, std::uint32_t(r) | (std::uint32_t(g) << 8) | (std::uint32_t(b) << 16)};
  }
  static constexpr Colour System(int index) { return Colour{true, std::uint32_t(index)}; }
  friend bool operator==(const Colour&, const Colour&) = default;
};
inline constexpr int kColorWindowFrame = 6;     // COLOR_WINDOWFRAME
inline constexpr int kColorCaptionText = 9;     // COLOR_CAPTIONTEXT
inline constexpr int kColorHighlightText = 14;  // COLOR_HIGHLIGHTTEXT

struct Font {
  double points = 8.25;  // "MS Sans Serif"
  bool bold = false;
  bool italic = false;
};

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

enum class ControlKind {
  Label,     // static text; may be transparent over the window's background picture
  CheckBox,  // two-state check box
  ComboBox,  // editable drop-down combo box
  Button,    // push button, optionally with a picture
  // A whole number typed in an edit box or stepped with the up-down control
  // beside it, from minimum to maximum; Text and SetText give it as decimal text.
  NumberBox,
};

enum class TextAlign { Left, Centre };

struct ControlSpec {
  int id = 0;
  ControlKind kind = ControlKind::Label;
  std::string text;
  Rect bounds;
  Font font;
  bool visible = true;
  bool transparent = false;  // labels: the window's background shows through
  TextAlign align = TextAlign::Left;
  std::optional<Colour> foreColour;  // otherwise the system's default text colour
  std::optional<Colour> backColour;  // otherwise the control's default background
  bool cancel = false;               // buttons: Esc presses this one
  int picture = 0;                   // buttons: picture shown with the caption (0 = none)
  bool notifyMouse = false;          // labels: report mouse moves and clicks
  // Buttons: Enter presses this one, unless the focus is on another button.
  bool defaultButton = false;
  int minimum = 0, maximum = 0;  // number boxes
  // The name a screen reader reads for a control whose own text does not name
  // it (a combo box or a number box shows a value, not what it is for), as
  // the label just before it in the tab order would give it; "" = its text.
  std::string accessibleName;
  // False: shown greyed, and the user cannot change it (a choice an
  // administrator holds).
  bool enabled = true;
};

enum class Frame {
  Hidden,   // the main window: a tool window that is never shown and never has a taskbar button
  Sizable,  // the default sizable frame with the system menu
  Fixed,    // a fixed single frame with the system menu
};

struct WindowSpec {
  std::string caption;
  int clientWidth = 0, clientHeight = 0;  // pixels at 96 dpi
  Frame frame = Frame::Sizable;
  int icon = 0;               // icon resource (ResourceIds.h)
  int backgroundPicture = 0;  // picture over the whole client area, at the window's scale (0 = none)
  bool centred = true;        // centred on the screen when first shown
  std::vector<ControlSpec> controls;  // in tab order
};

// ------------------------------------------------------------ menu pictures
// A picture for menu entries, made by Platform::MakeMenuPicture and deleted
// with Platform::DeleteMenuPicture; 0 = none. Many entries may show one
// picture. A picture must outlive every menu entry that shows it while that
// menu is up.
using MenuPicture = std::uintptr_t;

// The shell's places, which have no path.
enum class ShellPlace : std::uint8_t { None, MyComputer, MyDocuments, RecycleBin };

// An item as the shell knows it: a file or folder by its path, or a place.
struct ShellItem {
  ShellPlace place = ShellPlace::None;
  std::string path;  // when place is None
  friend bool operator==(const ShellItem&, const ShellItem&) = default;
};

// Where a menu picture comes from; each is the icon Explorer shows for it.
struct IconSource {
  enum class Kind : std::uint8_t {
    FileType,         // the icon of the type of path (its extension); no file is read
    FolderType,       // the icon of a folder
    Item,             // the file or folder at path: its own icon, or its target's, with the
                      // overlays Explorer draws on it (a shortcut's arrow)
    MyComputer,
    MyDocuments,
    RecycleBinEmpty,
    RecycleBinFull,
  };
  Kind kind = Kind::FileType;
  std::string path;
  friend bool operator==(const IconSource&, const IconSource&) = default;
};

// One entry of a popup menu.
struct MenuEntry {
  int id = 0;            // handed back when the entry is chosen; ids are above 0
  std::string caption;   // shown as written: "&" is no mnemonic
  bool separator = false;
  MenuPicture picture = 0;  // shown before the caption by the menu's own drawing
  bool submenu = false;     // opens a submenu, filled by MenuEvents::OnSubmenuOpening
  bool grayed = false;      // shown greyed; cannot be chosen
};

// Where an entry of an open popup menu is: in the menu itself (submenuOf 0)
// or in the submenu of the entry with that id as it was filled in this
// showing, at this position (from 0) among the entries given for that menu.
// Ids alone would not do: a submenu kept from an earlier showing may still
// hold entries with the ids of this one.
struct MenuPlace {
  int submenuOf = 0;
  int position = 0;
  friend bool operator==(const MenuPlace&, const MenuPlace&) = default;
};

// What an open popup menu tells the program. Every call comes from inside
// Window::PopupMenu, on the user-interface thread.
// What the program makes of a character typed in an open menu: whether it
// takes it (the menu then does nothing of its own with it), and the entry of
// that menu to select (by position, separators counted).
struct MenuCharAnswer {
  bool taken = false;
  std::optional<std::size_t> select;
};

class MenuEvents {
 public:
  // The submenu of this entry opens for the first time in this showing:
  // its entries.
  virtual std::vector<MenuEntry> OnSubmenuOpening(int entryId) = 0;
  // The right mouse button was released over this entry.
  virtual void OnEntryRightClick(int entryId) = 0;
  // The menu waits for the user: room for a small piece of background work.
  // True while there is more to do; it is asked again in a moment, and again
  // after the user has done something in the menu.
  virtual bool OnMenuIdle() = 0;
  // A character was typed (UTF-8; "\b" for Backspace) in an open menu, at
  // this tick, whose entries show these names ("" for a separator), with
  // this entry selected.
  virtual MenuCharAnswer OnMenuChar(const std::string& /*typed*/, std::uint32_t /*tick*/,
                                    const std::vector<std::string>& /*names*/,
                                    std::optional<std::size_t> /*selected*/) {
    return {};
  }

 protected:
  ~MenuEvents() = default;
};

// What a window reports to the program. Every call arrives on the
// user-interface thread from the window's own procedure.
class WindowEvents {
 public:
  virtual void OnClick(int /*controlId*/) {}      // button, label (notifyMouse), check box
  virtual void OnMouseMove(int /*controlId*/) {}  // 0 = the window's background
  virtual void OnTimer(int /*timerId*/) {}
  virtual void OnClose() {}                       // the frame's close box, Alt+F4 or Esc without a cancel button
  virtual void OnTaskbarCreated() {}              // the shell's taskbar was (re)created
  // A window of a class being watched (Window::WatchShellWindows) was created
  // by the watched process.
  virtual void OnShellWindowCreated(WindowHandle /*window*/) {}
  // A setting of the system changed (WM_SETTINGCHANGE): the SystemParametersInfo
  // action, or 0, and the name of the area that changed, or "".
  virtual void OnSettingChange(std::uint32_t /*action*/, const std::string& /*area*/) {}

 protected:
  ~WindowEvents() = default;
};

// Sees a window's messages before the window's own procedure does (see
// Window::Subclass). Returns true when it has handled the message, with its
// result in result; false passes the message on to the window's own procedure.
class MessageFilter {
 public:
  virtual bool OnMessage(std::uint32_t message, WParam wParam, LParam lParam, LResult& result) = 0;

 protected:
  ~MessageFilter() = default;
};

// The icon a tray balloon shows beside its title.
enum class BalloonIcon { Info, Warning };

// One window created by Platform::OpenWindow; destroying the object destroys
// the window (and its tray icon, hot keys and timers with it). A Window may be
// destroyed from inside one of its own event handlers.
class Window {
 public:
  virtual ~Window() = default;

  virtual WindowHandle Handle() const = 0;

  // The window itself.
  virtual void Show() = 0;  // visible, not modal; centred on the screen the first time when the spec says so
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
  virtual void SetTop(int pixels) = 0;                 // screen coordinate of the outer top edge
  virtual void SetSize(int width, int height) = 0;     // outer size in pixels (the system may raise it)
  virtual void Repaint() = 0;                          // paint now, not at the next idle moment
  virtual void BringToFront() = 0;                     // shown, and the window the user works in

  // Controls.
  virtual void SetText(int id, const std::string& text) = 0;
  virtual std::string Text(int id) const = 0;
  virtual void SetVisible(int id, bool visible) = 0;
  virtual bool IsVisible(int id) const = 0;
  virtual void SetForeColour(int id, Colour colour) = 0;
  virtual Colour ForeColour(int id) const = 0;
  // Both colours at once, as a ControlSpec gives them: nothing is the system's default.
  virtual void SetColours(int id, std::optional<Colour> fore, std::optional<Colour> back) = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  virtual bool Checked(int id) const = 0;
  virtual void AddItems(int id, const std::vector<std::string>& texts) = 0;  // combo box entries
  virtual std::vector<std::string> Items(int id) const = 0;

  // Timers: each id ticks every intervalMs from its start until it is stopped.
  virtual void StartTimer(int id, std::uint32_t intervalMs) = 0;
  virtual void StopTimer(int id) = 0;
  virtual bool TimerRunning(int id) const = 0;

  // Brings the window to the foreground and pops a menu up at the mouse
  // position (or where the opening says). Returns when the menu has closed:
  // the id of the chosen entry, or 0 when none was chosen. The events, when
  // given, hear what happens in the menu while it is up.
  virtual int PopupMenu(const std::vector<MenuEntry>& entries, MenuEvents* events = nullptr,
                        const MenuOpening& opening = {}) = 0;
  // The pixels per inch that a popup menu opened now is drawn at, on the
  // monitor where it opens.
  virtual int MenuDpi() = 0;
  // While a menu is up, from its events:
  // Shows this picture on the entry at this place, in the menu or a submenu.
  virtual void SetMenuEntryPicture(const MenuPlace& place, MenuPicture picture) = 0;
  // The ids of the entries on the screen now, in the menu and its open
  // submenus, each menu from the top.
  virtual std::vector<int> MenuEntriesOnScreen() = 0;
  // The shell's own menu of the item (Open, Properties, Delete, ...) at the
  // pointer, over the open menu; its commands take ids from firstId to lastId.
  // True when the user chose a command: the open menu closes, and the command
  // is carried out as Explorer does once it has. False when it was closed
  // without a command, or the shell has no menu for the item: the open menu
  // stays.
  virtual bool ShowItemMenu(const ShellItem& item, int firstId, int lastId) = 0;

  // The window's icon in the notification area, which the keyboard reaches
  // too (the shell's fourth way of telling: TrayEvent). Its tray messages
  // arrive as callbackMessage, in either form TrayEvent reads. Return the
  // shell's result (true = done).
  virtual bool AddTrayIcon(std::uint32_t id, std::uint32_t callbackMessage, const std::string& tip) = 0;
  // Gives the keyboard focus back to the icon in the notification area.
  virtual void FocusTrayIcon(std::uint32_t id) = 0;
  virtual bool RemoveTrayIcon(std::uint32_t id) = 0;
  // A balloon with a title and a text at the icon; false when there is no icon.
  virtual bool ShowTrayBalloon(std::uint32_t id, const std::string& title, const std::string& text,
                               BalloonIcon icon) = 0;

  // Puts the filter's procedure in front of the window's own, or nothing when
  // it is there already; Unsubclass puts the window's own procedure back.
  virtual void Subclass(MessageFilter& filter) = 0;
  virtual void Unsubclass() = 0;
  virtual bool Subclassed() const = 0;

  // Tells the window (WindowEvents::OnShellWindowCreated) when the process
  // creates a window of one of these classes, from the system's own
  // accessibility events: nothing is polled. Process 0 stops it. Where the
  // system sends no such events (Wine for other processes) nothing comes.
  virtual void WatchShellWindows(std::uint32_t process, const std::vector<std::string>& classNames) = 0;
};

// ------------------------------------------------------------- the platform
class Platform {
 public:
  virtual ~Platform() = default;

  // Registry values. Results are system error codes: 0 done, 2 no such key or
  // value, 5 access denied, 234 the value is larger than asked for, ...
  //
  // A string value, as text; nothing when its data is zero bytes long.
  virtual std::int32_t ReadRegistryText(Hive hive, const std::string& key, const std::string& name,
                                        std::optional<std::string>& text) = 0;
  // A value's bytes, at most size of them (234 when it holds more).
  virtual std::int32_t ReadRegistryBytes(Hive hive, const std::string& key, const std::string& name, std::size_t size,
                                         std::vector<std::uint8_t>& data) = 0;
  // A REG_DWORD value; nothing (with 0) when the value has another type or size.
  virtual std::int32_t ReadRegistryNumber(Hive hive, const std::string& key, const std::string& name,
                                          std::optional<std::uint32_t>& number) = 0;
  // The same in the 64-bit view of the registry: a 32-bit program on 64-bit
  // Windows reads what 64-bit programs wrote there (Group Policy among them),
  // not its own redirected copy; elsewhere the one view there is.
  virtual std::int32_t ReadRegistryNumber64(Hive hive, const std::string& key, const std::string& name,
                                            std::optional<std::uint32_t>& number) = 0;
  // Both writes create the key and every missing key above it. The empty text
  // is stored as a REG_SZ of zero bytes.
  virtual std::int32_t WriteRegistryText(Hive hive, const std::string& key, const std::string& name,
                                         const std::string& text) = 0;
  virtual std::int32_t WriteRegistryBytes(Hive hive, const std::string& key, const std::string& name,
                                          std::uint32_t type, const std::vector<std::uint8_t>& data) = 0;
  virtual std::int32_t DeleteRegistryValue(Hive hive, const std::string& key, const std::string& name) = 0;
  // Deletes the last key of the path with its values; its parent keys stay.
  virtual std::int32_t DeleteRegistryKey(Hive hive, const std::string& key) = 0;

  // INI files. The read returns at most 254 characters.
  virtual std::string ReadIniText(const std::string& file, const std::string& section, const std::string& entry,
                                  const std::string& defaultText) = 0;
  // 0 when written, else the system error code of the failure.
  virtual std::int32_t WriteIniText(const std::string& file, const std::string& section, const std::string& entry,
                                    const std::string& text) = 0;
  // True when path names an existing file that is not a folder and not marked
  // hidden or system. Anything it cannot test is false.
  virtual bool IsOrdinaryFile(const std::string& path) = 0;
  // The absolute form of a path, a relative name taken from the current folder.
  virtual std::string FullPath(const std::string& path) = 0;
  // The text in lower case as the system folds it (any script), for names
  // compared without regard to case.
  virtual std::string LowerCase(const std::string& text) = 0;

  // Files, folders and the shell.
  // The entries of a folder, in the order the system gives them; none when
  // the folder cannot be listed.
  virtual std::vector<FolderEntry> ListFolder(const std::string& folder) = 0;
  // The path of a shell folder; "" when the shell does not know it.
  virtual std::string SpecialFolderPath(SpecialFolder folder) = 0;
  // The Windows Script Host's SpecialFolders(name); "" when there is none.
  virtual std::string ScriptHostSpecialFolder(const std::string& name) = 0;
  // Opens a file, folder or address through the shell (ShellExecute). Returns
  // true when the shell reported success.
  virtual bool ShellOpen(WindowHandle owner, const std::string& operation, const std::string& file,
                         const std::optional<std::string>& parameters, const std::optional<std::string>& folder,
                         int show) = 0;
  // The short (8.3) form of an existing path, which fits where the full one
  // is too long; "" when the system has none.
  virtual std::string ShortPath(const std::string& path) = 0;
  // Opens a file through the shell's item for it (an item id list), which
  // does not depend on the length of its path. True when the shell reported success.
  virtual bool ShellOpenItem(WindowHandle owner, const std::string& path) = 0;
  virtual std::string ProgramFolder() = 0;  // the running executable's folder; ends in "\" only for a root
  virtual std::string CurrentFolder() = 0;  // the process's current folder
  struct Version {
    int major = 0, minor = 0;
  };
  virtual Version ProgramVersion() = 0;  // from the version resource
  // The order in which a sorted list shows these texts: case-insensitive in
  // the user's locale, equal texts in their given order. Returns indices into texts.
  virtual std::vector<std::size_t> SortedOrder(const std::vector<std::string>& texts) = 0;
  // The order in which Explorer lists these names: as SortedOrder, with the
  // digits in them compared as numbers ("File 2" before "File 10").
  virtual std::vector<std::size_t> ExplorerOrder(const std::vector<std::string>& names) = 0;

  // Menu pictures. The icon that source names, size by size pixels with its
  // transparency, as a picture for menu entries; 0 when there is none.
  virtual MenuPicture MakeMenuPicture(const IconSource& source, int size) = 0;
  virtual void DeleteMenuPicture(MenuPicture picture) = 0;
  // Whether the Recycle Bin holds anything.
  virtual bool RecycleBinHoldsItems() = 0;
  // After a big piece of work (a desktop menu) has ended: gives back what the
  // process holds and no longer needs, the libraries of COM objects that no
  // one uses any more and the free memory of its heaps.
  virtual void TrimMemory() = 0;

  // Other programs' windows. A missing title matches any title.
  virtual WindowHandle FindTopLevelWindow(const std::string& className, const std::optional<std::string>& title) = 0;
  // Every top-level window of the class, from the top of the Z order down.
  virtual std::vector<WindowHandle> TopLevelWindows(const std::string& className) = 0;
  // The first child of parent with the class (and the title, when given); 0 when none.
  virtual WindowHandle FindChildWindow(WindowHandle parent, const std::string& className,
                                       const std::optional<std::string>& title) = 0;
  // The id of the process a window belongs to; 0 when there is no such window.
  virtual std::uint32_t WindowProcess(WindowHandle window) = 0;
  // Asks the window's own thread to show or hide it and returns at once: the
  // window changes when its thread gets to it, so a program that has stopped
  // answering never holds the caller.
  virtual void ShowWindow(WindowHandle window, bool show) = 0;
  // Whether the window has the visible style; asks nothing of its thread.
  virtual bool IsWindowVisible(WindowHandle window) = 0;  // counts its parents' visibility too
  // Whether the window's thread handles its messages now: asked with a
  // message that waits a short moment at most (50 ms), less for a thread the
  // system knows to be hung.
  virtual bool IsWindowAnswering(WindowHandle window) = 0;
  // False when the message could not be posted (no such window, or the
  // system's message filter keeps it from a program running elevated).
  virtual bool PostWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) = 0;
  // Sends the message and waits for the window's answer, patienceMs at most
  // (less for a thread the system knows to be hung). Nothing when it could
  // not be sent (as for PostWindowMessage) or was not answered in time; a
  // message not answered in time may still be handled later.
  virtual std::optional<LResult> SendWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                                   LParam lParam, std::uint32_t patienceMs) = 0;
  // A window of this program's own kind with this caption, made by another
  // running copy of the program; 0 when there is none.
  virtual WindowHandle FindProgramWindow(const std::string& caption) = 0;
  // Waits, patienceMs at most, until the process that made the window has
  // ended (its files free to replace); true when it has.
  virtual bool AwaitProcessEnd(WindowHandle window, std::uint32_t patienceMs) = 0;

  // The arguments the program was started with, without the program's own name.
  virtual std::vector<std::string> CommandLineArguments() = 0;

  // The mouse, the keyboard and what is under the pointer.
  // The window under a point of the screen as a click there would find it:
  // a child window, or the screen's own window (class "#32769") where no other
  // is; 0 outside every monitor.
  virtual WindowHandle WindowAt(Point screen) = 0;
  virtual std::string WindowClassName(WindowHandle window) = 0;
  // The top-level window a window belongs to (itself for a top-level one).
  virtual WindowHandle TopLevelWindowOf(WindowHandle window) = 0;
  // Whether another program's list view has an item (its icon, label or check
  // box) at a point of the screen; nothing when the list could not be asked
  // (it does not answer at once, or its process cannot be reached).
  virtual std::optional<bool> ListItemAt(WindowHandle list, Point screen) = 0;
  virtual ClickLimits MouseClickLimits() = 0;
  // Milliseconds since the system started, as a 32-bit count that wraps
  // after 49.7 days; and that count at the session's last keyboard or mouse input.
  virtual std::uint32_t TickCount() = 0;
  virtual std::uint32_t LastInputTick() = 0;
  // Starts, changes or (with nothing to watch) ends the session's input watch;
  // its reports go to window as firstMessage + InputReport. False when it
  // cannot be started.
  virtual bool WatchInput(WindowHandle window, std::uint32_t firstMessage, const InputWatch& watch) = 0;
  // Lets the program that owns window bring a window of its own to the front
  // (for a request this program hands on to it).
  virtual void LetComeToFront(WindowHandle window) = 0;

  // Atoms and hot keys.
  virtual GlobalAtom AddGlobalAtom(const std::string& text) = 0;  // Value() 0 when it failed
  // The current local date and time in the user's locale: short date, a blank, long time.
  virtual std::string LocalDateTimeText() = 0;
  // The key's repeats while it is held are not reported where the system can
  // leave them out (Windows 7 on).
  virtual bool RegisterHotKey(WindowHandle window, int id, std::uint32_t modifiers, int key) = 0;
  virtual bool UnregisterHotKey(WindowHandle window, int id) = 0;
  // Whether the key (a virtual-key code) is held down now.
  virtual bool IsKeyDown(int key) = 0;

  // Internet and the browser.
  // Whether the computer has an Internet connection, and its flags.
  virtual bool InternetConnected(std::uint32_t& flags) = 0;
  // A browser to drive; null when its thread cannot be started.
  virtual std::unique_ptr<WebBrowser> CreateWebBrowser() = 0;

  // The user.
  virtual int ShowMessage(const std::string& text, const std::string& title, std::uint32_t flags) = 0;
  virtual void RestoreDefaultCursor() = 0;  // the screen-wide pointer back to the arrow
  // A pause of the calling thread: only for the command line, which has no
  // window and no message loop to wait with. The program's windows use timers.
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  // The program's windows. Null when the window cannot be created.
  virtual std::unique_ptr<Window> OpenWindow(const WindowSpec& spec, WindowEvents& events) = 0;

  // The program's first start, and its looks on this screen.
  // Whether the key exists (with values or without).
  virtual bool RegistryKeyExists(Hive hive, const std::string& key) = 0;
  // Whether high contrast is on: then the system's own colours stay everywhere.
  virtual bool HighContrast() = 0;
  // Dark popup menus for the whole program, or the system's usual ones. Where
  // the system cannot draw dark menus (before Windows 10 1903) nothing changes.
  virtual void SetDarkMenus(bool dark) = 0;

 protected:
  friend class GlobalAtom;
  virtual void DeleteGlobalAtom(std::uint16_t atom) = 0;
  GlobalAtom MakeGlobalAtom(std::uint16_t value) { return GlobalAtom(this, value); }
};

inline void GlobalAtom::Delete() {
  if (os_ != nullptr && value_ != 0) os_->DeleteGlobalAtom(value_);
  value_ = 0;
}

inline GlobalAtom& GlobalAtom::operator=(GlobalAtom&& other) noexcept {
  if (this != &other) {
    Delete();
    os_ = other.os_;
    value_ = other.value_;
    other.value_ = 0;
  }
  return *this;
}

}  // namespace tamberlinox::platform
