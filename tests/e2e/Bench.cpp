#include "Bench.h"

#include <thread>

namespace e2e {

bool WaitUntil(const std::function<bool()>& fact, Millis timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (fact()) return true;
    if (Clock::now() >= deadline) return fact();
    std::this_thread::sleep_for(5ms);
  }
}

// ----------------------------------------------------------------- processes
Process Process::Start(const std::string& exePath, const std::string& arguments) {
  Process p;
  const std::wstring exe = ToWide(exePath);
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + ToWide(arguments);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
    return p;
  }
  CloseHandle(pi.hThread);
  p.process_ = UniqueHandle(pi.hProcess);
  p.pid_ = pi.dwProcessId;
  return p;
}

bool Process::Running() const {
  return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_.Get(), 1);
    WaitForSingleObject(process_.Get(), 10000);
  }
  process_.Reset();
  pid_ = 0;
}

bool Process::WaitForExit(Millis timeout) {
  return process_ && WaitForSingleObject(process_.Get(), DWORD(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
  DWORD code = 0;
  if (process_) GetExitCodeProcess(process_.Get(), &code);
  return code;
}

namespace {
struct WindowSearch {
  DWORD pid;
  const std::string* caption;
  const std::string* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND w, LPARAM lp) {
  auto& s = *reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s.pid) return TRUE;
  if (s.caption && WindowText(w) != *s.caption) return TRUE;
  if (s.className && ClassName(w) != *s.className) return TRUE;
  s.found.push_back(w);
  return TRUE;
}
}  // namespace

HWND Process::FindWindowByCaption(const std::string& caption) const {
  if (pid_ == 0) return nullptr;
  WindowSearch s{pid_, &caption, nullptr, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&s));
  return s.found.empty() ? nullptr : s.found.front();
}

