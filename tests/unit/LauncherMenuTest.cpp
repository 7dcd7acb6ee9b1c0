// The desktop menu as a launcher: the picture each entry asks for, what is
// made at once and what while the menu is up, the pictures kept across
// menus, the folders' submenus filled as they open, and the shell's menu of
// an entry on a right click.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "menu/MenuIcons.h"
#include "menu/TrayMenus.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

using platform::IconSource;
using platform::MenuEntry;
using platform::ShellItem;
using platform::ShellPlace;
using Kind = IconSource::Kind;
using Entries = std::vector<MenuEntry>;
using Sources = std::vector<IconSource>;

IconSource Type(const std::string& extension) { return {Kind::FileType, extension}; }
IconSource Own(const std::string& path) { return {Kind::Item, path}; }

std::vector<std::uint8_t> Dword(std::uint32_t n) {
  return {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)};
}

class LauncherMenuTest : public RunningProgram {
 protected:
  // Opens the desktop menu and runs what is given while it is up, with the
  // entries it shows.
  void WhileUp(const std::function<void(const Entries&)>& inside) {
    os.ChooseMenuEntryWith([inside](const Entries& entries) {
      inside(entries);
      return 0;
    });
    EXPECT_TRUE(main->TrayClick(kLeftClick));
  }
  int IdOf(const Entries& entries, const std::string& caption) const {
    for (const MenuEntry& entry : entries)
      if (entry.caption == caption) return entry.id;
    ADD_FAILURE() << "no entry \"" << caption << "\"";
    return -1;
  }
  // What the entry shows now, as the source its picture was made from.
  IconSource Shown(int id) const {
    const IconSource* source = os.SourceOf(main->entryPictures.at(id));
    return source != nullptr ? *source : IconSource{Kind::FileType, "(none)"};
  }
  Sources OwnRequests() const {
    Sources own;
    for (const IconSource& source : os.PictureSources())
      if (source.kind == Kind::Item) own.push_back(source);
    return own;
  }
  void FolderMenus(std::vector<std::uint8_t> value, std::uint32_t type = platform::kRegDword) {
    os.registry.SetBytes(Hive::CurrentUser, kSettingsKey, "FolderMenus", type, std::move(value));
  }
};

TEST(MenuPictureSize, IsTheSmallIconsSizeForTheScreen) {
  EXPECT_EQ(menu::PictureSize(96), 16);
  EXPECT_EQ(menu::PictureSize(120), 20);
  EXPECT_EQ(menu::PictureSize(144), 24);
  EXPECT_EQ(menu::PictureSize(192), 32);
  EXPECT_EQ(menu::PictureSize(0), 16);
}

// Each entry shows its type's picture at once, one picture per type; the
// items that have their own icon get it while the menu is up, and only then
// is any file read. The places show their own icons.
TEST_F(LauncherMenuTest, EntriesShowTheirTypesPictureAtOnceAndTheirOwnWhileTheMenuIsUp) {
  AddFile(kUserDesktop, "notes.txt");
  AddFile(kUserDesktop, "Report.TXT");
  AddFile(kUserDesktop, "Word.lnk");
  AddFile(kCommonDesktop, "Tool.exe");
  AddFile(kCommonDesktop, "README");
  Start();
  WhileUp([&](const Entries& entries) {
    // In the menu's order: My Computer, My Documents, notes, README, Recycle Bin, Report, Tool, Word.
    EXPECT_EQ(os.PictureSources(), (Sources{{Kind::MyComputer, ""}, {Kind::MyDocuments, ""}, Type(".txt"), Type(""),
                                            {Kind::RecycleBinEmpty, ""}, Type(".exe"), Type(".lnk")}));
    for (const MenuEntry& entry : entries) EXPECT_NE(entry.picture, 0u) << entry.caption;
    EXPECT_EQ(entries[IdOf(entries, "notes") - 1000].picture, entries[IdOf(entries, "Report") - 1000].picture);
    EXPECT_EQ(os.pictureRequests.front().size, 16);
    main->IdleUntilDone();
    EXPECT_EQ(OwnRequests(), (Sources{Own(kCommonDesktop + "\\Tool.exe"), Own(kUserDesktop + "\\Word.lnk")}));
    EXPECT_EQ(Shown(IdOf(entries, "Word")), Own(kUserDesktop + "\\Word.lnk"));
    EXPECT_EQ(Shown(IdOf(entries, "notes")), Type(".txt"));
    EXPECT_EQ(Shown(IdOf(entries, "README")), Type(""));
  });
  EXPECT_EQ(os.recycleBinQueries, 1);
}

