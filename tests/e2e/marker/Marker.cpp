// A program that only leaves a mark that it was opened: the tests put copies of
// it where the program under test opens things (on the desktops, as the file
// manager, as the handler of text files) and read afterwards who was started,
// how, and from where. It shows nothing and ends at once.
//
// Each run records itself under HKCU\Software\TamberlinoxE2E\Marker\<n>, n = 1,
// 2, ... in the order of the runs: "Path" (its own file), "CommandLine",
// "Folder" (its current folder), "Pid", and last "Done", so that a reader never
// sees half a record.
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

void Put(HKEY key, const char* name, const std::string& value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
}

std::string ModulePath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string CurrentFolder() {
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, folder);
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
    Put(run.Get(), "Path", ModulePath());
    Put(run.Get(), "CommandLine", GetCommandLineA());
    Put(run.Get(), "Folder", CurrentFolder());
    Put(run.Get(), "Pid", std::to_string(GetCurrentProcessId()));
    Put(run.Get(), "Done", "1");
    return 0;
  }
  return 3;
}
