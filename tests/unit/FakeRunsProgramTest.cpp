// The fake system carries the whole program through one run: start-up, the
// hot key, both tray menus and "Close Program" answered No. It shows that the
// fake and the program agree on every call they make to each other.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AutoHide.h"
#include "app/Program.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox {
namespace {

using platform::FakePlatform;

TEST(FakeRunsProgramTest, StartUseAndCloseLeaveNothingBehind) {
  FakePlatform os;
  os.SetProgramFolder("C:\\Tools\\Tamberlinox");
  const platform::WindowHandle progman = os.AddWindow("Progman", "Program Manager", true);
  const platform::WindowHandle taskbar = os.AddWindow("Shell_TrayWnd", "", true);
  os.SetSpecialFolder(FakePlatform::kCsidlDesktopDirectory, "C:\\Users\\me\\Desktop");
  os.SetSpecialFolder(FakePlatform::kCsidlCommonDesktopDirectory, "C:\\Users\\Public\\Desktop");
  os.SetSpecialFolder(FakePlatform::kCsidlWindows, "C:\\WINDOWS");
  os.AddFile("C:\\Users\\me\\Desktop\\Word.lnk");
  os.AddFolder("C:\\Users\\me\\Desktop\\Projects");
  os.AddFile("C:\\Users\\Public\\Desktop\\Mail.lnk");

  {
    Program program(os);
    AutoHide::Main(program);

    const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::string settings = "Software\\Zemrik Software\\Tamberlinox";
    EXPECT_EQ(os.RegistryString(platform::kHkeyLocalMachine, run, "Tamberlinox"),
              "C:\\Tools\\Tamberlinox\\Tamberlinox.exe");
    EXPECT_EQ(os.RegistryString(platform::kHkeyCurrentUser, settings, "Key"), "121");
    ASSERT_EQ(os.TrayIcons().size(), 1u);
    EXPECT_EQ(os.TrayIcons()[0].szTip, "Zemrik Tamberlinox");
    EXPECT_FALSE(os.WindowVisible(progman));
    platform::FakeForm* main = os.FormByCaption("Zemrik Program");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(os.CurrentWndProc(main->Handle()), FakePlatform::kWindowProcAddress);
    ASSERT_EQ(os.HotKeys().size(), 1u);
    EXPECT_EQ(os.HotKeys()[0].key, 121);

    EXPECT_TRUE(os.PressHotKey(0, 121));
    EXPECT_TRUE(os.WindowVisible(progman));

    std::vector<std::vector<std::string>> shown;
    auto choose = [&](const std::string& caption) {
      os.SetPopupChooser([&shown, caption](const std::vector<std::string>& captions) {
        shown.push_back(captions);
        for (std::size_t i = 0; i < captions.size(); ++i)
          if (captions[i] == caption) return int(i);
        return -1;
      });
    };
    choose("Word");
    EXPECT_TRUE(os.ClickTrayIcon(platform::kWmLButtonUp));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], (std::vector<std::string>{"Mail", "My Computer", "My Documents", "Recycle Bin", "Word"}));
    ASSERT_EQ(os.ShellExecuteCalls().size(), 1u);
    EXPECT_EQ(os.ShellExecuteCalls()[0].file, "C:\\Users\\me\\Desktop\\Word.lnk");

    choose("Minimize All Windows");
    EXPECT_TRUE(os.ClickTrayIcon(platform::kWmRButtonUp));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].size(), 13u);
    EXPECT_EQ(shown[1][6], "Hide Desktop");
    EXPECT_EQ(os.PostedMessages(), (std::vector<platform::WindowMessage>{{taskbar, platform::kWmCommand, 419, 0}}));

    os.SetMessageBoxResponder([](const platform::MessageBoxCall&) { return platform::kIdNo; });
    choose("Close Program");
    EXPECT_TRUE(os.ClickTrayIcon(platform::kWmRButtonUp));
    EXPECT_EQ(shown[2][4], "Restore All Windows");
    EXPECT_TRUE(os.TrayIcons().empty());
    EXPECT_TRUE(os.WindowVisible(progman));
    EXPECT_FALSE(os.RegistryValue(platform::kHkeyLocalMachine, run, "Tamberlinox"));
    EXPECT_FALSE(os.KeyExists(platform::kHkeyCurrentUser, settings));
    EXPECT_TRUE(os.KeyExists(platform::kHkeyCurrentUser, "Software\\Zemrik Software"));

    EXPECT_TRUE(os.FireTimer(*main, TamberlinoxForm::Timer1));
    EXPECT_EQ(os.LiveForms(), 0u);
    EXPECT_TRUE(os.HotKeys().empty());
  }
  EXPECT_EQ(os.OpenRegistryKeys(), 0u);
  EXPECT_EQ(os.OpenFindHandles(), 0u);
  EXPECT_EQ(os.LiveItemIdLists(), 0u);
  EXPECT_EQ(os.LiveScriptShells(), 0u);
  EXPECT_EQ(os.LiveAtoms(), 0u);
  EXPECT_EQ(os.Faults(), std::vector<std::string>{});
}

}  // namespace
}  // namespace tamberlinox
