// MsiActions.dll: the MSIs' own custom action (packaging/Tamberlinox.wxs).
//
// WaitForRunningCopy: the removal has asked a running copy to end
// ("Tamberlinox.exe /exit", which returns at once); this waits, 5 s at most,
// for that copy's process to be gone, so that its program file is free when
// the files are removed. Nothing to wait for when no copy runs. It never fails
// the removal.
#include <windows.h>

namespace {

constexpr DWORD kPatienceMs = 5000;

}  // namespace

// The entry point Windows Installer calls (the session handle goes unused).
extern "C" __declspec(dllexport) UINT __stdcall WaitForRunningCopy(unsigned long) {
  HWND window = FindWindowW(L"TamberlinoxForm", L"Zemrik Program");
  if (window == nullptr) return ERROR_SUCCESS;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId)) {
    WaitForSingleObject(process, kPatienceMs);
    CloseHandle(process);
    return ERROR_SUCCESS;
  }
  // A process that may not be opened: its window goes shortly before it does.
  for (DWORD waited = 0; waited < kPatienceMs && IsWindow(window); waited += 100) Sleep(100);
  return ERROR_SUCCESS;
}
