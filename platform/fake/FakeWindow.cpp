#include "platform/fake/FakeWindow.h"

#include <algorithm>

#include "platform/fake/FakePlatform.h"

namespace tamberlinox::platform {

namespace {

constexpr int kColorWindowText = 8;   // COLOR_WINDOWTEXT
constexpr int kColorButtonText = 18;  // COLOR_BTNTEXT

Colour DefaultForeColour(ControlKind kind) {
  return Colour::System(kind == ControlKind::ComboBox || kind == ControlKind::NumberBox ? kColorWindowText
                                                                                     : kColorButtonText);
}

}  // namespace

FakeWindow::FakeWindow(FakePlatform& os, const WindowSpec& windowSpec, WindowEvents& events, WindowHandle windowHandle)
    : spec(windowSpec),
      handle(windowHandle),
      caption(windowSpec.caption),
      width(windowSpec.clientWidth),
      height(windowSpec.clientHeight),
      layout(LayOut(windowSpec, os.dpi, os.text)),
      os_(os),
      events_(events) {
  for (const ControlSpec& control : spec.controls) {
    const Colour colour = control.foreColour.value_or(DefaultForeColour(control.kind));
    controls[control.id] = FakeControl{control, control.text, control.visible, colour, false, {}, control.backColour};
  }
}

FakeWindow::~FakeWindow() {
  *alive_ = false;
  os_.Destroyed(*this);
}

std::vector<std::string> FakeWindow::LastMenuCaptions() const {
  std::vector<std::string> captions;
  for (const MenuEntry& entry : lastMenu) captions.push_back(entry.separator ? "-" : entry.caption);
  return captions;
}

FakeControl* FakeWindow::Control(int id) {
  auto found = controls.find(id);
  return found == controls.end() ? nullptr : &found->second;
}

const FakeControl* FakeWindow::Control(int id) const { return const_cast<FakeWindow*>(this)->Control(id); }

// ------------------------------------------------------------- drivers

bool FakeWindow::Click(int controlId) {
  FakeControl* control = Control(controlId);
  if (!shown || control == nullptr || !control->visible || !control->spec.enabled) return false;
  switch (control->spec.kind) {
    case ControlKind::Label:
      if (!control->spec.notifyMouse) return false;
      break;
    case ControlKind::ComboBox:
    case ControlKind::NumberBox:
      return false;
    case ControlKind::CheckBox:
      control->checked = !control->checked;
      break;
    case ControlKind::Button:
      break;
  }
  events_.OnClick(controlId);
  return true;
}

bool FakeWindow::MoveMouse(int controlId) {
  if (!shown) return false;
  if (controlId != 0) {
    const FakeControl* control = Control(controlId);
    if (control == nullptr || !control->visible || control->spec.kind != ControlKind::Label ||
        !control->spec.notifyMouse)
      return false;
  }
  events_.OnMouseMove(controlId);
  return true;
}

void FakeWindow::Close() { Send(kWmClose); }

void FakeWindow::PressEsc() {
  for (const auto& [id, control] : controls) {
    if (control.spec.kind == ControlKind::Button && control.spec.cancel) {
      Click(id);
      return;
    }
  }
  Close();
}

bool FakeWindow::PressEnter() {
  for (const auto& [id, control] : controls) {
    if (control.spec.kind == ControlKind::Button && control.spec.defaultButton) return Click(id);
  }
  return false;
}

bool FakeWindow::FireTimer(int timerId) {
  if (!TimerRunning(timerId)) return false;
  Send(kWmTimer, WParam(timerId));
  return true;
}

void FakeWindow::TaskbarCreated() {
  tray.added = false;
  Send(kTaskbarCreatedMessage);
}

LResult FakeWindow::Send(std::uint32_t message, WParam wParam, LParam lParam) {
  const std::shared_ptr<bool> alive = alive_;
  if (filter != nullptr) {
    LResult result = 0;
    if (filter->OnMessage(message, wParam, lParam, result) || !*alive) return result;
  }
  switch (message) {
    case kWmClose:
      events_.OnClose();
      break;
    case kWmTimer:
      if (TimerRunning(int(wParam))) events_.OnTimer(int(wParam));
      break;
    case kTaskbarCreatedMessage:
      events_.OnTaskbarCreated();
      break;
    default:
      break;
  }
  return 0;
}

bool FakeWindow::TrayClick(LParam mouseMessage) {
  if (!tray.added) return false;
  Send(tray.callbackMessage, WParam(tray.id), mouseMessage);
  return true;
}

bool FakeWindow::TrayEvent(std::uint32_t event, Point at) {
  if (!tray.added) return false;
  const WParam point = WParam(std::uint16_t(at.x)) | (WParam(std::uint16_t(at.y)) << 16);
  Send(tray.callbackMessage, point, LParam(event | (tray.id << 16)));
  return true;
}

void FakeWindow::ChangeDpi(int newDpi, const Rect& suggested) {
  if (!LaysOutAgain(spec, layout.dpi, newDpi)) return;
  layout = LayOut(spec, newDpi, os_.text);
  frameLeft = suggested.left;
  frameTop = suggested.top;
}

void FakeWindow::SettingChange(std::uint32_t action, const std::string& area) {
  const std::shared_ptr<bool> alive = alive_;
  LResult ignored = 0;
  if (filter != nullptr &&
      filter->OnMessage(kWmSettingChange, action, reinterpret_cast<LParam>(area.c_str()), ignored)) {
    return;
  }
  if (*alive) events_.OnSettingChange(action, area);
}

// -------------------------------------------------------------- Window

void FakeWindow::Show() {
  shown = true;
  ++showCount;
}

void FakeWindow::BringToFront() {
  Show();
  ++broughtToFront;
}

void FakeWindow::SetSize(int newWidth, int newHeight) {
  width = newWidth;
  height = newHeight;
}

void FakeWindow::SetText(int id, const std::string& text) {
  if (FakeControl* control = Control(id)) control->text = text;
}

std::string FakeWindow::Text(int id) const {
  const FakeControl* control = Control(id);
  return control != nullptr ? control->text : std::string();
}

void FakeWindow::SetVisible(int id, bool visible) {
  if (FakeControl* control = Control(id)) control->visible = visible;
}

bool FakeWindow::IsVisible(int id) const {
  const FakeControl* control = Control(id);
  return control != nullptr && control->visible;  // its own flag, as WS_VISIBLE
}

void FakeWindow::SetForeColour(int id, Colour colour) {
  if (FakeControl* control = Control(id)) control->foreColour = colour;
}

Colour FakeWindow::ForeColour(int id) const {
  const FakeControl* control = Control(id);
  return control != nullptr ? control->foreColour : Colour();
}

void FakeWindow::SetColours(int id, std::optional<Colour> fore, std::optional<Colour> back) {
  FakeControl* control = Control(id);
  if (control == nullptr) return;
  control->foreColour = fore.value_or(DefaultForeColour(control->spec.kind));
  control->backColour = back;
}

void FakeWindow::SetChecked(int id, bool checked) {
  if (FakeControl* control = Control(id)) control->checked = checked;
}

bool FakeWindow::Checked(int id) const {
  const FakeControl* control = Control(id);
  return control != nullptr && control->checked;
}

void FakeWindow::AddItems(int id, const std::vector<std::string>& texts) {
  if (FakeControl* control = Control(id)) control->items.insert(control->items.end(), texts.begin(), texts.end());
}

std::vector<std::string> FakeWindow::Items(int id) const {
  const FakeControl* control = Control(id);
  return control != nullptr ? control->items : std::vector<std::string>();
}

void FakeWindow::StartTimer(int id, std::uint32_t intervalMs) { timers[id] = FakeTimer{intervalMs, true, os_.tickCount}; }

void FakeWindow::StopTimer(int id) {
  auto found = timers.find(id);
  if (found != timers.end()) found->second.running = false;
}

bool FakeWindow::TimerRunning(int id) const {
  auto found = timers.find(id);
  return found != timers.end() && found->second.running;
}

int FakeWindow::PopupMenu(const std::vector<MenuEntry>& entries, MenuEvents* events, const MenuOpening& opening) {
  FakePlatform& os = os_;     // the chooser may destroy this window
  if (os.menuOpen) return 0;  // Windows refuses a second popup menu while one is open
  lastMenu = entries;
  lastMenuOpening = opening;
  submenus.clear();
  entryPictures.clear();
  for (const MenuEntry& entry : entries) entryPictures[entry.id] = entry.picture;
  ++menusShown;
  if (os.menuChoices.empty()) return 0;
  const std::vector<MenuEntry> shownEntries = entries;
  MenuChooser chooser = std::move(os.menuChoices.front());
  os.menuChoices.pop_front();
  os.menuOpen = true;
  menuEvents_ = events;
  menuEnded_ = false;
  const std::shared_ptr<bool> alive = alive_;
  const int chosen = chooser(shownEntries);
  os.menuOpen = false;
  if (!*alive) return 0;
  menuEvents_ = nullptr;
  if (menuEnded_) return 0;
  const auto offered = [chosen](const std::vector<MenuEntry>& menu) {
    return std::any_of(menu.begin(), menu.end(), [chosen](const MenuEntry& entry) {
      return !entry.separator && !entry.grayed && !entry.submenu && entry.id == chosen;
    });
  };
  if (offered(shownEntries)) return chosen;
  for (const auto& [id, submenu] : submenus)
    if (offered(submenu)) return chosen;
  return 0;
}

int FakeWindow::MenuDpi() { return os_.menuDpi; }

void FakeWindow::SetMenuEntryPicture(const MenuPlace& place, MenuPicture picture) {
  if (menuEvents_ == nullptr) return;
  const auto opened = submenus.find(place.submenuOf);
  const std::vector<MenuEntry>* menu =
      place.submenuOf == 0 ? &lastMenu : (opened != submenus.end() ? &opened->second : nullptr);
  if (menu == nullptr || place.position < 0 || static_cast<std::size_t>(place.position) >= menu->size()) {
    ++misplacedPictures;
    return;
  }
  entryPictures[(*menu)[static_cast<std::size_t>(place.position)].id] = picture;
}

std::vector<int> FakeWindow::MenuEntriesOnScreen() {
  if (entriesOnScreen) return *entriesOnScreen;
  std::vector<int> ids;
  const auto add = [&ids](const std::vector<MenuEntry>& menu) {
    for (std::size_t i = 0; i < menu.size() && i < kEntriesOnScreen; ++i) ids.push_back(menu[i].id);
  };
  add(lastMenu);
  for (const auto& [id, submenu] : submenus) add(submenu);
  return ids;
}

bool FakeWindow::ShowItemMenu(const ShellItem& item, int firstId, int lastId) {
  if (menuEvents_ == nullptr) return false;
  itemMenus.push_back({item, firstId, lastId});
  if (itemMenuCommandChosen) menuEnded_ = true;
  return itemMenuCommandChosen;
}

std::vector<MenuEntry> FakeWindow::OpenSubmenu(int entryId) {
  if (menuEvents_ == nullptr) return {};
  auto open = submenus.find(entryId);
  if (open != submenus.end()) return open->second;
  std::vector<MenuEntry> entries = menuEvents_->OnSubmenuOpening(entryId);
  for (const MenuEntry& entry : entries) entryPictures[entry.id] = entry.picture;
  submenus[entryId] = entries;
  return entries;
}

void FakeWindow::RightClick(int entryId) {
  if (menuEvents_ != nullptr) menuEvents_->OnEntryRightClick(entryId);
}

bool FakeWindow::MenuIdle() { return menuEvents_ != nullptr && menuEvents_->OnMenuIdle(); }

int FakeWindow::IdleUntilDone(int slices) {
  int done = 0;
  while (done < slices) {
    ++done;
    if (!MenuIdle()) break;
  }
  return done;
}

bool FakeWindow::AddTrayIcon(std::uint32_t id, std::uint32_t callbackMessage, const std::string& tip) {
  if (os_.trayAddFailures > 0) {
    --os_.trayAddFailures;
    return false;
  }
  if (tray.added) return false;  // the shell refuses to add an icon twice
  tray.added = true;
  tray.id = id;
  tray.callbackMessage = callbackMessage;
  tray.tip = tip;
  return true;
}

bool FakeWindow::RemoveTrayIcon(std::uint32_t id) {
  if (!tray.added || tray.id != id) return false;
  tray.added = false;
  return true;
}

bool FakeWindow::ShowTrayBalloon(std::uint32_t id, const std::string& title, const std::string& text,
                                 BalloonIcon icon) {
  if (!tray.added || tray.id != id) return false;
  tray.balloons.push_back({title, text, icon});
  return true;
}

void FakeWindow::Subclass(MessageFilter& newFilter) {
  if (filter == nullptr) filter = &newFilter;
}

}  // namespace tamberlinox::platform
