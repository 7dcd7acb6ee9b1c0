// Tools for the tests of the tray menus and what their entries open: the two
// desktop folders the program lists, the marker program that shows what was
// opened, the places where the tests put it in the way, and a fixture that
// runs the program with all of them cleaned up after every test.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Bench.h"
#include "Fixtures.h"
#include "MenuReader.h"

namespace e2e {

// ------------------------------------------------------------ desktop folders
// The user's desktop (CSIDL 16) and the all-users desktop (CSIDL 25), looked up
// the way the program looks them up. Everything put there through this object
// is removed again when it goes; it never removes anything it did not put there.
class DesktopFolders {
 public:
  enum Which { kUser, kAllUsers };

  DesktopFolders();
  ~DesktopFolders();
  DesktopFolders(const DesktopFolders&) = delete;
  DesktopFolders& operator=(const DesktopFolders&) = delete;

  // The folder's path (without a trailing backslash); empty when the shell gave none.
  const std::string& Path(Which which) const { return paths_[which]; }
  // The names in the folder, "." and ".." left out.
  std::vector<std::string> Contents(Which which) const;

  // Each returns the full path of what it made, or an empty text when it failed.
  std::string AddFile(Which which, const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
  std::string AddCopy(Which which, const std::string& name, const std::string& source);
  std::string AddFolder(Which which, const std::string& name);
  // A shortcut (name ends in ".lnk") to target, made by the shell's own link object.
  std::string AddShortcut(Which which, const std::string& name, const std::string& target);
  // A file, folder or shortcut inside a folder made here (the parent's full path).
  std::string AddFileIn(const std::string& folder, const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
  std::string AddShortcutIn(const std::string& folder, const std::string& name, const std::string& target);
  std::string AddFolderIn(const std::string& folder, const std::string& name);
  // A folder of this many empty files, the one that scripts/e2e.sh makes in
  // C:\e2e files\<files>, moved in, and back out when this object goes.
  std::string MoveInFolderOfFiles(Which which, const std::string& name, int files);
  // Removes something this object put there.
  bool Remove(const std::string& path);
  // Removes everything this object put there; true when nothing was left behind.
  bool RemoveAll();

 private:
  std::string Track(const std::string& path, bool made);
  std::string Shortcut(const std::string& path, const std::string& target);

  std::string paths_[2];
  std::vector<std::string> made_;  // in the order made
  std::vector<std::pair<std::string, std::string>> movedIn_;  // each folder and where it came from
};

// The user's documents folder (CSIDL 5) as the shell gives it.
std::string DocumentsFolder();

// ------------------------------------------------------------------- marker
// e2e_marker.exe beside the harness: every run records itself in the registry.
std::string MarkerProgram();

struct MarkerRun {
  std::string path;         // the file that was started
  std::string commandLine;  // as the started program saw it
  std::string folder;       // its current folder
  DWORD pid = 0;
};
// Every finished record, in the order of the runs.
std::vector<MarkerRun> MarkerRuns();
// Waits until at least this many runs have recorded themselves.
bool WaitForMarkerRuns(size_t count, Millis timeout = 10000ms);
// Waits until every recorded run has ended; false if one still runs at the end.
bool WaitForMarkersToEnd(Millis timeout = 10000ms);

// The arguments of a command line as a started program splits them (the
// program's own name left out), and the raw text after the program's name and
// the one blank that separates it.
std::vector<std::string> SplitArguments(const std::string& commandLine);
std::string RawArguments(const std::string& commandLine);

// ------------------------------------------------------ things in the way
// A copy of a file put in a folder for one test (the folder is made when
// missing) and removed again with the folder it made. It waits for nothing:
// end the programs that use it first.
class PlantedFile {
 public:
  PlantedFile(const std::string& source, const std::string& folder, const std::string& name);
  ~PlantedFile();
  PlantedFile(const PlantedFile&) = delete;
  PlantedFile& operator=(const PlantedFile&) = delete;
  bool Ok() const { return ok_; }
  const std::string& Path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
  bool madeFolder_ = false;
  bool ok_ = false;
};

// A registry value put aside for as long as the object lives: the test may
// set it or remove it, and what was there (type and bytes), or that nothing
// was, comes back when the object goes. A key it had to make goes too.
class ScopedRegValue {
 public:
  ScopedRegValue(HKEY hive, std::string path, std::string name);
  ~ScopedRegValue();
  ScopedRegValue(const ScopedRegValue&) = delete;
  ScopedRegValue& operator=(const ScopedRegValue&) = delete;

  bool SetDword(DWORD value);
  bool SetString(const std::string& value);
  void Remove();

 private:
  bool Set(DWORD type, const void* data, DWORD size);

  HKEY hive_;
  std::string path_, name_;
  bool keyExisted_ = false;
  bool existed_ = false;
  DWORD type_ = 0;
  std::vector<BYTE> data_;
};

// Files with this extension (".txt", ".docx") open with this command line
// ("%1" is the file) until the object goes; the prefix's own association, if
// it had one, comes back. Wine's fresh prefix has none for either. The
// association is made for the machine: Wine ignores per-user classes.
class FileAssociation {
 public:
  FileAssociation(const std::string& extension, const std::string& command);
  ~FileAssociation();
  FileAssociation(const FileAssociation&) = delete;
  FileAssociation& operator=(const FileAssociation&) = delete;
  bool Ok() const { return ok_; }

 private:
  std::string classKey_;
  bool ok_ = false;
  std::unique_ptr<ScopedRegString> extension_;  // the extension names the stand-in's class
};

// The user's documents folder is elsewhere until the object goes: the shell's
// per-user folder settings ("User Shell Folders" and "Shell Folders",
// "Personal") name the new folder, which is made when missing. The old
// settings come back exactly as they were.
class DocumentsFolderMoved {
 public:
  explicit DocumentsFolderMoved(const std::string& folder);
  ~DocumentsFolderMoved();
  DocumentsFolderMoved(const DocumentsFolderMoved&) = delete;
  DocumentsFolderMoved& operator=(const DocumentsFolderMoved&) = delete;
  bool Ok() const { return ok_; }

 private:
  std::string folder_;
  bool madeFolder_ = false;
  std::vector<std::unique_ptr<ScopedRegValue>> settings_;
  bool ok_ = false;
};

// Explorer's settings for hidden files (HKCU ...\Explorer\Advanced, DWORDs):
// "Hidden" = 1 shows hidden files, "ShowSuperHidden" = 1 as well shows the
// hidden system files too. Both are removed at the start, so that Explorer
// shows neither, and put back as they were when the object goes.
class ExplorerHiddenFiles {
 public:
  ExplorerHiddenFiles();
  ScopedRegValue hidden;
  ScopedRegValue superHidden;
};

// ---------------------------------------------------------------- processes
// Ids of the running processes whose file is called exeName (e.g. "explorer.exe").
std::set<DWORD> ProcessIds(const std::string& exeName);
// The command line of another process, read from its process parameters.
std::optional<std::string> ProcessCommandLine(HANDLE process);
// The visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD pid);
// All top-level windows of a process, hidden ones too.
std::vector<HWND> WindowsOf(DWORD pid);

// --------------------------------------------------------------- the fixture
// Runs the installed program for a test of its tray menus: both desktops
// empty at the start and emptied again at the end, the menu reader ready, and
// every marker that was started ended before the next test.
class MenuTest : public ShellTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the installed program (or another copy of it) and waits until
  // start-up is done: the tray icon is in, the desktop hidden, F10 registered.
  Running& StartProgram(const std::string& exe = GetPaths().installed);

  struct OpenMenu {
    HWND window = nullptr;
    std::vector<MenuEntry> entries;
  };
  // Clicks the tray icon (WM_LBUTTONUP or WM_RBUTTONUP) and reads the menu that opens.
  std::optional<OpenMenu> Click(Running& r, UINT mouseMessage);
  // Chooses the entry at this position (separators count) and waits until the menu has gone.
  bool Choose(Running& r, const OpenMenu& menu, size_t position);
  // Chooses the first entry with this caption.
  bool Choose(Running& r, const OpenMenu& menu, const std::string& caption);
  // Closes the menu without choosing and waits until it has gone.
  bool CloseMenu(Running& r, const OpenMenu& menu);
  // Whether the process shows a popup menu.
  bool MenuShown(const Running& r) const;
  // The visible top-level windows of the program other than its menus.
  std::vector<HWND> OtherWindows(const Running& r) const;

  // For this test, "explorer.exe" started by the program with the working
  // folder "0" is the marker: a copy of it named so lies in the folder "0" of
  // the program's current folder, where ShellExecuteA looks first for a
  // program named without a path. Returns the copy's path (empty on failure).
  std::string PlantFileManager();
  // For this test, text files (or files with another extension) open with the marker.
  bool OpenTextFilesWithMarker() { return OpenFilesWithMarker(".txt"); }
  bool OpenFilesWithMarker(const std::string& extension);
  // The captions of the desktop menu that a left click opens now; the menu is closed again.
  std::optional<std::vector<std::string>> DesktopMenu(Running& r);

  std::unique_ptr<DesktopFolders> desktops_;
  std::unique_ptr<MenuReader> reader_;
  std::unique_ptr<PlantedFile> fileManager_;
  std::vector<std::unique_ptr<FileAssociation>> associations_;
};

// Positions of the entries with this caption.
std::vector<size_t> PositionsOf(const std::vector<MenuEntry>& entries, const std::string& caption);

}  // namespace e2e
