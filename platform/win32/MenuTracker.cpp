#include "platform/win32/MenuTracker.h"
// The header below needs <windows.h> before it.
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "platform/win32/Dpi.h"
#include "platform/win32/ShellMenu.h"
#include "platform/win32/Text.h"

#ifndef MN_GETHMENU
#define MN_GETHMENU 0x01E1
#endif

namespace tamberlinox::platform::win32 {

MenuTracker* MenuTracker::hooked_ = nullptr;

int MonitorDpi(HMONITOR monitor) {
  const HMODULE user = ::GetModuleHandleW(L"user32.dll");
  using ThreadContext = HANDLE(WINAPI*)();
  using AwarenessOf = int(WINAPI*)(HANDLE);
  const auto threadContext = ProcAddress<ThreadContext>(user, "GetThreadDpiAwarenessContext");
  const auto awarenessOf = ProcAddress<AwarenessOf>(user, "GetAwarenessFromDpiAwarenessContext");
  constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE
  if (threadContext != nullptr && awarenessOf != nullptr && awarenessOf(threadContext()) == kPerMonitorAware) {
    // shcore (Windows 8.1 on) is loaded the first time and kept.
    static Module shcore(::LoadLibraryW(L"shcore.dll"));
    using ForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    UINT x = 0, y = 0;
    if (const auto forMonitor = ProcAddress<ForMonitor>(shcore.Get(), "GetDpiForMonitor");
        forMonitor != nullptr && SUCCEEDED(forMonitor(monitor, kEffectiveDpi, &x, &y)) && y > 0) {
      return static_cast<int>(y);
    }
  }
  return SystemDpi();
}

namespace {

// A menu shows "&" as the mark of the next letter; the program's captions
// show it as written ("Tom & Jerry").
std::wstring MenuText(const std::string& caption) {
  std::wstring text;
  for (wchar_t c : Widen(caption)) {
    text += c;
    if (c == L'&') text += L'&';
  }
  return text;
}

constexpr UINT kItemMask =
    MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_BITMAP | MIIM_STATE | MIIM_SUBMENU | MIIM_DATA;

// How an item holds a picture: as its bitmap, or drawn by the program from
// its data.
void PutPicture(MENUITEMINFOW& item, MenuPicture picture, bool asBitmap) {
  const auto bitmap = reinterpret_cast<HBITMAP>(picture);
  item.hbmpItem = asBitmap || picture == 0 ? bitmap : HBMMENU_CALLBACK;
  item.dwItemData = asBitmap ? 0 : picture;
}

// Whether the item shows the entry already: the same id, kind, text,
// picture, state and submenu or none.
bool Shows(const MENUITEMINFOW& item, const MenuEntry& entry, bool asBitmap, const std::wstring& text,
           const std::wstring& buffer) {
  if (item.wID != static_cast<UINT>(entry.id) || ((item.fType & MFT_SEPARATOR) != 0) != entry.separator) return false;
  if (entry.separator) return true;
  MENUITEMINFOW wanted{};
  PutPicture(wanted, entry.picture, asBitmap);
  return item.cch == text.size() && buffer.compare(0, text.size(), text) == 0 && item.hbmpItem == wanted.hbmpItem &&
         item.dwItemData == wanted.dwItemData && ((item.fState & MFS_GRAYED) != 0) == entry.grayed &&
         (item.hSubMenu != nullptr) == entry.submenu;
}

// The room a classic menu leaves an entry's picture of this width: a margin
// before it and a gap after it, in proportion to it (2 and 8 pixels at 16).
int PictureMargin(int width) { return width / 8; }
int TextGap(int width) { return width / 2; }

struct MenuWindows {
  std::vector<std::pair<HWND, HMENU>> found;
};

BOOL CALLBACK CollectMenuWindow(HWND window, LPARAM context) {
  wchar_t name[16] = {};
  if (::GetClassNameW(window, name, 16) > 0 && ::lstrcmpW(name, L"#32768") == 0 && ::IsWindowVisible(window)) {
    const auto menu = reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0));
    reinterpret_cast<MenuWindows*>(context)->found.emplace_back(window, menu);
  }
  return TRUE;
}

