// The in-memory Windows itself: the system behaviour that the program's tests
// rely on, and the drivers that stand in for the user and the shell.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"

namespace tamberlinox::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;
constexpr Hive kUser = Hive::CurrentUser;

// Notes the events a window reports; a hook may act on each (e.g. destroy the window).
class Recorder : public WindowEvents, public MessageFilter {
 public:
  Texts events;
  std::function<void(const std::string&)> hook;
  bool filterHandles = false;

  void OnClick(int id) override { Note("click " + std::to_string(id)); }
  void OnMouseMove(int id) override { Note("move " + std::to_string(id)); }
  void OnTimer(int id) override { Note("timer " + std::to_string(id)); }
  void OnClose() override { Note("close"); }
  void OnTaskbarCreated() override { Note("taskbar"); }
  bool OnMessage(std::uint32_t message, WParam wParam, LParam lParam, LResult& result) override {
    Note("message " + std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam));
    result = 7;
    return filterHandles;
  }

 private:
  void Note(const std::string& event) {
    events.push_back(event);
    if (hook) hook(event);
  }
};

ControlSpec MakeControl(int id, ControlKind kind, const std::string& text = "") {
  ControlSpec control;
  control.id = id;
  control.kind = kind;
  control.text = text;
  return control;
}

WindowSpec TestSpec() {
  WindowSpec spec;
  spec.caption = "Test";
  spec.controls = {MakeControl(1, ControlKind::Button, "OK"), MakeControl(2, ControlKind::CheckBox),
                   MakeControl(3, ControlKind::Label, "link"), MakeControl(4, ControlKind::Label),
                   MakeControl(5, ControlKind::ComboBox)};
  spec.controls[0].cancel = true;
  spec.controls[2].notifyMouse = true;
  spec.controls[3].visible = false;
  spec.controls[4].foreColour = Colour::System(kColorWindowFrame);
  return spec;
}

class FakePlatformTest : public ::testing::Test {
 protected:
  FakeWindow& Open() {
    window = os.OpenWindow(TestSpec(), recorder);
    window->Show();
    return *os.WindowByCaption("Test");
  }

  FakePlatform os;
  Recorder recorder;
  std::unique_ptr<Window> window;
};

// ================================================================ registry

TEST_F(FakePlatformTest, RegistryWritesCreateTheWholePathAndCompareWithoutCase) {
  EXPECT_EQ(os.WriteRegistryText(kUser, "Software\\Maker\\Program", "Key", "121"), kErrorSuccess);
  EXPECT_TRUE(os.registry.KeyExists(kUser, "SOFTWARE\\maker"));
  EXPECT_EQ(os.registry.Text(kUser, "software\\MAKER\\program", "KEY"), "121");
  EXPECT_EQ(os.registry.Bytes(kUser, "Software\\Maker\\Program", "Key"), (Bytes{'1', '2', '1', 0}));

  std::optional<std::string> text;
  EXPECT_EQ(os.ReadRegistryText(kUser, "Software\\Maker\\Program", "Key", text), kErrorSuccess);
  EXPECT_EQ(text, "121");
  EXPECT_EQ(os.ReadRegistryText(kUser, "Software\\Maker\\Program", "Other", text), kErrorFileNotFound);
  EXPECT_EQ(os.ReadRegistryText(kUser, "Software\\Nobody", "Key", text), kErrorFileNotFound);
  EXPECT_EQ(text, std::nullopt);
}

TEST_F(FakePlatformTest, RegistryReadsFollowTheSizeRules) {
  os.registry.SetText(kUser, "K", "Empty", "");
  os.registry.SetBytes(kUser, "K", "Long", kRegDword, {1, 2, 3, 4});
  std::optional<std::string> text = "old";
  EXPECT_EQ(os.ReadRegistryText(kUser, "K", "Empty", text), kErrorSuccess);
  EXPECT_EQ(text, std::nullopt);  // zero bytes

  Bytes data;
  EXPECT_EQ(os.ReadRegistryBytes(kUser, "K", "Long", 2, data), kErrorMoreData);
  EXPECT_EQ(os.ReadRegistryBytes(kUser, "K", "Long", 4, data), kErrorSuccess);
  EXPECT_EQ(data, (Bytes{1, 2, 3, 4}));
}

