// The desktop menu as a launcher: every entry shows its item's icon, a right
// click on an entry shows the shell's own menu of the item over the desktop
// menu, and with "FolderMenus" on the desktops' folders open as submenus,
// filled when they first open. The menus are read from inside the program by
// the menu hook, with each entry's picture and place on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MenuBench.h"
#include "ProgramWindows.h"

namespace e2e {
namespace {

using Strings = std::vector<std::string>;
constexpr auto kUser = DesktopFolders::kUser;
constexpr auto kAllUsers = DesktopFolders::kAllUsers;

class Launcher : public MenuTest {
 protected:
  // The entry with this caption; fails the test when there is none.
  static const MenuEntry* Find(const std::vector<MenuEntry>& entries, const std::string& caption) {
    for (const MenuEntry& e : entries)
      if (e.caption == caption) return &e;
    ADD_FAILURE() << "no entry \"" << caption << "\" in " << ::testing::PrintToString(Captions(entries));
    return nullptr;
  }
  // Reads the menu again until fact holds for its entries.
  std::optional<std::vector<MenuEntry>> ReadUntil(HWND menu,
                                                  const std::function<bool(const std::vector<MenuEntry>&)>& fact) {
    std::optional<std::vector<MenuEntry>> entries;
    WaitUntil([&] { return (entries = reader_->Read(menu)) && fact(*entries); });
    return entries;
  }
  // Moves the selection down to the entry at position (none is selected in a
  // menu just opened) and opens its submenu; the submenu's window.
  HWND OpenSubmenu(Running& p, const OpenMenu& menu, size_t position) {
    for (size_t i = 0; i <= position; ++i) reader_->Press(menu.window, VK_DOWN);
    reader_->Press(menu.window, VK_RIGHT);
    return reader_->WaitForAnotherMenu(p.process, {menu.window});
  }
  // Right-clicks an entry and waits for the menu that opens over the open ones.
  HWND RightClick(Running& p, const std::vector<HWND>& open, const MenuEntry& entry) {
    reader_->RightClick(open.back(), entry.Centre());
    return reader_->WaitForAnotherMenu(p.process, open);
  }
  bool Gone(HWND window) { return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }); }
  // The desktop menu once an item's menu over it has closed without a
  // command. Wine's menu loop ends every menu when a nested one ends, and the
  // program opens the desktop menu again where it was: a new window, once
  // the old one has gone. On Windows the desktop menu stays as it is.
  HWND DesktopMenuBack(Running& p, HWND before) {
    if (!RunningOnWine()) return before;
    if (!Gone(before)) return nullptr;
    return reader_->WaitForAnotherMenu(p.process, {before});
  }
  // Waits until the entry with this caption is the menu's highlighted one;
  // fails the test with what is highlighted when it does not become so.
  bool Highlighted(HWND menu, const std::string& caption) {
    std::string highlighted = "(none)";
    const bool seen = WaitUntil([&] {
      const auto entries = reader_->Read(menu);
      if (!entries) return false;
      for (const MenuEntry& e : *entries)
        if (e.state & MF_HILITE) highlighted = e.caption;
      return highlighted == caption;
    });
    EXPECT_TRUE(seen) << "\"" << caption << "\" is not highlighted; \"" << highlighted << "\" is";
    return seen;
  }
};

// ------------------------------------------------------------------ pictures

