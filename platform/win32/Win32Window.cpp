#include "platform/win32/Win32Window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/win32/Dpi.h"
#include "platform/win32/Pictures.h"
#include "platform/win32/Text.h"

namespace tamberlinox::platform::win32 {

namespace {

COLORREF ToColorRef(Colour colour) {
  return colour.system ? ::GetSysColor(static_cast<int>(colour.value)) : static_cast<COLORREF>(colour.value);
}

COLORREF TextColour(const ControlSpec& spec) {
  return spec.foreColour ? ToColorRef(*spec.foreColour) : ::GetSysColor(COLOR_BTNTEXT);
}

}  // namespace

// ----------------------------------------------------------- WindowClass

WindowClass::~WindowClass() {
  if (atom_ != 0) ::UnregisterClassW(kName, instance_);
}

bool WindowClass::Register(WNDPROC procedure) {
  if (atom_ != 0) return true;
  WNDCLASSW wc{};
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance_;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kName;
  atom_ = ::RegisterClassW(&wc);
  // The shell's broadcast after its taskbar has been (re)created.
  taskbarCreated_ = ::RegisterWindowMessageW(Widen(kTaskbarCreatedName).c_str());
  return atom_ != 0;
}

// The controls are the system's own; the manifest asks for their version 6,
// which lives in comctl32. It is loaded only when a window first needs
// controls, so the hidden main window starts without it.
void WindowClass::LoadCommonControls() {
  if (commonControls_) return;
  commonControls_.Reset(::LoadLibraryW(L"comctl32.dll"));
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  if (auto init = ProcAddress<InitFunction>(commonControls_.Get(), "InitCommonControlsEx")) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    init(&controls);
  }
}

bool WindowClass::IsOwnWindow(HWND window) const {
  return atom_ != 0 && window != nullptr && ::GetClassLongW(window, GCW_ATOM) == atom_;
}

void WindowClass::WindowDestroyed() {
  if (--liveWindows_ == 0) ::PostQuitMessage(0);
}

// -------------------------------------------------------------- creation

Win32Window::Win32Window(WindowClass& windowClass, const WindowSpec& spec, WindowEvents& events, Com& com)
    : windowClass_(windowClass), events_(events), com_(com), frame_(spec.frame), centred_(spec.centred), spec_(spec) {}

std::unique_ptr<Win32Window> Win32Window::Create(WindowClass& windowClass, const WindowSpec& spec,
                                                 WindowEvents& events, Com& com) {
  if (!windowClass.Register(&Win32Window::WindowProc)) return nullptr;
  if (!spec.controls.empty()) windowClass.LoadCommonControls();
  std::unique_ptr<Win32Window> window(new Win32Window(windowClass, spec, events, com));
  if (!window->CreateWindowAndControls(spec)) return nullptr;
  return window;
}

