// The window procedure in front of the main window: which tray notifications
// pop a menu up and how, which do nothing, that the tray callback never
// reaches the window's own procedure, no nested menus, the hot key toggle, and
// messages for other windows passed on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/AutoHide.h"
#include "app/Program.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox {
namespace {

using platform::FakeForm;
using platform::FakePlatform;
using platform::WindowMessage;
using Texts = std::vector<std::string>;

constexpr std::uint32_t kTrayCallback = 1025;
constexpr platform::WParam kTrayIconId = 125;
constexpr char kUser[] = "C:\\Users\\me\\Desktop";

class WindowProcTest : public ::testing::Test {
 protected:
  WindowProcTest() {
    progman = os.AddWindow("Progman", "Program Manager", false);
    os.AddWindow("Shell_TrayWnd", "", true);
    os.SetSpecialFolder(FakePlatform::kCsidlDesktopDirectory, kUser);
    os.SetSpecialFolder(FakePlatform::kCsidlCommonDesktopDirectory, "C:\\Users\\Public\\Desktop");
    os.SetSpecialFolder(FakePlatform::kCsidlWindows, "C:\\WINDOWS");
    os.AddFile(std::string(kUser) + "\\Word.lnk");
  }

  void Start() {
    AutoHide::Main(program);
    main = os.FormByHandle(program.frmTamberlinox.Handle());
    ASSERT_NE(main, nullptr);
    os.ClearLogs();
  }

  void TearDown() override { EXPECT_EQ(os.Faults(), Texts{}); }

  platform::LResult Tray(platform::LParam mouseMessage) {
    return os.SendMessage(main->Handle(), kTrayCallback, kTrayIconId, mouseMessage);
  }

  // Messages of a kind that reached the main window's own procedure.
  std::vector<WindowMessage> ReachedOwnProcedure(std::uint32_t message) {
    std::vector<WindowMessage> found;
    for (const WindowMessage& each : os.DefaultHandled())
      if (each.message == message) found.push_back(each);
    return found;
  }

  FakePlatform os;
  Program program{os};
  FakeForm* main = nullptr;
  platform::WindowHandle progman = 0;
};

// ------------------------------------------------------------ tray clicks

struct ButtonCase {
  platform::LParam button;
  Texts firstEntries;  // of the menu it pops up
};

class TrayButtonTest : public WindowProcTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(TrayButtonTest, BuildsBringsTheWindowForwardAndPopsTheMenuUp) {
  Start();
  std::vector<platform::WindowHandle> foregroundWhileOpen;
  platform::WindowHandle foregroundWindow = 0;
  os.SetPopupChooser([&](const Texts&) {
    foregroundWhileOpen = os.ForegroundCalls();
    foregroundWindow = os.ForegroundWindow();
    return -1;
  });

  EXPECT_EQ(Tray(GetParam().button), 0);

