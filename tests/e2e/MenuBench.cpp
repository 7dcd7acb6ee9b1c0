#include "MenuBench.h"

#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>

#include "MarkerProtocol.h"

namespace e2e {

namespace {

// What the program does: SHGetSpecialFolderLocation, then SHGetPathFromIDListW.
std::string SpecialFolder(int csidl) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || list == nullptr) return {};
  wchar_t path[MAX_PATH] = L"";
  const bool ok = SHGetPathFromIDListW(list, path) != FALSE;
  CoTaskMemFree(list);
  return ok ? ToUtf8(path) : std::string();
}

std::string WithoutFinalBackslash(std::string path) {
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolder(const std::string& path) { return CreateDirectoryW(ToWide(path).c_str(), nullptr) != FALSE; }

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(ToWide(Join(folder, "*")).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = ToUtf8(found.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// Removes a file, or a folder with everything in it.
bool RemovePath(const std::string& path) {
  if (IsFolder(path)) {
    for (const std::string& name : Names(path)) RemovePath(Join(path, name));
    return RemoveDirectoryW(ToWide(path).c_str()) != FALSE;
  }
  // A path longer than MAX_PATH is taken only in its "\\?\" form.
  const std::wstring file = (path.size() >= MAX_PATH ? L"\\\\?\\" : L"") + ToWide(path);
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileW(file.c_str()) != FALSE;
}

}  // namespace

// ------------------------------------------------------------ desktop folders
DesktopFolders::DesktopFolders() {
  paths_[kUser] = WithoutFinalBackslash(SpecialFolder(CSIDL_DESKTOPDIRECTORY));
  paths_[kAllUsers] = WithoutFinalBackslash(SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY));
}

DesktopFolders::~DesktopFolders() { RemoveAll(); }

std::vector<std::string> DesktopFolders::Contents(Which which) const {
  return paths_[which].empty() ? std::vector<std::string>() : Names(paths_[which]);
}

std::string DesktopFolders::Track(const std::string& path, bool made) {
  if (!made) return {};
  made_.push_back(path);
  return path;
}

std::string DesktopFolders::AddFile(Which which, const std::string& name, DWORD attributes) {
  if (paths_[which].empty()) return {};
  const std::string path = Join(paths_[which], name);
  HANDLE file = CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  CloseHandle(file);
  return Track(path, true);
}

std::string DesktopFolders::AddCopy(Which which, const std::string& name, const std::string& source) {
  if (paths_[which].empty()) return {};
  const std::string path = Join(paths_[which], name);
  return Track(path, CopyFileW(ToWide(source).c_str(), ToWide(path).c_str(), TRUE) != FALSE);
}

std::string DesktopFolders::AddFolder(Which which, const std::string& name) {
  if (paths_[which].empty()) return {};
  const std::string path = Join(paths_[which], name);
  return Track(path, MakeFolder(path));
}

std::string DesktopFolders::AddShortcut(Which which, const std::string& name, const std::string& target) {
  if (paths_[which].empty()) return {};
  return Shortcut(Join(paths_[which], name), target);
}

std::string DesktopFolders::AddShortcutIn(const std::string& folder, const std::string& name,
                                          const std::string& target) {
  if (std::find(made_.begin(), made_.end(), folder) == made_.end()) return {};
  return Shortcut(Join(folder, name), target);
}

std::string DesktopFolders::Shortcut(const std::string& path, const std::string& target) {
  const HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool saved = false;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->SetPath(ToWide(target).c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      saved = SUCCEEDED(file->Save(ToWide(path).c_str(), TRUE));
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(entered)) CoUninitialize();
  return Track(path, saved);
}

std::string DesktopFolders::AddFileIn(const std::string& folder, const std::string& name, DWORD attributes) {
  if (std::find(made_.begin(), made_.end(), folder) == made_.end()) return {};
  const std::string path = Join(folder, name);
  HANDLE file = CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  CloseHandle(file);
  return Track(path, true);
}

std::string DesktopFolders::AddFolderIn(const std::string& folder, const std::string& name) {
  if (std::find(made_.begin(), made_.end(), folder) == made_.end()) return {};
  const std::string path = Join(folder, name);
  return Track(path, MakeFolder(path));
}

std::string DesktopFolders::MoveInFolderOfFiles(Which which, const std::string& name, int files) {
  const std::string source = "C:\\e2e files\\" + std::to_string(files);
  if (paths_[which].empty() || Names(source).size() != size_t(files)) return {};
  const std::string folder = Join(paths_[which], name);
  if (!MoveFileW(ToWide(source).c_str(), ToWide(folder).c_str())) return {};
  movedIn_.emplace_back(folder, source);
  return folder;
}

bool DesktopFolders::Remove(const std::string& path) {
  auto it = std::find(made_.begin(), made_.end(), path);
  if (it == made_.end()) return false;
  // Whatever was made inside it goes with it.
  const std::string inside = path + "\\";
  made_.erase(std::remove_if(made_.begin(), made_.end(),
                             [&](const std::string& p) { return p == path || p.rfind(inside, 0) == 0; }),
              made_.end());
  return RemovePath(path);
}

bool DesktopFolders::RemoveAll() {
  bool ok = true;
  for (const auto& [folder, source] : movedIn_) ok = MoveFileW(ToWide(folder).c_str(), ToWide(source).c_str()) && ok;
  movedIn_.clear();
  // Newest first: what was made inside a folder goes before the folder.
  while (!made_.empty()) {
    const std::string path = made_.back();
    made_.pop_back();
    if (PathExists(path) && !RemovePath(path)) ok = false;
  }
  return ok;
}

std::string DocumentsFolder() { return SpecialFolder(CSIDL_PERSONAL); }

// ------------------------------------------------------------------- marker
std::string MarkerProgram() { return HarnessFolder() + "e2e_marker.exe"; }

std::vector<MarkerRun> MarkerRuns() {
  std::vector<MarkerRun> runs;
  for (int n = 1;; ++n) {
    const std::string key = std::string(kMarkerKey) + "\\" + std::to_string(n);
    if (!RegKeyExists(HKEY_CURRENT_USER, key)) break;
    if (ReadRegString(HKEY_CURRENT_USER, key, "Done") != "1") break;  // still being written
    MarkerRun run;
    run.path = ReadRegString(HKEY_CURRENT_USER, key, "Path").value_or("");
    run.commandLine = ReadRegString(HKEY_CURRENT_USER, key, "CommandLine").value_or("");
    run.folder = ReadRegString(HKEY_CURRENT_USER, key, "Folder").value_or("");
    run.pid = DWORD(std::stoul(ReadRegString(HKEY_CURRENT_USER, key, "Pid").value_or("0")));
    runs.push_back(run);
  }
  return runs;
}

bool WaitForMarkerRuns(size_t count, Millis timeout) {
  return WaitUntil([&] { return MarkerRuns().size() >= count; }, timeout);
}

bool WaitForMarkersToEnd(Millis timeout) {
  const auto deadline = Clock::now() + timeout;
  bool allEnded = true;
  for (const MarkerRun& run : MarkerRuns()) {
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, run.pid));
    if (!process) continue;  // gone already
    const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now());
    if (WaitForSingleObject(process.Get(), DWORD(std::max<long long>(0, left.count()))) != WAIT_OBJECT_0) {
      allEnded = false;
    }
  }
  return allEnded;
}

