// modRegistry: typed named values in the registry or in an INI file.
//
// Each procedure keeps a current code: 99 before anything is done, then the
// result of each registry or profile function it calls. A step that fails
// without a system result of its own (a value that cannot be converted) stops
// the procedure with the current code, or with ERROR_INVALID_DATA where a
// silent 0 would hide that nothing was written. Every key that a procedure
// opens is closed before it returns, on every path.
#include "settings/modRegistry.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace tamberlinox::modRegistry {

using platform::Platform;
using platform::RegKey;

namespace {

// The INI read buffer: 255 characters, so at most 254 of them are text.
constexpr std::uint32_t kIniBufferSize = 255;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

std::string Upper(std::string text) {
  for (char& c : text) c = UpperAscii(c);
  return text;
}

bool EqualNoCase(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// ------------------------------------------------------ variant conversions

// A number written in decimal: blanks around it, an optional sign, digits
// with an optional fraction ("12", "-3.5", ".5", "+7.").
struct Decimal {
  bool negative = false;
  std::string whole;     // digits before the point, without leading zeros
  std::string fraction;  // digits after the point
};

std::optional<Decimal> ParseDecimal(const std::string& text) {
  const std::string s = TrimBlanks(text);
  std::size_t i = 0;
  Decimal number;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) number.negative = s[i++] == '-';
  const std::size_t wholeStart = i;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  number.whole = s.substr(wholeStart, i - wholeStart);
  if (i < s.size() && s[i] == '.') {
    const std::size_t fractionStart = ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    number.fraction = s.substr(fractionStart, i - fractionStart);
  }
  if (i != s.size() || (number.whole.empty() && number.fraction.empty())) return std::nullopt;
  number.whole.erase(0, number.whole.find_first_not_of('0'));
  return number;
}

std::optional<std::int16_t> InRange(long value) {
  if (value < -32768 || value > 32767) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

// To a 16-bit integer the way CInt does it: rounding half to even, and a
// failure outside -32768..32767.
std::optional<std::int16_t> ToInteger16(const Variant& value) {
  if (const bool* truth = std::get_if<bool>(&value)) return static_cast<std::int16_t>(*truth ? -1 : 0);
  if (const double* number = std::get_if<double>(&value)) {
    if (!std::isfinite(*number) || std::fabs(*number) > 40000.0) return std::nullopt;
    return InRange(std::lround(std::nearbyint(*number)));  // the default rounding is half to even
  }
  const std::string& text = std::get<std::string>(value);
  if (EqualNoCase(TrimBlanks(text), "True")) return static_cast<std::int16_t>(-1);
  if (EqualNoCase(TrimBlanks(text), "False")) return static_cast<std::int16_t>(0);
  std::optional<Decimal> decimal = ParseDecimal(text);
  if (!decimal || decimal->whole.size() > 5) return std::nullopt;
  long magnitude = decimal->whole.empty() ? 0 : std::stol(decimal->whole);
  if (!decimal->fraction.empty()) {
    const char first = decimal->fraction[0];
    const bool moreAfterFive = decimal->fraction.find_first_not_of('0', 1) != std::string::npos;
    if (first > '5' || (first == '5' && moreAfterFive) || (first == '5' && magnitude % 2 == 1)) ++magnitude;
  }
  return InRange(decimal->negative ? -magnitude : magnitude);
}

// To a truth value: a number is true when it is not zero; a text is "True" or
// "False" in any case, or a number.
std::optional<bool> ToTruthValue(const Variant& value) {
  if (const bool* truth = std::get_if<bool>(&value)) return *truth;
  if (const double* number = std::get_if<double>(&value)) {
    if (std::isnan(*number)) return std::nullopt;
    return *number != 0.0;
  }
  const std::string text = TrimBlanks(std::get<std::string>(value));
  if (EqualNoCase(text, "True")) return true;
  if (EqualNoCase(text, "False")) return false;
  std::optional<Decimal> decimal = ParseDecimal(text);
  if (!decimal) return std::nullopt;
  return !decimal->whole.empty() || decimal->fraction.find_first_not_of('0') != std::string::npos;
}

// To text: a number in plain decimal, a truth value as "True" or "False".
std::string ToText(const Variant& value) {
  if (const bool* truth = std::get_if<bool>(&value)) return *truth ? "True" : "False";
  if (const double* number = std::get_if<double>(&value)) {
    if (*number == 0.0) return "0";  // also for -0
    char buffer[400];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, *number, std::chars_format::fixed);
    if (error != std::errc()) return {};
    return std::string(buffer, end);
  }
  return std::get<std::string>(value);
}

std::vector<std::uint8_t> LittleEndian(std::uint32_t value, std::size_t bytes) {
  std::vector<std::uint8_t> data(bytes);
  for (std::size_t i = 0; i < bytes; ++i) data[i] = static_cast<std::uint8_t>(value >> (8 * i));
  return data;
}

}  // namespace

