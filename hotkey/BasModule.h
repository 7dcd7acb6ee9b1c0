// BasModule: installing the program's window procedure around hot key
// registration, and the encoding of the hot key settings.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace tamberlinox {
struct Program;
namespace BasModule {

// The modifier flags of RegisterHotKey.
inline constexpr std::uint32_t kModAlt = 1;
inline constexpr std::uint32_t kModControl = 2;
inline constexpr std::uint32_t kModShift = 4;

// Installs WindowProc on the window and remembers, in SavedWndProc, the procedure it replaced.
void HookWindow(Program& program, platform::WindowHandle window);
// Puts back the procedure HookWindow found.
void UnhookWindow(Program& program, platform::WindowHandle window);

// Alt 1 + Ctrl 2 + Shift 4.
std::int32_t ModifierFlags(bool alt, bool ctrl, bool shift);

// A stored "Key": a whole decimal number (optional blanks around it, optional
// sign) that fits a 16-bit signed integer. False for anything else.
bool ParseKeyCode(const std::string& text, std::int16_t& code);

}  // namespace BasModule
}  // namespace tamberlinox
