// FakePlatform: an in-memory Windows for the unit tests of the program's logic.
//
// It implements Platform the way Windows behaves at that level, and keeps the
// whole system in public members that a test sets up, changes at any moment
// and reads afterwards. Nothing waits or depends on the real clock; handles
// and atoms are numbered in order. The fake must outlive everything it hands
// out (windows, browsers, atoms): declare it first in a fixture.
//
//   FakePlatform os;
//   os.AddOtherWindow("Progman", "Program Manager");
//   os.registry.SetText(Hive::CurrentUser, "Software\\Maker\\Program", "Key", "121");
//   ... start the program ...
//   FakeWindow* main = os.WindowByCaption("...");
//   os.ChooseMenuEntry("Show Icons");
//   main->TrayClick(kWmRButtonUp);  // the menu pops up and its entry runs
//   EXPECT_EQ(os.boxes.size(), 1u);
//
// Where it knowingly differs from Windows: messages that Windows posts
// (WM_HOTKEY, tray notifications, timer ticks) arrive at once, sent by the
// driver that causes them, unless a test makes the program busy; a message
// posted to another program's window is only recorded, one posted to the
// program's own window arrives at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/fake/FakeText.h"
#include "platform/fake/FakeWindow.h"

namespace tamberlinox::platform {

// ------------------------------------------------------------------- text
// Windows compares the names of keys, values, INI sections and entries,
// files and atoms without regard to case: ASCII letters are folded, other
// UTF-8 bytes are compared as they are.
bool EqualNoCase(const std::string& a, const std::string& b);
struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
template <class T>
using NoCaseMap = std::map<std::string, T, NoCaseLess>;

// --------------------------------------------------------------- registry
inline constexpr std::uint32_t kRegSz = 1;  // REG_SZ

struct RegistryValue {
  std::uint32_t type = kRegSz;
  std::string text;                 // REG_SZ: its text ("" = zero bytes)
  std::vector<std::uint8_t> bytes;  // every other type
};

struct RegistryKey {
  NoCaseMap<RegistryValue> values;
};

class FakeRegistry {
 public:
  // Each hive holds its keys by their full path below the hive ("Software\A\B").
  std::map<Hive, NoCaseMap<RegistryKey>> hives;

  // Writes (value writes and deletions, key deletions) at the key or below it
  // answer 5, as for a user who may not write there; "" = the whole hive.
  void DenyWrites(Hive hive, const std::string& key = "") { FailWrites(hive, key, kErrorAccessDenied); }
  void FailWrites(Hive hive, const std::string& key, std::int32_t code) { failures.push_back({hive, key, true, code}); }
  void FailReads(Hive hive, const std::string& key, std::int32_t code) { failures.push_back({hive, key, false, code}); }
  struct Failure {
    Hive hive;
    std::string key;
    bool writes;
    std::int32_t code;
  };
  std::vector<Failure> failures;

  // Set-up and inspection; never denied. Setting creates the missing keys.
  void SetText(Hive hive, const std::string& key, const std::string& name, const std::string& text);
  void SetBytes(Hive hive, const std::string& key, const std::string& name, std::uint32_t type,
                std::vector<std::uint8_t> bytes);
  std::optional<std::string> Text(Hive hive, const std::string& key, const std::string& name) const;
  std::optional<std::vector<std::uint8_t>> Bytes(Hive hive, const std::string& key, const std::string& name) const;
  bool KeyExists(Hive hive, const std::string& key) const { return Find(hive, key) != nullptr; }
  bool ValueExists(Hive hive, const std::string& key, const std::string& name) const;

