// The tray icon's two menus: what a left and a right click show, what each
// entry opens or does, and that menus never nest.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "menu/Commands.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

using platform::ShellOpenCall;
using Opens = std::vector<ShellOpenCall>;

constexpr char kRecycleBin[] = "/root,::{645FF040-5081-101B-9F08-00AA002F954E}";

class TrayMenuTest : public RunningProgram {
 protected:
  ShellOpenCall Place(std::optional<std::string> parameters) const {
    return {0, "Open", "explorer.exe", std::move(parameters), "0", platform::kSwShowNormal};
  }
  ShellOpenCall File(const std::string& path) const {
    return {main->handle, "open", path, std::nullopt, os.currentFolder, platform::kSwShow};
  }
};

TEST_F(TrayMenuTest, ALeftClickShowsWhatTheDesktopsHoldSortedWithTheShellPlaces) {
  AddFile(kUserDesktop, "Word.lnk");
  AddFile(kUserDesktop, "Projects", platform::kFileAttributeDirectory);
  AddFile(kCommonDesktop, "mail.lnk");
  Start();
  EXPECT_EQ(MenuOf(kLeftClick), (Texts{"mail", "My Computer", "My Documents", "Recycle Bin", "Word"}));
  EXPECT_LT(main->top, 0);  // the window stays above the screen
  AddFile(kUserDesktop, "Notes.txt");
  EXPECT_EQ(MenuOf(kLeftClick)[3], "Notes");
}

// Equal captions stay in the order found, user desktop first; the k-th entry opens the k-th item.
TEST_F(TrayMenuTest, EachEntryOpensItsOwnFileEvenWhenNamesRepeat) {
  AddFile(kCommonDesktop, "Word.lnk");
  AddFile(kUserDesktop, "Word.lnk");
  AddFile(kUserDesktop, "WORD.url");
  os.currentFolder = "C:\\Work";
  Start();
  EXPECT_EQ(MenuOf(kLeftClick), (Texts{"My Computer", "My Documents", "Recycle Bin", "Word", "WORD", "Word"}));
  Choose(kLeftClick, "Word", 1);
  Choose(kLeftClick, "Word", 0);
  Choose(kLeftClick, "WORD");
  EXPECT_EQ(os.shellOpens, (Opens{File(kCommonDesktop + "\\Word.lnk"), File(kUserDesktop + "\\Word.lnk"),
                                  File(kUserDesktop + "\\WORD.url")}));
}

// A path too long for the shell (260 UTF-16 units or more) opens through the
// shell's item, or else through its short path where that keeps the file's
// extension, by which the shell chooses the program (a folder's whatever it
// is); a shorter path opens as it is.
TEST_F(TrayMenuTest, AnItemWithAVeryLongPathOpensWithItsOwnProgram) {
  const struct {
    std::string name, shortName;
    bool folder, itemOpens;
    const char* opened;  // what the shell is given: "" nothing, "=" the path itself, or the short name
  } cases[] = {{std::string(232, 'x') + ".json", "XXXXXX~1.JSO", false, false, "="},  // 259 units
               {std::string(234, 'x') + ".txt", "XXXXXX~1.TXT", false, true, ""},
               {std::string(234, 'x') + ".txt", "XXXXXX~1.TXT", false, false, "XXXXXX~1.TXT"},
               {std::string(240, 'x') + ".docx", "XXXXXX~1.DOC", false, false, ""},
               {std::string(240, 'x') + ".json", "XXXXXX~1.JSO", false, false, ""},
               {std::string(240, 'x'), "XXXXXX~1", false, false, "XXXXXX~1"},
               {std::string(240, 'x') + ".project", "XXXXXX~1.PRO", true, false, "XXXXXX~1.PRO"},
               {std::string(240, 'x') + ".txt", "", false, false, ""}};
  for (const auto& c : cases) {
    const std::string path = kUserDesktop + "\\" + c.name;
    os.shortPaths = {{path, c.shortName.empty() ? "" : kUserDesktop + "\\" + c.shortName}};
    os.shellItemOpenResult = c.itemOpens;
    os.shellOpens.clear();
    os.shellItemOpens.clear();
    menu::OpenDesktopItem(os, 0, {"Item", path, c.folder ? menu::Place::Folder : menu::Place::File});
    EXPECT_EQ(os.shellItemOpens, std::string(c.opened) == "=" ? Texts{} : Texts{path}) << c.shortName;
    Texts opened;
    for (const platform::ShellOpenCall& call : os.shellOpens) opened.push_back(call.file);
    const std::string expected = std::string(c.opened) == "=" ? path : kUserDesktop + "\\" + c.opened;
    EXPECT_EQ(opened, *c.opened ? Texts{expected} : Texts{}) << c.shortName;
  }
}

