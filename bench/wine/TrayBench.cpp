// Tamberlinox.exe side by side with bare_tray.exe, the least program that does
// the same job, under Wine (or Windows). Runs alternate between the two and
// measure:
//   - start-up: from process creation until the taskbar receives the tray icon;
//   - private bytes after start, and after one desktop menu of 10,000
//     shortcuts has been up for a moment and closed again;
//   - a left click on the tray icon until the desktop menu is on the screen,
//     with 10,000 and with 1,000 shortcuts on the user's desktop;
//   - mouse events per second through the window system while the program
//     runs (Tamberlinox watches the left button with a low-level mouse hook,
//     which every mouse event of the session passes through), also against
//     the bare program with a low-level mouse hook that does nothing (under
//     Wine every such hook costs each event a trip through the server);
//   - Tamberlinox alone, with folders as submenus: a folder of 10,000 files on
//     the desktop, from the pointer coming onto it until its submenu is on the
//     screen, against its own desktop menu of 10,000 files; and mouse events
//     per second while it lists that folder, against the same once it is idle.
// The desktops hold what a user's hold: the user's desktop shortcuts to
// programs and documents (.lnk, made by the shell's own link object) and to
// web sites (.url), the all-users desktop a few documents. The desktop never
// changes under a running program: each run starts with the desktop it
// measures. It prints medians and the medians of the pairwise
// ratios next to their targets; nothing here fails.
//
//   tray_bench.exe PATH\Tamberlinox.exe PATH\bare_tray.exe [PAIRS]
//
// The harness plays the shell: a desktop window ("Progman") and a taskbar
// ("Shell_TrayWnd") of its own. The desktop files live in folders beside the
// user's desktop folder, kept between runs, and the shell's folder setting
// points the desktop at one of them. Run it in a scratch Wine prefix
// (bench/wine-bench.sh does).
#include <windows.h>
// The headers below need <windows.h> before them.
#include <objbase.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr UINT kTrayMessage = WM_USER + 1;
constexpr UINT kTrayId = 125;
constexpr int kSmallDesktop = 1000;
constexpr int kLargeDesktop = 10000;
constexpr int kLargeClicks = 3;    // in a run with 10,000 files on the desktop
constexpr int kSmallClicks = 5;    // in a run with 1,000 files on the desktop
constexpr int kStartOnlyRuns = 2;  // per program and pair, besides the run with 1,000 files
constexpr int kMouseMoves = 400;   // per run that measures the mouse
constexpr int kFolderRuns = 3;     // of Tamberlinox with a folder of 10,000 files, after the pairs
constexpr int kFolderOpens = 3;    // of the folder's submenu in each
// How long the first menu of a run with 10,000 shortcuts stays up before the
// memory after it is read: as a user looks at it, long enough for the program
// to make the pictures of the entries on the screen and more.
constexpr DWORD kFirstMenuUpMs = 2000;

// ---------------------------------------------------------------- time

double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// Polls fact() every millisecond until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& fact, double timeoutMs) {
  const double deadline = NowMs() + timeoutMs;
  while (!fact()) {
    if (NowMs() > deadline) return false;
    Sleep(1);
  }
  return true;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// ---------------------------------------------------------------- the shell

