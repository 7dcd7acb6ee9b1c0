// FakePlatform: an in-memory Windows for the unit tests.
//
// It implements every Platform function with the Windows behaviour the program
// relies on, and adds a test-facing side to set the system up, drive it (press
// the hot key, click the tray icon, fire a timer, click a button) and look at
// what the program did. It is deterministic: nothing waits, sleeps or depends
// on the clock, handles are numbered in order, and every driver delivers its
// message before it returns.
//
// The fake must outlive every object it hands out (keys, forms, automation
// objects): declare it before the Program in a fixture. It serves one thread.
//
// A test sets the system up, runs the program and looks at the result:
//
//   FakePlatform os;
//   WindowHandle progman = os.AddWindow("Progman", "Program Manager", true);
//   os.SetRegistryString(kHkeyCurrentUser, "Software\\...", "Key", "65");
//   Program program(os);
//   AutoHide::Main(program);
//   os.SetPopupChooser([](const std::vector<std::string>&) { return 10; });
//   os.SetMessageBoxResponder([](const MessageBoxCall&) { return kIdNo; });
//   os.ClickTrayIcon(kWmRButtonUp);        // the menu pops up, entry 10 runs
//   EXPECT_TRUE(os.WindowVisible(progman));
//   EXPECT_EQ(os.Faults(), std::vector<std::string>{});
//
// Where it knowingly differs from Windows:
// - Messages that Windows posts (WM_HOTKEY, tray callbacks, a menu's
//   WM_COMMAND, timer ticks) are delivered at once, by the driver that causes
//   them, through the window's current procedure.
// - FindWindowA searches top-level windows in the order they were created
//   (Windows searches in Z order, where the newest usually comes first).
// - RegisterHotKey for a window and identifier that already hold a hot key
//   replaces it, as Wine does (Windows keeps both).
// - PostMessageA only logs: no window here acts on posted messages.
//
// Parts: FakeRegistry (registry), FakeFileSystem (files, find, INI profiles),
// FakeForm (the program's windows); this class holds the windows, messages,
// hot keys, atoms, tray and shell, and forwards the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/fake/FakeFileSystem.h"
#include "platform/fake/FakeForm.h"
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/FaultLog.h"

namespace tamberlinox::platform {

// ---------------------------------------------------------------- records

struct ShowWindowCall {
  WindowHandle window = 0;
  int command = 0;
  bool wasVisible = false;  // the result
  friend bool operator==(const ShowWindowCall&, const ShowWindowCall&) = default;
};

struct WindowMessage {
  WindowHandle window = 0;
  std::uint32_t message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  friend bool operator==(const WindowMessage&, const WindowMessage&) = default;
};

struct HotKeyRegistration {
  WindowHandle window = 0;
  std::int32_t id = 0;
  std::uint32_t modifiers = 0;
  std::int32_t key = 0;
  friend bool operator==(const HotKeyRegistration&, const HotKeyRegistration&) = default;
};

struct HotKeyCall {
  bool registering = true;  // RegisterHotKey, else UnregisterHotKey (modifiers and key 0)
  HotKeyRegistration hotKey;
  bool result = false;
  friend bool operator==(const HotKeyCall&, const HotKeyCall&) = default;
};

struct TrayCall {
  std::uint32_t message = 0;  // NIM_...
  NotifyIconData data;
  std::int32_t result = 0;
};

struct ShellExecuteCall {
  WindowHandle owner = 0;
  std::optional<std::string> operation, file, parameters, directory;  // absent = null pointer
  int show = 0;
  friend bool operator==(const ShellExecuteCall&, const ShellExecuteCall&) = default;
};

struct MessageBoxCall {
  WindowHandle owner = 0;
  std::string text, title;
  std::uint32_t flags = 0;
  int answer = 0;  // filled in once the box has been answered
};

// One popup menu as it was shown: the captions of the loaded elements in index
// order, how many popups were open at once with this one, and what was chosen.
struct PopupRecord {
  WindowHandle window = 0;
  std::vector<std::string> captions;
  int depth = 1;
  int chosen = -1;  // index into captions, -1 for none
};

// One answer of a browser's ReadyState: whether the read worked, and the state.
struct ReadyStateAnswer {
  bool ok = true;
  std::int32_t state = 4;
};

// Answers a popup menu: gets the captions shown, returns the index chosen or -1.
using PopupChooser = std::function<int(const std::vector<std::string>& captions)>;
// A chooser that picks the first entry whose caption starts with prefix (the
// whole caption, when exact), or none.
inline PopupChooser ChooseCaption(std::string prefix, bool exact = true) {
  return [prefix = std::move(prefix), exact](const std::vector<std::string>& captions) {
    for (std::size_t i = 0; i < captions.size(); ++i) {
      if (exact ? captions[i] == prefix : captions[i].compare(0, prefix.size(), prefix) == 0) return int(i);
    }
    return -1;
  };
}
// Answers a message box (it may drive the fake meanwhile): returns the button id.
using MessageBoxResponder = std::function<int(const MessageBoxCall& box)>;

// ----------------------------------------------------------- the platform

class FakePlatform final : public Platform {
 public:
  // The address of the program's WindowProc as the fake system knows it.
  static constexpr WndProcAddr kWindowProcAddress = 0x00401000;
  // The message number of the registered "TaskbarCreated" message.
  static constexpr std::uint32_t kTaskbarCreatedMessage = 0xC0A7;
  static constexpr std::uint32_t kWmClose = 0x0010;
  static constexpr std::int32_t kEFail = static_cast<std::int32_t>(0x80004005u);  // E_FAIL
  static constexpr std::intptr_t kShellExecuteResult = 42;
  static constexpr std::int32_t kCsidlDesktopDirectory = 16, kCsidlCommonDesktopDirectory = 25,
                                kCsidlWindows = 36, kCsidlPersonal = 5;
  // WM_COMMAND identifier of element index of a form's popup menu item array.
  static constexpr std::uint32_t MenuCommandId(int index) { return 0x4000u + std::uint32_t(index); }

