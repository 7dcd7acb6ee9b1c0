#include "platform/win32/Automation.h"

#include "platform/win32/Handles.h"

#include <oaidl.h>

#include <string>

namespace tamberlinox::platform::win32 {

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const wchar_t* text, int length) {
  if (text == nullptr || length <= 0) return {};
  int n = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, length, narrow.data(), n, nullptr, nullptr);
  return narrow;
}

namespace {

// {F935DC22-1CF0-11D0-ADB9-00C04FD58A0B}: the Windows Script Host shell object.
constexpr CLSID kScriptShellClass = {0xF935DC22, 0x1CF0, 0x11D0, {0xAD, 0xB9, 0x00, 0xC0, 0x4F, 0xD5, 0x8A, 0x0B}};

ComPtr<IDispatch> CreateObject(const CLSID& cls) {
  ComPtr<IDispatch> object;
  HRESULT hr = ::CoCreateInstance(cls, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(object.Put()));
  if (FAILED(hr)) object.Reset();
  return object;
}

ComPtr<IDispatch> CreateObject(const wchar_t* progId) {
  CLSID cls;
  if (FAILED(::CLSIDFromProgID(progId, &cls))) return {};
  return CreateObject(cls);
}

// Calls a member by name: a method, a property read or a property write.
// args are in the order the member takes them.
HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* args, UINT count, VARIANT* result) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  // IDispatch wants the arguments last to first.
  VARIANT reversed[4];
  if (count > 4) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) reversed[i] = args[count - 1 - i];
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = count ? reversed : nullptr;
  params.cArgs = count;
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  UINT argError = 0;
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &exception, &argError);
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  return hr;
}

Bstr MakeBstr(const std::string& text) {
  std::wstring wide = Widen(text);
  return Bstr(::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

class ScriptShellObject final : public ScriptShell {
 public:
  explicit ScriptShellObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  std::string SpecialFolders(const std::string& name) override {
    Bstr argument = MakeBstr(name);
    if (!argument) return {};
    VARIANT arg;
    ::VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = argument.Get();
    Variant result;
    HRESULT hr = Invoke(object_.Get(), L"SpecialFolders", DISPATCH_PROPERTYGET | DISPATCH_METHOD, &arg, 1,
                        result.Ptr());
    if (FAILED(hr) || result.Get().vt != VT_BSTR) return {};
    BSTR text = result.Get().bstrVal;
    return Narrow(text, static_cast<int>(::SysStringLen(text)));
  }

 private:
  ComPtr<IDispatch> object_;
};

class WebBrowserObject final : public WebBrowser {
 public:
  explicit WebBrowserObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  bool Navigate(const std::string& address) override {
    Bstr url = MakeBstr(address);
    if (!url) return false;
    VARIANT arg;
    ::VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = url.Get();
    Variant result;
    return SUCCEEDED(Invoke(object_.Get(), L"Navigate", DISPATCH_METHOD, &arg, 1, result.Ptr()));
  }

  bool ReadyState(std::int32_t& state) override {
    Variant result;
    if (FAILED(Invoke(object_.Get(), L"ReadyState", DISPATCH_PROPERTYGET, nullptr, 0, result.Ptr()))) return false;
    if (FAILED(::VariantChangeType(result.Ptr(), result.Ptr(), 0, VT_I4))) return false;
    state = result.Get().lVal;
    return true;
  }

  bool SetVisible(bool visible) override {
    VARIANT arg;
    ::VariantInit(&arg);
    arg.vt = VT_BOOL;
    arg.boolVal = visible ? VARIANT_TRUE : VARIANT_FALSE;
    return SUCCEEDED(Invoke(object_.Get(), L"Visible", DISPATCH_PROPERTYPUT, &arg, 1, nullptr));
  }

 private:
  ComPtr<IDispatch> object_;
};

}  // namespace

std::unique_ptr<ScriptShell> CreateScriptShellObject() {
  ComPtr<IDispatch> object = CreateObject(kScriptShellClass);
  // Some systems register the shell object only under its ProgID.
  if (!object) object = CreateObject(L"WScript.Shell");
  if (!object) return nullptr;
  return std::make_unique<ScriptShellObject>(std::move(object));
}

std::unique_ptr<WebBrowser> CreateWebBrowserObject() {
  ComPtr<IDispatch> object = CreateObject(L"InternetExplorer.Application");
  if (!object) return nullptr;
  return std::make_unique<WebBrowserObject>(std::move(object));
}

}  // namespace tamberlinox::platform::win32