// A type registered with the file itself as its icon, or with an icon
// handler, shows each file's own icon; other types show the type's.
TEST_F(LauncherMenuTest, TheRegistrySaysWhichTypesShowEachFilesOwnIcon) {
  os.registry.SetText(Hive::ClassesRoot, ".appx", "", "AppFile");
  os.registry.SetText(Hive::ClassesRoot, "AppFile\\DefaultIcon", "", "\"%1\"");
  os.registry.SetText(Hive::ClassesRoot, ".sln", "", "Solution");
  os.registry.SetText(Hive::ClassesRoot, "Solution\\shellex\\IconHandler", "", "{9A2B23E4-2A50-48DB-B3C3-F5EA12947CB8}");
  os.registry.SetText(Hive::ClassesRoot, ".doc", "", "Document");
  os.registry.SetText(Hive::ClassesRoot, "Document\\DefaultIcon", "", "C:\\Office\\word.exe,1");
  for (const char* name : {"a.appx", "b.sln", "c.doc"}) AddFile(kUserDesktop, name);
  Start();
  WhileUp([&](const Entries&) { main->IdleUntilDone(); });
  EXPECT_EQ(OwnRequests(), (Sources{Own(kUserDesktop + "\\a.appx"), Own(kUserDesktop + "\\b.sln")}));
}

// Entries on the screen get their own pictures first, a few in each idle
// moment; the others follow in the menu's order.
TEST_F(LauncherMenuTest, EntriesOnTheScreenGetTheirOwnPicturesFirst) {
  for (int i = 0; i < 30; ++i) AddFile(kUserDesktop, "Link " + std::to_string(100 + i) + ".lnk");
  Start();
  WhileUp([&](const Entries& entries) {
    main->entriesOnScreen = std::vector<int>{};
    for (int i = 20; i < 25; ++i) main->entriesOnScreen->push_back(IdOf(entries, "Link " + std::to_string(100 + i)));
    EXPECT_TRUE(main->MenuIdle());
    Sources expected;
    for (int i : {20, 21, 22, 23, 24, 0, 1}) expected.push_back(Own(kUserDesktop + "\\Link " + std::to_string(100 + i) + ".lnk"));
    EXPECT_EQ(OwnRequests(), expected);
    EXPECT_EQ(main->IdleUntilDone(), 3);
    EXPECT_EQ(OwnRequests().size(), 30u);
    EXPECT_FALSE(main->MenuIdle());
  });
}

// Only the type pictures stay for the next menu, which asks for none of them
// again: the items' own pictures go when the menu closes, before the memory
// is trimmed, and the next one makes them anew while it is up.
TEST_F(LauncherMenuTest, TypePicturesStayForTheNextMenuAndOwnPicturesGoWithTheirs) {
  AddFile(kUserDesktop, "Word.lnk");
  AddFile(kUserDesktop, "Mail.lnk");
  AddFile(kUserDesktop, "Broken.lnk");
  os.iconless.push_back(Own(kUserDesktop + "\\Broken.lnk"));
  Start();
  WhileUp([&](const Entries&) { main->IdleUntilDone(); });
  EXPECT_EQ(OwnRequests().size(), 3u);
  const std::size_t types = os.pictureRequests.size() - 3;
  EXPECT_EQ(os.livePictures.size(), types);
  os.Folder(kUserDesktop)[1].writeTime = 42;  // Mail.lnk changed
  WhileUp([&](const Entries& entries) {
    EXPECT_EQ(os.pictureRequests.size(), types + 3) << "a type picture was made again";
    EXPECT_EQ(Shown(IdOf(entries, "Word")), Type(".lnk"));
    main->IdleUntilDone();
    EXPECT_EQ(Shown(IdOf(entries, "Word")), Own(kUserDesktop + "\\Word.lnk"));
    EXPECT_EQ(Shown(IdOf(entries, "Mail")), Own(kUserDesktop + "\\Mail.lnk"));
    EXPECT_EQ(Shown(IdOf(entries, "Broken")), Type(".lnk"));
  });
  EXPECT_EQ(OwnRequests().size(), 6u);
  EXPECT_EQ(os.livePictures.size(), types);
  // The process's memory is trimmed after each menu, with nothing of it left.
  EXPECT_EQ(os.memoryTrims, 2);
  EXPECT_EQ(os.picturesAtTrim, types);
}

