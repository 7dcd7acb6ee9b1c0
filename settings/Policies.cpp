#include "settings/Policies.h"

#include <cstring>

#include "hotkey/KeyCodes.h"

namespace tamberlinox::settings {

namespace {

// The computer's value where it is one the program takes, else the user's.
std::optional<std::uint32_t> ReadPolicy(platform::Platform& os, const char* name) {
  for (const platform::Hive hive : {platform::Hive::LocalMachine, platform::Hive::CurrentUser}) {
    std::optional<std::uint32_t> number;
    os.ReadRegistryNumber64(hive, kPolicyKeyPath, name, number);
    if (number && PolicyAllows(name, *number)) return number;
  }
  return std::nullopt;
}

}  // namespace

bool PolicyAllows(const char* name, std::uint32_t number) {
  for (const PolicyRange& range : kPolicyRanges)
    if (std::strcmp(range.name, name) == 0 && number >= range.minimum && number <= range.maximum) return true;
  return false;
}

Policies ReadPolicies(platform::Platform& os) {
  Policies policies;
  if (const auto key = ReadPolicy(os, kPolicyKey)) policies.key = int(*key);
  policies.modifiers = ReadPolicy(os, kPolicyModifiers);
  if (const auto on = ReadPolicy(os, kDoubleClick)) policies.doubleClick = *on == 1;
  if (const auto minutes = ReadPolicy(os, kIdleMinutes)) policies.idleMinutes = int(*minutes);
  if (const auto on = ReadPolicy(os, kFolderMenus)) policies.folderMenus = *on == 1;
  return policies;
}

KeyCombination HotKeyInForce(const HotKeySettings& stored, const Policies& policies) {
  return {policies.key.value_or(hotkey::KeyToRegister(stored.key)),
          policies.modifiers.value_or(hotkey::ModifierFlags(stored.alt, stored.ctrl, stored.shift))};
}

}  // namespace tamberlinox::settings
