// A stand-in web browser: registered by a test as the shell's "open" command
// for http and https addresses, it records the address it was given and ends.
// See StubProtocol.h.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "../StubProtocol.h"

namespace {

// The command line after the program's own (possibly quoted) name, as the
// wide function gives it.
std::wstring Argument() {
  const wchar_t* line = GetCommandLineW();
  if (*line == L'"') {
    ++line;
    while (*line && *line != L'"') ++line;
    if (*line) ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  std::wstring argument = line;
  // The command registered is "<browser>" "%1": the address comes in quotes.
  if (argument.size() >= 2 && argument.front() == L'"' && argument.back() == L'"') {
    argument = argument.substr(1, argument.size() - 2);
  }
  return argument;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, e2e::kBrowserKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return 1;
  }
  char data[32] = "";
  DWORD size = sizeof data - 1, type = 0;
  unsigned long count = 0;
  if (RegQueryValueExA(key, "Count", nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS) {
    data[size] = '\0';
    count = std::strtoul(data, nullptr, 10);
  }
  ++count;
  const std::wstring name = L"Opened" + std::to_wstring(count);
  const std::wstring address = Argument();
  const std::string countText = std::to_string(count);
  RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(address.c_str()),
                 DWORD((address.size() + 1) * sizeof(wchar_t)));
  RegSetValueExA(key, "Count", 0, REG_SZ, reinterpret_cast<const BYTE*>(countText.c_str()),
                 DWORD(countText.size() + 1));
  RegCloseKey(key);
  return 0;
}
