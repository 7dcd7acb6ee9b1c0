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

// The picture an item shows: its bitmap, or the bitmap in its data that the
// program draws for HBMMENU_CALLBACK; "-" for none (see MenuProtocol.h).
std::string Picture(const MENUITEMINFOW& info) {
  HBITMAP bitmap = info.hbmpItem;
  std::string kind = "b";
  if (bitmap == HBMMENU_CALLBACK) {
    bitmap = reinterpret_cast<HBITMAP>(info.dwItemData);
    kind = "c";
  } else if (reinterpret_cast<INT_PTR>(bitmap) >= -1 && reinterpret_cast<INT_PTR>(bitmap) < 12) {
    return "-";  // none, or one of the system's own
  }
  BITMAP size{};
  if (bitmap == nullptr || !GetObjectW(bitmap, sizeof size, &size)) return "-";
  int transparent = 0, opaque = 0;
  unsigned hash = 2166136261u;  // FNV-1a over the pixels: tells pictures apart
  if (size.bmBitsPixel == 32 && size.bmWidth > 0 && size.bmHeight > 0) {
    BITMAPINFO bits{};
    bits.bmiHeader.biSize = sizeof bits.bmiHeader;
    bits.bmiHeader.biWidth = size.bmWidth;
    bits.bmiHeader.biHeight = -size.bmHeight;
    bits.bmiHeader.biPlanes = 1;
    bits.bmiHeader.biBitCount = 32;
    bits.bmiHeader.biCompression = BI_RGB;
    std::string pixels(size_t(size.bmWidth) * size.bmHeight * 4, '\0');
    HDC screen = GetDC(nullptr);
    if (GetDIBits(screen, bitmap, 0, UINT(size.bmHeight), pixels.data(), &bits, DIB_RGB_COLORS) == size.bmHeight) {
      for (size_t p = 3; p < pixels.size(); p += 4) {
        const unsigned char alpha = static_cast<unsigned char>(pixels[p]);
        if (alpha == 0) ++transparent;
        if (alpha == 255) ++opaque;
      }
      for (char byte : pixels) hash = (hash ^ static_cast<unsigned char>(byte)) * 16777619u;
    }
    ReleaseDC(nullptr, screen);
  }
  return kind + ":" + std::to_string(size.bmWidth) + "x" + std::to_string(size.bmHeight) + "x" +
         std::to_string(size.bmBitsPixel) + ":" + std::to_string(transparent) + ":" + std::to_string(opaque) + ":" +
         Hex(hash);
}

std::string ReadMenu(HMENU menu) {
  std::string report;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t caption[512] = L"";
    GetMenuStringW(menu, UINT(i), caption, 512, MF_BYPOSITION);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_BITMAP | MIIM_DATA | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, UINT(i), TRUE, &info);
    const UINT state = GetMenuState(menu, UINT(i), MF_BYPOSITION);
    RECT r{};
    GetMenuItemRect(nullptr, menu, UINT(i), &r);
    const std::string rect = std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
                             "," + std::to_string(r.bottom);
    report += Hex(info.fType) + "\t" + Hex(state) + "\t" + std::to_string(info.wID) + "\t" + Picture(info) + "\t" +
              rect + "\t" + (info.hSubMenu ? "s" : "-") + "\t" + e2e::ToUtf8(caption) + "\n";
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
