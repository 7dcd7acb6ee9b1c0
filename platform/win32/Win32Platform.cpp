#include "platform/win32/Win32Platform.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/Automation.h"
#include "platform/win32/Handles.h"

namespace tamberlinox::platform::win32 {

namespace {

// The one platform of the process, for the program's window procedure.
Win32Platform* g_platform = nullptr;
std::shared_ptr<WindowProcHandler>* g_handler = nullptr;

HKEY Hive(std::uint32_t hive) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(hive)); }
HKEY Key(const RegKey& key) { return reinterpret_cast<HKEY>(key.Get()); }
HWND Window(WindowHandle window) { return reinterpret_cast<HWND>(window); }

void CopyFindData(const WIN32_FIND_DATAA& found, FindData& data) {
  data.dwFileAttributes = found.dwFileAttributes;
  static_assert(sizeof found.cFileName == std::tuple_size_v<decltype(data.cFileName)>);
  std::memcpy(data.cFileName.data(), found.cFileName, sizeof found.cFileName);
}

bool IsToolkitForm(HWND window) {
  char name[64] = {};
  return window != nullptr && ::GetClassNameA(window, name, sizeof name) > 0 &&
         std::strcmp(name, FormClass::kName) == 0;
}

// Esc pressed in a form, unless the control with the focus wants the key
// itself (an open drop-down list closes on Esc).
bool IsEscapeForForm(MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) return false;
  LRESULT code = ::SendMessageA(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
  if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
  HWND parent = ::GetParent(message.hwnd);
  char name[16] = {};
  if (parent != nullptr && ::GetClassNameA(parent, name, sizeof name) > 0 && lstrcmpiA(name, "ComboBox") == 0 &&
      ::SendMessageA(parent, CB_GETDROPPEDSTATE, 0, 0)) {
    return false;
  }
  return true;
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance)
    : instance_(instance), forms_(instance), handler_(std::make_shared<WindowProcHandler>()) {
  // The version 6 common controls the manifest asks for.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  g_platform = this;
  g_handler = &handler_;
}

Win32Platform::~Win32Platform() {
  if (g_platform == this) {
    g_platform = nullptr;
    g_handler = nullptr;
  }
}

void Win32Platform::RunMessageLoop() {
  if (forms_.LiveForms() == 0) return;
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    HWND root = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (IsToolkitForm(root)) {
      if (IsEscapeForForm(message)) {
        ::SendMessageA(root, Win32Form::kEscapeMessage, 0, 0);
        continue;
      }
      if (::IsDialogMessageA(root, &message)) continue;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

// ------------------------------------------------------------- registry

std::int32_t Win32Platform::RegOpenKeyExA(std::uint32_t hive, const std::string& subKey, std::uint32_t access,
                                          RegKey& key) {
  HKEY opened = nullptr;
  LONG result = ::RegOpenKeyExA(Hive(hive), subKey.c_str(), 0, access, &opened);
  key = result == ERROR_SUCCESS ? RegKey(this, reinterpret_cast<std::uintptr_t>(opened)) : RegKey();
  return result;
}

std::int32_t Win32Platform::RegCreateKeyExA(std::uint32_t hive, const std::string& subKey, std::uint32_t access,
                                            RegKey& key) {
  HKEY created = nullptr;
  char noClass[] = "";
  LONG result = ::RegCreateKeyExA(Hive(hive), subKey.c_str(), 0, noClass, 0, access, nullptr, &created, nullptr);
  key = result == ERROR_SUCCESS ? RegKey(this, reinterpret_cast<std::uintptr_t>(created)) : RegKey();
  return result;
}

std::int32_t Win32Platform::RegQueryValueExA(const RegKey& key, const std::string& name, std::uint32_t* type,
                                             std::uint8_t* data, std::uint32_t& size) {
  DWORD valueType = 0;
  DWORD valueSize = size;
  LONG result = ::RegQueryValueExA(Key(key), name.c_str(), nullptr, type ? &valueType : nullptr, data, &valueSize);
  if (type) *type = valueType;
  size = valueSize;
  return result;
}

std::int32_t Win32Platform::RegSetValueExA(const RegKey& key, const std::string& name, std::uint32_t type,
                                           const std::uint8_t* data, std::uint32_t size) {
  return ::RegSetValueExA(Key(key), name.c_str(), 0, type, data, size);
}

std::int32_t Win32Platform::RegDeleteValueA(const RegKey& key, const std::string& name) {
  return ::RegDeleteValueA(Key(key), name.c_str());
}

std::int32_t Win32Platform::RegDeleteKeyA(std::uint32_t hive, const std::string& subKey) {
  return ::RegDeleteKeyA(Hive(hive), subKey.c_str());
}

std::int32_t Win32Platform::RegCloseKey(std::uintptr_t key) { return ::RegCloseKey(reinterpret_cast<HKEY>(key)); }

// ------------------------------------------------------ INI files, files

std::string Win32Platform::GetPrivateProfileStringA(const std::string& section, const std::string& entry,
                                                    const std::string& defaultText, std::uint32_t bufferSize,
                                                    const std::string& file) {
  std::vector<char> buffer(std::max<std::uint32_t>(bufferSize, 1), '\0');
  DWORD n = ::GetPrivateProfileStringA(section.c_str(), entry.c_str(), defaultText.c_str(), buffer.data(),
                                       bufferSize, file.c_str());
  return std::string(buffer.data(), std::min<size_t>(n, buffer.size()));
}

std::int32_t Win32Platform::WritePrivateProfileStringA(const std::string& section, const std::string& entry,
                                                       const std::string& text, const std::string& file) {
  if (::WritePrivateProfileStringA(section.c_str(), entry.c_str(), text.c_str(), file.c_str())) return 0;
  DWORD error = ::GetLastError();
  return error != 0 ? static_cast<std::int32_t>(error) : ERROR_WRITE_FAULT;
}

bool Win32Platform::IsOrdinaryFile(const std::string& path) {
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

std::string Win32Platform::FullPath(const std::string& path) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n == 0) return {};
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(n + 1);
  }
}