// At most kOwnLimit own pictures are made in one showing: the others keep
// their types' pictures while off the screen; an entry that comes on the screen takes the
// picture of one off it, which shows its type's again.
TEST_F(LauncherMenuTest, OwnPicturesAreKeptUpToTheirLimit) {
  const int files = static_cast<int>(menu::MenuPictures::kOwnLimit) + 20;
  for (int i = 0; i < files; ++i) AddFile(kUserDesktop, "Link " + std::to_string(1000 + i) + ".lnk");
  Start();
  WhileUp([&](const Entries& entries) {
    main->IdleUntilDone();
    EXPECT_EQ(OwnRequests().size(), menu::MenuPictures::kOwnLimit);
    const int last = IdOf(entries, "Link " + std::to_string(1000 + files - 1));
    const int first = IdOf(entries, "Link 1000");
    EXPECT_EQ(Shown(last), Type(".lnk"));
    main->entriesOnScreen = std::vector<int>{last};
    main->IdleUntilDone();
    EXPECT_EQ(Shown(last), Own(kUserDesktop + "\\Link " + std::to_string(1000 + files - 1) + ".lnk"));
    EXPECT_EQ(Shown(first), Type(".lnk"));
  });
  EXPECT_LE(os.livePictures.size(), menu::MenuPictures::kOwnLimit + menu::MenuPictures::kTypeLimit);
}

// The pictures fit the screen's pixels per inch; a type without an icon shows
// a file's generic one; the Recycle Bin shows whether it holds anything.
TEST_F(LauncherMenuTest, PicturesFitTheScreenAndFallBackToTheGenericFile) {
  AddFile(kUserDesktop, "data.xyz");
  os.iconless.push_back(Type(".xyz"));
  os.menuDpi = 144;
  os.recycleBinFull = true;
  Start();
  WhileUp([&](const Entries& entries) {
    EXPECT_EQ(Shown(IdOf(entries, "data")), Type(""));
    EXPECT_EQ(Shown(IdOf(entries, "Recycle Bin")), (IconSource{Kind::RecycleBinEmpty, ""}));
    main->IdleUntilDone();
    EXPECT_EQ(Shown(IdOf(entries, "Recycle Bin")), (IconSource{Kind::RecycleBinFull, ""}));
  });
  for (const auto& request : os.pictureRequests) EXPECT_EQ(request.size, 24);
  // The last state seen is shown at once the next time.
  WhileUp([&](const Entries& entries) {
    EXPECT_EQ(Shown(IdOf(entries, "Recycle Bin")), (IconSource{Kind::RecycleBinFull, ""}));
  });
}

// Kept pictures are deleted when the program ends.
TEST(MenuPicturesLife, EveryPictureIsDeletedWithThem) {
  platform::FakePlatform os;
  {
    menu::MenuPictures pictures(os);
    pictures.Begin(16);
    pictures.Dress(1000, {0, 0}, menu::EntryIcon{Type(".txt"), std::nullopt, 0});
    pictures.Dress(1001, {0, 1}, menu::EntryIcon{{Kind::MyComputer, ""}, std::nullopt, 0});
    pictures.End();
    EXPECT_EQ(os.livePictures.size(), 2u);
    pictures.Begin(20);  // another size: the old ones are of no use
    EXPECT_TRUE(os.livePictures.empty());
    pictures.Dress(1000, {0, 0}, menu::EntryIcon{Type(".txt"), std::nullopt, 0});
  }
  EXPECT_TRUE(os.livePictures.empty());
}

// ------------------------------------------------------------ folders

