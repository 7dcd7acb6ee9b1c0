// A stand-in for wininet.dll whose connection answer the test decides. Wine's
// own InternetGetConnectedState always reports a LAN connection (TRUE, flags
// 0x12), network or not. This DLL, put beside the program and loaded as a
// native DLL ("wininet=n", set for the program in Wine's registry by the tests
// that use it), exports only the one function the program uses; see
// StubProtocol.h for its registry values.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "../StubProtocol.h"

namespace {

std::string ReadText(HKEY key, const char* name) {
  char data[256] = "";
  DWORD size = sizeof data - 1, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  data[size < sizeof data ? size : sizeof data - 1] = '\0';
  return data;
}

void WriteText(HKEY key, const char* name, const std::string& value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI InternetGetConnectedState(DWORD* flags, DWORD reserved) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, e2e::kWininetKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    if (flags) *flags = 0;
    return FALSE;
  }
  const bool connected = ReadText(key, "Connected") == "1";
  const DWORD answer = DWORD(std::strtoul(ReadText(key, "Flags").c_str(), nullptr, 10));
  const unsigned long calls = std::strtoul(ReadText(key, "Calls").c_str(), nullptr, 10) + 1;
  // The caller's path as the wide function gives it, whatever its characters.
  wchar_t caller[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, caller, MAX_PATH);
  WriteText(key, "Calls", std::to_string(calls));
  WriteText(key, "Reserved", std::to_string(reserved));
  RegSetValueExW(key, L"Caller", 0, REG_SZ, reinterpret_cast<const BYTE*>(caller),
                 DWORD((lstrlenW(caller) + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  if (flags) *flags = answer;
  return connected ? TRUE : FALSE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