  ASSERT_EQ(os.Popups().size(), 1u);
  const platform::PopupRecord& popup = os.Popups()[0];
  EXPECT_EQ(popup.window, main->Handle());
  EXPECT_EQ(popup.depth, 1);
  ASSERT_GE(popup.captions.size(), GetParam().firstEntries.size());
  EXPECT_TRUE(std::equal(GetParam().firstEntries.begin(), GetParam().firstEntries.end(), popup.captions.begin()));
  EXPECT_EQ(foregroundWhileOpen, std::vector<platform::WindowHandle>{main->Handle()});
  EXPECT_EQ(foregroundWindow, main->Handle());
  EXPECT_EQ(os.ForegroundCalls().size(), 1u);
  EXPECT_TRUE(ReachedOwnProcedure(kTrayCallback).empty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, TrayButtonTest,
                         ::testing::Values(ButtonCase{platform::kWmLButtonUp, {"My Computer", "My Documents"}},
                                           ButtonCase{platform::kWmRButtonUp, {"Program Help", "-"}}));

class OtherTrayNotificationTest : public WindowProcTest, public ::testing::WithParamInterface<platform::LParam> {};

TEST_P(OtherTrayNotificationTest, DoesNothingAndIsNotPassedOn) {
  Start();
  os.SetPopupChooser([](const Texts&) { return -1; });
  const std::vector<std::string> menuBefore = main->MenuCaptions();

  EXPECT_EQ(Tray(GetParam()), 0);

  EXPECT_TRUE(os.Popups().empty());
  EXPECT_TRUE(os.ForegroundCalls().empty());
  EXPECT_EQ(main->MenuCaptions(), menuBefore);
  EXPECT_EQ(main->ItemCount(TamberlinoxForm::List2), 0);  // no enumeration either
  EXPECT_FALSE(main->Visible());
  EXPECT_TRUE(os.DefaultHandled().empty());
}

INSTANTIATE_TEST_SUITE_P(Notifications, OtherTrayNotificationTest,
                         ::testing::Values(platform::kWmMouseMove, platform::kWmLButtonDown,
                                           platform::kWmLButtonDblClk, platform::kWmRButtonDown,
                                           platform::LParam{518} /* WM_RBUTTONDBLCLK */,
                                           platform::LParam{519} /* WM_MBUTTONDOWN */,
                                           platform::LParam{520} /* WM_MBUTTONUP */, platform::LParam{0}));

TEST_F(WindowProcTest, TrayCallbackNeverReachesTheWindowsOwnProcedure) {
  Start();
  os.SetPopupChooser([](const Texts&) { return -1; });
  for (platform::LParam each : {platform::kWmLButtonUp, platform::kWmRButtonUp, platform::kWmLButtonDblClk,
                                platform::kWmMouseMove})
    Tray(each);
  // A chosen entry's command does reach it: the menu's WM_COMMAND is passed on.
  os.SetPopupChooser([](const Texts& captions) {
    auto help = std::find(captions.begin(), captions.end(), "Program Help");
    return help == captions.end() ? -1 : static_cast<int>(help - captions.begin());
  });
  Tray(platform::kWmRButtonUp);

  EXPECT_TRUE(ReachedOwnProcedure(kTrayCallback).empty());
  EXPECT_EQ(os.ShellExecuteCalls().size(), 1u);
}

// ------------------------------------------------------------ no nesting

TEST_F(WindowProcTest, TrayClickWhileAMenuIsOpenIsIgnored) {
  Start();
  int opened = 0;
  os.SetPopupChooser([&](const Texts&) {
    if (++opened == 1) {
      EXPECT_TRUE(os.ClickTrayIcon(platform::kWmLButtonUp));
      EXPECT_TRUE(os.ClickTrayIcon(platform::kWmRButtonUp));
    }
    return -1;
  });

  ASSERT_TRUE(os.ClickTrayIcon(platform::kWmRButtonUp));

  EXPECT_EQ(opened, 1);
  ASSERT_EQ(os.Popups().size(), 1u);
  EXPECT_EQ(os.Popups()[0].captions.size(), 13u);  // left as it was built
  EXPECT_EQ(main->ItemCount(TamberlinoxForm::List2), 0);

  // Once it has closed, the next click opens a menu again.
  ASSERT_TRUE(os.ClickTrayIcon(platform::kWmLButtonUp));
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(os.Popups().size(), 2u);
}

TEST_F(WindowProcTest, TrayClickWhileTheChosenCommandRunsIsIgnored) {
  Start();
  os.SetPopupChooser([](const Texts& captions) {
    auto close = std::find(captions.begin(), captions.end(), "Close Program");
    return close == captions.end() ? -1 : static_cast<int>(close - captions.begin());
  });
  // The close question is up, the icon still there: the user clicks it.
  os.SetMessageBoxResponder([&](const platform::MessageBoxCall&) {
    EXPECT_TRUE(os.ClickTrayIcon(platform::kWmLButtonUp));
    return platform::kIdYes;
  });

  ASSERT_TRUE(os.ClickTrayIcon(platform::kWmRButtonUp));

  EXPECT_EQ(os.Popups().size(), 1u);
  EXPECT_EQ(os.MessageBoxes().size(), 1u);
}

// ------------------------------------------------------------ the hot key

TEST_F(WindowProcTest, HotKeyTogglesTheDesktopAndIsPassedOn) {
  Start();

  ASSERT_TRUE(os.PressHotKey(0, 121));
  EXPECT_TRUE(os.WindowVisible(progman));
  ASSERT_TRUE(os.PressHotKey(0, 121));
  EXPECT_FALSE(os.WindowVisible(progman));

  const std::vector<WindowMessage> passedOn = ReachedOwnProcedure(platform::kWmHotKey);
  ASSERT_EQ(passedOn.size(), 2u);
  EXPECT_EQ(passedOn[0].window, main->Handle());
  EXPECT_EQ(passedOn[0].wParam, platform::WParam(program.GlobalAtom->Value()));
  EXPECT_EQ(passedOn[0].lParam, platform::LParam(121 << 16));
}

TEST_F(WindowProcTest, HotKeyMessageTogglesWhateverItsIdentifier) {
  Start();
  os.SendMessage(main->Handle(), platform::kWmHotKey, 7, 0);
  EXPECT_TRUE(os.WindowVisible(progman));
  os.SendMessage(main->Handle(), platform::kWmHotKey, 0, 0);
  EXPECT_FALSE(os.WindowVisible(progman));
}

TEST_F(WindowProcTest, HotKeyWithoutADesktopWindowChangesNothing) {
  os.RemoveWindow(progman);
  Start();
  ASSERT_TRUE(os.PressHotKey(0, 121));
  EXPECT_TRUE(os.ShowWindowCalls().empty());
  EXPECT_EQ(ReachedOwnProcedure(platform::kWmHotKey).size(), 1u);
}

// Without a tray icon the window's own procedure was never saved; the hot key
// still works and its message still reaches that procedure.
TEST_F(WindowProcTest, WithoutATrayIconMessagesStillReachTheWindowsOwnProcedure) {
  os.SetShellAvailable(false);
  Start();
  ASSERT_EQ(program.PrevWndProc, 0u);
  ASSERT_TRUE(os.PressHotKey(0, 121));
  EXPECT_TRUE(os.WindowVisible(progman));
  EXPECT_EQ(ReachedOwnProcedure(platform::kWmHotKey).size(), 1u);
}

// ------------------------------------------------------ other messages

TEST_F(WindowProcTest, OtherMessagesArePassedOnUnchanged) {
  Start();
  constexpr std::uint32_t kWmSetText = 0x000C;
  EXPECT_EQ(os.SendMessage(main->Handle(), kWmSetText, 3, 4), 0);
  EXPECT_EQ(os.DefaultHandled(), (std::vector<WindowMessage>{{main->Handle(), kWmSetText, 3, 4}}));
}

// A message for another window goes on untouched, even one that looks like the
// tray callback or the hot key. (The fake runs a form's class procedure for the
// form that owns the class, so only the message and its parameters can be
// checked on the way through.)
TEST_F(WindowProcTest, MessageForAnotherWindowIsPassedOnUntouched) {
  Start();
  const platform::WindowHandle other = os.AddWindow("Notepad", "Untitled", true);
  os.SetPopupChooser([](const Texts&) { return -1; });

  os.CallWindowProcA(FakePlatform::kWindowProcAddress, other, kTrayCallback, kTrayIconId, platform::kWmLButtonUp);
  os.CallWindowProcA(FakePlatform::kWindowProcAddress, other, platform::kWmHotKey, 1, 0);

  EXPECT_TRUE(os.Popups().empty());
  EXPECT_FALSE(os.WindowVisible(progman));
  ASSERT_EQ(os.DefaultHandled().size(), 2u);
  EXPECT_EQ(os.DefaultHandled()[0].message, kTrayCallback);
  EXPECT_EQ(os.DefaultHandled()[0].wParam, kTrayIconId);
  EXPECT_EQ(os.DefaultHandled()[0].lParam, platform::kWmLButtonUp);
  EXPECT_EQ(os.DefaultHandled()[1].message, platform::kWmHotKey);
  EXPECT_EQ(os.DefaultHandled()[1].wParam, 1u);
}

}  // namespace
}  // namespace tamberlinox