TEST_F(FakePlatformTest, RegistryFailuresApplyAtAndBelowTheirKey) {
  os.registry.DenyWrites(Hive::LocalMachine);
  os.registry.FailReads(kUser, "Software\\Maker", 13);
  EXPECT_EQ(os.WriteRegistryText(Hive::LocalMachine, "Software\\X", "A", "1"), kErrorAccessDenied);
  EXPECT_FALSE(os.registry.KeyExists(Hive::LocalMachine, "Software"));

  os.registry.SetText(kUser, "Software\\Maker\\Program", "A", "1");
  std::optional<std::string> text;
  EXPECT_EQ(os.ReadRegistryText(kUser, "software\\maker\\program", "A", text), 13);
  EXPECT_EQ(os.ReadRegistryText(kUser, "Software\\MakerTwo", "A", text), kErrorFileNotFound);
}

TEST_F(FakePlatformTest, DeletingAKeyTakesOnlyALeafKeyWithItsValues) {
  os.registry.SetText(kUser, "Software\\Maker\\Program", "Key", "121");
  EXPECT_EQ(os.DeleteRegistryKey(kUser, "Software\\Maker"), kErrorAccessDenied);  // it has a sub-key
  EXPECT_EQ(os.DeleteRegistryKey(kUser, "software\\maker\\PROGRAM"), kErrorSuccess);
  EXPECT_FALSE(os.registry.KeyExists(kUser, "Software\\Maker\\Program"));
  EXPECT_TRUE(os.registry.KeyExists(kUser, "Software\\Maker"));
  EXPECT_EQ(os.DeleteRegistryKey(kUser, "Software\\Maker\\Program"), kErrorFileNotFound);
  EXPECT_EQ(os.DeleteRegistryValue(kUser, "Software\\Maker", "Key"), kErrorFileNotFound);
}

// ============================================================ INI and files

TEST_F(FakePlatformTest, IniReadsAreCappedAndWrittenFilesExist) {
  EXPECT_FALSE(os.IsOrdinaryFile("C:\\Data\\t.ini"));
  EXPECT_EQ(os.WriteIniText("C:\\Data\\t.ini", "Sect", "Entry", std::string(300, 'x')), kErrorSuccess);
  EXPECT_EQ(os.ReadIniText("c:\\data\\T.INI", "sect", "ENTRY", "d"), std::string(254, 'x'));
  EXPECT_EQ(os.ReadIniText("C:\\Data\\t.ini", "Sect", "Missing", "d"), "d");
  EXPECT_TRUE(os.IsOrdinaryFile("C:\\Data\\t.ini"));

  os.WriteIniText("bare.ini", "S", "E", "v");  // a bare name lives in the Windows folder
  EXPECT_EQ(os.iniFiles["C:\\Windows\\bare.ini"]["S"]["E"], "v");
  os.iniWriteFailure = kErrorAccessDenied;
  EXPECT_EQ(os.WriteIniText("C:\\Data\\t.ini", "Sect", "Entry", "y"), kErrorAccessDenied);
}

TEST_F(FakePlatformTest, FoldersListDotsFirstAndFilesKeepTheirAttributes) {
  os.Folder("C:\\Desk\\") = {{"b.lnk", 0}, {"a.txt", kFileAttributeHidden}, {"Sub", kFileAttributeDirectory}};
  std::vector<FolderEntry> entries = os.ListFolder("c:\\desk");
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].name, ".");
  EXPECT_EQ(entries[1].attributes, kFileAttributeDirectory);
  EXPECT_EQ(entries[2].name, "b.lnk");
  EXPECT_TRUE(os.ListFolder("C:\\Missing").empty());

  EXPECT_TRUE(os.IsOrdinaryFile("C:\\Desk\\B.LNK"));
  EXPECT_FALSE(os.IsOrdinaryFile("C:\\Desk\\a.txt"));
  EXPECT_FALSE(os.IsOrdinaryFile("C:\\Desk\\Sub"));
  EXPECT_FALSE(os.IsOrdinaryFile("C:\\Desk\\*.lnk"));
  os.currentFolder = "C:\\Desk";
  EXPECT_TRUE(os.IsOrdinaryFile("b.lnk"));
  EXPECT_EQ(os.FullPath("Sub\\..\\x.ini"), "C:\\Desk\\x.ini");
  EXPECT_EQ(os.FullPath("\\Top"), "C:\\Top");
  EXPECT_EQ(os.FullPath("D:\\a\\.\\b\\"), "D:\\a\\b\\");
}

