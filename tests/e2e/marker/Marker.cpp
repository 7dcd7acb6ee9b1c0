// A program that only leaves a mark that it was opened: the tests put copies of
// it where the program under test opens things (on the desktops, as the file
// manager, as the handler of text files) and read afterwards who was started,
// how, and from where. It shows nothing and ends at once.
//
// Each run records itself under HKCU\Software\TamberlinoxE2E\Marker\<n>, n = 1,
// 2, ... in the order of the runs: "Path" (its own file), "CommandLine",
// "Folder" (its current folder), "Pid", and last "Done", so that a reader never
// sees half a record. The texts are written as the wide functions give them:
// a name outside the code page, or with an unpaired surrogate, is kept whole.
#include <windows.h>

#include <string>

#include "../MarkerProtocol.h"

namespace {

class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

void Put(HKEY key, const wchar_t* name, const std::wstring& value) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 DWORD((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring ModulePath() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

std::wstring CurrentFolder() {
  wchar_t folder[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, folder);
  return folder;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The first number whose key this run creates is its own: two runs at the
  // same time can never claim the same one.
  for (int n = 1; n < 10000; ++n) {
    const std::string path = std::string(e2e::kMarkerKey) + "\\" + std::to_string(n);
    Key run;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, run.Out(),
                        &disposition) != ERROR_SUCCESS) {
      return 2;
    }
    if (disposition != REG_CREATED_NEW_KEY) continue;
    Put(run.Get(), L"Path", ModulePath());
    Put(run.Get(), L"CommandLine", GetCommandLineW());
    Put(run.Get(), L"Folder", CurrentFolder());
    Put(run.Get(), L"Pid", std::to_wstring(GetCurrentProcessId()));
    Put(run.Get(), L"Done", L"1");
    return 0;
  }
  return 3;
}
