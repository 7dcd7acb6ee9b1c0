// The program's one door to Windows.
//
// The logic (app/, settings/, menu/, desktop/, hotkey/, about/) talks to the
// system only through the abstract class Platform below. There are two
// implementations: platform/win32 (the real thing, the only code that includes
// Windows headers) and platform/fake (an in-memory system the unit tests drive).
//
// Conventions:
// - Methods named after a Windows function (RegOpenKeyExA, FindWindowA, ...)
//   do exactly what that function does, with the same arguments and results,
//   so the logic reads like the calls it makes. They never throw.
// - Texts are byte strings in the system ANSI code page: the encoding of the
//   Windows "A" functions. Nothing converts them on the way.
// - Handles that must be released are move-only RAII objects (RegKey,
//   FindHandle, ItemIdList, the COM wrappers, Form).
// - No identifier here may collide with a windows.h macro (MessageBox,
//   PostMessage, ERROR, TRANSPARENT, DELETE, min, max, ...): the Win32 side
//   includes this header after <windows.h>.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tamberlinox::platform {

using WindowHandle = std::uintptr_t;  // HWND; 0 = none
using WndProcAddr = std::uintptr_t;   // a window procedure as SetWindowLongA sees it; 0 = none
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// ---------------------------------------------------------------- constants
// Window messages and numbers the program uses (the Windows values).
inline constexpr std::uint32_t kWmTimer = 0x0113;        // WM_TIMER
inline constexpr std::uint32_t kWmCommand = 273;         // WM_COMMAND
inline constexpr std::uint32_t kWmHotKey = 786;          // WM_HOTKEY
inline constexpr std::uint32_t kWmUser = 0x0400;         // WM_USER
inline constexpr std::uint32_t kWmMouseMove = 0x0200;    // WM_MOUSEMOVE
inline constexpr std::uint32_t kWmLButtonDown = 513;     // WM_LBUTTONDOWN
inline constexpr std::uint32_t kWmLButtonUp = 514;       // WM_LBUTTONUP
inline constexpr std::uint32_t kWmLButtonDblClk = 515;   // WM_LBUTTONDBLCLK
inline constexpr std::uint32_t kWmRButtonDown = 516;     // WM_RBUTTONDOWN
inline constexpr std::uint32_t kWmRButtonUp = 517;       // WM_RBUTTONUP

inline constexpr int kSwHide = 0;        // SW_HIDE
inline constexpr int kSwShowNormal = 1;  // SW_SHOWNORMAL
inline constexpr int kSwShow = 5;        // SW_SHOW

inline constexpr std::uint32_t kNimAdd = 0;     // NIM_ADD
inline constexpr std::uint32_t kNimDelete = 2;  // NIM_DELETE
inline constexpr std::uint32_t kNifMessage = 1, kNifIcon = 2, kNifTip = 4;

inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;

// Registry hives: the predefined HKEY values.
inline constexpr std::uint32_t kHkeyClassesRoot = 0x80000000u;
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001u;
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002u;
inline constexpr std::uint32_t kHkeyUsers = 0x80000003u;
inline constexpr std::uint32_t kHkeyCurrentConfig = 0x80000005u;
inline constexpr std::uint32_t kHkeyDynData = 0x80000006u;

inline constexpr std::uint32_t kRegSz = 1, kRegBinary = 3, kRegDword = 4;
inline constexpr std::uint32_t kKeyQueryValue = 1, kKeySetValue = 2, kKeyCreateSubKey = 4;

// System error codes the program names.
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorInvalidData = 13;
inline constexpr std::int32_t kErrorMoreData = 234;
inline constexpr std::int32_t kErrorHotkeyAlreadyRegistered = 1409;

// Message box flags and answers.
inline constexpr std::uint32_t kMbOk = 0, kMbYesNo = 4;
inline constexpr std::uint32_t kMbIconQuestion = 32, kMbIconExclamation = 48, kMbIconInformation = 64;
inline constexpr int kIdOk = 1, kIdYes = 6, kIdNo = 7;

class Platform;

// ------------------------------------------------------------ RAII handles
// A handle value owned by one object and given back to the platform by
// Traits::Close when that object goes away. Move-only.
template <class Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  UniqueHandle(Platform* os, std::uintptr_t value) : os_(os), value_(value) {}
  UniqueHandle(UniqueHandle&& other) noexcept : os_(other.os_), value_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Close();
      os_ = other.os_;
      value_ = other.Release();
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Close(); }

  std::uintptr_t Get() const { return value_; }
  explicit operator bool() const { return value_ != 0; }
  // Gives the handle back now; returns what the platform's close function returned
  // (0 when there was nothing to close).
  std::int32_t Close() {
    if (os_ == nullptr || value_ == 0) return 0;
    return Traits::Close(*os_, Release());
  }
  std::uintptr_t Release() {
    std::uintptr_t v = value_;
    value_ = 0;
    return v;
  }

 private:
  Platform* os_ = nullptr;
  std::uintptr_t value_ = 0;
};

