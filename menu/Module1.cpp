#include "menu/Module1.h"

#include <algorithm>

#include "app/Program.h"
#include "menu/Captions.h"

namespace tamberlinox::Module1 {

using namespace platform;

void LoadDesktopItems(Program& program) {
  Platform& os = program.os;
  Form* form = program.frmTamberlinox.form();
  if (form == nullptr) return;
  const WindowHandle owner = form->Handle();

  // The user's desktop has no second source. An empty path is skipped below
  // rather than searched as "\*.*", the root of the current drive.
  const std::string user = GetSpecialFolderPath(os, owner, kCsidlDesktopDirectory);

  // The all-users desktop: the shell, then the script host, then a fixed guess.
  // The script host object is made only when the shell gave nothing, and a
  // failure of either falls through to the next source.
  std::string common = GetSpecialFolderPath(os, owner, kCsidlCommonDesktopDirectory);
  if (common.empty()) {
    if (std::unique_ptr<ScriptShell> shell = os.CreateScriptShell()) common = shell->SpecialFolders("AllUsersDesktop");
  }
  if (common.empty()) common = kCommonDesktopFallback;

  std::string windows = GetSpecialFolderPath(os, owner, kCsidlWindows);
  if (windows.empty()) windows = kWindowsFallback;

  form->ClearItems(TamberlinoxForm::List2);
  form->ClearItems(TamberlinoxForm::List1);
  form->ClearItems(TamberlinoxForm::List3);
  form->ClearItems(TamberlinoxForm::List4);

  DesktopFiles found;
  if (!user.empty()) FindFilesInFolder(os, user, "*.*", found);
  if (!common.empty()) FindFilesInFolder(os, common, "*.*", found);

  form->AddItems(TamberlinoxForm::List1, found.paths);
  form->AddItem(TamberlinoxForm::List1, AddBackslash(windows) + "Explorer.exe");
  form->AddItems(TamberlinoxForm::List2, found.names);

  // List4 is ordered the way a sorted list box orders its texts; one stable
  // sort keeps equal names in the order found (user desktop first), so the
  // k-th entry of a name belongs to the k-th item of that name in List2.
  std::vector<std::string> sorted = found.names;
  sorted.insert(sorted.end(), {captions::kMyComputer, captions::kMyDocuments, captions::kRecycleBin});
  std::stable_sort(sorted.begin(), sorted.end(),
                   [&os](const std::string& a, const std::string& b) { return os.CompareTextNoCase(a, b) < 0; });
  form->AddItems(TamberlinoxForm::List4, sorted);

  // Shown, but tiny and far above the top of the screen.
  form->Show();
}

std::string GetSpecialFolderPath(Platform& os, WindowHandle owner, int folder) {
  ItemIdList list;  // freed on every path once obtained
  if (os.SHGetSpecialFolderLocation(owner, folder, list) != 0) return "";
  std::array<char, 260> buffer{};
  if (!os.SHGetPathFromIDListA(list, buffer)) return "";
  // A buffer with no NUL in it holds no usable path.
  const auto nul = std::find(buffer.begin(), buffer.end(), '\0');
  if (nul == buffer.end()) return "";
  return std::string(buffer.begin(), nul);
}

void FindFilesInFolder(Platform& os, const std::string& folder, const std::string& pattern, DesktopFiles& found) {
  const std::string base = AddBackslash(folder);
  FindData entry;
  FindHandle search = os.FindFirstFileA(base + pattern, entry);  // closed when it goes out of scope
  if (!search) return;
  do {
    const std::string name = TrimAtNull(std::string(entry.cFileName.data(), entry.cFileName.size()));
    // Folders, "." and ".." among them, are skipped, not searched.
    if ((entry.dwFileAttributes & kFileAttributeDirectory) != 0) continue;
    found.paths.push_back(base + name);
    found.names.push_back(DisplayName(name));
  } while (os.FindNextFileA(search, entry));
}

std::string AddBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + '\\';
}

std::string TrimAtNull(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string DisplayName(const std::string& fileName) {
  if (fileName.size() <= 4) return fileName;
  return fileName.substr(0, fileName.size() - 4);
}

}  // namespace tamberlinox::Module1
