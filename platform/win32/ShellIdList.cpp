#include "platform/win32/ShellIdList.h"

#include "platform/win32/Com.h"
#include "platform/win32/Text.h"

namespace tamberlinox::platform::win32 {

void ShellIdList::Reset() {
  if (list_ == nullptr) return;
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(::SHGetMalloc(&allocator)) && allocator != nullptr) {
    allocator->Free(list_);
    allocator->Release();
  }
  list_ = nullptr;
}

ShellIdList ShellIdList::Of(const ShellItem& item) {
  ShellIdList list;
  int folder = -1;
  switch (item.place) {
    case ShellPlace::MyComputer:
      folder = CSIDL_DRIVES;
      break;
    case ShellPlace::MyDocuments:
      folder = CSIDL_PERSONAL;
      break;
    case ShellPlace::RecycleBin:
      folder = CSIDL_BITBUCKET;
      break;
    case ShellPlace::None:
      break;
  }
  if (folder >= 0) {
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, folder, list.Put()))) list.Reset();
  } else if (!item.path.empty()) {
    if (FAILED(::SHParseDisplayName(Widen(item.path).c_str(), nullptr, list.Put(), 0, nullptr))) list.Reset();
  }
  return list;
}

}  // namespace tamberlinox::platform::win32
