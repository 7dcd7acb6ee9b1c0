// A platform that passes every call on to the fake system. A test derives from
// it and overrides the calls it wants to watch (their order, their count),
// which the fake's separate logs cannot show.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/fake/FakePlatform.h"

namespace tamberlinox::platform {

class ForwardingPlatform : public Platform {
 public:
  explicit ForwardingPlatform(FakePlatform& fake) : fake_(fake) {}

  std::int32_t RegOpenKeyExA(std::uint32_t hive, const std::string& subKey, std::uint32_t access,
                             RegKey& key) override {
    return fake_.RegOpenKeyExA(hive, subKey, access, key);
  }
  std::int32_t RegCreateKeyExA(std::uint32_t hive, const std::string& subKey, std::uint32_t access,
                               RegKey& key) override {
    return fake_.RegCreateKeyExA(hive, subKey, access, key);
  }
  std::int32_t RegQueryValueExA(const RegKey& key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t& size) override {
    return fake_.RegQueryValueExA(key, name, type, data, size);
  }
  std::int32_t RegSetValueExA(const RegKey& key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t size) override {
    return fake_.RegSetValueExA(key, name, type, data, size);
  }
  std::int32_t RegDeleteValueA(const RegKey& key, const std::string& name) override {
    return fake_.RegDeleteValueA(key, name);
  }
  std::int32_t RegDeleteKeyA(std::uint32_t hive, const std::string& subKey) override {
    return fake_.RegDeleteKeyA(hive, subKey);
  }
  std::int32_t RegCloseKey(std::uintptr_t key) override { return fake_.RegCloseKey(key); }
  std::string GetPrivateProfileStringA(const std::string& section, const std::string& entry,
                                       const std::string& defaultText, std::uint32_t bufferSize,
                                       const std::string& file) override {
    return fake_.GetPrivateProfileStringA(section, entry, defaultText, bufferSize, file);
  }
  std::int32_t WritePrivateProfileStringA(const std::string& section, const std::string& entry, const std::string& text,
                                          const std::string& file) override {
    return fake_.WritePrivateProfileStringA(section, entry, text, file);
  }
  bool IsOrdinaryFile(const std::string& path) override { return fake_.IsOrdinaryFile(path); }
  std::string FullPath(const std::string& path) override { return fake_.FullPath(path); }
  std::uint32_t GlobalAddAtomA(const std::string& text) override { return fake_.GlobalAddAtomA(text); }
  std::uint32_t GlobalDeleteAtom(std::uint32_t atom) override { return fake_.GlobalDeleteAtom(atom); }
  std::string LocalDateTimeText() override { return fake_.LocalDateTimeText(); }
  bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers, std::int32_t key) override {
    return fake_.RegisterHotKey(window, id, modifiers, key);
  }
  bool UnregisterHotKey(WindowHandle window, std::int32_t id) override { return fake_.UnregisterHotKey(window, id); }
  WindowHandle FindWindowA(const char* className, const char* title) override {
    return fake_.FindWindowA(className, title);
  }
  WindowHandle FindWindowExA(WindowHandle parent, WindowHandle after, const char* className,
                             const char* title) override {
    return fake_.FindWindowExA(parent, after, className, title);
  }
  bool ShowWindow(WindowHandle window, int command) override { return fake_.ShowWindow(window, command); }
  std::int32_t IsWindowVisible(WindowHandle window) override { return fake_.IsWindowVisible(window); }
  bool PostMessageA(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) override {
    return fake_.PostMessageA(window, message, wParam, lParam);
  }
  bool SetForegroundWindow(WindowHandle window) override { return fake_.SetForegroundWindow(window); }
  void SetWindowProcHandler(WindowProcHandler handler) override { fake_.SetWindowProcHandler(std::move(handler)); }
  WndProcAddr AddressOfWindowProc() override { return fake_.AddressOfWindowProc(); }
  WndProcAddr SetWindowLongA(WindowHandle window, WndProcAddr procedure) override {
    return fake_.SetWindowLongA(window, procedure);
  }
  WndProcAddr GetClassWndProc(WindowHandle window) override { return fake_.GetClassWndProc(window); }
  LResult CallWindowProcA(WndProcAddr procedure, WindowHandle window, std::uint32_t message, WParam wParam,
                          LParam lParam) override {
    return fake_.CallWindowProcA(procedure, window, message, wParam, lParam);
  }
  std::int32_t Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override {
    return fake_.Shell_NotifyIconA(message, data);
  }
  std::int32_t SHGetSpecialFolderLocation(WindowHandle owner, int folder, ItemIdList& list) override {
    return fake_.SHGetSpecialFolderLocation(owner, folder, list);
  }
  bool SHGetPathFromIDListA(const ItemIdList& list, std::array<char, 260>& path) override {
    return fake_.SHGetPathFromIDListA(list, path);
  }
  FindHandle FindFirstFileA(const std::string& pattern, FindData& data) override {
    return fake_.FindFirstFileA(pattern, data);
  }
  bool FindNextFileA(const FindHandle& search, FindData& data) override { return fake_.FindNextFileA(search, data); }
  std::int32_t FindClose(std::uintptr_t search) override { return fake_.FindClose(search); }
  std::int32_t CoTaskMemFree(std::uintptr_t memory) override { return fake_.CoTaskMemFree(memory); }
  std::unique_ptr<ScriptShell> CreateScriptShell() override { return fake_.CreateScriptShell(); }
  std::intptr_t ShellExecuteA(WindowHandle owner, const char* operation, const char* file, const char* parameters,
                              const char* directory, int show) override {
    return fake_.ShellExecuteA(owner, operation, file, parameters, directory, show);
  }
  std::string ProgramFolder() override { return fake_.ProgramFolder(); }
  std::string CurrentFolder() override { return fake_.CurrentFolder(); }
  void ProgramVersion(int& major, int& minor) override { fake_.ProgramVersion(major, minor); }
  int CompareTextNoCase(const std::string& a, const std::string& b) override { return fake_.CompareTextNoCase(a, b); }
  bool InternetGetConnectedState(std::uint32_t& flags) override { return fake_.InternetGetConnectedState(flags); }
  std::unique_ptr<WebBrowser> CreateWebBrowser() override { return fake_.CreateWebBrowser(); }
  int MessageBoxA(WindowHandle owner, const std::string& text, const std::string& title, std::uint32_t flags) override {
    return fake_.MessageBoxA(owner, text, title, flags);
  }
  void SetDefaultMousePointer() override { fake_.SetDefaultMousePointer(); }
  void Sleep(std::uint32_t milliseconds) override { fake_.Sleep(milliseconds); }
  std::unique_ptr<Form> CreateForm(const FormSpec& spec, FormEvents& events) override {
    return fake_.CreateForm(spec, events);
  }

 protected:
  FakePlatform& fake_;
};

}  // namespace tamberlinox::platform
