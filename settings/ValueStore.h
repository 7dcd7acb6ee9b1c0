// Typed named values in the registry or in an INI file, behind one interface
// that names its store with a root: a hive abbreviation ("HKCU", "HKLM", ...)
// or the path of an existing INI file. Nothing is kept between calls and no
// failure escapes: every operation reports through its result code.
//
// Result codes: 0 success; 99 the root is not recognised, or an INI root was
// asked to write a type it does not keep; anything else is the system error
// code of the registry or profile function that failed (2 no such key or
// value, 5 access denied, 234 the value is larger than its type allows, 13 a
// value that cannot be converted to the type asked for).
//
// Type letters (any case): "S" text (REG_SZ), "B" truth value (REG_BINARY, 2
// bytes, -1 for true), "D" 16-bit number (REG_DWORD, sign-extended). An INI
// file keeps texts only.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/Platform.h"

namespace tamberlinox::settings {

inline constexpr std::int32_t kNotRecognised = 99;
// What a root resolves to, besides the hives' own handle values.
inline constexpr std::uint32_t kRootNotRecognised = 0;
inline constexpr std::uint32_t kRootIniFile = 1;

// What a write accepts: a text, a number or a truth value.
using Value = std::variant<std::string, double, bool>;

class ValueStore {
 public:
  explicit ValueStore(platform::Platform& os) : os_(os) {}

  // A hive's handle value, kRootIniFile for an existing ordinary file, or kRootNotRecognised.
  std::uint32_t ResolveRoot(const std::string& root) const;

  // Always sets text: to defaultText first, to the value when a read succeeds.
  std::int32_t Read(const std::string& root, const std::string& key, const std::string& name,
                    const std::string& type, const std::string& defaultText, std::string& text) const;
  std::int32_t Write(const std::string& root, const std::string& key, const std::string& name,
                     const std::string& type, const Value& value) const;
  // Deleting what is not there counts as success. In an INI file the entry
  // stays, with an empty text.
  std::int32_t Delete(const std::string& root, const std::string& key, const std::string& name) const;
  // Deletes the last key of the path with its values; the outcome is not reported.
  void DeleteKey(const std::string& root, const std::string& key) const;

 private:
  platform::Platform& os_;
};

// A value as text: a number in plain decimal (up to 15 significant digits), a
// truth value as "True" or "False".
std::string ValueText(const Value& value);

}  // namespace tamberlinox::settings