struct RegKeyTraits { static std::int32_t Close(Platform& os, std::uintptr_t h); };       // RegCloseKey
struct FindHandleTraits { static std::int32_t Close(Platform& os, std::uintptr_t h); };   // FindClose
struct ItemIdListTraits { static std::int32_t Close(Platform& os, std::uintptr_t h); };   // CoTaskMemFree
using RegKey = UniqueHandle<RegKeyTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;    // empty = INVALID_HANDLE_VALUE
using ItemIdList = UniqueHandle<ItemIdListTraits>;

// The part of WIN32_FIND_DATAA the program reads.
struct FindData {
  std::uint32_t dwFileAttributes = 0;
  std::array<char, 260> cFileName{};
};

// The notification-icon record (NOTIFYICONDATAA, version-1 layout: 88 bytes).
// The Win32 side sets cbSize; the rest is filled by the program.
struct NotifyIconData {
  WindowHandle hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  std::uintptr_t hIcon = 0;
  std::string szTip;  // at most 63 bytes reach the record
};

// ----------------------------------------------------- automation objects
// The Windows Script Host shell object (late bound); released on destruction.
class ScriptShell {
 public:
  virtual ~ScriptShell() = default;
  // SpecialFolders(name): the folder's path, or the empty text when it has none.
  virtual std::string SpecialFolders(const std::string& name) = 0;
};

// A new instance of the system's web browser through its automation object
// (late bound); released, not quit, on destruction.
class WebBrowser {
 public:
  virtual ~WebBrowser() = default;
  virtual bool Navigate(const std::string& address) = 0;
  // Reads the ReadyState property; false when the read fails.
  virtual bool ReadyState(std::int32_t& state) = 0;
  virtual bool SetVisible(bool visible) = 0;
};

// ------------------------------------------------------ the window toolkit
// The program's three windows are described by a FormSpec and created by
// Platform::CreateForm. Positions and sizes are in twips (1/1440 inch); the
// Win32 side converts them with the screen's real DPI. Controls and timers are
// named by small integers chosen by the program (the Win32 side uses them as
// control ids, so another process can find a control with GetDlgItem).

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

struct FontSpec {
  std::string face = "MS Sans Serif";
  double points = 8.25;
  bool bold = false;
  bool italic = false;
};

struct TwipsRect {
  int left = 0, top = 0, width = 0, height = 0;
};

enum class ControlKind {
  Label,     // static text; may be transparent over the form's background picture
  CheckBox,  // two-state check box
  ComboBox,  // editable drop-down combo box
  Button,    // push button, optionally with a picture
  ListBox,   // list box that holds texts (the program's are never visible)
};

enum class TextAlign { Left, Centre };

struct ControlSpec {
  int id = 0;
  ControlKind kind = ControlKind::Label;
  std::string text;
  TwipsRect bounds;
  FontSpec font;
  bool visible = true;
  bool transparent = false;        // labels: the form's background shows through
  TextAlign align = TextAlign::Left;
  bool hasForeColour = false;      // otherwise the system's default text colour
  Colour foreColour;
  bool hasBackColour = false;      // otherwise the control's default background
  Colour backColour;
  bool cancel = false;             // buttons: Esc presses this one
  int picture = 0;                 // buttons: bitmap resource shown with the caption (0 = none)
  bool notifyMouse = false;        // labels: report mouse moves and clicks (FormEvents)
};

struct TimerSpec {
  int id = 0;
  std::uint32_t intervalMs = 0;  // timers start disabled
};

enum class FormFrame {
  Hidden,   // the main window: a tool window that never has a taskbar button
  Sizable,  // the default sizable frame with the system menu
  Fixed,    // a fixed single frame with the system menu
};

struct FormSpec {
  std::string caption;
  int clientWidth = 0, clientHeight = 0;  // twips
  FormFrame frame = FormFrame::Sizable;
  int icon = 0;               // icon resource id (ResourceIds.h)
  int backgroundPicture = 0;  // bitmap resource drawn unscaled from the top-left corner (0 = none)
  bool hasPopupMenu = false;  // the menu item array of the main window
  bool taskbarCreated = false;  // receives the shell's "TaskbarCreated" broadcast
  std::vector<ControlSpec> controls;  // in tab order
  std::vector<TimerSpec> timers;
};