  FakePlatform();
  ~FakePlatform() override;
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  // ===================================================== Platform functions
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

  // =========================================================== test side

  // ---- Faults: calls Windows would reject, or that can only be slips
  // (a handle closed twice, a message to no procedure, an unknown control).
  const std::vector<std::string>& Faults() const { return faults_.All(); }
  // Drops every log (calls, messages, popups, boxes, ...) but no state.
  void ClearLogs();

  // ---- Registry. Set-up helpers are never denied and never logged.
  void DenyRegistryWrites(std::uint32_t hive, bool deny = true) { registry_.DenyWrites(hive, deny); }
  void AddRegistryKey(std::uint32_t hive, const std::string& path) { registry_.AddKey(hive, path); }
  void SetRegistryValue(std::uint32_t hive, const std::string& path, const std::string& name, std::uint32_t type,
                        std::vector<std::uint8_t> bytes);
  // A REG_SZ holding the text and its NUL.
  void SetRegistryString(std::uint32_t hive, const std::string& path, const std::string& name,
                         const std::string& text);
  bool RemoveRegistryKey(std::uint32_t hive, const std::string& path) { return registry_.RemoveKeyTree(hive, path); }
  std::optional<RegistryData> RegistryValue(std::uint32_t hive, const std::string& path,
                                            const std::string& name) const {
    return registry_.Value(hive, path, name);
  }
  // The value's bytes as text, less a final NUL.
  std::optional<std::string> RegistryString(std::uint32_t hive, const std::string& path,
                                            const std::string& name) const;
  bool KeyExists(std::uint32_t hive, const std::string& path) const { return registry_.KeyExists(hive, path); }
  std::vector<std::string> RegistryValueNames(std::uint32_t hive, const std::string& path) const {
    return registry_.ValueNames(hive, path);
  }
  std::vector<std::string> RegistrySubKeys(std::uint32_t hive, const std::string& path) const {
    return registry_.SubKeys(hive, path);
  }
  // Every key and value, one per line: "HKEY_CURRENT_USER\Software\X" then
  // lines like `  "Key" = REG_SZ "121"` or `  "B" = REG_BINARY FF FF`.
  std::string DumpRegistry() const { return registry_.Dump(); }
  std::string DumpRegistry(std::uint32_t hive) const { return registry_.Dump(hive); }
  std::size_t OpenRegistryKeys() const { return registry_.OpenKeys(); }
  std::vector<std::string> OpenRegistryKeyNames() const { return registry_.OpenKeyNames(); }
  const std::vector<RegistryCall>& RegistryCalls() const { return registry_.Calls(); }

