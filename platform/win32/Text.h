// Text between the program (UTF-8) and the system (UTF-16), converted here and
// nowhere else.
//
// The system's names may hold UTF-16 that is not valid Unicode: an unpaired
// surrogate travels into the program in the generalized form of UTF-8 (WTF-8:
// the surrogate's own three-byte sequence), and such a sequence turns back
// into the same surrogate on the way out, so that a path read from the system
// names the same file when it is handed back. Bytes that are not UTF-8 become
// U+FFFD on the way to the system.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32/Win32.h"

namespace tamberlinox::platform::win32 {

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

// The text of a window or control; "" for none.
std::string WindowText(HWND window);

}  // namespace tamberlinox::platform::win32