// ------------------------------------------------------ atoms, hot keys

std::uint32_t Win32Platform::GlobalAddAtomA(const std::string& text) { return ::GlobalAddAtomA(text.c_str()); }

std::uint32_t Win32Platform::GlobalDeleteAtom(std::uint32_t atom) {
  return ::GlobalDeleteAtom(static_cast<ATOM>(atom));
}

std::string Win32Platform::LocalDateTimeText() {
  char date[128] = {};
  char time[128] = {};
  ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
  ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, sizeof time);
  return std::string(date) + " " + time;
}

bool Win32Platform::RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                   std::int32_t key) {
  return ::RegisterHotKey(Window(window), id, modifiers, static_cast<UINT>(key)) != FALSE;
}

bool Win32Platform::UnregisterHotKey(WindowHandle window, std::int32_t id) {
  return ::UnregisterHotKey(Window(window), id) != FALSE;
}

// ------------------------------------------------------ other windows

WindowHandle Win32Platform::FindWindowA(const char* className, const char* title) {
  return reinterpret_cast<WindowHandle>(::FindWindowA(className, title));
}

WindowHandle Win32Platform::FindWindowExA(WindowHandle parent, WindowHandle after, const char* className,
                                          const char* title) {
  return reinterpret_cast<WindowHandle>(::FindWindowExA(Window(parent), Window(after), className, title));
}

bool Win32Platform::ShowWindow(WindowHandle window, int command) {
  return ::ShowWindow(Window(window), command) != FALSE;
}

std::int32_t Win32Platform::IsWindowVisible(WindowHandle window) { return ::IsWindowVisible(Window(window)); }

bool Win32Platform::PostMessageA(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
  return ::PostMessageA(Window(window), message, wParam, lParam) != FALSE;
}

bool Win32Platform::SetForegroundWindow(WindowHandle window) {
  return ::SetForegroundWindow(Window(window)) != FALSE;
}

// ----------------------------------------------------------- subclassing

LRESULT CALLBACK Win32Platform::ProgramWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    // Holds the handler for the length of the call, even if it is replaced meanwhile.
    std::shared_ptr<WindowProcHandler> handler = g_handler ? *g_handler : nullptr;
    if (handler && *handler) {
      return (*handler)(reinterpret_cast<WindowHandle>(window), message, wParam, lParam);
    }
  } catch (...) {
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

void Win32Platform::SetWindowProcHandler(WindowProcHandler handler) {
  handler_ = std::make_shared<WindowProcHandler>(std::move(handler));
}

WndProcAddr Win32Platform::AddressOfWindowProc() {
  return reinterpret_cast<WndProcAddr>(&Win32Platform::ProgramWindowProc);
}

WndProcAddr Win32Platform::SetWindowLongA(WindowHandle window, WndProcAddr procedure) {
  return static_cast<DWORD>(::SetWindowLongA(Window(window), GWL_WNDPROC, static_cast<LONG>(procedure)));
}

WndProcAddr Win32Platform::GetClassWndProc(WindowHandle window) {
  return static_cast<DWORD>(::GetClassLongA(Window(window), GCL_WNDPROC));
}

LResult Win32Platform::CallWindowProcA(WndProcAddr procedure, WindowHandle window, std::uint32_t message,
                                       WParam wParam, LParam lParam) {
  if (procedure == 0) return 0;
  return ::CallWindowProcA(reinterpret_cast<WNDPROC>(procedure), Window(window), message, wParam, lParam);
}

// ------------------------------------------------------------- tray icon

std::int32_t Win32Platform::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the first layout of the record: 88 bytes, a 64-byte tip");
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = Window(data.hWnd);
  record.uID = data.uID;
  record.uFlags = data.uFlags;
  record.uCallbackMessage = data.uCallbackMessage;
  record.hIcon = reinterpret_cast<HICON>(data.hIcon);
  constexpr size_t kTipSize = 64;
  size_t n = std::min(data.szTip.size(), kTipSize - 1);
  std::memcpy(record.szTip, data.szTip.data(), n);
  record.szTip[n] = '\0';
  return ::Shell_NotifyIconA(message, &record);
}

