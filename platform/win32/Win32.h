// The one way the Win32 side includes <windows.h>: ANSI, no min/max macros.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifdef UNICODE
#error "Tamberlinox talks to Windows through the ANSI functions: build without UNICODE"
#endif

#include <windows.h>
