// FakePlatform: construction, the registry and files (forwarded to their
// parts), and the window system: windows, messages, subclassing, the
// program's forms and their drivers.
#include "platform/fake/FakePlatform.h"

#include <algorithm>
#include <cstdio>

#include "platform/fake/FakeText.h"

namespace tamberlinox::platform {

using fake_text::EqualNoCase;

namespace {

constexpr char kFormClassName[] = "TamberlinoxForm";
constexpr std::uint32_t kBnClicked = 0;   // BN_CLICKED
constexpr std::uint32_t kStnClicked = 0;  // STN_CLICKED

std::string Hex(std::uintptr_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace

FakePlatform::FakePlatform() {
  files_.AddFolder(programFolder_);
  files_.AddFolder(files_.WindowsFolder());
  files_.SetCurrentFolder(programFolder_);
}

FakePlatform::~FakePlatform() = default;

void FakePlatform::ClearLogs() {
  registry_.ClearCalls();
  showWindowCalls_.clear();
  postedMessages_.clear();
  foregroundCalls_.clear();
  defaultHandled_.clear();
  popups_.clear();
  hotKeyCalls_.clear();
  trayCalls_.clear();
  shellExecuteCalls_.clear();
  navigations_.clear();
  browserVisible_.clear();
  messageBoxes_.clear();
  sleeps_.clear();
  totalSleepMs_ = 0;
  defaultMousePointerCalls_ = 0;
  connectionChecks_ = 0;
  readyStateReads_ = 0;
}

// ================================================================= registry

std::int32_t FakePlatform::RegOpenKeyExA(std::uint32_t hive, const std::string& subKey, std::uint32_t access,
                                         RegKey& key) {
  std::uintptr_t handle = 0;
  std::int32_t result = registry_.OpenKey(hive, subKey, access, handle);
  if (result == kErrorSuccess) key = RegKey(this, handle);
  return result;
}

std::int32_t FakePlatform::RegCreateKeyExA(std::uint32_t hive, const std::string& subKey, std::uint32_t access,
                                           RegKey& key) {
  std::uintptr_t handle = 0;
  std::int32_t result = registry_.CreateKey(hive, subKey, access, handle);
  if (result == kErrorSuccess) key = RegKey(this, handle);
  return result;
}

std::int32_t FakePlatform::RegQueryValueExA(const RegKey& key, const std::string& name, std::uint32_t* type,
                                            std::uint8_t* data, std::uint32_t& size) {
  return registry_.QueryValue(key.Get(), name, type, data, size);
}

std::int32_t FakePlatform::RegSetValueExA(const RegKey& key, const std::string& name, std::uint32_t type,
                                          const std::uint8_t* data, std::uint32_t size) {
  return registry_.SetValue(key.Get(), name, type, data, size);
}

std::int32_t FakePlatform::RegDeleteValueA(const RegKey& key, const std::string& name) {
  return registry_.DeleteValue(key.Get(), name);
}

std::int32_t FakePlatform::RegDeleteKeyA(std::uint32_t hive, const std::string& subKey) {
  return registry_.DeleteKey(hive, subKey);
}

std::int32_t FakePlatform::RegCloseKey(std::uintptr_t key) { return registry_.CloseKey(key); }

void FakePlatform::SetRegistryValue(std::uint32_t hive, const std::string& path, const std::string& name,
                                    std::uint32_t type, std::vector<std::uint8_t> bytes) {
  registry_.PutValue(hive, path, name, RegistryData{type, std::move(bytes)});
}

void FakePlatform::SetRegistryString(std::uint32_t hive, const std::string& path, const std::string& name,
                                     const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  registry_.PutValue(hive, path, name, RegistryData{kRegSz, std::move(bytes)});
}

std::optional<std::string> FakePlatform::RegistryString(std::uint32_t hive, const std::string& path,
                                                        const std::string& name) const {
  std::optional<RegistryData> value = registry_.Value(hive, path, name);
  if (!value) return std::nullopt;
  std::string text(value->bytes.begin(), value->bytes.end());
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

// ==================================================================== files

std::string FakePlatform::GetPrivateProfileStringA(const std::string& section, const std::string& entry,
                                                   const std::string& defaultText, std::uint32_t bufferSize,
                                                   const std::string& file) {
  return files_.GetProfileString(section, entry, defaultText, bufferSize, file);
}

std::int32_t FakePlatform::WritePrivateProfileStringA(const std::string& section, const std::string& entry,
                                                      const std::string& text, const std::string& file) {
  return files_.WriteProfileString(section, entry, text, file);
}

bool FakePlatform::IsOrdinaryFile(const std::string& path) { return files_.IsOrdinaryFile(path); }

std::string FakePlatform::FullPath(const std::string& path) { return files_.FullPath(path); }

FindHandle FakePlatform::FindFirstFileA(const std::string& pattern, FindData& data) {
  std::uintptr_t search = files_.FindFirst(pattern, data);
  return search ? FindHandle(this, search) : FindHandle();
}

bool FakePlatform::FindNextFileA(const FindHandle& search, FindData& data) {
  return files_.FindNext(search.Get(), data);
}

std::int32_t FakePlatform::FindClose(std::uintptr_t search) { return files_.FindClose(search); }

// ================================================================== windows

WindowHandle FakePlatform::NewWindowHandle() {
  WindowHandle handle = nextWindow_;
  nextWindow_ += 0x10;
  return handle;
}

WindowHandle FakePlatform::AddWindow(const std::string& className, const std::string& title, bool visible) {
  WindowHandle handle = NewWindowHandle();
  windows_[handle] = Window{className, title, visible, nullptr, 0, 0};
  zOrder_.push_back(handle);
  return handle;
}

void FakePlatform::RemoveWindow(WindowHandle window) {
  auto found = windows_.find(window);
  if (found == windows_.end()) return;
  if (found->second.form) {
    faults_.Add("test: RemoveWindow of the program's own form \"" + found->second.title + "\"");
    return;
  }
  windows_.erase(found);
  zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), window), zOrder_.end());
  if (foreground_ == window) foreground_ = 0;
}

bool FakePlatform::WindowVisible(WindowHandle window) const {
  auto found = windows_.find(window);
  return found != windows_.end() && found->second.visible;
}

void FakePlatform::SetWindowVisible(WindowHandle window, bool visible) {
  auto found = windows_.find(window);
  if (found != windows_.end()) found->second.visible = visible;
}

std::string FakePlatform::WindowTitle(WindowHandle window) const {
  auto found = windows_.find(window);
  return found == windows_.end() ? std::string() : found->second.title;
}

// Top-level windows are searched in the order they were created (Windows
// searches in Z order, where the newest window usually comes first).
WindowHandle FakePlatform::FindTopLevel(WindowHandle after, const char* className, const char* title) const {
  auto start = zOrder_.begin();
  if (after != 0) {
    start = std::find(zOrder_.begin(), zOrder_.end(), after);
    if (start == zOrder_.end()) return 0;
    ++start;
  }
  for (auto it = start; it != zOrder_.end(); ++it) {
    const Window& window = windows_.at(*it);
    if (className && !EqualNoCase(window.className, className)) continue;
    if (title && !EqualNoCase(window.title, title)) continue;
    return *it;
  }
  return 0;
}

WindowHandle FakePlatform::FindWindowA(const char* className, const char* title) {
  return FindTopLevel(0, className, title);
}

WindowHandle FakePlatform::FindWindowExA(WindowHandle parent, WindowHandle after, const char* className,
                                         const char* title) {
  if (parent != 0) return 0;  // no window here has child windows that a search could find
  return FindTopLevel(after, className, title);
}

bool FakePlatform::ShowWindow(WindowHandle window, int command) {
  auto found = windows_.find(window);
  bool wasVisible = found != windows_.end() && found->second.visible;
  if (found != windows_.end()) found->second.visible = command != kSwHide;
  showWindowCalls_.push_back(ShowWindowCall{window, command, wasVisible});
  return wasVisible;
}

std::int32_t FakePlatform::IsWindowVisible(WindowHandle window) { return WindowVisible(window) ? 1 : 0; }

bool FakePlatform::PostMessageA(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
  postedMessages_.push_back(WindowMessage{window, message, wParam, lParam});
  // A null window posts to the thread's own queue, which takes anything.
  return window == 0 || windows_.count(window) != 0;
}

bool FakePlatform::SetForegroundWindow(WindowHandle window) {
  foregroundCalls_.push_back(window);
  if (!windows_.count(window)) return false;
  foreground_ = window;
  return true;
}

// ============================================================= subclassing

void FakePlatform::SetWindowProcHandler(WindowProcHandler handler) { windowProcHandler_ = std::move(handler); }

WndProcAddr FakePlatform::AddressOfWindowProc() { return kWindowProcAddress; }

WndProcAddr FakePlatform::SetWindowLongA(WindowHandle window, WndProcAddr procedure) {
  auto found = windows_.find(window);
  if (found == windows_.end()) {
    faults_.Add("SetWindowLongA on window " + Hex(window) + ", which does not exist");
    return 0;
  }
  if (!found->second.form) {
    faults_.Add("SetWindowLongA on another program's window \"" + found->second.title + "\"");
    return 0;
  }
  if (procedure == 0) faults_.Add("SetWindowLongA installs no procedure on \"" + found->second.title + "\"");
  WndProcAddr previous = found->second.currentProc;
  found->second.currentProc = procedure;
  return previous;
}

WndProcAddr FakePlatform::GetClassWndProc(WindowHandle window) {
  auto found = windows_.find(window);
  return found == windows_.end() ? 0 : found->second.classProc;
}

WndProcAddr FakePlatform::CurrentWndProc(WindowHandle window) const {
  auto found = windows_.find(window);
  return found == windows_.end() ? 0 : found->second.currentProc;
}

LResult FakePlatform::CallWindowProcA(WndProcAddr procedure, WindowHandle window, std::uint32_t message,
                                      WParam wParam, LParam lParam) {
  if (procedure == 0) {
    faults_.Add("CallWindowProcA with no procedure (message " + std::to_string(message) + ")");
    return 0;
  }
  if (procedure == kWindowProcAddress) {
    if (!windowProcHandler_) {
      faults_.Add("a message reached the program's WindowProc before its handler was set");
      return 0;
    }
    WindowProcHandler handler = windowProcHandler_;  // it may be replaced while it runs
    return handler(window, message, wParam, lParam);
  }
  auto classProc = classProcs_.find(procedure);
  if (classProc != classProcs_.end()) return FormProcedure(classProc->second, message, wParam, lParam);
  faults_.Add("CallWindowProcA with the unknown procedure " + Hex(procedure));
  return 0;
}

LResult FakePlatform::SendMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
  auto found = windows_.find(window);
  if (found == windows_.end() || !found->second.form) return 0;
  return CallWindowProcA(found->second.currentProc, window, message, wParam, lParam);
}

