// The two tray menus of Tamberlinox.exe as a user sees them: a left click lists
// what lies on the user's and the all-users desktop, together with the three
// shell places; a right click gives the program's commands, whose captions
// follow the state of the desktop and of the last taskbar command. The menus
// are read from inside the program by the menu hook and worked with the
// keyboard, as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MenuBench.h"

namespace e2e {
namespace {

using Strings = std::vector<std::string>;
constexpr auto kUser = DesktopFolders::kUser;
constexpr auto kAllUsers = DesktopFolders::kAllUsers;

const Strings kCommandMenu = {"Program Help", "-", "Make A Donation", "-", "Minimize All Windows", "-",
                              "Show Desktop", "-", "Select Hot Key",  "-", "Close Program",        "-",
                              "About----Version 5.1"};

// ------------------------------------------------------------ desktop menu

class MenuDesktopItems : public MenuTest {};

TEST_F(MenuDesktopItems, EmptyDesktopsGiveTheThreeShellPlaces) {
  Running& p = StartProgram();
  EXPECT_EQ(DesktopMenu(p), (Strings{"My Computer", "My Documents", "Recycle Bin"}));
}

// Word, Mail and notes lie on the user's desktop, Budget and zebra on the
// all-users desktop: one list, sorted without regard to case, each name
// without its extension, with the three shell places sorted in among them.
TEST_F(MenuDesktopItems, ItemsOfBothDesktopsFormOneSortedList) {
  ASSERT_FALSE(desktops_->AddFile(kUser, "Word.lnk").empty());
  ASSERT_FALSE(desktops_->AddFile(kUser, "Mail.lnk").empty());
  ASSERT_FALSE(desktops_->AddFile(kUser, "notes.txt").empty());
  ASSERT_FALSE(desktops_->AddFile(kAllUsers, "zebra.url").empty());
  ASSERT_FALSE(desktops_->AddFile(kAllUsers, "Budget.xls").empty());
  Running& p = StartProgram();
  auto menu = Click(p, WM_LBUTTONUP);
  ASSERT_TRUE(menu) << "no desktop menu could be read";
  EXPECT_EQ(Captions(menu->entries), (Strings{"Budget", "Mail", "My Computer", "My Documents", "notes",
                                              "Recycle Bin", "Word", "zebra"}));
  for (const MenuEntry& e : menu->entries) {
    EXPECT_EQ(e.state, 0u) << "\"" << e.caption << "\" is not a plain enabled entry";
  }
  EXPECT_TRUE(CloseMenu(p, *menu));
}

// The desktop menu's key, stored by hand as F9 without modifiers (Wine may
// release held modifiers under a key sent through SendInput: see PressKey):
// a press pops the desktop menu up where the pointer is.
TEST_F(MenuDesktopItems, TheMenuKeyOpensTheDesktopMenuAtThePointer) {
  ScopedRegValue key(HKEY_CURRENT_USER, kSettingsKey, "MenuKey");
  ScopedRegValue modifiers(HKEY_CURRENT_USER, kSettingsKey, "MenuModifiers");
  ASSERT_TRUE(key.SetDword(VK_F9) && modifiers.SetDword(0));
  Running& p = StartProgram();
  POINT pointer{};
  ASSERT_TRUE(GetCursorPos(&pointer));
  ASSERT_TRUE(PressKey(kNone, VK_F9));
  const HWND menu = reader_->WaitForMenu(p.process);
  ASSERT_NE(menu, nullptr) << "no menu opened";
  const auto entries = reader_->Read(menu);
  ASSERT_TRUE(entries);
  EXPECT_EQ(Captions(*entries), (Strings{"My Computer", "My Documents", "Recycle Bin"}));
  RECT r{};  // a corner at the pointer, the menu on the screen's side of it
  ASSERT_TRUE(GetWindowRect(menu, &r));
  EXPECT_TRUE(pointer.x >= r.left && pointer.x <= r.right && pointer.y >= r.top && pointer.y <= r.bottom);
  EXPECT_TRUE(CloseMenu(p, OpenMenu{menu, *entries}));
}

// Folders are neither listed nor searched, on either desktop.
TEST_F(MenuDesktopItems, SubFoldersAreLeftOut) {
  const std::string projects = desktops_->AddFolder(kUser, "Projects.dir");
  const std::string shared = desktops_->AddFolder(kAllUsers, "Shared");
  ASSERT_FALSE(projects.empty());
  ASSERT_FALSE(shared.empty());
  ASSERT_TRUE(CopyFileA(MarkerProgram().c_str(), (projects + "\\Inner.exe").c_str(), TRUE));
  ASSERT_TRUE(CopyFileA(MarkerProgram().c_str(), (shared + "\\Deeper.exe").c_str(), TRUE));
  ASSERT_FALSE(desktops_->AddFile(kUser, "Word.lnk").empty());
  Running& p = StartProgram();
  EXPECT_EQ(DesktopMenu(p), (Strings{"My Computer", "My Documents", "Recycle Bin", "Word"}));
}

TEST_F(MenuDesktopItems, SameNameOnBothDesktopsIsListedTwice) {
  ASSERT_FALSE(desktops_->AddFile(kUser, "Mail.lnk").empty());
  ASSERT_FALSE(desktops_->AddFile(kAllUsers, "Mail.lnk").empty());
  Running& p = StartProgram();
  EXPECT_EQ(DesktopMenu(p), (Strings{"Mail", "Mail", "My Computer", "My Documents", "Recycle Bin"}));
}

// A name without a full stop is its own caption, "0" included; one with a
// stop loses its extension, however short: every item is in the menu, and
// nothing after "0" goes missing. (More names in DisplayNameTest.cpp.)
TEST_F(MenuDesktopItems, ShortNamesAndZeroAreListed) {
  ASSERT_FALSE(desktops_->AddFile(kUser, "0").empty());
  ASSERT_FALSE(desktops_->AddFile(kUser, "k.lm").empty());
  ASSERT_FALSE(desktops_->AddFile(kAllUsers, "xyz").empty());
  ASSERT_FALSE(desktops_->AddFile(kAllUsers, "Word.lnk").empty());
  Running& p = StartProgram();
  EXPECT_EQ(DesktopMenu(p), (Strings{"0", "k", "My Computer", "My Documents", "Recycle Bin", "Word", "xyz"}));
}

// Hidden files are listed as Explorer is set to show them, and the settings
// are read again at every click. Without Explorer's settings neither the
// hidden Secret.lnk nor the hidden system file desktop.ini is listed; with
// "Hidden" = 1 Secret is; with "ShowSuperHidden" = 1 as well, desktop.ini too;
// "ShowSuperHidden" alone shows nothing more. The visible Report.docx is there
// all along, and choosing it opens it.
TEST_F(MenuDesktopItems, HiddenFilesAreListedAsExplorerIsSetToShowThem) {
  ExplorerHiddenFiles explorer;
  const std::string report = desktops_->AddFile(kUser, "Report.docx");
  const std::string ini = desktops_->AddFile(kUser, "desktop.ini");
  const std::string secret = desktops_->AddFile(kAllUsers, "Secret.lnk");
  ASSERT_FALSE(report.empty() || ini.empty() || secret.empty());
  ASSERT_TRUE(SetFileAttributesW(ToWide(ini).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(SetFileAttributesW(ToWide(secret).c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_EQ(GetFileAttributesW(ToWide(ini).c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
      << "the file system keeps no hidden and system attributes";
  ASSERT_TRUE(OpenFilesWithMarker(".docx"));
  Running& p = StartProgram();
  EXPECT_EQ(DesktopMenu(p), (Strings{"My Computer", "My Documents", "Recycle Bin", "Report"}));

  ASSERT_TRUE(explorer.hidden.SetDword(1));
  EXPECT_EQ(DesktopMenu(p), (Strings{"My Computer", "My Documents", "Recycle Bin", "Report", "Secret"}));
  ASSERT_TRUE(explorer.superHidden.SetDword(1));
  EXPECT_EQ(DesktopMenu(p), (Strings{"desktop", "My Computer", "My Documents", "Recycle Bin", "Report", "Secret"}));
  ASSERT_TRUE(explorer.hidden.SetDword(0));
  EXPECT_EQ(DesktopMenu(p), (Strings{"My Computer", "My Documents", "Recycle Bin", "Report"}));

  auto menu = Click(p, WM_LBUTTONUP);
  ASSERT_TRUE(menu) << "no desktop menu could be read";
  ASSERT_TRUE(Choose(p, *menu, "Report"));
  ASSERT_TRUE(WaitForMarkerRuns(1)) << "Report.docx was not opened";
  EXPECT_EQ(SplitArguments(MarkerRuns().front().commandLine), Strings{report}) << MarkerRuns().front().commandLine;
}

// Every left click looks at the desktops again: what was added since is
// there, what was removed is gone.
TEST_F(MenuDesktopItems, EachClickListsTheDesktopsAsTheyAreThen) {
  const std::string word = desktops_->AddFile(kUser, "Word.lnk");
  ASSERT_FALSE(word.empty());
  Running& p = StartProgram();
  EXPECT_EQ(DesktopMenu(p), (Strings{"My Computer", "My Documents", "Recycle Bin", "Word"}));
  ASSERT_TRUE(desktops_->Remove(word));
  ASSERT_FALSE(desktops_->AddFile(kAllUsers, "Mail.lnk").empty());
  EXPECT_EQ(DesktopMenu(p), (Strings{"Mail", "My Computer", "My Documents", "Recycle Bin"}));
}

// ------------------------------------------------------------ command menu

class MenuCommands : public MenuTest {
 protected:
  std::optional<OpenMenu> CommandMenu(Running& p) { return Click(p, WM_RBUTTONUP); }
  // Opens the command menu, chooses the entry and waits until the menu has gone.
  bool RunCommand(Running& p, const std::string& caption) {
    auto menu = CommandMenu(p);
    if (!menu) {
      ADD_FAILURE() << "no command menu could be read";
      return false;
    }
    if (!Choose(p, *menu, caption)) {
      ADD_FAILURE() << "could not choose \"" << caption << "\" from " << ::testing::PrintToString(Captions(menu->entries));
      return false;
    }
    return true;
  }
  // The caption at index 4 or 6 of the next command menu (the menu is closed again).
  std::string EntryOfNextMenu(Running& p, size_t index) {
    auto menu = CommandMenu(p);
    if (!menu || menu->entries.size() <= index) return "(no menu)";
    EXPECT_TRUE(CloseMenu(p, *menu));
    return menu->entries[index].caption;
  }
};

TEST_F(MenuCommands, ThirteenEntriesInOrderWithSixSeparatorsAndTheVersionLast) {
  Running& p = StartProgram();
  auto menu = CommandMenu(p);
  ASSERT_TRUE(menu) << "no command menu could be read";
  EXPECT_EQ(Captions(menu->entries), kCommandMenu);
  int separators = 0;
  for (const MenuEntry& e : menu->entries) {
    if (e.Separator()) {
      ++separators;
      // Wine reports a separator as MF_SEPARATOR | MF_GRAYED | MF_DISABLED (0x803).
      EXPECT_TRUE(e.state & MF_SEPARATOR);
    } else {
      EXPECT_EQ(e.state, 0u) << "\"" << e.caption << "\" is not a plain enabled entry";
    }
  }
  EXPECT_EQ(separators, 6);
  EXPECT_TRUE(CloseMenu(p, *menu));
}

// Closing the menu with Escape runs nothing.
TEST_F(MenuCommands, ClosingTheMenuWithoutChoosingDoesNothing) {
  Running& p = StartProgram();
  auto menu = CommandMenu(p);
  ASSERT_TRUE(menu);
  ASSERT_TRUE(CloseMenu(p, *menu));
  // The next menu proves that the program has done everything the first one led to.
  EXPECT_EQ(EntryOfNextMenu(p, 6), "Show Desktop");
  EXPECT_EQ(shell_->DesktopChanges(), 1);  // start-up's hide only
  EXPECT_TRUE(shell_->TaskbarCommands().empty());
  EXPECT_TRUE(OtherWindows(p).empty());
  EXPECT_TRUE(p.process.Running());
}

TEST_F(MenuCommands, ShowDesktopShowsItAndTheNextMenuOffersHideDesktop) {
  Running& p = StartProgram();
  ASSERT_TRUE(RunCommand(p, "Show Desktop"));
  EXPECT_TRUE(WaitUntil([&] { return shell_->DesktopVisible(); })) << "the desktop was not shown";
  EXPECT_EQ(EntryOfNextMenu(p, 6), "Hide Desktop");
  EXPECT_EQ(shell_->DesktopChanges(), 2);
}

TEST_F(MenuCommands, HideDesktopHidesItAgainAndTheNextMenuOffersShowDesktop) {
  Running& p = StartProgram();
  ASSERT_TRUE(RunCommand(p, "Show Desktop"));
  ASSERT_TRUE(WaitUntil([&] { return shell_->DesktopVisible(); }));
  ASSERT_TRUE(RunCommand(p, "Hide Desktop"));
  EXPECT_TRUE(WaitUntil([&] { return !shell_->DesktopVisible(); })) << "the desktop was not hidden";
  EXPECT_EQ(EntryOfNextMenu(p, 6), "Show Desktop");
  EXPECT_EQ(shell_->DesktopChanges(), 3);
}

// The entry asks the desktop window itself, so a desktop shown by the hot key
// (or by anyone) is offered for hiding.
TEST_F(MenuCommands, DesktopEntryFollowsTheDesktopWhoeverChangedIt) {
  Running& p = StartProgram();
  ASSERT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, true));
  EXPECT_EQ(EntryOfNextMenu(p, 6), "Hide Desktop");
  ASSERT_TRUE(PressAndWaitForDesktop(kNone, VK_F10, false));
  EXPECT_EQ(EntryOfNextMenu(p, 6), "Show Desktop");
}

// The taskbar stand-in receives the taskbar's own minimize-all command. (Wine's
// own taskbar ignores WM_COMMAND 419 and 416; on Windows the taskbar acts on them.)
TEST_F(MenuCommands, MinimizeAllWindowsPosts419AndTheNextMenuOffersRestore) {
  Running& p = StartProgram();
  ASSERT_TRUE(RunCommand(p, "Minimize All Windows"));
  EXPECT_TRUE(WaitUntil([&] { return shell_->TaskbarCommands() == std::vector<WPARAM>{419}; }))
      << "the taskbar received " << ::testing::PrintToString(shell_->TaskbarCommands());
  EXPECT_EQ(EntryOfNextMenu(p, 4), "Restore All Windows");
  EXPECT_EQ(shell_->DesktopChanges(), 1);
}

TEST_F(MenuCommands, RestoreAllWindowsPosts416AndTheNextMenuOffersMinimizeAgain) {
  Running& p = StartProgram();
  ASSERT_TRUE(RunCommand(p, "Minimize All Windows"));
  ASSERT_TRUE(WaitUntil([&] { return shell_->TaskbarCommands().size() == 1; }));
  ASSERT_TRUE(RunCommand(p, "Restore All Windows"));
  EXPECT_TRUE(WaitUntil([&] { return shell_->TaskbarCommands() == std::vector<WPARAM>{419, 416}; }))
      << "the taskbar received " << ::testing::PrintToString(shell_->TaskbarCommands());
  EXPECT_EQ(EntryOfNextMenu(p, 4), "Minimize All Windows");
}

// -------------------------------------------------------------- tray clicks

class MenuTray : public MenuTest {};

// A click on the tray icon while a menu is open is ignored: no second menu,
// and the open menu keeps its entries. The system itself refuses a second
// popup menu while one is open (Wine's TrackPopupMenu fails with 1446, as
// Windows' does); what a click that is not ignored shows is the open menu
// rebuilt underneath, here into the command menu by the last, right click.
//
// The clicks are posted to the program, then a key to the open menu. Both wait
// in the same queue of the program's one thread, in that order: once the menu
// shows the key's effect (an entry highlighted), the program has handled the
// clicks.
TEST_F(MenuTray, ClickWhileAMenuIsOpenOpensNoSecondMenu) {
  ASSERT_FALSE(desktops_->AddFile(kUser, "Word.lnk").empty());
  Running& p = StartProgram();
  auto menu = Click(p, WM_LBUTTONUP);
  ASSERT_TRUE(menu);
  const Strings before = Captions(menu->entries);
  ClickTray(p.main, WM_LBUTTONUP);
  ClickTray(p.main, WM_RBUTTONUP);
  PostMessageA(menu->window, WM_KEYDOWN, VK_DOWN, 1);
  PostMessageA(menu->window, WM_KEYUP, VK_DOWN, LPARAM(0xC0000001));
  std::optional<std::vector<MenuEntry>> now;
  ASSERT_TRUE(WaitUntil([&] {
    now = reader_->Read(menu->window);
    if (!now) return false;
    for (const MenuEntry& e : *now) {
      if (e.state & MF_HILITE) return true;
    }
    return false;
  })) << "the open menu never showed the key press";
  EXPECT_EQ(Captions(*now), before) << "the open menu was rebuilt by the second click";
  int shown = 0;
  for (HWND w : p.process.FindWindowsByClass("#32768")) shown += IsWindowVisible(w) ? 1 : 0;
  EXPECT_EQ(shown, 1) << "a second menu opened";
  ASSERT_TRUE(CloseMenu(p, *menu));
  // The ignored clicks left nothing behind: the next click opens its own menu.
  auto next = Click(p, WM_RBUTTONUP);
  ASSERT_TRUE(next) << "no menu after the first one closed";
  EXPECT_EQ(Captions(next->entries), kCommandMenu);
  EXPECT_TRUE(CloseMenu(p, *next));
}

// Only the release of a button opens a menu: the button going down, a double
// click and a mouse move do nothing. A right click posted after them shows
// what they did: had one of them opened a menu, that menu would be up first.
TEST_F(MenuTray, OtherMouseNotificationsOpenNoMenu) {
  Running& p = StartProgram();
  for (UINT mouse : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK}) {
    ClickTray(p.main, mouse);
  }
  auto menu = Click(p, WM_RBUTTONUP);
  ASSERT_TRUE(menu);
  EXPECT_EQ(Captions(menu->entries), kCommandMenu);
  ASSERT_TRUE(CloseMenu(p, *menu));
  EXPECT_FALSE(MenuShown(p));
}

}  // namespace
}  // namespace e2e

// ------------------------------------------------------------ from the keyboard
namespace e2e {
namespace {

class MenuKeyboard : public MenuTest {
 protected:
  // Posts a tray event as the shell tells it in its fourth form (the program
  // asks for it after adding its icon): the event and the icon's id in
  // lParam, the icon's place in wParam; then reads the menu that opens.
  std::optional<OpenMenu> Tell(Running& r, UINT event) {
    PostMessageA(r.main, kTrayMessage, MAKEWPARAM(kIconAt.x, kIconAt.y), MAKELPARAM(event, kTrayId));
    OpenMenu menu;
    menu.window = reader_->WaitForMenu(r.process);
    if (menu.window == nullptr) return std::nullopt;
    // The first entry's selection comes with the menu loop's first key.
    WaitUntil([&] {
      auto entries = reader_->Read(menu.window);
      return entries && !entries->empty() && ((*entries)[0].state & MFS_HILITE);
    });
    auto entries = reader_->Read(menu.window);
    if (!entries) return std::nullopt;
    menu.entries = std::move(*entries);
    return menu;
  }
  size_t FocusRequests(HWND main) const {
    size_t n = 0;
    for (const TrayRequest& r : RequestsFrom(main)) n += r.message == NIM_SETFOCUS;
    return n;
  }
  static constexpr POINT kIconAt{1000, 750};
};

// Enter on the icon opens the desktop menu, the menu key the command menu:
// each at the icon with its first entry selected; Esc gives the focus back to
// the icon.
TEST_F(MenuKeyboard, KeySelectAndContextMenuOpenTheirMenusAtTheIcon) {
  Running& p = StartProgram();
  bool version4 = false;
  for (const TrayRequest& r : RequestsFrom(p.main)) version4 |= r.message == NIM_SETVERSION;
  EXPECT_TRUE(version4) << "the program did not ask for the fourth form";
  struct Way {
    UINT event;
    const char* firstEntry;
  };
  for (const Way way : {Way{NIN_KEYSELECT, "My Computer"}, Way{WM_CONTEXTMENU, "Program Help"}}) {
    auto menu = Tell(p, way.event);
    ASSERT_TRUE(menu) << "no menu for event " << way.event;
    ASSERT_FALSE(menu->entries.empty());
    EXPECT_EQ(menu->entries[0].caption, way.firstEntry);
    EXPECT_TRUE(menu->entries[0].state & MFS_HILITE) << way.firstEntry << " is not selected";
    RECT at{};
    GetWindowRect(menu->window, &at);
    // At the icon: the point on the menu's edge or close to it (the menu
    // moves to stay on the screen), not where the pointer is.
    const LONG dx = std::max({at.left - kIconAt.x, kIconAt.x - at.right, 0L});
    const LONG dy = std::max({at.top - kIconAt.y, kIconAt.y - at.bottom, 0L});
    POINT pointer{};
    GetCursorPos(&pointer);
    EXPECT_LE(dx + dy, 40) << "the menu opened at " << at.left << "," << at.top << " (pointer at " << pointer.x
                           << "," << pointer.y << ")";
    const size_t focusBefore = FocusRequests(p.main);
    ASSERT_TRUE(CloseMenu(p, *menu));
    EXPECT_TRUE(WaitUntil([&] { return FocusRequests(p.main) == focusBefore + 1; })) << "no NIM_SETFOCUS";
  }
}

// Typed letters select the entry whose name begins with them, a space
// inside a name among them; the menu stays open until Enter.
TEST_F(MenuKeyboard, TypedLettersSelectTheEntryTheyBegin) {
  for (const char* name : {"Alpha.txt", "Beta.txt", "Bravo.txt"}) ASSERT_FALSE(desktops_->AddFile(kUser, name).empty());
  Running& p = StartProgram();
  auto menu = Click(p, WM_LBUTTONUP);
  ASSERT_TRUE(menu);
  // The entry selected once the letters have been typed, as soon as it is
  // the one expected (or whatever it is after a second).
  const auto selectedAfter = [&](const char* typed, const std::string& expected) {
    for (const char* c = typed; *c != '\0'; ++c) PostMessageW(menu->window, WM_CHAR, WPARAM(*c), 1);
    std::string selected;
    WaitUntil(
        [&] {
          selected.clear();
          for (const MenuEntry& e : reader_->Read(menu->window).value_or(std::vector<MenuEntry>{})) {
            if (e.state & MFS_HILITE) selected = e.caption;
          }
          return selected == expected;
        },
        1000ms);
    return selected;
  };
  EXPECT_EQ(selectedAfter("br", "Bravo"), "Bravo");
  Sleep(1100);  // a pause: the next letter starts again
  EXPECT_EQ(selectedAfter("my d", "My Documents"), "My Documents");
  EXPECT_TRUE(MenuShown(p)) << "a typed letter closed the menu";
  ASSERT_TRUE(CloseMenu(p, *menu));
}

}  // namespace
}  // namespace e2e
