// The program's looks as the system's settings want them: high contrast, and
// dark popup menus through two unnamed functions of uxtheme that Windows 10
// 1903 (build 18362) and later export by number only and use for their own
// menus. Before that build the number 135 names another function, so the
// build is checked first; elsewhere (older Windows, Wine) nothing changes.
#include "platform/win32/Win32Platform.h"

namespace tamberlinox::platform::win32 {

namespace {

constexpr DWORD kFirstBuildWithDarkMenus = 18362;
constexpr int kAppModeDefault = 0;    // menus as the system draws them for any program
constexpr int kAppModeForceDark = 2;  // dark menus whatever the system's mode

// The system's real build number (GetVersionEx tells a program without a
// compatibility manifest an older one).
DWORD BuildNumber() {
  using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto getVersion = ProcAddress<GetVersion>(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return getVersion != nullptr && getVersion(&version) == 0 ? version.dwBuildNumber : 0;
}

}  // namespace

bool Win32Platform::HighContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void Win32Platform::SetDarkMenus(bool dark) {
  if (!uxthemeTried_) {
    uxthemeTried_ = true;
    if (BuildNumber() >= kFirstBuildWithDarkMenus) uxtheme_.Reset(::LoadLibraryW(L"uxtheme.dll"));
  }
  using SetAppMode = int(WINAPI*)(int);
  using FlushMenuThemes = void(WINAPI*)();
  const auto setAppMode = ProcAddress<SetAppMode>(uxtheme_.Get(), MAKEINTRESOURCEA(135));
  const auto flush = ProcAddress<FlushMenuThemes>(uxtheme_.Get(), MAKEINTRESOURCEA(136));
  if (setAppMode == nullptr || flush == nullptr) return;
  setAppMode(dark ? kAppModeForceDark : kAppModeDefault);
  flush();  // the next menu is drawn in the new mode
}

}  // namespace tamberlinox::platform::win32
