#include "hotkey/HotKeyWindow.h"

#include <optional>
#include <string>
#include <vector>

#include "hotkey/KeyCodes.h"
#include "menu/MenuTheme.h"
#include "platform/ResourceIds.h"
#include "settings/Settings.h"

namespace tamberlinox::hotkey {

using namespace platform;

namespace {

constexpr char kCaption[] = "Zemrik Tamberlinox Program";
constexpr char kTitle[] = "Zemrik HotKey Select";
constexpr char kSaved[] = "Your Hot Key Changes Have Been Saved!";
constexpr char kSavedButTaken[] =
    "Your Hot Key Changes Have Been Saved, But This Key Is Already In Use By Another Program.";
constexpr char kChooseAKey[] = "Please Choose One Of The Keys In The List.";

ControlSpec Control(int id, ControlKind kind, const char* text, Rect bounds, double points = 8.25) {
  ControlSpec control;
  control.id = id;
  control.kind = kind;
  control.text = text;
  control.bounds = bounds;
  control.font = {points, true, false};
  if (kind != ControlKind::Button) control.foreColour = Colour::System(kColorWindowFrame);
  return control;
}

ControlSpec Label(int id, const char* text, Rect bounds) {
  ControlSpec label = Control(id, ControlKind::Label, text, bounds);
  label.align = TextAlign::Centre;
  label.transparent = true;
  return label;
}

// With a line below the buttons while a policy holds a choice.
WindowSpec Layout(const settings::Policies& policies) {
  WindowSpec spec;
  spec.caption = kCaption;
  spec.clientWidth = 300;
  spec.clientHeight = 166;
  spec.frame = Frame::Sizable;
  spec.icon = IDI_FORMS;
  ControlSpec keyList = Control(HotKeyWindow::kKeyList, ControlKind::ComboBox, "", {176, 64, 113, 21});
  keyList.backColour = Colour::System(kColorCaptionText);
  keyList.accessibleName = "Select Your Hot Key";
  ControlSpec cancel = Control(HotKeyWindow::kCancelButton, ControlKind::Button, "Cancel", {16, 128, 113, 33}, 9.75);
  cancel.cancel = true;
  spec.controls = {
      Label(HotKeyWindow::kModifiersLabel, "Select One Or More Modifiers", {8, 8, 89, 49}),
      Label(HotKeyWindow::kKeyLabel, "Select Your Hot Key F10 Is The Default", {176, 8, 129, 57}),
      Control(HotKeyWindow::kShiftBox, ControlKind::CheckBox, "Shift Button", {8, 48, 129, 25}),
      Control(HotKeyWindow::kCtrlBox, ControlKind::CheckBox, "Ctrl Button", {8, 72, 129, 25}),
      Control(HotKeyWindow::kAltBox, ControlKind::CheckBox, "Alt Button", {8, 96, 129, 25}),
      keyList,
      cancel,
      Control(HotKeyWindow::kSaveButton, ControlKind::Button, "Save Selection", {168, 128, 113, 33}),
  };
  for (ControlSpec& control : spec.controls) {
    const int id = control.id;
    if (id == HotKeyWindow::kShiftBox || id == HotKeyWindow::kCtrlBox || id == HotKeyWindow::kAltBox) {
      control.enabled = !policies.modifiers;
    } else if (id == HotKeyWindow::kKeyList) {
      control.enabled = !policies.key;
    } else if (id == HotKeyWindow::kSaveButton) {
      control.enabled = !policies.key || !policies.modifiers;
    }
  }
  if (policies.HoldHotKey()) {
    spec.controls.push_back(Label(HotKeyWindow::kManagedLabel, settings::kManagedNotice, {8, 166, 284, 15}));
    spec.clientHeight += 20;
  }
  return spec;
}

// The function keys first, then the letters.
std::vector<std::string> KeyListEntries() {
  std::vector<std::string> entries;
  for (const SelectableKey& key : kSelectableKeys)
    if (key.name[0] == 'F' && key.name[1] != '\0') entries.push_back(key.name);
  for (const SelectableKey& key : kSelectableKeys)
    if (key.name[1] == '\0') entries.push_back(key.name);
  return entries;
}

}  // namespace

void HotKeyWindow::Show() {
  if (!window_) {
    window_ = os_.OpenWindow(menu::WithContrast(Layout(policies_), os_.HighContrast()), *this);
    if (!window_) return;
    LoadStoredChoice();
  }
  window_->Show();
}

void HotKeyWindow::Close() {
  // Moved out first: whatever runs while the window is destroyed sees it closed.
  std::unique_ptr<Window> closing = std::move(window_);
}

void HotKeyWindow::OnPoliciesChanged() {
  if (!window_) return;
  Close();
  Show();
}

void HotKeyWindow::LoadStoredChoice() {
  settings::HotKeySettings stored = settings::ReadHotKey(store_);
  if (policies_.key) stored.key = std::to_string(*policies_.key);
  if (const std::optional<std::uint32_t> held = policies_.modifiers) {
    stored.alt = (*held & kModAlt) != 0;
    stored.ctrl = (*held & kModControl) != 0;
    stored.shift = (*held & kModShift) != 0;
  }
  // A stored code outside the list, or no whole number at all, shows the empty text.
  std::string shown;
  if (const std::optional<int> code = ParseKeyCode(stored.key)) shown = KeyName(*code).value_or("");
  window_->SetChecked(kCtrlBox, stored.ctrl);
  window_->SetChecked(kShiftBox, stored.shift);
  window_->SetChecked(kAltBox, stored.alt);
  window_->AddItems(kKeyList, KeyListEntries());
  window_->SetText(kKeyList, shown);
}

void HotKeyWindow::OnSave() {
  // Only one of the 38 keys can be saved: anything else would register a key
  // the user never chose. The window stays open for another try.
  const std::optional<int> key = KeyCode(window_->Text(kKeyList));
  if (!key) {
    os_.ShowMessage(kChooseAKey, kTitle, kMbOk | kMbIconInformation);
    return;
  }

  window_->Hide();
  // What a policy holds keeps the user's own setting, for when it goes.
  settings::HotKeySettings saving = settings::ReadHotKey(store_);
  if (!policies_.key) saving.key = std::to_string(*key);
  if (!policies_.modifiers) {
    saving.shift = window_->Checked(kShiftBox);
    saving.ctrl = window_->Checked(kCtrlBox);
    saving.alt = window_->Checked(kAltBox);
  }
  settings::WriteHotKey(store_, saving);
  const settings::KeyCombination inForce = settings::HotKeyInForce(saving, policies_);
  const bool registered = reregister_(inForce.key, inForce.modifiers);
  settings::MarkHotKeySaved(store_);

  if (registered) {
    os_.ShowMessage(kSaved, kTitle, kMbOk | kMbIconInformation);
  } else {
    os_.ShowMessage(kSavedButTaken, kTitle, kMbOk | kMbIconExclamation);
  }
  // The tray works while the notice is up: a "Select Hot Key" meanwhile showed
  // this window again, with what was just saved, and the user keeps it.
  if (window_ && window_->Visible()) return;
  Close();
}

void HotKeyWindow::OnClick(int controlId) {
  if (controlId == kCancelButton) {
    Close();
  } else if (controlId == kSaveButton) {
    OnSave();
  }
}

void HotKeyWindow::OnClose() { Close(); }

void HotKeyWindow::OnSettingChange(std::uint32_t action, const std::string& /*area*/) {
  menu::OnWindowSettingChange(os_, window_.get(), Layout(policies_), action);
}

}  // namespace tamberlinox::hotkey