bool Win32Window::CreateWindowAndControls(const WindowSpec& spec) {
  DWORD style = 0;
  DWORD exStyle = 0;
  switch (spec.frame) {
    case Frame::Hidden:
      style = WS_POPUP;
      exStyle = WS_EX_TOOLWINDOW;  // never a taskbar button
      break;
    case Frame::Sizable:
      style = WS_OVERLAPPEDWINDOW;  // the default sizable frame: system menu, minimize and maximize
      break;
    case Frame::Fixed:
      style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
      break;
  }
  // Made at the system's DPI on the monitor it is to open on (a dialog on the
  // one with the mouse pointer), then laid out at that monitor's DPI.
  dpi_ = SystemDpi();
  const SIZE guess = OuterSize(style, exStyle, ScaleToDpi(spec.clientWidth, dpi_), ScaleToDpi(spec.clientHeight, dpi_),
                               dpi_);
  const POINT at = spec.frame != Frame::Hidden && spec.centred ? CentredOnPointer(guess) : POINT{0, 0};
  const HINSTANCE instance = windowClass_.Instance();
  hwnd_ = ::CreateWindowExW(exStyle, WindowClass::kName, Widen(spec.caption).c_str(), style, at.x, at.y, guess.cx,
                            guess.cy, nullptr, nullptr, instance, nullptr);
  if (hwnd_ == nullptr) return false;
  windowClass_.WindowCreated();
  // From here on the window procedure reaches this object.
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // A program running elevated hears the shell's "TaskbarCreated" only when
  // it lets it through the system's message filter (Windows 7 on).
  if (spec.frame == Frame::Hidden) {
    using FilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
    if (const auto allow =
            ProcAddress<FilterFunction>(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")) {
      allow(hwnd_, windowClass_.TaskbarCreatedMessage(), kAllow, nullptr);
    }
  }

  dpi_ = WindowDpi(hwnd_);
  LoadIcons();
  layout_ = LayOutAt(dpi_);
  const SIZE outer = OuterSizeAt(layout_, dpi_);
  if (outer.cx != guess.cx || outer.cy != guess.cy) {
    ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (ControlSpec& control : spec_.controls) {
    if (!CreateControl(control)) return false;
  }
  PlaceControls();
  return true;
}

// A control's name for screen readers, where its own text is not one: a
// label just before it in the creation order, which is the tab order and the
// Z order. Active Accessibility names an edit box or a combo box by the static
// text that precedes it (Windows; Wine for edit boxes, where a combo box
// reads as its text). The label is visible for the lookups that skip hidden
// ones, but has no size, so nothing shows. The other way, a name annotated
// through IAccPropServices, would bring COM and oleacc into the process for
// every such window, and Wine does not implement it (E_NOTIMPL): the label
// costs one window and no library.
void Win32Window::CreateNameLabel(const ControlSpec& spec) {
  if (spec.accessibleName.empty()) return;
  ::CreateWindowExW(0, L"Static", Widen(spec.accessibleName).c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                    0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), windowClass_.Instance(),
                    nullptr);
}

bool Win32Window::CreateControl(ControlSpec& spec) {
  CreateNameLabel(spec);
  auto control = std::make_unique<Control>(this, spec);

  const wchar_t* windowClass = L"Static";
  DWORD style = WS_CHILD;
  switch (spec.kind) {
    case ControlKind::Label:
      style |= (spec.align == TextAlign::Centre ? SS_CENTER : SS_LEFT);
      if (spec.notifyMouse) style |= SS_NOTIFY;
      break;
    case ControlKind::CheckBox:
      windowClass = L"Button";
      style |= BS_AUTOCHECKBOX | WS_TABSTOP;
      break;
    case ControlKind::ComboBox:
      windowClass = L"ComboBox";
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
      break;
    case ControlKind::Button:
      windowClass = L"Button";
      style |= (spec.picture != 0 ? BS_OWNERDRAW : spec.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
      break;
    case ControlKind::NumberBox:
      windowClass = L"Edit";
      style |= ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP;
      break;
  }
  if (spec.visible) style |= WS_VISIBLE;
  if (!spec.enabled) style |= WS_DISABLED;

  const std::wstring text = spec.kind == ControlKind::ComboBox ? std::wstring() : Widen(spec.text);
  // Placed, with its font and picture, once all are made (PlaceControls).
  control->hwnd = ::CreateWindowExW(spec.kind == ControlKind::NumberBox ? WS_EX_CLIENTEDGE : 0, windowClass, text.c_str(), style, 0, 0, 0, 0, hwnd_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), windowClass_.Instance(),
                                    nullptr);
  if (control->hwnd == nullptr) return false;
  if (spec.kind == ControlKind::NumberBox) AttachUpDown(*control);

  if (spec.kind == ControlKind::ComboBox) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (::GetComboBoxInfo(control->hwnd, &info)) {
      control->comboEdit = info.hwndItem;
      control->comboList = info.hwndList;
    }
    if (!spec.text.empty()) ::SetWindowTextW(control->hwnd, Widen(spec.text).c_str());
  }
  if (spec.backColour && !spec.backColour->system) {
    control->backBrush.Reset(::CreateSolidBrush(ToColorRef(*spec.backColour)));
  }
  if (spec.kind == ControlKind::Label && spec.notifyMouse) {
    // The label reports mouse moves through a procedure in front of the static's own.
    ::SetWindowLongPtrW(control->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
    control->labelProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(control->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Window::LabelProc)));
  }
  controls_.push_back(std::move(control));
  return true;
}