// ------------------------------------------------------------------ roots

std::uint32_t ResolveRoot(Platform& os, const std::string& root) {
  static const std::pair<const char*, std::uint32_t> kHives[] = {
      {"HKCU", platform::kHkeyCurrentUser}, {"HKLM", platform::kHkeyLocalMachine},
      {"HKU", platform::kHkeyUsers},        {"HKDD", platform::kHkeyDynData},
      {"HKCC", platform::kHkeyCurrentConfig}, {"HKCR", platform::kHkeyClassesRoot},
  };
  // 1. A hive abbreviation, in any case.
  const std::string upper = Upper(root);
  for (const auto& [abbreviation, hive] : kHives)
    if (upper == abbreviation) return hive;
  // 2. An existing ordinary file, named exactly as passed: an INI file.
  if (os.IsOrdinaryFile(root)) return kRootIniFile;
  return kRootNotRecognised;
}

// ------------------------------------------------------------------- read

std::int32_t ReadValue(Platform& os, const std::string& root, const std::string& keyPath,
                       const std::string& valueName, const std::string& typeLetter,
                       const std::string& defaultText, std::string& valueText) {
  // 1.
  valueText = defaultText;
  std::int32_t code = kUnrecognised;
  const std::string type = Upper(typeLetter);

  // 2.
  const std::uint32_t resolved = ResolveRoot(os, root);
  if (resolved == kRootNotRecognised) return code;

  // 3. INI file: only texts are read; the profile function cannot fail.
  if (resolved == kRootIniFile) {
    if (type == "S")
      valueText = os.GetPrivateProfileStringA(keyPath, valueName, defaultText, kIniBufferSize, os.FullPath(root));
    code = platform::kErrorSuccess;
    return code;
  }

  // 4. Registry hive.
  RegKey key;
  code = os.RegOpenKeyExA(resolved, keyPath, platform::kKeyQueryValue, key);
  if (code != platform::kErrorSuccess) return code;

  // 5. By type letter. The type the registry reports is not compared with it.
  if (type == "S") {
    // Ask for the size with a buffer of 0 bytes, then read into one that fits.
    std::uint8_t probe = 0;
    std::uint32_t size = 0;
    code = os.RegQueryValueExA(key, valueName, nullptr, &probe, size);
    std::vector<std::uint8_t> data;
    if (code == platform::kErrorMoreData) {
      data.resize(size);
      code = os.RegQueryValueExA(key, valueName, nullptr, data.data(), size);
      data.resize(size);
    }
    if (code != platform::kErrorSuccess) {
      key.Close();
      return code;
    }
    if (data.empty()) return key.Close();  // zero bytes: the default stays
    // Less the terminating NUL; a text stored without one stays whole.
    if (data.back() == 0) data.pop_back();
    valueText.assign(data.begin(), data.end());
  } else if (type == "B") {
    std::uint8_t data[2] = {0, 0};
    std::uint32_t size = sizeof data;
    std::uint32_t registryType = platform::kRegBinary;
    code = os.RegQueryValueExA(key, valueName, &registryType, data, size);
    if (code != platform::kErrorSuccess) {
      key.Close();
      return code;
    }
    valueText = (data[0] != 0 || data[1] != 0) ? "True" : "False";
  } else if (type == "D") {
    std::uint8_t data[4] = {0, 0, 0, 0};
    std::uint32_t size = sizeof data;
    std::uint32_t registryType = platform::kRegDword;
    code = os.RegQueryValueExA(key, valueName, &registryType, data, size);
    if (code != platform::kErrorSuccess) {
      key.Close();
      return code;
    }
    const std::uint32_t bits = std::uint32_t(data[0]) | (std::uint32_t(data[1]) << 8) |
                               (std::uint32_t(data[2]) << 16) | (std::uint32_t(data[3]) << 24);
    valueText = std::to_string(static_cast<std::int32_t>(bits));
  }

  // 6.
  code = key.Close();
  return code;
}