// Desktop entries never run commands: a file called like one opens itself.
TEST_F(TrayMenuTest, AFileNamedLikeACommandOpensItself) {
  const Texts names = {"Close Program", "Show Desktop", "About----Version 5.1"};
  for (const std::string& name : names) AddFile(kUserDesktop, name + ".lnk");
  Start();
  Opens expected;
  for (const std::string& name : names) {
    Choose(kLeftClick, name);
    expected.push_back(File(kUserDesktop + "\\" + name + ".lnk"));
  }
  EXPECT_EQ(os.shellOpens, expected);
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_EQ(os.Windows().size(), 1u);
  EXPECT_FALSE(DesktopVisible());
}

// Both entries "Recycle Bin" open the place: the file's own entry too.
TEST_F(TrayMenuTest, AFileNamedLikeAPlaceOpensThePlace) {
  AddFile(kUserDesktop, "Recycle Bin.lnk");
  Start();
  Choose(kLeftClick, "Recycle Bin", 0);
  Choose(kLeftClick, "Recycle Bin", 1);
  EXPECT_EQ(os.shellOpens, (Opens{Place(kRecycleBin), Place(kRecycleBin)}));
}

TEST_F(TrayMenuTest, TheShellPlacesOpenInTheFileManager) {
  const std::pair<const char*, std::optional<std::string>> documents[] = {
      {"C:\\Users\\me\\Documents\\", "C:\\Users\\me\\Documents"},
      {"C:\\My Files\\", "\"C:\\My Files\""},  // quoted for its blank, without the final backslash
      {"D:\\", "D:\\"},
      {"", std::nullopt}};  // unknown: the file manager opens where it likes
  Start();
  Choose(kLeftClick, "Recycle Bin");
  Choose(kLeftClick, "My Computer");
  Opens expected = {Place(kRecycleBin), Place(" /e")};
  for (const auto& [folder, parameters] : documents) {
    os.specialFolders[platform::SpecialFolder::Documents] = folder;
    Choose(kLeftClick, "My Documents");
    expected.push_back(Place(parameters));
  }
  EXPECT_EQ(os.shellOpens, expected);
}

TEST_F(TrayMenuTest, ARightClickShowsThirteenEntriesThatFollowTheState) {
  Start();
  EXPECT_EQ(MenuOf(kRightClick),
            (Texts{"Program Help", "-", "Make A Donation", "-", "Minimize All Windows", "-", "Show Desktop", "-",
                   "Select Hot Key", "-", "Close Program", "-", "About----Version 5.1"}));
  EXPECT_TRUE(main->lastMenu[1].separator);
  Command("Minimize All Windows");
  Command("Show Desktop");
  os.version = {12, 0};
  const Texts menu = MenuOf(kRightClick);
  EXPECT_EQ(menu[4], "Restore All Windows");
  EXPECT_EQ(menu[6], "Hide Desktop");
  EXPECT_EQ(menu[12], "About----Version 12.0");
}

TEST_F(TrayMenuTest, MinimizeAndRestoreAllGiveTheTaskbarItsCommands) {
  Start();
  Command("Minimize All Windows");
  Command("Restore All Windows");
  EXPECT_EQ(os.OtherWindowAt(taskbar)->Commands(), (std::vector<platform::WParam>{419, 416}));
  os.RemoveOtherWindow(taskbar);  // nothing to send to, but the entry still follows the choice
  Command("Minimize All Windows");
  EXPECT_EQ(MenuOf(kRightClick)[4], "Restore All Windows");
}

TEST_F(TrayMenuTest, ShowAndHideDesktopFollowTheDesktopWindowWhoeverChangedIt) {
  Start();
  Command("Show Desktop");
  EXPECT_TRUE(DesktopVisible());
  EXPECT_TRUE(os.PressHotKey(0, 121));
  EXPECT_FALSE(DesktopVisible());
  os.ShowWindow(desktop, true);
  Command("Hide Desktop");
  EXPECT_FALSE(DesktopVisible());
  os.RemoveOtherWindow(desktop);
  EXPECT_EQ(MenuOf(kRightClick)[6], "Show Desktop");
}

