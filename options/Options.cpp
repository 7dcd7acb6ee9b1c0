#include "options/Options.h"

#include <optional>

namespace tamberlinox::options {

namespace {

// A value that is 1 or 0; anything else gives the default.
bool ReadSwitch(const settings::Store& store, const char* name, bool defaultValue) {
  const std::optional<std::uint32_t> number = store.ReadNumber(name);
  if (number == 1u) return true;
  if (number == 0u) return false;
  return defaultValue;
}

}  // namespace

Options ReadOptions(const settings::Store& store) {
  Options options;
  options.doubleClick = ReadSwitch(store, kDoubleClick, true);
  const std::optional<std::uint32_t> minutes = store.ReadNumber(kIdleMinutes);
  if (minutes && *minutes >= kMinIdleMinutes && *minutes <= kMaxIdleMinutes) options.idleMinutes = int(*minutes);
  options.folderMenus = ReadSwitch(store, kFolderMenus, false);
  return options;
}

bool WriteOptions(const settings::Store& store, const Options& options) {
  const int minutes = options.idleMinutes >= kMinIdleMinutes && options.idleMinutes <= kMaxIdleMinutes
                          ? options.idleMinutes
                          : 0;
  bool written = store.WriteNumber(kDoubleClick, options.doubleClick ? 1 : 0);
  written = store.WriteNumber(kIdleMinutes, std::uint32_t(minutes)) && written;
  written = store.WriteNumber(kFolderMenus, options.folderMenus ? 1 : 0) && written;
  return written;
}

}  // namespace tamberlinox::options
