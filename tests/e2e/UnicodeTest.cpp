// Names outside the code page: desktop items whose names an ANSI program
// would see as question marks, a name with an unpaired surrogate, and the
// program itself in a folder with such a name. Each item is listed under its
// own name and opens its own file; the autostart entry and "Program Help"
// name the program's real folder. What was opened is seen through the marker
// program (see MenuBench.h), which records its path with the wide functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "MenuBench.h"

namespace e2e {
namespace {

using Strings = std::vector<std::string>;
constexpr auto kUser = DesktopFolders::kUser;

// The menu shows a desktop item as its file name without the extension: the
// text before the last full stop (every name here has one, in the middle).
std::string DisplayName(const std::string& fileName) { return fileName.substr(0, fileName.rfind('.')); }

class UnicodeMenu : public MenuTest {
 protected:
  // Opens the desktop menu and chooses the one entry with this caption.
  bool ChooseFromDesktopMenu(Running& p, const std::string& caption) {
    auto menu = Click(p, WM_LBUTTONUP);
    if (!menu) {
      ADD_FAILURE() << "no desktop menu could be read";
      return false;
    }
    const auto positions = PositionsOf(menu->entries, caption);
    if (positions.size() != 1) {
      ADD_FAILURE() << "\"" << caption << "\" is in the menu " << positions.size()
                    << " times: " << ::testing::PrintToString(Captions(menu->entries));
      CloseMenu(p, *menu);
      return false;
    }
    return Choose(p, *menu, positions.front());
  }
};

// ------------------------------------------------------------ desktop items

struct ItemName {
  const char* name;  // for the test's name
  const char* file;  // UTF-8
};

void PrintTo(const ItemName& item, std::ostream* os) { *os << item.name; }

// Every name lies on the desktop in every test, so that names an ANSI
// conversion makes alike meet each other. Through Wine's code page 1252 an
// ANSI program lists the two cities both as "??", the combining accent as
// "Cafe´", the emoji as "?? Smile"; the precomposed "Café" is in the code
// page and shows that the name is taken as it is, not normalized.
const ItemName kItems[] = {
    {"Japanese", "日本語.exe"},
    {"Emoji", "😀 Smile.exe"},
    {"CombiningAccent", "Cafe\u0301.exe"},   // e and a combining acute accent
    {"PrecomposedAccent", "Caf\u00E9.exe"},  // the same word with one character é
    {"Tokyo", "東京.exe"},
    {"Kyoto", "京都.exe"},
};

class UnicodeDesktopItem : public UnicodeMenu, public ::testing::WithParamInterface<ItemName> {
 protected:
  // Puts a marker on the user's desktop under every name; the paths by name.
  bool AddAllItems() {
    for (const ItemName& item : kItems) {
      const std::string path = desktops_->AddCopy(kUser, item.file, MarkerProgram());
      if (path.empty()) {
        ADD_FAILURE() << "could not put \"" << item.file << "\" on the desktop (error " << GetLastError() << ")";
        return false;
      }
      paths_.push_back(path);
    }
    return true;
  }
  std::string PathOf(const ItemName& wanted) const {
    for (size_t i = 0; i < paths_.size(); ++i) {
      if (std::string(kItems[i].file) == wanted.file) return paths_[i];
    }
    return {};
  }