// A desktop window and a taskbar on a thread of their own that keeps pumping
// messages: the programs send to both and wait for the answer. Wine's
// Shell_NotifyIcon sends the taskbar WM_COPYDATA with dwData = the NIM_ code
// and a record that starts with the icon's window handle.
class ShellStandIn {
 public:
  ShellStandIn() {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready] { Run(ready); });
    WaitForSingleObject(ready, 30000);
    CloseHandle(ready);
  }
  ~ShellStandIn() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(iconAdded_);
  }
  ShellStandIn(const ShellStandIn&) = delete;
  ShellStandIn& operator=(const ShellStandIn&) = delete;

  bool Ready() const { return desktop_ && tray_; }
  // A fresh shell shows its desktop; Tamberlinox hides it at start-up.
  void ShowDesktop() { ShowWindow(desktop_, SW_SHOWNOACTIVATE); }

  // From now on, the first tray icon added by a window of this process is noted.
  void ExpectIcon(DWORD pid) {
    std::lock_guard lock(mutex_);
    expectedPid_ = pid;
    iconWindow_ = nullptr;
    ResetEvent(iconAdded_);
  }
  struct Icon {
    HWND window;
    double addedMs;
  };
  std::optional<Icon> WaitForIcon(DWORD timeoutMs) {
    if (WaitForSingleObject(iconAdded_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    std::lock_guard lock(mutex_);
    return Icon{iconWindow_, iconAddedMs_};
  }

 private:
  static LRESULT CALLBACK TrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* shell = reinterpret_cast<ShellStandIn*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (shell && message == WM_COPYDATA) {
      const double now = NowMs();
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data->dwData == NIM_ADD && data->cbData >= sizeof(LONG)) shell->NoteAdd(data->lpData, now);
      return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  void NoteAdd(const void* record, double now) {
    LONG handle;
    std::memcpy(&handle, record, sizeof handle);
    HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    std::lock_guard lock(mutex_);
    if (pid != expectedPid_ || iconWindow_) return;
    iconWindow_ = window;
    iconAddedMs_ = now;
    SetEvent(iconAdded_);
  }

  void Run(HANDLE ready) {
    threadId_ = GetCurrentThreadId();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.hInstance = instance;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = L"Progman";
    RegisterClassW(&windowClass);
    windowClass.lpfnWndProc = TrayProc;
    windowClass.lpszClassName = L"Shell_TrayWnd";
    RegisterClassW(&windowClass);
    desktop_ = CreateWindowExW(WS_EX_NOACTIVATE, L"Progman", L"Program Manager", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150,
                               nullptr, nullptr, instance, nullptr);
    tray_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                            this);
    // In front of Wine's own taskbar, so that Shell_NotifyIcon finds this one first.
    SetWindowPos(tray_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetEvent(ready);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    DestroyWindow(tray_);
    DestroyWindow(desktop_);
  }

  std::thread thread_;
  DWORD threadId_ = 0;
  HWND desktop_ = nullptr;
  HWND tray_ = nullptr;
  HANDLE iconAdded_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::mutex mutex_;
  DWORD expectedPid_ = 0;
  HWND iconWindow_ = nullptr;
  double iconAddedMs_ = 0;
};

// ---------------------------------------------------------------- desktop files

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return path;
}

int CountFiles(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int files = 0;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return files;
}

// The user's desktop with a chosen number of files on it. Each size has a
// folder of its own beside the desktop folder, kept from one run to the next,
// and the shell's per-user folder setting names the one in use: the shell
// reads it at every lookup. (Renaming the folders would be the obvious way,
// but Wine's desktop process keeps the desktop folder open.)
class DesktopSizes {
 public:
  DesktopSizes() {
    const std::wstring desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    parent_ = desktop.substr(0, desktop.find_last_of(L'\\') + 1);
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    key_ = key;
    DWORD size = 0;
    if (RegQueryValueExW(key_, kValue, nullptr, &savedType_, nullptr, &size) != ERROR_SUCCESS) return;
    saved_.resize(size);
    if (RegQueryValueExW(key_, kValue, nullptr, &savedType_, saved_.data(), &size) != ERROR_SUCCESS) return;
    ok_ = !desktop.empty();
  }
  ~DesktopSizes() {
    if (!key_) return;
    if (ok_) RegSetValueExW(key_, kValue, 0, savedType_, saved_.data(), static_cast<DWORD>(saved_.size()));
    RegCloseKey(key_);
  }
  DesktopSizes(const DesktopSizes&) = delete;
  DesktopSizes& operator=(const DesktopSizes&) = delete;

  bool Ok() const { return ok_; }

