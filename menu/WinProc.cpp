#include "menu/WinProc.h"

#include "app/Program.h"
#include "desktop/Desktop.h"
#include "menu/SetMenuItems.h"

namespace tamberlinox::WinProc {

using namespace platform;

namespace {

LResult PassOn(Program& program, WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
  Platform& os = program.os;
  WndProcAddr procedure = program.PrevWndProc;
  // Until the tray icon has been added the window's procedure was never saved
  // (HookForm runs only then): its class procedure is its own procedure.
  if (procedure == 0) procedure = os.GetClassWndProc(window);
  if (procedure == 0 || procedure == os.AddressOfWindowProc()) return 0;
  return os.CallWindowProcA(procedure, window, message, wParam, lParam);
}

// Leaves element 0 alone: it cannot be unloaded, like every index past the end.
void ClearMenu(Form& form) {
  const int count = form.MenuCount();
  for (int index = 0; index <= count; ++index) form.MenuUnload(index);
}

void PopUpTrayMenu(Program& program, bool desktopItems) {
  Form* form = program.frmTamberlinox.form();
  // A click while a menu (or what its command opened) is still up is ignored: no nested menus.
  if (form == nullptr || program.TrayMenuOpen) return;
  program.TrayMenuOpen = true;
  ClearMenu(*form);
  if (desktopItems) {
    SetMenuItems::BuildDesktopMenu(program);  // refills the desktop item lists first
  } else {
    SetMenuItems::BuildCommandMenu(program);
  }
  program.os.SetForegroundWindow(form->Handle());
  // Returns when the menu has closed; a chosen entry's command has run by then.
  form->PopupMenu();
  program.TrayMenuOpen = false;
}

}  // namespace

LResult WindowProc(Program& program, WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
  if (window != program.frmTamberlinox.Handle()) return PassOn(program, window, message, wParam, lParam);

  if (message == kWmHotKey) desktop::ToggleDesktopIcons(program.os);  // whatever the identifier

  if (message == TamberlinoxForm::kTrayCallbackMessage) {
    if (lParam == kWmLButtonUp) {
      PopUpTrayMenu(program, true);
    } else if (lParam == kWmRButtonUp) {
      PopUpTrayMenu(program, false);
    }
    return 0;  // the tray callback is never passed on
  }

  return PassOn(program, window, message, wParam, lParam);
}

}  // namespace tamberlinox::WinProc