  // ---- Files.
  void AddFolder(const std::string& path) { files_.AddFolder(path); }
  void AddFile(const std::string& path, std::uint32_t attributes = 0, const std::string& contents = "") {
    files_.AddFile(path, attributes, contents);
  }
  bool RemoveFile(const std::string& path) { return files_.Remove(path); }
  bool FolderExists(const std::string& path) const { return files_.FolderExists(path); }
  bool FileExists(const std::string& path) const { return files_.FileExists(path); }
  std::optional<std::string> FileContents(const std::string& path) const { return files_.FileContents(path); }
  void SetCurrentFolder(const std::string& path) { files_.SetCurrentFolder(path); }
  void SetWindowsFolder(const std::string& path) { files_.SetWindowsFolder(path); }
  std::size_t OpenFindHandles() const { return files_.OpenFindHandles(); }
  // The entry's text as GetPrivateProfileStringA would return it, untruncated;
  // nothing when the file, section or entry is missing.
  std::optional<std::string> ProfileString(const std::string& file, const std::string& section,
                                           const std::string& entry) const {
    return files_.ProfileString(file, section, entry);
  }
  // Profile writes fail with this system error code from now on (0: they work).
  void FailProfileWrites(std::int32_t code) { files_.FailProfileWrites(code); }

  // ---- Special folders and the script shell.
  void SetSpecialFolder(int csidl, const std::string& path) { specialFolders_[csidl] = path; }
  void ClearSpecialFolder(int csidl) { specialFolders_.erase(csidl); }
  // SHGetPathFromIDListA fails for the folder's item list. A path of 260
  // characters or more fills the whole buffer and leaves no terminator in it.
  void FailPathFromIdList(int csidl, bool fail = true);
  std::size_t LiveItemIdLists() const { return itemIdLists_.size(); }
  void SetScriptShellAvailable(bool available) { scriptShellAvailable_ = available; }
  void SetScriptShellFolder(const std::string& name, const std::string& path);
  std::size_t LiveScriptShells() const { return liveScriptShells_; }
  int ScriptShellsCreated() const { return scriptShellsCreated_; }

  // ---- Other programs' windows.
  WindowHandle AddWindow(const std::string& className, const std::string& title, bool visible);
  void RemoveWindow(WindowHandle window);
  bool WindowExists(WindowHandle window) const { return windows_.count(window) != 0; }
  bool WindowVisible(WindowHandle window) const;
  void SetWindowVisible(WindowHandle window, bool visible);  // as another program would, unlogged
  std::string WindowTitle(WindowHandle window) const;
  const std::vector<ShowWindowCall>& ShowWindowCalls() const { return showWindowCalls_; }
  const std::vector<WindowMessage>& PostedMessages() const { return postedMessages_; }
  const std::vector<WindowHandle>& ForegroundCalls() const { return foregroundCalls_; }
  WindowHandle ForegroundWindow() const { return foreground_; }

  // ---- Messages and subclassing.
  // Sends through the window's current procedure; 0 for a window that is not
  // one of the program's forms.
  LResult SendMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);
  WndProcAddr CurrentWndProc(WindowHandle window) const;
  // Messages that reached a form's own procedure and got the default handling.
  const std::vector<WindowMessage>& DefaultHandled() const { return defaultHandled_; }

  // ---- Atoms and the clock.
  void SetLocalDateTimeText(const std::string& text) { clockText_ = text; }
  void FailAtomAdds(bool fail = true) { failAtomAdds_ = fail; }
  int AtomCount(const std::string& text) const;  // reference count, 0 when absent
  std::optional<std::string> AtomName(std::uint32_t atom) const;
  std::size_t LiveAtoms() const { return atoms_.size(); }

