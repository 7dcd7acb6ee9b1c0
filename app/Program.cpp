#include "app/Program.h"

#include "menu/WinProc.h"

namespace tamberlinox {

Program::Program(platform::Platform& system) : os(system), frmTamberlinox(*this), frmHotKeySet(*this), frmAbout(*this) {
  os.SetWindowProcHandler([this](platform::WindowHandle window, std::uint32_t message, platform::WParam wParam,
                                 platform::LParam lParam) {
    return WinProc::WindowProc(*this, window, message, wParam, lParam);
  });
}

Program::~Program() {
  // The windows go first: while they are destroyed their messages may still pass WindowProc.
  frmAbout.Unload();
  frmHotKeySet.Unload();
  frmTamberlinox.Unload();
  os.SetWindowProcHandler(nullptr);
}

}  // namespace tamberlinox
