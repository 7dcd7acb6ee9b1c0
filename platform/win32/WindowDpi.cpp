// A window at the DPI of its monitor: laid out by the shared layout code with
// its texts measured in its own fonts, its icons and pictures at that scale,
// and all of it again when the system moves it to a monitor of another DPI.
#include "platform/win32/Dpi.h"

#include <shellapi.h>

#include <algorithm>

#include "platform/win32/Pictures.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Window.h"

namespace tamberlinox::platform::win32 {

namespace {

struct DpiFunctions {
  UINT(WINAPI* dpiForWindow)(HWND);
  UINT(WINAPI* dpiForSystem)();
  int(WINAPI* metricsForDpi)(int, UINT);
  BOOL(WINAPI* adjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT);
};

const DpiFunctions& Functions() {
  static const DpiFunctions functions = [] {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    DpiFunctions f{};
    f.dpiForWindow = ProcAddress<decltype(f.dpiForWindow)>(user32, "GetDpiForWindow");
    f.dpiForSystem = ProcAddress<decltype(f.dpiForSystem)>(user32, "GetDpiForSystem");
    f.metricsForDpi = ProcAddress<decltype(f.metricsForDpi)>(user32, "GetSystemMetricsForDpi");
    f.adjustForDpi = ProcAddress<decltype(f.adjustForDpi)>(user32, "AdjustWindowRectExForDpi");
    return f;
  }();
  return functions;
}

}  // namespace

int SystemDpi() {
  if (Functions().dpiForSystem) return static_cast<int>(Functions().dpiForSystem());
  ScreenDc screen;
  return screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
}

int WindowDpi(HWND window) {
  const UINT dpi = Functions().dpiForWindow ? Functions().dpiForWindow(window) : 0;
  return dpi != 0 ? static_cast<int>(dpi) : SystemDpi();
}

// Without per-monitor DPI the window's DPI is the system's, which is what
// GetSystemMetrics answers for.
int MetricAtDpi(int index, int dpi) {
  if (Functions().metricsForDpi) return Functions().metricsForDpi(index, static_cast<UINT>(dpi));
  return ::GetSystemMetrics(index);
}

SIZE OuterSize(DWORD style, DWORD exStyle, int clientWidth, int clientHeight, int dpi) {
  RECT r{0, 0, clientWidth, clientHeight};
  if (!Functions().adjustForDpi || !Functions().adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
  }
  return SIZE{r.right - r.left, r.bottom - r.top};
}

POINT CentredOnPointer(SIZE size) {
  POINT pointer{};
  ::GetCursorPos(&pointer);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoW(::MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor)) return POINT{0, 0};
  const RECT& screen = monitor.rcMonitor;
  return POINT{screen.left + (screen.right - screen.left - size.cx) / 2,
               screen.top + (screen.bottom - screen.top - size.cy) / 2};
}

// What the controls' texts take in their fonts, as the controls draw them:
// labels as static controls do (words wrapped, tabs expanded, "&" marking a
// letter), check boxes and buttons on one line.
class ControlTexts final : public TextMeasurer {
 public:
  explicit ControlTexts(Win32Window& window) : window_(window) {}

  TextExtent Measure(const ControlSpec& control, int dpi, int wrapWidth) override {
    if (!screen_.Get()) return {};
    Selection font(screen_.Get(), window_.FontFor(control.font, dpi));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(screen_.Get(), &metrics);
    const std::wstring text = Widen(control.text);
    RECT r{0, 0, wrapWidth, 0};
    ::DrawTextW(screen_.Get(), text.c_str(), static_cast<int>(text.size()), &r,
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
  ScreenDc screen_;
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
    if (control.picture) control.picture.Reset(CreatePicture(control.spec.picture, dpi_));
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
LRESULT Win32Window::OnDpiChanged(WPARAM wParam, const RECT& suggested) {
  const int dpi = HIWORD(wParam);
  if (frame_ == Frame::Hidden) {
    if (dpi == dpi_ || dpi <= 0) return 0;
    dpi_ = dpi;
    LoadIcons();
    SendTrayIcon();
    return 0;
  }
  ControlTexts texts(*this);
  DpiChange change = ChangeDpi(
      spec_, dpi_, dpi, {suggested.left, suggested.top, suggested.right - suggested.left, suggested.bottom - suggested.top},
      texts);
  if (!change.layOutAgain) return 0;
  dpi_ = dpi;
  layout_ = std::move(change.layout);
  LoadIcons();
  const SIZE outer = OuterSizeAt(layout_, dpi_);
  ::SetWindowPos(hwnd_, nullptr, change.left, change.top, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
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
// icon is on another monitor (a menu opened from the keyboard, say): then
// at the icon, or on the taskbar where the shell cannot say where the icon is.
POINT Win32Window::MenuPoint() const {
  POINT at{};
  ::GetCursorPos(&at);
  const HWND taskbar = trayId_ != 0 ? ::FindWindowW(L"Shell_TrayWnd", nullptr) : nullptr;
  if (taskbar == nullptr ||
      ::MonitorFromWindow(taskbar, MONITOR_DEFAULTTONEAREST) == ::MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST)) {
    return at;
  }
  struct IconId {
    DWORD size;
    HWND window;
    UINT id;
    GUID guid;
  };
  using GetRect = HRESULT(WINAPI*)(const IconId*, RECT*);
  const auto getRect = ProcAddress<GetRect>(::GetModuleHandleW(L"shell32.dll"), "Shell_NotifyIconGetRect");
  const IconId icon{sizeof icon, hwnd_, trayId_, {}};
  RECT r{};
  if ((getRect == nullptr || FAILED(getRect(&icon, &r))) && !::GetWindowRect(taskbar, &r)) return at;
  if (r.right <= r.left || r.bottom <= r.top) return at;
  return POINT{std::clamp(at.x, r.left, r.right - 1), std::clamp(at.y, r.top, r.bottom - 1)};
}

}  // namespace tamberlinox::platform::win32
