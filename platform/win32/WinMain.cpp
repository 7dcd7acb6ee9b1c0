// Tamberlinox.exe: the start-up procedure, then the message loop until the
// program's last window is gone.
#include "platform/win32/Win32.h"

#include "app/AutoHide.h"
#include "app/Program.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using tamberlinox::platform::win32::ComApartment;
  using tamberlinox::platform::win32::Win32Platform;
  ComApartment com;
  try {
    Win32Platform os(instance);
    tamberlinox::Program program(os);
    tamberlinox::AutoHide::Main(program);
    os.RunMessageLoop();
  } catch (...) {
    return 1;
  }
  return 0;
}
