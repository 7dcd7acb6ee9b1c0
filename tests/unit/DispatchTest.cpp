// What a chosen tray menu entry does. The command menu dispatches by caption;
// a desktop menu entry only ever opens its own item or one of the three shell
// places, whatever it is called. Every ShellExecuteA call is checked argument
// by argument.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/AutoHide.h"
#include "app/Program.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox {
namespace platform {
// Failures show the call as it reads.
static void PrintTo(const ShellExecuteCall& call, std::ostream* out) {
  auto text = [](const std::optional<std::string>& t) { return t ? "\"" + *t + "\"" : std::string("null"); };
  *out << "{owner " << call.owner << ", " << text(call.operation) << ", " << text(call.file) << ", "
       << text(call.parameters) << ", " << text(call.directory) << ", " << call.show << "}";
}
}  // namespace platform

namespace {

using platform::FakeForm;
using platform::FakePlatform;
using platform::kWmLButtonUp;
using platform::kWmRButtonUp;
using platform::ShellExecuteCall;
using platform::WindowMessage;
using Texts = std::vector<std::string>;

constexpr char kUser[] = "C:\\Users\\me\\Desktop";
constexpr char kCommon[] = "C:\\Users\\Public\\Desktop";
constexpr char kDocuments[] = "C:\\Users\\me\\Documents";
constexpr char kCurrent[] = "C:\\Work";
constexpr char kRecycleBinParameters[] = "/root,::{645FF040-5081-101B-9F08-00AA002F954E}";

std::string In(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

class DispatchTest : public ::testing::Test {
 protected:
  DispatchTest() {
    progman = os.AddWindow("Progman", "Program Manager", true);
    taskbar = os.AddWindow("Shell_TrayWnd", "", true);
    os.SetSpecialFolder(FakePlatform::kCsidlDesktopDirectory, kUser);
    os.SetSpecialFolder(FakePlatform::kCsidlCommonDesktopDirectory, kCommon);
    os.SetSpecialFolder(FakePlatform::kCsidlWindows, "C:\\WINDOWS");
    os.SetSpecialFolder(FakePlatform::kCsidlPersonal, kDocuments);
    os.AddFolder(kUser);
    os.AddFolder(kCommon);
    os.SetProgramFolder("C:\\Tools\\Tamberlinox");
    os.AddFolder(kCurrent);
    os.SetCurrentFolder(kCurrent);
  }

  void Start() {
    AutoHide::Main(program);
    main = os.FormByHandle(program.frmTamberlinox.Handle());
    ASSERT_NE(main, nullptr);
    os.ClearLogs();
  }

  void TearDown() override { EXPECT_EQ(os.Faults(), Texts{}); }

  // Pops a menu up with the button and chooses the occurrence-th entry (from 0)
  // with that caption. Fails the test when the menu has no such entry.
  void Choose(std::uint32_t button, const std::string& caption, int occurrence = 0) {
    bool found = false;
    os.SetPopupChooser([&](const Texts& captions) {
      int seen = 0;
      for (std::size_t i = 0; i < captions.size(); ++i) {
        if (captions[i] == caption && seen++ == occurrence) {
          found = true;
          return static_cast<int>(i);
        }
      }
      return -1;
    });
    EXPECT_TRUE(os.ClickTrayIcon(button));
    os.SetPopupChooser(nullptr);  // it refers to this call's locals
    EXPECT_TRUE(found) << "no entry \"" << caption << "\" #" << occurrence;
  }

  ShellExecuteCall OpenPlace(std::optional<std::string> parameters) {
    return ShellExecuteCall{0, "Open", "explorer.exe", std::move(parameters), "0", platform::kSwShowNormal};
  }
  ShellExecuteCall OpenItem(const std::string& path) {
    return ShellExecuteCall{main->Handle(), "open", path, std::nullopt, kCurrent, platform::kSwShow};
  }
  std::vector<ShellExecuteCall> Calls() { return os.ShellExecuteCalls(); }

  FakePlatform os;
  Program program{os};
  FakeForm* main = nullptr;
  platform::WindowHandle progman = 0, taskbar = 0;
};

// ------------------------------------------------------ shell places, help

struct PlaceCase {
  std::string caption;
  std::optional<std::string> parameters;
  friend void PrintTo(const PlaceCase& c, std::ostream* out) { *out << c.caption; }
};

class ShellPlaceTest : public DispatchTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(ShellPlaceTest, OpensTheFileManagerOnThePlace) {
  Start();
  Choose(kWmLButtonUp, GetParam().caption);
  EXPECT_EQ(Calls(), std::vector<ShellExecuteCall>{OpenPlace(GetParam().parameters)});
}

INSTANTIATE_TEST_SUITE_P(Places, ShellPlaceTest,
                         ::testing::Values(PlaceCase{"Recycle Bin", kRecycleBinParameters},
                                           PlaceCase{"My Computer", " /e"},
                                           PlaceCase{"My Documents", "C:\\Users\\me\\Documents"}));

struct DocumentsCase {
  std::string name;
  std::optional<std::string> folder;  // nothing: the shell does not know it
  bool pathFails;
  std::optional<std::string> parameters;
  friend void PrintTo(const DocumentsCase& c, std::ostream* out) { *out << c.name; }
};

class MyDocumentsTest : public DispatchTest, public ::testing::WithParamInterface<DocumentsCase> {};

// The folder goes quoted and without a final backslash, which would escape the
// closing quote; without a folder the file manager gets no parameters.
TEST_P(MyDocumentsTest, HandsTheDocumentsFolderToTheFileManager) {
  if (GetParam().folder) {
    os.SetSpecialFolder(FakePlatform::kCsidlPersonal, *GetParam().folder);
  } else {
    os.ClearSpecialFolder(FakePlatform::kCsidlPersonal);
  }
  os.FailPathFromIdList(FakePlatform::kCsidlPersonal, GetParam().pathFails);
  Start();

  Choose(kWmLButtonUp, "My Documents");

  EXPECT_EQ(Calls(), std::vector<ShellExecuteCall>{OpenPlace(GetParam().parameters)});
  EXPECT_EQ(os.LiveItemIdLists(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, MyDocumentsTest,
    ::testing::Values(DocumentsCase{"Plain", "C:\\Users\\me\\Documents", false, "C:\\Users\\me\\Documents"},
                      DocumentsCase{"WithBlanks", "C:\\Documents and Settings\\me\\My Documents", false,
                                    "\"C:\\Documents and Settings\\me\\My Documents\""},
                      DocumentsCase{"FinalBackslash", "C:\\Users\\me\\Documents\\", false,
                                    "C:\\Users\\me\\Documents"},
                      DocumentsCase{"DriveRoot", "D:\\", false, "D:\\"},
                      DocumentsCase{"BlanksAndFinalBackslash", "C:\\My Files\\", false, "\"C:\\My Files\""},
                      DocumentsCase{"Unknown", std::nullopt, false, std::nullopt},
                      DocumentsCase{"PathFails", kDocuments, true, std::nullopt}),
    [](const ::testing::TestParamInfo<DocumentsCase>& info) { return info.param.name; });

struct HelpCase {
  std::string name;
  std::string programFolder;
  std::string file;
  friend void PrintTo(const HelpCase& c, std::ostream* out) { *out << c.name; }
};

class ProgramHelpTest : public DispatchTest, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(ProgramHelpTest, OpensHelpTxtBesideTheProgram) {
  os.SetProgramFolder(GetParam().programFolder);
  Start();

  Choose(kWmRButtonUp, "Program Help");

  EXPECT_EQ(Calls(), (std::vector<ShellExecuteCall>{
                         {0, "Open", GetParam().file, std::nullopt, kCurrent, platform::kSwShow}}));
}

INSTANTIATE_TEST_SUITE_P(Folders, ProgramHelpTest,
                         ::testing::Values(HelpCase{"Folder", "C:\\Tools\\Tamberlinox", "C:\\Tools\\Tamberlinox\\Help.txt"},
                                           HelpCase{"DriveRoot", "D:\\", "D:\\Help.txt"}),
                         [](const ::testing::TestParamInfo<HelpCase>& info) { return info.param.name; });

// ------------------------------------------------------------ desktop items

TEST_F(DispatchTest, DesktopItemOpensItsOwnPathWithTheMainWindowAsOwner) {
  os.AddFile(In(kUser, "Word.lnk"));
  os.AddFile(In(kCommon, "Mail.lnk"));
  Start();

  Choose(kWmLButtonUp, "Mail");
  Choose(kWmLButtonUp, "Word");

  EXPECT_EQ(Calls(), (std::vector<ShellExecuteCall>{OpenItem(In(kCommon, "Mail.lnk")), OpenItem(In(kUser, "Word.lnk"))}));
}

// The k-th entry of a caption opens the k-th item of that name, user desktop first.
TEST_F(DispatchTest, EachOfTheSameNamedItemsOpensItsOwnFile) {
  os.AddFile(In(kCommon, "Word.lnk"));
  os.AddFile(In(kUser, "Word.lnk"));
  os.AddFile(In(kUser, "Word.txt"));
  os.AddFile(In(kUser, "Mail.lnk"));
  Start();

  Choose(kWmLButtonUp, "Word", 2);
  Choose(kWmLButtonUp, "Word", 0);
  Choose(kWmLButtonUp, "Word", 1);

  EXPECT_EQ(Calls(), (std::vector<ShellExecuteCall>{OpenItem(In(kCommon, "Word.lnk")), OpenItem(In(kUser, "Word.lnk")),
                                                    OpenItem(In(kUser, "Word.txt"))}));
}

// Names equal but for case sort together yet are different captions.
TEST_F(DispatchTest, NamesThatDifferOnlyInCaseOpenTheirOwnFiles) {
  os.AddFile(In(kUser, "word.lnk"));
  os.AddFile(In(kCommon, "Word.lnk"));
  os.AddFile(In(kCommon, "WORD.url"));
  Start();

  Choose(kWmLButtonUp, "WORD");
  Choose(kWmLButtonUp, "Word");
  Choose(kWmLButtonUp, "word");

  EXPECT_EQ(Calls(), (std::vector<ShellExecuteCall>{OpenItem(In(kCommon, "WORD.url")), OpenItem(In(kCommon, "Word.lnk")),
                                                    OpenItem(In(kUser, "word.lnk"))}));
}

TEST_F(DispatchTest, EntryThatNoItemMatchesOpensNothing) {
  os.AddFile(In(kUser, "Word.lnk"));
  Start();
  // The lists and the menu disagree: the entry's caption has changed under it.
  os.SetPopupChooser([&](const Texts& captions) {
    main->MenuSetCaption(0, "Gone");
    return captions.empty() ? -1 : 0;
  });

  ASSERT_TRUE(os.ClickTrayIcon(kWmLButtonUp));

  EXPECT_EQ(Calls(), std::vector<ShellExecuteCall>{});
  EXPECT_FALSE(main->Visible());
}

// A shortcut called like a command opens itself and runs no command.
class CommandNamedItemTest : public DispatchTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(CommandNamedItemTest, OpensItselfAndRunsNoCommand) {
  const std::string file = GetParam() + ".lnk";
  os.AddFile(In(kUser, file));
  Start();
  const bool minimized = program.WindowsMinimized;

  Choose(kWmLButtonUp, GetParam());

  EXPECT_EQ(Calls(), std::vector<ShellExecuteCall>{OpenItem(In(kUser, file))});
  EXPECT_TRUE(os.MessageBoxes().empty());
  EXPECT_TRUE(os.PostedMessages().empty());
  EXPECT_TRUE(os.ShowWindowCalls().empty());
  EXPECT_EQ(os.LiveForms(), 1u);
  EXPECT_EQ(os.TrayIcons().size(), 1u);
  EXPECT_FALSE(main->TimerEnabled(TamberlinoxForm::Timer1));
  EXPECT_EQ(program.WindowsMinimized, minimized);
  EXPECT_FALSE(program.DonationRequested);
}

INSTANTIATE_TEST_SUITE_P(Captions, CommandNamedItemTest,
                         ::testing::Values("Minimize All Windows", "Restore All Windows", "Hide Desktop",
                                           "Show Desktop", "Select Hot Key", "Close Program", "About...",
                                           "About Me", "About----Version 5.1", "Make A Donation", "Program Help"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name;
                           for (char c : info.param)
                             if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                           return name;
                         });

// A shortcut called like a shell place shows the place twice; both open the place.
TEST_F(DispatchTest, ItemNamedLikeAShellPlaceOpensThePlace) {
  os.AddFile(In(kUser, "Recycle Bin.lnk"));
  Start();

  Choose(kWmLButtonUp, "Recycle Bin", 0);
  Choose(kWmLButtonUp, "Recycle Bin", 1);

  EXPECT_EQ(Calls(), (std::vector<ShellExecuteCall>{OpenPlace(kRecycleBinParameters), OpenPlace(kRecycleBinParameters)}));
}

// ------------------------------------------------------------ command menu

TEST_F(DispatchTest, MinimizeThenRestoreAllPostTheTaskbarsCommands) {
  Start();

  Choose(kWmRButtonUp, "Minimize All Windows");
  EXPECT_TRUE(program.WindowsMinimized);
  Choose(kWmRButtonUp, "Restore All Windows");
  EXPECT_FALSE(program.WindowsMinimized);

  EXPECT_EQ(os.PostedMessages(), (std::vector<WindowMessage>{{taskbar, platform::kWmCommand, 419, 0},
                                                             {taskbar, platform::kWmCommand, 416, 0}}));
  EXPECT_EQ(os.Popups()[1].captions[4], "Restore All Windows");
}

TEST_F(DispatchTest, WithoutATaskbarTheTaskbarCommandsStillFlipTheEntry) {
  os.RemoveWindow(taskbar);
  Start();

  Choose(kWmRButtonUp, "Minimize All Windows");
  EXPECT_TRUE(program.WindowsMinimized);
  Choose(kWmRButtonUp, "Restore All Windows");
  EXPECT_FALSE(program.WindowsMinimized);

  EXPECT_TRUE(os.PostedMessages().empty());
}

TEST_F(DispatchTest, ShowAndHideDesktopShowAndHideTheDesktopWindow) {
  Start();

  Choose(kWmRButtonUp, "Show Desktop");
  EXPECT_TRUE(os.WindowVisible(progman));
  Choose(kWmRButtonUp, "Hide Desktop");
  EXPECT_FALSE(os.WindowVisible(progman));

  EXPECT_EQ(os.ShowWindowCalls(), (std::vector<platform::ShowWindowCall>{{progman, platform::kSwShow, false},
                                                                         {progman, platform::kSwHide, true}}));
}

TEST_F(DispatchTest, SelectHotKeyShowsTheDialogWithoutWaitingForIt) {
  Start();

  Choose(kWmRButtonUp, "Select Hot Key");

  ASSERT_TRUE(program.frmHotKeySet.Loaded());
  EXPECT_TRUE(program.frmHotKeySet.form()->Visible());
  EXPECT_EQ(os.OpenPopups(), 0);
  // The tray still answers while the dialog is open.
  Choose(kWmRButtonUp, "Program Help");
  EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(DispatchTest, AboutEntryShowsTheAboutWindowWithoutAWebRequest) {
  Start();

  Choose(kWmRButtonUp, "About----Version 5.1");

  ASSERT_TRUE(program.frmAbout.Loaded());
  EXPECT_TRUE(program.frmAbout.form()->Visible());
  EXPECT_FALSE(program.frmAbout.form()->TimerEnabled(AboutForm::Timer2));
  EXPECT_FALSE(program.DonationRequested);
}

TEST_F(DispatchTest, MakeADonationLoadsTheAboutWindowUnseenWithTheRequestArmed) {
  Start();

  Choose(kWmRButtonUp, "Make A Donation");

  EXPECT_TRUE(program.DonationRequested);
  ASSERT_TRUE(program.frmAbout.Loaded());
  EXPECT_FALSE(program.frmAbout.form()->Visible());
  EXPECT_TRUE(program.frmAbout.form()->TimerEnabled(AboutForm::Timer2));
}

TEST_F(DispatchTest, CloseProgramAsksTheCloseQuestion) {
  Start();
  Choose(kWmRButtonUp, "Close Program");
  ASSERT_EQ(os.MessageBoxes().size(), 1u);
  EXPECT_EQ(os.MessageBoxes()[0].title, "Zemrik Info.....");
}

// The desktop enumeration shows the main window; every chosen entry hides it first.
TEST_F(DispatchTest, EveryChosenEntryHidesTheMainWindow) {
  os.AddFile(In(kUser, "Word.lnk"));
  Start();
  for (const auto& [button, caption] : std::vector<std::pair<std::uint32_t, std::string>>{
           {kWmLButtonUp, "Word"}, {kWmLButtonUp, "My Computer"}, {kWmRButtonUp, "Program Help"},
           {kWmRButtonUp, "Show Desktop"}}) {
    bool shownWhileOpen = false;
    os.SetPopupChooser([&, caption = caption](const Texts& captions) {
      shownWhileOpen = main->Visible();
      for (std::size_t i = 0; i < captions.size(); ++i)
        if (captions[i] == caption) return static_cast<int>(i);
      return -1;
    });
    main->Show();
    ASSERT_TRUE(os.ClickTrayIcon(button));
    EXPECT_TRUE(shownWhileOpen) << caption;
    EXPECT_FALSE(main->Visible()) << caption;
  }
}

}  // namespace
}  // namespace tamberlinox
