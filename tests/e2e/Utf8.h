// Text in the harness and its helper programs is UTF-8 in std::string; the
// wide (W) functions of Windows take and give UTF-16. File names may hold an
// unpaired surrogate, which no UTF-8 can carry: such a unit travels as its own
// three bytes (the WTF-8 form of it), so that a name read from the file system
// and handed back names the same file, and so that a caption with a lone
// surrogate never compares equal to one with U+FFFD. Plain C++: the menu hook
// and the marker include it too.
#pragma once

#include <string>
#include <string_view>

namespace e2e {

inline std::string ToUtf8(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(wide[i + 1]) - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Bytes that are no UTF-8 at all become U+FFFD, one for each.
inline std::wstring ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80             ? 1
                          : (lead & 0xE0) == 0xC0 ? 2
                          : (lead & 0xF0) == 0xE0 ? 3
                          : (lead & 0xF8) == 0xF0 ? 4
                                                  : 0;
    char32_t c = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = length != 0 && i + length <= text.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    if (!valid) {
      out += wchar_t(0xFFFD);
      ++i;
      continue;
    }
    i += length;
    if (c >= 0x10000) {
      out += wchar_t(0xD800 + ((c - 0x10000) >> 10));
      out += wchar_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += wchar_t(c);
    }
  }
  return out;
}

}  // namespace e2e
