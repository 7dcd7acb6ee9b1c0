// The Options window: what the program does besides the hot key. OK stores
// the options and puts them in force at once; Cancel, Esc and the close box
// change nothing. The window exists only while it is open, so each opening
// starts from the stored options, and it is never open twice. An option a
// policy holds shows the policy's value, greyed, and OK leaves the user's own
// setting of it as it is.
#pragma once

#include <functional>
#include <cstdint>
#include <memory>
#include <string>

#include "options/Options.h"
#include "platform/Platform.h"

namespace tamberlinox::options {

class OptionsWindow : private platform::WindowEvents {
 public:
  static constexpr char kCaption[] = "Tamberlinox Options";
  // Control ids. The check boxes of the options that are on or off come
  // first, from kDoubleClickBox on, in the order of the window.
  enum : int {
    kDoubleClickBox = 101,
    kFolderMenusBox = 102,
    kIdleBox = 110,
    kIdleMinutesBox = 111,
    kIdleMinutesLabel = 112,
    kPlaceLabel = 113,  // where the settings are kept
    kMenuKeyLabel = 114,
    kMenuKeyList = 115,  // "None" or one of the hot key's keys
    kMenuShiftBox = 116,
    kMenuCtrlBox = 117,
    kMenuAltBox = 118,
    kOkButton = 120,
    kCancelButton = 121,
    kManagedLabel = 122,  // shown while a policy holds an option
  };
  // The number the box suggests while hide-when-idle is off.
  static constexpr int kSuggestedIdleMinutes = 10;

  // The list's entry for no desktop menu key.
  static constexpr char kNoKey[] = "None";

  // Puts chosen options in force in the running program; false when the
  // desktop menu's key could not be registered (another program holds it).
  using Apply = std::function<bool(const Options& chosen)>;

  OptionsWindow(platform::Platform& os, const settings::Store& store, const settings::Policies& policies, Apply apply)
      : os_(os), store_(store), policies_(policies), apply_(std::move(apply)) {}
  OptionsWindow(const OptionsWindow&) = delete;
  OptionsWindow& operator=(const OptionsWindow&) = delete;

  // Opens the window, or brings the open one to the front.
  void Show();
  // Destroys the window; nothing when it is not open.
  void Close();
  // The policies have changed: an open window opens again with them.
  void OnPoliciesChanged();

  bool IsOpen() const { return window_ != nullptr; }
  platform::Window* window() const { return window_.get(); }

 private:
  void Load();
  void OnOk();
  // The key and modifiers chosen for the desktop menu into chosen; false,
  // with a message, when they cannot be.
  bool ReadMenuKey(Options& chosen);
  void OnClick(int controlId) override;
  void OnClose() override;
  void OnSettingChange(std::uint32_t action, const std::string& area) override;

  platform::Platform& os_;
  const settings::Store& store_;
  const settings::Policies& policies_;
  Apply apply_;
  std::unique_ptr<platform::Window> window_;
};

}  // namespace tamberlinox::options