TEST_F(TrayMenuTest, ProgramHelpOpensHelpTxtBesideTheProgram) {
  os.currentFolder = "C:\\Work";
  Start();
  Command("Program Help");
  os.programFolder = "D:\\";
  Command("Program Help");
  EXPECT_EQ(os.shellOpens,
            (Opens{{0, "Open", "C:\\Program Files\\Tamberlinox\\Help.txt", std::nullopt, "C:\\Work", platform::kSwShow},
                   {0, "Open", "D:\\Help.txt", std::nullopt, "C:\\Work", platform::kSwShow}}));
}

TEST_F(TrayMenuTest, ATrayClickWhileAMenuOrItsCommandIsUpIsIgnored) {
  Start();
  os.ChooseMenuEntryWith([this](const std::vector<platform::MenuEntry>&) {
    EXPECT_TRUE(main->TrayClick(kLeftClick));
    return 0;
  });
  MenuOf(kRightClick);
  EXPECT_EQ(main->menusShown, 1);
  os.AnswerBoxWith([this](const platform::ShownBox&) {
    EXPECT_TRUE(main->TrayClick(kRightClick));
    return platform::kIdYes;
  });
  Command("Close Program");
  EXPECT_EQ(main->menusShown, 2);
}

}  // namespace
}  // namespace tamberlinox::test

// ------------------------------------------------------------ from the keyboard
namespace tamberlinox::test {
namespace {

constexpr std::uint32_t kLeftDown = 0x0201, kLeftUp = 0x0202, kRightUp = 0x0205;
constexpr std::uint32_t kSelect = platform::kTraySelect, kKeySelect = platform::kTrayKeySelect;
constexpr std::uint32_t kContextMenu = platform::kWmContextMenu;
constexpr platform::Point kIcon{1000, 740};

// What the shell tells in its fourth form, as a user clicks or types: each
// click opens its menu once, at the pointer; the keyboard's events open the
// menu at the icon with its first entry selected, and Esc there gives the
// focus back to the icon.
struct TrayCase {
  const char* what;
  std::vector<std::uint32_t> events;
  const char* firstEntry;  // of the one menu shown
  bool fromKeyboard;
};

class TrayKeyboardTest : public RunningProgram, public ::testing::WithParamInterface<TrayCase> {};

TEST_P(TrayKeyboardTest, EachWayOpensItsMenuOnce) {
  const TrayCase& c = GetParam();
  Start();
  for (const std::uint32_t event : c.events) ASSERT_TRUE(main->TrayEvent(event, kIcon));
  ASSERT_EQ(main->menusShown, 1) << c.what;
  EXPECT_EQ(main->LastMenuCaptions()[0], c.firstEntry);
  EXPECT_EQ(main->lastMenuOpening.fromKeyboard, c.fromKeyboard);
  EXPECT_EQ(main->lastMenuOpening.at, c.fromKeyboard ? std::optional(kIcon) : std::nullopt);
  EXPECT_EQ(main->tray.focused, c.fromKeyboard ? 1 : 0) << "nothing chosen: Esc";
}

INSTANTIATE_TEST_SUITE_P(
    FourthForm, TrayKeyboardTest,
    ::testing::Values(TrayCase{"left click", {kLeftDown, kLeftUp, kSelect}, "My Computer", false},
                      TrayCase{"right click", {kRightUp, kContextMenu}, "Program Help", false},
                      TrayCase{"Enter or Space", {kKeySelect}, "My Computer", true},
                      TrayCase{"menu key or Shift+F10", {kContextMenu}, "Program Help", true}));

// The first form, as other programs post it, opens both menus as ever.
TEST_F(TrayKeyboardTest, TheFirstFormStillOpensBothMenus) {
  Start();
  EXPECT_EQ(MenuOf(kLeftClick)[0], "My Computer");
  EXPECT_EQ(MenuOf(kRightClick)[0], "Program Help");
  EXPECT_EQ(main->menusShown, 2);
  EXPECT_FALSE(main->lastMenuOpening.fromKeyboard);
}

}  // namespace
}  // namespace tamberlinox::test