  RegistryKey& Make(Hive hive, const std::string& key);  // with every missing key above it
  const RegistryKey* Find(Hive hive, const std::string& key) const;
  RegistryKey* Find(Hive hive, const std::string& key);
  std::int32_t FailureFor(Hive hive, const std::string& key, bool write) const;  // 0 = none
};

// ------------------------------------------------------------------ records
struct ShellOpenCall {
  WindowHandle owner = 0;
  std::string operation, file;
  std::optional<std::string> parameters, folder;
  int show = 0;
  friend bool operator==(const ShellOpenCall&, const ShellOpenCall&) = default;
};

// A top-level window of another program (the desktop, the taskbar, ...).
struct PostedMessage {
  std::uint32_t message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  friend bool operator==(const PostedMessage&, const PostedMessage&) = default;
};

struct OtherWindow {
  WindowHandle handle = 0;
  std::string className, title;
  bool visible = true;
  int changes = 0;                // of visible
  WindowHandle parent = 0;        // 0 for a top-level window
  std::uint32_t process = 0x500;  // the shell's, unless a test says otherwise
  std::vector<PostedMessage> posted;  // in order
  // Its thread has stopped answering: shows and hides wait in pending until
  // FakePlatform::Answer.
  bool hung = false;
  std::vector<bool> pending;
  // The WM_COMMANDs among them.
  std::vector<WParam> Commands() const;
};

struct HotKey {
  WindowHandle window = 0;
  int id = 0;
  std::uint32_t modifiers = 0;
  int key = 0;
  friend bool operator==(const HotKey&, const HotKey&) = default;
};

struct AtomEntry {
  std::string text;
  int references = 0;
};

struct ShownBox {
  std::string text, title;
  std::uint32_t flags = 0;
  int answer = 0;  // the button id it was closed with
};

// The system's web browser, shared by every browser object the program
// creates. A call the program starts is answered the next time the program
// looks at its outcome, unless the browser hangs: then it stays pending until
// hangs is false again, or for ever once the program has let go of it.
struct FakeBrowser {
  bool failThread = false;    // no thread for a browser: CreateWebBrowser gives null
  bool failCreation = false;  // Open fails: there is no automation object
  bool failNavigate = false;  // Open fails: the browser cannot go to the address
  bool failSetVisible = false;
  bool hangs = false;
  // The answers of the next ReadyState reads, in order; the last one stays.
  // nullopt = the read fails.
  std::deque<std::optional<std::int32_t>> readyStates{4};
  std::vector<std::string> navigated;
  bool visible = false;
  int created = 0;  // browser instances created
  int live = 0;     // browser objects the program holds
  int readyStateReads = 0;
  int abandonedCalls = 0;  // calls still hanging when the program let go
};

// Chooses from a popup menu: gets the entries, returns the chosen id or 0.
using MenuChooser = std::function<int(const std::vector<MenuEntry>& entries)>;
// Answers a message box: gets the box (already in the log), returns a button id.
using BoxAnswer = std::function<int(const ShownBox& box)>;

// ----------------------------------------------------------- the platform
class FakePlatform final : public Platform {
 public:
  FakePlatform();
  ~FakePlatform() override;
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  // ---- Registry and INI files.
  FakeRegistry registry;
  // INI files by full path (a bare name lives in the Windows folder), their
  // sections and entries. A file here is an ordinary file for IsOrdinaryFile.
  NoCaseMap<NoCaseMap<NoCaseMap<std::string>>> iniFiles;
  std::int32_t iniWriteFailure = 0;  // WriteIniText answers this code when not 0

  // ---- Files and folders.
  // Each folder's entries in the order the system lists them, by full path
  // without a final "\" ("C:\" keeps its); ListFolder adds "." and "..".
  NoCaseMap<std::vector<FolderEntry>> folders;
  std::vector<FolderEntry>& Folder(const std::string& path);  // made when missing
  std::vector<std::string> listedFolders;                     // every ListFolder, in order
  std::string currentFolder = "C:\\";
  std::string programFolder = "C:\\Program Files\\Tamberlinox";
  Version version{5, 1};
  std::map<SpecialFolder, std::string> specialFolders{
      {SpecialFolder::Desktop, "C:\\Users\\User\\Desktop"},
      {SpecialFolder::CommonDesktop, "C:\\Users\\Public\\Desktop"},
      {SpecialFolder::Documents, "C:\\Users\\User\\Documents"},
      {SpecialFolder::Windows, "C:\\Windows"}};  // missing or "" = unknown
  bool scriptHost = true;                        // false: there is no Windows Script Host
  NoCaseMap<std::string> scriptHostFolders{{"AllUsersDesktop", "C:\\Users\\Public\\Desktop"},
                                           {"Desktop", "C:\\Users\\User\\Desktop"}};

