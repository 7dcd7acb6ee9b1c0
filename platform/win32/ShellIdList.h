// An item identifier list of the shell, given back to the shell's allocator
// when it goes (the allocator comes from shell32, so ole32 need not be loaded
// for it).
#pragma once

#include "platform/win32/Win32.h"
// The header below needs <windows.h> before it.
#include <shlobj.h>

#include <string>

#include "platform/Platform.h"

namespace tamberlinox::platform::win32 {

class ShellIdList {
 public:
  ShellIdList() = default;
  ~ShellIdList() { Reset(); }
  ShellIdList(const ShellIdList&) = delete;
  ShellIdList& operator=(const ShellIdList&) = delete;

  // The list of a shell item: a path, or a place by its shell folder. Empty
  // when the shell does not know it.
  static ShellIdList Of(const ShellItem& item);

  ShellIdList(ShellIdList&& other) noexcept : list_(other.list_) { other.list_ = nullptr; }
  ShellIdList& operator=(ShellIdList&& other) noexcept {
    if (this != &other) {
      Reset();
      list_ = other.list_;
      other.list_ = nullptr;
    }
    return *this;
  }

  LPITEMIDLIST Get() const { return list_; }
  explicit operator bool() const { return list_ != nullptr; }
  LPITEMIDLIST* Put() {
    Reset();
    return &list_;
  }
  void Reset();

 private:
  LPITEMIDLIST list_ = nullptr;
};

}  // namespace tamberlinox::platform::win32
