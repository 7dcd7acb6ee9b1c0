#include "platform/win32/Win32Form.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

namespace tamberlinox::platform::win32 {

namespace {

// The shell's broadcast after its taskbar has been (re)created.
UINT TaskbarCreatedMessage() {
  static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
  return message;
}

COLORREF ToColorRef(Colour colour) {
  return colour.system ? ::GetSysColor(static_cast<int>(colour.value)) : static_cast<COLORREF>(colour.value);
}

std::string WindowText(HWND window) {
  if (window == nullptr) return {};
  int length = ::GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int n = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(n, 0)));
  return text;
}

bool IsPushButton(ControlKind kind) { return kind == ControlKind::Button; }

}  // namespace

// ------------------------------------------------------------- FormClass

FormClass::FormClass(HINSTANCE instance) : instance_(instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &Win32Form::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kName;
  atom_ = ::RegisterClassA(&wc);
}

FormClass::~FormClass() {
  if (atom_ != 0) ::UnregisterClassA(kName, instance_);
}

void FormClass::FormDestroyed() {
  if (--liveForms_ == 0) ::PostQuitMessage(0);
}

// -------------------------------------------------------------- creation

Win32Form::Win32Form(FormClass& formClass, const FormSpec& spec, FormEvents& events)
    : formClass_(formClass), spec_(spec), events_(events) {}

std::unique_ptr<Win32Form> Win32Form::Create(FormClass& formClass, const FormSpec& spec, FormEvents& events) {
  if (!formClass.Registered()) return nullptr;
  std::unique_ptr<Win32Form> form(new Win32Form(formClass, spec, events));
  if (!form->CreateWindowAndControls()) return nullptr;
  return form;
}