// Every entry shows a picture of the small icon's size with its transparency:
// the files their types' icons, the shortcut its target's icon with the
// shortcut arrow (which only reading the shortcut gives, so it comes while
// the menu is up), the three places their own. (Wine's menus are not drawn
// with visual styles and copy a bitmap as it is; there the program draws each
// picture into the place the menu leaves for it (HBMMENU_CALLBACK), while
// Windows' themed menus take it as the entry's bitmap and blend it.)
TEST_F(Launcher, EveryEntryShowsItsIconWithItsTransparency) {
  ASSERT_FALSE(desktops_->AddFile(kUser, "notes.txt").empty());
  ASSERT_FALSE(desktops_->AddFile(kAllUsers, "Budget.xls").empty());
  const std::string marker = desktops_->AddCopy(kUser, "Marker.exe", MarkerProgram());
  ASSERT_FALSE(marker.empty());
  ASSERT_FALSE(desktops_->AddShortcut(kAllUsers, "Start marker.lnk", marker).empty());
  Running& p = StartProgram();
  auto menu = Click(p, WM_LBUTTONUP);
  ASSERT_TRUE(menu) << "no desktop menu could be read";
  EXPECT_EQ(Captions(menu->entries), (Strings{"Budget", "Marker", "My Computer", "My Documents", "notes",
                                              "Recycle Bin", "Start marker"}));
  for (const MenuEntry& e : menu->entries) {
    ASSERT_TRUE(e.picture) << "\"" << e.caption << "\" has no picture";
    EXPECT_EQ(e.picture->width, 16) << e.caption;
    EXPECT_EQ(e.picture->height, 16) << e.caption;
    EXPECT_EQ(e.picture->bits, 32) << e.caption;
    EXPECT_GT(e.picture->opaque, 0) << e.caption;
    EXPECT_EQ(e.state, 0u) << "\"" << e.caption << "\" is not a plain enabled entry";
  }
  EXPECT_GT(Find(menu->entries, "notes")->picture->transparent, 0) << "a document icon has transparent corners";
  EXPECT_GT(menu->entries.back().id, 1000u);
  // The shortcut's own picture replaces its type's while the menu is up.
  const unsigned document = Find(menu->entries, "notes")->picture->hash;
  const auto later = ReadUntil(menu->window, [&](const std::vector<MenuEntry>& entries) {
    const MenuEntry* shortcut = Find(entries, "Start marker");
    return shortcut && shortcut->picture && shortcut->picture->hash != document;
  });
  ASSERT_TRUE(later);
  EXPECT_NE(Find(*later, "Start marker")->picture->hash, document) << "the shortcut never got its own icon";
  EXPECT_TRUE(CloseMenu(p, *menu));
}

