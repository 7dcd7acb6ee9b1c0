#include "platform/win32/Automation.h"

#include "platform/win32/Text.h"

namespace tamberlinox::platform::win32 {

namespace {

// {72C24DD5-D70A-438B-8A42-98424B88AFB8}: the Script Host's shell object, the
// class that "WScript.Shell" names on Windows and under Wine.
constexpr CLSID kScriptShellClass = {0x72C24DD5, 0xD70A, 0x438B, {0x8A, 0x42, 0x98, 0x42, 0x4B, 0x88, 0xAF, 0xB8}};
// IID_IDispatch and IID_NULL, written out: the uuid library holds the first
// among thousands of others.
constexpr IID kDispatchInterface = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kNoInterface = {};

ComPtr<IDispatch> CreateObject(Com& com, const CLSID& cls) {
  ComPtr<IDispatch> object;
  if (FAILED(com.coCreateInstance(cls, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, kDispatchInterface,
                                  object.Put()))) {
    object.Reset();
  }
  return object;
}

ComPtr<IDispatch> CreateObject(Com& com, const wchar_t* progId) {
  CLSID cls;
  if (FAILED(com.clsidFromProgId(progId, &cls))) return {};
  return CreateObject(com, cls);
}

// A BSTR, freed when it goes away.
class Bstr {
 public:
  Bstr(Com& com, const std::wstring& text) : com_(com) {
    value_ = com.sysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }
  ~Bstr() { com_.sysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR Get() const { return value_; }

 private:
  Com& com_;
  BSTR value_;
};

// A VARIANT result, cleared when it goes away.
class Variant {
 public:
  explicit Variant(Com& com) : com_(com) { value_.vt = VT_EMPTY; }
  ~Variant() { com_.variantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* Ptr() { return &value_; }
  VARIANT& Get() { return value_; }

 private:
  Com& com_;
  VARIANT value_{};
};

// Calls a member by name with at most one argument: a method, a property read
// or a property write.
HRESULT Invoke(Com& com, IDispatch* object, const wchar_t* name, WORD flags, VARIANT* argument, VARIANT* result) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(kNoInterface, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = argument;
  params.cArgs = argument != nullptr ? 1 : 0;
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  UINT argumentError = 0;
  hr = object->Invoke(id, kNoInterface, LOCALE_USER_DEFAULT, flags, &params, result, &exception, &argumentError);
  com.sysFreeString(exception.bstrSource);
  com.sysFreeString(exception.bstrDescription);
  com.sysFreeString(exception.bstrHelpFile);
  return hr;
}

VARIANT TextArgument(const Bstr& text) {
  VARIANT argument{};
  argument.vt = VT_BSTR;
  argument.bstrVal = text.Get();
  return argument;
}

}  // namespace

std::string ScriptHost::SpecialFolder(const std::string& name) {
  if (!shell_) {
    if (!com_.Start()) return {};
    shell_ = CreateObject(com_, kScriptShellClass);
    if (!shell_) shell_ = CreateObject(com_, L"WScript.Shell");
    if (!shell_) return {};
  }
  Bstr folder(com_, Widen(name));
  if (!folder.Get()) return {};
  VARIANT argument = TextArgument(folder);
  Variant result(com_);
  const HRESULT hr =
      Invoke(com_, shell_.Get(), L"SpecialFolders", DISPATCH_PROPERTYGET | DISPATCH_METHOD, &argument, result.Ptr());
  if (FAILED(hr) || result.Get().vt != VT_BSTR || result.Get().bstrVal == nullptr) return {};
  return Narrow(result.Get().bstrVal);
}

std::unique_ptr<BrowserAutomation> BrowserAutomation::Create(Com& com) {
  if (!com.Start()) return nullptr;
  ComPtr<IDispatch> object = CreateObject(com, L"InternetExplorer.Application");
  if (!object) return nullptr;
  return std::make_unique<BrowserAutomation>(com, std::move(object));
}

bool BrowserAutomation::Navigate(const std::wstring& address) {
  Bstr url(com_, address);
  if (!url.Get()) return false;
  VARIANT argument = TextArgument(url);
  Variant result(com_);
  return SUCCEEDED(Invoke(com_, object_.Get(), L"Navigate", DISPATCH_METHOD, &argument, result.Ptr()));
}

std::optional<std::int32_t> BrowserAutomation::ReadyState() {
  Variant result(com_);
  if (FAILED(Invoke(com_, object_.Get(), L"ReadyState", DISPATCH_PROPERTYGET, nullptr, result.Ptr()))) {
    return std::nullopt;
  }
  if (FAILED(com_.variantChangeType(result.Ptr(), result.Ptr(), 0, VT_I4))) return std::nullopt;
  return static_cast<std::int32_t>(result.Get().lVal);
}

bool BrowserAutomation::SetVisible(bool visible) {
  VARIANT argument{};
  argument.vt = VT_BOOL;
  argument.boolVal = visible ? VARIANT_TRUE : VARIANT_FALSE;
  return SUCCEEDED(Invoke(com_, object_.Get(), L"Visible", DISPATCH_PROPERTYPUT, &argument, nullptr));
}

bool BrowserAutomation::Quit() {
  Variant result(com_);
  return SUCCEEDED(Invoke(com_, object_.Get(), L"Quit", DISPATCH_METHOD, nullptr, result.Ptr()));
}

}  // namespace tamberlinox::platform::win32
