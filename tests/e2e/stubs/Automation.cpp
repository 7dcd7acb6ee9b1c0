// A stand-in for the web browser's automation object: a local COM server that
// a test registers as the class of "InternetExplorer.Application", so that the
// browser can be one that never has its page, or one that hangs inside a call.
// COM starts it with "-Embedding" when the program creates the object; it
// serves that one object, records what it is asked and answers as the test
// ordered (StubProtocol.h), then ends when the object is released. A hung one
// ends only when the test ends it.
#include <windows.h>

#include <oaidl.h>
#include <objbase.h>

#include <cstdlib>
#include <string>

#include "../StubProtocol.h"

namespace {

enum : DISPID { kNavigate = 1, kReadyState = 2, kVisible = 3, kQuit = 4 };

DWORD g_mainThread = 0;
bool g_served = false;

std::string Read(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, e2e::kAutomationKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
  char data[256] = "";
  DWORD size = sizeof data - 1, type = 0;
  const LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_SZ) return {};
  data[size < sizeof data ? size : sizeof data - 1] = '\0';
  return data;
}

void Write(const char* name, const std::wstring& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, e2e::kAutomationKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  const std::wstring wideName(name, name + strlen(name));
  RegSetValueExW(key, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 DWORD((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void Write(const char* name, unsigned long number) { Write(name, std::to_wstring(number)); }

class Browser final : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      Write("Released", 1);
      PostThreadMessageW(g_mainThread, WM_QUIT, 0, 0);  // the one object served is gone
    }
    return ULONG(left);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
      if (lstrcmpiW(names[i], L"Navigate") == 0) {
        ids[i] = kNavigate;
      } else if (lstrcmpiW(names[i], L"ReadyState") == 0) {
        ids[i] = kReadyState;
      } else if (lstrcmpiW(names[i], L"Visible") == 0) {
        ids[i] = kVisible;
      } else if (lstrcmpiW(names[i], L"Quit") == 0) {
        ids[i] = kQuit;
      } else {
        ids[i] = DISPID_UNKNOWN;
        result = DISP_E_UNKNOWNNAME;
      }
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    switch (id) {
      case kNavigate:
        if (params->cArgs < 1 || params->rgvarg[params->cArgs - 1].vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        Write("Navigated", params->rgvarg[params->cArgs - 1].bstrVal);
        return S_OK;
      case kReadyState: {
        Write("Reads", ++reads_);
        const std::string mode = Read("Mode");
        if (mode == "Hang") {
          Write("Hanging", 1);
          Sleep(INFINITE);  // a browser busy for ever, inside the call
        }
        if (result != nullptr) {
          VariantInit(result);
          result->vt = VT_I4;
          result->lVal = mode == "NeverReady" ? 1 : 4;
        }
        return S_OK;
      }
      case kVisible:
        if (params->cArgs < 1 || params->rgvarg[0].vt != VT_BOOL) return DISP_E_TYPEMISMATCH;
        Write("Visible", params->rgvarg[0].boolVal ? 1 : 0);
        return S_OK;
      case kQuit:
        Write("Quit", 1);
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  LONG references_ = 1;
  unsigned long reads_ = 0;
};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the process
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    g_served = true;
    Browser* browser = new Browser;
    const HRESULT result = browser->QueryInterface(iid, object);
    browser->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  g_mainThread = GetCurrentThreadId();
  Write("Pid", GetCurrentProcessId());
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  CLSID cls{};
  std::wstring text(e2e::kAutomationClass, e2e::kAutomationClass + strlen(e2e::kAutomationClass));
  static Factory factory;
  DWORD cookie = 0;
  if (FAILED(CLSIDFromString(text.data(), &cls)) ||
      FAILED(CoRegisterClassObject(cls, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie))) {
    CoUninitialize();
    return 1;
  }
  // No object asked for within a minute: nobody wants one.
  SetTimer(nullptr, 0, 60000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == nullptr) {
      if (!g_served) break;
      continue;
    }
    DispatchMessageW(&message);
  }
  CoRevokeClassObject(cookie);
  CoUninitialize();
  return 0;
}
