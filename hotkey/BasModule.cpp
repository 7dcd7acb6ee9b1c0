#include "hotkey/BasModule.h"

#include "app/Program.h"

namespace tamberlinox::BasModule {

void HookWindow(Program& program, platform::WindowHandle window) {
  platform::Platform& os = program.os;
  program.SavedWndProc = os.SetWindowLongA(window, os.AddressOfWindowProc());
}

void UnhookWindow(Program& program, platform::WindowHandle window) {
  // Never install "no procedure": that is what a failed HookWindow leaves behind.
  if (program.SavedWndProc == 0) return;
  program.os.SetWindowLongA(window, program.SavedWndProc);
}

std::int32_t ModifierFlags(bool alt, bool ctrl, bool shift) {
  std::int32_t flags = 0;
  if (alt) flags += kModAlt;
  if (ctrl) flags += kModControl;
  if (shift) flags += kModShift;
  return flags;
}

bool ParseKeyCode(const std::string& text, std::int16_t& code) {
  std::size_t i = 0;
  const std::size_t end = text.find_last_not_of(' ') + 1;  // npos + 1 == 0 for all blanks
  while (i < end && text[i] == ' ') ++i;
  bool negative = false;
  if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == end) return false;
  long value = 0;
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
    if (value > 32768) return false;
  }
  if (negative) value = -value;
  if (value < -32768 || value > 32767) return false;
  code = static_cast<std::int16_t>(value);
  return true;
}

}  // namespace tamberlinox::BasModule