  // ---- Hot keys.
  // Another program holds this combination: RegisterHotKey of it fails.
  void ReserveHotKey(std::uint32_t modifiers, std::int32_t key);
  const std::vector<HotKeyRegistration>& HotKeys() const { return hotKeys_; }
  const std::vector<HotKeyCall>& HotKeyCalls() const { return hotKeyCalls_; }
  // The user presses the combination: WM_HOTKEY (wParam = id) reaches the
  // registering window's current procedure. False when no window of the
  // program holds it (nobody, or another program).
  bool PressHotKey(std::uint32_t modifiers, std::int32_t key);

  // ---- The program's forms.
  std::vector<FakeForm*> Forms() const;  // live forms in creation order
  std::size_t LiveForms() const { return forms_.size(); }
  FakeForm* FormByCaption(const std::string& caption) const;
  FakeForm* FormByHandle(WindowHandle window) const;
  // Drivers, as the user or the system would act. Each returns whether the
  // event reached the program. A handler may destroy the form meanwhile.
  bool FireTimer(const Form& form, int timerId);        // only an enabled timer fires
  bool Click(const Form& form, int controlId);          // a visible control on a visible form
  bool MouseMove(const Form& form, int controlId = 0);  // 0 = the form's background
  bool CloseBox(const Form& form);
  bool PressEsc(const Form& form);  // clicks the control marked cancel
  void SetPopupChooser(PopupChooser chooser) { popupChooser_ = std::move(chooser); }
  const std::vector<PopupRecord>& Popups() const { return popups_; }
  int OpenPopups() const { return popupDepth_; }

  // ---- Tray.
  void SetShellAvailable(bool available) { shellAvailable_ = available; }
  const std::vector<NotifyIconData>& TrayIcons() const { return trayIcons_; }
  const std::vector<TrayCall>& TrayCalls() const { return trayCalls_; }
  // The user acts on the (first) tray icon: its callback message, wParam = uID,
  // lParam = mouseMessage, reaches its window. False when there is no icon.
  bool ClickTrayIcon(std::uint32_t mouseMessage);
  // The shell's taskbar was re-created: it starts with no icons, and every
  // top-level window of the program receives the "TaskbarCreated" message.
  void BroadcastTaskbarCreated();

  // ---- Shell, program, network, browser.
  const std::vector<ShellExecuteCall>& ShellExecuteCalls() const { return shellExecuteCalls_; }
  void SetProgramFolder(const std::string& path) { programFolder_ = path; }
  void SetProgramVersion(int major, int minor) {
    versionMajor_ = major;
    versionMinor_ = minor;
  }
  void SetConnection(bool connected, std::uint32_t flags) {
    connected_ = connected;
    connectionFlags_ = flags;
  }
  int ConnectionChecks() const { return connectionChecks_; }
  void FailWebBrowserCreation(bool fail = true) { failBrowserCreation_ = fail; }
  void FailNavigate(bool fail = true) { failNavigate_ = fail; }
  // The answers each new browser gives its ReadyState reads, in order; the last
  // one repeats. Default: {ok, 4}.
  void SetReadyStates(std::vector<ReadyStateAnswer> answers);
  const std::vector<std::string>& Navigations() const { return navigations_; }
  const std::vector<bool>& BrowserVisibleSettings() const { return browserVisible_; }
  int ReadyStateReads() const { return readyStateReads_; }
  int WebBrowsersCreated() const { return browsersCreated_; }
  std::size_t LiveWebBrowsers() const { return liveBrowsers_; }

  // ---- User interaction.
  void SetMessageBoxResponder(MessageBoxResponder responder) { messageBoxResponder_ = std::move(responder); }
  const std::vector<MessageBoxCall>& MessageBoxes() const { return messageBoxes_; }
  int DefaultMousePointerCalls() const { return defaultMousePointerCalls_; }
  const std::vector<std::uint32_t>& Sleeps() const { return sleeps_; }
  std::uint64_t TotalSleepMs() const { return totalSleepMs_; }
  void SetSleepCallback(std::function<void(std::uint32_t)> callback) { sleepCallback_ = std::move(callback); }

 private:
  friend class FakeForm;
  class ScriptShellObject;
  class WebBrowserObject;