// A form's own window procedure: what the window does with a message that
// reaches it. Nothing here may touch the form after its handler has run: the
// handler may have destroyed it.
LResult FakePlatform::FormProcedure(WindowHandle formWindow, std::uint32_t message, WParam wParam, LParam lParam) {
  auto found = windows_.find(formWindow);
  if (found == windows_.end() || !found->second.form) return 0;  // the window is gone
  FakeForm& form = *found->second.form;
  FormEvents& events = form.events_;

  switch (message) {
    case kWmTimer: {
      const int timerId = int(wParam);
      auto timer = form.timers_.find(timerId);
      if (timer == form.timers_.end() || !timer->second.enabled) break;
      events.OnTimer(timerId);
      return 0;
    }
    case kWmCommand: {
      const int id = int(wParam & 0xFFFF);
      const std::uint32_t code = std::uint32_t(wParam >> 16) & 0xFFFF;
      if (lParam == 0 && code == 0) {  // from a menu
        int index = -1;
        for (const auto& [element, caption] : form.menu_)
          if (MenuCommandId(element) == std::uint32_t(id)) index = element;
        if (index < 0) break;
        events.OnMenuClick(index);
        return 0;
      }
      auto control = form.controls_.find(id);
      if (control == form.controls_.end() || LParam(control->second.handle) != lParam) break;
      events.OnClick(id);
      return 0;
    }
    case kWmMouseMove:
      events.OnMouseMove(0);
      return 0;
    case kWmClose:
      events.OnCloseBox();
      return 0;
    default:
      if (message == kTaskbarCreatedMessage && form.spec_.taskbarCreated) {
        events.OnTaskbarCreated();
        return 0;
      }
      break;
  }
  return DefaultHandling(formWindow, message, wParam, lParam);
}

