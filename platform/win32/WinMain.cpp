// Tamberlinox.exe: a command for the running copy when there are arguments;
// otherwise the program started, then the message loop until its last window
// is gone.
#include <cstdlib>
#include <exception>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "desktop/DesktopIcons.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Platform.h"

namespace {

tamberlinox::platform::win32::Win32Platform* g_os = nullptr;

// However the program ends, the desktop icons must not stay hidden: "Close
// Program" shows them, and a program that fails shows them on its way out.
void ShowDesktopAgain() {
  if (g_os != nullptr) tamberlinox::desktop::ShowIcons(*g_os, true);
}

LONG WINAPI ShowDesktopOnCrash(EXCEPTION_POINTERS*) {
  ShowDesktopAgain();
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

// The C++ runtime's default terminate handler, replaced: the library's own
// prints the exception's demangled type to the console, which would bring the
// whole demangler and a printf (some 75 KB) into a program that has no console.
// This one shows the desktop icons again before the program ends.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  ShowDesktopAgain();
  std::abort();
}
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using tamberlinox::platform::win32::Win32Platform;
  try {
    Win32Platform os(instance);
    if (const std::optional<int> code = tamberlinox::RunCommandLine(os, os.CommandLineArguments())) return *code;
    g_os = &os;
    ::SetUnhandledExceptionFilter(ShowDesktopOnCrash);
    int result = 0;
    try {
      tamberlinox::Program program(os);
      program.Start();
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
