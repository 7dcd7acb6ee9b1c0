// Figures for the program's logic on the in-memory system: how long a left
// click takes to list the desktop and build its menu as the desktop grows, what
// start-up and a settings read cost, and the peak memory of the run. It prints
// numbers; nothing here passes or fails.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/Program.h"
#include "platform/fake/FakePlatform.h"
#include "settings/ValueStore.h"

namespace {

using namespace tamberlinox;
using platform::FakePlatform;
using platform::SpecialFolder;
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

void FillDesktops(FakePlatform& os, int files) {
  auto& user = os.Folder(os.specialFolders[SpecialFolder::Desktop]);
  auto& common = os.Folder(os.specialFolders[SpecialFolder::CommonDesktop]);
  // Names in no particular order, so the sort has work to do.
  for (int i = 0; i < files; ++i) {
    const unsigned scrambled = (static_cast<unsigned>(i) * 2654435761u) % 1000003u;
    (i % 5 == 0 ? common : user).push_back({"Shortcut " + std::to_string(scrambled) + ".lnk", 0x20});
  }
}

void LeftClicks() {
  std::printf("left click: desktop listed and menu built (fake system, median of runs)\n");
  std::printf("%10s %14s %16s\n", "files", "microseconds", "per file (us)");
  for (int files : {0, 100, 1000, 10000}) {
    FakePlatform os;
    FillDesktops(os, files);
    os.AddOtherWindow("Progman", "Program Manager");
    Program program(os);
    program.Start();
    platform::FakeWindow* main = os.WindowByCaption("Zemrik Program");
    const int runs = files >= 10000 ? 5 : 21;
    const double us = MedianMicros(runs, [&] { main->TrayClick(platform::kWmLButtonUp); });
    std::printf("%10d %14.0f %16.2f\n", files, us, files ? us / files : 0.0);
  }
}

void StartUpAndSettings() {
  FakePlatform os;
  os.AddOtherWindow("Progman", "Program Manager");
  const double startUs = MedianMicros(51, [&] {
    Program program(os);
    program.Start();
  });
  settings::ValueStore store(os);
  std::string value;
  const double readUs = MedianMicros(1001, [&] {
    store.Read("HKCU", "Software\\Zemrik Software\\Tamberlinox", "Key", "S", "", value);
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
