// The About window's pictures, drawn at run time instead of being stored in the program's file.
#pragma once

#include <windows.h>

namespace tamberlinox::platform::win32 {

// Draws the picture with the given resource id (IDB_ABOUT_BACK or IDB_ABOUT_BUTTON) into a new 24-bit DIB
// section. The caller owns the bitmap and frees it with DeleteObject. Null for any other id or on failure.
// The instance is where the picture's resource would live; the pictures drawn here need none.
HBITMAP CreatePicture(HINSTANCE instance, int resourceId);

}  // namespace tamberlinox::platform::win32