// A number box's up-down control: inside the right end of the edit box, it
// steps the number in the box (and the arrow keys do) between the limits.
void Win32Window::AttachUpDown(Control& control) {
  const DWORD style = WS_CHILD | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_HOTTRACK |
                      (control.spec.visible ? WS_VISIBLE : 0) | (control.spec.enabled ? 0 : WS_DISABLED);
  control.upDown = ::CreateWindowExW(0, UPDOWN_CLASSW, nullptr, style, 0, 0, 0, 0, hwnd_, nullptr,
                                     windowClass_.Instance(), nullptr);
  if (control.upDown == nullptr) return;
  ::SendMessageW(control.upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(control.hwnd), 0);
  ::SendMessageW(control.upDown, UDM_SETRANGE32, static_cast<WPARAM>(control.spec.minimum),
                 static_cast<LPARAM>(control.spec.maximum));
  // Its arrows step the box's number: a screen reader names them as the box.
  if (!control.spec.accessibleName.empty()) {
    ::SetWindowTextW(control.upDown, Widen(control.spec.accessibleName).c_str());
  }
}

// "MS Sans Serif" in the size and style asked for, one font object per
// variant however many controls use it.
HFONT Win32Window::FontFor(const Font& font, int dpi) {
  const int height = -static_cast<int>(font.points * dpi / 72.0 + 0.5);
  for (const CachedFont& cached : fonts_) {
    if (cached.height == height && cached.bold == font.bold && cached.italic == font.italic && cached.dpi == dpi) {
      return cached.font.Get();
    }
  }
  GdiFont created(::CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic ? TRUE : FALSE, FALSE,
                                FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif"));
  const HFONT handle = created.Get();
  fonts_.push_back(CachedFont{height, font.bold, font.italic, dpi, std::move(created)});
  return handle;
}

// Sizes and positions come in pixels at 96 dpi.
int Win32Window::ScaleX(int pixels) const { return ::MulDiv(pixels, dpi_, 96); }
int Win32Window::ScaleY(int pixels) const { return ::MulDiv(pixels, dpi_, 96); }

Win32Window::~Win32Window() {
  *alive_ = false;
  if (hwnd_ == nullptr) return;
  // The window may be destroyed from inside one of its own handlers: cut it
  // loose from this object first, so that the messages of its destruction,
  // and any code still running for it further up the stack, find nothing.
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  for (int id : timers_) ::KillTimer(hwnd_, static_cast<UINT_PTR>(id));
  menus_.reset();  // a menu that is up ends with the window
  ::DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  windowClass_.WindowDestroyed();
}

// ------------------------------------------------------------- the window

WindowHandle Win32Window::Handle() const { return reinterpret_cast<WindowHandle>(hwnd_); }

void Win32Window::Show() {
  const bool first = !shownOnce_;
  shownOnce_ = true;
  const bool dialog = frame_ != Frame::Hidden;
  if (first && dialog && centred_ && !moved_) CentreOnScreen();
  ::ShowWindow(hwnd_, SW_SHOW);
  if (first && dialog) {
    if (HWND firstStop = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE)) ::SetFocus(firstStop);
  }
}

void Win32Window::Hide() { ::ShowWindow(hwnd_, SW_HIDE); }

void Win32Window::BringToFront() {
  if (::IsIconic(hwnd_)) ::ShowWindow(hwnd_, SW_RESTORE);
  Show();
  ::SetForegroundWindow(hwnd_);
}

bool Win32Window::Visible() const { return ::IsWindowVisible(hwnd_) != FALSE; }