  // ---- The shell.
  std::vector<ShellOpenCall> shellOpens;
  bool shellOpenResult = true;  // ShellOpen also fails for a path of 260 UTF-16 units or more
  NoCaseMap<std::string> shortPaths;       // ShortPath's answers; none = ""
  std::vector<std::string> shellItemOpens;  // ShellOpenItem's paths
  bool shellItemOpenResult = true;
  int trayAddFailures = 0;  // the next AddTrayIcon calls fail, as while the shell is not ready

  // ---- Other programs' windows.
  std::vector<OtherWindow> otherWindows;  // oldest first; found newest first
  // Newer windows are above older ones in the Z order.
  WindowHandle AddOtherWindow(const std::string& className, const std::string& title, bool visible = true,
                              WindowHandle parent = 0);
  std::vector<std::string> arguments;  // the command line, without the program's name
  static constexpr std::uint32_t kOwnProcess = 0x700;  // the process of the program's own windows
  void RemoveOtherWindow(WindowHandle window);
  OtherWindow* OtherWindowAt(WindowHandle window);
  // A hung window's thread answers again: what was asked of it happens.
  void Answer(WindowHandle window);
  bool failPosts = false;  // PostWindowMessage and SendWindowMessage fail, as to a program running elevated
  bool copyLingers = false;  // a running copy asked to end is still there when the wait is over

  // ---- The mouse, the keyboard and the screen.
  // The screen's own window (class "#32769"), under every other window.
  static constexpr WindowHandle kScreenWindow = 0x10001;
  // Every monitor together; a point outside is on no window at all.
  Rect screen{-1280, 0, 2560, 1024};
  // What covers the screen, topmost first: a point in an area's rectangle is
  // on its window, a point of the screen in none on kScreenWindow.
  struct ScreenArea {
    Rect rect;
    WindowHandle window = 0;
  };
  std::vector<ScreenArea> screenAreas;
  // List views' items by their rectangles on the screen; a list in
  // unansweringLists does not answer a hit test.
  std::map<WindowHandle, std::vector<Rect>> listItems;
  std::vector<WindowHandle> unansweringLists;
  int listHitTests = 0;        // ListItemAt calls
  int hiddenListHitTests = 0;  // of them, those on a list that was not visible
  ClickLimits clickLimits;
  std::uint32_t tickCount = 0x1000;
  std::uint32_t lastInputTick = 0x1000;
  // The input watch as the program last asked for it (window 0: none).
  WindowHandle inputWatchWindow = 0;
  std::uint32_t inputWatchMessage = 0;
  InputWatch inputWatch;
  bool inputArrivedReported = false;  // the anyInput report went out since the watch asked for it
  bool failInputWatch = false;        // WatchInput cannot start a watch
  std::vector<WindowHandle> cameToFrontFor;  // LetComeToFront's windows, in order
  // The user, at tickCount: presses or releases the left button, clicks
  // (press and release), double-clicks; or any other input (a key, a move).
  // Each is input (lastInputTick) and reaches the watch as Windows would post it.
  void PressLeftButton(Point at);
  void ReleaseLeftButton(Point at);
  void ClickAt(Point at);
  void DoubleClickAt(Point at);  // the second press 100 ms after the first
  void UserInput();
  // A key held down (keysDown) goes up.
  void ReleaseKey(int key);