// The thread's popup menu windows on the screen, with their menus.
std::vector<std::pair<HWND, HMENU>> OpenMenuWindows() {
  MenuWindows windows;
  ::EnumThreadWindows(::GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&windows));
  return windows.found;
}

}  // namespace

MenuTracker::MenuTracker(HWND owner, Com& com, std::shared_ptr<bool> alive)
    : owner_(owner), com_(com), alive_(std::move(alive)) {}

// The system's themed menu drawing puts an entry's picture where a check mark
// would go (none of these entries is ever checked); classic menus with
// pictures keep no room for check marks (see noCheck_).
void MenuTracker::SetStyle(HMENU menu) const {
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_STYLE;
  info.dwStyle = noCheck_ ? MNS_NOCHECK : MNS_CHECKORBMP;
  ::SetMenuInfo(menu, &info);
}

MenuTracker::~MenuTracker() {
  if (hook_ != nullptr) ::UnhookWindowsHookEx(hook_);
  if (hooked_ == this) hooked_ = nullptr;
  if (idling_) ::KillTimer(owner_, kIdleTimer);
  if (up_) {
    // Destroyed while its menu is up: the menu ends with the window, and its
    // handles are left to the system rather than freed under the open menu.
    ::EndMenu();
    menu_.Release();
    (void)itemMenu_.release();
  }
}

// ------------------------------------------------------------- building

HMENU MenuTracker::NewSubmenu() {
  HMENU submenu = ::CreatePopupMenu();
  if (submenu == nullptr) return nullptr;
  SetStyle(submenu);
  // Until it is filled when it opens, one empty entry: a submenu with none
  // may not open at all.
  ::AppendMenuW(submenu, MF_STRING | MF_GRAYED, 0, L"");
  return submenu;
}

HMENU MenuTracker::FilledSubmenu(int entryId) const {
  for (const Submenu& submenu : submenus_)
    if (submenu.filled && submenu.entryId == entryId) return submenu.menu;
  return nullptr;
}

MenuTracker::Submenu* MenuTracker::FindSubmenu(HMENU menu) {
  for (Submenu& submenu : submenus_)
    if (submenu.menu == menu) return &submenu;
  return nullptr;
}

void MenuTracker::Forget(HMENU submenu) {
  const int count = ::GetMenuItemCount(submenu);
  for (int i = 0; i < count; ++i)
    if (HMENU inner = ::GetSubMenu(submenu, i)) Forget(inner);
  submenus_.erase(std::remove_if(submenus_.begin(), submenus_.end(),
                                 [submenu](const Submenu& known) { return known.menu == submenu; }),
                  submenus_.end());
}