TEST_F(FakePlatformTest, SortedOrderIgnoresCaseAndKeepsEqualTextsInOrder) {
  EXPECT_EQ(os.SortedOrder({"b", "A", "a", "", "\xC3\xA9", "B"}), (std::vector<std::size_t>{3, 1, 2, 0, 5, 4}));
}

TEST_F(FakePlatformTest, ShellFoldersAndTheScriptHostCanBeUnknown) {
  EXPECT_EQ(os.SpecialFolderPath(SpecialFolder::CommonDesktop), "C:\\Users\\Public\\Desktop");
  os.specialFolders[SpecialFolder::Desktop] = "";
  EXPECT_EQ(os.SpecialFolderPath(SpecialFolder::Desktop), "");
  EXPECT_EQ(os.ScriptHostSpecialFolder("allusersdesktop"), "C:\\Users\\Public\\Desktop");
  os.scriptHost = false;
  EXPECT_EQ(os.ScriptHostSpecialFolder("AllUsersDesktop"), "");
}

// ===================================================== other windows, atoms

TEST_F(FakePlatformTest, OtherWindowsAreFoundNewestFirstAndShownOrHidden) {
  WindowHandle old = os.AddOtherWindow("Shell_TrayWnd", "");
  WindowHandle progman = os.AddOtherWindow("Progman", "Program Manager");
  WindowHandle newer = os.AddOtherWindow("Shell_TrayWnd", "");
  EXPECT_EQ(os.FindTopLevelWindow("Progman", "Program Manager"), progman);
  EXPECT_EQ(os.FindTopLevelWindow("Progman", "Other"), 0u);
  EXPECT_EQ(os.FindTopLevelWindow("Shell_TrayWnd", std::nullopt), newer);

  os.ShowWindow(progman, false);
  EXPECT_FALSE(os.IsWindowVisible(progman));
  os.PostWindowMessage(old, kWmCommand, 419, 0);
  EXPECT_EQ(os.OtherWindowAt(old)->Commands(), std::vector<WParam>{419});

  // Children are found under their parent and are visible only with it.
  WindowHandle view = os.AddOtherWindow("SHELLDLL_DefView", "", true, progman);
  EXPECT_EQ(os.FindChildWindow(progman, "SHELLDLL_DefView", std::nullopt), view);
  EXPECT_EQ(os.FindTopLevelWindow("SHELLDLL_DefView", std::nullopt), 0u);
  EXPECT_FALSE(os.IsWindowVisible(view));
  os.ShowWindow(progman, true);
  EXPECT_TRUE(os.IsWindowVisible(view));
  os.RemoveOtherWindow(newer);
  EXPECT_EQ(os.FindTopLevelWindow("Shell_TrayWnd", std::nullopt), old);
}

TEST_F(FakePlatformTest, AtomsCountTheirReferences) {
  GlobalAtom first = os.AddGlobalAtom("07/12/2026 10:00:00");
  {
    GlobalAtom same = os.AddGlobalAtom("07/12/2026 10:00:00");
    EXPECT_EQ(same.Value(), first.Value());
    EXPECT_EQ(os.atoms[first.Value()].references, 2);
  }
  EXPECT_EQ(os.FindAtom("07/12/2026 10:00:00"), first.Value());
  first = GlobalAtom();
  EXPECT_TRUE(os.atoms.empty());
  os.failAtomAdds = true;
  EXPECT_EQ(os.AddGlobalAtom("x").Value(), 0);
}

TEST_F(FakePlatformTest, HotKeysAreHeldOnceAndPressedThroughTheWindowsProcedure) {
  FakeWindow& w = Open();
  os.HoldHotKeyElsewhere(2, 0x79);
  EXPECT_FALSE(os.RegisterHotKey(w.handle, 5, 2, 0x79));  // another program holds Ctrl+F10
  EXPECT_TRUE(os.RegisterHotKey(w.handle, 5, 0, 0x79));
  EXPECT_FALSE(os.RegisterHotKey(w.handle, 6, 0, 0x79));  // taken by the window itself
  w.Subclass(recorder);
  EXPECT_TRUE(os.PressHotKey(0, 0x79));
  EXPECT_EQ(recorder.events, Texts{"message 786 5 7929856"});  // WM_HOTKEY, id 5, F10 << 16
  EXPECT_FALSE(os.PressHotKey(0, 0x7A));

  window.reset();
  EXPECT_TRUE(os.hotKeys.empty());
  EXPECT_TRUE(os.Windows().empty());
}