// What a form reports to the program. Every call arrives on the user-interface
// thread, from the form's own window procedure (so, for the main window, only
// after the program's WindowProc has passed the message on).
class FormEvents {
 public:
  virtual void OnClick(int /*controlId*/) {}       // button, label (notifyMouse), check box
  virtual void OnMouseMove(int /*controlId*/) {}   // 0 = the form's background
  virtual void OnTimer(int /*timerId*/) {}
  virtual void OnMenuClick(int /*index*/) {}       // element of the popup menu item array
  virtual void OnCloseBox() {}                     // the frame's close box or Alt+F4
  virtual void OnTaskbarCreated() {}               // the shell's taskbar was (re)created

 protected:
  ~FormEvents() = default;
};

// One window created by Platform::CreateForm; destroying the object destroys the
// window. A Form may be destroyed from inside one of its own event handlers.
class Form {
 public:
  virtual ~Form() = default;

  virtual WindowHandle Handle() const = 0;
  virtual std::uintptr_t IconHandle() const = 0;  // HICON of the form's icon

  // The form itself.
  virtual void Show() = 0;  // visible, not modal; centred on the screen the first time if the spec says so
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
  virtual void SetTop(int twips) = 0;
  virtual void SetSize(int widthTwips, int heightTwips) = 0;  // the outer size
  virtual void Refresh() = 0;  // repaint now

  // Controls.
  virtual void SetText(int id, const std::string& text) = 0;
  virtual std::string Text(int id) const = 0;
  virtual void SetVisible(int id, bool visible) = 0;
  virtual bool IsVisible(int id) const = 0;
  virtual void SetForeColour(int id, Colour colour) = 0;
  virtual Colour ForeColour(int id) const = 0;
  virtual void SetCheck(int id, int value) = 0;  // 0 clear, 1 set
  virtual int Check(int id) const = 0;
  // Combo and list boxes.
  virtual void AddItem(int id, const std::string& text) = 0;
  virtual void AddItems(int id, const std::vector<std::string>& texts) = 0;
  virtual void ClearItems(int id) = 0;
  virtual int ItemCount(int id) const = 0;
  virtual std::string Item(int id, int index) const = 0;  // "" past the end

  // Timers.
  virtual void EnableTimer(int id, bool enabled) = 0;
  virtual bool TimerEnabled(int id) const = 0;

  // The popup menu's item array (forms with hasPopupMenu). Element 0 always
  // exists and cannot be unloaded; elements are created one after the last.
  virtual int MenuCount() const = 0;
  virtual bool MenuLoad(int index) = 0;    // false when the element exists already or would leave a gap
  virtual bool MenuUnload(int index) = 0;  // false for element 0 and for elements not loaded
  virtual void MenuSetCaption(int index, const std::string& caption) = 0;  // "-" = separator
  virtual std::string MenuCaption(int index) const = 0;
  // Pops the menu up at the mouse position and returns when it closes. A chosen
  // entry reaches the form's window procedure as WM_COMMAND before this returns,
  // and from there OnMenuClick.
  virtual void PopupMenu() = 0;
};

// ------------------------------------------------------------- the platform
using WindowProcHandler = std::function<LResult(WindowHandle, std::uint32_t, WParam, LParam)>;

class Platform {
 public:
  virtual ~Platform() = default;

  // Registry (advapi32). Results are system error codes.
  virtual std::int32_t RegOpenKeyExA(std::uint32_t hive, const std::string& subKey, std::uint32_t access, RegKey& key) = 0;
  virtual std::int32_t RegCreateKeyExA(std::uint32_t hive, const std::string& subKey, std::uint32_t access, RegKey& key) = 0;
  // data may be null; size is in/out as in the Windows function; type may be null.
  virtual std::int32_t RegQueryValueExA(const RegKey& key, const std::string& name, std::uint32_t* type,
                                        std::uint8_t* data, std::uint32_t& size) = 0;
  virtual std::int32_t RegSetValueExA(const RegKey& key, const std::string& name, std::uint32_t type,
                                      const std::uint8_t* data, std::uint32_t size) = 0;
  virtual std::int32_t RegDeleteValueA(const RegKey& key, const std::string& name) = 0;
  virtual std::int32_t RegDeleteKeyA(std::uint32_t hive, const std::string& subKey) = 0;
  virtual std::int32_t RegCloseKey(std::uintptr_t key) = 0;

  // INI files (kernel32 profile functions) and the file test.
  // Returns the first n characters of a buffer of bufferSize, n being the count
  // the Windows function returns.
  virtual std::string GetPrivateProfileStringA(const std::string& section, const std::string& entry,
                                               const std::string& defaultText, std::uint32_t bufferSize,
                                               const std::string& file) = 0;
  // Returns 0 on success, else the system error code of the failure.
  virtual std::int32_t WritePrivateProfileStringA(const std::string& section, const std::string& entry,
                                                  const std::string& text, const std::string& file) = 0;
  // True when path names an existing file that is not a folder and not marked
  // hidden or system. Never fails: anything it cannot test is false.
  virtual bool IsOrdinaryFile(const std::string& path) = 0;
  // The absolute form of a path, relative names taken from the current folder.
  virtual std::string FullPath(const std::string& path) = 0;