// Makes the system's menu show the entries, changing only the positions that
// differ from what it shows already. The menu itself is the record of what it
// shows, so nothing else keeps thousands of captions. A submenu stays with
// its position whatever folder it shows: it is filled anew when it opens.
void MenuTracker::Sync(HMENU menu, const std::vector<MenuEntry>& entries) {
  const int count = ::GetMenuItemCount(menu);
  const UINT shown = count > 0 ? static_cast<UINT>(count) : 0;
  UINT position = 0;
  std::wstring buffer;
  for (const MenuEntry& entry : entries) {
    const std::wstring text = entry.separator ? std::wstring() : MenuText(entry.caption);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    const bool replace = position < shown;
    if (replace) {
      buffer.resize(text.size() + 2);
      item.fMask = kItemMask;
      item.dwTypeData = buffer.data();
      item.cch = static_cast<UINT>(buffer.size());
      if (!::GetMenuItemInfoW(menu, position, TRUE, &item)) item.hSubMenu = nullptr;
      if (Shows(item, entry, pictureBitmaps_, text, buffer)) {
        if (Submenu* known = item.hSubMenu != nullptr ? FindSubmenu(item.hSubMenu) : nullptr) known->entryId = entry.id;
        ++position;
        continue;
      }
    }
    const HMENU had = replace ? item.hSubMenu : nullptr;
    HMENU submenu = entry.submenu ? (had != nullptr ? had : NewSubmenu()) : nullptr;
    MENUITEMINFOW change{};
    change.cbSize = sizeof change;
    change.fMask = entry.separator ? (kItemMask & ~MIIM_STRING) : kItemMask;
    change.fType = entry.separator ? MFT_SEPARATOR : MFT_STRING;
    change.fState = entry.grayed ? MFS_GRAYED : MFS_ENABLED;
    change.wID = static_cast<UINT>(entry.id);
    change.hSubMenu = submenu;
    PutPicture(change, entry.picture, pictureBitmaps_);
    std::wstring data = text;
    change.dwTypeData = data.data();
    // A change that fails leaves the old entry, and is tried again next time.
    const bool done = replace ? ::SetMenuItemInfoW(menu, position, TRUE, &change) != FALSE
                              : ::InsertMenuItemW(menu, position, TRUE, &change) != FALSE;
    if (!done) {
      if (submenu != nullptr && submenu != had) ::DestroyMenu(submenu);
      if (!replace) break;
      ++position;
      continue;
    }
    if (had != nullptr && had != submenu) {
      Forget(had);
      ::DestroyMenu(had);
    }
    if (submenu != nullptr) {
      if (Submenu* known = FindSubmenu(submenu)) {
        *known = Submenu{submenu, entry.id, false};
      } else {
        submenus_.push_back(Submenu{submenu, entry.id, false});
      }
    }
    ++position;
  }
  for (int last = ::GetMenuItemCount(menu) - 1; last >= static_cast<int>(position); --last) {
    if (HMENU submenu = ::GetSubMenu(menu, last)) Forget(submenu);
    ::DeleteMenu(menu, static_cast<UINT>(last), MF_BYPOSITION);  // destroys its submenu
  }
}

bool MenuTracker::IsOwn(HMENU menu) const {
  return menu == menu_.Get() || std::any_of(submenus_.begin(), submenus_.end(),
                                            [menu](const Submenu& submenu) { return submenu.menu == menu; });
}

std::optional<int> MenuTracker::EntryAt(HMENU menu, UINT position) const {
  if (!IsOwn(menu)) return std::nullopt;
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_ID | MIIM_FTYPE;
  if (!::GetMenuItemInfoW(menu, position, TRUE, &item) || (item.fType & MFT_SEPARATOR) != 0) return std::nullopt;
  return static_cast<int>(item.wID);
}

// ------------------------------------------------------------- showing

int MenuTracker::Track(const std::vector<MenuEntry>& entries, MenuEvents* events, POINT at, bool selectFirst) {
  // One menu at a time: the system refuses a second one while the first is up.
  if (up_) return 0;
  pictureBitmaps_ = MenusBlendPictures();
  const bool noCheck = !pictureBitmaps_ && std::any_of(entries.begin(), entries.end(),
                                                       [](const MenuEntry& entry) { return entry.picture != 0; });
  const bool restyle = noCheck != noCheck_;
  noCheck_ = noCheck;
  if (!menu_) {
    menu_.Reset(::CreatePopupMenu());
    if (!menu_) return 0;
    SetStyle(menu_.Get());
  } else if (restyle) {
    SetStyle(menu_.Get());
    for (const Submenu& submenu : submenus_) SetStyle(submenu.menu);
  }
  measured_ = nullptr;  // a picture deleted since may have its handle again
  Sync(menu_.Get(), entries);
  for (Submenu& submenu : submenus_) submenu.filled = false;
  open_.clear();
  events_ = events;
  at_ = at;
  typedDowns_ = 0;
  if (events_ != nullptr && hooked_ == nullptr) {
    hook_ = ::SetWindowsHookExW(WH_MSGFILTER, &MenuTracker::FilterHook, nullptr, ::GetCurrentThreadId());
    if (hook_ != nullptr) hooked_ = this;
  }
  const std::shared_ptr<bool> alive = alive_;
  up_ = true;
  int chosen = 0;
  do {
    reopen_ = false;
    ::SetForegroundWindow(owner_);
    // The menu's loop takes the key as the first thing to do: Down selects
    // the first entry, as the system's own menus opened from the keyboard do.
    if (selectFirst) ::PostMessageW(owner_, WM_KEYDOWN, VK_DOWN, 0);
    chosen = static_cast<int>(::TrackPopupMenu(menu_.Get(), TPM_RETURNCMD, at_.x, at_.y, 0, owner_, nullptr));
    // Lets the menu's owner give up the foreground properly.
    ::PostMessageW(owner_, WM_NULL, 0, 0);
    if (!*alive) return 0;  // the window went while its menu was up
    // Some systems' menu loops end every menu when a nested one ends: Esc in
    // an item's menu closed this one too, and it opens again where it was.
  } while (chosen == 0 && reopen_ && !itemMenu_);
  up_ = false;
  StopIdle();
  if (hook_ != nullptr) {
    ::UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    hooked_ = nullptr;
  }
  events_ = nullptr;
  std::vector<HMENU>().swap(open_);
  rightButtonUp_.reset();
  KeepOrDrop();
  if (itemMenu_) {
    // A command of an item's menu, carried out once the menus are gone.
    std::unique_ptr<ShellMenu> itemMenu = std::move(itemMenu_);
    itemMenu->Invoke(owner_, itemCommand_, itemAt_);
    return 0;
  }
  return chosen;
}