  // Makes the folder of a size when it does not hold that many shortcuts yet.
  bool Prepare(int files) { return MakeShortcuts(Folder(files), files); }
  // The documents on the all-users desktop, beside the shortcuts of the
  // user's; their number. Their names sort after "Files", which stays the
  // first entry of the desktop with the folder.
  static int PrepareCommon() {
    const std::wstring common = ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    const std::vector<std::wstring> names = {L"Holiday.jpg", L"Manual.pdf", L"Minutes.rtf",    L"Notes.txt",
                                             L"Report.docx", L"Song.mp3",   L"Timetable.xlsx", L"Visitors.csv"};
    // Those alone (the bench's prefix is its own).
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((common + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            std::find(names.begin(), names.end(), found.cFileName) == names.end()) {
          DeleteFileW((common + L"\\" + found.cFileName).c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    for (const std::wstring& name : names) {
      const std::wstring path = common + L"\\" + name;
      if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) WriteFile(path, "");
    }
    return CountFiles(common);
  }
  // A desktop that holds one folder, "Files", with this many files in it.
  bool PrepareFolder(int files) {
    CreateDirectoryW(FolderDesktop().c_str(), nullptr);
    return MakeFiles(FolderDesktop() + L"\\Files", files);
  }
  // Makes the desktop with the folder the user's desktop.
  bool PutFolder() { return PutPath(FolderDesktop(), kFolderDesktop); }

  // Makes the folder of this size the user's desktop, and checks that the
  // shell now gives it.
  bool Put(int files) { return PutPath(Folder(files), files); }

 private:
  static constexpr int kFolderDesktop = -2;

  // Plain files, as many as asked for, with scrambled numbers in their names
  // so that the names do not come sorted.
  static bool MakeFiles(const std::wstring& folder, int files) {
    if (CountFiles(folder) == files) return true;
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
      wchar_t name[64];
      swprintf(name, 64, L"\\Bench item %07u.txt", Scrambled(i));
      WriteFile(folder + name, "");
    }
    return CountFiles(folder) == files;
  }

  // Shortcuts, as many as asked for: two to programs and documents (each
  // pointing at one of a few real files) for one to a web site.
  static bool MakeShortcuts(const std::wstring& folder, int files) {
    if (CountFiles(folder) == files) return true;
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring windows = ShellFolder(CSIDL_WINDOWS), system = ShellFolder(CSIDL_SYSTEM);
    const std::wstring targets[] = {windows + L"\\notepad.exe", windows + L"\\regedit.exe", system + L"\\winemine.exe",
                                    system + L"\\cmd.exe",      windows + L"\\win.ini",     system + L"\\write.exe"};
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (link) link->Release();
      return false;
    }
    for (int i = 0; i < files; ++i) {
      wchar_t name[64];
      if (i % 3 == 2) {
        swprintf(name, 64, L"\\Bench site %07u.url", Scrambled(i));
        char text[96];
        std::snprintf(text, sizeof text, "[InternetShortcut]\r\nURL=https://www.example.com/page/%d\r\n", i);
        WriteFile(folder + name, text);
      } else {
        swprintf(name, 64, L"\\Bench link %07u.lnk", Scrambled(i));
        const std::wstring& target = targets[static_cast<size_t>(i) % std::size(targets)];
        link->SetPath(target.c_str());
        link->SetWorkingDirectory(target.substr(0, target.find_last_of(L'\\')).c_str());
        file->Save((folder + name).c_str(), TRUE);
      }
    }
    file->Release();
    link->Release();
    return CountFiles(folder) == files;
  }

  static unsigned Scrambled(int i) { return (static_cast<unsigned>(i) * 2654435761u) % 9999991u; }

  static void WriteFile(const std::wstring& path, const char* text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    CloseHandle(file);
  }

  bool PutPath(const std::wstring& folder, int files) {
    if (files == current_) return true;
    const auto* bytes = reinterpret_cast<const BYTE*>(folder.c_str());
    const DWORD size = static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(key_, kValue, 0, REG_SZ, bytes, size) != ERROR_SUCCESS ||
        ShellFolder(CSIDL_DESKTOPDIRECTORY) != folder) {
      std::printf("could not make %ls the desktop folder\n", folder.c_str());
      return false;
    }
    current_ = files;
    return true;
  }

  static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  static constexpr wchar_t kValue[] = L"Desktop";

  std::wstring Folder(int files) const { return parent_ + L"Bench shortcuts " + std::to_wstring(files); }
  std::wstring FolderDesktop() const { return parent_ + L"Bench desktop folder"; }

  std::wstring parent_;
  HKEY key_ = nullptr;
  DWORD savedType_ = 0;
  std::vector<BYTE> saved_;
  bool ok_ = false;
  int current_ = -1;
};

// ---------------------------------------------------------------- the programs

// A program started by the bench, held until Resume so that the bench knows
// its process id before it can do anything; it is ended when the object goes.
class Running {
 public:
  explicit Running(const std::wstring& exe, const std::wstring& arguments = L"") {
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                   folder.empty() ? nullptr : folder.c_str(), &startup, &process_);
  }
  ~Running() {
    if (!process_.hProcess) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

  bool Started() const { return process_.hProcess != nullptr; }
  DWORD Id() const { return process_.dwProcessId; }
  void Resume() { ResumeThread(process_.hThread); }

 private:
  PROCESS_INFORMATION process_{};
};

// Returns once the window's thread is back in its message loop.
bool Settle(HWND window) {
  DWORD_PTR result;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
}

// PROCESS_MEMORY_COUNTERS.PagefileUsage, read from outside the process.
double PrivateBytes(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return -1;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  const bool ok = GetProcessMemoryInfo(process, &counters, sizeof counters);
  CloseHandle(process);
  return ok ? static_cast<double>(counters.PagefileUsage) : -1;
}

