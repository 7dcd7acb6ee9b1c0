#include "options/OptionsWindow.h"

#include <optional>
#include <string>
#include <vector>

#include "hotkey/KeyCodes.h"
#include "menu/MenuTheme.h"
#include "platform/ResourceIds.h"

namespace tamberlinox::options {

using namespace platform;

namespace {

constexpr char kMinutesOutOfRange[] = "Please enter a number of minutes from 1 to 120.";
constexpr char kChooseAMenuKey[] = "Please choose one of the keys in the list for the desktop menu, or None.";
constexpr char kMenuKeyIsHotKey[] =
    " shows and hides the icons already. Please choose another key for the desktop menu.";
constexpr char kMenuKeyTaken[] =
    " is in use by another program, so it does not open the desktop menu. Please choose another.";
constexpr char kPlaceText[] = "Settings are kept in ";
constexpr char kNotSaved[] =
    "Your options are in force until Tamberlinox ends, but they could not be saved for the next time.";

// The options that are on or off, a check box each, top to bottom.
struct Switch {
  int id;
  const char* caption;
  bool Options::*value;
  std::optional<bool> settings::Policies::*policy;
};
constexpr Switch kSwitches[] = {
    {OptionsWindow::kDoubleClickBox, "&Double-click the desktop to show or hide the icons", &Options::doubleClick,
     &settings::Policies::doubleClick},
    {OptionsWindow::kFolderMenusBox, "Show desktop &folders as submenus", &Options::folderMenus,
     &settings::Policies::folderMenus},
};

// Pixels at 96 dpi.
constexpr int kMargin = 12;
constexpr int kClientWidth = 352;
constexpr int kRowHeight = 23;
constexpr int kBoxHeight = 19;
constexpr int kPlaceLineHeight = 15;
constexpr int kButtonWidth = 75, kButtonHeight = 23, kButtonGap = 8;
constexpr int kOkLeft = kClientWidth - kMargin - 2 * kButtonWidth - kButtonGap;
constexpr int kCancelLeft = kClientWidth - kMargin - kButtonWidth;

void Add(WindowSpec& spec, int id, ControlKind kind, const char* text, Rect bounds) {
  ControlSpec& control = spec.controls.emplace_back();
  control.id = id;
  control.kind = kind;
  control.text = text;
  control.bounds = bounds;
}

// The switches, then the idle row below them, the line on policies while
// one holds an option, where the settings are kept, then OK and Cancel; the
// tab order is the same. What a policy holds is greyed.
WindowSpec Layout(const std::string& place, const settings::Policies& policies) {
  WindowSpec spec;
  spec.caption = OptionsWindow::kCaption;
  spec.frame = Frame::Fixed;
  spec.icon = IDI_FORMS;
  spec.clientWidth = kClientWidth;
  int top = kMargin;
  for (const Switch& option : kSwitches) {
    Add(spec, option.id, ControlKind::CheckBox, option.caption, {kMargin, top, kClientWidth - 2 * kMargin, kBoxHeight});
    spec.controls.back().enabled = !(policies.*option.policy);
    top += kRowHeight;
  }
  Add(spec, OptionsWindow::kIdleBox, ControlKind::CheckBox, "&Hide the icons after", {kMargin, top, 140, kBoxHeight});
  Add(spec, OptionsWindow::kIdleMinutesBox, ControlKind::NumberBox, "", {156, top - 1, 48, 21});
  spec.controls.back().minimum = kMinIdleMinutes;
  spec.controls.back().maximum = kMaxIdleMinutes;
  spec.controls.back().accessibleName = "Minutes without input before the icons hide";
  Add(spec, OptionsWindow::kIdleMinutesLabel, ControlKind::Label, "minutes without input", {210, top + 3, 130, 15});
  for (ControlSpec& control : spec.controls)  // the row's box, number and label
    if (control.id >= OptionsWindow::kIdleBox && control.id <= OptionsWindow::kIdleMinutesLabel)
      control.enabled = !policies.idleMinutes;
  top += kRowHeight;
  Add(spec, OptionsWindow::kMenuKeyLabel, ControlKind::Label, "Desktop &menu key:", {kMargin, top + 3, 100, 15});
  Add(spec, OptionsWindow::kMenuKeyList, ControlKind::ComboBox, "", {116, top - 1, 64, 21});
  spec.controls.back().accessibleName = "Desktop menu key";
  Add(spec, OptionsWindow::kMenuShiftBox, ControlKind::CheckBox, "&Shift", {190, top, 50, kBoxHeight});
  Add(spec, OptionsWindow::kMenuCtrlBox, ControlKind::CheckBox, "&Ctrl", {244, top, 46, kBoxHeight});
  Add(spec, OptionsWindow::kMenuAltBox, ControlKind::CheckBox, "&Alt", {294, top, 46, kBoxHeight});
  top += kRowHeight + 8;
  if (policies.HoldOptions()) {
    Add(spec, OptionsWindow::kManagedLabel, ControlKind::Label, settings::kManagedNotice,
        {kMargin, top, kClientWidth - 2 * kMargin, kPlaceLineHeight});
    top += kPlaceLineHeight + 6;
  }
  // Two lines' room: a long path wraps at its backslashes' words.
  const std::string placeText = kPlaceText + place + ".";
  Add(spec, OptionsWindow::kPlaceLabel, ControlKind::Label, placeText.c_str(),
      {kMargin, top, kClientWidth - 2 * kMargin, 2 * kPlaceLineHeight});
  top += 2 * kPlaceLineHeight + 8;
  Add(spec, OptionsWindow::kOkButton, ControlKind::Button, "OK", {kOkLeft, top, kButtonWidth, kButtonHeight});
  spec.controls.back().defaultButton = true;
  Add(spec, OptionsWindow::kCancelButton, ControlKind::Button, "Cancel", {kCancelLeft, top, kButtonWidth, kButtonHeight});
  spec.controls.back().cancel = true;
  spec.clientHeight = top + kButtonHeight + kMargin;
  return spec;
}

// "None", the function keys, then the letters: the hot key window's order.
std::vector<std::string> MenuKeyEntries() {
  std::vector<std::string> entries{OptionsWindow::kNoKey};
  for (const hotkey::SelectableKey& key : hotkey::kSelectableKeys)
    if (key.name[0] == 'F' && key.name[1] != '\0') entries.push_back(key.name);
  for (const hotkey::SelectableKey& key : hotkey::kSelectableKeys)
    if (key.name[1] == '\0') entries.push_back(key.name);
  return entries;
}

// A whole number of minutes as typed: digits only, blanks around them allowed.
std::optional<int> ParseMinutes(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  const std::size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos || last - first >= 3) return std::nullopt;
  int minutes = 0;
  for (std::size_t i = first; i <= last; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    minutes = minutes * 10 + (text[i] - '0');
  }
  if (minutes < kMinIdleMinutes || minutes > kMaxIdleMinutes) return std::nullopt;
  return minutes;
}

}  // namespace