std::vector<std::string> SplitArguments(const std::string& commandLine) {
  std::vector<std::string> arguments;
  int count = 0;
  // The system's own splitting, as a program that asks the shell does it.
  LPWSTR* argv = CommandLineToArgvW(ToWide(commandLine).c_str(), &count);
  if (argv == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(ToUtf8(argv[i]));
  LocalFree(argv);
  return arguments;
}

std::string RawArguments(const std::string& commandLine) {
  size_t end = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    end = commandLine.find('"', 1);
    end = end == std::string::npos ? commandLine.size() : end + 1;
  } else {
    end = commandLine.find(' ');
    if (end == std::string::npos) end = commandLine.size();
  }
  if (end < commandLine.size() && commandLine[end] == ' ') ++end;
  return commandLine.substr(end);
}

// ------------------------------------------------------ things in the way
PlantedFile::PlantedFile(const std::string& source, const std::string& folder, const std::string& name)
    : folder_(WithoutFinalBackslash(folder)), path_(Join(folder_, name)) {
  if (!IsFolder(folder_)) madeFolder_ = MakeFolder(folder_);
  ok_ = CopyFileW(ToWide(source).c_str(), ToWide(path_).c_str(), TRUE) != FALSE;
}

PlantedFile::~PlantedFile() {
  if (ok_) DeleteFileW(ToWide(path_).c_str());
  if (madeFolder_) RemoveDirectoryW(ToWide(folder_).c_str());
}

