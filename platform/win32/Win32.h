// The one way the Win32 side includes <windows.h>. The build defines UNICODE
// (the wide functions), NOMINMAX and WIN32_LEAN_AND_MEAN for every file of the
// Win32 side, so that any system header that brings <windows.h> in first gets
// the same declarations.
#pragma once

#ifndef UNICODE
#error "the Win32 side talks to Windows through the wide (W) functions: build with UNICODE defined"
#endif

#include <windows.h>
