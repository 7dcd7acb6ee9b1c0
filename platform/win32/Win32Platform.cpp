#include "platform/win32/Win32Platform.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <numeric>

#include "platform/win32/Automation.h"
#include "platform/win32/BrowserThread.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ShellIdList.h"
#include "platform/win32/Text.h"

namespace tamberlinox::platform::win32 {

namespace {

HKEY ToHkey(Hive hive) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(hive)); }
HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// Esc pressed in one of the program's windows, unless the control with the
// focus wants the key itself (an open drop-down list closes on Esc).
bool IsEscapeForWindow(MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) return false;
  const LRESULT code = ::SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
  if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
  const HWND parent = ::GetParent(message.hwnd);
  wchar_t name[16] = {};
  return !(parent != nullptr && ::GetClassNameW(parent, name, 16) > 0 && ::lstrcmpiW(name, L"ComboBox") == 0 &&
           ::SendMessageW(parent, CB_GETDROPPEDSTATE, 0, 0));
}

// A buffer that the system fills and that tells the length it needs when it
// is too small: fill(buffer, size) returns that length, or 0 on failure.
template <class Fill>
std::wstring GrowingBuffer(Fill fill) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(n + 1);
  }
}

}  // namespace

void Win32Platform::RunMessageLoop() {
  if (windowClass_.LiveWindows() == 0) return;
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) HandleMessage(message);
}