HWND VisibleMenuOf(DWORD pid) {
  HWND menu = nullptr;
  while ((menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(menu, &owner);
    if (owner == pid && IsWindowVisible(menu)) return menu;
  }
  return nullptr;
}

// A left click on the tray icon; the time until the menu is on the screen,
// or -1. The menu is closed again (Escape), after upMs, before it returns.
double ClickForMenu(HWND window, DWORD pid, DWORD upMs = 0) {
  const double clicked = NowMs();
  PostMessageW(window, kTrayMessage, kTrayId, WM_LBUTTONUP);
  HWND menu = nullptr;
  if (!WaitUntil([&] { return (menu = VisibleMenuOf(pid)) != nullptr; }, 120000)) return -1;
  const double shown = NowMs() - clicked;
  if (upMs > 0) Sleep(upMs);
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(menu, WM_KEYUP, VK_ESCAPE, 0);
  if (!WaitUntil([&] { return VisibleMenuOf(pid) == nullptr; }, 30000)) return -1;
  Settle(window);
  return shown;
}

// Clicks until there are this many times; false when a menu did not come.
bool Clicks(HWND window, DWORD pid, int clicks, std::vector<double>& times, DWORD upMs = 0) {
  while (static_cast<int>(times.size()) < clicks) {
    const double ms = ClickForMenu(window, pid, upMs);
    if (ms < 0) return false;
    times.push_back(ms);
  }
  return true;
}

// Moves the pointer kMouseMoves times, a pixel back and forth, with SendInput
// (one event a call, as a mouse delivers them) and gives the events per
// second, until the last move has reached the window system; -1 when it did
// not. A low-level mouse hook of any program is called for each event before
// the event goes on (and under Wine SendInput waits for it). By default away
// from the desktop window and the programs' windows.
double MouseEventsPerSecond(POINT at = POINT{400, 300}) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  const auto move = [&](int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((x * 65536LL + cx - 1) / cx);
    in.mi.dy = static_cast<LONG>((y * 65536LL + cy - 1) / cy);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
  };
  const int x = at.x, y = at.y;
  move(x + 2, y);
  Sleep(50);
  const double start = NowMs();
  for (int i = 0; i < kMouseMoves; ++i) move(x + i % 2, y);
  move(x + 2, y);
  if (!WaitUntil([&] { return GetCursorPos(&at) && at.x == x + 2 && at.y == y; }, 10000)) return -1;
  return (kMouseMoves + 1) * 1000.0 / (NowMs() - start);
}

// What one run does after the start.
enum class RunKind { kStartOnly, kSmallMenus, kLargeMenus };

struct RunFigures {
  double startMs = -1;
  double startBytes = -1;
  double afterMenuBytes = -1;  // after the first menu has closed (large runs)
  double clickMs = -1;         // median of the run's clicks
  double firstClickMs = -1;    // the run's first click, which builds the menu
  double mouseRate = -1;       // mouse events per second (runs that only start)
};

// One run of one program: the desktop of the run's size is put in place, the
// program starts, its memory is read, and then it shows its desktop menu a
// few times (the memory read again after the first).
RunFigures Measure(const std::wstring& exe, RunKind kind, ShellStandIn& shell, DesktopSizes& desktop,
                   const std::wstring& arguments = L"") {
  RunFigures figures;
  if (!desktop.Put(kind == RunKind::kLargeMenus ? kLargeDesktop : kSmallDesktop)) return figures;
  shell.ShowDesktop();
  // Lets Wine finish with the program that ended before this one.
  Sleep(250);
  const double created = NowMs();
  Running program(exe, arguments);
  if (!program.Started()) return figures;
  shell.ExpectIcon(program.Id());
  program.Resume();
  const auto icon = shell.WaitForIcon(30000);
  if (!icon) return figures;
  figures.startMs = icon->addedMs - created;
  Settle(icon->window);
  figures.startBytes = PrivateBytes(program.Id());
  if (kind == RunKind::kStartOnly) {
    figures.mouseRate = MouseEventsPerSecond();
    return figures;
  }

  std::vector<double> times;
  const DWORD upMs = kind == RunKind::kLargeMenus ? kFirstMenuUpMs : 0;
  if (!Clicks(icon->window, program.Id(), 1, times, upMs)) return figures;
  figures.firstClickMs = times.front();
  figures.afterMenuBytes = PrivateBytes(program.Id());
  if (!Clicks(icon->window, program.Id(), kind == RunKind::kLargeMenus ? kLargeClicks : kSmallClicks, times)) {
    return figures;
  }
  figures.clickMs = Median(times);
  return figures;
}

