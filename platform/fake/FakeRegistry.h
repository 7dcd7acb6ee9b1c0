// The registry of the fake system: hives of keys holding typed values, the
// open key handles, and a log of every call the program made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/FaultLog.h"

namespace tamberlinox::platform {

// A value as the registry keeps it: its type and its bytes.
struct RegistryData {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> bytes;
  friend bool operator==(const RegistryData&, const RegistryData&) = default;
};

// One registry call of the program. key is the full name of the key the call
// worked on ("HKEY_CURRENT_USER\Software\..."), value the value name when the
// call names one.
struct RegistryCall {
  std::string function;
  std::string key;
  std::string value;
  std::int32_t result = 0;
  friend bool operator==(const RegistryCall&, const RegistryCall&) = default;
};

class FakeRegistry {
 public:
  explicit FakeRegistry(FaultLog& faults);
  FakeRegistry(const FakeRegistry&) = delete;
  FakeRegistry& operator=(const FakeRegistry&) = delete;
  ~FakeRegistry();

  // ---- The Windows functions (results are system error codes).
  // base is a hive or a key handle opened before; handle receives the new key.
  std::int32_t OpenKey(std::uintptr_t base, const std::string& subKey, std::uint32_t access, std::uintptr_t& handle);
  std::int32_t CreateKey(std::uintptr_t base, const std::string& subKey, std::uint32_t access, std::uintptr_t& handle);
  std::int32_t QueryValue(std::uintptr_t handle, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t& size);
  std::int32_t SetValue(std::uintptr_t handle, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t size);
  std::int32_t DeleteValue(std::uintptr_t handle, const std::string& name);
  std::int32_t DeleteKey(std::uintptr_t base, const std::string& subKey);
  std::int32_t CloseKey(std::uintptr_t handle);

  // ---- Set-up and inspection (never logged, never denied).
  void DenyWrites(std::uint32_t hive, bool deny);
  void AddKey(std::uint32_t hive, const std::string& path);
  void PutValue(std::uint32_t hive, const std::string& path, const std::string& name, RegistryData data);
  bool RemoveKeyTree(std::uint32_t hive, const std::string& path);
  std::optional<RegistryData> Value(std::uint32_t hive, const std::string& path, const std::string& name) const;
  bool KeyExists(std::uint32_t hive, const std::string& path) const;
  std::vector<std::string> ValueNames(std::uint32_t hive, const std::string& path) const;
  std::vector<std::string> SubKeys(std::uint32_t hive, const std::string& path) const;
  std::string Dump(std::uint32_t hive) const;
  std::string Dump() const;
  std::size_t OpenKeys() const { return handles_.size(); }
  std::vector<std::string> OpenKeyNames() const;
  const std::vector<RegistryCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

  static bool IsHive(std::uintptr_t value);
  static std::string HiveName(std::uint32_t hive);

 private:
  struct Key;
  struct Handle {
    std::uint32_t hive = 0;
    std::vector<std::string> path;  // as spelled when opened
    std::uint32_t access = 0;
  };
  // Where a call starts: a hive and the path of a key below it.
  struct Base {
    std::uint32_t hive = 0;
    std::vector<std::string> path;
  };

  std::optional<Base> ResolveBase(std::uintptr_t base) const;
  Key* Find(std::uint32_t hive, const std::vector<std::string>& path) const;
  Key* KeyOfHandle(const char* function, std::uintptr_t handle, const std::string& value, const Handle*& open,
                   std::int32_t& error);
  Key& Make(std::uint32_t hive, const std::vector<std::string>& path);
  std::uintptr_t NewHandle(std::uint32_t hive, std::vector<std::string> path, std::uint32_t access);
  std::string KeyName(std::uint32_t hive, const std::vector<std::string>& path) const;
  std::string KeyNameOf(std::uintptr_t handle) const;
  std::int32_t Log(const char* function, std::string key, std::string value, std::int32_t result);

  FaultLog& faults_;
  std::map<std::uint32_t, std::unique_ptr<Key>> hives_;
  std::set<std::uint32_t> denied_;
  std::map<std::uintptr_t, Handle> handles_;
  std::uintptr_t nextHandle_ = 0x100;
  std::vector<RegistryCall> calls_;
};

}  // namespace tamberlinox::platform