// ------------------------------------------------------------------ write

std::int32_t WriteValue(Platform& os, const std::string& root, const std::string& keyPath,
                        const std::string& valueName, const std::string& typeLetter, const Variant& value) {
  // 1.
  std::int32_t code = kUnrecognised;
  const std::string type = Upper(typeLetter);
  const std::uint32_t resolved = ResolveRoot(os, root);
  if (resolved == kRootNotRecognised) return code;

  // 2. INI file: texts only.
  if (resolved == kRootIniFile) {
    if (type != "S") return code;
    code = os.WritePrivateProfileStringA(keyPath, valueName, ToText(value), os.FullPath(root));
    return code;
  }

  // 3. Registry hive: open the key, creating every missing key on the way.
  RegKey key;
  code = os.RegCreateKeyExA(resolved, keyPath, platform::kKeySetValue | platform::kKeyCreateSubKey, key);
  if (code != platform::kErrorSuccess) return code;

  // 4. By type letter; any other letter writes nothing.
  if (type == "S") {
    // The text and its NUL; the empty text as no bytes at all.
    const std::string text = ToText(value);
    std::vector<std::uint8_t> data(text.begin(), text.end());
    if (!data.empty()) data.push_back(0);
    static const std::uint8_t kNoBytes = 0;  // never a null pointer, even for no data
    code = os.RegSetValueExA(key, valueName, platform::kRegSz, data.empty() ? &kNoBytes : data.data(),
                             std::uint32_t(data.size()));
  } else if (type == "B") {
    const std::optional<bool> truth = ToTruthValue(value);
    if (!truth) {
      key.Close();
      return platform::kErrorInvalidData;
    }
    const std::vector<std::uint8_t> data = LittleEndian(*truth ? 0xFFFFu : 0u, 2);
    code = os.RegSetValueExA(key, valueName, platform::kRegBinary, data.data(), std::uint32_t(data.size()));
  } else if (type == "D") {
    const std::optional<std::int16_t> number = ToInteger16(value);
    if (!number) {
      key.Close();
      return platform::kErrorInvalidData;
    }
    const std::vector<std::uint8_t> data = LittleEndian(static_cast<std::uint32_t>(std::int32_t(*number)), 4);
    code = os.RegSetValueExA(key, valueName, platform::kRegDword, data.data(), std::uint32_t(data.size()));
  }

  // 5.
  if (code != platform::kErrorSuccess) {
    key.Close();
    return code;
  }
  code = key.Close();
  return code;
}

// ----------------------------------------------------------------- delete

std::int32_t DeleteValue(Platform& os, const std::string& root, const std::string& keyPath,
                         const std::string& valueName) {
  // 1.
  std::int32_t code = kUnrecognised;
  const std::uint32_t resolved = ResolveRoot(os, root);
  if (resolved == kRootNotRecognised) return code;

  // 2. INI file: the entry stays, with an empty text.
  if (resolved == kRootIniFile) {
    code = os.WritePrivateProfileStringA(keyPath, valueName, "", os.FullPath(root));
    return code;
  }

  // 3. Registry hive: a missing key holds nothing to delete.
  RegKey key;
  code = os.RegOpenKeyExA(resolved, keyPath, platform::kKeySetValue, key);
  if (code == platform::kErrorFileNotFound) return platform::kErrorSuccess;
  if (code != platform::kErrorSuccess) return code;

  // 4. A missing value is no failure either.
  code = os.RegDeleteValueA(key, valueName);
  key.Close();
  if (code == platform::kErrorFileNotFound) return platform::kErrorSuccess;
  return code;
}

void DeleteKey(Platform& os, const std::string& root, const std::string& keyPath) {
  const std::uint32_t resolved = ResolveRoot(os, root);
  // An INI file or an unrecognised root has no registry key to delete.
  if (resolved == kRootIniFile || resolved == kRootNotRecognised) return;
  os.RegDeleteKeyA(resolved, keyPath);
}

}  // namespace tamberlinox::modRegistry