// "FolderMenus" = 1 lists the desktops' folders among the others; missing,
// 0, any other number or another type leave them out.
TEST_F(LauncherMenuTest, FoldersAreListedOnlyWhenFolderMenusIsOne) {
  AddFile(kUserDesktop, "Projects", platform::kFileAttributeDirectory);
  AddFile(kCommonDesktop, "Word.lnk");
  Start();
  const Texts without{"My Computer", "My Documents", "Recycle Bin", "Word"};
  EXPECT_EQ(MenuOf(kLeftClick), without);
  for (const auto& [value, type] : std::vector<std::pair<std::vector<std::uint8_t>, std::uint32_t>>{
           {Dword(0), platform::kRegDword}, {Dword(2), platform::kRegDword}, {{'1', 0}, platform::kRegSz},
           {{1, 0, 0, 0}, platform::kRegBinary}, {{1, 0}, platform::kRegDword}}) {
    FolderMenus(value, type);
    EXPECT_EQ(MenuOf(kLeftClick), without);
  }
  FolderMenus(Dword(1));
  EXPECT_EQ(MenuOf(kLeftClick), (Texts{"My Computer", "My Documents", "Projects", "Recycle Bin", "Word"}));
  EXPECT_TRUE(main->lastMenu[2].submenu);
  EXPECT_EQ(*os.SourceOf(main->lastMenu[2].picture), (IconSource{Kind::FolderType, ""}));
}

// A folder's submenu is filled when it first opens: its folders first, then
// its files, each in Explorer's order, hidden ones as Explorer is set; its
// entries take ids after the desktop menu's; nested folders the same; an
// empty folder shows one greyed "(empty)"; a file chosen from it opens.
TEST_F(LauncherMenuTest, AFoldersSubmenuIsFilledWhenItFirstOpens) {
  const std::string projects = kUserDesktop + "\\Projects";
  AddFile(kUserDesktop, "Projects", platform::kFileAttributeDirectory | platform::kFileAttributeReadOnly);
  AddFile(projects, "Plan 10.txt");
  AddFile(projects, "Zeta", platform::kFileAttributeDirectory);
  AddFile(projects, "Plan 9.txt");
  AddFile(projects, "secret.txt", platform::kFileAttributeHidden);
  AddFile(projects, "alpha", platform::kFileAttributeDirectory);
  os.Folder(projects + "\\Zeta");
  FolderMenus(Dword(1));
  Start();
  os.ChooseMenuEntryWith([&](const Entries& entries) {
    const int folder = IdOf(entries, "Projects");
    EXPECT_EQ(std::count(os.listedFolders.begin(), os.listedFolders.end(), projects), 0);
    const Entries inside = main->OpenSubmenu(folder);
    std::vector<std::string> captions;
    for (const MenuEntry& entry : inside) captions.push_back(entry.caption);
    EXPECT_EQ(captions, (Texts{"alpha", "Zeta", "Plan 9", "Plan 10"}));
    for (const MenuEntry& entry : inside) EXPECT_GT(entry.id, entries.back().id);
    EXPECT_TRUE(inside[1].submenu);
    EXPECT_EQ(*os.SourceOf(inside[2].picture), Type(".txt"));
    main->OpenSubmenu(folder);  // open again: not listed again
    EXPECT_EQ(std::count(os.listedFolders.begin(), os.listedFolders.end(), projects), 1);
    const Entries empty = main->OpenSubmenu(inside[1].id);
    EXPECT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].caption, "(empty)");
    EXPECT_TRUE(empty[0].grayed);
    // A customised (read-only) folder gets its own icon while the menu is up.
    main->IdleUntilDone();
    EXPECT_EQ(Shown(folder), Own(projects));
    return inside[2].id;  // "Plan 9"
  });
  EXPECT_TRUE(main->TrayClick(kLeftClick));
  ASSERT_EQ(os.shellOpens.size(), 1u);
  EXPECT_EQ(os.shellOpens[0].file, projects + "\\Plan 9.txt");
}