void OptionsWindow::Show() {
  if (!window_) {
    window_ = os_.OpenWindow(menu::WithContrast(Layout(store_.Location(), policies_), os_.HighContrast()), *this);
    if (!window_) return;
    Load();
  }
  window_->BringToFront();
}

void OptionsWindow::Close() {
  // Moved out first: whatever runs while the window is destroyed sees it closed.
  std::unique_ptr<Window> closing = std::move(window_);
}

void OptionsWindow::OnPoliciesChanged() {
  if (!window_) return;
  Close();
  Show();
}

void OptionsWindow::Load() {
  const Options stored = InForce(ReadOptions(store_), policies_);
  for (const Switch& option : kSwitches) window_->SetChecked(option.id, stored.*option.value);
  window_->SetChecked(kIdleBox, stored.idleMinutes != 0);
  const int minutes = stored.idleMinutes != 0 ? stored.idleMinutes : kSuggestedIdleMinutes;
  window_->SetText(kIdleMinutesBox, std::to_string(minutes));
  window_->AddItems(kMenuKeyList, MenuKeyEntries());
  window_->SetText(kMenuKeyList, stored.menuKey != 0 ? *hotkey::KeyName(stored.menuKey) : kNoKey);
  window_->SetChecked(kMenuShiftBox, (stored.menuModifiers & hotkey::kModShift) != 0);
  window_->SetChecked(kMenuCtrlBox, (stored.menuModifiers & hotkey::kModControl) != 0);
  window_->SetChecked(kMenuAltBox, (stored.menuModifiers & hotkey::kModAlt) != 0);
}

