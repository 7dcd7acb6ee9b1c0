#include "app/AutoHide.h"

#include <string>

#include "app/Program.h"
#include "desktop/Desktop.h"
#include "hotkey/BasModule.h"
#include "settings/Settings.h"
#include "settings/modRegistry.h"

namespace tamberlinox::AutoHide {

using modRegistry::ReadValue;
using modRegistry::WriteValue;
namespace s = settings;

void Main(Program& program) {
  platform::Platform& os = program.os;

  // 1. The autostart command: the program's folder and the fixed file name, no quotes, no arguments.
  std::string folder = os.ProgramFolder();
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  const std::string autostartCommand = folder + s::kProgramFileName;

  // 2.
  program.DonationRequested = false;
  program.HomePageRequested = false;
  program.WindowsMinimized = false;

  // 3. Create the autostart entry when it cannot be read; an existing one stays as it is.
  std::string autostart;
  if (ReadValue(os, s::kRunRoot, s::kRunKey, s::kRunValue, s::kTypeText, "", autostart) != 0) {
    WriteValue(os, s::kRunRoot, s::kRunKey, s::kRunValue, s::kTypeText, autostartCommand);
  }

  // 4. The hot key's code; F10 when it cannot be read.
  if (ReadValue(os, s::kRoot, s::kKeyPath, s::kKey, s::kTypeText, "", program.KeySetting) != 0) {
    program.KeySetting = s::kDefaultKey;
    WriteValue(os, s::kRoot, s::kKeyPath, s::kKey, s::kTypeText, program.KeySetting);
  }

  // 5. The modifiers: a missing value leaves the empty text, which means off.
  ReadValue(os, s::kRoot, s::kKeyPath, s::kShift, s::kTypeText, "", program.ShiftSetting);
  ReadValue(os, s::kRoot, s::kKeyPath, s::kAlt, s::kTypeText, "", program.AltSetting);
  ReadValue(os, s::kRoot, s::kKeyPath, s::kCtrl, s::kTypeText, "", program.CtrlSetting);

  // 6.
  program.HotKeyModifiers = BasModule::ModifierFlags(!program.AltSetting.empty(), !program.CtrlSetting.empty(),
                                                     !program.ShiftSetting.empty());

  // 7.
  program.GlobalAtom = std::make_unique<CGlobalAtom>(os);

  // 8. The first use loads the main window: tray icon added, WindowProc installed.
  const platform::WindowHandle mainWindow = program.frmTamberlinox.hWnd();

  // 9. Installs WindowProc over itself: the chain stays WindowProc, then PrevWndProc.
  BasModule::HookWindow(program, mainWindow);

  // 10. A stored key that is not a 16-bit whole number means F10 for this run (the store keeps it).
  std::int16_t key = 0;
  if (!BasModule::ParseKeyCode(program.KeySetting, key)) key = 121;
  os.RegisterHotKey(mainWindow, program.GlobalAtom->Value(), static_cast<std::uint32_t>(program.HotKeyModifiers),
                    key);

  // 11.
  desktop::ShowDesktopIcons(os, false);

  // 12, 13. Tiny, and above the top of the screen: never seen, even while shown.
  program.frmTamberlinox.Load();
  if (platform::Form* form = program.frmTamberlinox.form()) {
    form->SetSize(10, 10);
    form->SetTop(-2000);
  }
}

}  // namespace tamberlinox::AutoHide