// At 144 pixels per inch (150 %) the pictures are 24 pixels square.
TEST_F(Launcher, PicturesFollowTheScreensPixelsPerInch) {
  ScopedRegValue dpi(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
  ASSERT_TRUE(dpi.SetDword(144));
  ASSERT_FALSE(desktops_->AddFile(kUser, "notes.txt").empty());
  Running& p = StartProgram();
  auto menu = Click(p, WM_LBUTTONUP);
  ASSERT_TRUE(menu);
  for (const MenuEntry& e : menu->entries) {
    ASSERT_TRUE(e.picture) << e.caption;
    EXPECT_EQ(e.picture->width, 24) << e.caption;
    EXPECT_EQ(e.picture->height, 24) << e.caption;
  }
  EXPECT_TRUE(CloseMenu(p, *menu));
}

// --------------------------------------------------------- the item's menu

// A right click on an entry shows the shell's menu of its item over the
// desktop menu, its commands numbered below every entry of the desktop menu.
// Esc closes it and leaves the desktop menu (Wine's menu loop ends every menu
// when a nested one ends; the program then opens the desktop menu again where
// it was, so that there too Esc goes back to it). A command chosen from it
// closes the desktop menu and is carried out by the shell: "Properties" shows
// the item's properties. (Wine's shell offers Open, Explore, Cut, Copy,
// Create Link, Delete and Properties for a file, and its "Open" opens folders
// only; Windows' shell offers what Explorer's desktop offers.)
TEST_F(Launcher, ARightClickShowsTheItemsOwnMenuAndEscGoesBack) {
  ASSERT_FALSE(desktops_->AddCopy(kUser, "Marker.exe", MarkerProgram()).empty());
  ASSERT_FALSE(desktops_->AddFile(kUser, "notes.txt").empty());
  Running& p = StartProgram();
  auto menu = Click(p, WM_LBUTTONUP);
  ASSERT_TRUE(menu);
  const MenuEntry* entry = Find(menu->entries, "Marker");
  ASSERT_TRUE(entry);
  HWND itemMenu = RightClick(p, {menu->window}, *entry);
  ASSERT_TRUE(itemMenu) << "no menu opened over the desktop menu";
  auto commands = reader_->Read(itemMenu);
  ASSERT_TRUE(commands) << "the item's menu could not be read";
  ASSERT_FALSE(commands->empty());
  for (const MenuEntry& command : *commands) {
    if (command.Separator()) continue;
    EXPECT_GE(command.id, 1u) << command.caption;
    EXPECT_LT(command.id, 1000u) << command.caption << ": a command id among the desktop menu's";
  }
  const auto properties = std::find_if(commands->begin(), commands->end(), [](const MenuEntry& c) {
    std::string plain = c.caption;
    plain.erase(std::remove(plain.begin(), plain.end(), '&'), plain.end());
    return plain == "Properties";
  });
  ASSERT_NE(properties, commands->end()) << "no \"Properties\" in " << ::testing::PrintToString(Captions(*commands));

  reader_->Close(itemMenu);
  ASSERT_TRUE(Gone(itemMenu)) << "the item's menu did not close on Esc";
  HWND back = DesktopMenuBack(p, menu->window);
  ASSERT_TRUE(back) << "the desktop menu did not stay";
  auto again = reader_->Read(back);
  ASSERT_TRUE(again);
  EXPECT_EQ(Captions(*again), Captions(menu->entries));
  EXPECT_TRUE(OtherWindows(p).empty());

  itemMenu = RightClick(p, {back}, *Find(*again, "Marker"));
  ASSERT_TRUE(itemMenu) << "no menu opened over the desktop menu the second time";
  commands = reader_->Read(itemMenu);
  ASSERT_TRUE(commands);
  ASSERT_TRUE(reader_->Choose(itemMenu, *commands, properties->caption));
  EXPECT_TRUE(Gone(back)) << "the desktop menu stayed after a command";
  std::vector<HWND> shown;
  ASSERT_TRUE(WaitUntil([&] { return !(shown = OtherWindows(p)).empty(); })) << "no properties were shown";
  EXPECT_NE(WindowText(shown.front()).find("Marker"), std::string::npos) << WindowText(shown.front());
  PostMessageA(shown.front(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitUntil([&] { return OtherWindows(p).empty(); })) << "the properties did not close";
  EXPECT_TRUE(MarkerRuns().empty());
}

// -------------------------------------------------------------- folders

class LauncherFolders : public Launcher {
 protected:
  void SetUp() override {
    Launcher::SetUp();
    folderMenus_ = std::make_unique<ScopedRegValue>(HKEY_CURRENT_USER, kSettingsKey, "FolderMenus");
    ASSERT_TRUE(folderMenus_->SetDword(1));
  }
  void TearDown() override {
    Launcher::TearDown();
    folderMenus_.reset();
  }
  std::unique_ptr<ScopedRegValue> folderMenus_;
};

// Each folder of both desktops is an entry among the others with an arrow and
// the folder's icon; opening it lists its folders first, then its files, each
// by name as Explorer sorts them (numbers as numbers), hidden ones left out as
// Explorer is set; nested folders the same way; an empty folder shows one
// greyed "(empty)"; a file chosen from a submenu opens.
TEST_F(LauncherFolders, FoldersOpenAsSubmenusFilledWhenTheyOpen) {
  const std::string projects = desktops_->AddFolder(kUser, "Projects");
  ASSERT_FALSE(projects.empty());
  ASSERT_FALSE(desktops_->AddFolder(kAllUsers, "Empty").empty());
  ASSERT_FALSE(desktops_->AddFile(kUser, "Word.lnk").empty());
  ASSERT_FALSE(desktops_->AddFolderIn(projects, "Zeta").empty());
  ASSERT_FALSE(desktops_->AddFolderIn(projects, "alpha").empty());
  ASSERT_FALSE(desktops_->AddFileIn(projects, "Plan 10.txt").empty());
  const std::string plan9 = desktops_->AddFileIn(projects, "Plan 9.txt");
  ASSERT_FALSE(plan9.empty());
  ASSERT_FALSE(desktops_->AddFileIn(projects, "secret.txt", FILE_ATTRIBUTE_HIDDEN).empty());
  ExplorerHiddenFiles explorer;
  ASSERT_TRUE(OpenTextFilesWithMarker());
  Running& p = StartProgram();
  auto menu = Click(p, WM_LBUTTONUP);
  ASSERT_TRUE(menu);
  EXPECT_EQ(Captions(menu->entries),
            (Strings{"Empty", "My Computer", "My Documents", "Projects", "Recycle Bin", "Word"}));
  for (const char* folder : {"Empty", "Projects"}) {
    const MenuEntry* entry = Find(menu->entries, folder);
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->submenu) << folder << " opens no submenu";
    EXPECT_TRUE(entry->picture) << folder << " has no picture";
  }

  HWND submenu = OpenSubmenu(p, *menu, 3);
  ASSERT_TRUE(submenu) << "\"Projects\" opened no submenu";
  auto inside = reader_->Read(submenu);
  ASSERT_TRUE(inside);
  EXPECT_EQ(Captions(*inside), (Strings{"alpha", "Zeta", "Plan 9", "Plan 10"}));
  for (const MenuEntry& e : *inside) EXPECT_TRUE(e.picture) << e.caption << " has no picture";
  EXPECT_TRUE(Find(*inside, "Zeta")->submenu);
  EXPECT_GT(Find(*inside, "alpha")->id, menu->entries.back().id) << "ids of a submenu follow the desktop menu's";

  // The first entry of a submenu opened by the keyboard is selected.
  ASSERT_TRUE(Highlighted(submenu, "alpha"));
  reader_->Press(submenu, VK_DOWN);
  ASSERT_TRUE(Highlighted(submenu, "Zeta"));
  reader_->Press(submenu, VK_RIGHT);
  HWND nested = reader_->WaitForAnotherMenu(p.process, {menu->window, submenu});
  ASSERT_TRUE(nested) << "\"Zeta\" opened no submenu";
  auto empty = reader_->Read(nested);
  ASSERT_TRUE(empty);
  ASSERT_EQ(Captions(*empty), Strings{"(empty)"});
  EXPECT_TRUE(empty->front().state & MF_GRAYED);
  // The key goes to a menu window that stays: Wine drops the messages queued
  // for a menu window that it destroys, the key that closes it among them, and
  // then takes the next key from the queue in its place.
  reader_->Press(submenu, VK_LEFT);
  ASSERT_TRUE(Gone(nested));

  reader_->Press(submenu, VK_DOWN);
  ASSERT_TRUE(Highlighted(submenu, "Plan 9"));
  reader_->Press(submenu, VK_RETURN);
  ASSERT_TRUE(WaitForMarkerRuns(1)) << "\"Plan 9\" was not opened";
  EXPECT_EQ(SplitArguments(MarkerRuns().front().commandLine), Strings{plan9});
}

// A menu of thousands of entries stays from one showing to the next, and
// with it the submenu of a folder opened in an earlier one, which still holds
// that folder's entries, with the ids of the entries of a folder opened now.
// The pictures made while the menu is up reach the entries they are made for:
// "A" opened in one showing, "B" in the next, each one's shortcut gets its
// own picture.
TEST_F(LauncherFolders, PicturesReachTheirEntriesInABigMenuKeptWithItsSubmenus) {
  const std::string marker = desktops_->AddCopy(kUser, "Marker.exe", MarkerProgram());
  ASSERT_FALSE(marker.empty());
  for (const char* name : {"A", "B"}) {
    const std::string folder = desktops_->AddFolder(kUser, name);
    ASSERT_FALSE(desktops_->AddFileIn(folder, "Notes.txt").empty());
    ASSERT_FALSE(desktops_->AddShortcutIn(folder, "Start marker.lnk", marker).empty());
  }
  for (int i = 0; i < 2000; ++i) ASSERT_FALSE(desktops_->AddFile(kUser, "Z " + std::to_string(i) + ".txt").empty());
  Running& p = StartProgram();
  for (size_t position : {0, 1}) {
    auto menu = Click(p, WM_LBUTTONUP);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->entries[position].caption, position == 0 ? "A" : "B");
    HWND submenu = OpenSubmenu(p, *menu, position);
    ASSERT_TRUE(submenu) << menu->entries[position].caption << " opened no submenu";
    bool own = false;
    ReadUntil(submenu, [&](const std::vector<MenuEntry>& entries) {
      const MenuEntry* notes = Find(entries, "Notes");
      const MenuEntry* shortcut = Find(entries, "Start marker");
      return own = notes && shortcut && notes->picture && shortcut->picture &&
                   shortcut->picture->hash != notes->picture->hash;
    });
    EXPECT_TRUE(own) << "the shortcut in " << menu->entries[position].caption << " never got its own icon";
    reader_->Press(menu->window, VK_ESCAPE);  // the submenu
    EXPECT_TRUE(CloseMenu(p, *menu));
  }
}

