// The window toolkit: one window class whose procedure turns window messages
// into WindowEvents calls, and the Window objects built on it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Layout.h"
#include "platform/Platform.h"
#include "platform/win32/Com.h"
#include "platform/win32/Handles.h"
#include "platform/win32/MenuTracker.h"
#include "platform/win32/ShellWatch.h"
#include "platform/win32/Win32.h"

namespace tamberlinox::platform::win32 {

// The program's window class, registered when the first window is made, and
// the count of windows alive: when the last one goes, the thread's message
// loop is told to end.
class WindowClass {
 public:
  explicit WindowClass(HINSTANCE instance) : instance_(instance) {}
  ~WindowClass();  // after the last window
  WindowClass(const WindowClass&) = delete;
  WindowClass& operator=(const WindowClass&) = delete;

  static constexpr const wchar_t* kName = L"TamberlinoxForm";

  HINSTANCE Instance() const { return instance_; }
  // Registers the class the first time; false when it cannot be registered.
  bool Register(WNDPROC procedure);
  // Loads the common controls the first time a window with controls is made.
  void LoadCommonControls();
  bool IsOwnWindow(HWND window) const;
  UINT TaskbarCreatedMessage() const { return taskbarCreated_; }
  int LiveWindows() const { return liveWindows_; }
  void WindowCreated() { ++liveWindows_; }
  void WindowDestroyed();

 private:
  HINSTANCE instance_;
  ATOM atom_ = 0;
  UINT taskbarCreated_ = 0;
  Module commonControls_;
  int liveWindows_ = 0;
};

class Win32Window final : public Window {
 public:
  // Null when the window cannot be created.
  // Its menus reach the shell's objects through com.
  static std::unique_ptr<Win32Window> Create(WindowClass& windowClass, const WindowSpec& spec, WindowEvents& events,
                                             Com& com);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  WindowHandle Handle() const override;

  void Show() override;
  void Hide() override;
  bool Visible() const override;
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override;
  void SetTop(int pixels) override;
  void SetSize(int width, int height) override;
  void Repaint() override;
  void BringToFront() override;

  void SetText(int id, const std::string& text) override;
  std::string Text(int id) const override;
  void SetVisible(int id, bool visible) override;
  bool IsVisible(int id) const override;
  void SetForeColour(int id, Colour colour) override;
  Colour ForeColour(int id) const override;
  void SetColours(int id, std::optional<Colour> fore, std::optional<Colour> back) override;
  void SetChecked(int id, bool checked) override;
  bool Checked(int id) const override;
  void AddItems(int id, const std::vector<std::string>& texts) override;
  std::vector<std::string> Items(int id) const override;

  void StartTimer(int id, std::uint32_t intervalMs) override;
  void StopTimer(int id) override;
  bool TimerRunning(int id) const override;

  int PopupMenu(const std::vector<MenuEntry>& entries, MenuEvents* events = nullptr,
                const MenuOpening& opening = {}) override;
  int MenuDpi() override;
  void SetMenuEntryPicture(const MenuPlace& place, MenuPicture picture) override;
  std::vector<int> MenuEntriesOnScreen() override;
  bool ShowItemMenu(const ShellItem& item, int firstId, int lastId) override;

  bool AddTrayIcon(std::uint32_t id, std::uint32_t callbackMessage, const std::string& tip) override;
  bool RemoveTrayIcon(std::uint32_t id) override;
  void FocusTrayIcon(std::uint32_t id) override;
  bool ShowTrayBalloon(std::uint32_t id, const std::string& title, const std::string& text,
                       BalloonIcon icon) override;

  void Subclass(MessageFilter& filter) override;
  void Unsubclass() override;
  bool Subclassed() const override;
  void WatchShellWindows(std::uint32_t process, const std::vector<std::string>& classNames) override;

 private:
  struct Control {
    Control(Win32Window* owner, ControlSpec& ownSpec) : window(owner), spec(ownSpec) {}
    Win32Window* window;
    ControlSpec& spec;  // in the window's spec_; its colours follow SetForeColour and SetColours
    HWND hwnd = nullptr;
    HWND comboEdit = nullptr;  // combo boxes: the edit field and the drop-down list
    HWND comboList = nullptr;
    HFONT font = nullptr;  // owned by the window's font cache
    Bitmap picture;
    Brush backBrush;              // only for an RGB back colour
    WNDPROC labelProc = nullptr;  // labels that report the mouse: the static's own procedure
    HWND upDown = nullptr;        // number boxes: the up-down control
  };
  struct CachedFont {
    int height = 0;
    bool bold = false, italic = false;
    int dpi = 96;
    GdiFont font;
  };
  friend class ControlTexts;
  Win32Window(WindowClass& windowClass, const WindowSpec& spec, WindowEvents& events, Com& com);
  bool CreateWindowAndControls(const WindowSpec& spec);
  bool CreateControl(ControlSpec& spec);
  void CreateNameLabel(const ControlSpec& spec);
  HFONT FontFor(const Font& font) { return FontFor(font, dpi_); }
  HFONT FontFor(const Font& font, int dpi);
  void AttachUpDown(Control& control);
  int ScaleX(int pixels) const;
  int ScaleY(int pixels) const;

  // The window at its DPI (WindowDpi.cpp): laid out, its fonts, icons and
  // pictures to match; again when the system moves it to a monitor of
  // another DPI.
  WindowLayout LayOutAt(int dpi);
  SIZE OuterSizeAt(const WindowLayout& layout, int dpi) const;
  void PlaceControls();
  void LoadIcons();
  void SendTrayIcon();
  LRESULT OnDpiChanged(int dpi, const RECT& suggested);
  bool OnGetDpiScaledSize(int dpi, SIZE& size);
  POINT MenuPoint() const;

  Control* FindControl(int id) const;
  Control* FindControlByWindow(HWND window) const;
  void InvalidateUnder(const Control& control);
  void CentreOnScreen();

  static Win32Window* FromHandle(HWND window);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Message handlers.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnControlColour(UINT message, HDC dc, HWND child);
  bool OnEraseBackground(HDC dc);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  LRESULT OnGetDefaultId();
  void OnEscape();
  void OnActivate(WPARAM wParam);
  void OnSetFocus();

  WindowClass& windowClass_;
  WindowEvents& events_;
  Com& com_;
  Frame frame_;
  bool centred_;
  HWND hwnd_ = nullptr;
  WindowSpec spec_;  // as created: the window is laid out from it at each DPI
  int dpi_ = 96;
  WindowLayout layout_;
  Icon bigIcon_, smallIcon_;  // at the window's DPI; the small one is also the tray icon
  std::uint32_t trayId_ = 0;   // the tray icon's id while there is one
  Bitmap background_;          // the background picture at the window's scale, as large as its client area
  std::vector<CachedFont> fonts_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<int> timers_;  // the ids of the running timers
  // The popup menus, made at the first showing in the window's own memory:
  // on the heap then, it would lie among what the showing's entries take
  // there, and keep that memory from going back when they go.
  std::optional<MenuTracker> menus_;
  MessageFilter* filter_ = nullptr;
  WNDPROC ownProc_ = &Win32Window::WindowProc;  // what FilterProc passes messages on to
  ShellWatch shellWatch_;
  bool shownOnce_ = false;
  bool moved_ = false;
  HWND lastFocus_ = nullptr;
  // Cleared when the window is destroyed: code that called out to the program
  // checks it before touching the object again.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tamberlinox::platform::win32