void Win32Platform::HandleMessage(MSG& message) {
  const HWND root = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (windowClass_.IsOwnWindow(root)) {
    if (IsEscapeForWindow(message)) {
      ::SendMessageW(root, kEscapeMessage, 0, 0);
      return;
    }
    if (::IsDialogMessageW(root, &message)) return;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

// ------------------------------------------------------------- registry

std::int32_t Win32Platform::ReadRegistryText(Hive hive, const std::string& key, const std::string& name,
                                             std::optional<std::string>& text) {
  text.reset();
  RegKey opened;
  LONG result = ::RegOpenKeyExW(ToHkey(hive), Widen(key).c_str(), 0, KEY_QUERY_VALUE, opened.Put());
  if (result != ERROR_SUCCESS) return result;
  const std::wstring valueName = Widen(name);
  std::wstring data;
  DWORD size = 0;
  do {
    data.resize((size + 1) / sizeof(wchar_t));
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    result = ::RegQueryValueExW(opened.Get(), valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                                &size);
  } while (result == ERROR_MORE_DATA);
  if (result != ERROR_SUCCESS) return result;
  if (size == 0) return ERROR_SUCCESS;
  data.resize(size / sizeof(wchar_t));
  if (!data.empty() && data.back() == L'\0') data.pop_back();
  text = Narrow(data);
  return ERROR_SUCCESS;
}

std::int32_t Win32Platform::ReadRegistryBytes(Hive hive, const std::string& key, const std::string& name,
                                              std::size_t size, std::vector<std::uint8_t>& data) {
  data.clear();
  RegKey opened;
  LONG result = ::RegOpenKeyExW(ToHkey(hive), Widen(key).c_str(), 0, KEY_QUERY_VALUE, opened.Put());
  if (result != ERROR_SUCCESS) return result;
  const std::wstring valueName = Widen(name);
  DWORD stored = 0;
  result = ::RegQueryValueExW(opened.Get(), valueName.c_str(), nullptr, nullptr, nullptr, &stored);
  if (result != ERROR_SUCCESS) return result;
  if (stored > size) return ERROR_MORE_DATA;
  data.resize(stored);
  result = ::RegQueryValueExW(opened.Get(), valueName.c_str(), nullptr, nullptr, data.data(), &stored);
  data.resize(result == ERROR_SUCCESS ? stored : 0);
  return result;
}

namespace {

// A REG_DWORD value, opened with the view flags given (0: the process's own view).
std::int32_t ReadNumber(Hive hive, const std::string& key, const std::string& name, REGSAM view,
                        std::optional<std::uint32_t>& number) {
  number.reset();
  RegKey opened;
  LONG result = ::RegOpenKeyExW(ToHkey(hive), Widen(key).c_str(), 0, KEY_QUERY_VALUE | view, opened.Put());
  if (result != ERROR_SUCCESS) return result;
  DWORD type = 0, value = 0, size = sizeof value;
  result = ::RegQueryValueExW(opened.Get(), Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  if (result == ERROR_MORE_DATA) return ERROR_SUCCESS;  // too long to be a number
  if (result != ERROR_SUCCESS) return result;
  if (type == REG_DWORD && size == sizeof value) number = value;
  return ERROR_SUCCESS;
}

}  // namespace

std::int32_t Win32Platform::ReadRegistryNumber(Hive hive, const std::string& key, const std::string& name,
                                               std::optional<std::uint32_t>& number) {
  return ReadNumber(hive, key, name, 0, number);
}

// KEY_WOW64_64KEY: a 32-bit program on 64-bit Windows sees the keys 64-bit
// programs wrote; a 64-bit program and 32-bit Windows ignore the flag.
std::int32_t Win32Platform::ReadRegistryNumber64(Hive hive, const std::string& key, const std::string& name,
                                                 std::optional<std::uint32_t>& number) {
  return ReadNumber(hive, key, name, KEY_WOW64_64KEY, number);
}

namespace {

std::int32_t WriteValue(Hive hive, const std::string& key, const std::string& name, DWORD type, const void* data,
                        std::size_t size) {
  RegKey created;
  const LONG result = ::RegCreateKeyExW(ToHkey(hive), Widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, created.Put(), nullptr);
  if (result != ERROR_SUCCESS) return result;
  return ::RegSetValueExW(created.Get(), Widen(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                          static_cast<DWORD>(size));
}

}  // namespace

// The text with its terminating NUL; the empty text as zero bytes.
std::int32_t Win32Platform::WriteRegistryText(Hive hive, const std::string& key, const std::string& name,
                                              const std::string& text) {
  const std::wstring wide = Widen(text);
  const std::size_t size = wide.empty() ? 0 : (wide.size() + 1) * sizeof(wchar_t);
  return WriteValue(hive, key, name, REG_SZ, wide.c_str(), size);
}

std::int32_t Win32Platform::WriteRegistryBytes(Hive hive, const std::string& key, const std::string& name,
                                               std::uint32_t type, const std::vector<std::uint8_t>& data) {
  return WriteValue(hive, key, name, type, data.data(), data.size());
}

std::int32_t Win32Platform::DeleteRegistryValue(Hive hive, const std::string& key, const std::string& name) {
  RegKey opened;
  const LONG result = ::RegOpenKeyExW(ToHkey(hive), Widen(key).c_str(), 0, KEY_SET_VALUE, opened.Put());
  if (result != ERROR_SUCCESS) return result;
  return ::RegDeleteValueW(opened.Get(), Widen(name).c_str());
}

std::int32_t Win32Platform::DeleteRegistryKey(Hive hive, const std::string& key) {
  return ::RegDeleteKeyW(ToHkey(hive), Widen(key).c_str());
}

bool Win32Platform::RegistryKeyExists(Hive hive, const std::string& key) {
  RegKey opened;
  return ::RegOpenKeyExW(ToHkey(hive), Widen(key).c_str(), 0, KEY_QUERY_VALUE, opened.Put()) == ERROR_SUCCESS;
}

// ----------------------------------------------------------- INI files

std::string Win32Platform::ReadIniText(const std::string& file, const std::string& section, const std::string& entry,
                                       const std::string& defaultText) {
  wchar_t buffer[255] = {};
  const DWORD n = ::GetPrivateProfileStringW(Widen(section).c_str(), Widen(entry).c_str(), Widen(defaultText).c_str(),
                                             buffer, 255, Widen(file).c_str());
  return Narrow(std::wstring_view(buffer, std::min<DWORD>(n, 254)));
}

std::int32_t Win32Platform::WriteIniText(const std::string& file, const std::string& section, const std::string& entry,
                                         const std::string& text) {
  if (::WritePrivateProfileStringW(Widen(section).c_str(), Widen(entry).c_str(), Widen(text).c_str(),
                                   Widen(file).c_str())) {
    return ERROR_SUCCESS;
  }
  const DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? static_cast<std::int32_t>(error) : ERROR_WRITE_FAULT;
}

// ---------------------------------------------------------------- files

bool Win32Platform::IsOrdinaryFile(const std::string& path) {
  // A wildcard name is never one file.
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

std::string Win32Platform::FullPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  return Narrow(GrowingBuffer(
      [&](wchar_t* buffer, DWORD size) { return ::GetFullPathNameW(wide.c_str(), size, buffer, nullptr); }));
}

std::vector<FolderEntry> Win32Platform::ListFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  std::wstring pattern = Widen(folder);
  if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
  pattern += L"*.*";
  WIN32_FIND_DATAW found;
  FindHandle search(::FindFirstFileW(pattern.c_str(), &found));
  if (!search) return entries;
  do {
    entries.push_back(FolderEntry{Narrow(found.cFileName), found.dwFileAttributes});
  } while (::FindNextFileW(search.Get(), &found));
  return entries;
}

// The path alone, without the shell's item list (whose memory would have to
// go back through ole32).
std::string Win32Platform::SpecialFolderPath(SpecialFolder folder) {
  wchar_t path[MAX_PATH] = {};
  if (::SHGetFolderPathW(nullptr, static_cast<int>(folder), nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
  return Narrow(path);
}

std::string Win32Platform::ScriptHostSpecialFolder(const std::string& name) { return scriptHost_.SpecialFolder(name); }

bool Win32Platform::ShellOpen(WindowHandle owner, const std::string& operation, const std::string& file,
                              const std::optional<std::string>& parameters, const std::optional<std::string>& folder,
                              int show) {
  // The shell may call extensions that need COM on this thread.
  com_.EnterApartment();
  const std::wstring verb = Widen(operation), target = Widen(file);
  const std::wstring arguments = parameters ? Widen(*parameters) : std::wstring();
  const std::wstring directory = folder ? Widen(*folder) : std::wstring();
  const HINSTANCE result =
      ::ShellExecuteW(ToHwnd(owner), verb.empty() ? nullptr : verb.c_str(), target.c_str(),
                      parameters ? arguments.c_str() : nullptr, folder ? directory.c_str() : nullptr, show);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

// The system's short name for each part of the path that has one; the
// "\\?\" form lets it take a path longer than MAX_PATH.
std::string Win32Platform::ShortPath(const std::string& path) {
  std::wstring wide = Widen(path);
  const bool local = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
  if (local) wide.insert(0, L"\\\\?\\");
  std::wstring shortened = GrowingBuffer(
      [&](wchar_t* buffer, DWORD size) { return ::GetShortPathNameW(wide.c_str(), buffer, size); });
  if (local && shortened.rfind(L"\\\\?\\", 0) == 0) shortened.erase(0, 4);
  return Narrow(shortened);
}

// By the shell's item for the path rather than the path itself, which the
// usual way cannot take beyond MAX_PATH.
bool Win32Platform::ShellOpenItem(WindowHandle owner, const std::string& path) {
  if (!com_.EnterApartment()) return false;
  const ShellIdList item = ShellIdList::Of(ShellItem{ShellPlace::None, path});
  if (!item) return false;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_IDLIST | SEE_MASK_FLAG_NO_UI;
  info.hwnd = ToHwnd(owner);
  info.lpIDList = item.Get();
  info.nShow = SW_SHOW;
  return ::ShellExecuteExW(&info) != FALSE;
}

std::string Win32Platform::ProgramFolder() {
  std::wstring path = GrowingBuffer([](wchar_t* buffer, DWORD size) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer, size);
    return n < size ? n : size;  // a cut name fills the buffer: ask for more
  });
  const std::size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) return {};
  // "C:\Tamberlinox.exe" lives in "C:\", everything else in a folder without the backslash.
  const bool driveRoot = slash == 2 && path[1] == L':';
  path.resize(driveRoot ? slash + 1 : slash);
  return Narrow(path);
}

std::string Win32Platform::CurrentFolder() {
  return Narrow(GrowingBuffer([](wchar_t* buffer, DWORD size) { return ::GetCurrentDirectoryW(size, buffer); }));
}

// Read from the program's own version resource, which needs no library to parse.
Platform::Version Win32Platform::ProgramVersion() {
  const HRSRC resource = ::FindResourceW(instance_, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
  const HGLOBAL loaded = resource != nullptr ? ::LoadResource(instance_, resource) : nullptr;
  const auto* block = static_cast<const BYTE*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
  const DWORD size = resource != nullptr ? ::SizeofResource(instance_, resource) : 0;
  // The block: its length, its value's length and its type (three WORDs), the
  // key L"VS_VERSION_INFO" with its NUL, padding to a 32-bit boundary, then
  // the fixed file information.
  constexpr std::size_t kFixedOffset = (3 * sizeof(WORD) + sizeof L"VS_VERSION_INFO" + 3) & ~std::size_t(3);
  VS_FIXEDFILEINFO info;
  if (block == nullptr || size < kFixedOffset + sizeof info) return {};
  std::copy_n(block + kFixedOffset, sizeof info, reinterpret_cast<BYTE*>(&info));
  if (info.dwSignature != 0xFEEF04BD) return {};
  return Version{HIWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionMS)};
}

// The order of a sorted list box: the user's locale, case ignored, equal
// texts in their given order. Each text is converted once, all of them into
// one buffer (thousands of desktop items would otherwise be as many strings).
std::vector<std::size_t> Win32Platform::SortedOrder(const std::vector<std::string>& texts) {
  struct Span {
    std::size_t start, length;
  };
  std::size_t bytes = 0;
  for (const std::string& text : texts) bytes += text.size();
  std::wstring wide;
  wide.reserve(bytes);  // UTF-16 never needs more units than UTF-8 has bytes
  std::vector<Span> spans;
  spans.reserve(texts.size());
  for (const std::string& text : texts) {
    const std::size_t start = wide.size();
    wide += Widen(text);
    spans.push_back(Span{start, wide.size() - start});
  }
  std::vector<std::size_t> order(texts.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const wchar_t* x = wide.data() + spans[a].start;
    const wchar_t* y = wide.data() + spans[b].start;
    const int lengthX = static_cast<int>(spans[a].length), lengthY = static_cast<int>(spans[b].length);
    const int result = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, x, lengthX, y, lengthY);
    if (result != 0) return result == CSTR_LESS_THAN;
    return std::wstring_view(x, lengthX) < std::wstring_view(y, lengthY);  // the comparison itself failed
  });
  return order;
}

// ------------------------------------------------------ other windows

WindowHandle Win32Platform::FindTopLevelWindow(const std::string& className, const std::optional<std::string>& title) {
  const std::wstring wideTitle = title ? Widen(*title) : std::wstring();
  return reinterpret_cast<WindowHandle>(::FindWindowW(Widen(className).c_str(), title ? wideTitle.c_str() : nullptr));
}

// Another program's window: its thread carries the change out when it gets
// to it (ShowWindow would wait for it).
void Win32Platform::ShowWindow(WindowHandle window, bool show) {
  ::ShowWindowAsync(ToHwnd(window), show ? SW_SHOW : SW_HIDE);
}

bool Win32Platform::IsWindowVisible(WindowHandle window) { return ::IsWindowVisible(ToHwnd(window)) != FALSE; }

bool Win32Platform::IsWindowAnswering(WindowHandle window) {
  constexpr UINT kPatienceMs = 50;
  DWORD_PTR ignored = 0;
  return ::SendMessageTimeoutW(ToHwnd(window), WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kPatienceMs, &ignored) !=
         0;
}

namespace {

struct WindowsOfClass {
  std::wstring className;
  std::vector<WindowHandle> found;
};

BOOL CALLBACK CollectWindowOfClass(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowsOfClass*>(context);
  wchar_t name[256] = {};
  if (::GetClassNameW(window, name, 256) > 0 && ::lstrcmpiW(name, search->className.c_str()) == 0)
    search->found.push_back(reinterpret_cast<WindowHandle>(window));
  return TRUE;
}

}  // namespace

std::vector<WindowHandle> Win32Platform::TopLevelWindows(const std::string& className) {
  WindowsOfClass search{Widen(className), {}};
  ::EnumWindows(CollectWindowOfClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

WindowHandle Win32Platform::FindChildWindow(WindowHandle parent, const std::string& className,
                                            const std::optional<std::string>& title) {
  if (parent == 0) return 0;
  const std::wstring wideTitle = title ? Widen(*title) : std::wstring();
  return reinterpret_cast<WindowHandle>(
      ::FindWindowExW(ToHwnd(parent), nullptr, Widen(className).c_str(), title ? wideTitle.c_str() : nullptr));
}

std::uint32_t Win32Platform::WindowProcess(WindowHandle window) {
  DWORD process = 0;
  if (window == 0 || ::GetWindowThreadProcessId(ToHwnd(window), &process) == 0) return 0;
  return process;
}

bool Win32Platform::PostWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
  // A null window would post to this thread's own queue.
  return window != 0 && ::PostMessageW(ToHwnd(window), message, wParam, lParam) != FALSE;
}

std::optional<LResult> Win32Platform::SendWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                                       LParam lParam, std::uint32_t patienceMs) {
  DWORD_PTR answer = 0;
  if (window == 0 || ::SendMessageTimeoutW(ToHwnd(window), message, wParam, lParam, SMTO_ABORTIFHUNG, patienceMs,
                                           &answer) == 0) {
    return std::nullopt;
  }
  return static_cast<LResult>(answer);
}

WindowHandle Win32Platform::FindProgramWindow(const std::string& caption) {
  return reinterpret_cast<WindowHandle>(::FindWindowW(WindowClass::kName, Widen(caption).c_str()));
}

bool Win32Platform::AwaitProcessEnd(WindowHandle window, std::uint32_t patienceMs) {
  const HWND hwnd = reinterpret_cast<HWND>(window);
  DWORD processId = 0;
  if (::GetWindowThreadProcessId(hwnd, &processId) == 0) return true;  // already gone
  if (const KernelHandle process{::OpenProcess(SYNCHRONIZE, FALSE, processId)})
    return ::WaitForSingleObject(process.Get(), patienceMs) == WAIT_OBJECT_0;
  // A process this one may not wait on (another user's, or one running
  // elevated): its main window goes last, just before the process ends.
  constexpr DWORD kPauseMs = 50;
  for (DWORD waited = 0; ::IsWindow(hwnd); waited += kPauseMs) {
    if (waited >= patienceMs) return false;
    ::Sleep(kPauseMs);
  }
  return true;
}

std::vector<std::string> Win32Platform::CommandLineArguments() {
  int count = 0;
  LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> result;
  if (arguments == nullptr) return result;
  for (int i = 1; i < count; ++i) result.push_back(Narrow(arguments[i]));
  ::LocalFree(arguments);
  return result;
}

// ------------------------------------------------------ atoms, hot keys

GlobalAtom Win32Platform::AddGlobalAtom(const std::string& text) {
  return MakeGlobalAtom(::GlobalAddAtomW(Widen(text).c_str()));
}

void Win32Platform::DeleteGlobalAtom(std::uint16_t atom) { ::GlobalDeleteAtom(atom); }

std::string Win32Platform::LocalDateTimeText() {
  wchar_t date[128] = {};
  wchar_t time[128] = {};
  ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128);
  ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, 128);
  return Narrow(date) + " " + Narrow(time);
}