// ================================================================= the user

TEST_F(FakePlatformTest, MessageBoxesAnswerTheFirstButtonUnlessScripted) {
  EXPECT_EQ(os.ShowMessage("Keep?", "Title", kMbYesNo | kMbIconQuestion), kIdYes);
  os.AnswerBox(kIdNo);
  os.AnswerBoxWith([this](const ShownBox& box) {
    EXPECT_EQ(box.text, "Second");
    return os.ShowMessage("Inner", "", kMbOk) == kIdOk ? kIdNo : kIdYes;  // a box while the box is up
  });
  EXPECT_EQ(os.ShowMessage("First", "", kMbYesNo), kIdNo);
  EXPECT_EQ(os.ShowMessage("Second", "", kMbYesNo), kIdNo);
  ASSERT_EQ(os.boxes.size(), 4u);
  EXPECT_EQ(os.boxes[0].answer, kIdYes);
  EXPECT_EQ(os.boxes[3].text, "Inner");
  EXPECT_EQ(os.boxes[3].answer, kIdOk);
}

TEST_F(FakePlatformTest, TheBrowserAnswersWhenLookedAtUnlessItHangs) {
  using State = WebBrowser::CallState;
  os.browser.readyStates = {1, std::nullopt, 4};
  {
    std::unique_ptr<WebBrowser> browser = os.CreateWebBrowser();
    EXPECT_EQ(browser->LastCall().state, State::Done);  // nothing asked yet
    EXPECT_TRUE(browser->Open("http://example.org/"));
    EXPECT_FALSE(browser->ReadReadyState());  // one call at a time
    EXPECT_EQ(browser->LastCall().state, State::Done);
    EXPECT_EQ(os.browser.created, 1);
    for (auto expected : {std::optional<std::int32_t>{1}, std::optional<std::int32_t>{}, std::optional<std::int32_t>{4},
                          std::optional<std::int32_t>{4}}) {
      EXPECT_TRUE(browser->ReadReadyState());
      const WebBrowser::Outcome read = browser->LastCall();
      EXPECT_EQ(read.state, expected ? State::Done : State::Failed);
      if (expected) {
        EXPECT_EQ(read.readyState, *expected);
      }
    }
    os.browser.hangs = true;
    EXPECT_TRUE(browser->Show());
    EXPECT_EQ(browser->LastCall().state, State::Pending);
    EXPECT_FALSE(os.browser.visible);
    os.browser.hangs = false;
    EXPECT_EQ(browser->LastCall().state, State::Done);
    EXPECT_EQ(os.browser.live, 1);
  }
  EXPECT_EQ(os.browser.live, 0);
  EXPECT_EQ(os.browser.navigated, Texts{"http://example.org/"});
  EXPECT_EQ(os.browser.readyStateReads, 4);
  EXPECT_TRUE(os.browser.visible);

  // Let go with a call under way: it is still made, unless the browser hangs.
  os.CreateWebBrowser()->Open("http://example.org/2");
  EXPECT_EQ(os.browser.navigated.back(), "http://example.org/2");
  os.browser.hangs = true;
  os.CreateWebBrowser()->Open("http://example.org/3");
  EXPECT_EQ(os.browser.abandonedCalls, 1);
  os.browser.hangs = false;
  EXPECT_EQ(os.browser.navigated.size(), 2u);
  os.browser.failThread = true;
  EXPECT_EQ(os.CreateWebBrowser(), nullptr);
}

// ================================================================ windows

TEST_F(FakePlatformTest, WindowsStartFromTheirSpec) {
  FakeWindow& w = Open();
  EXPECT_EQ(w.Text(1), "OK");
  EXPECT_FALSE(w.IsVisible(4));
  EXPECT_EQ(w.ForeColour(5), Colour::System(kColorWindowFrame));
  w.AddItems(5, {"F1", "F2"});
  EXPECT_EQ(w.Items(5), (Texts{"F1", "F2"}));
  w.SetCaption("Renamed");
  EXPECT_EQ(os.WindowByCaption("Renamed"), &w);
  EXPECT_EQ(os.WindowByCaption("Test"), nullptr);
}

