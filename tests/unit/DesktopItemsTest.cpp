// The desktop menu's items: where the desktops are found, which files are
// listed, and the names shown for them, Unicode names included.
#include <gtest/gtest.h>

#include <string>

#include "menu/DesktopItems.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

using platform::SpecialFolder;

class DesktopItemsTest : public RunningProgram {
 protected:
  void SetUp() override { Start(); }
  // The desktop menu less the three shell places.
  Texts Files() {
    Texts files;
    for (const std::string& caption : MenuOf(kLeftClick))
      if (caption != "My Computer" && caption != "My Documents" && caption != "Recycle Bin") files.push_back(caption);
    return files;
  }
};

TEST_F(DesktopItemsTest, FilesOfBothDesktopsAreListedButNoFolders) {
  AddFile(kUserDesktop, "Projects", platform::kFileAttributeDirectory);
  AddFile(kUserDesktop + "\\Projects", "Inner.lnk");
  AddFile(kCommonDesktop, "Word.lnk");
  AddFile(kUserDesktop, "Word.lnk");
  EXPECT_EQ(Files(), (Texts{"Word", "Word"}));
}

// Hidden files show as Explorer is set to show them, read afresh at each click.
TEST_F(DesktopItemsTest, HiddenFilesShowOnlyWhereExplorerShowsThem) {
  constexpr std::uint32_t kHidden = platform::kFileAttributeHidden;
  constexpr std::uint32_t kSystem = platform::kFileAttributeSystem;
  AddFile(kUserDesktop, "desktop.ini", kHidden | kSystem);
  AddFile(kCommonDesktop, "Secret.lnk", kHidden);
  AddFile(kCommonDesktop, "Driver.sys", kSystem);  // system alone is not hidden
  AddFile(kUserDesktop, "Report.docx");
  const std::string advanced = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
  const auto set = [&](const char* name, std::uint8_t value) {
    os.registry.SetBytes(platform::Hive::CurrentUser, advanced, name, platform::kRegDword, {value, 0, 0, 0});
  };
  EXPECT_EQ(Files(), (Texts{"Driver", "Report"}));  // no settings: Explorer's defaults
  set("ShowSuperHidden", 1);
  EXPECT_EQ(Files(), (Texts{"Driver", "Report"}));  // protected files only show with hidden ones
  set("Hidden", 2);
  EXPECT_EQ(Files(), (Texts{"Driver", "Report"}));
  set("Hidden", 1);
  EXPECT_EQ(Files(), (Texts{"desktop", "Driver", "Report", "Secret"}));
  set("ShowSuperHidden", 0);
  EXPECT_EQ(Files(), (Texts{"Driver", "Report", "Secret"}));
}

TEST_F(DesktopItemsTest, TheAllUsersDesktopComesFromTheShellElseTheScriptHostElseAFixedGuess) {
  AddFile(kCommonDesktop, "FromShell.lnk");
  AddFile("D:\\Shared", "FromScriptHost.lnk");
  AddFile("C:\\WINDOWS\\All Users\\Desktop", "Guessed.lnk");
  EXPECT_EQ(Files(), Texts{"FromShell"});
  os.specialFolders[SpecialFolder::CommonDesktop] = "";
  os.scriptHostFolders["AllUsersDesktop"] = "D:\\Shared";
  EXPECT_EQ(Files(), Texts{"FromScriptHost"});
  os.scriptHost = false;
  EXPECT_EQ(Files(), Texts{"Guessed"});

  // An unknown user desktop is skipped, not searched as the root of the drive.
  AddFile("C:\\", "boot.ini");
  os.specialFolders.erase(SpecialFolder::Desktop);
  EXPECT_EQ(Files(), Texts{"Guessed"});
}

TEST_F(DesktopItemsTest, AFileShowsWithoutItsExtension) {
  // The text before the last full stop, unless that stop is the first or the
  // last character; a name that would read "-" (a separator line) shows whole.
  const std::pair<const char*, const char*> cases[] = {
      {"Word.lnk", "Word"},           {"Notes.txt", "Notes"},
      {"Report.docx", "Report"},      {"readme.html", "readme"},
      {"archive.tar.gz", "archive.tar"}, {"README", "README"},
      {"a.bc", "a"},                  {".lnk", ".lnk"},
      {"Version 5.", "Version 5."},   {"Budget 2026 .xlsx", "Budget 2026 "},
      {"-.lnk", "-.lnk"},             {"--.lnk", "--"},
      {"日本語.txt", "日本語"},       {"日本.x", "日本"},
      {"😀 Smile.exe", "😀 Smile"},   {"e\xCC\x81t\xC3\xA9.lnk", "e\xCC\x81t\xC3\xA9"}};
  for (const auto& [name, shown] : cases) {
    AddFile(kUserDesktop, name);
    EXPECT_EQ(Files(), Texts{shown}) << name;
    os.Folder(kUserDesktop).clear();
  }
}

TEST_F(DesktopItemsTest, UnicodeNamesShowAsTheyAreInTheSystemsOrderAndOpen) {
  AddFile(kUserDesktop, "Zeta.lnk");
  AddFile(kUserDesktop, "日本語.lnk");
  AddFile(kCommonDesktop, "😀 Fun.lnk");
  AddFile(kCommonDesktop, "Ábc.lnk");
  const Texts found = {"Zeta", "日本語", "😀 Fun", "Ábc", "My Computer", "My Documents", "Recycle Bin"};
  Texts sorted;
  for (std::size_t index : os.SortedOrder(found)) sorted.push_back(found[index]);
  EXPECT_EQ(MenuOf(kLeftClick), sorted);
  Choose(kLeftClick, "日本語");
  EXPECT_EQ(os.shellOpens.at(0).file, kUserDesktop + "\\日本語.lnk");
}

// An unpaired surrogate cannot be shown, but the item opens the very file.
TEST_F(DesktopItemsTest, ANameThatIsNotValidUnicodeShowsAReplacementAndStillOpens) {
  AddFile(kUserDesktop, "Re\xED\xA0\x80port.lnk");
  EXPECT_EQ(Files(), Texts{"Re\xEF\xBF\xBDport"});
  Choose(kLeftClick, "Re\xEF\xBF\xBDport");
  EXPECT_EQ(os.shellOpens.at(0).file, kUserDesktop + "\\Re\xED\xA0\x80port.lnk");
  EXPECT_EQ(menu::ShowableText("a\xFF"
                               "b\xE6\x97"
                               "c"),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD\xEF\xBF\xBD"
            "c");
}

}  // namespace
}  // namespace tamberlinox::test