LResult FakePlatform::DefaultHandling(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
  defaultHandled_.push_back(WindowMessage{window, message, wParam, lParam});
  return 0;
}

// ==================================================================== forms

std::unique_ptr<Form> FakePlatform::CreateForm(const FormSpec& spec, FormEvents& events) {
  const WindowHandle handle = NewWindowHandle();
  const WndProcAddr classProc = nextClassProc_;
  nextClassProc_ += 0x10;
  windows_[handle] = Window{kFormClassName, spec.caption, false, nullptr, classProc, classProc};
  zOrder_.push_back(handle);
  classProcs_[classProc] = handle;
  auto form = std::make_unique<FakeForm>(*this, spec, events, handle, classProc);
  windows_[handle].form = form.get();
  forms_.push_back(form.get());
  return form;
}

void FakePlatform::FormDestroyed(FakeForm& form) {
  const WindowHandle handle = form.Handle();
  windows_.erase(handle);
  zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), handle), zOrder_.end());
  forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
  // A window's hot keys end with it.
  hotKeys_.erase(std::remove_if(hotKeys_.begin(), hotKeys_.end(),
                                [&](const HotKeyRegistration& hotKey) { return hotKey.window == handle; }),
                 hotKeys_.end());
  if (foreground_ == handle) foreground_ = 0;
}

