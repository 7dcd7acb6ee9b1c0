#include "app/frmUnload.h"

#include "app/Program.h"

namespace tamberlinox::frmUnload {

void UnloadAllForms(Program& program) {
  platform::Platform& os = program.os;
  TamberlinoxForm& main = program.frmTamberlinox;

  // 1.
  os.SetDefaultMousePointer();
  // 2.
  if (platform::Form* form = main.form()) form->EnableTimer(TamberlinoxForm::Timer1, false);
  // 3. From here on WindowProc no longer sees the main window's messages.
  if (program.PrevWndProc != 0 && main.Loaded()) {
    os.SetWindowLongA(main.Handle(), program.PrevWndProc);
    program.PrevWndProc = 0;
  }
  // 4. Every loaded window, each running its own unload handler.
  main.Unload();
  program.frmAbout.Unload();
  program.frmHotKeySet.Unload();
}

}  // namespace tamberlinox::frmUnload
