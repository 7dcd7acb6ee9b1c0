// COM and automation, loaded when the program first needs them: ole32 and
// oleaut32 are not among the program's imports, so a run that never asks for
// a shell folder, the Script Host or the browser never loads them.
#pragma once

#include <oaidl.h>
#include <objbase.h>
#include <ole2.h>

#include <utility>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32.h"

namespace tamberlinox::platform::win32 {

class Com {
 public:
  Com() = default;
  ~Com();  // leaves the apartment it entered, then lets the libraries go
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;

  // Loads the two libraries and enters the thread's (single-threaded)
  // apartment, the first time; false when automation objects cannot be used.
  bool Start();
  // Enters the thread's single-threaded apartment (with OLE1 DDE off, as the
  // shell wants it), loading ole32 alone, the first time; false when COM
  // cannot be used on this thread.
  bool EnterApartment();
  // EnterApartment, and OLE on top of it (the clipboard and drag and drop
  // that the shell's commands use), the first time; false when it cannot be had.
  bool StartOle();
  // Lets go of the libraries of COM objects that no one uses any more, at
  // once, when the thread is in its apartment.
  void FreeUnusedLibraries();

  decltype(&::CoInitializeEx) coInitializeEx = nullptr;
  decltype(&::CoUninitialize) coUninitialize = nullptr;
  decltype(&::CoCreateInstance) coCreateInstance = nullptr;
  decltype(&::CLSIDFromProgID) clsidFromProgId = nullptr;
  decltype(&::SysAllocStringLen) sysAllocStringLen = nullptr;
  decltype(&::SysFreeString) sysFreeString = nullptr;
  decltype(&::VariantClear) variantClear = nullptr;
  decltype(&::VariantChangeType) variantChangeType = nullptr;

 private:
  Module ole32_, oleaut32_;
  bool startTried_ = false, started_ = false;
  bool enterTried_ = false, inApartment_ = false, entered_ = false;
  bool oleTried_ = false, oleEntered_ = false;
  decltype(&::OleUninitialize) oleUninitialize_ = nullptr;
};

// A COM interface pointer: released when it goes away.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }

  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For functions that hand out a new reference through void**.
  void** Put() {
    Reset();
    return reinterpret_cast<void**>(&p_);
  }
  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }

 private:
  T* p_ = nullptr;
};

}  // namespace tamberlinox::platform::win32
