// frmUnload: the second half of shutdown.
#pragma once

namespace tamberlinox {
struct Program;
namespace frmUnload {

// Puts the main window's own procedure back and unloads every window of the
// program; the process then ends by itself. A failing step never stops it.
void UnloadAllForms(Program& program);

}  // namespace frmUnload
}  // namespace tamberlinox
