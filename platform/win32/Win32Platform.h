// The real platform: the program's requests carried out by Windows' own
// functions, in their wide (W) forms.
#pragma once

#include "platform/Platform.h"
#include "platform/RemotePage.h"
#include "platform/win32/Automation.h"
#include "platform/win32/BrowserThread.h"
#include "platform/win32/Com.h"
#include "platform/win32/InputHooks.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Window.h"

namespace tamberlinox::platform::win32 {

// Another process's memory, for a RemotePage (MouseAndInput.cpp).
struct ProcessMemory {
  using Process = HANDLE;
  HANDLE Open(std::uint32_t processId);
  bool Ended(HANDLE process);
  void* Allocate(HANDLE process);
  void Free(HANDLE process, void* page);
  void Close(HANDLE process);
};

class Win32Platform final : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance) : instance_(instance), windowClass_(instance) {}
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // Runs the thread's message loop until the last window has been destroyed
  // (returns at once when there is none). The program's windows get their
  // keyboard handling here: Tab between controls, Enter and Esc.
  void RunMessageLoop();

  std::int32_t ReadRegistryText(Hive hive, const std::string& key, const std::string& name,
                                std::optional<std::string>& text) override;
  std::int32_t ReadRegistryBytes(Hive hive, const std::string& key, const std::string& name, std::size_t size,
                                 std::vector<std::uint8_t>& data) override;
  std::int32_t ReadRegistryNumber(Hive hive, const std::string& key, const std::string& name,
                                  std::optional<std::uint32_t>& number) override;
  std::int32_t ReadRegistryNumber64(Hive hive, const std::string& key, const std::string& name,
                                    std::optional<std::uint32_t>& number) override;
  std::int32_t WriteRegistryText(Hive hive, const std::string& key, const std::string& name,
                                 const std::string& text) override;
  std::int32_t WriteRegistryBytes(Hive hive, const std::string& key, const std::string& name, std::uint32_t type,
                                  const std::vector<std::uint8_t>& data) override;
  std::int32_t DeleteRegistryValue(Hive hive, const std::string& key, const std::string& name) override;
  std::int32_t DeleteRegistryKey(Hive hive, const std::string& key) override;

  std::string ReadIniText(const std::string& file, const std::string& section, const std::string& entry,
                          const std::string& defaultText) override;
  std::int32_t WriteIniText(const std::string& file, const std::string& section, const std::string& entry,
                            const std::string& text) override;
  bool IsOrdinaryFile(const std::string& path) override;
  std::string FullPath(const std::string& path) override;

  std::vector<FolderEntry> ListFolder(const std::string& folder) override;
  std::string SpecialFolderPath(SpecialFolder folder) override;
  std::string ScriptHostSpecialFolder(const std::string& name) override;
  bool ShellOpen(WindowHandle owner, const std::string& operation, const std::string& file,
                 const std::optional<std::string>& parameters, const std::optional<std::string>& folder,
                 int show) override;
  std::string ShortPath(const std::string& path) override;
  bool ShellOpenItem(WindowHandle owner, const std::string& path) override;
  std::string ProgramFolder() override;
  std::string CurrentFolder() override;
  Version ProgramVersion() override;
  std::vector<std::size_t> SortedOrder(const std::vector<std::string>& texts) override;

  // Menu pictures, the Recycle Bin, Explorer's order, memory after a menu (MenuPictures.cpp).
  std::vector<std::size_t> ExplorerOrder(const std::vector<std::string>& names) override;
  MenuPicture MakeMenuPicture(const IconSource& source, int size) override;
  void DeleteMenuPicture(MenuPicture picture) override;
  bool RecycleBinHoldsItems() override;
  void TrimMemory() override;

  WindowHandle FindTopLevelWindow(const std::string& className, const std::optional<std::string>& title) override;
  void ShowWindow(WindowHandle window, bool show) override;
  bool IsWindowVisible(WindowHandle window) override;
  bool IsWindowAnswering(WindowHandle window) override;
  std::vector<WindowHandle> TopLevelWindows(const std::string& className) override;
  WindowHandle FindChildWindow(WindowHandle parent, const std::string& className,
                               const std::optional<std::string>& title) override;
  std::uint32_t WindowProcess(WindowHandle window) override;
  bool PostWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) override;
  std::optional<LResult> SendWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam,
                                           std::uint32_t patienceMs) override;
  WindowHandle FindProgramWindow(const std::string& caption) override;
  bool AwaitProcessEnd(WindowHandle window, std::uint32_t patienceMs) override;
  std::vector<std::string> CommandLineArguments() override;

  // The mouse, the keyboard and what is under the pointer (MouseAndInput.cpp).
  WindowHandle WindowAt(Point screen) override;
  std::string WindowClassName(WindowHandle window) override;
  WindowHandle TopLevelWindowOf(WindowHandle window) override;
  std::optional<bool> ListItemAt(WindowHandle list, Point screen) override;
  ClickLimits MouseClickLimits() override;
  std::uint32_t TickCount() override;
  std::string LowerCase(const std::string& text) override;
  std::uint32_t LastInputTick() override;
  bool WatchInput(WindowHandle window, std::uint32_t firstMessage, const InputWatch& watch) override;
  void LetComeToFront(WindowHandle window) override;

  GlobalAtom AddGlobalAtom(const std::string& text) override;
  std::string LocalDateTimeText() override;
  bool RegisterHotKey(WindowHandle window, int id, std::uint32_t modifiers, int key) override;
  bool UnregisterHotKey(WindowHandle window, int id) override;
  bool IsKeyDown(int key) override;

  bool InternetConnected(std::uint32_t& flags) override;
  std::unique_ptr<WebBrowser> CreateWebBrowser() override;

  int ShowMessage(const std::string& text, const std::string& title, std::uint32_t flags) override;
  void RestoreDefaultCursor() override;
  void Sleep(std::uint32_t milliseconds) override;

  std::unique_ptr<Window> OpenWindow(const WindowSpec& spec, WindowEvents& events) override;

  bool RegistryKeyExists(Hive hive, const std::string& key) override;
  bool HighContrast() override;               // Theme.cpp
  void SetDarkMenus(bool dark) override;      // Theme.cpp

 protected:
  void DeleteGlobalAtom(std::uint16_t atom) override;

 private:
  void HandleMessage(MSG& message);  // one message of the loop
  HINSTANCE instance_;
  WindowClass windowClass_;
  Com com_;  // loaded on first use
  ScriptHost scriptHost_{com_};
  Module wininet_;
  bool wininetTried_ = false;
  Module uxtheme_;  // loaded when dark menus are first wanted
  bool uxthemeTried_ = false;
  Module shlwapi_;  // loaded when first needed
  bool shlwapiTried_ = false;
  InputHooks inputHooks_;
  RemotePage<ProcessMemory> hitTestPage_;  // in the shell's process, for its icon list's hit tests
  BrowserThreads browsers_;  // goes first: the end waits a moment for browsers told to quit
};

}  // namespace tamberlinox::platform::win32
