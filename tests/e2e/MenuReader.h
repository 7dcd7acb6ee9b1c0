// Reads and works the program's open popup menu from outside, with the help of
// the hook DLL (menuhook/) that runs inside the program's process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Bench.h"
#include "ShellStandIn.h"

namespace e2e {

// An entry's picture as the menu holds it (see MenuProtocol.h).
struct MenuPicture {
  bool drawnByProgram = false;  // HBMMENU_CALLBACK, the bitmap in the item's data
  int width = 0, height = 0, bits = 0;
  int transparent = 0, opaque = 0;  // pixels with alpha 0 and 255
  unsigned hash = 0;                // of the pixels
};

struct MenuEntry {
  std::string caption;  // UTF-8
  UINT type = 0;        // MENUITEMINFO fType
  UINT state = 0;       // GetMenuState; Wine gives 0x803 for a separator (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)
  UINT id = 0;
  std::optional<MenuPicture> picture;
  RECT rect{};           // on the screen
  bool submenu = false;  // opens one
  bool Separator() const { return (type & MFT_SEPARATOR) != 0; }
  POINT Centre() const { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }
};

class MenuReader {
 public:
  // Loads the hook DLL that sits beside the harness.
  explicit MenuReader(ShellStandIn& shell);
  ~MenuReader();
  MenuReader(const MenuReader&) = delete;
  MenuReader& operator=(const MenuReader&) = delete;

  bool Loaded() const { return proc_ != nullptr; }

  // The open popup menu window ("#32768") of process p, once it is shown.
  HWND WaitForMenu(const Process& p, Millis timeout = 10000ms) const;
  // A popup menu window of process p other than those given, once it is shown
  // (a submenu, or a menu over the open one).
  HWND WaitForAnotherMenu(const Process& p, const std::vector<HWND>& known, Millis timeout = 10000ms) const;
  // The entries of the open menu, in order; nothing when they could not be read.
  std::optional<std::vector<MenuEntry>> Read(HWND menuWindow);
  // Chooses the entry with this caption the way a keyboard user would: arrow
  // down to it (separators are skipped by the menu itself), then Enter.
  bool Choose(HWND menuWindow, const std::vector<MenuEntry>& entries, const std::string& caption);
  // Chooses the entry at this position of entries (separators count, and cannot
  // be chosen): for menus with the same caption more than once.
  bool ChooseAt(HWND menuWindow, const std::vector<MenuEntry>& entries, size_t position);
  // Closes the menu without choosing (Escape).
  void Close(HWND menuWindow);
  // Presses a key in the menu (VK_RIGHT opens the selected entry's submenu).
  void Press(HWND menuWindow, WORD key);
  // The right button released over a point of the screen, as a menu's loop
  // receives it (screen coordinates, whichever window holds the capture).
  void RightClick(HWND menuWindow, POINT at);

 private:
  ShellStandIn& shell_;
  HMODULE dll_ = nullptr;
  HOOKPROC proc_ = nullptr;
};

std::vector<std::string> Captions(const std::vector<MenuEntry>& entries);

}  // namespace e2e