// Without the key's repeats where the system knows how to leave them out
// (Windows 7 on); an older system refuses the flag and gets the key without it.
bool Win32Platform::RegisterHotKey(WindowHandle window, int id, std::uint32_t modifiers, int key) {
  constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT
  if (::RegisterHotKey(ToHwnd(window), id, modifiers | kNoRepeat, static_cast<UINT>(key))) return true;
  if (::GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED) return false;
  return ::RegisterHotKey(ToHwnd(window), id, modifiers, static_cast<UINT>(key)) != FALSE;
}

bool Win32Platform::IsKeyDown(int key) { return (::GetAsyncKeyState(key) & 0x8000) != 0; }

bool Win32Platform::UnregisterHotKey(WindowHandle window, int id) {
  return ::UnregisterHotKey(ToHwnd(window), id) != FALSE;
}

// ------------------------------------------------- Internet, the browser

// wininet is loaded when the program first asks, not at start.
bool Win32Platform::InternetConnected(std::uint32_t& flags) {
  flags = 0;
  if (!wininetTried_) {
    wininetTried_ = true;
    wininet_.Reset(::LoadLibraryW(L"wininet.dll"));
  }
  using StateFunction = BOOL(WINAPI*)(DWORD*, DWORD);
  const auto connectedState = ProcAddress<StateFunction>(wininet_.Get(), "InternetGetConnectedState");
  if (connectedState == nullptr) return false;
  DWORD state = 0;
  const BOOL connected = connectedState(&state, 0);
  flags = state;
  return connected != FALSE;
}

std::unique_ptr<WebBrowser> Win32Platform::CreateWebBrowser() { return browsers_.Start(); }

// ------------------------------------------------------------- the user

int Win32Platform::ShowMessage(const std::string& text, const std::string& title, std::uint32_t flags) {
  return ::MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(), flags);
}

void Win32Platform::RestoreDefaultCursor() { ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW)); }

void Win32Platform::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::unique_ptr<Window> Win32Platform::OpenWindow(const WindowSpec& spec, WindowEvents& events) {
  return Win32Window::Create(windowClass_, spec, events, com_);
}

}  // namespace tamberlinox::platform::win32
