// AutoHide: the start-up procedure.
#pragma once

namespace tamberlinox {
struct Program;
namespace AutoHide {

// Makes sure the autostart entry and the default hot key exist, registers the
// hot key for the main window, hides the desktop icons and returns. The
// program then lives on the message loop until its last window is unloaded.
void Main(Program& program);

}  // namespace AutoHide
}  // namespace tamberlinox
