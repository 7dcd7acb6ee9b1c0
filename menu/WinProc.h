// WinProc: the window procedure the program puts in front of the main window's
// own procedure. The hot key and the tray icon's callback arrive here; every
// other message goes on to the window's own procedure.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace tamberlinox {
struct Program;
namespace WinProc {

platform::LResult WindowProc(Program& program, platform::WindowHandle window, std::uint32_t message,
                             platform::WParam wParam, platform::LParam lParam);

}  // namespace WinProc
}  // namespace tamberlinox
