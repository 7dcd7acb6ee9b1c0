// The two tray menus as the user sees them: the command menu entry by entry in
// every state of the program and the desktop, the desktop menu from the
// sorted list, and the item array cleared to element 0 before every build.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AutoHide.h"
#include "app/Program.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox {
namespace {

using platform::FakeForm;
using platform::FakePlatform;
using platform::kWmLButtonUp;
using platform::kWmRButtonUp;
using Texts = std::vector<std::string>;

constexpr char kUser[] = "C:\\Users\\me\\Desktop";
constexpr char kCommon[] = "C:\\Users\\Public\\Desktop";

enum class DesktopWindow { Visible, Hidden, Absent };

class MenuTest : public ::testing::Test {
 protected:
  // The desktop window is set up before start-up, so that "absent" means the
  // program never saw one.
  void Start(DesktopWindow desktop = DesktopWindow::Hidden) {
    if (desktop != DesktopWindow::Absent) progman = os.AddWindow("Progman", "Program Manager", true);
    os.AddWindow("Shell_TrayWnd", "", true);
    os.SetSpecialFolder(FakePlatform::kCsidlDesktopDirectory, kUser);
    os.SetSpecialFolder(FakePlatform::kCsidlCommonDesktopDirectory, kCommon);
    os.SetSpecialFolder(FakePlatform::kCsidlWindows, "C:\\WINDOWS");
    os.AddFolder(kUser);
    os.AddFolder(kCommon);
    AutoHide::Main(program);  // hides the desktop window
    if (desktop == DesktopWindow::Visible) os.SetWindowVisible(progman, true);
    main = os.FormByHandle(program.frmTamberlinox.Handle());
    ASSERT_NE(main, nullptr);
  }

  void TearDown() override { EXPECT_EQ(os.Faults(), Texts{}); }

  // Clicks the tray icon, closes the menu without a choice and returns what it showed.
  Texts Popup(std::uint32_t button) {
    os.SetPopupChooser([](const Texts&) { return -1; });
    const std::size_t before = os.Popups().size();
    EXPECT_TRUE(os.ClickTrayIcon(button));
    if (os.Popups().size() != before + 1) {
      ADD_FAILURE() << "no popup menu";
      return {};
    }
    return os.Popups().back().captions;
  }

  FakePlatform os;
  Program program{os};
  FakeForm* main = nullptr;
  platform::WindowHandle progman = 0;
};

// ------------------------------------------------------------ command menu

Texts CommandMenu(const std::string& taskbarEntry, const std::string& desktopEntry, const std::string& about) {
  return {"Program Help", "-", "Make A Donation", "-", taskbarEntry, "-", desktopEntry,
          "-", "Select Hot Key", "-", "Close Program", "-", about};
}

struct CommandState {
  bool windowsMinimized;
  DesktopWindow desktop;
  Texts expected;
};

class CommandMenuTest : public MenuTest, public ::testing::WithParamInterface<CommandState> {};

TEST_P(CommandMenuTest, ShowsThirteenEntriesThatFollowTheState) {
  Start(GetParam().desktop);
  program.WindowsMinimized = GetParam().windowsMinimized;

  const Texts shown = Popup(kWmRButtonUp);

  EXPECT_EQ(shown, GetParam().expected);
  EXPECT_EQ(main->MenuCaptions(), GetParam().expected);
  EXPECT_EQ(os.Popups().back().window, main->Handle());
}

INSTANTIATE_TEST_SUITE_P(
    States, CommandMenuTest,
    ::testing::Values(
        CommandState{false, DesktopWindow::Hidden,
                     CommandMenu("Minimize All Windows", "Show Desktop", "About----Version 5.1")},
        CommandState{false, DesktopWindow::Visible,
                     CommandMenu("Minimize All Windows", "Hide Desktop", "About----Version 5.1")},
        CommandState{false, DesktopWindow::Absent,
                     CommandMenu("Minimize All Windows", "Show Desktop", "About----Version 5.1")},
        CommandState{true, DesktopWindow::Hidden,
                     CommandMenu("Restore All Windows", "Show Desktop", "About----Version 5.1")},
        CommandState{true, DesktopWindow::Visible,
                     CommandMenu("Restore All Windows", "Hide Desktop", "About----Version 5.1")},
        CommandState{true, DesktopWindow::Absent,
                     CommandMenu("Restore All Windows", "Show Desktop", "About----Version 5.1")}));

struct VersionCase {
  int major, minor;
  std::string caption;
};

class AboutEntryTest : public MenuTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(AboutEntryTest, CarriesTheVersionOfTheVersionResource) {
  os.SetProgramVersion(GetParam().major, GetParam().minor);
  Start();

  const Texts shown = Popup(kWmRButtonUp);