  // ---- Atoms and hot keys.
  std::map<std::uint16_t, AtomEntry> atoms;
  bool failAtomAdds = false;
  std::string localDateTime = "07/12/2026 10:00:00";
  std::uint16_t FindAtom(const std::string& text) const;  // 0 = none
  std::vector<HotKey> hotKeys;                            // the program's, in registration order
  std::vector<HotKey> hotKeysOfOthers;                    // held by other programs: registering them fails
  void HoldHotKeyElsewhere(std::uint32_t modifiers, int key) { hotKeysOfOthers.push_back({0, 0, modifiers, key}); }
  // The user presses a combination: WM_HOTKEY (wParam = id, lParam = modifiers
  // and key) through the registering window's procedure, then lets go of the
  // key unless it is held (keysDown). False when no window of the program
  // holds it.
  bool PressHotKey(std::uint32_t modifiers, int key);
  std::vector<int> keysDown;  // IsKeyDown
  // A key let go of after the program looked at it and before its watch
  // began: the watch never hears that release.
  int releasedBeforeWatch = 0;
  // While busy, the hot key's messages and the input watch's reports wait in
  // the program's queue, in order, until the work is done.
  bool busy = false;
  void WorkDone() {
    busy = false;
    Deliver();
  }

  // ---- Internet.
  bool connected = true;
  std::uint32_t connectionFlags = 0x02;  // INTERNET_CONNECTION_LAN
  FakeBrowser browser;

  // ---- The user.
  std::vector<ShownBox> boxes;       // every message box shown, with its answer
  std::deque<BoxAnswer> boxAnswers;  // for the next boxes; none left = the first button (OK, Yes)
  void AnswerBox(int button) {
    boxAnswers.push_back([button](const ShownBox&) { return button; });
  }
  void AnswerBoxWith(BoxAnswer answer) { boxAnswers.push_back(std::move(answer)); }

  // Popup menus take their choosers in turn; none left = nothing chosen (Esc).
  // A second menu while one is open is refused (nothing chosen, not shown).
  std::deque<MenuChooser> menuChoices;
  void ChooseMenuEntry(const std::string& caption);  // 0 when no entry has it
  void ChooseNoMenuEntry();
  void ChooseMenuEntryWith(MenuChooser chooser) { menuChoices.push_back(std::move(chooser)); }
  bool menuOpen = false;

  int cursorRestores = 0;
  std::uint64_t clockMs = 0;  // advanced by Sleep

  // ---- Menu pictures and the shell's places.
  struct PictureRequest {
    IconSource source;
    int size = 0;
    friend bool operator==(const PictureRequest&, const PictureRequest&) = default;
  };
  std::vector<PictureRequest> pictureRequests;  // every MakeMenuPicture, in order
  std::vector<IconSource> iconless;             // the system has no icon for these: MakeMenuPicture answers 0
  std::vector<MenuPicture> livePictures;        // made and not deleted yet, in the order made
  std::vector<IconSource> PictureSources() const;  // the sources of pictureRequests
  const IconSource* SourceOf(MenuPicture picture) const;  // what a picture was made from; null for none
  int menuDpi = 96;  // what the windows' MenuDpi answers
  bool recycleBinFull = false;
  int recycleBinQueries = 0;
  // TrimMemory calls, and the pictures alive at the last one.
  int memoryTrims = 0;
  std::size_t picturesAtTrim = 0;

  // ---- The program's windows.
  bool failWindowCreation = false;
  const std::vector<FakeWindow*>& Windows() const { return windows_; }  // live ones, oldest first
  FakeWindow* WindowByCaption(const std::string& caption) const;
  FakeWindow* WindowByHandle(WindowHandle window) const;

  // ---- The screen.
  int dpi = 96;  // of the monitor the program's windows open on
  FakeTextMeasurer text;
  bool highContrast = false;
  bool darkMenus = false;    // as the program last set them
  int darkMenuChanges = 0;   // SetDarkMenus calls

