#include "platform/win32/ShellMenu.h"
// CMIC_MASK_UNICODE is made of a flag of the shell's execution functions.
#include <shellapi.h>

#include "platform/win32/ShellIdList.h"

namespace tamberlinox::platform::win32 {

namespace {

// The interfaces' ids, written out: the uuid library would bring in many more.
constexpr IID kShellFolder = {0x000214E6, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kContextMenu = {0x000214E4, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kContextMenu2 = {0x000214F4, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kContextMenu3 = {0xBCFCE0A0, 0xEC17, 0x11D0, {0x8D, 0x10, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x19}};

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

}  // namespace

std::unique_ptr<ShellMenu> ShellMenu::Create(Com& com, HWND owner, const ShellItem& item) {
  // The shell's commands copy to the clipboard and drag: they need OLE.
  if (!com.StartOle()) return nullptr;
  const ShellIdList list = ShellIdList::Of(item);
  if (!list) return nullptr;
  ComPtr<IShellFolder> parent;
  LPCITEMIDLIST child = nullptr;
  if (FAILED(::SHBindToParent(list.Get(), kShellFolder, parent.Put(), &child)) || !parent) return nullptr;
  std::unique_ptr<ShellMenu> menu(new ShellMenu);
  if (FAILED(parent.Get()->GetUIObjectOf(owner, 1, &child, kContextMenu, nullptr, menu->menu_.Put())) ||
      !menu->menu_) {
    return nullptr;
  }
  menu->menu_.Get()->QueryInterface(kContextMenu3, menu->menu3_.Put());
  menu->menu_.Get()->QueryInterface(kContextMenu2, menu->menu2_.Put());
  return menu;
}

ShellMenu::~ShellMenu() = default;

int ShellMenu::Track(HWND owner, POINT at, int firstId, int lastId) {
  popup_.Reset(::CreatePopupMenu());
  if (!popup_) return 0;
  // Shift shows the extended commands, as in Explorer. There is no view to
  // rename an item in, so no "Rename".
  const UINT flags = CMF_NORMAL | (KeyDown(VK_SHIFT) ? CMF_EXTENDEDVERBS : 0);
  if (FAILED(menu_.Get()->QueryContextMenu(popup_.Get(), 0, static_cast<UINT>(firstId), static_cast<UINT>(lastId),
                                            flags))) {
    return 0;
  }
  firstId_ = firstId;
  lastId_ = lastId;
  const int chosen = static_cast<int>(::TrackPopupMenuEx(
      popup_.Get(), TPM_RETURNCMD | TPM_RECURSE | TPM_RIGHTBUTTON | TPM_LEFTALIGN, at.x, at.y, owner, nullptr));
  return chosen >= firstId && chosen <= lastId ? chosen : 0;
}

bool ShellMenu::OnMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_MENUCHAR:
      break;
    default:
      return false;
  }
  LRESULT answer = 0;
  if (menu3_ && SUCCEEDED(menu3_.Get()->HandleMenuMsg2(message, wParam, lParam, &answer))) {
    result = answer;
    return true;
  }
  if (message != WM_MENUCHAR && menu2_ && SUCCEEDED(menu2_.Get()->HandleMenuMsg(message, wParam, lParam))) {
    result = message == WM_INITMENUPOPUP ? 0 : TRUE;
    return true;
  }
  return false;
}

void ShellMenu::Invoke(HWND owner, int id, POINT at) {
  if (id < firstId_ || id > lastId_ || firstId_ == 0) return;
  const UINT offset = static_cast<UINT>(id - firstId_);
  CMINVOKECOMMANDINFOEX info{};
  info.cbSize = sizeof info;
  info.fMask = CMIC_MASK_UNICODE | CMIC_MASK_PTINVOKE;
  if (KeyDown(VK_CONTROL)) info.fMask |= CMIC_MASK_CONTROL_DOWN;
  if (KeyDown(VK_SHIFT)) info.fMask |= CMIC_MASK_SHIFT_DOWN;
  info.hwnd = owner;
  info.lpVerb = MAKEINTRESOURCEA(offset);
  info.lpVerbW = MAKEINTRESOURCEW(offset);
  info.nShow = SW_SHOWNORMAL;
  info.ptInvoke = at;
  menu_.Get()->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
}

}  // namespace tamberlinox::platform::win32