// The visible menus of the process.
int VisibleMenus(DWORD pid) {
  int count = 0;
  HWND menu = nullptr;
  while ((menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(menu, &owner);
    if (owner == pid && IsWindowVisible(menu)) ++count;
  }
  return count;
}

void PostKey(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

// Whether the window's thread answers within 50 ms.
bool Answers(HWND window) {
  DWORD_PTR result;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 50, &result) != 0;
}

// One run of Tamberlinox with the folder of 10,000 files on its desktop.
struct FolderRun {
  std::vector<double> times;  // from the pointer on the folder's entry until its submenu is on the screen
  // Mouse events per second on the folder's entry while the program lists
  // the folder for its first opening (only when it was still at work after
  // the last move), and there again once the submenu is up and the program idle.
  double busyMouseRate = -1, idleMouseRate = -1;
  const char* failed = nullptr;  // the step that failed, if one did
};

// Tamberlinox with folders as submenus and a desktop that holds one folder
// of 10,000 files: the desktop menu opens, and the time from the pointer
// coming onto its first entry (the folder) until the folder's submenu is on
// the screen is taken, a few times. During the first opening the pointer
// moves on the folder's entry (which keeps the entry selected), and again
// once the program is idle.
FolderRun MeasureFolder(const std::wstring& exe, ShellStandIn& shell, DesktopSizes& desktop) {
  FolderRun run;
  run.failed = "the desktop with the folder";
  if (!desktop.PutFolder()) return run;
  shell.ShowDesktop();
  Sleep(250);
  Running program(exe);
  run.failed = "the start";
  if (!program.Started()) return run;
  shell.ExpectIcon(program.Id());
  program.Resume();
  const auto icon = shell.WaitForIcon(30000);
  run.failed = "the tray icon";
  if (!icon) return run;
  Settle(icon->window);
  for (int open = 0; open < kFolderOpens; ++open) {
    // The menu opens at the pointer, near the screen's top-left corner; then
    // the pointer goes onto its first entry, the folder, and its submenu
    // opens, as a user's pointer opens it.
    SetCursorPos(100, 100);
    PostMessageW(icon->window, kTrayMessage, kTrayId, WM_LBUTTONUP);
    HWND menu = nullptr;
    run.failed = "the desktop menu";
    if (!WaitUntil([&] { return (menu = VisibleMenuOf(program.Id())) != nullptr; }, 120000)) return run;
    Settle(icon->window);
    RECT r{};
    GetWindowRect(menu, &r);
    const POINT entry{r.left + 40, r.top + 10};
    const double pointed = NowMs();
    SetCursorPos(entry.x, entry.y);
    // The moves on a thread of their own, so that the submenu is seen as soon as it is up.
    std::thread mouse;
    if (open == 0) {
      mouse = std::thread([&] {
        if (!WaitUntil([&] { return !Answers(icon->window); }, 5000)) return;
        const double rate = MouseEventsPerSecond(entry);
        if (!Answers(icon->window) && VisibleMenus(program.Id()) == 1) run.busyMouseRate = rate;
      });
    }
    run.failed = "the folder's submenu";
    const bool opened = WaitUntil([&] { return VisibleMenus(program.Id()) == 2; }, 120000);
    if (opened) run.times.push_back(NowMs() - pointed);
    if (mouse.joinable()) mouse.join();
    if (!opened) return run;
    if (open == 0) {
      Settle(icon->window);
      run.idleMouseRate = MouseEventsPerSecond(entry);
    }
    // Both keys go to the menu itself: Wine drops the messages queued for a
    // submenu's window when it destroys it.
    PostKey(menu, VK_ESCAPE);
    PostKey(menu, VK_ESCAPE);
    run.failed = "closing the menus";
    if (!WaitUntil([&] { return VisibleMenuOf(program.Id()) == nullptr; }, 30000)) return run;
    Settle(icon->window);
  }
  run.failed = nullptr;
  return run;
}

// The program's option that shows folders as submenus, on while the object lives.
class FolderMenusOn {
 public:
  FolderMenusOn() {
    DWORD on = 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"FolderMenus", REG_DWORD, &on, sizeof on);
  }
  ~FolderMenusOn() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"FolderMenus"); }
  FolderMenusOn(const FolderMenusOn&) = delete;
  FolderMenusOn& operator=(const FolderMenusOn&) = delete;

 private:
  static constexpr wchar_t kKey[] = L"Software\\Zemrik Software\\Tamberlinox";
};

