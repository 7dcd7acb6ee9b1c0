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

struct MenuEntry {
  std::string caption;  // UTF-8
  UINT type = 0;        // MENUITEMINFO fType
  UINT state = 0;       // GetMenuState; Wine gives 0x803 for a separator (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)
  UINT id = 0;
  bool Separator() const { return (type & MFT_SEPARATOR) != 0; }
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

 private:
  ShellStandIn& shell_;
  HMODULE dll_ = nullptr;
  HOOKPROC proc_ = nullptr;
};

std::vector<std::string> Captions(const std::vector<MenuEntry>& entries);

}  // namespace e2e