std::vector<HWND> Process::FindWindowsByClass(const std::string& className) const {
  if (pid_ == 0) return {};
  WindowSearch s{pid_, nullptr, &className, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// --------------------------------------------------------------- registry
std::optional<std::string> ReadRegString(HKEY hive, const std::string& path, const std::string& name) {
  UniqueKey key;
  if (RegOpenKeyExW(hive, ToWide(path).c_str(), 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::wstring valueName = ToWide(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  if (size > 0 && RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  data.resize(size / sizeof(wchar_t));
  while (!data.empty() && data.back() == L'\0') data.pop_back();
  return ToUtf8(data);
}

bool WriteRegString(HKEY hive, const std::string& path, const std::string& name, const std::string& value) {
  UniqueKey key;
  if (RegCreateKeyExW(hive, ToWide(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Out(), nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const std::wstring data = ToWide(value);
  return RegSetValueExW(key.Get(), ToWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        DWORD((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void DeleteRegValue(HKEY hive, const std::string& path, const std::string& name) {
  UniqueKey key;
  if (RegOpenKeyExW(hive, ToWide(path).c_str(), 0, KEY_SET_VALUE, key.Out()) == ERROR_SUCCESS) {
    RegDeleteValueW(key.Get(), ToWide(name).c_str());
  }
}

void DeleteRegTree(HKEY hive, const std::string& path) {
  RegDeleteTreeW(hive, ToWide(path).c_str());  // the key, its subkeys and their values
}

bool RegKeyExists(HKEY hive, const std::string& path) {
  UniqueKey key;
  return RegOpenKeyExW(hive, ToWide(path).c_str(), 0, KEY_QUERY_VALUE, key.Out()) == ERROR_SUCCESS;
}

std::vector<std::string> RegValueNames(HKEY hive, const std::string& path) {
  std::vector<std::string> names;
  UniqueKey key;
  if (RegOpenKeyExW(hive, ToWide(path).c_str(), 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD size = 256;
    if (RegEnumValueW(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(ToUtf8(std::wstring_view(name, size)));
  }
  return names;
}

// ----------------------------------------------------------------- keyboard
namespace {
INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = WORD(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}
}  // namespace

bool PressKey(unsigned modifiers, WORD vk) {
  std::vector<WORD> mods;
  if (modifiers & kCtrl) mods.push_back(VK_CONTROL);
  if (modifiers & kShift) mods.push_back(VK_SHIFT);
  if (modifiers & kAlt) mods.push_back(VK_MENU);
  std::vector<INPUT> down;
  for (WORD m : mods) down.push_back(KeyInput(m, false));
  down.push_back(KeyInput(vk, false));
  std::vector<INPUT> up{KeyInput(vk, true)};
  for (auto it = mods.rbegin(); it != mods.rend(); ++it) up.push_back(KeyInput(*it, true));
  SendInput(UINT(down.size()), down.data(), sizeof(INPUT));
  // The key state of the desktop, as the window system has it now: nothing
  // but Wine's reset (see Bench.h) releases a key the harness holds, so a
  // modifier still down here was down when the key went down.
  bool held = true;
  for (WORD m : mods) held = held && (GetAsyncKeyState(m) & 0x8000) != 0;
  SendInput(UINT(up.size()), up.data(), sizeof(INPUT));
  return held;
}

bool HoldKey(WORD vk, int repeats, const std::function<bool()>& heard) {
  INPUT down = KeyInput(vk, false);
  SendInput(1, &down, sizeof(INPUT));
  const bool wasHeard = WaitUntil(heard);
  std::vector<INPUT> keys(size_t(repeats), down);
  keys.push_back(KeyInput(vk, true));
  SendInput(UINT(keys.size()), keys.data(), sizeof(INPUT));
  return wasHeard;
}

bool HotKeyTaken(unsigned modifiers, WORD vk) {
  constexpr int kProbeId = 0xBEEF;
  if (RegisterHotKey(nullptr, kProbeId, modifiers, vk)) {
    UnregisterHotKey(nullptr, kProbeId);
    return false;
  }
  return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

std::string KeyName(unsigned modifiers, WORD vk) {
  std::string name;
  if (modifiers & kCtrl) name += "Ctrl+";
  if (modifiers & kShift) name += "Shift+";
  if (modifiers & kAlt) name += "Alt+";
  if (vk >= VK_F1 && vk <= VK_F24) return name + "F" + std::to_string(vk - VK_F1 + 1);
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return name + char(vk);
  return name + "vk" + std::to_string(vk);
}

// ------------------------------------------------------------------ windows
std::string WindowText(HWND window) {
  wchar_t text[512] = L"";
  // GetWindowTextW on another process's window reads the text the window
  // system keeps, without sending WM_GETTEXT: it never waits for the program.
  GetWindowTextW(window, text, 512);
  return ToUtf8(text);
}

bool RunningOnWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string ClassName(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return ToUtf8(name);
}

std::string ControlText(HWND dialog, int id) {
  wchar_t text[1024] = L"";
  GetDlgItemTextW(dialog, id, text, 1024);
  return ToUtf8(text);
}

RECT ScreenRect() {
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return r;
}

bool RectOffScreen(const RECT& r, const RECT& s) {
  return r.right <= s.left || r.left >= s.right || r.bottom <= s.top || r.top >= s.bottom;
}

// ------------------------------------------------------------ message boxes
std::optional<MessageBoxSeen> WaitForMessageBox(const Process& p, const std::string& title, Millis timeout) {
  MessageBoxSeen seen;
  bool found = WaitUntil(
      [&] {
        for (HWND w : p.FindWindowsByClass("#32770")) {
          if (IsWindowVisible(w) && WindowText(w) == title) {
            seen.window = w;
            return true;
          }
        }
        return false;
      },
      timeout);
  if (!found) return std::nullopt;
  seen.title = title;
  // The message text is the static control with id 0xFFFF in every message box.
  seen.text = ControlText(seen.window, 0xFFFF);
  return seen;
}

void AnswerMessageBox(HWND box, int buttonId) { PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0); }

// ------------------------------------------------------------------- paths
bool PathExists(const std::string& path) { return GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool CopyFileTo(const std::string& from, const std::string& to) {
  return CopyFileW(ToWide(from).c_str(), ToWide(to).c_str(), FALSE) != FALSE;
}

std::string HarnessFolder() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::string s = ToUtf8(path);
  return s.substr(0, s.find_last_of('\\') + 1);
}

std::string EnvironmentVariable(const char* name) {
  wchar_t value[1024] = L"";
  const DWORD n = GetEnvironmentVariableW(ToWide(name).c_str(), value, 1024);
  return n > 0 && n < 1024 ? ToUtf8(std::wstring_view(value, n)) : std::string();
}

ScopedRegString::ScopedRegString(HKEY hive, std::string path, std::string name, const std::string& value)
    : hive_(hive), path_(std::move(path)), name_(std::move(name)) {
  keyExisted_ = RegKeyExists(hive_, path_);
  old_ = ReadRegString(hive_, path_, name_);
  written_ = WriteRegString(hive_, path_, name_, value);
}

ScopedRegString::~ScopedRegString() {
  if (old_) {
    WriteRegString(hive_, path_, name_, *old_);
  } else if (!keyExisted_) {
    DeleteRegTree(hive_, path_);
  } else {
    DeleteRegValue(hive_, path_, name_);
  }
}

}  // namespace e2e
