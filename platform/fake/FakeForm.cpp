#include "platform/fake/FakeForm.h"

#include "platform/fake/FakePlatform.h"

namespace tamberlinox::platform {

namespace {
constexpr int kColorWindowText = 8;  // COLOR_WINDOWTEXT: a control's text colour unless set
}

FakeForm::FakeForm(FakePlatform& os, const FormSpec& spec, FormEvents& events, WindowHandle handle,
                   WndProcAddr classProc)
    : os_(os),
      spec_(spec),
      events_(events),
      handle_(handle),
      classProc_(classProc),
      iconHandle_(spec.icon ? 0x00A10000u + std::uintptr_t(spec.icon) : 0),  // one handle per icon resource
      width_(spec.clientWidth),
      height_(spec.clientHeight) {
  for (const ControlSpec& controlSpec : spec.controls) {
    if (controls_.count(controlSpec.id)) {
      os_.faults_.Add("form \"" + spec.caption + "\" declares control " + std::to_string(controlSpec.id) + " twice");
      continue;
    }
    Control& control = controls_[controlSpec.id];
    control.spec = controlSpec;
    control.handle = os_.NewWindowHandle();
    control.text = controlSpec.text;
    control.visible = controlSpec.visible;
    control.foreColour = controlSpec.hasForeColour ? controlSpec.foreColour : Colour::System(kColorWindowText);
  }
  for (const TimerSpec& timerSpec : spec.timers) {
    if (timers_.count(timerSpec.id)) {
      os_.faults_.Add("form \"" + spec.caption + "\" declares timer " + std::to_string(timerSpec.id) + " twice");
      continue;
    }
    timers_[timerSpec.id] = Timer{timerSpec.intervalMs, false};
  }
  if (spec.hasPopupMenu) menu_[0] = "";
}

FakeForm::~FakeForm() { os_.FormDestroyed(*this); }

FakeForm::Control* FakeForm::Find(int id, const char* operation) {
  auto control = controls_.find(id);
  if (control != controls_.end()) return &control->second;
  os_.faults_.Add(std::string(operation) + " of control " + std::to_string(id) + ", which form \"" + Caption() +
                  "\" does not have");
  return nullptr;
}

const FakeForm::Control* FakeForm::Find(int id, const char* operation) const {
  return const_cast<FakeForm*>(this)->Find(id, operation);
}

// ------------------------------------------------------------------ the form

void FakeForm::Show() {
  os_.windows_.at(handle_).visible = true;
  ++showCount_;
}

void FakeForm::Hide() { os_.windows_.at(handle_).visible = false; }

bool FakeForm::Visible() const { return os_.windows_.at(handle_).visible; }

void FakeForm::SetCaption(const std::string& caption) { os_.windows_.at(handle_).title = caption; }

std::string FakeForm::Caption() const { return os_.windows_.at(handle_).title; }

void FakeForm::SetSize(int widthTwips, int heightTwips) {
  width_ = widthTwips;
  height_ = heightTwips;
}

// ------------------------------------------------------------------ controls

void FakeForm::SetText(int id, const std::string& text) {
  if (Control* control = Find(id, "SetText")) control->text = text;
}

std::string FakeForm::Text(int id) const {
  const Control* control = Find(id, "Text");
  return control ? control->text : std::string();
}

void FakeForm::SetVisible(int id, bool visible) {
  if (Control* control = Find(id, "SetVisible")) control->visible = visible;
}

bool FakeForm::IsVisible(int id) const {
  const Control* control = Find(id, "IsVisible");
  return control && control->visible;
}

void FakeForm::SetForeColour(int id, Colour colour) {
  if (Control* control = Find(id, "SetForeColour")) control->foreColour = colour;
}

Colour FakeForm::ForeColour(int id) const {
  const Control* control = Find(id, "ForeColour");
  return control ? control->foreColour : Colour{};
}

void FakeForm::SetCheck(int id, int value) {
  if (Control* control = Find(id, "SetCheck")) control->check = value;
}

int FakeForm::Check(int id) const {
  const Control* control = Find(id, "Check");
  return control ? control->check : 0;
}

void FakeForm::AddItem(int id, const std::string& text) { AddItems(id, {text}); }

void FakeForm::AddItems(int id, const std::vector<std::string>& texts) {
  Control* control = Find(id, "AddItem");
  if (!control) return;
  if (control->spec.kind != ControlKind::ListBox && control->spec.kind != ControlKind::ComboBox) {
    os_.faults_.Add("AddItem to control " + std::to_string(id) + ", which holds no items");
    return;
  }
  control->items.insert(control->items.end(), texts.begin(), texts.end());
}

void FakeForm::ClearItems(int id) {
  if (Control* control = Find(id, "ClearItems")) control->items.clear();
}

int FakeForm::ItemCount(int id) const {
  const Control* control = Find(id, "ItemCount");
  return control ? int(control->items.size()) : 0;
}

std::string FakeForm::Item(int id, int index) const {
  const Control* control = Find(id, "Item");
  if (!control || index < 0 || std::size_t(index) >= control->items.size()) return {};
  return control->items[std::size_t(index)];
}

const ControlSpec* FakeForm::ControlSpecOf(int id) const {
  auto control = controls_.find(id);
  return control == controls_.end() ? nullptr : &control->second.spec;
}

WindowHandle FakeForm::ControlHandle(int id) const {
  auto control = controls_.find(id);
  return control == controls_.end() ? 0 : control->second.handle;
}

std::vector<std::string> FakeForm::Items(int id) const {
  auto control = controls_.find(id);
  return control == controls_.end() ? std::vector<std::string>{} : control->second.items;
}

// -------------------------------------------------------------------- timers

void FakeForm::EnableTimer(int id, bool enabled) {
  auto timer = timers_.find(id);
  if (timer == timers_.end()) {
    os_.faults_.Add("EnableTimer of timer " + std::to_string(id) + ", which form \"" + Caption() + "\" does not have");
    return;
  }
  timer->second.enabled = enabled;
}

bool FakeForm::TimerEnabled(int id) const {
  auto timer = timers_.find(id);
  if (timer == timers_.end()) {
    os_.faults_.Add("TimerEnabled of timer " + std::to_string(id) + ", which form \"" + Caption() +
                    "\" does not have");
    return false;
  }
  return timer->second.enabled;
}

std::uint32_t FakeForm::TimerInterval(int id) const {
  auto timer = timers_.find(id);
  return timer == timers_.end() ? 0 : timer->second.intervalMs;
}

// ---------------------------------------------------------------- popup menu

int FakeForm::MenuCount() const {
  if (!spec_.hasPopupMenu) os_.faults_.Add("MenuCount on form \"" + Caption() + "\", which has no popup menu");
  return int(menu_.size());
}

bool FakeForm::MenuLoad(int index) {
  if (!spec_.hasPopupMenu) {
    os_.faults_.Add("MenuLoad on form \"" + Caption() + "\", which has no popup menu");
    return false;
  }
  if (index < 0 || menu_.count(index) || index > menu_.rbegin()->first + 1) return false;
  menu_[index] = "";
  return true;
}

bool FakeForm::MenuUnload(int index) { return index != 0 && menu_.erase(index) == 1; }

void FakeForm::MenuSetCaption(int index, const std::string& caption) {
  auto element = menu_.find(index);
  if (element == menu_.end()) {
    os_.faults_.Add("MenuSetCaption of element " + std::to_string(index) + ", which is not loaded");
    return;
  }
  element->second = caption;
}

std::string FakeForm::MenuCaption(int index) const {
  auto element = menu_.find(index);
  if (element == menu_.end()) {
    os_.faults_.Add("MenuCaption of element " + std::to_string(index) + ", which is not loaded");
    return {};
  }
  return element->second;
}

std::vector<int> FakeForm::MenuIndices() const {
  std::vector<int> indices;
  for (const auto& [index, caption] : menu_) indices.push_back(index);
  return indices;
}

std::vector<std::string> FakeForm::MenuCaptions() const {
  std::vector<std::string> captions;
  for (const auto& [index, caption] : menu_) captions.push_back(caption);
  return captions;
}

void FakeForm::PopupMenu() {
  if (!spec_.hasPopupMenu) {
    os_.faults_.Add("PopupMenu on form \"" + Caption() + "\", which has no popup menu");
    return;
  }
  // Everything the rest needs is copied out first: while the menu is open the
  // chooser may drive the fake, and the command may unload this very form.
  FakePlatform& os = os_;
  const WindowHandle window = handle_;
  const std::vector<int> indices = MenuIndices();
  const std::vector<std::string> captions = MenuCaptions();

  const std::size_t record = os.popups_.size();
  os.popups_.push_back(PopupRecord{window, captions, os.popupDepth_ + 1, -1});
  ++os.popupDepth_;
  PopupChooser chooser = os.popupChooser_;
  int chosen = chooser ? chooser(captions) : -1;
  --os.popupDepth_;

  // A separator cannot be chosen.
  if (chosen < 0 || std::size_t(chosen) >= captions.size() || captions[std::size_t(chosen)] == "-") chosen = -1;
  os.popups_[record].chosen = chosen;
  if (chosen >= 0)
    os.SendMessage(window, kWmCommand, FakePlatform::MenuCommandId(indices[std::size_t(chosen)]), 0);
}

}  // namespace tamberlinox::platform
