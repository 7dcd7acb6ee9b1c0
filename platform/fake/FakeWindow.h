// FakeWindow: one of the program's windows in the in-memory Windows.
//
// Everything the window knows is a public member that a test may read or
// change: caption, shown state, top and size, each control's state, the
// timers, the tray icon, the subclass filter and the last popup menu. The
// driving methods stand in for the user and the shell; each one delivers its
// event before it returns, and the window may be destroyed meanwhile (the
// drivers never touch it afterwards).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Layout.h"
#include "platform/Platform.h"

namespace tamberlinox::platform {

class FakePlatform;

// The messages the fake delivers through a window's procedure.
inline constexpr std::uint32_t kWmClose = 0x0010;                // WM_CLOSE
inline constexpr std::uint32_t kWmTimer = 0x0113;                // WM_TIMER
inline constexpr std::uint32_t kWmSettingChange = 0x001A;        // WM_SETTINGCHANGE
inline constexpr std::uint32_t kTaskbarCreatedMessage = 0xC0A7;  // the registered "TaskbarCreated"

struct FakeControl {
  ControlSpec spec;  // as created
  std::string text;
  bool visible = true;
  Colour foreColour;
  bool checked = false;
  std::vector<std::string> items;  // combo box entries
  std::optional<Colour> backColour;  // nothing: the control's default
};

struct FakeTimer {
  std::uint32_t intervalMs = 0;
  bool running = false;
  std::uint32_t startedAt = 0;  // the system's tick count when it was (re)started
};

struct FakeTrayIcon {
  bool added = false;
  std::uint32_t id = 0;
  std::uint32_t callbackMessage = 0;
  std::string tip;
  struct Balloon {
    std::string title, text;
    BalloonIcon icon = BalloonIcon::Info;
  };
  std::vector<Balloon> balloons;  // shown at the icon, in order
  int focused = 0;                // FocusTrayIcon() calls
};

class FakeWindow final : public Window {
 public:
  FakeWindow(FakePlatform& os, const WindowSpec& spec, WindowEvents& events, WindowHandle handle);
  ~FakeWindow() override;
  FakeWindow(const FakeWindow&) = delete;
  FakeWindow& operator=(const FakeWindow&) = delete;

  // ------------------------------------------------------------ the state
  const WindowSpec spec;
  const WindowHandle handle;
  std::string caption;
  bool shown = false;
  int showCount = 0;  // Show() calls
  int top = 0;
  int width = 0, height = 0;  // the client size of the spec until SetSize
  int repaints = 0;
  int broughtToFront = 0;  // BringToFront() calls
  std::map<int, FakeControl> controls;  // by id
  std::map<int, FakeTimer> timers;      // every timer ever started, by id
  FakeTrayIcon tray;
  MessageFilter* filter = nullptr;  // set while subclassed
  std::vector<MenuEntry> lastMenu;  // the entries of the last popup menu shown
  MenuOpening lastMenuOpening;      // and where it opened
  int menusShown = 0;
  // The last popup menu as it is or was while up: the submenus opened (by the
  // id of their entry, with their entries), the picture each entry of the
  // menu and its submenus shows, by id. A picture is set by the place of its
  // entry, as the system's menu takes it: one set at a place that holds no
  // entry of this showing (past a menu's end, or in a submenu not filled in
  // this showing, which still holds an earlier showing's entries) reaches no
  // entry and is counted.
  std::map<int, std::vector<MenuEntry>> submenus;
  std::map<int, MenuPicture> entryPictures;
  int misplacedPictures = 0;
  // What MenuEntriesOnScreen answers; unset: the first kEntriesOnScreen
  // entries of the menu and of each open submenu.
  std::optional<std::vector<int>> entriesOnScreen;
  static constexpr std::size_t kEntriesOnScreen = 20;
  // The shell's menus of items shown over the popup menu, in order, and what
  // the user does in the next ones: choose a command (the popup menu closes
  // with nothing chosen) or not (Esc).
  struct ItemMenuShown {
    ShellItem item;
    int firstId = 0, lastId = 0;
  };
  std::vector<ItemMenuShown> itemMenus;
  bool itemMenuCommandChosen = false;
  bool MenuUp() const { return menuEvents_ != nullptr; }
  std::uint32_t watchedProcess = 0;  // WatchShellWindows
  std::vector<std::string> watchedClasses;
  // The client area and the controls' boxes in pixels at the window's DPI,
  // as the layout arithmetic placed them; and where a DPI change put the
  // outer frame's corner.
  WindowLayout layout;
  int frameLeft = 0, frameTop = 0;

