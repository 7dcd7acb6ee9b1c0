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

TEST_F(DesktopItemsTest, FilesOfBothDesktopsAreListedHiddenOnesTooButNoFolders) {
  AddFile(kUserDesktop, "desktop.ini", platform::kFileAttributeHidden | platform::kFileAttributeSystem);
  AddFile(kUserDesktop, "Projects", platform::kFileAttributeDirectory);
  AddFile(kUserDesktop + "\\Projects", "Inner.lnk");
  AddFile(kCommonDesktop, "Word.lnk");
  AddFile(kUserDesktop, "Word.lnk");
  EXPECT_EQ(Files(), (Texts{"desktop", "Word", "Word"}));
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

TEST_F(DesktopItemsTest, AFileShowsWithoutItsLastFourCharacters) {
  // Four characters or fewer show whole, and so does a name that would read "-" (a separator line).
  // Characters are counted, not bytes; a combining mark is a character of its own.
  const std::pair<const char*, const char*> cases[] = {
      {"Word.lnk", "Word"},     {"archive.tar.gz", "archive.ta"},
      {"a.bc", "a.bc"},         {"abc", "abc"},
      {"-.lnk", "-.lnk"},       {"--.lnk", "--"},
      {"日本語.txt", "日本語"}, {"日本.x", "日本.x"},
      {"😀.lnk", "😀"},           {"e\xCC\x81t\xC3\xA9.lnk", "e\xCC\x81t\xC3\xA9"}};
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
