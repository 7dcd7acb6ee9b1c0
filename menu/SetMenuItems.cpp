#include "menu/SetMenuItems.h"

#include <string>

#include "app/Program.h"
#include "desktop/Desktop.h"
#include "menu/Captions.h"
#include "menu/Module1.h"

namespace tamberlinox::SetMenuItems {

using namespace platform;

namespace {

// The main window is moved far above the screen: the desktop enumeration shows it.
// (The main window is a tool window, so nothing else is needed to keep it out
// of the taskbar and the task list.)
void CommonSteps(Form& form) { form.SetTop(-10000); }

void SetEntry(Form& form, int index, const std::string& caption) {
  if (index != 0) form.MenuLoad(index);
  form.MenuSetCaption(index, caption);
}

}  // namespace

void BuildDesktopMenu(Program& program) {
  TamberlinoxForm& main = program.frmTamberlinox;
  Form* form = main.form();
  if (form == nullptr) return;
  CommonSteps(*form);
  Module1::LoadDesktopItems(program);
  main.builtMenu = TamberlinoxForm::MenuKind::DesktopItems;

  // Every List4 item becomes an entry, whatever its text ("0" and "" included),
  // so element 0 always gets this build's caption.
  const int count = form->ItemCount(TamberlinoxForm::List4);
  for (int index = 0; index < count; ++index) SetEntry(*form, index, form->Item(TamberlinoxForm::List4, index));

  program.os.SetDefaultMousePointer();
}

void BuildCommandMenu(Program& program) {
  namespace c = captions;
  TamberlinoxForm& main = program.frmTamberlinox;
  Form* form = main.form();
  if (form == nullptr) return;
  CommonSteps(*form);
  main.builtMenu = TamberlinoxForm::MenuKind::Commands;

  const std::int32_t desktopVisible = desktop::DesktopIconsVisible(program.os);
  int major = 0, minor = 0;
  program.os.ProgramVersion(major, minor);

  const std::string entries[] = {
      c::kProgramHelp,
      c::kSeparator,
      c::kMakeADonation,
      c::kSeparator,
      program.WindowsMinimized ? c::kRestoreAllWindows : c::kMinimizeAllWindows,
      c::kSeparator,
      desktopVisible == 0 ? c::kShowDesktop : c::kHideDesktop,
      c::kSeparator,
      c::kSelectHotKey,
      c::kSeparator,
      c::kCloseProgram,
      c::kSeparator,
      c::kAboutVersion + std::to_string(major) + "." + std::to_string(minor),
  };
  for (int index = 0; index < static_cast<int>(std::size(entries)); ++index) SetEntry(*form, index, entries[index]);

  program.os.SetDefaultMousePointer();
}

}  // namespace tamberlinox::SetMenuItems
