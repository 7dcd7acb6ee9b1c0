// The real platform: every method calls the Windows function it is named after.
#pragma once

#include "platform/win32/Win32.h"

#include <memory>

#include "platform/Platform.h"
#include "platform/win32/Win32Form.h"

namespace tamberlinox::platform::win32 {

class Win32Platform final : public Platform {
 public:
  // One per process: the program's window procedure reaches its handler through it.
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // Runs the thread's message loop until the last form has been destroyed
  // (returns at once when there is none). Forms get their keyboard handling:
  // Tab between controls, Esc for the cancel button.
  void RunMessageLoop();
  int LiveForms() const { return forms_.LiveForms(); }

  std::int32_t RegOpenKeyExA(std::uint32_t hive, const std::string& subKey, std::uint32_t access,
                             RegKey& key) override;
  std::int32_t RegCreateKeyExA(std::uint32_t hive, const std::string& subKey, std::uint32_t access,
                               RegKey& key) override;
  std::int32_t RegQueryValueExA(const RegKey& key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t& size) override;
  std::int32_t RegSetValueExA(const RegKey& key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) override;
  std::int32_t RegDeleteValueA(const RegKey& key, const std::string& name) override;
  std::int32_t RegDeleteKeyA(std::uint32_t hive, const std::string& subKey) override;
  std::int32_t RegCloseKey(std::uintptr_t key) override;

  std::string GetPrivateProfileStringA(const std::string& section, const std::string& entry,
                                       const std::string& defaultText, std::uint32_t bufferSize,
                                       const std::string& file) override;
  std::int32_t WritePrivateProfileStringA(const std::string& section, const std::string& entry,
                                          const std::string& text, const std::string& file) override;
  bool IsOrdinaryFile(const std::string& path) override;
  std::string FullPath(const std::string& path) override;

  std::uint32_t GlobalAddAtomA(const std::string& text) override;
  std::uint32_t GlobalDeleteAtom(std::uint32_t atom) override;
  std::string LocalDateTimeText() override;
  bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers, std::int32_t key) override;
  bool UnregisterHotKey(WindowHandle window, std::int32_t id) override;

  WindowHandle FindWindowA(const char* className, const char* title) override;
  WindowHandle FindWindowExA(WindowHandle parent, WindowHandle after, const char* className,
                             const char* title) override;
  bool ShowWindow(WindowHandle window, int command) override;
  std::int32_t IsWindowVisible(WindowHandle window) override;
  bool PostMessageA(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) override;
  bool SetForegroundWindow(WindowHandle window) override;

  void SetWindowProcHandler(WindowProcHandler handler) override;
  WndProcAddr AddressOfWindowProc() override;
  WndProcAddr SetWindowLongA(WindowHandle window, WndProcAddr procedure) override;
  WndProcAddr GetClassWndProc(WindowHandle window) override;
  LResult CallWindowProcA(WndProcAddr procedure, WindowHandle window, std::uint32_t message, WParam wParam,
                          LParam lParam) override;

  std::int32_t Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override;

  std::int32_t SHGetSpecialFolderLocation(WindowHandle owner, int folder, ItemIdList& list) override;
  bool SHGetPathFromIDListA(const ItemIdList& list, std::array<char, 260>& path) override;
  FindHandle FindFirstFileA(const std::string& pattern, FindData& data) override;
  bool FindNextFileA(const FindHandle& search, FindData& data) override;
  std::int32_t FindClose(std::uintptr_t search) override;
  std::int32_t CoTaskMemFree(std::uintptr_t memory) override;
  std::unique_ptr<ScriptShell> CreateScriptShell() override;
  std::intptr_t ShellExecuteA(WindowHandle owner, const char* operation, const char* file, const char* parameters,
                              const char* directory, int show) override;
  std::string ProgramFolder() override;
  std::string CurrentFolder() override;
  void ProgramVersion(int& major, int& minor) override;
  int CompareTextNoCase(const std::string& a, const std::string& b) override;

  bool InternetGetConnectedState(std::uint32_t& flags) override;
  std::unique_ptr<WebBrowser> CreateWebBrowser() override;

  int MessageBoxA(WindowHandle owner, const std::string& text, const std::string& title,
                  std::uint32_t flags) override;
  void SetDefaultMousePointer() override;
  void Sleep(std::uint32_t milliseconds) override;

  std::unique_ptr<Form> CreateForm(const FormSpec& spec, FormEvents& events) override;

 private:
  static LRESULT CALLBACK ProgramWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  FormClass forms_;
  std::shared_ptr<WindowProcHandler> handler_;
};

}  // namespace tamberlinox::platform::win32