  Strings paths_;
};

TEST_P(UnicodeDesktopItem, IsListedUnderItsOwnNameAndOpensItsOwnFile) {
  ASSERT_TRUE(AddAllItems());
  const std::string caption = DisplayName(GetParam().file);
  Running& p = StartProgram();
  ASSERT_TRUE(ChooseFromDesktopMenu(p, caption));
  ASSERT_TRUE(WaitForMarkerRuns(1)) << "\"" << caption << "\" opened nothing";
  EXPECT_TRUE(WaitForMarkersToEnd());
  const auto runs = MarkerRuns();
  ASSERT_EQ(runs.size(), 1u) << "\"" << caption << "\" opened more than one file";
  EXPECT_EQ(runs.front().path, PathOf(GetParam()));
  EXPECT_EQ(SplitArguments(runs.front().commandLine), Strings{}) << runs.front().commandLine;
}

INSTANTIATE_TEST_SUITE_P(Unicode, UnicodeDesktopItem, ::testing::ValuesIn(kItems),
                         [](const ::testing::TestParamInfo<ItemName>& info) { return std::string(info.param.name); });

class UnicodeDesktopItems : public UnicodeMenu {};

// The whole menu at once: every name once, none changed, none lost, beside
// the three shell places.
TEST_F(UnicodeDesktopItems, EveryNameIsListedOnceAsItIs) {
  for (const ItemName& item : kItems) ASSERT_FALSE(desktops_->AddFile(kUser, item.file).empty()) << item.file;
  Running& p = StartProgram();
  const auto menu = DesktopMenu(p);
  ASSERT_TRUE(menu) << "no desktop menu could be read";
  for (const ItemName& item : kItems) {
    const std::string caption = DisplayName(item.file);
    EXPECT_EQ(std::count(menu->begin(), menu->end(), caption), 1)
        << "\"" << caption << "\" in " << ::testing::PrintToString(*menu);
  }
  EXPECT_EQ(menu->size(), std::size(kItems) + 3) << ::testing::PrintToString(*menu);
}

// A file name with an unpaired surrogate (which Windows allows) is listed with
// U+FFFD in its place, and choosing it opens that very file.
//
// Where Wine differs from Windows: Wine keeps file names as UTF-8 on the Unix
// file system, and an unpaired surrogate has no UTF-8 form. Measured with
// Wine 8.0: CreateFileW and CopyFileW of such a name fail with error 2 (file
// not found) and nothing is made, so the test cannot put the file there and
// is skipped, saying so. On Windows it runs.
TEST_F(UnicodeDesktopItems, NameWithALoneSurrogateIsListedWithAReplacementCharacterAndOpensItsFile) {
  const std::string file = ToUtf8(L"Lone\xD800.exe");  // the surrogate travels as its own three bytes
  const std::string path = desktops_->AddCopy(kUser, file, MarkerProgram());
  if (path.empty()) {
    const DWORD error = GetLastError();
    GTEST_SKIP() << "this system cannot make a file named \"Lone\" U+D800 \".exe\" (CopyFileW error " << error
                 << "): Wine keeps file names as UTF-8, which cannot hold an unpaired surrogate";
  }
  const Strings names = desktops_->Contents(kUser);
  if (names != Strings{file}) {
    GTEST_SKIP() << "this system made the file under another name: " << ::testing::PrintToString(names);
  }
  Running& p = StartProgram();
  ASSERT_TRUE(ChooseFromDesktopMenu(p, "Lone\uFFFD"));
  ASSERT_TRUE(WaitForMarkerRuns(1)) << "the item was not opened";
  EXPECT_EQ(MarkerRuns().front().path, path);
}

// ---------------------------------------------- a folder outside the code page

// A copy of the installed program with its Help.txt in C:\Apps\工具, made for
// one test and removed with the folders it made.
class ProgramInUnicodeFolder {
 public:
  ProgramInUnicodeFolder() {
    for (const std::string& folder : {std::string("C:\\Apps"), std::string(kFolder)}) {
      if (PathExists(folder)) continue;
      if (!CreateDirectoryW(ToWide(folder).c_str(), nullptr)) return;
      made_.push_back(folder);
    }
    ok_ = CopyFileTo(GetPaths().installed, Program()) && CopyFileTo(GetPaths().installFolder + "Help.txt", Help());
  }
  ~ProgramInUnicodeFolder() {
    DeleteFileW(ToWide(Program()).c_str());
    DeleteFileW(ToWide(Help()).c_str());
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDirectoryW(ToWide(*it).c_str());
  }
  ProgramInUnicodeFolder(const ProgramInUnicodeFolder&) = delete;
  ProgramInUnicodeFolder& operator=(const ProgramInUnicodeFolder&) = delete;

  bool Ok() const { return ok_; }
  static std::string Folder() { return kFolder; }
  static std::string Program() { return Folder() + "\\Tamberlinox.exe"; }
  static std::string Help() { return Folder() + "\\Help.txt"; }

 private:
  static constexpr char kFolder[] = "C:\\Apps\\工具";
  std::vector<std::string> made_;
  bool ok_ = false;
};

class UnicodeProgramFolder : public UnicodeMenu {
 protected:
  void SetUp() override {
    UnicodeMenu::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(PathExists(GetPaths().installFolder + "Help.txt")) << "no Help.txt beside the installed program";
    copy_ = std::make_unique<ProgramInUnicodeFolder>();
    ASSERT_TRUE(copy_->Ok()) << "could not copy the program and its help to " << ProgramInUnicodeFolder::Folder();
  }
  void TearDown() override {
    UnicodeMenu::TearDown();  // the program ends first
    copy_.reset();
  }

  std::unique_ptr<ProgramInUnicodeFolder> copy_;
};

// The entry is quoted, as the path may hold blanks. (Wine lets every program
// write the machine's autostart key, so the entry is there.)
TEST_F(UnicodeProgramFolder, FirstStartNamesTheFolderInTheAutostartEntry) {
  StartProgram(ProgramInUnicodeFolder::Program());
  EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue), "\"C:\\Apps\\工具\\Tamberlinox.exe\"");
}

TEST_F(UnicodeProgramFolder, ProgramHelpOpensTheHelpTxtOfThatFolder) {
  ASSERT_TRUE(OpenTextFilesWithMarker());
  Running& p = StartProgram(ProgramInUnicodeFolder::Program());
  auto menu = Click(p, WM_RBUTTONUP);
  ASSERT_TRUE(menu) << "no command menu could be read";
  ASSERT_TRUE(Choose(p, *menu, "Program Help"));
  ASSERT_TRUE(WaitForMarkerRuns(1)) << "Help.txt was not opened";
  const MarkerRun run = MarkerRuns().front();
  EXPECT_EQ(SplitArguments(run.commandLine), Strings{"C:\\Apps\\工具\\Help.txt"}) << run.commandLine;
  EXPECT_EQ(run.folder, ProgramInUnicodeFolder::Folder());
}

}  // namespace
}  // namespace e2e