TEST_F(FakePlatformTest, ClicksReachOnlyControlsTheUserCanClick) {
  FakeWindow& w = Open();
  EXPECT_TRUE(w.Click(2));
  EXPECT_TRUE(w.Checked(2));  // a check box toggles before the event
  EXPECT_TRUE(w.Click(3));
  EXPECT_FALSE(w.Click(4));   // hidden
  EXPECT_FALSE(w.Click(99));  // no such control
  EXPECT_TRUE(w.MoveMouse(0));
  w.PressEsc();  // the cancel button
  w.Hide();
  EXPECT_FALSE(w.Click(1));
  EXPECT_EQ(recorder.events, (Texts{"click 2", "click 3", "move 0", "click 1"}));
}

TEST_F(FakePlatformTest, OnlyRunningTimersFire) {
  FakeWindow& w = Open();
  EXPECT_FALSE(w.FireTimer(1));
  w.StartTimer(1, 500);
  EXPECT_TRUE(w.FireTimer(1));
  w.StopTimer(1);
  EXPECT_FALSE(w.FireTimer(1));
  EXPECT_EQ(w.timers[1].intervalMs, 500u);
  EXPECT_EQ(recorder.events, Texts{"timer 1"});
}

TEST_F(FakePlatformTest, TheFilterSeesMessagesBeforeTheWindow) {
  FakeWindow& w = Open();
  w.Subclass(recorder);
  EXPECT_TRUE(w.Subclassed());
  EXPECT_EQ(w.Send(0x400, 1, 2), 0);
  w.Close();
  recorder.filterHandles = true;
  EXPECT_EQ(w.Send(0x400, 3, 4), 7);
  w.Close();
  w.Unsubclass();
  w.Close();
  EXPECT_EQ(recorder.events,
            (Texts{"message 1024 1 2", "message 16 0 0", "close", "message 1024 3 4", "message 16 0 0", "close"}));
}

TEST_F(FakePlatformTest, TheTrayIconComesBackOnlyWhenAddedAgain) {
  FakeWindow& w = Open();
  os.trayAddFailures = 1;
  EXPECT_FALSE(w.AddTrayIcon(125, 1025, "Tip"));
  EXPECT_FALSE(w.TrayClick(kWmLButtonUp));
  EXPECT_TRUE(w.AddTrayIcon(125, 1025, "Tip"));
  EXPECT_FALSE(w.AddTrayIcon(125, 1025, "Tip"));
  w.Subclass(recorder);
  EXPECT_TRUE(w.TrayClick(kWmRButtonUp));
  w.TaskbarCreated();
  EXPECT_FALSE(w.tray.added);
  EXPECT_EQ(recorder.events, (Texts{"message 1025 125 517", "message 49319 0 0", "taskbar"}));
  EXPECT_FALSE(w.RemoveTrayIcon(125));
}

TEST_F(FakePlatformTest, PopupMenusTakeTheScriptedChoicesAndRefuseASecondMenu) {
  FakeWindow& w = Open();
  const std::vector<MenuEntry> menu{{1, "Show"}, {0, "", true}, {2, "Close"}};
  EXPECT_EQ(w.PopupMenu(menu), 0);  // nothing scripted: Esc
  os.ChooseMenuEntry("Close");
  EXPECT_EQ(w.PopupMenu(menu), 2);
  os.ChooseMenuEntryWith([&](const std::vector<MenuEntry>&) { return w.PopupMenu({{9, "Other"}}) == 0 ? 1 : 2; });
  EXPECT_EQ(w.PopupMenu(menu), 1);
  EXPECT_EQ(w.menusShown, 3);
  EXPECT_EQ(w.LastMenuCaptions(), (Texts{"Show", "-", "Close"}));
}

TEST_F(FakePlatformTest, AWindowMayBeDestroyedByItsOwnEvent) {
  FakeWindow& w = Open();
  w.StartTimer(1, 10);
  recorder.hook = [this](const std::string&) { window.reset(); };
  EXPECT_TRUE(w.FireTimer(1));
  EXPECT_TRUE(os.Windows().empty());
}

}  // namespace
}  // namespace tamberlinox::platform