// A program's figures in one pair: start-up and memory after start from the
// runs with 1,000 files, memory after a menu from the run with 10,000.
struct Figures {
  double startMs = -1;
  double startBytes = -1;
  double afterMenuBytes = -1;
  double smallClickMs = -1;
  double largeClickMs = -1;
  double largeFirstClickMs = -1;
  double mouseRate = -1;

  bool Complete() const {
    return startMs >= 0 && startBytes >= 0 && afterMenuBytes >= 0 && smallClickMs >= 0 && largeClickMs >= 0 &&
           mouseRate >= 0;
  }
};

Figures Combine(const RunFigures& large, const RunFigures& small, const std::vector<RunFigures>& startOnly) {
  Figures figures;
  std::vector<double> starts{small.startMs}, startBytes{small.startBytes}, mouseRates;
  for (const RunFigures& run : startOnly) {
    starts.push_back(run.startMs);
    startBytes.push_back(run.startBytes);
    mouseRates.push_back(run.mouseRate);
  }
  const auto failed = [](double value) { return value < 0; };
  if (std::ranges::none_of(starts, failed)) figures.startMs = Median(starts);
  if (std::ranges::none_of(startBytes, failed)) figures.startBytes = Median(startBytes);
  // The warm-up has no runs that only start: no mouse figure, and none needed.
  if (mouseRates.empty()) figures.mouseRate = 0;
  if (!mouseRates.empty() && std::ranges::none_of(mouseRates, failed)) figures.mouseRate = Median(mouseRates);
  figures.afterMenuBytes = large.afterMenuBytes;
  figures.smallClickMs = small.clickMs;
  figures.largeClickMs = large.clickMs;
  figures.largeFirstClickMs = large.firstClickMs;
  return figures;
}

// The figures of both programs in one pair of runs of each kind; the programs
// take turns, the first one given going first. The runs that only start are
// made of the bare program with its empty mouse hook too (hookedBare), whose
// median mouse figure goes to hookedMouseRate.
std::pair<Figures, Figures> MeasurePair(const std::wstring& first, const std::wstring& second, ShellStandIn& shell,
                                        DesktopSizes& desktop, int startOnlyRuns, const std::wstring& hookedBare,
                                        double& hookedMouseRate) {
  RunFigures large[2], small[2];
  std::vector<RunFigures> startOnly[2];
  std::vector<double> hookedRates;
  const std::wstring* programs[2] = {&first, &second};
  for (int i = 0; i < 2; ++i) large[i] = Measure(*programs[i], RunKind::kLargeMenus, shell, desktop);
  for (int i = 0; i < 2; ++i) small[i] = Measure(*programs[i], RunKind::kSmallMenus, shell, desktop);
  for (int run = 0; run < startOnlyRuns; ++run) {
    for (int i = 0; i < 2; ++i) startOnly[i].push_back(Measure(*programs[i], RunKind::kStartOnly, shell, desktop));
    hookedRates.push_back(Measure(hookedBare, RunKind::kStartOnly, shell, desktop, L"/hook").mouseRate);
  }
  hookedMouseRate = std::ranges::any_of(hookedRates, [](double rate) { return rate < 0; }) ? -1 : Median(hookedRates);
  return {Combine(large[0], small[0], startOnly[0]), Combine(large[1], small[1], startOnly[1])};
}

// ---------------------------------------------------------------- report

constexpr double kMiB = 1024.0 * 1024.0;

void PrintRun(int pair, const char* name, const Figures& f) {
  std::printf("%4d  %-12s %9.1f %11.2f %11.2f %12.1f %13.1f %10.0f\n", pair, name, f.startMs, f.startBytes / kMiB,
              f.afterMenuBytes / kMiB, f.smallClickMs, f.largeClickMs, f.mouseRate);
  std::fflush(stdout);
}

const char* Verdict(bool pass) { return pass ? "PASS" : "MISS"; }

struct Series {
  std::vector<double> program, bare;
  void Add(double p, double b) {
    program.push_back(p);
    bare.push_back(b);
  }
  double RatioMedian() const {
    std::vector<double> ratios;
    for (size_t i = 0; i < program.size(); ++i) ratios.push_back(program[i] / bare[i]);
    return Median(ratios);
  }
  double DifferenceMedian() const {
    std::vector<double> differences;
    for (size_t i = 0; i < program.size(); ++i) differences.push_back(program[i] - bare[i]);
    return Median(differences);
  }
};

