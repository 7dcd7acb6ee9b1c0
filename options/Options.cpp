#include "options/Options.h"

#include <optional>

#include "hotkey/KeyCodes.h"

namespace tamberlinox::options {

namespace {

// A value that is 1 or 0; anything else gives the default.
bool ReadSwitch(const settings::Store& store, const char* name, bool defaultValue) {
  const std::optional<std::uint32_t> number = store.ReadNumber(name);
  if (number == 1u) return true;
  if (number == 0u) return false;
  return defaultValue;
}

constexpr std::uint32_t kAllModifiers = hotkey::kModAlt | hotkey::kModControl | hotkey::kModShift;

// A code that is a choice of the list, and modifiers of the three flags.
bool IsMenuKey(std::uint32_t key, std::uint32_t modifiers) {
  return key <= 0xFF && hotkey::KeyName(int(key)) && (modifiers & ~kAllModifiers) == 0;
}

void ReadMenuKey(const settings::Store& store, Options& options) {
  const std::optional<std::uint32_t> key = store.ReadNumber(kMenuKey);
  if (!key || *key == 0) return;
  std::optional<std::uint32_t> modifiers = store.ReadNumber(kMenuModifiers);
  if (!modifiers && !store.Has(kMenuModifiers)) modifiers = 0;
  if (!modifiers || !IsMenuKey(*key, *modifiers)) return;
  options.menuKey = int(*key);
  options.menuModifiers = *modifiers;
}

}  // namespace

Options ReadOptions(const settings::Store& store) {
  Options options;
  options.doubleClick = ReadSwitch(store, kDoubleClick, true);
  const std::optional<std::uint32_t> minutes = store.ReadNumber(kIdleMinutes);
  if (minutes && *minutes >= kMinIdleMinutes && *minutes <= kMaxIdleMinutes) options.idleMinutes = int(*minutes);
  options.folderMenus = ReadSwitch(store, kFolderMenus, false);
  ReadMenuKey(store, options);
  return options;
}

Options InForce(Options stored, const settings::Policies& policies) {
  stored.doubleClick = policies.doubleClick.value_or(stored.doubleClick);
  stored.idleMinutes = policies.idleMinutes.value_or(stored.idleMinutes);
  stored.folderMenus = policies.folderMenus.value_or(stored.folderMenus);
  return stored;
}

bool WriteOptions(const settings::Store& store, const Options& options) {
  const int minutes = options.idleMinutes >= kMinIdleMinutes && options.idleMinutes <= kMaxIdleMinutes
                          ? options.idleMinutes
                          : 0;
  bool written = store.WriteNumber(kDoubleClick, options.doubleClick ? 1 : 0);
  written = store.WriteNumber(kIdleMinutes, std::uint32_t(minutes)) && written;
  written = store.WriteNumber(kFolderMenus, options.folderMenus ? 1 : 0) && written;
  const bool menuKey = options.menuKey >= 0 && IsMenuKey(std::uint32_t(options.menuKey), options.menuModifiers);
  written = store.WriteNumber(kMenuKey, menuKey ? std::uint32_t(options.menuKey) : 0) && written;
  written = store.WriteNumber(kMenuModifiers, menuKey ? options.menuModifiers : 0) && written;
  return written;
}

}  // namespace tamberlinox::options