bool Win32Form::CreateWindowAndControls() {
  {
    ScreenDc screen;
    if (screen.Get()) {
      dpiX_ = ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
      dpiY_ = ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }
  }

  DWORD style = 0;
  DWORD exStyle = 0;
  switch (spec_.frame) {
    case FormFrame::Hidden:
      style = WS_POPUP;
      exStyle = WS_EX_TOOLWINDOW;
      break;
    case FormFrame::Sizable:
      style = WS_OVERLAPPEDWINDOW;  // the default sizable frame: system menu, minimize and maximize
      break;
    case FormFrame::Fixed:
      style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
      break;
  }
  RECT outer{0, 0, PixelsX(spec_.clientWidth), PixelsY(spec_.clientHeight)};
  ::AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  hwnd_ = ::CreateWindowExA(exStyle, FormClass::kName, spec_.caption.c_str(), style, 0, 0,
                            outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                            formClass_.Instance(), nullptr);
  if (hwnd_ == nullptr) return false;
  formClass_.FormCreated();
  // From here on the window procedure reaches this object.
  ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  if (spec_.icon != 0) {
    HINSTANCE instance = formClass_.Instance();
    bigIcon_.Reset(static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(spec_.icon), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXICON),
                                                   ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));
    smallIcon_.Reset(static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(spec_.icon), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
  }
  if (spec_.backgroundPicture != 0) {
    background_.Reset(static_cast<HBITMAP>(::LoadImageA(formClass_.Instance(),
                                                        MAKEINTRESOURCEA(spec_.backgroundPicture),
                                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  }

  for (const ControlSpec& control : spec_.controls) {
    if (!CreateControl(control)) return false;
  }
  for (const TimerSpec& timer : spec_.timers) timers_.push_back(Timer{timer, false});

  if (spec_.hasPopupMenu) {
    menu_.Reset(::CreatePopupMenu());
    if (!menu_) return false;
    menuItems_.emplace_back(std::string());
  }
  return true;
}

bool Win32Form::CreateControl(const ControlSpec& spec) {
  auto control = std::make_unique<Control>();
  control->form = this;
  control->spec = spec;

  const char* windowClass = "STATIC";
  DWORD style = WS_CHILD;
  int height = PixelsY(spec.bounds.height);
  switch (spec.kind) {
    case ControlKind::Label:
      style |= (spec.align == TextAlign::Centre ? SS_CENTER : SS_LEFT);
      if (spec.notifyMouse) style |= SS_NOTIFY;
      break;
    case ControlKind::CheckBox:
      windowClass = "BUTTON";
      style |= BS_AUTOCHECKBOX | WS_TABSTOP;
      break;
    case ControlKind::ComboBox:
      windowClass = "COMBOBOX";
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
      // The height of a drop-down combo box includes its open list.
      height += PixelsY(3000);
      break;
    case ControlKind::Button:
      windowClass = "BUTTON";
      style |= (spec.picture != 0 ? BS_OWNERDRAW : BS_PUSHBUTTON) | WS_TABSTOP;
      break;
    case ControlKind::ListBox:
      // Storage only: never shown, kept in the order the program adds.
      windowClass = "LISTBOX";
      style |= LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_VSCROLL;
      break;
  }
  if (spec.visible && spec.kind != ControlKind::ListBox) style |= WS_VISIBLE;

  control->hwnd = ::CreateWindowExA(0, windowClass, spec.kind == ControlKind::ComboBox ? "" : spec.text.c_str(),
                                    style, PixelsX(spec.bounds.left), PixelsY(spec.bounds.top),
                                    PixelsX(spec.bounds.width), height, hwnd_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), formClass_.Instance(),
                                    nullptr);
  if (control->hwnd == nullptr) return false;

  control->font = FontFor(spec.font);
  ::SendMessageA(control->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control->font), FALSE);

  if (spec.kind == ControlKind::ComboBox) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (::GetComboBoxInfo(control->hwnd, &info)) {
      control->comboEdit = info.hwndItem;
      control->comboList = info.hwndList;
    }
    if (!spec.text.empty()) ::SetWindowTextA(control->hwnd, spec.text.c_str());
  }
  if (spec.hasBackColour && !spec.backColour.system) {
    control->backBrush.Reset(::CreateSolidBrush(ToColorRef(spec.backColour)));
  }
  if (spec.kind == ControlKind::Button && spec.picture != 0) {
    control->picture.Reset(static_cast<HBITMAP>(::LoadImageA(formClass_.Instance(), MAKEINTRESOURCEA(spec.picture),
                                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  }
  if (spec.kind == ControlKind::Label && spec.notifyMouse) {
    // The label reports mouse moves through its own procedure in front of the static's.
    ::SetWindowLongPtrA(control->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
    control->originalProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(control->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Form::LabelProc)));
  }
  controls_.push_back(std::move(control));
  return true;
}

HFONT Win32Form::FontFor(const FontSpec& font) {
  int height = -static_cast<int>(std::lround(font.points * dpiY_ / 72.0));
  auto key = std::make_tuple(font.face, height, font.bold, font.italic);
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second.Get();
  Font created(::CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic ? TRUE : FALSE, FALSE,
                             FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, font.face.c_str()));
  HFONT handle = created.Get();
  fonts_.emplace(key, std::move(created));
  return handle;
}

int Win32Form::PixelsX(int twips) const { return ::MulDiv(twips, dpiX_, 1440); }
int Win32Form::PixelsY(int twips) const { return ::MulDiv(twips, dpiY_, 1440); }

Win32Form::~Win32Form() {
  *alive_ = false;
  if (hwnd_ == nullptr) return;
  // The window may be destroyed from inside one of its own handlers: cut it
  // loose from this object first, so that the messages of its destruction,
  // and any code still running for it further up the stack, find nothing.
  ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  for (const Timer& timer : timers_) {
    if (timer.enabled) ::KillTimer(hwnd_, static_cast<UINT_PTR>(timer.spec.id));
  }
  ::DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  formClass_.FormDestroyed();
}

// ------------------------------------------------------------- the form