  // The captions of lastMenu, a separator as "-".
  std::vector<std::string> LastMenuCaptions() const;
  FakeControl* Control(int id);  // null for an unknown id

  // ---------------------------------------------------------- the drivers
  // The user clicks a control: only a visible control of a shown window, and
  // a label only when it reports mouse events. A check box toggles first.
  // False when the click could not happen.
  bool Click(int controlId);
  // The mouse moves over a label that reports mouse events, or over the
  // background (0), of a shown window.
  bool MoveMouse(int controlId = 0);
  // The frame's close box: WM_CLOSE through the window's procedure.
  void Close();
  // Esc: clicks the visible cancel button, or closes the window when there is none.
  void PressEsc();
  // Enter: clicks the visible default button. False when there is none.
  bool PressEnter();
  // A tick of a running timer: WM_TIMER through the window's procedure.
  // False (and nothing happens) when the timer is not running.
  bool FireTimer(int timerId);
  // The shell's taskbar was re-created: the tray icon is gone, and the
  // "TaskbarCreated" message goes through the window's procedure.
  void TaskbarCreated();
  // A message through the subclass filter first (when there is one), then the
  // window's own handling: WM_CLOSE, WM_TIMER and "TaskbarCreated" become the
  // events; anything else gives 0.
  LResult Send(std::uint32_t message, WParam wParam = 0, LParam lParam = 0);
  // The user acts on the tray icon: its callback message with wParam = its id
  // and lParam = mouseMessage (kWmLButtonUp, kWmRButtonUp). False when the
  // icon is not in the tray.
  bool TrayClick(LParam mouseMessage);
  // The same in the shell's fourth form: the event and the icon's id in
  // lParam, the point in wParam.
  bool TrayEvent(std::uint32_t event, Point at = {});
  // The user in the open popup menu (from a menu chooser): opens the submenu
  // of an entry (the program fills it the first time) and returns its
  // entries; right-clicks an entry; leaves the menu idle for one slice, or
  // until the program has nothing more to do (returns the slices). All do
  // nothing without a menu up that has events.
  std::vector<MenuEntry> OpenSubmenu(int entryId);
  void RightClick(int entryId);
  bool MenuIdle();
  int IdleUntilDone(int slices = 1000);
  // The watched process created or showed a window of a watched class.
  void ShellWindowCreated(WindowHandle window) { events_.OnShellWindowCreated(window); }
  // The window is moved to a monitor of another DPI, and the system suggests
  // its outer rectangle there (WM_DPICHANGED): laid out again as the Win32
  // side does it, or left alone.
  void ChangeDpi(int newDpi, const Rect& suggested);
  // A setting of the system changed (WM_SETTINGCHANGE, lParam the area's
  // name): through the subclass filter first, then to the window's events.
  void SettingChange(std::uint32_t action, const std::string& area);

  // --------------------------------------------------------------- Window
  WindowHandle Handle() const override { return handle; }
  void Show() override;
  void Hide() override { shown = false; }
  bool Visible() const override { return shown; }
  void SetCaption(const std::string& text) override { caption = text; }
  std::string Caption() const override { return caption; }
  void SetTop(int pixels) override { top = pixels; }
  void SetSize(int newWidth, int newHeight) override;
  void Repaint() override { ++repaints; }
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
  void FocusTrayIcon(std::uint32_t id) override {
    if (tray.added && tray.id == id) ++tray.focused;
  }
  bool ShowTrayBalloon(std::uint32_t id, const std::string& title, const std::string& text,
                       BalloonIcon icon) override;
  void Subclass(MessageFilter& newFilter) override;
  void Unsubclass() override { filter = nullptr; }
  bool Subclassed() const override { return filter != nullptr; }
  void WatchShellWindows(std::uint32_t process, const std::vector<std::string>& classNames) override {
    watchedProcess = process;
    watchedClasses = classNames;
  }

 private:
  const FakeControl* Control(int id) const;

  FakePlatform& os_;
  WindowEvents& events_;
  MenuEvents* menuEvents_ = nullptr;  // while a menu with events is up
  bool menuEnded_ = false;            // a command of an item's menu closed it
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // false once destroyed
};

}  // namespace tamberlinox::platform