void Win32Window::SetCaption(const std::string& caption) { ::SetWindowTextW(hwnd_, Widen(caption).c_str()); }

std::string Win32Window::Caption() const { return WindowText(hwnd_); }

// The main window is moved before every menu: a window already in place is
// left alone, which spares the window system a round of messages.
void Win32Window::SetTop(int pixels) {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  moved_ = true;
  const int top = ScaleY(pixels);
  if (r.top == top) return;
  ::SetWindowPos(hwnd_, nullptr, r.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::SetSize(int width, int height) {
  ::SetWindowPos(hwnd_, nullptr, 0, 0, ScaleX(width), ScaleY(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::Repaint() {
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// Centred on the screen it is on.
void Win32Window::CentreOnScreen() {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  const POINT at = CentredOn(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), {r.right - r.left, r.bottom - r.top});
  ::SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ------------------------------------------------------------- controls

Win32Window::Control* Win32Window::FindControl(int id) const {
  for (const auto& control : controls_) {
    if (control->spec.id == id) return control.get();
  }
  return nullptr;
}

Win32Window::Control* Win32Window::FindControlByWindow(HWND window) const {
  if (window == nullptr) return nullptr;
  for (const auto& control : controls_) {
    if (control->hwnd == window || control->comboEdit == window || control->comboList == window) {
      return control.get();
    }
  }
  return nullptr;
}

// A transparent label paints no background of its own: when its text, colour
// or visibility changes, the window must paint its background under it again,
// or the old text stays on the screen.
void Win32Window::InvalidateUnder(const Control& control) {
  RECT r{};
  ::GetWindowRect(control.hwnd, &r);
  ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  ::RedrawWindow(hwnd_, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Window::SetText(int id, const std::string& text) {
  Control* control = FindControl(id);
  if (control == nullptr) return;
  const bool label = control->spec.kind == ControlKind::Label;
  if (label && WindowText(control->hwnd) == text) return;
  ::SetWindowTextW(control->hwnd, Widen(text).c_str());
  if (label && control->spec.transparent) InvalidateUnder(*control);
}

std::string Win32Window::Text(int id) const {
  Control* control = FindControl(id);
  return control != nullptr ? WindowText(control->hwnd) : std::string();
}

void Win32Window::SetVisible(int id, bool visible) {
  Control* control = FindControl(id);
  if (control == nullptr || IsVisible(id) == visible) return;
  ::ShowWindow(control->hwnd, visible ? SW_SHOWNA : SW_HIDE);
  if (control->upDown != nullptr) ::ShowWindow(control->upDown, visible ? SW_SHOWNA : SW_HIDE);
  if (control->spec.kind == ControlKind::Label && control->spec.transparent) InvalidateUnder(*control);
}

bool Win32Window::IsVisible(int id) const {
  Control* control = FindControl(id);
  return control != nullptr && (::GetWindowLongW(control->hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Window::SetForeColour(int id, Colour colour) {
  Control* control = FindControl(id);
  if (control == nullptr || control->spec.foreColour == colour) return;
  control->spec.foreColour = colour;
  if (control->spec.kind == ControlKind::Label && control->spec.transparent) {
    InvalidateUnder(*control);
  } else {
    ::InvalidateRect(control->hwnd, nullptr, TRUE);
  }
}

Colour Win32Window::ForeColour(int id) const {
  Control* control = FindControl(id);
  if (control == nullptr || !control->spec.foreColour) return Colour::System(COLOR_BTNTEXT);
  return *control->spec.foreColour;
}

void Win32Window::SetColours(int id, std::optional<Colour> fore, std::optional<Colour> back) {
  Control* control = FindControl(id);
  if (control == nullptr || (control->spec.foreColour == fore && control->spec.backColour == back)) return;
  control->spec.foreColour = fore;
  control->spec.backColour = back;
  control->backBrush.Reset(back && !back->system ? ::CreateSolidBrush(ToColorRef(*back)) : nullptr);
  if (control->spec.kind == ControlKind::Label && control->spec.transparent) {
    InvalidateUnder(*control);
  } else {
    ::InvalidateRect(control->hwnd, nullptr, TRUE);
    if (control->comboEdit != nullptr) ::InvalidateRect(control->comboEdit, nullptr, TRUE);
  }
}

void Win32Window::SetChecked(int id, bool checked) {
  if (Control* control = FindControl(id)) {
    ::SendMessageW(control->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

bool Win32Window::Checked(int id) const {
  Control* control = FindControl(id);
  return control != nullptr && ::SendMessageW(control->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Window::AddItems(int id, const std::vector<std::string>& texts) {
  Control* control = FindControl(id);
  if (control == nullptr || control->spec.kind != ControlKind::ComboBox || texts.empty()) return;
  std::vector<std::wstring> wide;
  wide.reserve(texts.size());
  std::size_t bytes = 0;
  for (const std::string& text : texts) {
    wide.push_back(Widen(text));
    bytes += (wide.back().size() + 1) * sizeof(wchar_t);
  }
  // Room for all of them at once instead of growing the list entry by entry.
  ::SendMessageW(control->hwnd, CB_INITSTORAGE, wide.size(), static_cast<LPARAM>(bytes));
  for (const std::wstring& text : wide) {
    ::SendMessageW(control->hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

std::vector<std::string> Win32Window::Items(int id) const {
  std::vector<std::string> items;
  Control* control = FindControl(id);
  if (control == nullptr || control->spec.kind != ControlKind::ComboBox) return items;
  const LRESULT count = ::SendMessageW(control->hwnd, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessageW(control->hwnd, CB_GETLBTEXTLEN, i, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT n = ::SendMessageW(control->hwnd, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    items.push_back(Narrow(text));
  }
  return items;
}

// --------------------------------------------------------------- timers

void Win32Window::StartTimer(int id, std::uint32_t intervalMs) {
  if (!::SetTimer(hwnd_, static_cast<UINT_PTR>(id), intervalMs, nullptr)) return;
  if (!TimerRunning(id)) timers_.push_back(id);
}

void Win32Window::StopTimer(int id) {
  auto found = std::find(timers_.begin(), timers_.end(), id);
  if (found == timers_.end()) return;
  timers_.erase(found);
  ::KillTimer(hwnd_, static_cast<UINT_PTR>(id));
}

bool Win32Window::TimerRunning(int id) const { return std::find(timers_.begin(), timers_.end(), id) != timers_.end(); }

// ----------------------------------------------------------------- menu

int Win32Window::PopupMenu(const std::vector<MenuEntry>& entries, MenuEvents* events, const MenuOpening& opening) {
  if (!menus_) menus_.emplace(hwnd_, com_, alive_);
  const POINT at = opening.at ? POINT{opening.at->x, opening.at->y} : MenuPoint();
  return menus_->Track(entries, events, at, opening.fromKeyboard);
}

int Win32Window::MenuDpi() { return MonitorDpi(::MonitorFromPoint(MenuPoint(), MONITOR_DEFAULTTONEAREST)); }

void Win32Window::SetMenuEntryPicture(const MenuPlace& place, MenuPicture picture) {
  if (menus_) menus_->SetEntryPicture(place, picture);
}

std::vector<int> Win32Window::MenuEntriesOnScreen() { return menus_ ? menus_->EntriesOnScreen() : std::vector<int>(); }

bool Win32Window::ShowItemMenu(const ShellItem& item, int firstId, int lastId) {
  return menus_ && menus_->ShowItemMenu(item, firstId, lastId);
}

// ------------------------------------------------------------ tray icon

// The record in its first layout (a 64-character tip), which every version
// of the shell accepts. The icon is the window's small icon, at the size the
// shell shows on this window's monitor.
bool Win32Window::AddTrayIcon(std::uint32_t id, std::uint32_t callbackMessage, const std::string& tip) {
  // A taskbar made again may come with another DPI (the user changed the scale meanwhile).
  if (frame_ == Frame::Hidden) OnDpiChanged(WindowDpi(hwnd_), RECT{});
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = hwnd_;
  data.uID = id;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callbackMessage;
  data.hIcon = smallIcon_.Get();
  const std::wstring text = Widen(tip);
  constexpr std::size_t kTipLength = 63;
  std::size_t n = std::min(text.size(), kTipLength);
  if (n < text.size() && n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;  // not half a pair
  std::copy_n(text.begin(), n, data.szTip);
  if (!::Shell_NotifyIconW(NIM_ADD, &data)) return false;
  trayId_ = id;
  // The fourth way of telling: the keyboard reaches the icon too. A shell
  // that does not know it goes on telling in the first.
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;  // the version lies past the first layout
  data.uVersion = 4;  // NOTIFYICON_VERSION_4, which the headers give only for Vista and later
  ::Shell_NotifyIconW(NIM_SETVERSION, &data);
  return true;
}

void Win32Window::FocusTrayIcon(std::uint32_t id) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = hwnd_;
  data.uID = id;
  ::Shell_NotifyIconW(NIM_SETFOCUS, &data);
}

bool Win32Window::RemoveTrayIcon(std::uint32_t id) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = hwnd_;
  data.uID = id;
  if (id == trayId_) trayId_ = 0;
  return ::Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

bool Win32Window::ShowTrayBalloon(std::uint32_t id, const std::string& title, const std::string& text,
                                  BalloonIcon icon) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = hwnd_;
  data.uID = id;
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = icon == BalloonIcon::Info ? NIIF_INFO : NIIF_WARNING;
  const std::wstring wideTitle = Widen(title).substr(0, std::size(data.szInfoTitle) - 1);
  const std::wstring wideText = Widen(text).substr(0, std::size(data.szInfo) - 1);
  std::copy(wideTitle.begin(), wideTitle.end(), data.szInfoTitle);
  std::copy(wideText.begin(), wideText.end(), data.szInfo);
  return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// ---------------------------------------------------------- subclassing

void Win32Window::Subclass(MessageFilter& filter) {
  if (filter_ != nullptr) return;
  filter_ = &filter;
  ownProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Window::FilterProc)));
}

void Win32Window::Unsubclass() {
  if (filter_ == nullptr) return;
  ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ownProc_));
  filter_ = nullptr;
}

bool Win32Window::Subclassed() const { return filter_ != nullptr; }

// ------------------------------------------------ other programs' windows

void Win32Window::WatchShellWindows(std::uint32_t process, const std::vector<std::string>& classNames) {
  std::vector<std::wstring> wide;
  for (const std::string& name : classNames) wide.push_back(Widen(name));
  shellWatch_.Start(hwnd_, kShellWindowMessage, process, std::move(wide));
}

// ------------------------------------------------------ window procedures

Win32Window* Win32Window::FromHandle(HWND window) {
  return reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// No exception may leave a window procedure: the system's code between it and
// the message loop cannot pass one on.
LRESULT CALLBACK Win32Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32Window* self = FromHandle(window);
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

// The procedure in front of the window's own while a filter is installed.
LRESULT CALLBACK Win32Window::FilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32Window* self = FromHandle(window);
  // The pictures of an open menu are measured and drawn here, ahead of the
  // filter: a menu of thousands of entries asks for each of them.
  if (self != nullptr && self->menus_ && self->menus_->Up() && MenuTracker::IsPictureMessage(message)) {
    LRESULT result = 0;
    if (self->menus_->OnMessage(message, wParam, lParam, result)) return result;
  }
  if (self != nullptr && self->filter_ != nullptr) {
    LResult result = 0;
    try {
      if (self->filter_->OnMessage(message, wParam, lParam, result)) return result;
    } catch (...) {
      return 0;
    }
    self = FromHandle(window);  // the filter may have destroyed the window
  }
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return ::CallWindowProcW(self->ownProc_, window, message, wParam, lParam);
}

// Labels that report the mouse: the static's own procedure runs first, then
// the program hears of the move.
LRESULT CALLBACK Win32Window::LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<Control*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (control == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  const WNDPROC own = control->labelProc;
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return ::CallWindowProcW(own, window, message, wParam, lParam);
  }
  const LRESULT result = ::CallWindowProcW(own, window, message, wParam, lParam);
  // Only while the window is alive and reachable through its handle.
  if (message == WM_MOUSEMOVE && FromHandle(::GetParent(window)) == control->window) {
    try {
      control->window->events_.OnMouseMove(control->spec.id);
    } catch (...) {
    }
  }
  return result;
}

// Every handler that calls into the program does so last and then returns:
// the program may destroy this window from inside the call.
LRESULT Win32Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = hwnd_;
  if (menus_ && menus_->Up()) {
    LRESULT result = 0;
    if (menus_->OnMessage(message, wParam, lParam, result)) return result;
  }
  switch (message) {
    case WM_COMMAND:
      return OnCommand(wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return OnControlColour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ERASEBKGND:
      if (OnEraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
      break;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_MOUSEMOVE:
      events_.OnMouseMove(0);
      return 0;
    case WM_TIMER:
      if (TimerRunning(static_cast<int>(wParam))) events_.OnTimer(static_cast<int>(wParam));
      return 0;
    case WM_CLOSE:
      events_.OnClose();  // the program decides whether the window goes
      return 0;
    case DM_GETDEFID:
      return OnGetDefaultId();
    case kEscapeMessage:
      OnEscape();
      return 0;
    case kShellWindowMessage:
      events_.OnShellWindowCreated(static_cast<WindowHandle>(wParam));
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam);
      break;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case kWmDpiChanged:
      return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    case kWmGetDpiScaledSize:
      return OnGetDpiScaledSize(static_cast<int>(wParam), *reinterpret_cast<SIZE*>(lParam));
    case WM_SETTINGCHANGE:
      events_.OnSettingChange(static_cast<std::uint32_t>(wParam),
                              lParam != 0 ? Narrow(reinterpret_cast<const wchar_t*>(lParam)) : std::string());
      break;
    case WM_DISPLAYCHANGE:
      // The hidden window's monitor may have another DPI now: the tray icon follows.
      if (frame_ == Frame::Hidden) OnDpiChanged(WindowDpi(hwnd_), RECT{});
      break;
    default:
      if (message != 0 && message == windowClass_.TaskbarCreatedMessage()) {
        events_.OnTaskbarCreated();
        return 0;
      }
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32Window::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int code = HIWORD(wParam);
  const HWND from = reinterpret_cast<HWND>(lParam);
  if (from == nullptr) {
    // IDCANCEL from no control at all: the dialog keyboard interface's Esc.
    if (LOWORD(wParam) == IDCANCEL) OnEscape();
    return 0;
  }
  const Control* control = FindControlByWindow(from);
  if (control == nullptr || control->hwnd != from) return 0;
  switch (control->spec.kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) events_.OnClick(control->spec.id);
      break;
    case ControlKind::Label:
      if (code == STN_CLICKED && control->spec.notifyMouse) events_.OnClick(control->spec.id);
      break;
    case ControlKind::ComboBox:
    case ControlKind::NumberBox:
      break;
  }
  return 0;
}

LRESULT Win32Window::OnControlColour(UINT message, HDC dc, HWND child) {
  const Control* control = FindControlByWindow(child);
  if (control == nullptr) {
    return ::DefWindowProcW(hwnd_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
  }
  const ControlSpec& spec = control->spec;
  ::SetTextColor(dc, TextColour(spec));
  if (spec.kind == ControlKind::Label && spec.transparent) {
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
  }
  if (spec.backColour) {
    ::SetBkColor(dc, ToColorRef(*spec.backColour));
    if (spec.backColour->system) {
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(static_cast<int>(spec.backColour->value)));
    }
    return reinterpret_cast<LRESULT>(control->backBrush.Get());
  }
  const int background = (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) ? COLOR_WINDOW : COLOR_BTNFACE;
  ::SetBkColor(dc, ::GetSysColor(background));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(background));
}

// The background picture at the window's scale, over the whole client area:
// drawn again when the area's size has changed (a new DPI).
bool Win32Window::OnEraseBackground(HDC dc) {
  if (spec_.backgroundPicture == 0) return false;
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  BITMAP info{};
  if (background_) ::GetObjectW(background_.Get(), sizeof info, &info);
  if (!background_ || info.bmWidth != client.right || info.bmHeight != client.bottom) {
    background_.Reset(CreatePicture(spec_.backgroundPicture, dpi_, client.right, client.bottom));
  }
  MemoryDc memory(::CreateCompatibleDC(dc));
  if (!background_ || !memory) return false;
  Selection picture(memory.Get(), background_.Get());
  ::BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
  return true;
}

// A button with a picture: the picture centred on its background colour, the
// caption centred over it, and the usual raised or pressed edge.
void Win32Window::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_BUTTON) return;
  const Control* control = FindControlByWindow(item.hwndItem);
  if (control == nullptr) return;
  const HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const int shift = pressed ? 1 : 0;

  const COLORREF back = control->spec.backColour ? ToColorRef(*control->spec.backColour) : RGB(255, 255, 255);
  Brush backBrush(::CreateSolidBrush(back));
  ::FillRect(dc, &r, backBrush.Get());

  if (control->picture) {
    BITMAP info{};
    ::GetObjectW(control->picture.Get(), sizeof info, &info);
    MemoryDc memory(::CreateCompatibleDC(dc));
    if (memory) {
      Selection picture(memory.Get(), control->picture.Get());
      const int x = r.left + (r.right - r.left - info.bmWidth) / 2 + shift;
      const int y = r.top + (r.bottom - r.top - info.bmHeight) / 2 + shift;
      ::BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
    }
  }

  const std::wstring caption = Widen(WindowText(control->hwnd));
  RECT text = r;
  ::OffsetRect(&text, shift, shift);
  Selection font(dc, control->font);
  ::SetBkMode(dc, TRANSPARENT);
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  ::SetTextColor(dc, enabled ? TextColour(control->spec) : ::GetSysColor(COLOR_GRAYTEXT));
  ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

  ::DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    ::InflateRect(&focus, -4, -4);
    ::DrawFocusRect(dc, &focus);
  }
}

// Esc presses the cancel button when it can be pressed; a window without one
// hears of it as a close.
void Win32Window::OnEscape() {
  bool hasCancel = false;
  for (const auto& control : controls_) {
    if (!control->spec.cancel) continue;
    hasCancel = true;
    if (::IsWindowVisible(control->hwnd) && ::IsWindowEnabled(control->hwnd)) {
      events_.OnClick(control->spec.id);
      return;
    }
  }
  if (!hasCancel) events_.OnClose();
}

// Enter presses the push button that has the focus, or else the default button.
LRESULT Win32Window::OnGetDefaultId() {
  const HWND focus = ::GetFocus();
  const Control* focused = FindControlByWindow(focus);
  if (focused != nullptr && focused->spec.kind == ControlKind::Button && focused->hwnd == focus) {
    return MAKELRESULT(focused->spec.id, DC_HASDEFID);
  }
  for (const auto& control : controls_) {
    if (control->spec.kind == ControlKind::Button && control->spec.defaultButton) {
      return MAKELRESULT(control->spec.id, DC_HASDEFID);
    }
  }
  return 0;
}

// The focus goes back to the control that had it when the window is activated again.
void Win32Window::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) != WA_INACTIVE) return;
  const HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
}

void Win32Window::OnSetFocus() {
  HWND target = lastFocus_;
  if (target == nullptr || !::IsWindow(target) || !::IsChild(hwnd_, target) || !::IsWindowVisible(target)) {
    target = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  }
  if (target != nullptr && target != hwnd_) ::SetFocus(target);
}

}  // namespace tamberlinox::platform::win32