constexpr char kRowFormat[] = "%-40s %14s %14s %11s   %-20s %s\n";

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

void PrintRatio(const char* figure, const Series& s, double target) {
  const double ratio = s.RatioMedian();
  std::printf(kRowFormat, figure, Format("%.1f ms", Median(s.program)).c_str(),
              Format("%.1f ms", Median(s.bare)).c_str(), Format("%.2fx", ratio).c_str(),
              Format("<= %.2fx", target).c_str(), Verdict(ratio <= target));
}

// A rate, where more is better: the target is a least ratio.
void PrintRate(const char* figure, const Series& s, double target) {
  const double ratio = s.RatioMedian();
  std::printf(kRowFormat, figure, Format("%.0f /s", Median(s.program)).c_str(),
              Format("%.0f /s", Median(s.bare)).c_str(), Format("%.3fx", ratio).c_str(),
              Format(">= %.2fx", target).c_str(), Verdict(ratio >= target));
}

void PrintMemory(const char* figure, const Series& s, double targetMiB) {
  const double difference = s.DifferenceMedian() / kMiB;
  std::printf(kRowFormat, figure, Format("%.2f MiB", Median(s.program) / kMiB).c_str(),
              Format("%.2f MiB", Median(s.bare) / kMiB).c_str(), Format("%+.2f MiB", difference).c_str(),
              Format("<= bare + %.2f MiB", targetMiB).c_str(), Verdict(difference <= targetMiB));
}

