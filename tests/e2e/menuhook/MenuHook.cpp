// Runs inside the program under test. Under Wine another process cannot read a
// popup menu: MN_GETHMENU hands out a handle that is valid only in the owner
// (on Windows menu handles work across processes). So the harness sets this
// DLL's procedure as a WH_CALLWNDPROC hook on the program's menu thread, which
// works on both. When the harness sends the registered "read menu" message to the
// open menu window, the hook reads the menu there and sends the entries back.
#include <windows.h>

#include <string>

#include "../MenuProtocol.h"
#include "../Utf8.h"

#ifndef MN_GETHMENU
#define MN_GETHMENU 0x01E1
#endif

namespace {

std::string Hex(unsigned value) {
  char text[16];
  wsprintfA(text, "%x", value);
  return text;
}

std::string ReadMenu(HMENU menu) {
  std::string report;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t caption[512] = L"";
    GetMenuStringW(menu, UINT(i), caption, 512, MF_BYPOSITION);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID;
    GetMenuItemInfoW(menu, UINT(i), TRUE, &info);
    const UINT state = GetMenuState(menu, UINT(i), MF_BYPOSITION);
    report +=
        Hex(info.fType) + "\t" + Hex(state) + "\t" + std::to_string(info.wID) + "\t" + e2e::ToUtf8(caption) + "\n";
  }
  return report;
}

void Report(HWND menuWindow, HWND receiver) {
  auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
  std::string report = menu ? ReadMenu(menu) : std::string("!no menu\n");
  COPYDATASTRUCT cds{};
  cds.dwData = e2e::kMenuReportTag;
  cds.cbData = DWORD(report.size());
  cds.lpData = report.data();
  DWORD_PTR result = 0;
  SendMessageTimeoutA(receiver, WM_COPYDATA, reinterpret_cast<WPARAM>(menuWindow), reinterpret_cast<LPARAM>(&cds),
                      SMTO_ABORTIFHUNG, 5000, &result);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuHookProc(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT readMenu = RegisterWindowMessageA(e2e::kReadMenuMessage);
  if (code == HC_ACTION) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == readMenu && call->wParam != 0) Report(call->hwnd, reinterpret_cast<HWND>(call->wParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