ScopedRegValue::ScopedRegValue(HKEY hive, std::string path, std::string name)
    : hive_(hive), path_(std::move(path)), name_(std::move(name)) {
  UniqueKey key;
  if (RegOpenKeyExW(hive_, ToWide(path_).c_str(), 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS) return;
  keyExisted_ = true;
  const std::wstring name16 = ToWide(name_);
  DWORD size = 0;
  if (RegQueryValueExW(key.Get(), name16.c_str(), nullptr, &type_, nullptr, &size) != ERROR_SUCCESS) return;
  data_.resize(size);
  existed_ = RegQueryValueExW(key.Get(), name16.c_str(), nullptr, &type_, data_.data(), &size) == ERROR_SUCCESS;
  data_.resize(size);
}

ScopedRegValue::~ScopedRegValue() {
  if (existed_) {
    Set(type_, data_.data(), DWORD(data_.size()));
  } else if (keyExisted_) {
    Remove();
  } else {
    RegDeleteKeyW(hive_, ToWide(path_).c_str());  // made for the test; fails if someone else put a key inside
  }
}

bool ScopedRegValue::Set(DWORD type, const void* data, DWORD size) {
  UniqueKey key;
  if (RegCreateKeyExW(hive_, ToWide(path_).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Out(), nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExW(key.Get(), ToWide(name_).c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
         ERROR_SUCCESS;
}

bool ScopedRegValue::SetDword(DWORD value) { return Set(REG_DWORD, &value, sizeof value); }

bool ScopedRegValue::SetString(const std::string& value) {
  const std::wstring data = ToWide(value);
  return Set(REG_SZ, data.c_str(), DWORD((data.size() + 1) * sizeof(wchar_t)));
}

void ScopedRegValue::Remove() { DeleteRegValue(hive_, path_, name_); }

FileAssociation::FileAssociation(const std::string& extension, const std::string& command)
    : classKey_("Software\\Classes\\TamberlinoxE2E" + extension) {
  const std::string className = classKey_.substr(classKey_.find_last_of('\\') + 1);
  ok_ = WriteRegString(HKEY_LOCAL_MACHINE, classKey_ + "\\shell\\open\\command", "", command);
  extension_ = std::make_unique<ScopedRegString>(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + extension, "", className);
  ok_ = ok_ && extension_->Written();
}

FileAssociation::~FileAssociation() {
  extension_.reset();
  DeleteRegTree(HKEY_LOCAL_MACHINE, classKey_);
}

DocumentsFolderMoved::DocumentsFolderMoved(const std::string& folder) : folder_(WithoutFinalBackslash(folder)) {
  if (!IsFolder(folder_)) madeFolder_ = MakeFolder(folder_);
  ok_ = IsFolder(folder_);
  for (const char* key : {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                          "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}) {
    settings_.push_back(std::make_unique<ScopedRegValue>(HKEY_CURRENT_USER, key, "Personal"));
    ok_ = settings_.back()->SetString(folder_) && ok_;
  }
}

DocumentsFolderMoved::~DocumentsFolderMoved() {
  settings_.clear();
  if (madeFolder_) RemoveDirectoryW(ToWide(folder_).c_str());
}

namespace {
constexpr char kExplorerAdvanced[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
}  // namespace

ExplorerHiddenFiles::ExplorerHiddenFiles()
    : hidden(HKEY_CURRENT_USER, kExplorerAdvanced, "Hidden"),
      superHidden(HKEY_CURRENT_USER, kExplorerAdvanced, "ShowSuperHidden") {
  hidden.Remove();
  superHidden.Remove();
}

// ---------------------------------------------------------------- processes
std::set<DWORD> ProcessIds(const std::string& exeName) {
  std::set<DWORD> ids;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return ids;
  const std::wstring name = ToWide(exeName);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    if (lstrcmpiW(entry.szExeFile, name.c_str()) == 0) ids.insert(entry.th32ProcessID);
  }
  return ids;
}

std::optional<std::string> ProcessCommandLine(HANDLE process) {
  using QueryFunction = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<QueryFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  if (query == nullptr) return std::nullopt;
  PROCESS_BASIC_INFORMATION basic{};
  ULONG size = 0;
  if (query(process, ProcessBasicInformation, &basic, sizeof basic, &size) != 0) return std::nullopt;
  PEB peb{};
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, &read) || !peb.ProcessParameters) {
    return std::nullopt;
  }
  RTL_USER_PROCESS_PARAMETERS parameters{};
  if (!ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, &read)) return std::nullopt;
  std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
  if (!text.empty() &&
      !ReadProcessMemory(process, parameters.CommandLine.Buffer, text.data(), parameters.CommandLine.Length, &read)) {
    return std::nullopt;
  }
  // A process read while Wine is still setting it up has its parameters'
  // lengths in place before their texts: a command line never holds a NUL, so
  // one that does is not there yet.
  if (text.empty() || text.find(L'\0') != std::wstring::npos) return std::nullopt;
  return ToUtf8(text);
}

namespace {
struct ProcessWindows {
  DWORD pid;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND w, LPARAM lp) {
  auto& s = *reinterpret_cast<ProcessWindows*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == s.pid && (!s.visibleOnly || IsWindowVisible(w))) s.found.push_back(w);
  return TRUE;
}

std::vector<HWND> CollectWindows(DWORD pid, bool visibleOnly) {
  ProcessWindows s{pid, visibleOnly, {}};
  EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}
}  // namespace

std::vector<HWND> VisibleWindowsOf(DWORD pid) { return CollectWindows(pid, true); }

std::vector<HWND> WindowsOf(DWORD pid) { return CollectWindows(pid, false); }

// --------------------------------------------------------------- the fixture
void MenuTest::SetUp() {
  ShellTest::SetUp();
  if (HasFatalFailure()) return;
  ASSERT_TRUE(GetPaths().setupError.empty()) << GetPaths().setupError;
  desktops_ = std::make_unique<DesktopFolders>();
  ASSERT_FALSE(desktops_->Path(DesktopFolders::kUser).empty()) << "the shell gave no user desktop folder";
  ASSERT_FALSE(desktops_->Path(DesktopFolders::kAllUsers).empty()) << "the shell gave no all-users desktop folder";
  // The tests remove only what they put there: a desktop that is not empty
  // holds something of someone else's, and the tests do not go on with it.
  for (auto which : {DesktopFolders::kUser, DesktopFolders::kAllUsers}) {
    ASSERT_TRUE(desktops_->Contents(which).empty())
        << desktops_->Path(which) << " is not empty; it holds " << desktops_->Contents(which).front();
  }
  ASSERT_TRUE(PathExists(MarkerProgram())) << "no marker program at " << MarkerProgram();
  reader_ = std::make_unique<MenuReader>(*shell_);
  ASSERT_TRUE(reader_->Loaded()) << "e2e_menuhook.dll or its MenuHookProc export is missing";
}

void MenuTest::TearDown() {
  // The program first, so that it opens nothing more; then whatever it opened.
  // Each watch reports and ends before its program is killed: a window that is
  // torn down while the watch looks at it reads as visible one moment and
  // without styles the next (error 1400), which would pass for a window with a
  // taskbar button. The desktop menu leaves the main window shown (off the
  // screen) when it is closed without a choice, so here that happens.
  for (auto& r : running_) {
    if (r->watch) {
      for (const std::string& fault : r->watch->Violations()) ADD_FAILURE() << "main window " << fault;
      r->watch.reset();
    }
    r->process.Kill();
  }
  EXPECT_TRUE(WaitForMarkersToEnd()) << "a program that the menu opened still runs";
  fileManager_.reset();
  associations_.clear();
  reader_.reset();
  if (desktops_) {
    EXPECT_TRUE(desktops_->RemoveAll()) << "something put on a desktop could not be removed";
    for (auto which : {DesktopFolders::kUser, DesktopFolders::kAllUsers}) {
      EXPECT_TRUE(desktops_->Contents(which).empty()) << desktops_->Path(which) << " was left with things in it";
    }
  }
  desktops_.reset();
  ShellTest::TearDown();
}

ShellTest::Running& MenuTest::StartProgram(const std::string& exe) {
  return StartUntilReady(exe);
}

std::optional<MenuTest::OpenMenu> MenuTest::Click(Running& r, UINT mouseMessage) {
  if (r.main == nullptr) return std::nullopt;
  ClickTray(r.main, mouseMessage);
  OpenMenu menu;
  menu.window = reader_->WaitForMenu(r.process);
  if (menu.window == nullptr) return std::nullopt;
  auto entries = reader_->Read(menu.window);
  if (!entries) return std::nullopt;
  menu.entries = std::move(*entries);
  return menu;
}

namespace {
bool Gone(HWND menuWindow) { return !IsWindow(menuWindow) || !IsWindowVisible(menuWindow); }
}  // namespace

bool MenuTest::Choose(Running&, const OpenMenu& menu, size_t position) {
  if (!reader_->ChooseAt(menu.window, menu.entries, position)) return false;
  return WaitUntil([&] { return Gone(menu.window); });
}

bool MenuTest::Choose(Running& r, const OpenMenu& menu, const std::string& caption) {
  auto positions = PositionsOf(menu.entries, caption);
  return !positions.empty() && Choose(r, menu, positions.front());
}

bool MenuTest::CloseMenu(Running&, const OpenMenu& menu) {
  reader_->Close(menu.window);
  return WaitUntil([&] { return Gone(menu.window); });
}

bool MenuTest::MenuShown(const Running& r) const {
  for (HWND w : r.process.FindWindowsByClass("#32768")) {
    if (IsWindowVisible(w)) return true;
  }
  return false;
}

std::vector<HWND> MenuTest::OtherWindows(const Running& r) const {
  std::vector<HWND> others;
  for (HWND w : VisibleWindowsOf(r.process.Id())) {
    if (w != r.main && ClassName(w) != "#32768") others.push_back(w);
  }
  return others;
}

std::string MenuTest::PlantFileManager() {
  // The program runs in its own folder (the harness starts it there).
  fileManager_ = std::make_unique<PlantedFile>(MarkerProgram(), GetPaths().installFolder + "0", "explorer.exe");
  return fileManager_->Ok() ? fileManager_->Path() : std::string();
}

bool MenuTest::OpenFilesWithMarker(const std::string& extension) {
  associations_.push_back(std::make_unique<FileAssociation>(extension, "\"" + MarkerProgram() + "\" \"%1\""));
  return associations_.back()->Ok();
}

std::optional<std::vector<std::string>> MenuTest::DesktopMenu(Running& r) {
  auto menu = Click(r, WM_LBUTTONUP);
  if (!menu) return std::nullopt;
  EXPECT_TRUE(CloseMenu(r, *menu)) << "the menu did not close on Escape";
  return Captions(menu->entries);
}

std::vector<size_t> PositionsOf(const std::vector<MenuEntry>& entries, const std::string& caption) {
  std::vector<size_t> positions;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].Separator() && entries[i].caption == caption) positions.push_back(i);
  }
  return positions;
}

}  // namespace e2e
