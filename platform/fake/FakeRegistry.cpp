#include "platform/fake/FakeRegistry.h"

#include <cstdio>
#include <utility>

#include "platform/Platform.h"
#include "platform/fake/FakeText.h"

namespace tamberlinox::platform {

using fake_text::Lower;

namespace {

constexpr std::int32_t kErrorBadPathname = 161;
constexpr std::int32_t kErrorNoAccess = 998;
constexpr std::int32_t kErrorKeyDeleted = 1018;

// Access rights that read values, and those that change the key.
constexpr std::uint32_t kGenericRead = 0x80000000u, kGenericWrite = 0x40000000u, kGenericAll = 0x10000000u;
constexpr std::uint32_t kQueryRights = kKeyQueryValue | kGenericRead | kGenericAll;
constexpr std::uint32_t kSetRights = kKeySetValue | kGenericWrite | kGenericAll;
constexpr std::uint32_t kWriteRights =
    kKeySetValue | kKeyCreateSubKey | 0x20u /*KEY_CREATE_LINK*/ | 0x10000u /*DELETE*/ | 0x40000u /*WRITE_DAC*/ |
    0x80000u /*WRITE_OWNER*/ | kGenericWrite | kGenericAll;

constexpr std::uint32_t kHives[] = {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine,
                                    kHkeyUsers,       kHkeyCurrentConfig, kHkeyDynData};

// The names of a key path. A trailing backslash is allowed; a leading one, or
// two in a row, make the path invalid (as on Windows).
std::optional<std::vector<std::string>> ParsePath(const std::string& text) {
  std::vector<std::string> names;
  if (text.empty()) return names;
  std::string path = text;
  if (path.back() == '\\') path.pop_back();
  if (path.empty()) return std::nullopt;
  names = fake_text::Split(path, '\\');
  for (const std::string& name : names)
    if (name.empty()) return std::nullopt;
  return names;
}

std::vector<std::string> Joined(std::vector<std::string> base, const std::vector<std::string>& more) {
  base.insert(base.end(), more.begin(), more.end());
  return base;
}

std::string Hex(std::uintptr_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

std::string TypeName(std::uint32_t type) {
  switch (type) {
    case 0: return "REG_NONE";
    case kRegSz: return "REG_SZ";
    case 2: return "REG_EXPAND_SZ";
    case kRegBinary: return "REG_BINARY";
    case kRegDword: return "REG_DWORD";
    case 7: return "REG_MULTI_SZ";
    default: return "type " + std::to_string(type);
  }
}

// One value for a dump: strings as text, everything else as bytes.
std::string Render(const RegistryData& data) {
  std::string out = TypeName(data.type);
  if (data.bytes.empty()) return out + " (0 bytes)";
  if (data.type == kRegSz || data.type == 2) {
    std::string text(data.bytes.begin(), data.bytes.end());
    bool terminated = text.back() == '\0';
    if (terminated) text.pop_back();
    return out + " \"" + text + "\"" + (terminated ? "" : " (no NUL)");
  }
  for (std::uint8_t byte : data.bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", byte);
    out += hex;
  }
  return out;
}

}  // namespace

struct FakeRegistry::Key {
  struct Stored {
    std::string name;  // as first written
    RegistryData data;
  };
  std::string name;                                     // as first created
  std::map<std::string, std::unique_ptr<Key>> subkeys;  // by lower-case name
  std::map<std::string, Stored> values;                 // by lower-case name
};

FakeRegistry::FakeRegistry(FaultLog& faults) : faults_(faults) {
  for (std::uint32_t hive : kHives) {
    hives_[hive] = std::make_unique<Key>();
    hives_[hive]->name = HiveName(hive);
  }
}

FakeRegistry::~FakeRegistry() = default;

bool FakeRegistry::IsHive(std::uintptr_t value) {
  for (std::uint32_t hive : kHives)
    if (value == hive) return true;
  return false;
}

std::string FakeRegistry::HiveName(std::uint32_t hive) {
  switch (hive) {
    case kHkeyClassesRoot: return "HKEY_CLASSES_ROOT";
    case kHkeyCurrentUser: return "HKEY_CURRENT_USER";
    case kHkeyLocalMachine: return "HKEY_LOCAL_MACHINE";
    case kHkeyUsers: return "HKEY_USERS";
    case kHkeyCurrentConfig: return "HKEY_CURRENT_CONFIG";
    case kHkeyDynData: return "HKEY_DYN_DATA";
    default: return Hex(hive);
  }
}

// ------------------------------------------------------------------ helpers

std::optional<FakeRegistry::Base> FakeRegistry::ResolveBase(std::uintptr_t base) const {
  if (IsHive(base)) return Base{static_cast<std::uint32_t>(base), {}};
  auto open = handles_.find(base);
  if (open == handles_.end()) return std::nullopt;
  return Base{open->second.hive, open->second.path};
}

FakeRegistry::Key* FakeRegistry::Find(std::uint32_t hive, const std::vector<std::string>& path) const {
  auto root = hives_.find(hive);
  if (root == hives_.end()) return nullptr;
  Key* key = root->second.get();
  for (const std::string& name : path) {
    auto sub = key->subkeys.find(Lower(name));
    if (sub == key->subkeys.end()) return nullptr;
    key = sub->second.get();
  }
  return key;
}

FakeRegistry::Key& FakeRegistry::Make(std::uint32_t hive, const std::vector<std::string>& path) {
  Key* key = hives_.at(hive).get();
  for (const std::string& name : path) {
    std::unique_ptr<Key>& sub = key->subkeys[Lower(name)];
    if (!sub) {
      sub = std::make_unique<Key>();
      sub->name = name;
    }
    key = sub.get();
  }
  return *key;
}

std::uintptr_t FakeRegistry::NewHandle(std::uint32_t hive, std::vector<std::string> path, std::uint32_t access) {
  std::uintptr_t handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = Handle{hive, std::move(path), access};
  return handle;
}

std::string FakeRegistry::KeyName(std::uint32_t hive, const std::vector<std::string>& path) const {
  std::string name = HiveName(hive);
  for (const std::string& part : path) name += "\\" + part;
  return name;
}

std::string FakeRegistry::KeyNameOf(std::uintptr_t handle) const {
  auto open = handles_.find(handle);
  if (open == handles_.end()) return "key handle " + Hex(handle);
  return KeyName(open->second.hive, open->second.path);
}

std::int32_t FakeRegistry::Log(const char* function, std::string key, std::string value, std::int32_t result) {
  calls_.push_back(RegistryCall{function, std::move(key), std::move(value), result});
  return result;
}

// ------------------------------------------------------ the Windows functions

// The key behind an open handle, for the functions that work on its values.
// Null, with the Windows result (logged) in error, when the handle is not open
// or its key has been deleted since.
FakeRegistry::Key* FakeRegistry::KeyOfHandle(const char* function, std::uintptr_t handle, const std::string& value,
                                             const Handle*& open, std::int32_t& error) {
  auto found = handles_.find(handle);
  if (found == handles_.end()) {
    faults_.Add(std::string(function) + " on " + KeyNameOf(handle) + ", which is not open");
    error = Log(function, KeyNameOf(handle), value, kErrorInvalidHandle);
    return nullptr;
  }
  open = &found->second;
  Key* key = Find(open->hive, open->path);
  if (!key) error = Log(function, KeyNameOf(handle), value, kErrorKeyDeleted);
  return key;
}


std::int32_t FakeRegistry::OpenKey(std::uintptr_t base, const std::string& subKey, std::uint32_t access,
                                   std::uintptr_t& handle) {
  const char* function = "RegOpenKeyExA";
  std::optional<Base> from = ResolveBase(base);
  if (!from) {
    faults_.Add("RegOpenKeyExA below " + Hex(base) + ", which is neither a hive nor an open key");
    return Log(function, Hex(base) + "\\" + subKey, "", kErrorInvalidHandle);
  }
  std::optional<std::vector<std::string>> names = ParsePath(subKey);
  if (!names) return Log(function, KeyName(from->hive, from->path) + "\\" + subKey, "", kErrorBadPathname);
  std::vector<std::string> path = Joined(from->path, *names);
  std::string name = KeyName(from->hive, path);
  if (!Find(from->hive, from->path)) return Log(function, name, "", kErrorKeyDeleted);
  if (!Find(from->hive, path)) return Log(function, name, "", kErrorFileNotFound);
  if ((access & kWriteRights) && denied_.count(from->hive)) return Log(function, name, "", kErrorAccessDenied);
  handle = NewHandle(from->hive, std::move(path), access);
  return Log(function, name, "", kErrorSuccess);
}

std::int32_t FakeRegistry::CreateKey(std::uintptr_t base, const std::string& subKey, std::uint32_t access,
                                     std::uintptr_t& handle) {
  const char* function = "RegCreateKeyExA";
  std::optional<Base> from = ResolveBase(base);
  if (!from) {
    faults_.Add("RegCreateKeyExA below " + Hex(base) + ", which is neither a hive nor an open key");
    return Log(function, Hex(base) + "\\" + subKey, "", kErrorInvalidHandle);
  }
  std::optional<std::vector<std::string>> names = ParsePath(subKey);
  if (!names) return Log(function, KeyName(from->hive, from->path) + "\\" + subKey, "", kErrorBadPathname);
  std::vector<std::string> path = Joined(from->path, *names);
  std::string name = KeyName(from->hive, path);
  if (!Find(from->hive, from->path)) return Log(function, name, "", kErrorKeyDeleted);
  bool exists = Find(from->hive, path) != nullptr;
  if ((!exists || (access & kWriteRights)) && denied_.count(from->hive))
    return Log(function, name, "", kErrorAccessDenied);
  Make(from->hive, path);
  handle = NewHandle(from->hive, std::move(path), access);
  return Log(function, name, "", kErrorSuccess);
}

std::int32_t FakeRegistry::QueryValue(std::uintptr_t handle, const std::string& name, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t& size) {
  const char* function = "RegQueryValueExA";
  const Handle* open = nullptr;
  std::int32_t error = kErrorSuccess;
  Key* key = KeyOfHandle(function, handle, name, open, error);
  if (!key) return error;
  std::string keyName = KeyNameOf(handle);
  if (!(open->access & kQueryRights)) return Log(function, keyName, name, kErrorAccessDenied);
  auto value = key->values.find(Lower(name));
  if (value == key->values.end()) return Log(function, keyName, name, kErrorFileNotFound);

  // Windows hands back the bytes as stored: a string written without its NUL
  // comes back without one (Wine appends one when the buffer has room).
  const RegistryData& stored = value->second.data;
  const auto needed = static_cast<std::uint32_t>(stored.bytes.size());
  if (type) *type = stored.type;
  if (data == nullptr) {
    size = needed;
    return Log(function, keyName, name, kErrorSuccess);
  }
  if (size < needed) {
    size = needed;
    return Log(function, keyName, name, kErrorMoreData);
  }
  for (std::uint32_t i = 0; i < needed; ++i) data[i] = stored.bytes[i];
  size = needed;
  return Log(function, keyName, name, kErrorSuccess);
}

std::int32_t FakeRegistry::SetValue(std::uintptr_t handle, const std::string& name, std::uint32_t type,
                                    const std::uint8_t* data, std::uint32_t size) {
  const char* function = "RegSetValueExA";
  const Handle* open = nullptr;
  std::int32_t error = kErrorSuccess;
  Key* key = KeyOfHandle(function, handle, name, open, error);
  if (!key) return error;
  std::string keyName = KeyNameOf(handle);
  if (!(open->access & kSetRights) || denied_.count(open->hive))
    return Log(function, keyName, name, kErrorAccessDenied);
  if (data == nullptr && size != 0) return Log(function, keyName, name, kErrorNoAccess);

  Key::Stored& stored = key->values[Lower(name)];
  if (stored.name.empty()) stored.name = name;
  stored.data.type = type;
  stored.data.bytes.assign(data, data + size);
  return Log(function, keyName, name, kErrorSuccess);
}

std::int32_t FakeRegistry::DeleteValue(std::uintptr_t handle, const std::string& name) {
  const char* function = "RegDeleteValueA";
  const Handle* open = nullptr;
  std::int32_t error = kErrorSuccess;
  Key* key = KeyOfHandle(function, handle, name, open, error);
  if (!key) return error;
  std::string keyName = KeyNameOf(handle);
  if (!(open->access & kSetRights) || denied_.count(open->hive))
    return Log(function, keyName, name, kErrorAccessDenied);
  if (key->values.erase(Lower(name)) == 0) return Log(function, keyName, name, kErrorFileNotFound);
  return Log(function, keyName, name, kErrorSuccess);
}

std::int32_t FakeRegistry::DeleteKey(std::uintptr_t base, const std::string& subKey) {
  const char* function = "RegDeleteKeyA";
  std::optional<Base> from = ResolveBase(base);
  if (!from) return Log(function, Hex(base) + "\\" + subKey, "", kErrorInvalidHandle);
  std::optional<std::vector<std::string>> names = ParsePath(subKey);
  if (!names) return Log(function, KeyName(from->hive, from->path) + "\\" + subKey, "", kErrorBadPathname);
  std::vector<std::string> path = Joined(from->path, *names);
  std::string name = KeyName(from->hive, path);
  if (path.empty()) return Log(function, name, "", kErrorAccessDenied);  // a hive itself
  Key* key = Find(from->hive, path);
  if (!key) return Log(function, name, "", kErrorFileNotFound);
  if (!key->subkeys.empty() || denied_.count(from->hive)) return Log(function, name, "", kErrorAccessDenied);
  std::vector<std::string> parentPath(path.begin(), path.end() - 1);
  Find(from->hive, parentPath)->subkeys.erase(Lower(path.back()));
  return Log(function, name, "", kErrorSuccess);
}

std::int32_t FakeRegistry::CloseKey(std::uintptr_t handle) {
  if (IsHive(handle)) return Log("RegCloseKey", HiveName(static_cast<std::uint32_t>(handle)), "", kErrorSuccess);
  auto open = handles_.find(handle);
  if (open == handles_.end()) {
    faults_.Add("RegCloseKey of " + KeyNameOf(handle) + ", which is not open");
    return Log("RegCloseKey", KeyNameOf(handle), "", kErrorInvalidHandle);
  }
  std::string keyName = KeyNameOf(handle);
  handles_.erase(open);
  return Log("RegCloseKey", keyName, "", kErrorSuccess);
}

// ------------------------------------------------- set-up and inspection

void FakeRegistry::DenyWrites(std::uint32_t hive, bool deny) {
  if (deny)
    denied_.insert(hive);
  else
    denied_.erase(hive);
}

void FakeRegistry::AddKey(std::uint32_t hive, const std::string& path) {
  std::optional<std::vector<std::string>> names = ParsePath(path);
  if (!IsHive(hive) || !names) {
    faults_.Add("test set-up: no such key path " + HiveName(hive) + "\\" + path);
    return;
  }
  Make(hive, *names);
}

void FakeRegistry::PutValue(std::uint32_t hive, const std::string& path, const std::string& name, RegistryData data) {
  std::optional<std::vector<std::string>> names = ParsePath(path);
  if (!IsHive(hive) || !names) {
    faults_.Add("test set-up: no such key path " + HiveName(hive) + "\\" + path);
    return;
  }
  Key::Stored& stored = Make(hive, *names).values[Lower(name)];
  if (stored.name.empty()) stored.name = name;
  stored.data = std::move(data);
}

bool FakeRegistry::RemoveKeyTree(std::uint32_t hive, const std::string& path) {
  std::optional<std::vector<std::string>> names = ParsePath(path);
  if (!names || names->empty() || !Find(hive, *names)) return false;
  std::vector<std::string> parentPath(names->begin(), names->end() - 1);
  return Find(hive, parentPath)->subkeys.erase(Lower(names->back())) == 1;
}

std::optional<RegistryData> FakeRegistry::Value(std::uint32_t hive, const std::string& path,
                                                const std::string& name) const {
  std::optional<std::vector<std::string>> names = ParsePath(path);
  Key* key = names ? Find(hive, *names) : nullptr;
  if (!key) return std::nullopt;
  auto value = key->values.find(Lower(name));
  if (value == key->values.end()) return std::nullopt;
  return value->second.data;
}

bool FakeRegistry::KeyExists(std::uint32_t hive, const std::string& path) const {
  std::optional<std::vector<std::string>> names = ParsePath(path);
  return names && Find(hive, *names) != nullptr;
}

std::vector<std::string> FakeRegistry::ValueNames(std::uint32_t hive, const std::string& path) const {
  std::vector<std::string> out;
  std::optional<std::vector<std::string>> names = ParsePath(path);
  if (Key* key = names ? Find(hive, *names) : nullptr)
    for (const auto& [lower, stored] : key->values) out.push_back(stored.name);
  return out;
}

std::vector<std::string> FakeRegistry::SubKeys(std::uint32_t hive, const std::string& path) const {
  std::vector<std::string> out;
  std::optional<std::vector<std::string>> names = ParsePath(path);
  if (Key* key = names ? Find(hive, *names) : nullptr)
    for (const auto& [lower, sub] : key->subkeys) out.push_back(sub->name);
  return out;
}

std::string FakeRegistry::Dump(std::uint32_t hive) const {
  // Every key below the hive, parents before children, names in sorted order;
  // each followed by its values.
  std::string out;
  struct Walker {
    std::string& out;
    void Walk(const Key& key, const std::string& name, bool isHive) {
      if (!isHive || !key.values.empty()) {
        out += name + "\n";
        for (const auto& [lower, stored] : key.values)
          out += "  \"" + stored.name + "\" = " + Render(stored.data) + "\n";
      }
      for (const auto& [lower, sub] : key.subkeys) Walk(*sub, name + "\\" + sub->name, false);
    }
  } walker{out};
  auto root = hives_.find(hive);
  if (root != hives_.end()) walker.Walk(*root->second, HiveName(hive), true);
  return out;
}

std::string FakeRegistry::Dump() const {
  std::string out;
  for (std::uint32_t hive : kHives) out += Dump(hive);
  return out;
}

std::vector<std::string> FakeRegistry::OpenKeyNames() const {
  std::vector<std::string> out;
  for (const auto& [handle, open] : handles_) out.push_back(KeyName(open.hive, open.path));
  return out;
}

}  // namespace tamberlinox::platform