  struct Window {
    std::string className;
    std::string title;   // for a form: its caption
    bool visible = false;
    FakeForm* form = nullptr;  // the program's own window, else another program's
    WndProcAddr classProc = 0;
    WndProcAddr currentProc = 0;
  };
  struct Atom {
    std::string text;
    int count = 0;
  };

  WindowHandle NewWindowHandle();
  WindowHandle FindTopLevel(WindowHandle after, const char* className, const char* title) const;
  LResult FormProcedure(WindowHandle formWindow, std::uint32_t message, WParam wParam, LParam lParam);
  LResult DefaultHandling(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);
  void FormCreated(FakeForm& form);
  void FormDestroyed(FakeForm& form);
  FakeForm* LiveForm(const Form& form) const;
  bool NotifyControl(FakeForm& form, int controlId, std::uint32_t code);

  mutable FaultLog faults_;
  FakeRegistry registry_{faults_};
  FakeFileSystem files_{faults_};

  // Windows, top-level ones in creation order.
  std::map<WindowHandle, Window> windows_;
  std::vector<WindowHandle> zOrder_;
  std::vector<FakeForm*> forms_;
  std::map<WndProcAddr, WindowHandle> classProcs_;  // a form's class procedure -> its window
  WindowHandle nextWindow_ = 0x10010;
  WndProcAddr nextClassProc_ = 0x77D10000;
  WindowProcHandler windowProcHandler_;
  std::vector<ShowWindowCall> showWindowCalls_;
  std::vector<WindowMessage> postedMessages_;
  std::vector<WindowHandle> foregroundCalls_;
  WindowHandle foreground_ = 0;
  std::vector<WindowMessage> defaultHandled_;

  // Popup menus.
  PopupChooser popupChooser_;
  std::vector<PopupRecord> popups_;
  int popupDepth_ = 0;

  // Atoms, clock, hot keys.
  std::map<std::uint32_t, Atom> atoms_;
  bool failAtomAdds_ = false;
  std::string clockText_ = "07/12/2026 10:00:00";
  std::vector<HotKeyRegistration> hotKeys_;
  std::vector<HotKeyRegistration> reservedHotKeys_;
  std::vector<HotKeyCall> hotKeyCalls_;

  // Tray.
  bool shellAvailable_ = true;
  std::vector<NotifyIconData> trayIcons_;
  std::vector<TrayCall> trayCalls_;

  // Special folders, item lists, the script shell.
  std::map<int, std::string> specialFolders_;
  std::set<int> failingPathFolders_;
  std::map<std::uintptr_t, int> itemIdLists_;  // live list -> its folder
  std::uintptr_t nextItemIdList_ = 0x00150000;
  bool scriptShellAvailable_ = true;
  std::map<std::string, std::string> scriptShellFolders_;  // by lower-case name
  std::size_t liveScriptShells_ = 0;
  int scriptShellsCreated_ = 0;

  // Shell, program, network, browser.
  std::vector<ShellExecuteCall> shellExecuteCalls_;
  std::string programFolder_ = "C:\\Program Files\\Tamberlinox";
  int versionMajor_ = 5, versionMinor_ = 1;
  bool connected_ = true;
  std::uint32_t connectionFlags_ = 0x02;  // INTERNET_CONNECTION_LAN
  int connectionChecks_ = 0;
  bool failBrowserCreation_ = false;
  bool failNavigate_ = false;
  std::vector<ReadyStateAnswer> readyStates_{ReadyStateAnswer{true, 4}};
  std::vector<std::string> navigations_;
  std::vector<bool> browserVisible_;
  int readyStateReads_ = 0;
  int browsersCreated_ = 0;
  std::size_t liveBrowsers_ = 0;

  // User interaction.
  MessageBoxResponder messageBoxResponder_;
  std::vector<MessageBoxCall> messageBoxes_;
  int defaultMousePointerCalls_ = 0;
  std::vector<std::uint32_t> sleeps_;
  std::uint64_t totalSleepMs_ = 0;
  std::function<void(std::uint32_t)> sleepCallback_;
};

}  // namespace tamberlinox::platform
