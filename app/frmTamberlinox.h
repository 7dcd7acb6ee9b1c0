// frmTamberlinox: the invisible main window. It owns the tray icon, the popup
// menu, the hot key registration and the hidden lists of desktop items, and it
// receives the hot key and tray messages through WindowProc.
#pragma once

#include <cstdint>
#include <string>

#include "app/LoadableForm.h"
#include "platform/Platform.h"

namespace tamberlinox {

class TamberlinoxForm : public LoadableForm {
 public:
  // Controls (their numbers are also the Win32 control ids).
  enum : int { List1 = 101, List2 = 102, List3 = 103, List4 = 104 };
  // Timers.
  enum : int {
    Timer1 = 1,          // 500 ms, started by "Close Program"
    TrayRetryTimer = 2,  // 2 s, retries adding the tray icon while the shell is not ready
  };
  static constexpr std::uint32_t kTrayIconId = 125;
  static constexpr std::uint32_t kTrayCallbackMessage = platform::kWmUser + 1;  // 1025
  static constexpr int kTrayRetryLimit = 60;  // two minutes of retries every 2 s

  // Which menu the item array holds: the dispatcher treats their entries differently.
  enum class MenuKind { None, DesktopItems, Commands };

  using LoadableForm::LoadableForm;

  // The window's handle; the first use loads the window.
  platform::WindowHandle hWnd();
  // The window's handle, or 0 when it is not loaded (never loads it).
  platform::WindowHandle Handle() const { return form() ? form()->Handle() : 0; }

  void MinimizeAll();
  void RestoreAll();
  std::int32_t ShellTrayAdd();
  void ShellTrayRemove();

  // Menu click handler of the item array mnuShow.
  void mnuShow_Click(int index);
  void Timer1_Timer();

  MenuKind builtMenu = MenuKind::None;

 protected:
  platform::FormSpec Spec() const override;
  void Form_Load() override;

 private:
  void HookForm(platform::WindowHandle window);
  void CloseProgram();
  void OpenDesktopItem(int index, const std::string& caption);
  void TrayRetryTimer_Timer();
  void AddTrayIconAndHook();

  void OnTimer(int timerId) override;
  void OnMenuClick(int index) override;
  void OnTaskbarCreated() override;

  int trayRetries_ = 0;
  bool trayRemoved_ = false;  // the close sequence took the icon away for good
};

}  // namespace tamberlinox
