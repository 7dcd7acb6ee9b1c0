// Figures for the real program under Wine (or Windows): how long it takes to
// start, how long a left click on its tray icon takes until the desktop menu is
// on the screen as the desktop grows, and how much memory the program uses.
// It prints numbers; nothing here passes or fails.
//
//   menu_open_bench.exe PATH\Tamberlinox.exe
//
// It fills the user's desktop folder with empty files and removes them again,
// and ends every copy of the program it starts. Run it in a scratch Wine prefix
// (bench/wine-bench.sh does).
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <class Fact>
bool WaitUntil(Fact fact, int timeoutMs) {
  const auto start = Clock::now();
  while (!fact()) {
    if (MillisSince(start) > timeoutMs) return false;
    Sleep(1);
  }
  return true;
}

struct Found {
  DWORD pid;
  const char* className;
  const char* caption;
  HWND window;
  bool visibleOnly;
};

BOOL CALLBACK FindOfProcess(HWND window, LPARAM param) {
  auto* f = reinterpret_cast<Found*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != f->pid) return TRUE;
  if (f->visibleOnly && !IsWindowVisible(window)) return TRUE;
  char text[256] = {};
  if (f->className) {
    GetClassNameA(window, text, sizeof text);
    if (std::string(text) != f->className) return TRUE;
  }
  if (f->caption) {
    GetWindowTextA(window, text, sizeof text);
    if (std::string(text) != f->caption) return TRUE;
  }
  f->window = window;
  return FALSE;
}

HWND WindowOf(DWORD pid, const char* className, const char* caption, bool visibleOnly) {
  Found f{pid, className, caption, nullptr, visibleOnly};
  EnumWindows(FindOfProcess, reinterpret_cast<LPARAM>(&f));
  return f.window;
}

std::string DesktopFolder() {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path))) return {};
  std::string folder = path;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

std::string ItemName(const std::string& folder, int i) {
  char name[64];
  // Scrambled numbers, so that the names do not arrive sorted.
  std::snprintf(name, sizeof name, "Bench item %07u.lnk", (static_cast<unsigned>(i) * 2654435761u) % 9999991u);
  return folder + name;
}

void FillDesktop(const std::string& folder, int files) {
  for (int i = 0; i < files; ++i) {
    HANDLE h = CreateFileA(ItemName(folder, i).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
}

void EmptyDesktop(const std::string& folder, int files) {
  for (int i = 0; i < files; ++i) DeleteFileA(ItemName(folder, i).c_str());
}

struct Run {
  double startMs = -1;              // process start until its main window exists
  std::vector<double> menuOpenMs;   // left click until the menu is on the screen
  SIZE_T peakKiB = 0;
};

Run Measure(const std::string& program, int clicks) {
  Run run;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + program + "\"";
  const auto started = Clock::now();
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::printf("could not start %s (error %lu)\n", program.c_str(), GetLastError());
    return run;
  }
  HWND main = nullptr;
  if (WaitUntil([&] { return (main = WindowOf(process.dwProcessId, nullptr, "Zemrik Program", false)) != nullptr; },
                20000)) {
    run.startMs = MillisSince(started);
    for (int click = 0; click < clicks; ++click) {
      const auto clicked = Clock::now();
      PostMessageA(main, WM_USER + 1, 125, WM_LBUTTONUP);
      HWND menu = nullptr;
      if (!WaitUntil([&] { return (menu = WindowOf(process.dwProcessId, "#32768", nullptr, true)) != nullptr; },
                     60000)) {
        break;
      }
      run.menuOpenMs.push_back(MillisSince(clicked));
      PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
      PostMessageA(menu, WM_KEYUP, VK_ESCAPE, 0);
      WaitUntil([&] { return WindowOf(process.dwProcessId, "#32768", nullptr, true) == nullptr; }, 10000);
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) run.peakKiB = memory.PeakWorkingSetSize / 1024;
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: menu_open_bench PATH\\Tamberlinox.exe\n");
    return 2;
  }
  const std::string program = argv[1];
  const std::string desktop = DesktopFolder();
  if (desktop.empty()) {
    std::printf("no desktop folder\n");
    return 1;
  }
  std::printf("left click until the desktop menu is on the screen: the first click, and the median of four more;\n"
              "start-up until the main window exists; the program's peak memory\n");
  std::printf("%10s %16s %16s %12s %16s\n", "files", "first menu (ms)", "next menus (ms)", "start (ms)",
              "peak memory KiB");
  for (int files : {0, 100, 1000, 10000}) {
    FillDesktop(desktop, files);
    const Run run = Measure(program, 5);
    EmptyDesktop(desktop, files);
    const double first = run.menuOpenMs.empty() ? -1 : run.menuOpenMs.front();
    const std::vector<double> next(run.menuOpenMs.empty() ? run.menuOpenMs.end() : run.menuOpenMs.begin() + 1,
                                   run.menuOpenMs.end());
    std::printf("%10d %16.1f %16.1f %12.1f %16lu\n", files, first, Median(next), run.startMs,
                static_cast<unsigned long>(run.peakKiB));
    std::fflush(stdout);
  }
  return 0;
}
