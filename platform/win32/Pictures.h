// The About window's pictures, drawn at run time instead of being stored in the program's file.
#pragma once

#include <windows.h>

namespace tamberlinox::platform::win32 {

// Draws the picture with the given resource id (IDB_ABOUT_BACK or IDB_ABOUT_BUTTON) into a new 24-bit DIB
// section, at the scale of the DPI (96 = its own size). The bitmap is the picture's size at that scale, or
// width x height pixels of it from its top-left corner when they are given (the picture goes on past its
// edges). The caller owns the bitmap and frees it with DeleteObject. Null for any other id or on failure.
HBITMAP CreatePicture(int resourceId, int dpi, int width = 0, int height = 0);

}  // namespace tamberlinox::platform::win32
