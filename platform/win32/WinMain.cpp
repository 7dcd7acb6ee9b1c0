// Tamberlinox.exe: the start-up procedure, then the message loop until the
// program's last window is gone.
#include "platform/win32/Win32.h"

#include "app/AutoHide.h"
#include "app/Program.h"
#include "desktop/Desktop.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Platform.h"

namespace {

tamberlinox::platform::win32::Win32Platform* g_os = nullptr;

// However the program ends, the desktop icons must not stay hidden: "Close
// Program" shows them, and a program that fails shows them on its way out.
void ShowDesktopAgain() {
  if (g_os != nullptr) tamberlinox::desktop::ShowDesktopIcons(*g_os, true);
}

LONG WINAPI ShowDesktopOnCrash(EXCEPTION_POINTERS*) {
  ShowDesktopAgain();
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using tamberlinox::platform::win32::ComApartment;
  using tamberlinox::platform::win32::Win32Platform;
  ComApartment com;
  try {
    Win32Platform os(instance);
    g_os = &os;
    ::SetUnhandledExceptionFilter(ShowDesktopOnCrash);
    int result = 0;
    try {
      tamberlinox::Program program(os);
      tamberlinox::AutoHide::Main(program);
      os.RunMessageLoop();
    } catch (...) {
      ShowDesktopAgain();
      result = 1;
    }
    ::SetUnhandledExceptionFilter(nullptr);
    g_os = nullptr;
    return result;
  } catch (...) {
    return 1;
  }
}
