#include "settings/Settings.h"

#include <vector>

#include "hotkey/KeyCodes.h"

namespace tamberlinox::settings {

namespace {

constexpr char kUserHiveName[] = "HKEY_CURRENT_USER\\";
// Every value the program keeps, for emptying a portable copy's file.
constexpr const char* kAllValues[] = {kKey,         kShift,       kCtrl,    kAlt,          kSaved,
                                     kDoubleClick, kIdleMinutes, kFolderMenus, kMenuKey, kMenuModifiers};

void ReadModifiers(const Store& store, HotKeySettings& hotKey) {
  hotKey.shift = !store.ReadText(kShift).empty();
  hotKey.alt = !store.ReadText(kAlt).empty();
  hotKey.ctrl = !store.ReadText(kCtrl).empty();
}

// Up to ten decimal digits that fit in 32 bits; nothing else.
std::optional<std::uint32_t> ParseNumber(const std::string& text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + std::uint64_t(c - '0');
  }
  if (number > UINT32_MAX) return std::nullopt;
  return std::uint32_t(number);
}

}  // namespace

Store::Store(platform::Platform& os, const ValueStore& values, const std::string& programFolder)
    : os_(os), values_(values), root_(kRoot), key_(kKeyPath) {
  std::string file = programFolder;
  if (file.empty() || file.back() != '\\') file += '\\';
  file += kIniFileName;
  if (values_.ResolveRoot(file) == kRootIniFile) {
    portable_ = true;
    root_ = file;
    key_ = kIniSection;
  }
}

std::string Store::Location() const { return portable_ ? root_ : kUserHiveName + key_; }

bool Store::Exists() const {
  if (portable_) return !ReadText(kKey).empty();
  return os_.RegistryKeyExists(platform::Hive::CurrentUser, key_);
}

bool Store::Writable() const { return !portable_ || WriteText(kKey, ReadText(kKey)); }

std::string Store::ReadText(const char* name) const {
  std::string text;
  values_.Read(root_, key_, name, kText, "", text);
  return text;
}

bool Store::WriteText(const char* name, const std::string& text) const {
  return values_.Write(root_, key_, name, kText, text) == platform::kErrorSuccess;
}

std::optional<std::uint32_t> Store::ReadNumber(const char* name) const {
  if (portable_) return ParseNumber(ReadText(name));
  std::optional<std::uint32_t> number;
  os_.ReadRegistryNumber(platform::Hive::CurrentUser, key_, name, number);
  return number;
}

bool Store::Has(const char* name) const {
  if (portable_) return !ReadText(name).empty();
  std::vector<std::uint8_t> ignored;
  return os_.ReadRegistryBytes(platform::Hive::CurrentUser, key_, name, 0, ignored) != platform::kErrorFileNotFound;
}

bool Store::WriteNumber(const char* name, std::uint32_t number) const {
  if (portable_) return WriteText(name, std::to_string(number));
  const std::vector<std::uint8_t> data{std::uint8_t(number), std::uint8_t(number >> 8), std::uint8_t(number >> 16),
                                       std::uint8_t(number >> 24)};
  return os_.WriteRegistryBytes(platform::Hive::CurrentUser, key_, name, platform::kRegDword, data) ==
         platform::kErrorSuccess;
}

void Store::RemoveAll() const {
  if (!portable_) {
    values_.DeleteKey(root_, key_);
    return;
  }
  for (const char* name : kAllValues) values_.Delete(root_, key_, name);
}

std::string AutostartCommand(const std::string& programFolder) {
  std::string folder = programFolder;
  if (folder.empty() || folder.back() != '\\') folder += '\\';  // a drive's root ends in one already
  return "\"" + folder + kProgramFileName + "\"";
}

HotKeySettings PrepareAtStartup(const Store& store, const std::string& programFolder) {
  const ValueStore& values = store.values();
  std::string autostart;
  if (!store.Portable() && values.Read(kRunRoot, kRunKey, kRunValue, kText, "", autostart) != 0 &&
      values.Read(kUserRunRoot, kRunKey, kRunValue, kText, "", autostart) != 0) {
    const std::string command = AutostartCommand(programFolder);
    if (values.Write(kRunRoot, kRunKey, kRunValue, kText, command) != 0)
      values.Write(kUserRunRoot, kRunKey, kRunValue, kText, command);
  }

  HotKeySettings hotKey;
  hotKey.key = store.ReadText(kKey);
  // A registry value of no text reads as empty and stays: only a missing one
  // is made. A file cannot tell the two apart.
  std::string ignored;
  const bool missing = store.Portable() ? hotKey.key.empty()
                                        : values.Read(kRoot, kKeyPath, kKey, kText, "", ignored) != 0;
  if (missing) {
    hotKey.key = std::to_string(hotkey::kDefaultKeyCode);
    store.WriteText(kKey, hotKey.key);
  }
  ReadModifiers(store, hotKey);
  return hotKey;
}

HotKeySettings ReadHotKey(const Store& store) {
  HotKeySettings hotKey;
  hotKey.key = store.ReadText(kKey);
  ReadModifiers(store, hotKey);
  return hotKey;
}

bool WriteHotKey(const Store& store, const HotKeySettings& hotKey) {
  bool written = store.WriteText(kKey, hotKey.key);
  written = store.WriteText(kShift, hotKey.shift ? kShiftOn : "") && written;
  written = store.WriteText(kCtrl, hotKey.ctrl ? kCtrlOn : "") && written;
  return store.WriteText(kAlt, hotKey.alt ? kAltOn : "") && written;
}

void MarkHotKeySaved(const Store& store) { store.WriteText(kSaved, kSavedYes); }

void RemoveAutostartAndSettings(const Store& store) {
  if (!store.Portable()) {
    const ValueStore& values = store.values();
    for (const char* root : {kRunRoot, kUserRunRoot}) {
      std::string ignored;
      if (values.Read(root, kRunKey, kRunValue, kText, "", ignored) == 0) values.Delete(root, kRunKey, kRunValue);
    }
  }
  store.RemoveAll();
}

}  // namespace tamberlinox::settings
