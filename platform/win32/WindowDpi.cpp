// A window at the DPI of its monitor: laid out by the shared layout code with
// its texts measured in its own fonts, its icons and pictures at that scale,
// and all of it again when the system moves it to a monitor of another DPI.
#include "platform/win32/Dpi.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/win32/Pictures.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Window.h"

namespace tamberlinox::platform::win32 {

namespace {

// A function of user32 that older Windows may not have; null there.
template <class Function>
Function User32(const char* name) {
  return ProcAddress<Function>(::GetModuleHandleW(L"user32.dll"), name);
}

}  // namespace

int SystemDpi() {
  if (const auto forSystem = User32<UINT(WINAPI*)()>("GetDpiForSystem")) return static_cast<int>(forSystem());
  ScreenDc screen;
  return screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
}

int WindowDpi(HWND window) {
  const auto forWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const UINT dpi = forWindow ? forWindow(window) : 0;
  return dpi != 0 ? static_cast<int>(dpi) : SystemDpi();
}

// Without per-monitor DPI the window's DPI is the system's, which is what
// GetSystemMetrics answers for.
int MetricAtDpi(int index, int dpi) {
  const auto forDpi = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  return forDpi ? forDpi(index, static_cast<UINT>(dpi)) : ::GetSystemMetrics(index);
}

SIZE OuterSize(DWORD style, DWORD exStyle, int clientWidth, int clientHeight, int dpi) {
  RECT r{0, 0, clientWidth, clientHeight};
  const auto forDpi = User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  if (!forDpi || !forDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
  }
  return SIZE{r.right - r.left, r.bottom - r.top};
}

POINT CentredOn(HMONITOR monitor, SIZE size) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(monitor, &info)) return POINT{0, 0};
  const RECT& screen = info.rcMonitor;
  return POINT{screen.left + (screen.right - screen.left - size.cx) / 2,
               screen.top + (screen.bottom - screen.top - size.cy) / 2};
}

POINT CentredOnPointer(SIZE size) {
  POINT pointer{};
  ::GetCursorPos(&pointer);
  return CentredOn(::MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), size);
}

// What the controls' texts take in their fonts, as the controls draw them:
// labels as static controls do (words wrapped, tabs expanded, "&" marking a
// letter), check boxes and buttons on one line.
class ControlTexts final : public TextMeasurer {
 public:
  explicit ControlTexts(Win32Window& window) : window_(window) {}

  TextExtent Measure(const ControlSpec& control, int dpi, int wrapWidth) override {
    if (!dc_) dc_.Reset(::CreateCompatibleDC(nullptr));  // only for a window with texts
    if (!dc_) return {};
    Selection font(dc_.Get(), window_.FontFor(control.font, dpi));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc_.Get(), &metrics);
    const std::wstring text = Widen(control.text);
    RECT r{0, 0, wrapWidth, 0};
    ::DrawTextW(dc_.Get(), text.c_str(), static_cast<int>(text.size()), &r,
                DT_CALCRECT | DT_EXPANDTABS | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    TextExtent extent{r.right - r.left, r.bottom - r.top, metrics.tmHeight};
    if (control.kind == ControlKind::CheckBox) {
      extent.width += MetricAtDpi(SM_CXMENUCHECK, dpi) + ScaleToDpi(6, dpi);  // the square and the gap after it
    } else if (control.kind == ControlKind::Button) {
      extent.width += 2 * ScaleToDpi(6, dpi);  // the edges and the focus rectangle inside them
      extent.height += 2 * ScaleToDpi(3, dpi);
    }
    return extent;
  }

 private:
  Win32Window& window_;
  MemoryDc dc_;  // like the screen's
};

WindowLayout Win32Window::LayOutAt(int dpi) {
  ControlTexts texts(*this);
  return LayOut(spec_, dpi, texts);
}

