#include "hotkey/KeyCodes.h"

namespace tamberlinox::hotkey {

const std::array<SelectableKey, 38> kSelectableKeys = {{
    {"A", 65},   {"B", 66},   {"C", 67},   {"D", 68},    {"E", 69},   {"F", 70},   {"G", 71},   {"H", 72},
    {"I", 73},   {"J", 74},   {"K", 75},   {"L", 76},    {"M", 77},   {"N", 78},   {"O", 79},   {"P", 80},
    {"Q", 81},   {"R", 82},   {"S", 83},   {"T", 84},    {"U", 85},   {"V", 86},   {"W", 87},   {"X", 88},
    {"Y", 89},   {"Z", 90},   {"F1", 112}, {"F2", 113},  {"F3", 114}, {"F4", 115}, {"F5", 116}, {"F6", 117},
    {"F7", 118}, {"F8", 119}, {"F9", 120}, {"F10", 121}, {"F11", 122}, {"F12", 123},
}};

std::uint32_t ModifierFlags(bool alt, bool ctrl, bool shift) {
  return (alt ? kModAlt : 0) | (ctrl ? kModControl : 0) | (shift ? kModShift : 0);
}

std::optional<std::string> KeyName(int code) {
  for (const SelectableKey& key : kSelectableKeys)
    if (key.code == code) return std::string(key.name);
  return std::nullopt;
}

std::optional<int> KeyCode(const std::string& name) {
  for (const SelectableKey& key : kSelectableKeys)
    if (name == key.name) return key.code;
  return std::nullopt;
}

std::optional<int> ParseKeyCode(const std::string& stored) {
  const std::string text = stored.substr(0, stored.find_last_not_of('\0') + 1);
  const std::size_t end = text.find_last_not_of(' ') + 1;  // 0 for a text of blanks only
  std::size_t i = 0;
  while (i < end && text[i] == ' ') ++i;
  bool negative = false;
  if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == end) return std::nullopt;
  long value = 0;
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > 32768) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < -32768 || value > 32767) return std::nullopt;
  return static_cast<int>(value);
}

int KeyToRegister(const std::string& storedKey) {
  const std::optional<int> code = ParseKeyCode(storedKey);
  return code && *code >= 1 && *code <= 254 ? *code : kDefaultKeyCode;
}

std::string Describe(int key, std::uint32_t modifiers) {
  std::string text;
  if (modifiers & kModControl) text += "Ctrl+";
  if (modifiers & kModAlt) text += "Alt+";
  if (modifiers & kModShift) text += "Shift+";
  return text + KeyName(key).value_or("key " + std::to_string(key));
}

}  // namespace tamberlinox::hotkey
