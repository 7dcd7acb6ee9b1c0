// modRegistry: typed named values in the registry or in an INI file, behind one
// root-named interface. Nothing is kept between calls, and no failure escapes:
// every procedure reports through its result code (0 success, 99 root not
// recognised or type not supported by an INI root, else a system error code).
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/Platform.h"

namespace tamberlinox::modRegistry {

inline constexpr std::int32_t kUnrecognised = 99;
// ResolveRoot's markers besides the hive handles.
inline constexpr std::uint32_t kRootNotRecognised = 0;
inline constexpr std::uint32_t kRootIniFile = 1;

// What WriteValue accepts: a text, a number or a truth value.
using Variant = std::variant<std::string, double, bool>;

// A hive handle, kRootIniFile for an existing ordinary file, or kRootNotRecognised.
std::uint32_t ResolveRoot(platform::Platform& os, const std::string& root);

// Always sets valueText: to defaultText first, to the value when a read succeeds.
std::int32_t ReadValue(platform::Platform& os, const std::string& root, const std::string& keyPath,
                       const std::string& valueName, const std::string& typeLetter,
                       const std::string& defaultText, std::string& valueText);
std::int32_t WriteValue(platform::Platform& os, const std::string& root, const std::string& keyPath,
                        const std::string& valueName, const std::string& typeLetter, const Variant& value);
// Deleting what is not there counts as success.
std::int32_t DeleteValue(platform::Platform& os, const std::string& root, const std::string& keyPath,
                         const std::string& valueName);
// Deletes the last key of the path; the outcome is not reported.
void DeleteKey(platform::Platform& os, const std::string& root, const std::string& keyPath);

}  // namespace tamberlinox::modRegistry
