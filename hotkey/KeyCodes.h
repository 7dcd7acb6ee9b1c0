// The keys the hot key can be, and how the stored settings become the
// arguments of the system's hot key registration.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tamberlinox::hotkey {

// F10, the hot key of a first start.
inline constexpr int kDefaultKeyCode = 121;

// The modifier flags of the system's hot key registration.
inline constexpr std::uint32_t kModAlt = 1;
inline constexpr std::uint32_t kModControl = 2;
inline constexpr std::uint32_t kModShift = 4;

std::uint32_t ModifierFlags(bool alt, bool ctrl, bool shift);

// A selectable key: its name in the hot key window and its virtual-key code.
struct SelectableKey {
  const char* name;
  int code;
};
// "A" to "Z" (65 to 90), then "F1" to "F12" (112 to 123).
extern const std::array<SelectableKey, 38> kSelectableKeys;

// The name of a code, or nothing when no selectable key has it.
std::optional<std::string> KeyName(int code);
// The code of a name (exact, case-sensitive comparison), or nothing.
std::optional<int> KeyCode(const std::string& name);

// A stored "Key": a whole decimal number (blanks around it and a sign allowed)
// that fits a 16-bit signed integer. NULs at the end (a string stored with its
// terminator counted twice, or a multi-string) are not part of it. Nothing for
// anything else.
std::optional<int> ParseKeyCode(const std::string& text);

// The key a stored "Key" registers: its code when it is one of a key (1 to
// 254), else F10 (the store keeps what it holds).
int KeyToRegister(const std::string& storedKey);

// The combination as a user names it: "Ctrl+Alt+F10", "Shift+A", "F10".
std::string Describe(int key, std::uint32_t modifiers);

}  // namespace tamberlinox::hotkey
