#include "Fixtures.h"

#include <aclapi.h>
#include <shlobj.h>

namespace e2e {

namespace {
Paths gPaths;

std::string FullPath(const std::string& path) {
  wchar_t full[MAX_PATH] = L"";
  const DWORD n = GetFullPathNameW(ToWide(path).c_str(), MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH ? ToUtf8(full) : path;
}

BOOL CALLBACK CollectMainWindowOwner(HWND w, LPARAM lp) {
  if (WindowText(w) == kMainCaption) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    reinterpret_cast<std::vector<DWORD>*>(lp)->push_back(pid);
  }
  return TRUE;
}

// Wine's desktop process (explorer.exe, in its virtual desktop) watches both
// desktop folders for launchers to draw, and its watch reads a notification
// buffer that a second request on the same folder is still writing: when files
// come and go in both folders at once, it crashes in process_changes
// (programs/explorer/desktop.c, Wine 8.0), and from then on no program in the
// session can open a window. Windows' Explorer has no such fault, and the
// tests add and remove files on both desktops all the time. So for the run
// both desktop folders are moved, as a user can move them (the Location tab
// of the folder's properties): the shell reports the new folders to the
// program and to the tests, while Wine's explorer, which looked its folders up
// once when it started, goes on watching the old, quiet ones. The program is
// thereby also shown to find the desktops where the shell says they are.
constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
// Where the shell writes down the folders it last reported (REG_SZ).
constexpr wchar_t kShellFoldersCache[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct MovedDesktop {
  HKEY hive;
  const wchar_t* value;    // its name in kShellFolders
  const wchar_t* moved;    // where the run keeps it
  std::wstring original;   // what the value held before (REG_EXPAND_SZ)
  std::wstring cached;     // and what kShellFoldersCache held
};
MovedDesktop gDesktops[] = {
    {HKEY_CURRENT_USER, L"Desktop", L"%USERPROFILE%\\Moved Desktop", {}, {}},
    {HKEY_LOCAL_MACHINE, L"Common Desktop", L"%PUBLIC%\\Moved Desktop", {}, {}},
};

std::wstring Expanded(const std::wstring& text) {
  wchar_t out[MAX_PATH] = L"";
  const DWORD n = ExpandEnvironmentStringsW(text.c_str(), out, MAX_PATH);
  return n > 0 && n <= MAX_PATH ? out : text;
}

std::wstring ReadFolderValue(HKEY hive, const wchar_t* name, const wchar_t* key = kShellFolders) {
  wchar_t data[MAX_PATH] = L"";
  DWORD size = sizeof data - sizeof(wchar_t);
  if (RegGetValueW(hive, key, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, data,
                   &size) != ERROR_SUCCESS) {
    return {};
  }
  return data;
}

bool WriteFolderValue(HKEY hive, const wchar_t* name, const std::wstring& folder, const wchar_t* path = kShellFolders,
                      DWORD type = REG_EXPAND_SZ) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(hive, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
  const LSTATUS status = RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(folder.c_str()),
                                        DWORD((folder.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

// Moves both desktop folders for the run; an empty answer when they moved.
std::string MoveDesktops() {
  // Wine's explorer looks its folders up before its desktop window first
  // answers a message; it has done so once this returns.
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(GetDesktopWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 30000, &result)) {
    return "the desktop window does not answer";
  }
  for (MovedDesktop& d : gDesktops) {
    d.original = ReadFolderValue(d.hive, d.value);
    d.cached = ReadFolderValue(d.hive, d.value, kShellFoldersCache);
    if (d.original.empty()) return "no \"" + ToUtf8(d.value) + "\" in User Shell Folders";
    const std::wstring folder = Expanded(d.moved);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return "could not make " + ToUtf8(folder);
    }
    if (!WriteFolderValue(d.hive, d.value, d.moved)) return "could not move the desktop to " + ToUtf8(folder);
  }
  wchar_t user[MAX_PATH] = L"", common[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, user);
  SHGetFolderPathW(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, common);
  if (Expanded(gDesktops[0].moved) != user || Expanded(gDesktops[1].moved) != common) {
    return "the shell still reports the desktops at " + ToUtf8(user) + " and " + ToUtf8(common);
  }
  return {};
}

void PutDesktopsBack() {
  for (MovedDesktop& d : gDesktops) {
    if (d.original.empty()) continue;
    WriteFolderValue(d.hive, d.value, d.original);
    if (!d.cached.empty()) WriteFolderValue(d.hive, d.value, d.cached, kShellFoldersCache, REG_SZ);
    RemoveDirectoryW(Expanded(d.moved).c_str());  // only when the tests left it empty
    d.original.clear();
  }
}

// Processes that show the main window's caption (called before a test starts anything).
std::vector<DWORD> OtherCopies() {
  std::vector<DWORD> pids;
  EnumWindows(CollectMainWindowOwner, reinterpret_cast<LPARAM>(&pids));
  return pids;
}
}  // namespace

const Paths& GetPaths() { return gPaths; }

void PrepareRun() {
  std::string program = EnvironmentVariable("TAMBERLINOX_E2E_PROGRAM");
  if (program.empty()) program = HarnessFolder() + "..\\..\\Tamberlinox.exe";
  gPaths.program = FullPath(program);
  gPaths.probe = HarnessFolder() + "e2e_probe.exe";
  // Installed the way a user would: its own folder, with a blank in the path.
  gPaths.installFolder = "C:\\Program Files\\Tamberlinox\\";
  gPaths.installed = gPaths.installFolder + "Tamberlinox.exe";
  CreateDirectoryW(ToWide(gPaths.installFolder).c_str(), nullptr);
  if (!PathExists(gPaths.program)) {
    gPaths.setupError = "the program under test was not found at " + gPaths.program;
  } else if (!CopyFileTo(gPaths.program, gPaths.installed)) {
    gPaths.setupError = "could not copy " + gPaths.program + " to " + gPaths.installed + " (error " +
                        std::to_string(GetLastError()) + ")";
  }
  // The help file goes with it, as the build puts it beside the program; a
  // program that has none beside it is installed without one.
  const std::string help = gPaths.program.substr(0, gPaths.program.find_last_of('\\') + 1) + "Help.txt";
  const std::string installedHelp = gPaths.installFolder + "Help.txt";
  if (!PathExists(help) || !CopyFileTo(help, installedHelp)) DeleteFileW(ToWide(installedHelp).c_str());
  CleanRegistry();
  if (const std::string fault = MoveDesktops(); !fault.empty() && gPaths.setupError.empty()) {
    gPaths.setupError = "the desktop folders could not be moved for the run: " + fault;
  }
}

void EndRun() {
  CleanRegistry();
  PutDesktopsBack();
}

void CleanRegistry() {
  DeleteRegValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
  DeleteRegValue(HKEY_CURRENT_USER, kRunKey, kRunValue);
  DeleteRegTree(HKEY_CURRENT_USER, "Software\\Zemrik Software");
  DeleteRegTree(HKEY_CURRENT_USER, "Software\\TamberlinoxE2E");
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kPolicyKey, KEY_WOW64_64KEY, 0);  // where the program reads policies
}

RegistryWritesDenied::RegistryWritesDenied(HKEY hive, const std::string& path) : hive_(hive), path_(path) {
  if (RegCreateKeyExW(hive, ToWide(path).c_str(), 0, nullptr, 0, READ_CONTROL | WRITE_DAC, nullptr, key_.Out(),
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (GetSecurityInfo(key_.Get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &oldAcl_, nullptr,
                      &saved_) != ERROR_SUCCESS) {
    saved_ = nullptr;
    return;
  }
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) return;
  // A key without an access list lets everyone in: the new list says so as
  // well, or the denial would shut out reading too.
  EXPLICIT_ACCESSW entries[2]{};
  entries[0].grfAccessPermissions = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
  entries[0].grfAccessMode = DENY_ACCESS;
  entries[1].grfAccessPermissions = KEY_ALL_ACCESS;
  entries[1].grfAccessMode = GRANT_ACCESS;
  for (EXPLICIT_ACCESSW& entry : entries) {
    entry.grfInheritance = NO_INHERITANCE;
    BuildTrusteeWithSidW(&entry.Trustee, everyone);
  }
  PACL denied = nullptr;
  if (SetEntriesInAclW(oldAcl_ ? 1 : 2, entries, oldAcl_, &denied) == ERROR_SUCCESS) {
    SetSecurityInfo(key_.Get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, denied, nullptr);
    LocalFree(denied);
  }
  FreeSid(everyone);
}

bool RegistryWritesDenied::Denied() const {
  HKEY key = nullptr;
  const LONG result = RegOpenKeyExW(hive_, ToWide(path_).c_str(), 0, KEY_SET_VALUE, &key);
  if (result == ERROR_SUCCESS) RegCloseKey(key);
  return result == ERROR_ACCESS_DENIED;
}

bool RegistryWritesDenied::Restore() {
  if (saved_) {
    SetSecurityInfo(key_.Get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, oldAcl_, nullptr);
    LocalFree(saved_);
    saved_ = nullptr;
  }
  return !Denied();
}

void ShellTest::SetUp() {
  // A copy the bench did not start (left over from an interrupted run, or
  // started by Wine from the autostart entry) would hold the hot key and hide
  // the desktop: the bench stops only what it started, so it refuses to go on.
  auto others = OtherCopies();
  ASSERT_TRUE(others.empty()) << "a program this test did not start is running (process " << others.front()
                              << ")";
  CleanRegistry();
  // The pointer away from the desktop stand-in's corner, wherever the last
  // test left it (a double-click on the desktop, say): under Wine a window of
  // the stand-in shown or hidden under the pointer releases every key the
  // harness holds (see PressKey).
  const RECT screen = ScreenRect();
  SetCursorPos(screen.right - 20, screen.bottom - 20);
  shell_ = std::make_unique<ShellStandIn>();
  ASSERT_TRUE(shell_->Ready()) << "the shell stand-in could not create its windows";
  ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), shell_->Tray())
      << "the program would find another taskbar than the stand-in";
  ASSERT_EQ(FindWindowA("Progman", "Program Manager"), shell_->Desktop())
      << "the program would find another desktop window than the stand-in";
  ASSERT_TRUE(shell_->DesktopVisible());
}

void ShellTest::TearDown() {
  for (auto& r : running_) {
    r->process.Kill();
    if (r->watch) {
      for (const std::string& fault : r->watch->Violations()) ADD_FAILURE() << "main window " << fault;
    }
  }
  running_.clear();
  shell_.reset();
  CleanRegistry();
}

ShellTest::Running& ShellTest::Launch(const std::string& exe, const std::string& arguments, bool watch) {
  auto r = std::make_unique<Running>();
  r->process = Process::Start(exe, arguments);
  EXPECT_TRUE(r->process.Running()) << "could not start " << exe << " (error " << GetLastError() << ")";
  if (watch && r->process.Id() != 0) r->watch = std::make_unique<VisibilityWatch>(r->process.Id(), kMainCaption);
  running_.push_back(std::move(r));
  return *running_.back();
}

HWND ShellTest::WaitForMainWindow(Running& r, Millis timeout) {
  WaitUntil([&] { return (r.main = r.process.FindWindowByCaption(kMainCaption)) != nullptr; }, timeout);
  return r.main;
}

ShellTest::Running& ShellTest::StartUntilReady(const std::string& exe, Hides hides, unsigned modifiers, WORD vk) {
  Running& r = Launch(exe);
  if (WaitForMainWindow(r) == nullptr) {
    ADD_FAILURE() << "no window \"" << kMainCaption << "\" appeared";
    return r;
  }
  EXPECT_TRUE(WaitForIcon(r.main)) << "the tray icon did not come";
  if (hides == Hides::kIcons) {
    EXPECT_TRUE(WaitForIcons(false)) << "start-up did not hide the icons";
  } else {
    EXPECT_TRUE(WaitUntil([&] { return !shell_->DesktopVisible(); })) << "start-up did not hide the desktop";
  }
  EXPECT_TRUE(WaitUntil([&] { return HotKeyTaken(modifiers, vk); })) << KeyName(modifiers, vk) << " was not registered";
  return r;
}

bool ShellTest::WaitForIcon(HWND main, Millis timeout) {
  return WaitUntil([&] { return shell_->HasIcon(main, kTrayId); }, timeout);
}

std::vector<TrayRequest> ShellTest::RequestsFrom(HWND main) const {
  std::vector<TrayRequest> mine;
  for (const TrayRequest& r : shell_->TrayRequests()) {
    if (r.window == main) mine.push_back(r);
  }
  return mine;
}

namespace {

// Every window of class "Progman" in the session, to tell what a toggle that
// did not happen found instead of the stand-in.
BOOL CALLBACK AddDesktopWindow(HWND window, LPARAM param) {
  if (ClassName(window) != "Progman") return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  auto& report = *reinterpret_cast<std::string*>(param);
  report += " [" + WindowText(window) + (IsWindowVisible(window) ? ", visible" : ", hidden") + ", process " +
            std::to_string(pid) + "]";
  return TRUE;
}

}  // namespace

bool ShellTest::WaitForIcons(bool visible, Millis timeout) {
  return WaitUntil([&] { return shell_->IconsVisible() == visible; }, timeout);
}

bool ShellTest::PressAndWaitForIcons(unsigned modifiers, WORD vk, bool visibleAfter, Millis timeout) {
  const bool held = PressKey(modifiers, vk);
  if (WaitForIcons(visibleAfter, timeout)) return true;
  ADD_FAILURE() << KeyName(modifiers, vk) << " left the icons " << (visibleAfter ? "hidden" : "shown") << " in the "
                << LayoutName(shell_->Windows().layout) << " desktop"
                << (held ? "" : "; Wine released the modifiers during the press");
  return false;
}

bool ShellTest::PressAndWaitForDesktop(unsigned modifiers, WORD vk, bool visibleAfter, Millis timeout) {
  const bool held = PressKey(modifiers, vk);
  if (WaitUntil([&] { return shell_->DesktopVisible() == visibleAfter; }, timeout)) return true;
  std::string report;
  EnumWindows(AddDesktopWindow, reinterpret_cast<LPARAM>(&report));
  ADD_FAILURE() << KeyName(modifiers, vk) << " left the desktop " << (visibleAfter ? "hidden" : "shown")
                << "; the stand-in says " << (shell_->DesktopVisible() ? "visible" : "hidden")
                << ", the desktop windows are:" << report << " (harness process " << GetCurrentProcessId() << ")"
                << (held ? "" : "; Wine released the modifiers during the press");
  return false;
}

}  // namespace e2e
