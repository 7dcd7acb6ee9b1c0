// The window in which the user chooses the hot key: one of 38 keys and any of
// Shift, Ctrl and Alt. Saving stores the choice and registers the new hot key
// at once; cancelling changes nothing. The window exists only while it is
// open, so every opening starts from the stored settings. A choice a policy
// holds shows the policy's value, greyed, and saving leaves the user's own
// setting of it as it is; with the key and the modifiers both held the
// window only shows them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "settings/Policies.h"
#include "settings/Settings.h"

namespace tamberlinox::hotkey {

class HotKeyWindow : private platform::WindowEvents {
 public:
  // Control ids.
  enum : int {
    kModifiersLabel = 101,
    kKeyLabel = 102,
    kShiftBox = 103,
    kCtrlBox = 104,
    kAltBox = 105,
    kKeyList = 106,
    kCancelButton = 107,
    kSaveButton = 108,
    kManagedLabel = 109,  // shown while a policy holds the key or the modifiers
  };

  // Registers the chosen key with its modifier flags in place of the current
  // hot key; false when the system refused it.
  using Reregister = std::function<bool(int key, std::uint32_t modifiers)>;

  HotKeyWindow(platform::Platform& os, const settings::Store& store, const settings::Policies& policies,
               Reregister reregister)
      : os_(os), store_(store), policies_(policies), reregister_(std::move(reregister)) {}
  HotKeyWindow(const HotKeyWindow&) = delete;
  HotKeyWindow& operator=(const HotKeyWindow&) = delete;

  // "Select Hot Key": opens the window, or shows it again as it is.
  void Show();
  // Destroys the window; nothing when it is not open.
  void Close();
  // The policies have changed: an open window opens again with them.
  void OnPoliciesChanged();

  bool IsOpen() const { return window_ != nullptr; }
  platform::Window* window() const { return window_.get(); }

 private:
  void LoadStoredChoice();
  void OnSave();
  void OnClick(int controlId) override;
  void OnClose() override;
  void OnSettingChange(std::uint32_t action, const std::string& area) override;

  platform::Platform& os_;
  const settings::Store& store_;
  const settings::Policies& policies_;
  Reregister reregister_;
  std::unique_ptr<platform::Window> window_;
};

}  // namespace tamberlinox::hotkey