void MenuTracker::KeepOrDrop() {
  int entries = ::GetMenuItemCount(menu_.Get());
  for (const Submenu& submenu : submenus_) entries += ::GetMenuItemCount(submenu.menu);
  if (entries > kKeptEntries) return;
  menu_.Reset();  // with its submenus
  std::vector<Submenu>().swap(submenus_);
}

// Menus are drawn with visual styles from Windows Vista on (when uxtheme has
// the functions Vista brought), while a theme is in use for the program.
// Wine draws its menus the classic way whatever the theme, and copies a
// picture as it is, as Windows XP did.
bool MenuTracker::MenusBlendPictures() {
  if (ProcAddress<FARPROC>(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) return false;
  if (!uxthemeTried_) {
    uxthemeTried_ = true;
    uxtheme_.Reset(::LoadLibraryW(L"uxtheme.dll"));
  }
  using Query = BOOL(WINAPI*)();
  const auto appThemed = ProcAddress<Query>(uxtheme_.Get(), "IsAppThemed");
  const auto themeActive = ProcAddress<Query>(uxtheme_.Get(), "IsThemeActive");
  return ProcAddress<FARPROC>(uxtheme_.Get(), "BufferedPaintInit") != nullptr && appThemed != nullptr &&
         themeActive != nullptr && appThemed() && themeActive();
}

bool MenuTracker::OnMeasureItem(MEASUREITEMSTRUCT& item) const {
  if (item.CtlType != ODT_MENU || pictureBitmaps_ || item.itemData == 0) return false;
  if (itemMenuUp_ && static_cast<int>(item.itemID) >= itemFirstId_ && static_cast<int>(item.itemID) <= itemLastId_)
    return false;  // one of the shell's entries
  // Thousands of entries show a few pictures: the last one's size is kept.
  const auto picture = reinterpret_cast<HBITMAP>(item.itemData);
  if (picture != measured_) {
    BITMAP bitmap{};
    if (!::GetObjectW(picture, sizeof bitmap, &bitmap)) return false;
    measured_ = picture;
    measuredSize_ = SIZE{bitmap.bmWidth, bitmap.bmHeight};
  }
  item.itemWidth = static_cast<UINT>(PictureMargin(measuredSize_.cx) + measuredSize_.cx + TextGap(measuredSize_.cx));
  item.itemHeight = static_cast<UINT>(measuredSize_.cy);
  return true;
}

bool MenuTracker::OnDrawItem(const DRAWITEMSTRUCT& item) const {
  if (item.CtlType != ODT_MENU || pictureBitmaps_ || item.itemData == 0 ||
      !IsOwn(reinterpret_cast<HMENU>(item.hwndItem))) {
    return false;
  }
  const auto picture = reinterpret_cast<HBITMAP>(item.itemData);
  BITMAP bitmap{};
  if (!::GetObjectW(picture, sizeof bitmap, &bitmap)) return false;
  MemoryDc memory(::CreateCompatibleDC(item.hDC));
  if (!memory) return false;
  Selection selected(memory.Get(), picture);
  // At the start of the room it asked for, which may be wider: the text follows the room.
  const RECT& r = item.rcItem;
  const int x = r.left + PictureMargin(bitmap.bmWidth);
  const int y = r.top + (r.bottom - r.top - bitmap.bmHeight) / 2;
  // A greyed entry's picture shows faded.
  const BYTE opacity = (item.itemState & ODS_GRAYED) != 0 ? 128 : 255;
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
  ::GdiAlphaBlend(item.hDC, x, y, bitmap.bmWidth, bitmap.bmHeight, memory.Get(), 0, 0, bitmap.bmWidth,
                  bitmap.bmHeight, blend);
  return true;
}

// By the menu and position: the system's search by id would look into the
// submenus kept from earlier showings too, and find an entry there first.
void MenuTracker::SetEntryPicture(const MenuPlace& place, MenuPicture picture) {
  if (!up_ || !menu_ || place.position < 0) return;
  const HMENU menu = place.submenuOf == 0 ? menu_.Get() : FilledSubmenu(place.submenuOf);
  if (menu == nullptr) return;
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_BITMAP | MIIM_DATA;
  PutPicture(item, picture, pictureBitmaps_);
  if (::SetMenuItemInfoW(menu, static_cast<UINT>(place.position), TRUE, &item)) repaint_ = true;
}

// For each of the menu's windows on the screen, the entries from the one at
// its top edge to the one at its bottom edge (it may be scrolled).
std::vector<int> MenuTracker::EntriesOnScreen() const {
  std::vector<int> ids;
  for (const auto& [window, menu] : OpenMenuWindows()) {
    if (!IsOwn(menu)) continue;
    RECT frame{};
    ::GetWindowRect(window, &frame);
    const int count = ::GetMenuItemCount(menu);
    const LONG middle = (frame.left + frame.right) / 2;
    const auto itemAt = [&](LONG y) { return ::MenuItemFromPoint(nullptr, menu, POINT{middle, y}); };
    int first = -1, last = -1;
    // Past the frame and any scroll arrow.
    for (LONG y = frame.top + 1; y < frame.bottom && y < frame.top + 48 && first < 0; y += 2) first = itemAt(y);
    for (LONG y = frame.bottom - 2; y > frame.top && y > frame.bottom - 48 && last < 0; y -= 2) last = itemAt(y);
    if (first < 0 || last < first) {
      // Where the menu cannot say, as many from the top as fit.
      first = 0;
      const int height = std::max(1, ::GetSystemMetrics(SM_CYMENU));
      last = std::min<int>(count, (frame.bottom - frame.top) / height + 1) - 1;
    }
    for (int position = first; position <= last && position < count; ++position) {
      if (const std::optional<int> id = EntryAt(menu, static_cast<UINT>(position))) ids.push_back(*id);
    }
  }
  return ids;
}

void MenuTracker::RepaintOpenMenus() const {
  for (const auto& [window, menu] : OpenMenuWindows())
    if (IsOwn(menu)) ::InvalidateRect(window, nullptr, FALSE);
}

bool MenuTracker::ShowItemMenu(const ShellItem& item, int firstId, int lastId) {
  if (!up_ || itemMenu_) return false;
  std::unique_ptr<ShellMenu> menu = ShellMenu::Create(com_, owner_, item);
  if (!menu) return false;
  POINT at{};
  if (clickAt_) {
    at = *clickAt_;
  } else {
    ::GetCursorPos(&at);
  }
  const std::shared_ptr<bool> alive = alive_;
  ShellMenu& shown = *menu;
  itemMenu_ = std::move(menu);
  itemMenuUp_ = true;
  itemFirstId_ = firstId;
  itemLastId_ = lastId;
  escapeInItemMenu_ = false;
  const int command = shown.Track(owner_, at, firstId, lastId);
  if (!*alive) return false;
  itemMenuUp_ = false;
  if (command == 0) {
    itemMenu_.reset();
    reopen_ = escapeInItemMenu_;
    return false;
  }
  itemCommand_ = command;
  itemAt_ = at;
  ::EndMenu();
  return true;
}

// ------------------------------------------------------------- messages

bool MenuTracker::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!up_) return false;
  // The item's menu first: its own submenus and drawing are the shell's.
  if (itemMenuUp_ && itemMenu_) {
    bool shells = false;
    switch (message) {
      case WM_INITMENUPOPUP:
        shells = !IsOwn(reinterpret_cast<HMENU>(wParam));
        break;
      case WM_MENUCHAR:
        shells = !IsOwn(reinterpret_cast<HMENU>(lParam));
        break;
      case WM_DRAWITEM:
        shells = !IsOwn(reinterpret_cast<HMENU>(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem));
        break;
      case WM_MEASUREITEM: {
        // Told apart by id: the shell's ids are below all of the menu's.
        const int id = static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->itemID);
        shells = id >= itemFirstId_ && id <= itemLastId_;
        break;
      }
      default:
        break;
    }
    if (shells && itemMenu_->OnMenuMessage(message, wParam, lParam, result)) return true;
  }
  switch (message) {
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
      return false;  // the window's own handling may see it too
    case WM_UNINITMENUPOPUP:
      OnUninitMenuPopup(reinterpret_cast<HMENU>(wParam));
      return false;
    case WM_ENTERIDLE:
      if (wParam == MSGF_MENU) OnEnterIdle();
      return false;
    case WM_MEASUREITEM:
      if (!OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return false;
      result = TRUE;
      return true;
    case WM_DRAWITEM:
      if (!OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return false;
      result = TRUE;
      return true;
    case WM_TIMER:
      if (wParam != kIdleTimer) return false;
      OnIdleTimer();
      result = 0;
      return true;
    case WM_MENURBUTTONUP:
      clickAt_ = std::exchange(rightButtonUp_, std::nullopt);
      OnRightClick(reinterpret_cast<HMENU>(lParam), static_cast<UINT>(wParam));
      result = 0;
      return true;
    case kRightButtonMessage:
      OnRightButtonMessage();
      result = 0;
      return true;
    default:
      return false;
  }
}

void MenuTracker::OnInitMenuPopup(HMENU menu) {
  if (menu == menu_.Get()) {
    open_.assign(1, menu);
  } else if (Submenu* submenu = FindSubmenu(menu)) {
    open_.push_back(menu);
    if (events_ != nullptr && !submenu->filled) {
      submenu->filled = true;
      const int entryId = submenu->entryId;
      const std::shared_ptr<bool> alive = alive_;
      const std::vector<MenuEntry> entries = events_->OnSubmenuOpening(entryId);
      if (!*alive) return;
      Sync(menu, entries);
    }
  } else {
    return;
  }
  StartIdle();
}

void MenuTracker::OnUninitMenuPopup(HMENU menu) {
  open_.erase(std::remove(open_.begin(), open_.end(), menu), open_.end());
}

// The user has done something in the menu (it has become idle again after
// it): what is on the screen may have changed.
void MenuTracker::OnEnterIdle() {
  reopen_ = false;
  if (!itemMenuUp_) StartIdle();
}

void MenuTracker::StartIdle() {
  if (events_ == nullptr || idling_) return;
  idling_ = ::SetTimer(owner_, kIdleTimer, kIdleMs, nullptr) != 0;
}

void MenuTracker::StopIdle() {
  if (!idling_) return;
  ::KillTimer(owner_, kIdleTimer);
  idling_ = false;
}

void MenuTracker::OnIdleTimer() {
  if (events_ == nullptr || itemMenuUp_) {
    StopIdle();
    return;
  }
  const std::shared_ptr<bool> alive = alive_;
  repaint_ = false;
  const bool more = events_->OnMenuIdle();
  if (!*alive) return;
  if (repaint_) RepaintOpenMenus();
  if (!more) StopIdle();
}

void MenuTracker::OnRightClick(HMENU menu, UINT position) {
  if (events_ == nullptr || itemMenuUp_) return;
  const std::optional<int> id = EntryAt(menu, position);
  if (!id || *id == 0) return;
  events_->OnEntryRightClick(*id);
}

// A right button released in the menu that the menu's loop has not reported
// by now: the entry under it, innermost menu first.
void MenuTracker::OnRightButtonMessage() {
  if (!rightButtonUp_ || itemMenuUp_) return;
  const POINT at = *rightButtonUp_;
  rightButtonUp_.reset();
  clickAt_ = at;
  const std::vector<HMENU> open = open_;
  for (auto menu = open.rbegin(); menu != open.rend(); ++menu) {
    const int position = ::MenuItemFromPoint(nullptr, *menu, at);
    if (position >= 0) {
      OnRightClick(*menu, static_cast<UINT>(position));
      return;
    }
  }
}

// Sees every message of the menu's loop before the loop does: a right button
// released over an entry, and Esc in an item's menu.
LRESULT CALLBACK MenuTracker::FilterHook(int code, WPARAM wParam, LPARAM lParam) {
  MenuTracker* self = hooked_;
  if (code == MSGF_MENU && self != nullptr && lParam != 0) {
    const MSG& message = *reinterpret_cast<const MSG*>(lParam);
    if (self->itemMenuUp_) {
      if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) self->escapeInItemMenu_ = true;
    } else if (message.message == WM_RBUTTONUP && self->events_ != nullptr) {
      // In a menu's loop the mouse's position comes in screen coordinates.
      self->rightButtonUp_ = POINT{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
      ::PostMessageW(self->owner_, kRightButtonMessage, 0, 0);
    } else if (message.message == WM_CHAR && self->events_ != nullptr && self->OnTyped(message)) {
      return TRUE;  // the menu's loop does nothing more with it
    } else if (message.message == WM_KEYDOWN && message.wParam == VK_DOWN && message.lParam == 0 &&
               self->typedDowns_ > 0) {
      --self->typedDowns_;  // one of those OnTyped posted
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// A character typed in the menu, seen before the menu's loop takes it: the
// program may take it to select an entry. The selection moves as the Down
// key moves it (past separators, round from the end), which every system's
// menu loop understands; the answer to WM_MENUCHAR can only select an entry
// on some.
bool MenuTracker::OnTyped(const MSG& message) {
  const HWND window = message.hwnd;
  const HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0));
  if (menu == nullptr) return false;
  const int count = ::GetMenuItemCount(menu);
  std::vector<std::string> names;
  std::vector<bool> selectable;
  std::optional<std::size_t> selected;
  for (int i = 0; i < count; ++i) {
    wchar_t text[260] = L"";
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = static_cast<UINT>(std::size(text));
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) item.fType = MFT_SEPARATOR;
    const bool separator = (item.fType & MFT_SEPARATOR) != 0;
    std::wstring shown = separator ? std::wstring() : std::wstring(text);
    // "&&" shows one "&".
    for (std::size_t at = shown.find(L"&&"); at != std::wstring::npos; at = shown.find(L"&&", at + 1)) {
      shown.erase(at, 1);
    }
    names.push_back(Narrow(shown));
    selectable.push_back(!separator);
    if ((item.fState & MFS_HILITE) != 0) selected = static_cast<std::size_t>(i);
  }
  // Letters typed faster than the menu moves: the selection is where the
  // last letter's Down presses, still on their way, will put it.
  if (typedDowns_ > 0 && typedMenu_ == menu) selected = typedSelection_;
  const wchar_t typed[2] = {static_cast<wchar_t>(message.wParam), L'\0'};
  const std::string character = message.wParam == VK_BACK ? "\b" : Narrow(typed);
  const std::shared_ptr<bool> alive = alive_;
  const MenuCharAnswer answer = events_->OnMenuChar(character, message.time, names, selected);
  if (!*alive) return true;
  if (!answer.taken) return false;
  if (!answer.select || answer.select == selected || *answer.select >= names.size()) return true;
  // Down presses from the entry selected (from the top when none is) to it.
  int presses = 0;
  for (std::size_t i = selected ? (*selected + 1) % names.size() : 0;; i = (i + 1) % names.size()) {
    if (selectable[i]) ++presses;
    if (i == *answer.select) break;
  }
  for (int i = 0; i < presses; ++i) ::PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
  typedDowns_ += presses;
  typedMenu_ = menu;
  typedSelection_ = answer.select;
  return true;
}

}  // namespace tamberlinox::platform::win32
