// The shell's own menu of an item (Open, Run as administrator, Open file
// location, Properties, Delete, Empty Recycle Bin, ...), as Explorer shows
// it, with the commands carried out as Explorer carries them out. It is shown
// over an open popup menu and forwards the menu messages that the shell's
// menu object draws and fills its own entries with.
#pragma once

#include "platform/win32/Win32.h"
// The header below needs <windows.h> before it.
#include <shlobj.h>

#include <memory>

#include "platform/Platform.h"
#include "platform/win32/Com.h"
#include "platform/win32/Handles.h"

namespace tamberlinox::platform::win32 {

class ShellMenu {
 public:
  // Null when the shell has no menu for the item (or COM cannot be had).
  static std::unique_ptr<ShellMenu> Create(Com& com, HWND owner, const ShellItem& item);
  ~ShellMenu();
  ShellMenu(const ShellMenu&) = delete;
  ShellMenu& operator=(const ShellMenu&) = delete;

  // Shows the menu at the point, nested in the menu that is up, its commands
  // with ids from firstId to lastId; returns the chosen one's id, or 0.
  int Track(HWND owner, POINT at, int firstId, int lastId);
  // A menu message for the owner while the menu is up; true when the shell's
  // menu object handled it, with its result.
  bool OnMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Carries out the command with this id as Explorer does.
  void Invoke(HWND owner, int id, POINT at);

 private:
  ShellMenu() = default;

  ComPtr<IContextMenu> menu_;
  ComPtr<IContextMenu2> menu2_;
  ComPtr<IContextMenu3> menu3_;
  Menu popup_;
  int firstId_ = 0, lastId_ = 0;
};

}  // namespace tamberlinox::platform::win32
