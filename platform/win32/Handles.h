// Move-only owners for the Windows handles the Win32 side opens or creates:
// each one gives its handle back when it goes away.
#pragma once

#include <utility>

#include "platform/win32/Win32.h"

namespace tamberlinox::platform::win32 {

template <class T, class Traits>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T value) : value_(value) {}
  Unique(Unique&& other) noexcept : value_(other.Release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  ~Unique() { Reset(); }

  T Get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::Invalid(); }
  // For functions that hand out a new handle through T*.
  T* Put() {
    Reset();
    return &value_;
  }
  T Release() { return std::exchange(value_, Traits::Invalid()); }
  void Reset(T value = Traits::Invalid()) {
    T old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  T value_ = Traits::Invalid();
};

template <class T>
struct GdiObjectTraits {
  static T Invalid() { return nullptr; }
  static void Close(T h) { ::DeleteObject(h); }
};
struct IconTraits {
  static HICON Invalid() { return nullptr; }
  static void Close(HICON h) { ::DestroyIcon(h); }
};
struct MenuTraits {
  static HMENU Invalid() { return nullptr; }
  static void Close(HMENU h) { ::DestroyMenu(h); }
};
struct MemoryDcTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC h) { ::DeleteDC(h); }
};
struct RegKeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY h) { ::RegCloseKey(h); }
};
struct FindTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};
struct ModuleTraits {
  static HMODULE Invalid() { return nullptr; }
  static void Close(HMODULE h) { ::FreeLibrary(h); }
};

using GdiFont = Unique<HFONT, GdiObjectTraits<HFONT>>;
using Bitmap = Unique<HBITMAP, GdiObjectTraits<HBITMAP>>;
using Brush = Unique<HBRUSH, GdiObjectTraits<HBRUSH>>;
using Icon = Unique<HICON, IconTraits>;
using Menu = Unique<HMENU, MenuTraits>;
using MemoryDc = Unique<HDC, MemoryDcTraits>;
using RegKey = Unique<HKEY, RegKeyTraits>;
using FindHandle = Unique<HANDLE, FindTraits>;
using Module = Unique<HMODULE, ModuleTraits>;

struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
using KernelHandle = Unique<HANDLE, KernelHandleTraits>;  // events, threads, processes

// The screen's device context, for the duration of one scope.
class ScreenDc {
 public:
  ScreenDc() : dc_(::GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ::ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back at the end of the scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? ::SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (previous_) ::SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A function of a library loaded at run time, as its own type; null when the
// library does not have it.
template <class Function>
Function ProcAddress(HMODULE library, const char* name) {
  FARPROC address = library != nullptr ? ::GetProcAddress(library, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

}  // namespace tamberlinox::platform::win32