// A right click on a folder's entry shows the folder's own menu.
TEST_F(LauncherFolders, ARightClickOnAFolderShowsTheFoldersMenu) {
  ASSERT_FALSE(desktops_->AddFolder(kUser, "Projects").empty());
  Running& p = StartProgram();
  auto menu = Click(p, WM_LBUTTONUP);
  ASSERT_TRUE(menu);
  const MenuEntry* entry = Find(menu->entries, "Projects");
  ASSERT_TRUE(entry);
  HWND itemMenu = RightClick(p, {menu->window}, *entry);
  ASSERT_TRUE(itemMenu) << "no menu opened over the desktop menu";
  auto commands = reader_->Read(itemMenu);
  ASSERT_TRUE(commands);
  EXPECT_FALSE(commands->empty());
  reader_->Close(itemMenu);
  EXPECT_TRUE(Gone(itemMenu));
  HWND back = DesktopMenuBack(p, menu->window);
  ASSERT_TRUE(back);
  EXPECT_TRUE(CloseMenu(p, OpenMenu{back, {}}));
}

// While the program lists a folder of 10,000 files for its submenu, 200
// pointer moves go through the input watch's hook (under Wine SendInput waits
// for it), and two presses of F10 wait in the program's queue and are two
// toggles once it is done. (With the hooks on the program's thread the moves
// waited for the folder, and the second press was taken for a repeat.)
TEST_F(LauncherFolders, ThePointerMovesAndEveryPressCountsWhileABigFolderOpens) {
  ASSERT_FALSE(desktops_->MoveInFolderOfFiles(kUser, "Big", 10000).empty()) << "no folder from scripts/e2e.sh";
  Running& p = StartProgram();
  auto menu = Click(p, WM_LBUTTONUP);
  ASSERT_TRUE(menu);
  ASSERT_EQ(menu->entries.front().caption, "Big");
  // Away from the stand-in desktop, which F10 shows and hides (see PressKey).
  const POINT spot{400, 20};
  ASSERT_TRUE(MoveMouseUntil(spot, [] { return true; }));
  const auto answers = [&] {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(p.main, WM_NULL, 0, 0, SMTO_NORMAL, 50, &result) != 0;
  };
  const int changes = shell_->DesktopChanges();
  reader_->Press(menu->window, VK_DOWN);
  reader_->Press(menu->window, VK_RIGHT);
  ASSERT_TRUE(WaitUntil([&] { return !answers(); })) << "the program was never busy with the folder";
  for (int i = 0; i < 200; ++i) MoveMouseTo(POINT{spot.x + 1 - i % 2, spot.y});
  PressKey(kNone, VK_F10);
  PressKey(kNone, VK_F10);
  POINT at{};
  GetCursorPos(&at);
  EXPECT_EQ(at.x, spot.x) << "the pointer's moves have not all gone through";
  EXPECT_FALSE(answers()) << "the program was done with the folder before the pointer's moves had gone through";
  EXPECT_TRUE(reader_->WaitForAnotherMenu(p.process, {menu->window}, 60000ms)) << "\"Big\" opened no submenu";
  EXPECT_TRUE(WaitUntil([&] { return shell_->DesktopChanges() == changes + 2; }))
      << "F10 twice made " << shell_->DesktopChanges() - changes << " changes";
}

}  // namespace
}  // namespace e2e
