// Small text helpers shared by the parts of the fake system: Windows compares
// the names of keys, values, files, windows and atoms without regard to case.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tamberlinox::platform::fake_text {

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

inline std::string Lower(std::string text) {
  for (char& c : text) c = LowerAscii(c);
  return text;
}

inline bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// Splits on one separator; empty parts are kept.
inline std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  for (;;) {
    std::string::size_type end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

inline std::string TrimBlanks(const std::string& text) {
  const char* blanks = " \t";
  std::string::size_type first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace tamberlinox::platform::fake_text