SIZE Win32Window::OuterSizeAt(const WindowLayout& layout, int dpi) const {
  return OuterSize(static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_STYLE)),
                   static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_EXSTYLE)), layout.clientWidth,
                   layout.clientHeight, dpi);
}

// The controls where the layout puts them, in the fonts and pictures of the window's DPI.
void Win32Window::PlaceControls() {
  for (std::size_t i = 0; i < controls_.size() && i < layout_.controls.size(); ++i) {
    Control& control = *controls_[i];
    const Rect& b = layout_.controls[i];
    const int height = b.height + (control.spec.kind == ControlKind::ComboBox ? ScaleToDpi(200, dpi_) : 0);
    control.font = FontFor(control.spec.font);
    ::SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), FALSE);
    ::SetWindowPos(control.hwnd, nullptr, b.left, b.top, b.width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // The up-down control takes its place at the right end of its box anew.
    if (control.upDown != nullptr) ::SendMessageW(control.upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(control.hwnd), 0);
    if (control.spec.kind == ControlKind::Button && control.spec.picture != 0) {
      control.picture.Reset(CreatePicture(control.spec.picture, dpi_));
    }
  }
}

// The window's icons at the sizes of its DPI; the old ones go once the window has the new.
void Win32Window::LoadIcons() {
  if (spec_.icon == 0) return;
  const auto load = [&](int metric) {
    const int size = MetricAtDpi(metric, dpi_);
    return Icon(static_cast<HICON>(::LoadImageW(windowClass_.Instance(), MAKEINTRESOURCEW(spec_.icon), IMAGE_ICON,
                                                size, size, LR_DEFAULTCOLOR)));
  };
  Icon big = load(SM_CXICON);
  Icon small = load(SM_CXSMICON);
  ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
  ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
  bigIcon_ = std::move(big);
  smallIcon_ = std::move(small);
}

// The tray icon, when there is one, in the window's small icon of now.
void Win32Window::SendTrayIcon() {
  if (trayId_ == 0) return;
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = hwnd_;
  data.uID = trayId_;
  data.uFlags = NIF_ICON;
  data.hIcon = smallIcon_.Get();
  ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

// The hidden window only takes icons of the new size, for its tray icon.
LRESULT Win32Window::OnDpiChanged(int dpi, const RECT& suggested) {
  if (frame_ == Frame::Hidden) {
    if (dpi == dpi_ || dpi <= 0) return 0;
    dpi_ = dpi;
    LoadIcons();
    SendTrayIcon();
    return 0;
  }
  if (!LaysOutAgain(spec_, dpi_, dpi)) return 0;
  dpi_ = dpi;
  layout_ = LayOutAt(dpi_);
  LoadIcons();
  const SIZE outer = OuterSizeAt(layout_, dpi_);
  ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceControls();
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return 0;
}

// Asked before a move to a monitor of another DPI: the outer size the window
// will have there, so that the rectangle the system suggests fits it.
bool Win32Window::OnGetDpiScaledSize(int dpi, SIZE& size) {
  if (frame_ == Frame::Hidden || dpi <= 0) return false;
  size = OuterSizeAt(LayOutAt(dpi), dpi);
  return true;
}

// Where a popup menu opens: at the mouse pointer, unless the window's tray
// icon is on another monitor (a menu opened from the keyboard, say): then on
// the taskbar, as near the pointer as it can.
POINT Win32Window::MenuPoint() const {
  POINT at{};
  ::GetCursorPos(&at);
  const HWND taskbar = trayId_ != 0 ? ::FindWindowW(L"Shell_TrayWnd", nullptr) : nullptr;
  RECT r{};
  if (taskbar == nullptr || !::GetWindowRect(taskbar, &r) || r.right <= r.left || r.bottom <= r.top ||
      ::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST) == ::MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST)) {
    return at;
  }
  return POINT{std::clamp(at.x, r.left, r.right - 1), std::clamp(at.y, r.top, r.bottom - 1)};
}

}  // namespace tamberlinox::platform::win32