// A picture made while the menu is up goes to its entry's place: the menu or
// the submenu it is in, as filled in this showing, and its position there.
// A folder opened in one showing and another in the next hold entries of the
// same ids, and the first one's submenu may still be kept by the system: each
// gets its own pictures, and none goes anywhere else.
TEST_F(LauncherMenuTest, PicturesGoByPlaceToTheEntriesOfThisShowing) {
  for (const std::string folder : {"Alpha", "Beta"}) {
    AddFile(kUserDesktop, folder, platform::kFileAttributeDirectory);
    for (const std::string name : {" One.lnk", " Two.lnk", " Notes.txt"})
      AddFile(kUserDesktop + "\\" + folder, folder + name);
  }
  os.recycleBinFull = true;
  FolderMenus(Dword(1));
  Start();
  int firstId = 0;
  for (const std::string folder : {"Alpha", "Beta", "Alpha"}) {
    WhileUp([&](const Entries& entries) {
      const Entries inside = main->OpenSubmenu(IdOf(entries, folder));
      main->IdleUntilDone();
      const std::string path = kUserDesktop + "\\" + folder + "\\" + folder;
      ASSERT_EQ(inside.size(), 3u);
      if (firstId == 0) firstId = inside[0].id;
      EXPECT_EQ(inside[0].id, firstId) << folder;
      EXPECT_EQ(Shown(IdOf(inside, folder + " Notes")), Type(".txt"));
      EXPECT_EQ(Shown(IdOf(inside, folder + " One")), Own(path + " One.lnk"));
      EXPECT_EQ(Shown(IdOf(inside, folder + " Two")), Own(path + " Two.lnk"));
      EXPECT_EQ(Shown(IdOf(entries, "Recycle Bin")), (IconSource{Kind::RecycleBinFull, ""}));
    });
    EXPECT_EQ(main->misplacedPictures, 0) << folder;
  }
}

// --------------------------------------------------------- the item's menu

// A right click on an entry shows the shell's menu of its item (a file, a
// folder of a submenu, a place; a file named like a place is that file),
// with command ids below every id of the desktop menu and its submenus.
// Nothing is shown for the greyed "(empty)". A command chosen closes the
// desktop menu with nothing opened by the program.
TEST_F(LauncherMenuTest, ARightClickShowsTheItemsOwnMenuWithIdsOfItsOwn) {
  const std::string projects = kUserDesktop + "\\Projects";
  AddFile(kUserDesktop, "Projects", platform::kFileAttributeDirectory);
  AddFile(projects, "Inner", platform::kFileAttributeDirectory);
  os.Folder(projects + "\\Inner");
  AddFile(kUserDesktop, "Recycle Bin.lnk");
  AddFile(kCommonDesktop, "Word.lnk");
  FolderMenus(Dword(1));
  Start();
  std::vector<int> ids;
  WhileUp([&](const Entries& entries) {
    main->RightClick(IdOf(entries, "Word"));
    main->RightClick(entries[4].id);  // the place "Recycle Bin", sorted after the file found first
    main->RightClick(entries[3].id);  // the file "Recycle Bin.lnk"
    const Entries inside = main->OpenSubmenu(IdOf(entries, "Projects"));
    main->RightClick(inside[0].id);
    const Entries empty = main->OpenSubmenu(inside[0].id);
    main->RightClick(empty[0].id);
    for (const Entries* menu : {&entries, &inside})
      for (const MenuEntry& entry : *menu) ids.push_back(entry.id);
  });
  ASSERT_EQ(main->itemMenus.size(), 4u);
  EXPECT_EQ(main->itemMenus[0].item, (ShellItem{ShellPlace::None, kCommonDesktop + "\\Word.lnk"}));
  EXPECT_EQ(main->itemMenus[1].item, (ShellItem{ShellPlace::RecycleBin, ""}));
  EXPECT_EQ(main->itemMenus[2].item, (ShellItem{ShellPlace::None, kUserDesktop + "\\Recycle Bin.lnk"}));
  EXPECT_EQ(main->itemMenus[3].item, (ShellItem{ShellPlace::None, projects + "\\Inner"}));
  for (const auto& shown : main->itemMenus) {
    EXPECT_EQ(shown.firstId, menu::kFirstItemMenuId);
    EXPECT_EQ(shown.lastId, menu::kLastItemMenuId);
    EXPECT_GE(shown.firstId, 1);
    for (int id : ids) EXPECT_GT(id, shown.lastId);
  }
  main->itemMenuCommandChosen = true;
  os.ChooseMenuEntryWith([&](const Entries& entries) {
    main->RightClick(IdOf(entries, "Word"));
    return IdOf(entries, "Word");
  });
  EXPECT_TRUE(main->TrayClick(kLeftClick));
  EXPECT_TRUE(os.shellOpens.empty());
}

}  // namespace
}  // namespace tamberlinox::test
