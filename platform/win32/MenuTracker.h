// A window's popup menu: a big one kept from one showing to the next and
// changed only where the entries differ, its submenus filled as they first
// open, pictures set while it is up, the program's background work in its
// idle moments, and the shell's menu of an entry on a right click.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/Com.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32.h"

namespace tamberlinox::platform::win32 {

class ShellMenu;

// The pixels per inch a popup menu opened on the monitor is drawn at: the
// monitor's own for a program aware of each monitor's DPI, else the system's
// (Windows scales the menu on the others).
int MonitorDpi(HMONITOR monitor);

class MenuTracker {
 public:
  // The owner's messages reach OnMessage; alive turns false when the owner
  // and with it this object are destroyed.
  MenuTracker(HWND owner, Com& com, std::shared_ptr<bool> alive);
  ~MenuTracker();
  MenuTracker(const MenuTracker&) = delete;
  MenuTracker& operator=(const MenuTracker&) = delete;

  // Shows the entries at the point until the menu closes: the chosen entry's
  // id, or 0. Returns 0 at once while a menu is up (the system refuses a
  // second one).
  // With selectFirst (a menu opened from the keyboard) its first entry is
  // selected when it opens.
  int Track(const std::vector<MenuEntry>& entries, MenuEvents* events, POINT at, bool selectFirst = false);
  bool Up() const { return up_; }

  // A message of the owner's; true when it was the menu's, with its result.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Whether the message may be the measuring or drawing of an entry's picture.
  static bool IsPictureMessage(UINT message) { return message == WM_MEASUREITEM || message == WM_DRAWITEM; }

  void SetEntryPicture(const MenuPlace& place, MenuPicture picture);
  std::vector<int> EntriesOnScreen() const;
  bool ShowItemMenu(const ShellItem& item, int firstId, int lastId);

 private:
  // Tells the owner that a right button was released in a menu whose loop
  // did not say so with WM_MENURBUTTONUP (some systems' menus do not).
  static constexpr UINT kRightButtonMessage = kMenuRightButtonMessage;
  // The owner's timer that gives the program its idle slices while a menu is up.
  static constexpr UINT_PTR kIdleTimer = kMenuIdleTimer;
  static constexpr UINT kIdleMs = 10;
  // A menu of more entries than this, its submenus' counted, is kept for the
  // next showing, which then changes only the entries that differ; a smaller
  // one goes when it closes (on Windows a menu lives in the desktop heap that
  // every program of the session shares). The system adds entries one at a
  // time, and under Wine each addition copies all those before it: 10,000
  // entries take seconds to add, 1,000 some ten milliseconds.
  static constexpr int kKeptEntries = 2000;

  void Sync(HMENU menu, const std::vector<MenuEntry>& entries);
  // After a showing: the menu goes unless it is to be kept (kKeptEntries).
  void KeepOrDrop();
  // Whether the system's drawing of this showing blends the pictures itself.
  bool MenusBlendPictures();
  // Gives a menu of this showing its style: see noCheck_.
  void SetStyle(HMENU menu) const;
  // Classic menus: the size of an entry's picture, and the picture drawn.
  bool OnMeasureItem(MEASUREITEMSTRUCT& item) const;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) const;
  HMENU NewSubmenu();
  // The submenu of the entry with this id, filled in this showing; null for none.
  HMENU FilledSubmenu(int entryId) const;
  void Forget(HMENU submenu);  // before it is destroyed with its item
  bool IsOwn(HMENU menu) const;
  // The id of the entry at a position, if it is one that can be chosen or opened.
  std::optional<int> EntryAt(HMENU menu, UINT position) const;

  void OnInitMenuPopup(HMENU menu);
  void OnUninitMenuPopup(HMENU menu);
  void OnEnterIdle();
  void OnIdleTimer();
  void OnRightClick(HMENU menu, UINT position);
  void OnRightButtonMessage();
  void StartIdle();
  void StopIdle();
  void RepaintOpenMenus() const;

  // A character typed in the menu; true when the program took it.
  bool OnTyped(const MSG& message);
  int typedDowns_ = 0;  // Down presses OnTyped posted that the menu has not taken yet
  HMENU typedMenu_ = nullptr;
  std::optional<std::size_t> typedSelection_;  // where they take the selection
  static LRESULT CALLBACK FilterHook(int code, WPARAM wParam, LPARAM lParam);
  static MenuTracker* hooked_;  // the one whose menu is up: the program has one UI thread

  const HWND owner_;
  Com& com_;
  const std::shared_ptr<bool> alive_;
  Menu menu_;
  Module uxtheme_;
  bool uxthemeTried_ = false;
  // Menus drawn with visual styles take an entry's picture as its bitmap and
  // blend it; classic menus (Wine's among them) copy a bitmap as it is, its
  // transparent pixels black, so there the picture goes in the item's data
  // and is drawn by the program into the place the menu leaves for it, which
  // costs the classic look nothing.
  bool pictureBitmaps_ = true;
  // There the entries' text goes where the system puts it: right after a
  // check mark's room when the menu keeps one for each entry (Wine keeps it
  // narrower than the pictures, and the text runs into them), else right
  // after the widest picture's room. So a classic menu with pictures keeps no
  // room for check marks (none of these entries is ever checked), and each
  // picture asks for room for itself, a margin before it and the gap a themed
  // menu leaves between its pictures and their text after it.
  bool noCheck_ = false;
  mutable HBITMAP measured_ = nullptr;  // the picture last measured, and its size
  mutable SIZE measuredSize_{};
  struct Submenu {
    HMENU menu;
    int entryId;   // of the entry that opens it
    bool filled;   // in this showing
  };
  std::vector<Submenu> submenus_;            // every submenu of the menu, nested ones too
  Submenu* FindSubmenu(HMENU menu);
  std::vector<HMENU> open_;                  // the menus on the screen, outermost first
  MenuEvents* events_ = nullptr;
  bool up_ = false;
  bool idling_ = false;
  bool repaint_ = false;
  HHOOK hook_ = nullptr;
  POINT at_{};                               // where the menu opened
  std::optional<POINT> rightButtonUp_;       // seen in the menu, not answered yet
  std::optional<POINT> clickAt_;             // where the right click being answered was
  std::unique_ptr<ShellMenu> itemMenu_;      // up, or its command waiting for the menu to close
  bool itemMenuUp_ = false;
  int itemFirstId_ = 0, itemLastId_ = 0;
  int itemCommand_ = 0;
  POINT itemAt_{};
  bool escapeInItemMenu_ = false;            // Esc was pressed in the item's menu
  bool reopen_ = false;                      // it closed on Esc, and this menu has not been idle since
};

}  // namespace tamberlinox::platform::win32
