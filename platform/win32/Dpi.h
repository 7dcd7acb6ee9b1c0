// The screen's DPI as Windows 10 (1607 and later) gives it per monitor, looked
// up in user32 at run time, and what older Windows gives in its place: one
// DPI for the whole system, which the program's windows have there.
#pragma once

#include "platform/win32/Win32.h"

namespace tamberlinox::platform::win32 {

inline constexpr UINT kWmDpiChanged = 0x02E0;        // WM_DPICHANGED
inline constexpr UINT kWmGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

int SystemDpi();
// The DPI of the monitor the window is on.
int WindowDpi(HWND window);
// GetSystemMetrics at this DPI.
int MetricAtDpi(int index, int dpi);
// The outer size of a window with this frame and client area at this DPI.
SIZE OuterSize(DWORD style, DWORD exStyle, int clientWidth, int clientHeight, int dpi);
// Where a window of this size is centred on the monitor, or on the one with the mouse pointer.
POINT CentredOn(HMONITOR monitor, SIZE size);
POINT CentredOnPointer(SIZE size);

}  // namespace tamberlinox::platform::win32
