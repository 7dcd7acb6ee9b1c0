#include "hotkey/frmHotKeySet.h"

#include <memory>

#include "app/Program.h"
#include "hotkey/BasModule.h"
#include "platform/ResourceIds.h"
#include "settings/Settings.h"
#include "settings/modRegistry.h"

namespace tamberlinox {

using namespace platform;
namespace s = settings;

const HotKeyName HotKeyKeyName[38] = {
    {"A", 65},   {"B", 66},   {"C", 67},   {"D", 68},   {"E", 69},   {"F", 70},   {"G", 71},   {"H", 72},
    {"I", 73},   {"J", 74},   {"K", 75},   {"L", 76},   {"M", 77},   {"N", 78},   {"O", 79},   {"P", 80},
    {"Q", 81},   {"R", 82},   {"S", 83},   {"T", 84},   {"U", 85},   {"V", 86},   {"W", 87},   {"X", 88},
    {"Y", 89},   {"Z", 90},   {"F1", 112}, {"F2", 113}, {"F3", 114}, {"F4", 115}, {"F5", 116}, {"F6", 117},
    {"F7", 118}, {"F8", 119}, {"F9", 120}, {"F10", 121}, {"F11", 122}, {"F12", 123},
};

std::optional<std::string> KeyNameOfCode(std::int16_t code) {
  for (const HotKeyName& key : HotKeyKeyName) {
    if (key.code == code) return std::string(key.entry);
  }
  return std::nullopt;
}

std::optional<std::int16_t> KeyCodeOfName(const std::string& entry) {
  for (const HotKeyName& key : HotKeyKeyName) {
    if (entry == key.entry) return key.code;
  }
  return std::nullopt;
}

namespace {

constexpr char kCaption[] = "Zemrik Tamberlinox Program";
constexpr char kTitle[] = "Zemrik HotKey Select";
constexpr char kSaved[] = "Your Hot Key Changes Have Been Saved!";
constexpr char kSavedButTaken[] =
    "Your Hot Key Changes Have Been Saved, But This Key Is Already In Use By Another Program.";
constexpr char kChooseAKey[] = "Please Choose One Of The Keys In The List.";

ControlSpec Control(int id, ControlKind kind, const char* text, TwipsRect bounds, double points = 8.25) {
  ControlSpec control;
  control.id = id;
  control.kind = kind;
  control.text = text;
  control.bounds = bounds;
  control.font.points = points;
  control.font.bold = true;
  if (kind != ControlKind::Button) {
    control.hasForeColour = true;
    control.foreColour = Colour::System(kColorWindowFrame);
  }
  return control;
}

ControlSpec Label(int id, const char* text, TwipsRect bounds) {
  ControlSpec label = Control(id, ControlKind::Label, text, bounds);
  label.align = TextAlign::Centre;
  label.transparent = true;
  return label;
}

std::string ReadSetting(Platform& os, const char* name) {
  std::string text;
  modRegistry::ReadValue(os, s::kRoot, s::kKeyPath, name, s::kTypeText, "", text);
  return text;
}

void WriteSetting(Platform& os, const char* name, const std::string& text) {
  modRegistry::WriteValue(os, s::kRoot, s::kKeyPath, name, s::kTypeText, text);
}

}  // namespace

FormSpec HotKeySetForm::Spec() const {
  FormSpec spec;
  spec.caption = kCaption;
  spec.clientWidth = 4500;
  spec.clientHeight = 2490;
  spec.frame = FormFrame::Sizable;
  spec.icon = IDI_FORMS;
  ControlSpec combo = Control(ComboBox1, ControlKind::ComboBox, "", {2640, 960, 1695, 315});
  combo.hasBackColour = true;
  combo.backColour = Colour::System(kColorCaptionText);
  ControlSpec cancel = Control(Command1, ControlKind::Button, "Cancel", {240, 1920, 1695, 495}, 9.75);
  cancel.cancel = true;
  spec.controls = {
      Label(Label1, "Select One Or More Modifiers", {120, 120, 1335, 735}),
      Label(Label2, "Select Your Hot Key F10 Is The Default", {2640, 120, 1935, 855}),
      Control(CheckBox1, ControlKind::CheckBox, "Shift Button", {120, 720, 1935, 375}),
      Control(CheckBox2, ControlKind::CheckBox, "Ctrl Button", {120, 1080, 1935, 375}),
      Control(CheckBox3, ControlKind::CheckBox, "Alt Button", {120, 1440, 1935, 375}),
      combo,
      cancel,
      Control(Command2, ControlKind::Button, "Save Selection", {2520, 1920, 1695, 495}),
  };
  return spec;
}

void HotKeySetForm::Form_Load() {
  Platform& os = program_.os;
  Form& window = *form();

  // A stored code outside the table, or no whole number at all, shows the empty text.
  std::string shown;
  std::int16_t code = 0;
  if (BasModule::ParseKeyCode(ReadSetting(os, s::kKey), code)) shown = KeyNameOfCode(code).value_or("");

  const std::string alt = ReadSetting(os, s::kAlt);
  const std::string shift = ReadSetting(os, s::kShift);
  const std::string ctrl = ReadSetting(os, s::kCtrl);
  if (!ctrl.empty()) window.SetCheck(CheckBox2, 1);
  if (!shift.empty()) window.SetCheck(CheckBox1, 1);
  if (!alt.empty()) window.SetCheck(CheckBox3, 1);

  // The function keys first, then the letters.
  for (int i = 26; i < 38; ++i) window.AddItem(ComboBox1, HotKeyKeyName[i].entry);
  for (int i = 0; i < 26; ++i) window.AddItem(ComboBox1, HotKeyKeyName[i].entry);

  window.SetText(ComboBox1, shown);
}

void HotKeySetForm::Command2_Click() {
  Platform& os = program_.os;
  Form& window = *form();

  // Only one of the 38 keys can be saved: anything else would register a key
  // the user never chose. The dialog stays open for another try.
  const std::optional<std::int16_t> chosen = KeyCodeOfName(window.Text(ComboBox1));
  if (!chosen) {
    os.MessageBoxA(0, kChooseAKey, kTitle, kMbOk | kMbIconInformation);
    return;
  }

  window.Hide();
  program_.SelectedKeyCode = *chosen;
  const bool shift = window.Check(CheckBox1) == 1;
  const bool ctrl = window.Check(CheckBox2) == 1;
  const bool alt = window.Check(CheckBox3) == 1;

  WriteSetting(os, s::kKey, std::to_string(program_.SelectedKeyCode));
  WriteSetting(os, s::kShift, shift ? s::kShiftOn : "");
  WriteSetting(os, s::kCtrl, ctrl ? s::kCtrlOn : "");
  WriteSetting(os, s::kAlt, alt ? s::kAltOn : "");

  const WindowHandle mainWindow = program_.frmTamberlinox.Handle();
  os.UnregisterHotKey(mainWindow, program_.GlobalAtom ? program_.GlobalAtom->Value() : 0);
  program_.HotKeyModifiers = BasModule::ModifierFlags(alt, ctrl, shift);
  BasModule::UnhookWindow(program_, mainWindow);
  // The new atom is added before the old one is deleted: made within the same
  // second they share their text, and the table's count keeps the atom alive.
  program_.GlobalAtom = std::make_unique<CGlobalAtom>(os);
  const bool registered = os.RegisterHotKey(mainWindow, program_.GlobalAtom->Value(),
                                            static_cast<std::uint32_t>(program_.HotKeyModifiers),
                                            program_.SelectedKeyCode);
  WriteSetting(os, s::kF10, s::kF10Written);
  BasModule::HookWindow(program_, mainWindow);

  if (registered) {
    os.MessageBoxA(0, kSaved, kTitle, kMbOk | kMbIconInformation);
  } else {
    os.MessageBoxA(0, kSavedButTaken, kTitle, kMbOk | kMbIconExclamation);
  }
  // The tray works while the notice is up: a "Select Hot Key" meanwhile showed
  // this dialog again, with what was just saved, and the user keeps it.
  if (form() && form()->Visible()) return;
  Unload();
}

void HotKeySetForm::Command1_Click() { Unload(); }

void HotKeySetForm::OnClick(int controlId) {
  if (controlId == Command1) {
    Command1_Click();
  } else if (controlId == Command2) {
    Command2_Click();
  }
}

void HotKeySetForm::OnCloseBox() { Command1_Click(); }

}  // namespace tamberlinox
