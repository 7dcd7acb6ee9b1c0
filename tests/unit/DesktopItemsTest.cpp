// Finding the desktop items: what List1 to List4 hold after one enumeration,
// where the desktop folders come from when the shell cannot say, and that
// every find handle, item list and script host object is given back.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/Program.h"
#include "menu/Module1.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox {
namespace {

using platform::FakeForm;
using platform::FakePlatform;
using Texts = std::vector<std::string>;

constexpr char kUser[] = "C:\\Users\\me\\Desktop";
constexpr char kCommon[] = "C:\\Users\\Public\\Desktop";
constexpr char kExplorer[] = "C:\\WINDOWS\\Explorer.exe";
const Texts kPlaces = {"My Computer", "My Documents", "Recycle Bin"};

std::string In(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

class DesktopItemsTest : public ::testing::Test {
 protected:
  DesktopItemsTest() {
    os.SetSpecialFolder(FakePlatform::kCsidlDesktopDirectory, kUser);
    os.SetSpecialFolder(FakePlatform::kCsidlCommonDesktopDirectory, kCommon);
    os.SetSpecialFolder(FakePlatform::kCsidlWindows, "C:\\WINDOWS");
    os.AddFolder(kUser);
    os.AddFolder(kCommon);
  }

  void TearDown() override {
    // Whatever the sources did, nothing they handed out is still held.
    EXPECT_EQ(os.OpenFindHandles(), 0u);
    EXPECT_EQ(os.LiveItemIdLists(), 0u);
    EXPECT_EQ(os.LiveScriptShells(), 0u);
    EXPECT_EQ(os.Faults(), Texts{});
  }

  // One run, with the main window loaded as start-up loads it.
  void Enumerate() {
    program.frmTamberlinox.Load();
    Module1::LoadDesktopItems(program);
  }

  FakeForm& Main() { return *os.FormByHandle(program.frmTamberlinox.Handle()); }
  Texts List1() { return Main().Items(TamberlinoxForm::List1); }
  Texts List2() { return Main().Items(TamberlinoxForm::List2); }
  Texts List3() { return Main().Items(TamberlinoxForm::List3); }
  Texts List4() { return Main().Items(TamberlinoxForm::List4); }

  FakePlatform os;
  Program program{os};
};

// ------------------------------------------------------------- the lists

TEST_F(DesktopItemsTest, ShortcutsAreListedAndSubFoldersSkipped) {
  os.AddFile(In(kUser, "Word.lnk"));
  os.AddFolder(In(kUser, "Projects"));
  os.AddFile(In(kUser, "Projects\\Plan.lnk"));  // sub-folders are not searched
  os.AddFile(In(kUser, "Mail.lnk"));

  Enumerate();

  EXPECT_EQ(List1(), (Texts{In(kUser, "Word.lnk"), In(kUser, "Mail.lnk"), kExplorer}));
  EXPECT_EQ(List2(), (Texts{"Word", "Mail"}));  // in the order the system returned them
  EXPECT_EQ(List3(), Texts{});
  EXPECT_EQ(List4(), (Texts{"Mail", "My Computer", "My Documents", "Recycle Bin", "Word"}));
}

TEST_F(DesktopItemsTest, EmptyDesktopsLeaveTheShellPlacesAndTheFileManager) {
  Enumerate();

  EXPECT_EQ(List1(), Texts{kExplorer});
  EXPECT_EQ(List2(), Texts{});
  EXPECT_EQ(List3(), Texts{});
  EXPECT_EQ(List4(), kPlaces);
}

TEST_F(DesktopItemsTest, SameNameOnBothDesktopsIsListedTwiceUserDesktopFirst) {
  os.AddFile(In(kCommon, "Word.lnk"));
  os.AddFile(In(kUser, "Word.lnk"));

  Enumerate();

  EXPECT_EQ(List1(), (Texts{In(kUser, "Word.lnk"), In(kCommon, "Word.lnk"), kExplorer}));
  EXPECT_EQ(List2(), (Texts{"Word", "Word"}));
  EXPECT_EQ(List4(), (Texts{"My Computer", "My Documents", "Recycle Bin", "Word", "Word"}));
}

TEST_F(DesktopItemsTest, HiddenAndSystemFilesAreListedLikeAnyOther) {
  os.AddFile(In(kUser, "desktop.ini"), platform::kFileAttributeHidden | platform::kFileAttributeSystem);
  os.AddFile(In(kCommon, "Secret.lnk"), platform::kFileAttributeHidden);

  Enumerate();

  EXPECT_EQ(List1(), (Texts{In(kUser, "desktop.ini"), In(kCommon, "Secret.lnk"), kExplorer}));
  EXPECT_EQ(List2(), (Texts{"desktop", "Secret"}));
  EXPECT_EQ(List4(), (Texts{"desktop", "My Computer", "My Documents", "Recycle Bin", "Secret"}));
}

TEST_F(DesktopItemsTest, EachRunReplacesThePreviousOneCompletely) {
  os.AddFile(In(kUser, "Word.lnk"));
  Enumerate();
  Main().AddItem(TamberlinoxForm::List3, "left over");
  os.RemoveFile(In(kUser, "Word.lnk"));
  os.AddFile(In(kCommon, "Mail.lnk"));

  Enumerate();

  EXPECT_EQ(List1(), (Texts{In(kCommon, "Mail.lnk"), kExplorer}));
  EXPECT_EQ(List2(), Texts{"Mail"});
  EXPECT_EQ(List3(), Texts{});
  EXPECT_EQ(List4(), (Texts{"Mail", "My Computer", "My Documents", "Recycle Bin"}));
}

TEST_F(DesktopItemsTest, TheRunShowsTheMainWindow) {
  Enumerate();
  EXPECT_TRUE(Main().Visible());
}

// ---------------------------------------------------------- display names

struct NameCase {
  std::string file;
  std::string display;
  friend void PrintTo(const NameCase& c, std::ostream* out) { *out << c.file; }
};

class DisplayNameTest : public DesktopItemsTest, public ::testing::WithParamInterface<NameCase> {};

// A name is its file name less the last four characters, whatever they are; a
// name of four characters or fewer is its own display name. Either way the
// files after it are still listed.
TEST_P(DisplayNameTest, IsTheFileNameLessItsLastFourCharacters) {
  os.AddFile(In(kUser, GetParam().file));
  os.AddFile(In(kUser, "Zulu.lnk"));
  os.AddFile(In(kCommon, "Common.lnk"));

  Enumerate();

  EXPECT_EQ(List2(), (Texts{GetParam().display, "Zulu", "Common"}));
  EXPECT_EQ(List1(), (Texts{In(kUser, GetParam().file), In(kUser, "Zulu.lnk"), In(kCommon, "Common.lnk"), kExplorer}));
  EXPECT_EQ(List4().size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Names, DisplayNameTest,
                         ::testing::Values(NameCase{"Word.lnk", "Word"}, NameCase{"Notes.txt", "Notes"},
                                           NameCase{"readme.html", "readme."}, NameCase{"archive.tar.gz", "archive.ta"},
                                           NameCase{"Budget 2026.xls", "Budget 2026"}, NameCase{"0.lnk", "0"},
                                           NameCase{"abcde", "a"}, NameCase{"a.bc", "a.bc"}, NameCase{"abcd", "abcd"},
                                           NameCase{"abc", "abc"}, NameCase{"x", "x"}),
                         [](const ::testing::TestParamInfo<NameCase>& info) {
                           std::string name;
                           for (char c : info.param.file) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// ---------------------------------------------------------- folder sources

constexpr char kScriptDesktop[] = "D:\\Shared\\Desktop";
constexpr char kOldCommon[] = "C:\\WINDOWS\\All Users\\Desktop";

struct SourceCase {
  std::string name;
  std::function<void(FakePlatform&)> arrange;
  Texts list1;             // with the file manager's path last
  int scriptShellsCreated;
  friend void PrintTo(const SourceCase& c, std::ostream* out) { *out << c.name; }
};

class FolderSourceTest : public DesktopItemsTest, public ::testing::WithParamInterface<SourceCase> {
 protected:
  FolderSourceTest() {
    os.AddFile(In(kUser, "Mine.lnk"));
    os.AddFile(In(kCommon, "Ours.lnk"));
    os.AddFile(In(kScriptDesktop, "Shared.lnk"));
    os.SetScriptShellFolder("AllUsersDesktop", kScriptDesktop);
    os.AddFile(In(kOldCommon, "Old.lnk"));
    // What "\*.*" would find: the root of the current folder's drive.
    os.AddFile("C:\\Root.lnk");
    os.SetCurrentFolder("C:\\Program Files\\Tamberlinox");
  }
};

TEST_P(FolderSourceTest, FallsThroughToTheNextSource) {
  GetParam().arrange(os);

  Enumerate();

  EXPECT_EQ(List1(), GetParam().list1);
  EXPECT_EQ(os.ScriptShellsCreated(), GetParam().scriptShellsCreated);
}

constexpr int kUserCsidl = FakePlatform::kCsidlDesktopDirectory;
constexpr int kCommonCsidl = FakePlatform::kCsidlCommonDesktopDirectory;
constexpr int kWindowsCsidl = FakePlatform::kCsidlWindows;

INSTANTIATE_TEST_SUITE_P(
    Sources, FolderSourceTest,
    ::testing::Values(
        // The script host object is made only when the shell's own lookup gave nothing.
        SourceCase{"AllSourcesAnswer", [](FakePlatform&) {},
                   {In(kUser, "Mine.lnk"), In(kCommon, "Ours.lnk"), kExplorer}, 0},
        SourceCase{"AllUsersLookupFailsScriptHostAnswers",
                   [](FakePlatform& os) { os.ClearSpecialFolder(kCommonCsidl); },
                   {In(kUser, "Mine.lnk"), In(kScriptDesktop, "Shared.lnk"), kExplorer}, 1},
        SourceCase{"AllUsersPathFailsScriptHostAnswers",
                   [](FakePlatform& os) { os.FailPathFromIdList(kCommonCsidl); },
                   {In(kUser, "Mine.lnk"), In(kScriptDesktop, "Shared.lnk"), kExplorer}, 1},
        SourceCase{"AllUsersLookupFailsScriptHostKnowsNothing",
                   [](FakePlatform& os) {
                     os.ClearSpecialFolder(kCommonCsidl);
                     os.SetScriptShellFolder("AllUsersDesktop", "");
                   },
                   {In(kUser, "Mine.lnk"), In(kOldCommon, "Old.lnk"), kExplorer}, 1},
        SourceCase{"AllUsersLookupFailsNoScriptHost",
                   [](FakePlatform& os) {
                     os.ClearSpecialFolder(kCommonCsidl);
                     os.SetScriptShellAvailable(false);
                   },
                   {In(kUser, "Mine.lnk"), In(kOldCommon, "Old.lnk"), kExplorer}, 0},
        SourceCase{"FallbackAllUsersFolderMissing",
                   [](FakePlatform& os) {
                     os.ClearSpecialFolder(kCommonCsidl);
                     os.SetScriptShellAvailable(false);
                     os.RemoveFile(kOldCommon);
                   },
                   {In(kUser, "Mine.lnk"), kExplorer}, 0},
        SourceCase{"WindowsLookupFails", [](FakePlatform& os) { os.ClearSpecialFolder(kWindowsCsidl); },
                   {In(kUser, "Mine.lnk"), In(kCommon, "Ours.lnk"), "C:\\Windows\\Explorer.exe"}, 0},
        // A path that fills the whole buffer leaves no terminator: no usable path.
        SourceCase{"WindowsPathWithoutTerminator",
                   [](FakePlatform& os) { os.SetSpecialFolder(kWindowsCsidl, "C:\\" + std::string(257, 'W')); },
                   {In(kUser, "Mine.lnk"), In(kCommon, "Ours.lnk"), "C:\\Windows\\Explorer.exe"}, 0},
        SourceCase{"WindowsFolderAtADriveRoot", [](FakePlatform& os) { os.SetSpecialFolder(kWindowsCsidl, "D:\\"); },
                   {In(kUser, "Mine.lnk"), In(kCommon, "Ours.lnk"), "D:\\Explorer.exe"}, 0},
        // An empty user desktop path is skipped, never searched as the drive's root.
        SourceCase{"UserLookupFails", [](FakePlatform& os) { os.ClearSpecialFolder(kUserCsidl); },
                   {In(kCommon, "Ours.lnk"), kExplorer}, 0},
        SourceCase{"UserPathFails", [](FakePlatform& os) { os.FailPathFromIdList(kUserCsidl); },
                   {In(kCommon, "Ours.lnk"), kExplorer}, 0},
        SourceCase{"UserFolderMissing", [](FakePlatform& os) { os.RemoveFile(kUser); },
                   {In(kCommon, "Ours.lnk"), kExplorer}, 0},
        SourceCase{"EveryLookupFails",
                   [](FakePlatform& os) {
                     os.ClearSpecialFolder(kUserCsidl);
                     os.ClearSpecialFolder(kCommonCsidl);
                     os.ClearSpecialFolder(kWindowsCsidl);
                     os.SetScriptShellAvailable(false);
                   },
                   {In(kOldCommon, "Old.lnk"), "C:\\Windows\\Explorer.exe"}, 0}),
    [](const ::testing::TestParamInfo<SourceCase>& info) { return info.param.name; });

TEST_F(DesktopItemsTest, ScriptHostObjectIsMadeAfreshForEachRunAndNotKept) {
  os.ClearSpecialFolder(FakePlatform::kCsidlCommonDesktopDirectory);
  for (int run = 0; run < 3; ++run) Enumerate();
  EXPECT_EQ(os.ScriptShellsCreated(), 3);  // one object per run, none kept
}

}  // namespace
}  // namespace tamberlinox
