#include "options/Options.h"

#include <optional>
#include <vector>

#include "settings/Settings.h"

namespace tamberlinox::options {

using platform::Hive;

namespace {

std::optional<std::uint32_t> ReadNumber(platform::Platform& os, const char* name) {
  std::optional<std::uint32_t> number;
  os.ReadRegistryNumber(Hive::CurrentUser, settings::kKeyPath, name, number);
  return number;
}

// A value that is 1 or 0; anything else gives the default.
bool ReadSwitch(platform::Platform& os, const char* name, bool defaultValue) {
  const std::optional<std::uint32_t> number = ReadNumber(os, name);
  if (number == 1u) return true;
  if (number == 0u) return false;
  return defaultValue;
}

bool WriteNumber(platform::Platform& os, const char* name, std::uint32_t number) {
  const std::vector<std::uint8_t> data{std::uint8_t(number), std::uint8_t(number >> 8), std::uint8_t(number >> 16),
                                       std::uint8_t(number >> 24)};
  return os.WriteRegistryBytes(Hive::CurrentUser, settings::kKeyPath, name, platform::kRegDword, data) ==
         platform::kErrorSuccess;
}

}  // namespace

Options ReadOptions(platform::Platform& os) {
  Options options;
  options.doubleClick = ReadSwitch(os, kDoubleClick, true);
  const std::optional<std::uint32_t> minutes = ReadNumber(os, kIdleMinutes);
  if (minutes && *minutes >= kMinIdleMinutes && *minutes <= kMaxIdleMinutes) options.idleMinutes = int(*minutes);
  options.folderMenus = ReadSwitch(os, kFolderMenus, false);
  return options;
}

bool WriteOptions(platform::Platform& os, const Options& options) {
  const int minutes = options.idleMinutes >= kMinIdleMinutes && options.idleMinutes <= kMaxIdleMinutes
                          ? options.idleMinutes
                          : 0;
  bool written = WriteNumber(os, kDoubleClick, options.doubleClick ? 1 : 0);
  written = WriteNumber(os, kIdleMinutes, std::uint32_t(minutes)) && written;
  written = WriteNumber(os, kFolderMenus, options.folderMenus ? 1 : 0) && written;
  return written;
}

}  // namespace tamberlinox::options