WindowHandle Win32Form::Handle() const { return reinterpret_cast<WindowHandle>(hwnd_); }
std::uintptr_t Win32Form::IconHandle() const { return reinterpret_cast<std::uintptr_t>(bigIcon_.Get()); }

void Win32Form::Show() {
  bool first = !shownOnce_;
  shownOnce_ = true;
  if (first && spec_.frame != FormFrame::Hidden && !moved_) CentreOnScreen();
  ::ShowWindow(hwnd_, SW_SHOW);
  if (first && spec_.frame != FormFrame::Hidden) {
    if (HWND firstStop = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE)) ::SetFocus(firstStop);
  }
}

void Win32Form::Hide() { ::ShowWindow(hwnd_, SW_HIDE); }

bool Win32Form::Visible() const { return ::IsWindowVisible(hwnd_) != FALSE; }

void Win32Form::SetCaption(const std::string& caption) { ::SetWindowTextA(hwnd_, caption.c_str()); }

std::string Win32Form::Caption() const { return WindowText(hwnd_); }

void Win32Form::SetTop(int twips) {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  moved_ = true;
  ::SetWindowPos(hwnd_, nullptr, r.left, PixelsY(twips), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::SetSize(int widthTwips, int heightTwips) {
  ::SetWindowPos(hwnd_, nullptr, 0, 0, PixelsX(widthTwips), PixelsY(heightTwips),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::Refresh() {
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Win32Form::CentreOnScreen() {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ------------------------------------------------------------- controls

Win32Form::Control* Win32Form::FindControl(int id) const {
  for (const auto& control : controls_) {
    if (control->spec.id == id) return control.get();
  }
  return nullptr;
}

Win32Form::Control* Win32Form::FindControlByWindow(HWND window) const {
  if (window == nullptr) return nullptr;
  for (const auto& control : controls_) {
    if (control->hwnd == window || control->comboEdit == window || control->comboList == window) {
      return control.get();
    }
  }
  return nullptr;
}

// A transparent label paints no background of its own: when its text, colour
// or visibility changes, the form must paint its background under it again,
// or the old text stays on the screen.
void Win32Form::InvalidateUnder(const Control& control) {
  RECT r{};
  ::GetWindowRect(control.hwnd, &r);
  ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  ::RedrawWindow(hwnd_, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Form::SetText(int id, const std::string& text) {
  Control* control = FindControl(id);
  if (control == nullptr || control->spec.kind == ControlKind::ListBox) return;
  if (control->spec.kind == ControlKind::Label && WindowText(control->hwnd) == text) return;
  ::SetWindowTextA(control->hwnd, text.c_str());
  if (control->spec.kind == ControlKind::Label && control->spec.transparent) InvalidateUnder(*control);
}

std::string Win32Form::Text(int id) const {
  Control* control = FindControl(id);
  if (control == nullptr) return {};
  if (control->spec.kind == ControlKind::ListBox) {
    LRESULT selected = ::SendMessageA(control->hwnd, LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? std::string() : Item(id, static_cast<int>(selected));
  }
  return WindowText(control->hwnd);
}

void Win32Form::SetVisible(int id, bool visible) {
  Control* control = FindControl(id);
  if (control == nullptr) return;
  if (((::GetWindowLongA(control->hwnd, GWL_STYLE) & WS_VISIBLE) != 0) == visible) return;
  ::ShowWindow(control->hwnd, visible ? SW_SHOWNA : SW_HIDE);
  if (control->spec.kind == ControlKind::Label && control->spec.transparent) InvalidateUnder(*control);
}

bool Win32Form::IsVisible(int id) const {
  Control* control = FindControl(id);
  return control != nullptr && (::GetWindowLongA(control->hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Form::SetForeColour(int id, Colour colour) {
  Control* control = FindControl(id);
  if (control == nullptr) return;
  if (control->spec.hasForeColour && control->spec.foreColour == colour) return;
  control->spec.hasForeColour = true;
  control->spec.foreColour = colour;
  if (control->spec.kind == ControlKind::Label && control->spec.transparent) {
    InvalidateUnder(*control);
  } else {
    ::InvalidateRect(control->hwnd, nullptr, TRUE);
  }
}

Colour Win32Form::ForeColour(int id) const {
  Control* control = FindControl(id);
  if (control == nullptr || !control->spec.hasForeColour) return Colour::System(COLOR_BTNTEXT);
  return control->spec.foreColour;
}

void Win32Form::SetCheck(int id, int value) {
  if (Control* control = FindControl(id)) {
    ::SendMessageA(control->hwnd, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

int Win32Form::Check(int id) const {
  Control* control = FindControl(id);
  if (control == nullptr) return 0;
  return ::SendMessageA(control->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32Form::AddItem(int id, const std::string& text) {
  Control* control = FindControl(id);
  if (control == nullptr) return;
  if (control->spec.kind == ControlKind::ComboBox) {
    ::SendMessageA(control->hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  } else if (control->spec.kind == ControlKind::ListBox) {
    ::SendMessageA(control->hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

void Win32Form::AddItems(int id, const std::vector<std::string>& texts) {
  Control* control = FindControl(id);
  if (control == nullptr || texts.empty()) return;
  bool combo = control->spec.kind == ControlKind::ComboBox;
  if (!combo && control->spec.kind != ControlKind::ListBox) return;
  size_t bytes = 0;
  for (const std::string& text : texts) bytes += text.size() + 1;
  // Reserve the room once instead of growing the list item by item.
  ::SendMessageA(control->hwnd, combo ? CB_INITSTORAGE : LB_INITSTORAGE, texts.size(), static_cast<LPARAM>(bytes));
  ::SendMessageA(control->hwnd, WM_SETREDRAW, FALSE, 0);
  for (const std::string& text : texts) {
    ::SendMessageA(control->hwnd, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  ::SendMessageA(control->hwnd, WM_SETREDRAW, TRUE, 0);
}

void Win32Form::ClearItems(int id) {
  Control* control = FindControl(id);
  if (control == nullptr) return;
  if (control->spec.kind == ControlKind::ComboBox) ::SendMessageA(control->hwnd, CB_RESETCONTENT, 0, 0);
  if (control->spec.kind == ControlKind::ListBox) ::SendMessageA(control->hwnd, LB_RESETCONTENT, 0, 0);
}

int Win32Form::ItemCount(int id) const {
  Control* control = FindControl(id);
  if (control == nullptr) return 0;
  LRESULT count = 0;
  if (control->spec.kind == ControlKind::ComboBox) count = ::SendMessageA(control->hwnd, CB_GETCOUNT, 0, 0);
  if (control->spec.kind == ControlKind::ListBox) count = ::SendMessageA(control->hwnd, LB_GETCOUNT, 0, 0);
  return count < 0 ? 0 : static_cast<int>(count);
}

std::string Win32Form::Item(int id, int index) const {
  Control* control = FindControl(id);
  if (control == nullptr || index < 0) return {};
  bool combo = control->spec.kind == ControlKind::ComboBox;
  if (!combo && control->spec.kind != ControlKind::ListBox) return {};
  LRESULT length = ::SendMessageA(control->hwnd, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
  if (length < 0) return {};  // past the end
  std::string text(static_cast<size_t>(length) + 1, '\0');
  LRESULT n = ::SendMessageA(control->hwnd, combo ? CB_GETLBTEXT : LB_GETTEXT, index,
                             reinterpret_cast<LPARAM>(text.data()));
  text.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return text;
}

// --------------------------------------------------------------- timers

void Win32Form::EnableTimer(int id, bool enabled) {
  for (Timer& timer : timers_) {
    if (timer.spec.id != id) continue;
    if (timer.enabled == enabled) return;
    timer.enabled = enabled;
    // A timer with no interval never ticks.
    if (timer.spec.intervalMs == 0) return;
    if (enabled) {
      ::SetTimer(hwnd_, static_cast<UINT_PTR>(id), timer.spec.intervalMs, nullptr);
    } else {
      ::KillTimer(hwnd_, static_cast<UINT_PTR>(id));
    }
    return;
  }
}

bool Win32Form::TimerEnabled(int id) const {
  for (const Timer& timer : timers_) {
    if (timer.spec.id == id) return timer.enabled;
  }
  return false;
}

// ----------------------------------------------------------------- menu

int Win32Form::MenuCount() const {
  return static_cast<int>(
      std::count_if(menuItems_.begin(), menuItems_.end(), [](const auto& item) { return item.has_value(); }));
}

// The item array is kept here and given to the system's menu only when it pops
// up (SyncMenu): with thousands of desktop items, inserting them one by one
// into a menu, and finding an element's position for every change, would cost
// time that grows with the square of their number.
bool Win32Form::MenuLoad(int index) {
  if (!menu_ || index <= 0) return false;
  size_t i = static_cast<size_t>(index);
  if (i < menuItems_.size() && menuItems_[i]) return false;            // exists already
  if (i - 1 >= menuItems_.size() || !menuItems_[i - 1]) return false;  // would leave a gap
  if (i >= menuItems_.size()) menuItems_.resize(i + 1);
  menuItems_[i] = menuItems_[0].value_or(std::string());  // a new element starts as a copy of element 0
  return true;
}

bool Win32Form::MenuUnload(int index) {
  if (!menu_ || index <= 0 || static_cast<size_t>(index) >= menuItems_.size()) return false;
  auto& item = menuItems_[static_cast<size_t>(index)];
  if (!item) return false;
  item.reset();
  while (!menuItems_.empty() && !menuItems_.back()) menuItems_.pop_back();
  return true;
}

void Win32Form::MenuSetCaption(int index, const std::string& caption) {
  if (!menu_ || index < 0 || static_cast<size_t>(index) >= menuItems_.size()) return;
  auto& item = menuItems_[static_cast<size_t>(index)];
  if (item) item = caption;
}

std::string Win32Form::MenuCaption(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= menuItems_.size()) return {};
  return menuItems_[static_cast<size_t>(index)].value_or(std::string());
}

// Makes the system's menu show the loaded elements in index order, changing
// only the items that differ from what it shows already.
void Win32Form::SyncMenu() {
  size_t position = 0;
  for (size_t index = 0; index < menuItems_.size(); ++index) {
    if (!menuItems_[index]) continue;
    const std::string& caption = *menuItems_[index];
    const bool separator = caption == "-";
    // A desktop item called "Tom & Jerry" shows its ampersand rather than underlining the blank after it.
    std::string shown;
    for (char c : caption) {
      shown += c;
      if (c == '&') shown += '&';
    }
    ShownMenuItem wanted{separator ? std::string("-") : shown, kMenuBase + static_cast<UINT>(index), separator};
    const UINT flags = MF_BYPOSITION | (separator ? MF_SEPARATOR : MF_STRING);
    const char* text = separator ? nullptr : wanted.text.c_str();
    if (position < shownMenu_.size()) {
      if (!(shownMenu_[position] == wanted) &&
          ::ModifyMenuA(menu_.Get(), static_cast<UINT>(position), flags, wanted.id, text)) {
        shownMenu_[position] = wanted;
      }
    } else if (::AppendMenuA(menu_.Get(), flags & ~MF_BYPOSITION, wanted.id, text)) {
      shownMenu_.push_back(wanted);
    } else {
      break;
    }
    ++position;
  }
  while (shownMenu_.size() > position &&
         ::DeleteMenu(menu_.Get(), static_cast<UINT>(shownMenu_.size() - 1), MF_BYPOSITION)) {
    shownMenu_.pop_back();
  }
}

void Win32Form::PopupMenu() {
  if (!menu_) return;
  SyncMenu();
  HWND window = hwnd_;
  std::shared_ptr<bool> alive = alive_;
  POINT at{};
  ::GetCursorPos(&at);
  int command = static_cast<int>(::TrackPopupMenu(menu_.Get(), TPM_RETURNCMD, at.x, at.y, 0, window, nullptr));
  // Lets the menu's owner give up the foreground properly.
  ::PostMessageA(window, WM_NULL, 0, 0);
  // The chosen command goes through the window's current procedure, so that a
  // procedure put in front of the form's own sees it too.
  if (command != 0 && *alive) ::SendMessageA(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

// ------------------------------------------------------ window procedure

LRESULT CALLBACK Win32Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<Win32Form*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (form == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  try {
    return form->HandleMessage(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

// Every handler that calls into the program does so last and then returns:
// the program may destroy this form from inside the call.
LRESULT Win32Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = hwnd_;
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
      return OnTimerMessage(wParam);
    case WM_CLOSE:
      // The program decides whether the window goes.
      events_.OnCloseBox();
      return 0;
    case DM_GETDEFID:
      return OnGetDefaultId();
    case kEscapeMessage:
      OnEscape();
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam);
      break;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    default:
      if (message == TaskbarCreatedMessage() && message != 0) {
        if (spec_.taskbarCreated) events_.OnTaskbarCreated();
        return 0;
      }
      break;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT Win32Form::OnCommand(WPARAM wParam, LPARAM lParam) {
  int id = LOWORD(wParam);
  int code = HIWORD(wParam);
  HWND from = reinterpret_cast<HWND>(lParam);
  if (from == nullptr) {
    if (code == 0 && id >= kMenuBase && static_cast<size_t>(id - kMenuBase) < menuItems_.size() &&
        menuItems_[static_cast<size_t>(id - kMenuBase)]) {
      events_.OnMenuClick(id - kMenuBase);
      return 0;
    }
    // IDCANCEL from no control at all: the dialog keyboard interface's Esc.
    if (id == IDCANCEL) OnEscape();
    return 0;
  }
  Control* control = FindControlByWindow(from);
  if (control == nullptr || control->hwnd != from) return 0;
  switch (control->spec.kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) events_.OnClick(control->spec.id);
      break;
    case ControlKind::Label:
      if (code == STN_CLICKED && control->spec.notifyMouse) events_.OnClick(control->spec.id);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT Win32Form::OnControlColour(UINT message, HDC dc, HWND child) {
  Control* control = FindControlByWindow(child);
  if (control == nullptr) return ::DefWindowProcA(hwnd_, message, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(child));
  const ControlSpec& spec = control->spec;
  ::SetTextColor(dc, spec.hasForeColour ? ToColorRef(spec.foreColour) : ::GetSysColor(COLOR_BTNTEXT));
  if (spec.kind == ControlKind::Label && spec.transparent) {
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
  }
  if (spec.hasBackColour) {
    ::SetBkColor(dc, ToColorRef(spec.backColour));
    if (spec.backColour.system) {
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(static_cast<int>(spec.backColour.value)));
    }
    return reinterpret_cast<LRESULT>(control->backBrush.Get());
  }
  if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) {
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
  }
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

// The background picture, unscaled from the top-left corner; the rest of the
// client area in the form's colour.
bool Win32Form::OnEraseBackground(HDC dc) {
  if (!background_) return false;
  BITMAP info{};
  ::GetObjectA(background_.Get(), sizeof info, &info);
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  MemoryDc memory(::CreateCompatibleDC(dc));
  if (memory) {
    Selection picture(memory.Get(), background_.Get());
    ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
  }
  HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
  RECT right{info.bmWidth, 0, client.right, client.bottom};
  RECT below{0, info.bmHeight, std::min<LONG>(info.bmWidth, client.right), client.bottom};
  if (right.left < right.right) ::FillRect(dc, &right, face);
  if (below.top < below.bottom) ::FillRect(dc, &below, face);
  return true;
}

// A button with a picture: the picture centred on its background colour, the
// caption centred over it, and the usual raised or pressed edge.
void Win32Form::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_BUTTON) return;
  Control* control = FindControlByWindow(item.hwndItem);
  if (control == nullptr) return;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  int shift = pressed ? 1 : 0;

  COLORREF back = control->spec.hasBackColour ? ToColorRef(control->spec.backColour) : RGB(255, 255, 255);
  Brush backBrush(::CreateSolidBrush(back));
  ::FillRect(dc, &r, backBrush.Get());

  if (control->picture) {
    BITMAP info{};
    ::GetObjectA(control->picture.Get(), sizeof info, &info);
    MemoryDc memory(::CreateCompatibleDC(dc));
    if (memory) {
      Selection picture(memory.Get(), control->picture.Get());
      int x = r.left + (r.right - r.left - info.bmWidth) / 2 + shift;
      int y = r.top + (r.bottom - r.top - info.bmHeight) / 2 + shift;
      ::BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
    }
  }

  std::string caption = WindowText(control->hwnd);
  RECT text = r;
  ::OffsetRect(&text, shift, shift);
  Selection font(dc, control->font);
  ::SetBkMode(dc, TRANSPARENT);
  bool enabled = (item.itemState & ODS_DISABLED) == 0;
  ::SetTextColor(dc, !enabled                       ? ::GetSysColor(COLOR_GRAYTEXT)
                     : control->spec.hasForeColour ? ToColorRef(control->spec.foreColour)
                                                   : ::GetSysColor(COLOR_BTNTEXT));
  ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

  ::DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    ::InflateRect(&focus, -4, -4);
    ::DrawFocusRect(dc, &focus);
  }
}

LRESULT Win32Form::OnTimerMessage(UINT_PTR id) {
  for (const Timer& timer : timers_) {
    if (static_cast<UINT_PTR>(timer.spec.id) == id) {
      if (timer.enabled) events_.OnTimer(timer.spec.id);
      return 0;
    }
  }
  return 0;
}

// Esc presses the visible, enabled cancel button, if the form has one.
void Win32Form::OnEscape() {
  for (const auto& control : controls_) {
    if (control->spec.cancel && ::IsWindowVisible(control->hwnd) && ::IsWindowEnabled(control->hwnd)) {
      events_.OnClick(control->spec.id);
      return;
    }
  }
}

// Enter presses the push button that has the focus.
LRESULT Win32Form::OnGetDefaultId() {
  Control* focused = FindControlByWindow(::GetFocus());
  if (focused != nullptr && IsPushButton(focused->spec.kind) && focused->hwnd == ::GetFocus()) {
    return MAKELRESULT(focused->spec.id, DC_HASDEFID);
  }
  return 0;
}

// The focus goes back to the control that had it when the form is activated again.
void Win32Form::OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) != WA_INACTIVE) return;
  HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
}

void Win32Form::OnSetFocus() {
  HWND target = lastFocus_;
  if (target == nullptr || !::IsWindow(target) || !::IsChild(hwnd_, target) || !::IsWindowVisible(target)) {
    target = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  }
  if (target != nullptr && target != hwnd_) ::SetFocus(target);
}

// Labels that report the mouse: the static's own procedure runs first, then
// the program hears of the move.
LRESULT CALLBACK Win32Form::LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<Control*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (control == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  WNDPROC original = control->originalProc;
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return ::CallWindowProcA(original, window, message, wParam, lParam);
  }
  LRESULT result = ::CallWindowProcA(original, window, message, wParam, lParam);
  if (message == WM_MOUSEMOVE) {
    Win32Form* form = control->form;
    HWND parent = ::GetParent(window);
    // Only while the form is alive and reachable through its window.
    if (parent != nullptr && reinterpret_cast<Win32Form*>(::GetWindowLongPtrA(parent, GWLP_USERDATA)) == form) {
      try {
        form->events_.OnMouseMove(control->spec.id);
      } catch (...) {
      }
    }
  }
  return result;
}

}  // namespace tamberlinox::platform::win32