  // Atoms and hot keys (kernel32, user32).
  virtual std::uint32_t GlobalAddAtomA(const std::string& text) = 0;  // 0 on failure
  virtual std::uint32_t GlobalDeleteAtom(std::uint32_t atom) = 0;
  // The current local date and time in the user locale: short date, a blank, long time.
  virtual std::string LocalDateTimeText() = 0;
  virtual bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers, std::int32_t key) = 0;
  virtual bool UnregisterHotKey(WindowHandle window, std::int32_t id) = 0;

  // Other programs' windows (user32). Null pointers stand for absent texts.
  virtual WindowHandle FindWindowA(const char* className, const char* title) = 0;
  virtual WindowHandle FindWindowExA(WindowHandle parent, WindowHandle after, const char* className,
                                     const char* title) = 0;
  virtual bool ShowWindow(WindowHandle window, int command) = 0;  // result: was it visible before
  virtual std::int32_t IsWindowVisible(WindowHandle window) = 0;
  virtual bool PostMessageA(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) = 0;
  virtual bool SetForegroundWindow(WindowHandle window) = 0;

  // Subclassing (user32). The program's WindowProc is one procedure known to
  // the system by the address AddressOfWindowProc(); the platform calls the
  // handler set here for every message that reaches that address.
  virtual void SetWindowProcHandler(WindowProcHandler handler) = 0;
  virtual WndProcAddr AddressOfWindowProc() = 0;
  virtual WndProcAddr SetWindowLongA(WindowHandle window, WndProcAddr procedure) = 0;  // GWL_WNDPROC; returns the previous one
  virtual WndProcAddr GetClassWndProc(WindowHandle window) = 0;  // the window class's own procedure
  virtual LResult CallWindowProcA(WndProcAddr procedure, WindowHandle window, std::uint32_t message,
                                  WParam wParam, LParam lParam) = 0;

  // Tray icon (shell32). Returns the Windows function's result (1 = success).
  virtual std::int32_t Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) = 0;

  // Folders, files and the shell (shell32, kernel32, ole32).
  virtual std::int32_t SHGetSpecialFolderLocation(WindowHandle owner, int folder, ItemIdList& list) = 0;  // HRESULT
  virtual bool SHGetPathFromIDListA(const ItemIdList& list, std::array<char, 260>& path) = 0;
  virtual FindHandle FindFirstFileA(const std::string& pattern, FindData& data) = 0;  // empty on failure
  virtual bool FindNextFileA(const FindHandle& search, FindData& data) = 0;
  virtual std::int32_t FindClose(std::uintptr_t search) = 0;
  virtual std::int32_t CoTaskMemFree(std::uintptr_t memory) = 0;  // result always 0
  virtual std::unique_ptr<ScriptShell> CreateScriptShell() = 0;  // null when it cannot be created
  // Null pointers stand for absent texts. Returns the Windows function's result.
  virtual std::intptr_t ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                      const char* parameters, const char* directory, int show) = 0;
  virtual std::string ProgramFolder() = 0;  // the running executable's folder; ends in "\" only for a root
  virtual std::string CurrentFolder() = 0;  // the process's current folder
  virtual void ProgramVersion(int& major, int& minor) = 0;  // from the version resource
  // Case-insensitive comparison as a sorted list box orders its texts (<0, 0, >0).
  virtual int CompareTextNoCase(const std::string& a, const std::string& b) = 0;

  // Internet (wininet) and the browser.
  virtual bool InternetGetConnectedState(std::uint32_t& flags) = 0;
  virtual std::unique_ptr<WebBrowser> CreateWebBrowser() = 0;  // null when it cannot be created

  // User interaction.
  virtual int MessageBoxA(WindowHandle owner, const std::string& text, const std::string& title,
                          std::uint32_t flags) = 0;
  virtual void SetDefaultMousePointer() = 0;  // the screen-wide pointer back to the arrow
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  // Windows of the program.
  virtual std::unique_ptr<Form> CreateForm(const FormSpec& spec, FormEvents& events) = 0;
};

inline std::int32_t RegKeyTraits::Close(Platform& os, std::uintptr_t h) { return os.RegCloseKey(h); }
inline std::int32_t FindHandleTraits::Close(Platform& os, std::uintptr_t h) { return os.FindClose(h); }
inline std::int32_t ItemIdListTraits::Close(Platform& os, std::uintptr_t h) { return os.CoTaskMemFree(h); }

}  // namespace tamberlinox::platform