// ------------------------------------------------ folders, files, shell

std::int32_t Win32Platform::SHGetSpecialFolderLocation(WindowHandle owner, int folder, ItemIdList& list) {
  LPITEMIDLIST found = nullptr;
  HRESULT result = ::SHGetSpecialFolderLocation(Window(owner), folder, &found);
  list = found ? ItemIdList(this, reinterpret_cast<std::uintptr_t>(found)) : ItemIdList();
  return result;
}

bool Win32Platform::SHGetPathFromIDListA(const ItemIdList& list, std::array<char, 260>& path) {
  if (!list) return false;
  return ::SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(list.Get()), path.data()) != FALSE;
}

FindHandle Win32Platform::FindFirstFileA(const std::string& pattern, FindData& data) {
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return FindHandle();
  CopyFindData(found, data);
  return FindHandle(this, reinterpret_cast<std::uintptr_t>(search));
}

bool Win32Platform::FindNextFileA(const FindHandle& search, FindData& data) {
  if (!search) return false;
  WIN32_FIND_DATAA found{};
  if (!::FindNextFileA(reinterpret_cast<HANDLE>(search.Get()), &found)) return false;
  CopyFindData(found, data);
  return true;
}

std::int32_t Win32Platform::FindClose(std::uintptr_t search) { return ::FindClose(reinterpret_cast<HANDLE>(search)); }

std::int32_t Win32Platform::CoTaskMemFree(std::uintptr_t memory) {
  ::CoTaskMemFree(reinterpret_cast<void*>(memory));
  return 0;
}

std::unique_ptr<ScriptShell> Win32Platform::CreateScriptShell() { return CreateScriptShellObject(); }

std::intptr_t Win32Platform::ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                           const char* parameters, const char* directory, int show) {
  return reinterpret_cast<std::intptr_t>(::ShellExecuteA(Window(owner), operation, file, parameters, directory, show));
}

std::string Win32Platform::ProgramFolder() {
  std::vector<char> buffer(MAX_PATH);
  DWORD n = 0;
  for (;;) {
    n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) break;
    buffer.resize(buffer.size() * 2);
  }
  std::string path(buffer.data(), n);
  size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return {};
  // "C:\Tamberlinox.exe" lives in "C:\", everything else in a folder without the backslash.
  bool driveRoot = slash == 2 && path[1] == ':';
  return path.substr(0, driveRoot ? slash + 1 : slash);
}

std::string Win32Platform::CurrentFolder() {
  DWORD n = ::GetCurrentDirectoryA(0, nullptr);
  if (n == 0) return {};
  std::vector<char> buffer(n + 1);
  n = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  return std::string(buffer.data(), std::min<size_t>(n, buffer.size()));
}

void Win32Platform::ProgramVersion(int& major, int& minor) {
  major = 0;
  minor = 0;
  char path[MAX_PATH] = {};
  if (::GetModuleFileNameA(nullptr, path, MAX_PATH) == 0) return;
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return;
  std::vector<char> block(size);
  if (!::GetFileVersionInfoA(path, 0, size, block.data())) return;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  char root[] = "\\";
  if (!::VerQueryValueA(block.data(), root, reinterpret_cast<void**>(&info), &length) || info == nullptr ||
      length < sizeof *info) {
    return;
  }
  major = HIWORD(info->dwFileVersionMS);
  minor = LOWORD(info->dwFileVersionMS);
}

int Win32Platform::CompareTextNoCase(const std::string& a, const std::string& b) {
  int result = ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                b.data(), static_cast<int>(b.size()));
  if (result == 0) return a.compare(b);  // the comparison itself failed: fall back to the bytes
  return result - CSTR_EQUAL;
}

// ------------------------------------------------- Internet, the browser

bool Win32Platform::InternetGetConnectedState(std::uint32_t& flags) {
  DWORD state = 0;
  BOOL connected = ::InternetGetConnectedState(&state, 0);
  flags = state;
  return connected != FALSE;
}

std::unique_ptr<WebBrowser> Win32Platform::CreateWebBrowser() { return CreateWebBrowserObject(); }

// ------------------------------------------------------ the user

int Win32Platform::MessageBoxA(WindowHandle owner, const std::string& text, const std::string& title,
                               std::uint32_t flags) {
  return ::MessageBoxA(Window(owner), text.c_str(), title.c_str(), flags);
}

void Win32Platform::SetDefaultMousePointer() { ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW))); }

void Win32Platform::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::unique_ptr<Form> Win32Platform::CreateForm(const FormSpec& spec, FormEvents& events) {
  return Win32Form::Create(forms_, spec, events);
}

}  // namespace tamberlinox::platform::win32
