// frmHotKeySet: the window in which the user chooses the hot key: one of 38
// keys and any of Shift, Ctrl and Alt. Saving stores the choice and registers
// the new hot key at once; cancelling changes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/LoadableForm.h"

namespace tamberlinox {

struct HotKeyName {
  const char* entry;
  std::int16_t code;  // the Windows virtual-key code
};
// HotKeyKeyName: "A" to "Z" (65 to 90) and "F1" to "F12" (112 to 123).
extern const HotKeyName HotKeyKeyName[38];
// The entry of a code, or nothing when the table has none.
std::optional<std::string> KeyNameOfCode(std::int16_t code);
// The code of an entry (exact, case-sensitive comparison), or nothing.
std::optional<std::int16_t> KeyCodeOfName(const std::string& entry);

class HotKeySetForm : public LoadableForm {
 public:
  enum : int {
    Label1 = 101,
    Label2 = 102,
    CheckBox1 = 103,  // Shift
    CheckBox2 = 104,  // Ctrl
    CheckBox3 = 105,  // Alt
    ComboBox1 = 106,
    Command1 = 107,  // "Cancel"
    Command2 = 108,  // "Save Selection"
  };

  using LoadableForm::LoadableForm;

  void Command1_Click();
  void Command2_Click();

 protected:
  platform::FormSpec Spec() const override;
  void Form_Load() override;

 private:
  void OnClick(int controlId) override;
  void OnCloseBox() override;
};

}  // namespace tamberlinox