bool OptionsWindow::ReadMenuKey(Options& chosen) {
  const std::string name = window_->Text(kMenuKeyList);
  chosen.menuKey = 0;
  chosen.menuModifiers = 0;
  if (name.empty() || name == kNoKey) return true;
  const std::optional<int> key = hotkey::KeyCode(name);
  if (!key) {
    os_.ShowMessage(kChooseAMenuKey, kCaption, kMbOk | kMbIconExclamation);
    return false;
  }
  const std::uint32_t modifiers = hotkey::ModifierFlags(window_->Checked(kMenuAltBox), window_->Checked(kMenuCtrlBox),
                                                        window_->Checked(kMenuShiftBox));
  // The hot key as it is registered.
  const settings::KeyCombination hotKey = settings::HotKeyInForce(settings::ReadHotKey(store_), policies_);
  if (*key == hotKey.key && modifiers == hotKey.modifiers) {
    os_.ShowMessage("The hot key " + hotkey::Describe(*key, modifiers) + kMenuKeyIsHotKey, kCaption,
                    kMbOk | kMbIconExclamation);
    return false;
  }
  chosen.menuKey = *key;
  chosen.menuModifiers = modifiers;
  return true;
}

void OptionsWindow::OnOk() {
  // What the window does not show, and what a policy holds, stays as it is
  // stored: the user's own setting, for when the policy goes.
  Options chosen = ReadOptions(store_);
  for (const Switch& option : kSwitches)
    if (!(policies_.*option.policy)) chosen.*option.value = window_->Checked(option.id);
  if (!policies_.idleMinutes) chosen.idleMinutes = 0;
  if (!policies_.idleMinutes && window_->Checked(kIdleBox)) {
    const std::optional<int> minutes = ParseMinutes(window_->Text(kIdleMinutesBox));
    if (!minutes) {
      // The window stays open for another try.
      os_.ShowMessage(kMinutesOutOfRange, kCaption, kMbOk | kMbIconExclamation);
      return;
    }
    chosen.idleMinutes = *minutes;
  }
  // The window stays open for another try.
  if (!ReadMenuKey(chosen)) return;
  window_->Hide();
  const bool saved = WriteOptions(store_, chosen);
  const bool menuKeyInForce = apply_(InForce(chosen, policies_));
  if (!menuKeyInForce) {
    os_.ShowMessage("The key " + hotkey::Describe(chosen.menuKey, chosen.menuModifiers) + kMenuKeyTaken, kCaption,
                    kMbOk | kMbIconExclamation);
  }
  if (!saved) os_.ShowMessage(kNotSaved, kCaption, kMbOk | kMbIconExclamation);
  // The tray works while a notice is up: an Options opened meanwhile stays.
  if ((!saved || !menuKeyInForce) && window_ && window_->Visible()) return;
  Close();
}

void OptionsWindow::OnClick(int controlId) {
  if (controlId == kOkButton) {
    OnOk();
  } else if (controlId == kCancelButton) {
    Close();
  }
}

void OptionsWindow::OnClose() { Close(); }

void OptionsWindow::OnSettingChange(std::uint32_t action, const std::string& /*area*/) {
  menu::OnWindowSettingChange(os_, window_.get(), Layout(store_.Location(), policies_), action);
}

}  // namespace tamberlinox::options
