#include "settings/ValueStore.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace tamberlinox::settings {

using platform::Hive;

namespace {

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

bool EqualNoCase(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A number written in decimal: blanks around it, an optional sign, digits with
// an optional fraction ("12", "-3.5", ".5", "+7.").
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

// To a 16-bit integer, rounding half to even; nothing outside -32768..32767.
std::optional<std::int16_t> ToInteger16(const Value& value) {
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
std::optional<bool> ToTruthValue(const Value& value) {
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

std::string Digits(unsigned long long n) {
  std::string digits;
  do {
    digits.insert(digits.begin(), char('0' + n % 10));
    n /= 10;
  } while (n != 0);
  return digits;
}

std::vector<std::uint8_t> LittleEndian(std::uint32_t value, std::size_t bytes) {
  std::vector<std::uint8_t> data(bytes);
  for (std::size_t i = 0; i < bytes; ++i) data[i] = static_cast<std::uint8_t>(value >> (8 * i));
  return data;
}

Hive HiveOf(std::uint32_t resolved) { return static_cast<Hive>(resolved); }

}  // namespace

std::string ValueText(const Value& value) {
  if (const bool* truth = std::get_if<bool>(&value)) return *truth ? "True" : "False";
  const double* number = std::get_if<double>(&value);
  if (number == nullptr) return std::get<std::string>(value);
  if (!std::isfinite(*number)) return {};
  if (*number == 0.0) return "0";  // also for -0
  const std::string sign = *number < 0 ? "-" : "";
  const double magnitude = std::fabs(*number);
  if (magnitude < 9.2e18 && magnitude == std::floor(magnitude))
    return sign + Digits(static_cast<unsigned long long>(magnitude));
  // Fifteen significant digits, written out without an exponent.
  const int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
  const double scaled = magnitude * std::pow(10.0, 14 - exponent);
  std::string digits = Digits(static_cast<unsigned long long>(std::llround(scaled)));
  int pointAfter = exponent + 1;  // digits before the decimal point
  if (digits.size() > 15) ++pointAfter, digits.pop_back();  // rounding carried into a sixteenth digit
  std::string text;
  if (pointAfter <= 0) {
    text = "0." + std::string(std::size_t(-pointAfter), '0') + digits;
  } else if (pointAfter >= int(digits.size())) {
    text = digits + std::string(std::size_t(pointAfter) - digits.size(), '0');
  } else {
    text = digits.substr(0, std::size_t(pointAfter)) + "." + digits.substr(std::size_t(pointAfter));
  }
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return sign + text;
}

std::uint32_t ValueStore::ResolveRoot(const std::string& root) const {
  static const std::pair<const char*, Hive> kHives[] = {
      {"HKCU", Hive::CurrentUser},   {"HKLM", Hive::LocalMachine}, {"HKU", Hive::Users},
      {"HKDD", Hive::DynData},       {"HKCC", Hive::CurrentConfig}, {"HKCR", Hive::ClassesRoot},
  };
  const std::string upper = Upper(root);
  for (const auto& [abbreviation, hive] : kHives)
    if (upper == abbreviation) return static_cast<std::uint32_t>(hive);
  // Any other root names an INI file, exactly as passed, when that file exists.
  if (os_.IsOrdinaryFile(root)) return kRootIniFile;
  return kRootNotRecognised;
}

std::int32_t ValueStore::Read(const std::string& root, const std::string& key, const std::string& name,
                              const std::string& type, const std::string& defaultText, std::string& text) const {
  text = defaultText;
  const std::string letter = Upper(type);
  const std::uint32_t resolved = ResolveRoot(root);
  if (resolved == kRootNotRecognised) return kNotRecognised;

  if (resolved == kRootIniFile) {
    // The profile functions cannot fail; other types than text read as the default.
    if (letter == "S") text = os_.ReadIniText(os_.FullPath(root), key, name, defaultText);
    return platform::kErrorSuccess;
  }

  // The type the registry reports for the value is not compared with the letter.
  const Hive hive = HiveOf(resolved);
  if (letter == "S") {
    std::optional<std::string> stored;
    const std::int32_t code = os_.ReadRegistryText(hive, key, name, stored);
    if (code == platform::kErrorSuccess && stored) text = *stored;  // zero bytes keep the default
    return code;
  }
  if (letter == "B" || letter == "D") {
    const std::size_t size = letter == "B" ? 2 : 4;
    std::vector<std::uint8_t> data;
    const std::int32_t code = os_.ReadRegistryBytes(hive, key, name, size, data);
    if (code != platform::kErrorSuccess) return code;
    data.resize(size, 0);
    if (letter == "B") {
      text = (data[0] != 0 || data[1] != 0) ? "True" : "False";
    } else {
      const std::uint32_t bits = std::uint32_t(data[0]) | (std::uint32_t(data[1]) << 8) |
                                 (std::uint32_t(data[2]) << 16) | (std::uint32_t(data[3]) << 24);
      text = std::to_string(static_cast<std::int32_t>(bits));
    }
    return code;
  }
  // Any other letter reads nothing, and reports whether the value is there.
  std::vector<std::uint8_t> ignored;
  const std::int32_t code = os_.ReadRegistryBytes(hive, key, name, SIZE_MAX, ignored);
  return code;
}

std::int32_t ValueStore::Write(const std::string& root, const std::string& key, const std::string& name,
                               const std::string& type, const Value& value) const {
  const std::string letter = Upper(type);
  const std::uint32_t resolved = ResolveRoot(root);
  if (resolved == kRootNotRecognised) return kNotRecognised;

  if (resolved == kRootIniFile) {
    if (letter != "S") return kNotRecognised;
    return os_.WriteIniText(os_.FullPath(root), key, name, ValueText(value));
  }

  const Hive hive = HiveOf(resolved);
  if (letter == "S") return os_.WriteRegistryText(hive, key, name, ValueText(value));
  if (letter == "B") {
    // A value that is no truth value writes nothing, and says so.
    const std::optional<bool> truth = ToTruthValue(value);
    if (!truth) return platform::kErrorInvalidData;
    return os_.WriteRegistryBytes(hive, key, name, platform::kRegBinary, LittleEndian(*truth ? 0xFFFFu : 0u, 2));
  }
  if (letter == "D") {
    const std::optional<std::int16_t> number = ToInteger16(value);
    if (!number) return platform::kErrorInvalidData;
    return os_.WriteRegistryBytes(hive, key, name, platform::kRegDword,
                                  LittleEndian(static_cast<std::uint32_t>(std::int32_t(*number)), 4));
  }
  // Any other letter writes nothing.
  return platform::kErrorSuccess;
}

std::int32_t ValueStore::Delete(const std::string& root, const std::string& key, const std::string& name) const {
  const std::uint32_t resolved = ResolveRoot(root);
  if (resolved == kRootNotRecognised) return kNotRecognised;
  if (resolved == kRootIniFile) return os_.WriteIniText(os_.FullPath(root), key, name, "");
  const std::int32_t code = os_.DeleteRegistryValue(HiveOf(resolved), key, name);
  return code == platform::kErrorFileNotFound ? platform::kErrorSuccess : code;
}

void ValueStore::DeleteKey(const std::string& root, const std::string& key) const {
  const std::uint32_t resolved = ResolveRoot(root);
  // An INI file or an unrecognised root has no registry key to delete.
  if (resolved == kRootIniFile || resolved == kRootNotRecognised) return;
  os_.DeleteRegistryKey(HiveOf(resolved), key);
}

}  // namespace tamberlinox::settings