std::wstring Widen(const char* text) {
  const int chars = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(chars > 0 ? chars - 1 : 0), L'\0');
  if (chars > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), chars);
  return wide;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: tray_bench PATH\\Tamberlinox.exe PATH\\bare_tray.exe [PAIRS]\n");
    return 2;
  }
  const std::wstring program = Widen(argv[1]);
  const std::wstring bare = Widen(argv[2]);
  const int pairs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;

  // The shell's link object makes the shortcuts.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  DesktopSizes desktop;
  if (!desktop.Ok()) {
    std::printf("no desktop folder setting\n");
    return 1;
  }
  if (!desktop.Prepare(kSmallDesktop) || !desktop.Prepare(kLargeDesktop) || !desktop.PrepareFolder(kLargeDesktop) ||
      !desktop.Put(kSmallDesktop)) {
    std::printf("could not prepare the desktop files\n");
    return 1;
  }
  std::printf("the user's desktop: %d or %d shortcuts (.lnk, .url); the all-users desktop: %d documents\n",
              kSmallDesktop, kLargeDesktop, DesktopSizes::PrepareCommon());
  ShellStandIn shell;
  if (!shell.Ready()) {
    std::printf("could not create the shell's windows\n");
    return 1;
  }

  std::printf("%4s  %-12s %9s %11s %11s %12s %13s %10s\n", "pair", "program", "start ms", "start MiB", "menu MiB",
              "1,000 ms", "10,000 ms", "mouse /s");
  double hookedRate = -1;
  const auto [warmProgram, warmBare] = MeasurePair(program, bare, shell, desktop, 0, bare, hookedRate);
  PrintRun(0, "Tamberlinox", warmProgram);
  PrintRun(0, "bare", warmBare);
  if (!warmProgram.Complete() || !warmBare.Complete()) {
    std::printf("a warm-up run did not complete; no figures\n");
    return 1;
  }

  Series start, startBytes, afterMenuBytes, smallClick, largeClick, mouse, hookedMouse;
  std::vector<double> largeFirstClicks;  // Tamberlinox's
  for (int pair = 1; pair <= pairs; ++pair) {
    // Every other pair starts with the bare program, so that neither always goes first.
    Figures p, b;
    if (pair % 2) {
      std::tie(p, b) = MeasurePair(program, bare, shell, desktop, kStartOnlyRuns, bare, hookedRate);
    } else {
      std::tie(b, p) = MeasurePair(bare, program, shell, desktop, kStartOnlyRuns, bare, hookedRate);
    }
    PrintRun(pair, "Tamberlinox", p);
    PrintRun(pair, "bare", b);
    std::printf("%4d  %-12s %71.0f\n", pair, "bare /hook", hookedRate);
    if (!p.Complete() || !b.Complete() || hookedRate < 0) {
      std::printf("      (incomplete pair left out)\n");
      continue;
    }
    start.Add(p.startMs, b.startMs);
    startBytes.Add(p.startBytes, b.startBytes);
    afterMenuBytes.Add(p.afterMenuBytes, b.afterMenuBytes);
    smallClick.Add(p.smallClickMs, b.smallClickMs);
    largeClick.Add(p.largeClickMs, b.largeClickMs);
    largeFirstClicks.push_back(p.largeFirstClickMs);
    mouse.Add(p.mouseRate, b.mouseRate);
    hookedMouse.Add(p.mouseRate, hookedRate);
  }
  if (start.program.empty()) {
    std::printf("no complete pair; no figures\n");
    return 1;
  }
  // The first opening of the submenu in each run lists and sorts the folder
  // and makes its entries; later ones find them made.
  std::vector<double> folderFirstOpens, folderOpens;
  Series folderMouse;  // while the folder is listed, against the idle program
  {
    const FolderMenusOn folders;
    for (int run = 0; run < kFolderRuns; ++run) {
      const FolderRun figures = MeasureFolder(program, shell, desktop);
      const std::vector<double>& times = figures.times;
      std::printf("folder of 10,000 files, run %d:", run + 1);
      for (double ms : times) std::printf(" %.1f ms", ms);
      std::printf("; mouse /s while listing %.0f, idle %.0f", figures.busyMouseRate, figures.idleMouseRate);
      if (figures.failed != nullptr) std::printf(" (incomplete: %s)", figures.failed);
      std::printf("\n");
      if (figures.busyMouseRate >= 0 && figures.idleMouseRate > 0) {
        folderMouse.Add(figures.busyMouseRate, figures.idleMouseRate);
      }
      if (times.empty()) continue;
      folderFirstOpens.push_back(times.front());
      folderOpens.insert(folderOpens.end(), times.begin() + 1, times.end());
    }
  }

  std::printf(
      "\nmedians of %zu pairs; compared: the median of the pairwise ratios (of the differences for memory).\n"
      "Per program and pair: start-up and private bytes after start, medians of %d runs with 1,000 files;\n"
      "left click, medians of %d clicks with 1,000 files and of %d with 10,000, in runs of their own;\n"
      "mouse events per second, %d pointer moves through SendInput, median of the %d runs that only start\n"
      "(also of the bare program with an empty low-level mouse hook, \"bare /hook\", the floor under Wine),\n"
      "and with the folder: while the program lists it for its submenu, against the program idle.\n\n",
      start.program.size(), kStartOnlyRuns + 1, kSmallClicks, kLargeClicks, kMouseMoves, kStartOnlyRuns);
  std::printf(kRowFormat, "", "Tamberlinox", "bare", "compared", "target", "");
  PrintRatio("start-up to the tray icon", start, 1.05);
  PrintMemory("private bytes after start", startBytes, 0.25);
  PrintMemory("private bytes, 10,000-shortcut menu closed", afterMenuBytes, 2.0);
  PrintRatio("left click to menu, 1,000 files", smallClick, 1.10);
  PrintRatio("left click to menu, 10,000 files", largeClick, 0.6);
  PrintRate("mouse events per second", mouse, 0.98);
  PrintRate("mouse events per second, bare /hook", hookedMouse, 0.98);
  // Against Tamberlinox's own desktop menu of as many files: a first opening
  // against the first showing of that menu, the others against its clicks.
  const auto printFolder = [](const char* name, const std::vector<double>& opens, const std::vector<double>& clicks,
                              const char* against) {
    if (opens.empty() || clicks.empty()) return;
    const double folder = Median(opens), menu = Median(clicks);
    std::printf(kRowFormat, name, Format("%.1f ms", folder).c_str(), Format(against, menu).c_str(),
                Format("%.2fx", folder / menu).c_str(), "<= 1.00x menu", Verdict(folder <= menu));
  };
  printFolder("folder of 10,000 files, first opening", folderFirstOpens, largeFirstClicks, "(first menu %.1f ms)");
  printFolder("folder of 10,000 files, opened again", folderOpens, largeClick.program, "(menu %.1f ms)");
  if (!folderMouse.program.empty()) {
    std::printf(kRowFormat, "mouse events per second, listing folder",
                Format("%.0f /s", Median(folderMouse.program)).c_str(),
                Format("(idle %.0f /s)", Median(folderMouse.bare)).c_str(),
                Format("%.3fx", folderMouse.RatioMedian()).c_str(), ">= 0.90x idle",
                Verdict(folderMouse.RatioMedian() >= 0.9));
  } else {
    std::printf("mouse events per second, listing folder: not measured (the program was never at work long enough)\n");
  }
  return 0;
}