  ASSERT_EQ(shown.size(), 13u);
  EXPECT_EQ(shown[12], GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(Versions, AboutEntryTest,
                         ::testing::Values(VersionCase{5, 1, "About----Version 5.1"},
                                           VersionCase{0, 0, "About----Version 0.0"},
                                           VersionCase{5, 10, "About----Version 5.10"},
                                           VersionCase{12, 3, "About----Version 12.3"}));

TEST_F(MenuTest, DesktopEntryFollowsTheDesktopWindowAtEachShowing) {
  Start();
  EXPECT_EQ(Popup(kWmRButtonUp)[6], "Show Desktop");
  ASSERT_TRUE(os.PressHotKey(0, 121));
  EXPECT_EQ(Popup(kWmRButtonUp)[6], "Hide Desktop");
  os.SetWindowVisible(progman, false);  // hidden by someone else
  EXPECT_EQ(Popup(kWmRButtonUp)[6], "Show Desktop");
}

TEST_F(MenuTest, CommandMenuLeavesTheDesktopListsAlone) {
  Start();
  os.AddFile(std::string(kUser) + "\\Word.lnk");
  Popup(kWmLButtonUp);
  os.AddFile(std::string(kUser) + "\\Mail.lnk");

  Popup(kWmRButtonUp);

  EXPECT_EQ(main->Items(TamberlinoxForm::List2), Texts{"Word"});
}

// ------------------------------------------------------------ desktop menu

TEST_F(MenuTest, DesktopMenuShowsTheSortedItemsAndTheShellPlaces) {
  Start();
  os.AddFile(std::string(kUser) + "\\Word.lnk");
  os.AddFile(std::string(kCommon) + "\\Mail.lnk");

  EXPECT_EQ(Popup(kWmLButtonUp), (Texts{"Mail", "My Computer", "My Documents", "Recycle Bin", "Word"}));
}

TEST_F(MenuTest, EmptyDesktopMenuShowsTheThreeShellPlaces) {
  Start();
  EXPECT_EQ(Popup(kWmLButtonUp), (Texts{"My Computer", "My Documents", "Recycle Bin"}));
}

// "0" and short names are ordinary entries: they neither end the menu nor
// leave element 0 with an earlier caption.
TEST_F(MenuTest, DesktopMenuShowsEveryItemWhateverItsText) {
  Start();
  os.AddFile(std::string(kUser) + "\\Zed.lnk");
  os.AddFile(std::string(kUser) + "\\0.lnk");
  os.AddFile(std::string(kCommon) + "\\a.bc");
  os.AddFile(std::string(kCommon) + "\\0");

  EXPECT_EQ(Popup(kWmLButtonUp),
            (Texts{"0", "0", "a.bc", "My Computer", "My Documents", "Recycle Bin", "Zed"}));
}

TEST_F(MenuTest, DesktopMenuShowsEveryOneOfManyItems) {
  Start();
  Texts expected;
  for (char c = 'A'; c <= 'Z'; ++c) {
    for (int n = 0; n < 4; ++n) {
      const std::string name = std::string(1, c) + std::to_string(n);
      os.AddFile(std::string(n % 2 ? kUser : kCommon) + "\\" + name + ".lnk");
      expected.push_back(name);
    }
  }
  expected.insert(expected.begin() + 13 * 4, {"My Computer", "My Documents"});  // after M3
  expected.insert(expected.begin() + 18 * 4 + 2, "Recycle Bin");                  // after R3

  EXPECT_EQ(Popup(kWmLButtonUp), expected);
}

TEST_F(MenuTest, BuildersKeepTheMainWindowAboveTheScreenWhileTheMenuIsOpen) {
  Start();
  for (std::uint32_t button : {kWmLButtonUp, kWmRButtonUp}) {
    int top = 0;
    os.SetPopupChooser([&](const Texts&) {
      top = main->Top();
      return -1;
    });
    ASSERT_TRUE(os.ClickTrayIcon(button));
    EXPECT_EQ(top, -10000) << button;
    EXPECT_EQ(main->Width(), 10);
    EXPECT_EQ(main->Height(), 10);
  }
}

// ------------------------------------------------ clearing between builds

TEST_F(MenuTest, EachBuildStartsFromElementZeroAlone) {
  Start();
  for (const char* name : {"One.lnk", "Two.lnk", "Three.lnk", "Four.lnk", "Five.lnk"})
    os.AddFile(std::string(kUser) + "\\" + name);

  EXPECT_EQ(Popup(kWmLButtonUp),
            (Texts{"Five", "Four", "My Computer", "My Documents", "One", "Recycle Bin", "Three", "Two"}));
  EXPECT_EQ(Popup(kWmRButtonUp).size(), 13u);
  EXPECT_EQ(Popup(kWmRButtonUp).size(), 13u);

  os.RemoveFile(kUser);
  os.AddFolder(kUser);
  EXPECT_EQ(Popup(kWmLButtonUp), (Texts{"My Computer", "My Documents", "Recycle Bin"}));
  EXPECT_EQ(main->MenuCaptions(), (Texts{"My Computer", "My Documents", "Recycle Bin"}));
  EXPECT_EQ(main->MenuCount(), 3);

  EXPECT_EQ(Popup(kWmRButtonUp)[0], "Program Help");
  EXPECT_EQ(Popup(kWmLButtonUp)[0], "My Computer");
}

}  // namespace
}  // namespace tamberlinox
