// What an administrator sets: values in the policy key, for every user of the
// computer (HKLM) or for one user (HKCU), which Group Policy and the like write
// and an ordinary user cannot. Each value holds one of the user's choices in
// place of the user's own setting (in the program's key or in a portable
// copy's file); the user's setting stays as it is, and is in force again once
// the policy goes.
//
// Every value is a REG_DWORD. The computer's value wins over the user's; a
// value of another type or out of its range counts as not set.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/Platform.h"
#include "settings/Settings.h"

namespace tamberlinox::settings {

inline constexpr char kPolicyKeyPath[] = "Software\\Policies\\Zemrik Software\\Tamberlinox";
inline constexpr char kPolicyKey[] = "Key";              // the hot key's virtual-key code
inline constexpr char kPolicyModifiers[] = "Modifiers";  // 1 Alt, 2 Ctrl, 4 Shift, as the system's hot keys take them
// "DoubleClick", "IdleMinutes" and "FolderMenus" are named as the options are
// (kDoubleClick, kIdleMinutes, kFolderMenus), with the same meaning.

// The line a window shows while a policy holds one of its choices.
inline constexpr char kManagedNotice[] = "Some settings are managed by your organization.";

// The numbers a value may hold, one range a line; a name on several lines may
// hold any number of them. The administrative template in packaging/policies
// offers the same (a test compares them).
struct PolicyRange {
  const char* name;
  std::uint32_t minimum, maximum;
};
inline constexpr PolicyRange kPolicyRanges[] = {
    {"Key", 65, 90},          // A-Z
    {"Key", 112, 123},        // F1-F12
    {"Modifiers", 0, 7},      //
    {"DoubleClick", 0, 1},    //
    {"IdleMinutes", 0, 120},  // 0 = off
    {"FolderMenus", 0, 1},    //
};

// Whether the value may hold this number.
bool PolicyAllows(const char* name, std::uint32_t number);

// The choices the policies hold; nothing where no policy holds one.
struct Policies {
  std::optional<int> key;
  std::optional<std::uint32_t> modifiers;
  std::optional<bool> doubleClick;
  std::optional<int> idleMinutes;
  std::optional<bool> folderMenus;

  bool HoldHotKey() const { return key || modifiers; }
  bool HoldOptions() const { return doubleClick || idleMinutes || folderMenus; }
  friend bool operator==(const Policies&, const Policies&) = default;
};

// Read in the registry's 64-bit view, where Group Policy writes them on
// 64-bit Windows (a 32-bit program would otherwise read its own redirected
// copy of HKLM\Software, which no policy tool fills).
Policies ReadPolicies(platform::Platform& os);

// The hot key in force: what the policies hold, the stored choice for the rest
// (a stored code that is no key means F10).
struct KeyCombination {
  int key = 0;
  std::uint32_t modifiers = 0;
  friend bool operator==(const KeyCombination&, const KeyCombination&) = default;
};
KeyCombination HotKeyInForce(const HotKeySettings& stored, const Policies& policies);

}  // namespace tamberlinox::settings
