#include "platform/win32/Com.h"

namespace tamberlinox::platform::win32 {

Com::~Com() {
  if (oleEntered_) oleUninitialize_();
  if (entered_) coUninitialize();
}

bool Com::EnterApartment() {
  if (enterTried_) return inApartment_;
  enterTried_ = true;
  ole32_.Reset(::LoadLibraryW(L"ole32.dll"));
  const HMODULE ole = ole32_.Get();
  coInitializeEx = ProcAddress<decltype(coInitializeEx)>(ole, "CoInitializeEx");
  coUninitialize = ProcAddress<decltype(coUninitialize)>(ole, "CoUninitialize");
  if (coInitializeEx == nullptr || coUninitialize == nullptr) return false;
  const HRESULT result = coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  entered_ = SUCCEEDED(result);  // S_FALSE too: each success is paired with a CoUninitialize
  // A thread already in a multithreaded apartment can still use the objects.
  inApartment_ = entered_ || result == RPC_E_CHANGED_MODE;
  return inApartment_;
}

void Com::FreeUnusedLibraries() {
  if (!entered_) return;
  using Free = void(WINAPI*)(DWORD, DWORD);
  if (const auto free = ProcAddress<Free>(ole32_.Get(), "CoFreeUnusedLibrariesEx")) free(0, 0);
}

bool Com::StartOle() {
  if (!EnterApartment()) return false;
  if (oleTried_) return oleEntered_;
  oleTried_ = true;
  const auto oleInitialize = ProcAddress<decltype(&::OleInitialize)>(ole32_.Get(), "OleInitialize");
  oleUninitialize_ = ProcAddress<decltype(&::OleUninitialize)>(ole32_.Get(), "OleUninitialize");
  if (oleInitialize == nullptr || oleUninitialize_ == nullptr) return false;
  oleEntered_ = SUCCEEDED(oleInitialize(nullptr));
  return oleEntered_;
}

bool Com::Start() {
  if (startTried_) return started_;
  startTried_ = true;
  if (!EnterApartment()) return false;
  oleaut32_.Reset(::LoadLibraryW(L"oleaut32.dll"));
  const HMODULE ole = ole32_.Get(), automation = oleaut32_.Get();
  coCreateInstance = ProcAddress<decltype(coCreateInstance)>(ole, "CoCreateInstance");
  clsidFromProgId = ProcAddress<decltype(clsidFromProgId)>(ole, "CLSIDFromProgID");
  sysAllocStringLen = ProcAddress<decltype(sysAllocStringLen)>(automation, "SysAllocStringLen");
  sysFreeString = ProcAddress<decltype(sysFreeString)>(automation, "SysFreeString");
  variantClear = ProcAddress<decltype(variantClear)>(automation, "VariantClear");
  variantChangeType = ProcAddress<decltype(variantChangeType)>(automation, "VariantChangeType");
  started_ = coCreateInstance && clsidFromProgId && sysAllocStringLen && sysFreeString && variantClear &&
             variantChangeType;
  return started_;
}

}  // namespace tamberlinox::platform::win32