  // ======================================================== Platform
  std::int32_t ReadRegistryText(Hive hive, const std::string& key, const std::string& name,
                                std::optional<std::string>& text) override;
  std::int32_t ReadRegistryBytes(Hive hive, const std::string& key, const std::string& name, std::size_t size,
                                 std::vector<std::uint8_t>& data) override;
  std::int32_t ReadRegistryNumber(Hive hive, const std::string& key, const std::string& name,
                                  std::optional<std::uint32_t>& number) override;
  // The fake has one view of the registry.
  std::int32_t ReadRegistryNumber64(Hive hive, const std::string& key, const std::string& name,
                                    std::optional<std::uint32_t>& number) override {
    return ReadRegistryNumber(hive, key, name, number);
  }
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
  std::string ProgramFolder() override { return programFolder; }
  std::string CurrentFolder() override { return currentFolder; }
  Version ProgramVersion() override { return version; }
  std::vector<std::size_t> SortedOrder(const std::vector<std::string>& texts) override;
  std::vector<std::size_t> ExplorerOrder(const std::vector<std::string>& names) override;
  MenuPicture MakeMenuPicture(const IconSource& source, int size) override;
  void DeleteMenuPicture(MenuPicture picture) override;
  bool RecycleBinHoldsItems() override {
    ++recycleBinQueries;
    return recycleBinFull;
  }
  void TrimMemory() override {
    ++memoryTrims;
    picturesAtTrim = livePictures.size();
  }
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
  bool AwaitProcessEnd(WindowHandle, std::uint32_t patienceMs) override {
    clockMs += copyLingers ? patienceMs : 0;
    return !copyLingers;
  }
  WindowHandle WindowAt(Point at) override;
  std::string WindowClassName(WindowHandle window) override;
  WindowHandle TopLevelWindowOf(WindowHandle window) override;
  std::optional<bool> ListItemAt(WindowHandle list, Point at) override;
  ClickLimits MouseClickLimits() override { return clickLimits; }
  std::uint32_t TickCount() override { return tickCount; }
  // ASCII, Latin-1 and Cyrillic capitals folded: enough scripts for the tests.
  std::string LowerCase(const std::string& text) override;
  std::uint32_t LastInputTick() override { return lastInputTick; }
  bool WatchInput(WindowHandle window, std::uint32_t firstMessage, const InputWatch& watch) override;
  void LetComeToFront(WindowHandle window) override { cameToFrontFor.push_back(window); }
  std::vector<std::string> CommandLineArguments() override { return arguments; }
  GlobalAtom AddGlobalAtom(const std::string& text) override;
  std::string LocalDateTimeText() override { return localDateTime; }
  bool RegisterHotKey(WindowHandle window, int id, std::uint32_t modifiers, int key) override;
  bool UnregisterHotKey(WindowHandle window, int id) override;
  bool IsKeyDown(int key) override;
  bool InternetConnected(std::uint32_t& flags) override;
  std::unique_ptr<WebBrowser> CreateWebBrowser() override;
  int ShowMessage(const std::string& text, const std::string& title, std::uint32_t flags) override;
  void RestoreDefaultCursor() override { ++cursorRestores; }
  void Sleep(std::uint32_t milliseconds) override { clockMs += milliseconds; }
  std::unique_ptr<Window> OpenWindow(const WindowSpec& spec, WindowEvents& events) override;
  bool RegistryKeyExists(Hive hive, const std::string& key) override { return registry.KeyExists(hive, key); }
  bool HighContrast() override { return highContrast; }
  void SetDarkMenus(bool dark) override {
    darkMenus = dark;
    ++darkMenuChanges;
  }

 protected:
  void DeleteGlobalAtom(std::uint16_t atom) override;

 private:
  friend class FakeWindow;
  void Destroyed(FakeWindow& window);  // called by the window as it goes
  void Report(InputReport report, WParam wParam, LParam lParam);  // to the input watch's window
  std::string IniPath(const std::string& file);
  std::string FolderKey(const std::string& path);

  struct Posted {
    WindowHandle window;
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
  };
  void Post(const Posted& posted) {  // arrives at once unless busy, after those queued before it
    queue_.push_back(posted);
    Deliver();
  }
  void Deliver();
  std::deque<Posted> queue_;
  bool delivering_ = false;

  std::vector<FakeWindow*> windows_;
  std::map<MenuPicture, IconSource> pictureSources_;  // every picture ever made
  MenuPicture nextPicture_ = 0x5000;
  WindowHandle nextHandle_ = 0x10010;
  std::uint16_t nextAtom_ = 0xC000;
};

}  // namespace tamberlinox::platform