std::vector<FakeForm*> FakePlatform::Forms() const { return forms_; }

FakeForm* FakePlatform::FormByCaption(const std::string& caption) const {
  for (FakeForm* form : forms_)
    if (form->Caption() == caption) return form;
  return nullptr;
}

FakeForm* FakePlatform::FormByHandle(WindowHandle window) const {
  for (FakeForm* form : forms_)
    if (form->Handle() == window) return form;
  return nullptr;
}

FakeForm* FakePlatform::LiveForm(const Form& form) const {
  for (FakeForm* each : forms_)
    if (static_cast<const Form*>(each) == &form) return each;
  faults_.Add("test: a driver was given a form that is not open");
  return nullptr;
}

bool FakePlatform::NotifyControl(FakeForm& form, int controlId, std::uint32_t code) {
  SendMessage(form.Handle(), kWmCommand, (WParam(code) << 16) | WParam(controlId & 0xFFFF),
              LParam(form.ControlHandle(controlId)));
  return true;
}

bool FakePlatform::FireTimer(const Form& form, int timerId) {
  FakeForm* fake = LiveForm(form);
  if (!fake) return false;
  auto timer = fake->timers_.find(timerId);
  if (timer == fake->timers_.end()) {
    faults_.Add("test: FireTimer of timer " + std::to_string(timerId) + ", which the form does not have");
    return false;
  }
  if (!timer->second.enabled) return false;
  SendMessage(fake->Handle(), kWmTimer, WParam(timerId), 0);
  return true;
}

bool FakePlatform::Click(const Form& form, int controlId) {
  FakeForm* fake = LiveForm(form);
  if (!fake) return false;
  FakeForm::Control* control = fake->Find(controlId, "test: Click");
  if (!control || !fake->Visible() || !control->visible) return false;
  switch (control->spec.kind) {
    case ControlKind::Button:
      return NotifyControl(*fake, controlId, kBnClicked);
    case ControlKind::CheckBox:
      control->check = control->check == 1 ? 0 : 1;  // an automatic check box turns over first
      return NotifyControl(*fake, controlId, kBnClicked);
    case ControlKind::Label:
      // Only a label that asks for notifications reports clicks.
      return control->spec.notifyMouse && NotifyControl(*fake, controlId, kStnClicked);
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
      return false;
  }
  return false;
}

bool FakePlatform::MouseMove(const Form& form, int controlId) {
  FakeForm* fake = LiveForm(form);
  if (!fake || !fake->Visible()) return false;
  if (controlId != 0) {
    FakeForm::Control* control = fake->Find(controlId, "test: MouseMove");
    if (!control || !control->visible) return false;
    if (control->spec.kind != ControlKind::Label) return false;  // the control takes the move itself
    if (control->spec.notifyMouse) {
      // A notifying label gets the move in its own procedure, not the form's.
      fake->events_.OnMouseMove(controlId);
      return true;
    }
    // Any other label is transparent to the mouse: the form beneath gets the move.
  }
  SendMessage(fake->Handle(), kWmMouseMove, 0, 0);
  return true;
}

bool FakePlatform::CloseBox(const Form& form) {
  FakeForm* fake = LiveForm(form);
  if (!fake || !fake->Visible()) return false;
  SendMessage(fake->Handle(), kWmClose, 0, 0);
  return true;
}

bool FakePlatform::PressEsc(const Form& form) {
  FakeForm* fake = LiveForm(form);
  if (!fake) return false;
  for (const auto& [id, control] : fake->controls_)
    if (control.spec.cancel) return Click(form, id);
  return false;
}

}  // namespace tamberlinox::platform
