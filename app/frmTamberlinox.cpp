#include "app/frmTamberlinox.h"

#include "app/Program.h"
#include "app/frmUnload.h"
#include "desktop/Desktop.h"
#include "platform/ResourceIds.h"

namespace tamberlinox {

using namespace platform;

namespace {
constexpr char kCaption[] = "Zemrik Program";
constexpr char kTrayTip[] = "Zemrik Tamberlinox";
}  // namespace

FormSpec TamberlinoxForm::Spec() const {
  FormSpec spec;
  spec.caption = kCaption;
  spec.frame = FormFrame::Hidden;
  spec.icon = IDI_MAIN;
  spec.hasPopupMenu = true;
  spec.taskbarCreated = true;
  for (int id : {List1, List2, List3, List4}) {
    ControlSpec list;
    list.id = id;
    list.kind = ControlKind::ListBox;
    list.visible = false;
    spec.controls.push_back(list);
  }
  spec.timers = {{Timer1, 500}, {TrayRetryTimer, 2000}};
  return spec;
}

WindowHandle TamberlinoxForm::hWnd() {
  Load();
  return Handle();
}

void TamberlinoxForm::Form_Load() {
  if (ShellTrayAdd() == 1) {
    HookForm(Handle());
  } else {
    // At logon the shell may not be ready yet: try again every 2 seconds for a while.
    trayRetries_ = 0;
    form()->EnableTimer(TrayRetryTimer, true);
  }
  form()->Hide();
}

std::int32_t TamberlinoxForm::ShellTrayAdd() {
  NotifyIconData& data = program_.TrayIconData;
  data.hWnd = Handle();
  data.uID = kTrayIconId;
  data.uFlags = kNifMessage | kNifIcon | kNifTip;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = form() ? form()->IconHandle() : 0;
  data.szTip = kTrayTip;
  return program_.os.Shell_NotifyIconA(kNimAdd, data);
}

void TamberlinoxForm::ShellTrayRemove() {
  trayRemoved_ = true;
  if (form()) form()->EnableTimer(TrayRetryTimer, false);
  program_.os.Shell_NotifyIconA(kNimDelete, program_.TrayIconData);
}

void TamberlinoxForm::HookForm(WindowHandle window) {
  Platform& os = program_.os;
  WndProcAddr previous = os.SetWindowLongA(window, os.AddressOfWindowProc());
  // When the icon came late, HookWindow has put WindowProc in place already:
  // WindowProc must never pass messages on to itself.
  if (previous == os.AddressOfWindowProc()) previous = os.GetClassWndProc(window);
  program_.PrevWndProc = previous;
}

void TamberlinoxForm::AddTrayIconAndHook() {
  if (ShellTrayAdd() != 1) return;
  form()->EnableTimer(TrayRetryTimer, false);
  if (program_.PrevWndProc == 0) HookForm(Handle());
}

void TamberlinoxForm::TrayRetryTimer_Timer() {
  ++trayRetries_;
  AddTrayIconAndHook();
  if (trayRetries_ >= kTrayRetryLimit) form()->EnableTimer(TrayRetryTimer, false);
}

void TamberlinoxForm::OnTaskbarCreated() {
  // The shell has (re)started and lost every icon: without ours the user
  // could no longer reach the program, so it goes back in.
  if (trayRemoved_ || !form()) return;
  AddTrayIconAndHook();
}

void TamberlinoxForm::MinimizeAll() { desktop::PostTaskbarCommand(program_.os, desktop::kTaskbarMinimizeAll); }

void TamberlinoxForm::RestoreAll() { desktop::PostTaskbarCommand(program_.os, desktop::kTaskbarRestoreAll); }

void TamberlinoxForm::Timer1_Timer() { frmUnload::UnloadAllForms(program_); }

void TamberlinoxForm::OnTimer(int timerId) {
  if (timerId == Timer1) {
    Timer1_Timer();
  } else if (timerId == TrayRetryTimer) {
    TrayRetryTimer_Timer();
  }
}

void TamberlinoxForm::OnMenuClick(int index) { mnuShow_Click(index); }

}  // namespace tamberlinox
