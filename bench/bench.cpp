// Figures for the program's logic on the in-memory system: how long a left
// click takes to list the desktop and build its menu as the desktop grows, what
// start-up and a settings read cost, and the memory the lists take. It prints
// numbers; nothing here passes or fails.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AutoHide.h"
#include "app/Program.h"
#include "platform/fake/FakePlatform.h"
#include "settings/modRegistry.h"

namespace {

using namespace tamberlinox;
using platform::FakePlatform;
using Clock = std::chrono::steady_clock;

// The median of several runs, in microseconds.
double MedianMicros(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void Desktop(FakePlatform& os, int files) {
  os.SetSpecialFolder(FakePlatform::kCsidlDesktopDirectory, "C:\\Users\\me\\Desktop");
  os.SetSpecialFolder(FakePlatform::kCsidlCommonDesktopDirectory, "C:\\Users\\Public\\Desktop");
  os.SetSpecialFolder(FakePlatform::kCsidlWindows, "C:\\WINDOWS");
  os.AddFolder("C:\\Users\\me\\Desktop");
  os.AddFolder("C:\\Users\\Public\\Desktop");
  // Names in no particular order, so the sort has work to do.
  for (int i = 0; i < files; ++i) {
    const unsigned scrambled = (static_cast<unsigned>(i) * 2654435761u) % 1000003u;
    const std::string folder = i % 5 == 0 ? "C:\\Users\\Public\\Desktop\\" : "C:\\Users\\me\\Desktop\\";
    os.AddFile(folder + "Shortcut " + std::to_string(scrambled) + ".lnk");
  }
}

void LeftClicks() {
  std::printf("left click: desktop listed and menu built (fake system, median of runs)\n");
  std::printf("%10s %14s %16s\n", "files", "microseconds", "per file (us)");
  for (int files : {0, 100, 1000, 10000}) {
    FakePlatform os;
    Desktop(os, files);
    os.AddWindow("Progman", "Program Manager", true);
    Program program(os);
    AutoHide::Main(program);
    os.SetPopupChooser([](const std::vector<std::string>&) { return -1; });
    const int runs = files >= 10000 ? 5 : 21;
    const double us = MedianMicros(runs, [&] { os.ClickTrayIcon(platform::kWmLButtonUp); });
    std::printf("%10d %14.0f %16.2f\n", files, us, files ? us / files : 0.0);
  }
}

void StartUpAndSettings() {
  FakePlatform os;
  os.AddWindow("Progman", "Program Manager", true);
  const double startUs = MedianMicros(51, [&] {
    Program program(os);
    AutoHide::Main(program);
  });
  std::string value;
  const double readUs = MedianMicros(1001, [&] {
    modRegistry::ReadValue(os, "HKCU", "Software\\Zemrik Software\\Tamberlinox", "Key", "S", "", value);
  });
  std::printf("\nstart-up (fake system): %.0f us; one settings read: %.2f us\n", startUs, readUs);
}

}  // namespace

int main() {
  LeftClicks();
  StartUpAndSettings();
  std::printf("\npeak memory of this run: %ld KiB\n", PeakKilobytes());
  return 0;
}
