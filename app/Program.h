// The program-wide state and the program's windows: one instance for the whole run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "about/frmAbout.h"
#include "app/frmTamberlinox.h"
#include "hotkey/frmHotKeySet.h"
#include "hotkey/CGlobalAtom.h"
#include "platform/Platform.h"

namespace tamberlinox {

struct Program {
  explicit Program(platform::Platform& system);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  platform::Platform& os;

  // The main window's own procedure, saved by HookForm; empty until then.
  platform::WndProcAddr PrevWndProc = 0;
  // What HookWindow found installed; put back by UnhookWindow.
  platform::WndProcAddr SavedWndProc = 0;
  // The one tray icon.
  platform::NotifyIconData TrayIconData;
  // Its Value is the hot key identifier.
  std::unique_ptr<CGlobalAtom> GlobalAtom;
  // Alt 1 + Ctrl 2 + Shift 4.
  std::int32_t HotKeyModifiers = 0;
  // The hot key settings as read at start-up.
  std::string KeySetting, ShiftSetting, CtrlSetting, AltSetting;
  // The key code chosen at the last save of the hot key dialog; 0 at start.
  std::int16_t SelectedKeyCode = 0;
  // The last taskbar command given: true after "Minimize All Windows".
  bool WindowsMinimized = false;
  // Set by "Make A Donation": the About window's load starts the web request.
  bool DonationRequested = false;
  // Set by the About window's home page link: the next web request opens the home page.
  bool HomePageRequested = false;

  // A tray menu is up, or the command chosen from it is still running.
  bool TrayMenuOpen = false;

  TamberlinoxForm frmTamberlinox;
  HotKeySetForm frmHotKeySet;
  AboutForm frmAbout;
};

}  // namespace tamberlinox
