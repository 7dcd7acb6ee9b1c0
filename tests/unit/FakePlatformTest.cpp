// The fake system itself: the Windows behaviour that the program's tests rely
// on, and the drivers that stand in for the user and the shell.
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tamberlinox::platform {
namespace {

using namespace std::string_literals;

constexpr std::uint32_t kHkcu = kHkeyCurrentUser;
constexpr std::uint32_t kHklm = kHkeyLocalMachine;

// Notes every event a form reports; a hook may act on it (e.g. unload the form).
class Recorder : public FormEvents {
 public:
  std::vector<std::string> events;
  std::function<void(const std::string&)> hook;

  void OnClick(int id) override { Note("click " + std::to_string(id)); }
  void OnMouseMove(int id) override { Note("move " + std::to_string(id)); }
  void OnTimer(int id) override { Note("timer " + std::to_string(id)); }
  void OnMenuClick(int index) override { Note("menu " + std::to_string(index)); }
  void OnCloseBox() override { Note("close"); }
  void OnTaskbarCreated() override { Note("taskbar"); }

 private:
  void Note(const std::string& event) {
    events.push_back(event);
    if (hook) hook(event);
  }
};

FormSpec TestSpec(const std::string& caption = "Test Form") {
  FormSpec spec;
  spec.caption = caption;
  spec.hasPopupMenu = true;
  auto control = [](int id, ControlKind kind, bool notify = false) {
    ControlSpec c;
    c.id = id;
    c.kind = kind;
    c.notifyMouse = notify;
    return c;
  };
  spec.controls = {control(1, ControlKind::Button), control(2, ControlKind::CheckBox),
                   control(3, ControlKind::Label, true), control(4, ControlKind::Label),
                   control(5, ControlKind::ListBox)};
  spec.controls[0].cancel = true;
  spec.timers = {{7, 500}};
  return spec;
}

class FakePlatformTest : public ::testing::Test {
 protected:
  FakePlatform os;
};

// ================================================================= registry

TEST_F(FakePlatformTest, RegistryOpensOnlyExistingKeysAndCreatesWholePaths) {
  RegKey key;
  EXPECT_EQ(os.RegOpenKeyExA(kHkcu, "Software\\A\\B", kKeyQueryValue, key), kErrorFileNotFound);
  EXPECT_FALSE(key);
  EXPECT_EQ(os.RegCreateKeyExA(kHkcu, "Software\\A\\B", kKeySetValue, key), kErrorSuccess);
  EXPECT_TRUE(os.KeyExists(kHkcu, "software\\a"));
  EXPECT_TRUE(os.KeyExists(kHkcu, "SOFTWARE\\A\\B"));
  EXPECT_EQ(os.RegOpenKeyExA(kHkcu, "\\Software", kKeyQueryValue, key), 161);  // ERROR_BAD_PATHNAME
}

TEST_F(FakePlatformTest, RegistryQueryFollowsTheWindowsSizeRules) {
  os.SetRegistryString(kHkcu, "K", "Text", "121");
  os.SetRegistryValue(kHkcu, "K", "Empty", kRegSz, {});
  RegKey key;
  ASSERT_EQ(os.RegOpenKeyExA(kHkcu, "K", kKeyQueryValue, key), 0);

  std::uint32_t type = 0, size = 99;
  EXPECT_EQ(os.RegQueryValueExA(key, "Text", &type, nullptr, size), 0);  // no buffer: the size
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(type, kRegSz);
  std::uint8_t buffer[8] = {};
  size = 2;
  EXPECT_EQ(os.RegQueryValueExA(key, "Text", nullptr, buffer, size), kErrorMoreData);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(buffer[0], 0) << "nothing is copied into a buffer that is too small";
  size = sizeof buffer;
  EXPECT_EQ(os.RegQueryValueExA(key, "text", nullptr, buffer, size), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), "121\0"s);
  size = 0;
  EXPECT_EQ(os.RegQueryValueExA(key, "Empty", nullptr, buffer, size), 0);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(os.RegQueryValueExA(key, "None", nullptr, buffer, size), kErrorFileNotFound);
}

TEST_F(FakePlatformTest, RegistryChecksTheAccessAKeyWasOpenedWith) {
  os.SetRegistryString(kHkcu, "K", "Text", "1");
  RegKey readOnly, writeOnly;
  ASSERT_EQ(os.RegOpenKeyExA(kHkcu, "K", kKeyQueryValue, readOnly), 0);
  ASSERT_EQ(os.RegOpenKeyExA(kHkcu, "K", kKeySetValue, writeOnly), 0);
  std::uint32_t size = 0;
  EXPECT_EQ(os.RegQueryValueExA(writeOnly, "Text", nullptr, nullptr, size), kErrorAccessDenied);
  const std::uint8_t data[] = {1};
  EXPECT_EQ(os.RegSetValueExA(readOnly, "New", kRegBinary, data, 1), kErrorAccessDenied);
  EXPECT_EQ(os.RegDeleteValueA(readOnly, "Text"), kErrorAccessDenied);
  EXPECT_EQ(os.RegDeleteValueA(writeOnly, "Text"), 0);
  EXPECT_EQ(os.RegDeleteValueA(writeOnly, "Text"), kErrorFileNotFound);
}

TEST_F(FakePlatformTest, RegistryDeletesOnlyKeysWithoutSubkeys) {
  os.SetRegistryString(kHkcu, "A\\B", "V", "1");
  os.AddRegistryKey(kHkcu, "A\\B\\C");
  EXPECT_EQ(os.RegDeleteKeyA(kHkcu, "A\\B"), kErrorAccessDenied);
  EXPECT_EQ(os.RegDeleteKeyA(kHkcu, "A\\B\\C"), 0);
  EXPECT_EQ(os.RegDeleteKeyA(kHkcu, "A\\B"), 0);
  EXPECT_EQ(os.RegDeleteKeyA(kHkcu, "A\\B"), kErrorFileNotFound);
  EXPECT_TRUE(os.KeyExists(kHkcu, "A"));
  EXPECT_EQ(os.RegDeleteKeyA(1, "A"), kErrorInvalidHandle);  // no hive
}

TEST_F(FakePlatformTest, DeniedHiveRefusesEveryChangeButStillReads) {
  os.SetRegistryString(kHklm, "Run", "T", "x");
  RegKey before;
  ASSERT_EQ(os.RegOpenKeyExA(kHklm, "Run", kKeySetValue, before), 0);
  os.DenyRegistryWrites(kHklm);

  RegKey key;
  EXPECT_EQ(os.RegCreateKeyExA(kHklm, "New", kKeySetValue, key), kErrorAccessDenied);
  EXPECT_EQ(os.RegCreateKeyExA(kHklm, "Run", kKeySetValue | kKeyCreateSubKey, key), kErrorAccessDenied);
  EXPECT_EQ(os.RegOpenKeyExA(kHklm, "Run", kKeySetValue, key), kErrorAccessDenied);
  EXPECT_EQ(os.RegOpenKeyExA(kHklm, "Run", kKeyQueryValue, key), 0);
  const std::uint8_t data[] = {'y', 0};
  EXPECT_EQ(os.RegSetValueExA(before, "T", kRegSz, data, 2), kErrorAccessDenied);
  EXPECT_EQ(os.RegDeleteValueA(before, "T"), kErrorAccessDenied);
  EXPECT_EQ(os.RegDeleteKeyA(kHklm, "Run"), kErrorAccessDenied);
  EXPECT_EQ(os.RegistryString(kHklm, "Run", "T"), "x");
  EXPECT_FALSE(os.KeyExists(kHklm, "New"));
}

TEST_F(FakePlatformTest, RegistryTracksOpenKeysAndReportsSlips) {
  os.AddRegistryKey(kHkcu, "K");
  {
    RegKey a, b;
    os.RegOpenKeyExA(kHkcu, "K", kKeyQueryValue, a);
    os.RegCreateKeyExA(kHkcu, "K", kKeySetValue, b);
    EXPECT_EQ(os.OpenRegistryKeys(), 2u);
    EXPECT_EQ(os.OpenRegistryKeyNames(), (std::vector<std::string>{"HKEY_CURRENT_USER\\K", "HKEY_CURRENT_USER\\K"}));
    EXPECT_TRUE(os.RemoveRegistryKey(kHkcu, "K"));
    std::uint32_t size = 0;
    EXPECT_EQ(os.RegQueryValueExA(a, "V", nullptr, nullptr, size), 1018);  // ERROR_KEY_DELETED
    std::uintptr_t raw = a.Get();
    EXPECT_EQ(a.Close(), 0);
    EXPECT_EQ(os.RegCloseKey(raw), kErrorInvalidHandle);
  }
  EXPECT_EQ(os.OpenRegistryKeys(), 0u);
  ASSERT_EQ(os.Faults().size(), 1u);
  EXPECT_NE(os.Faults()[0].find("RegCloseKey"), std::string::npos);
}

TEST_F(FakePlatformTest, RegistryDumpListsKeysAndValuesInTheirFirstSpelling) {
  os.SetRegistryString(kHkcu, "Software\\Zemrik", "Key", "121");
  os.SetRegistryValue(kHkcu, "software\\zemrik", "B", kRegBinary, {0xFF, 0xFF});
  os.SetRegistryValue(kHkcu, "Software\\Zemrik", "Bare", kRegSz, {'a'});
  EXPECT_EQ(os.DumpRegistry(kHkcu),
            "HKEY_CURRENT_USER\\Software\n"
            "HKEY_CURRENT_USER\\Software\\Zemrik\n"
            "  \"B\" = REG_BINARY FF FF\n"
            "  \"Bare\" = REG_SZ \"a\" (no NUL)\n"
            "  \"Key\" = REG_SZ \"121\"\n");
}

// ==================================================================== files

TEST_F(FakePlatformTest, FullPathResolvesAgainstTheCurrentFolder) {
  os.SetCurrentFolder("C:\\Program Files\\T");
  const std::pair<const char*, const char*> cases[] = {
      {"app.ini", "C:\\Program Files\\T\\app.ini"}, {"..\\x.ini", "C:\\Program Files\\x.ini"},
      {".\\a\\.\\b", "C:\\Program Files\\T\\a\\b"}, {"\\root.ini", "C:\\root.ini"},
      {"C:rel.ini", "C:\\Program Files\\T\\rel.ini"}, {"D:rel.ini", "D:\\rel.ini"},
      {"C:/a//b/", "C:\\a\\b\\"},                     {"C:\\..\\..", "C:\\"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(os.FullPath(in), out) << in;
}

TEST_F(FakePlatformTest, OrdinaryFileIsAVisibleNonSystemFile) {
  os.AddFile("C:\\D\\plain.txt");
  os.AddFile("C:\\D\\ro.txt", 0x01);  // read-only is still ordinary
  os.AddFile("C:\\D\\hidden.txt", kFileAttributeHidden);
  os.AddFile("C:\\D\\sys.txt", kFileAttributeSystem);
  EXPECT_TRUE(os.IsOrdinaryFile("c:\\d\\PLAIN.TXT"));
  EXPECT_TRUE(os.IsOrdinaryFile("C:\\D\\ro.txt"));
  for (const char* path : {"C:\\D\\hidden.txt", "C:\\D\\sys.txt", "C:\\D", "C:\\D\\none.txt", "C:\\D\\*.txt",
                           "C:\\D\\plain.txt\\", ""})
    EXPECT_FALSE(os.IsOrdinaryFile(path)) << path;
}

TEST_F(FakePlatformTest, FindMatchesPatternsLikeWindows) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  for (const Case& c : {Case{"*.*", "Word.lnk", true}, Case{"*.*", "README", true}, Case{"*.*", "..", true},
                        Case{"*.LNK", "word.lnk", true}, Case{"*.lnk", "word.lnk.txt", false},
                        Case{"w?rd.*", "Word", true}, Case{"w?rd", "wrd", false}, Case{"*", "", true},
                        Case{"a*b*c", "aXbYbZc", true}, Case{"a*b*c", "aXbYc2", false}})
    EXPECT_EQ(FakeFileSystem::MatchesPattern(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

std::vector<std::string> FindAll(FakePlatform& os, const std::string& pattern) {
  std::vector<std::string> names;
  FindData data;
  FindHandle search = os.FindFirstFileA(pattern, data);
  if (!search) return names;
  do {
    names.push_back(std::string(data.cFileName.data()) + ((data.dwFileAttributes & kFileAttributeDirectory) ? "\\" : ""));
  } while (os.FindNextFileA(search, data));
  return names;
}

TEST_F(FakePlatformTest, FindListsDotEntriesThenEntriesInTheOrderTheyWereAdded) {
  os.AddFile("C:\\Desk\\Word.lnk");
  os.AddFolder("C:\\Desk\\Projects");
  os.AddFile("C:\\Desk\\desktop.ini", kFileAttributeHidden | kFileAttributeSystem);
  os.AddFile("C:\\Desk\\Mail.lnk");
  EXPECT_EQ(FindAll(os, "C:\\Desk\\*.*"),
            (std::vector<std::string>{".\\", "..\\", "Word.lnk", "Projects\\", "desktop.ini", "Mail.lnk"}));
  EXPECT_EQ(FindAll(os, "c:\\desk\\*.LNK"), (std::vector<std::string>{"Word.lnk", "Mail.lnk"}));
  os.SetCurrentFolder("C:\\Desk");
  EXPECT_EQ(FindAll(os, "\\*.*"), (std::vector<std::string>{"Program Files\\", "WINDOWS\\", "Desk\\"}));  // a root: no dots
  EXPECT_TRUE(FindAll(os, "C:\\Nowhere\\*.*").empty());
  EXPECT_TRUE(FindAll(os, "C:\\Desk\\*.exe").empty());
  EXPECT_EQ(os.OpenFindHandles(), 0u);
  EXPECT_TRUE(os.Faults().empty());
}

TEST_F(FakePlatformTest, ProfileReadTruncatesAndTrimsLikeWindows) {
  os.AddFile("C:\\D\\a.ini", 0, "[S]\r\n  Key  =  some text  \r\nQ='quoted'\r\n[T]\r\nKey=other\r\n");
  EXPECT_EQ(os.GetPrivateProfileStringA("s", "KEY", "", 255, "C:\\D\\a.ini"), "some text");
  EXPECT_EQ(os.GetPrivateProfileStringA("S", "Key", "", 5, "C:\\D\\a.ini"), "some");  // bufferSize - 1
  EXPECT_EQ(os.GetPrivateProfileStringA("S", "Key", "", 0, "C:\\D\\a.ini"), "");
  EXPECT_EQ(os.GetPrivateProfileStringA("S", "Q", "", 255, "C:\\D\\a.ini"), "quoted");
  EXPECT_EQ(os.GetPrivateProfileStringA("T", "Key", "", 255, "C:\\D\\a.ini"), "other");
  EXPECT_EQ(os.GetPrivateProfileStringA("S", "None", "dflt  ", 255, "C:\\D\\a.ini"), "dflt");
  EXPECT_EQ(os.GetPrivateProfileStringA("S", "Key", "dflt", 255, "C:\\D\\missing.ini"), "dflt");
  EXPECT_EQ(os.GetPrivateProfileStringA("S", "Key", "dflt", 255, "a.ini"), "dflt");  // looked for in C:\WINDOWS
}

TEST_F(FakePlatformTest, ProfileWriteCreatesAndUpdatesInPlace) {
  ASSERT_EQ(os.WritePrivateProfileStringA("S", "Key", "1", "C:\\D\\b.ini"), 3);  // ERROR_PATH_NOT_FOUND
  os.AddFolder("C:\\D");
  ASSERT_EQ(os.WritePrivateProfileStringA("S", "Key", "1", "C:\\D\\b.ini"), 0);
  ASSERT_EQ(os.WritePrivateProfileStringA("T", "A", "x", "C:\\D\\b.ini"), 0);
  ASSERT_EQ(os.WritePrivateProfileStringA("s", "Other", "2", "C:\\D\\b.ini"), 0);
  ASSERT_EQ(os.WritePrivateProfileStringA("S", "KEY", "", "C:\\D\\b.ini"), 0);
  EXPECT_EQ(os.FileContents("C:\\D\\b.ini"), "[S]\r\nKey=\r\nOther=2\r\n[T]\r\nA=x\r\n");
  ASSERT_EQ(os.WritePrivateProfileStringA("S", "K", "v", "b.ini"), 0);  // a bare name: the Windows folder
  EXPECT_EQ(os.ProfileString("C:\\WINDOWS\\b.ini", "S", "K"), "v");
  os.AddFile("C:\\D\\ro.ini", 0x01);
  EXPECT_EQ(os.WritePrivateProfileStringA("S", "K", "v", "C:\\D\\ro.ini"), kErrorAccessDenied);
  os.FailProfileWrites(1784);
  EXPECT_EQ(os.WritePrivateProfileStringA("S", "K", "v", "C:\\D\\b.ini"), 1784);
}

// ======================================================== shell folders

TEST_F(FakePlatformTest, SpecialFoldersYieldTrackedItemLists) {
  os.SetSpecialFolder(16, "C:\\Users\\me\\Desktop");
  os.SetSpecialFolder(25, std::string(260, 'x'));
  os.SetSpecialFolder(36, "C:\\WINDOWS");
  os.FailPathFromIdList(36);
  std::array<char, 260> path{};
  {
    ItemIdList list;
    EXPECT_EQ(os.SHGetSpecialFolderLocation(0, 5, list), FakePlatform::kEFail);
    EXPECT_FALSE(list);
    ASSERT_EQ(os.SHGetSpecialFolderLocation(0, 16, list), 0);
    ASSERT_TRUE(os.SHGetPathFromIDListA(list, path));
    EXPECT_EQ(std::string(path.data()), "C:\\Users\\me\\Desktop");
    ItemIdList full, failing;
    ASSERT_EQ(os.SHGetSpecialFolderLocation(0, 25, full), 0);
    ASSERT_TRUE(os.SHGetPathFromIDListA(full, path));
    EXPECT_EQ(std::find(path.begin(), path.end(), '\0'), path.end()) << "the buffer holds no terminator";
    ASSERT_EQ(os.SHGetSpecialFolderLocation(0, 36, failing), 0);
    EXPECT_FALSE(os.SHGetPathFromIDListA(failing, path));
    EXPECT_EQ(os.LiveItemIdLists(), 3u);
  }
  EXPECT_EQ(os.LiveItemIdLists(), 0u);
  EXPECT_TRUE(os.Faults().empty());
}

TEST_F(FakePlatformTest, ScriptShellAnswersFromItsFolderTable) {
  os.SetScriptShellFolder("AllUsersDesktop", "C:\\Users\\Public\\Desktop");
  {
    std::unique_ptr<ScriptShell> shell = os.CreateScriptShell();
    ASSERT_TRUE(shell);
    EXPECT_EQ(shell->SpecialFolders("allusersdesktop"), "C:\\Users\\Public\\Desktop");
    EXPECT_EQ(shell->SpecialFolders("Fonts"), "");
    EXPECT_EQ(os.LiveScriptShells(), 1u);
  }
  EXPECT_EQ(os.LiveScriptShells(), 0u);
  os.SetScriptShellAvailable(false);
  EXPECT_EQ(os.CreateScriptShell(), nullptr);
  EXPECT_EQ(os.ScriptShellsCreated(), 1);
}

// =================================================== windows and messages

TEST_F(FakePlatformTest, FindWindowMatchesWithoutRegardToCaseInCreationOrder) {
  const WindowHandle progman = os.AddWindow("Progman", "Program Manager", true);
  const WindowHandle tray = os.AddWindow("Shell_TrayWnd", "", true);
  const WindowHandle second = os.AddWindow("progman", "Other", false);
  EXPECT_EQ(os.FindWindowA("PROGMAN", "program manager"), progman);
  EXPECT_EQ(os.FindWindowA("Shell_TrayWnd", nullptr), tray);
  EXPECT_EQ(os.FindWindowA(nullptr, "Other"), second);
  EXPECT_EQ(os.FindWindowExA(0, 0, "Progman", nullptr), progman);
  EXPECT_EQ(os.FindWindowExA(0, progman, "Progman", nullptr), second);
  EXPECT_EQ(os.FindWindowExA(0, second, "Progman", nullptr), 0u);
  EXPECT_EQ(os.FindWindowExA(progman, 0, nullptr, nullptr), 0u);  // no child windows
  os.RemoveWindow(progman);
  EXPECT_EQ(os.FindWindowA("Progman", nullptr), second);
}

TEST_F(FakePlatformTest, ShowWindowReportsThePreviousVisibilityAndIsLogged) {
  const WindowHandle progman = os.AddWindow("Progman", "Program Manager", true);
  EXPECT_TRUE(os.ShowWindow(progman, kSwHide));
  EXPECT_FALSE(os.ShowWindow(progman, kSwHide));
  EXPECT_EQ(os.IsWindowVisible(progman), 0);
  EXPECT_FALSE(os.ShowWindow(progman, kSwShow));
  EXPECT_EQ(os.IsWindowVisible(progman), 1);
  EXPECT_FALSE(os.ShowWindow(0, kSwShow));
  EXPECT_EQ(os.ShowWindowCalls(), (std::vector<ShowWindowCall>{{progman, kSwHide, true},
                                                                {progman, kSwHide, false},
                                                                {progman, kSwShow, false},
                                                                {0, kSwShow, false}}));
}

TEST_F(FakePlatformTest, FormsAreTopLevelWindowsTitledByTheirCaption) {
  Recorder events;
  std::unique_ptr<Form> form = os.CreateForm(TestSpec("Zemrik Program"), events);
  EXPECT_EQ(os.FindWindowA(nullptr, "zemrik program"), form->Handle());
  form->SetCaption("Renamed");
  EXPECT_EQ(os.FindWindowA(nullptr, "Renamed"), form->Handle());
  EXPECT_EQ(os.FormByCaption("Renamed"), form.get());
  EXPECT_FALSE(form->Visible());
  os.ShowWindow(form->Handle(), kSwShow);
  EXPECT_TRUE(form->Visible());
  form.reset();
  EXPECT_EQ(os.LiveForms(), 0u);
  EXPECT_EQ(os.FindWindowA(nullptr, "Renamed"), 0u);
}

TEST_F(FakePlatformTest, SubclassedFormSeesEveryMessageBeforeItsOwnProcedure) {
  Recorder events;
  std::unique_ptr<Form> form = os.CreateForm(TestSpec(), events);
  const WindowHandle window = form->Handle();
  const WndProcAddr own = os.GetClassWndProc(window);
  std::vector<std::uint32_t> seen;
  os.SetWindowProcHandler([&](WindowHandle w, std::uint32_t message, WParam wParam, LParam lParam) {
    seen.push_back(message);
    return os.CallWindowProcA(own, w, message, wParam, lParam);
  });
  EXPECT_EQ(os.SetWindowLongA(window, os.AddressOfWindowProc()), own);
  EXPECT_EQ(os.SetWindowLongA(window, os.AddressOfWindowProc()), FakePlatform::kWindowProcAddress);

  form->EnableTimer(7, true);
  EXPECT_TRUE(os.FireTimer(*form, 7));
  os.SendMessage(window, kWmHotKey, 0xC000, 0);
  os.SendMessage(window, kWmCommand, FakePlatform::MenuCommandId(0), 0);
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{kWmTimer, kWmHotKey, kWmCommand}));
  EXPECT_EQ(events.events, (std::vector<std::string>{"timer 7", "menu 0"}));
  EXPECT_EQ(os.DefaultHandled(), (std::vector<WindowMessage>{{window, kWmHotKey, 0xC000, 0}}));

  EXPECT_EQ(os.SetWindowLongA(window, own), FakePlatform::kWindowProcAddress);
  form->EnableTimer(7, false);
  EXPECT_FALSE(os.FireTimer(*form, 7));
  os.SendMessage(window, kWmTimer, 7, 0);  // a late tick of a stopped timer does nothing
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(events.events.size(), 2u);
  EXPECT_TRUE(os.Faults().empty());
}

TEST_F(FakePlatformTest, CallingNoProcedureOrAnUnknownWindowIsAFault) {
  EXPECT_EQ(os.CallWindowProcA(0, 0x10, kWmTimer, 1, 0), 0);
  EXPECT_EQ(os.SetWindowLongA(0x12345, FakePlatform::kWindowProcAddress), 0u);
  const WindowHandle progman = os.AddWindow("Progman", "Program Manager", true);
  EXPECT_EQ(os.SetWindowLongA(progman, FakePlatform::kWindowProcAddress), 0u);
  EXPECT_EQ(os.Faults().size(), 3u);
}

TEST_F(FakePlatformTest, FormMayBeDestroyedFromItsOwnHandlers) {
  Recorder events;
  std::unique_ptr<Form> form = os.CreateForm(TestSpec(), events);
  events.hook = [&](const std::string&) { form.reset(); };
  form->EnableTimer(7, true);
  EXPECT_TRUE(os.FireTimer(*form, 7));
  EXPECT_EQ(form, nullptr);

  form = os.CreateForm(TestSpec(), events);
  form->Show();
  EXPECT_TRUE(os.Click(*form, 1));
  EXPECT_EQ(form, nullptr);

  form = os.CreateForm(TestSpec(), events);
  os.SetPopupChooser([](const std::vector<std::string>&) { return 0; });
  form->PopupMenu();
  EXPECT_EQ(form, nullptr);
  EXPECT_EQ(events.events, (std::vector<std::string>{"timer 7", "click 1", "menu 0"}));
  EXPECT_EQ(os.LiveForms(), 0u);
}

TEST_F(FakePlatformTest, PopupMenuDeliversTheChosenEntryBeforeItReturns) {
  Recorder events;
  std::unique_ptr<Form> form = os.CreateForm(TestSpec(), events);
  for (int i = 1; i <= 2; ++i) ASSERT_TRUE(form->MenuLoad(i));
  EXPECT_FALSE(form->MenuLoad(2));
  EXPECT_FALSE(form->MenuLoad(4));
  form->MenuSetCaption(0, "Program Help");
  form->MenuSetCaption(1, "-");
  form->MenuSetCaption(2, "Close Program");

  std::vector<int> answers = {1, 2, -1};  // a separator, an entry, nothing
  os.SetPopupChooser([&](const std::vector<std::string>& captions) {
    EXPECT_EQ(captions, (std::vector<std::string>{"Program Help", "-", "Close Program"}));
    int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  });
  for (int i = 0; i < 3; ++i) form->PopupMenu();
  EXPECT_EQ(events.events, (std::vector<std::string>{"menu 2"}));
  ASSERT_EQ(os.Popups().size(), 3u);
  EXPECT_EQ(os.Popups()[0].chosen, -1);
  EXPECT_EQ(os.Popups()[1].chosen, 2);

  EXPECT_FALSE(form->MenuUnload(0));
  EXPECT_TRUE(form->MenuUnload(2));
  EXPECT_EQ(form->MenuCount(), 2);
  EXPECT_TRUE(os.Faults().empty());
}

TEST_F(FakePlatformTest, PopupOpenedWhileAnotherIsOpenRecordsItsDepth) {
  Recorder events;
  std::unique_ptr<Form> form = os.CreateForm(TestSpec(), events);
  bool nested = false;
  os.SetPopupChooser([&](const std::vector<std::string>&) {
    EXPECT_EQ(os.OpenPopups(), nested ? 2 : 1);
    if (!nested) {
      nested = true;
      form->PopupMenu();  // e.g. a tray click arrives while the menu is open
    }
    return -1;
  });
  form->PopupMenu();
  ASSERT_EQ(os.Popups().size(), 2u);
  EXPECT_EQ(os.Popups()[0].depth, 1);
  EXPECT_EQ(os.Popups()[1].depth, 2);
  EXPECT_EQ(os.OpenPopups(), 0);
}

TEST_F(FakePlatformTest, UserDriversActOnlyOnWhatTheUserCouldReach) {
  Recorder events;
  std::unique_ptr<Form> form = os.CreateForm(TestSpec(), events);
  EXPECT_FALSE(os.Click(*form, 1)) << "the form is hidden";
  form->Show();
  EXPECT_TRUE(os.Click(*form, 2));
  EXPECT_EQ(form->Check(2), 1) << "a check box turns over before it reports the click";
  EXPECT_TRUE(os.Click(*form, 3));
  EXPECT_FALSE(os.Click(*form, 4)) << "a label that does not ask for notifications";
  EXPECT_FALSE(os.Click(*form, 5));
  form->SetVisible(1, false);
  EXPECT_FALSE(os.Click(*form, 1));
  EXPECT_FALSE(os.PressEsc(*form));
  form->SetVisible(1, true);
  EXPECT_TRUE(os.PressEsc(*form));
  EXPECT_TRUE(os.MouseMove(*form, 3));
  EXPECT_TRUE(os.MouseMove(*form, 4));  // a plain label lets the move through to the form
  EXPECT_FALSE(os.MouseMove(*form, 1));
  EXPECT_TRUE(os.MouseMove(*form));
  EXPECT_TRUE(os.CloseBox(*form));
  EXPECT_EQ(events.events, (std::vector<std::string>{"click 2", "click 3", "click 1", "move 3", "move 0",
                                                     "move 0", "close"}));
  EXPECT_TRUE(os.Faults().empty());
}

// ========================================================= hot keys, atoms

TEST_F(FakePlatformTest, HotKeyCombinationBelongsToOneRegistrationAtATime) {
  Recorder events;
  std::unique_ptr<Form> a = os.CreateForm(TestSpec("A"), events);
  std::unique_ptr<Form> b = os.CreateForm(TestSpec("B"), events);
  os.ReserveHotKey(2, 121);
  EXPECT_FALSE(os.RegisterHotKey(a->Handle(), 1, 2, 121)) << "another program holds Ctrl+F10";
  EXPECT_TRUE(os.RegisterHotKey(a->Handle(), 1, 0, 121));
  EXPECT_FALSE(os.RegisterHotKey(b->Handle(), 1, 0, 121));
  EXPECT_TRUE(os.RegisterHotKey(a->Handle(), 1, 4, 65)) << "the same window and id replace their key";
  EXPECT_TRUE(os.RegisterHotKey(b->Handle(), 1, 0, 121));
  EXPECT_EQ(os.HotKeys(), (std::vector<HotKeyRegistration>{{a->Handle(), 1, 4, 65}, {b->Handle(), 1, 0, 121}}));
  EXPECT_TRUE(os.UnregisterHotKey(a->Handle(), 1));
  EXPECT_FALSE(os.UnregisterHotKey(a->Handle(), 1));
  b.reset();
  EXPECT_TRUE(os.HotKeys().empty()) << "a window's hot keys end with it";
}

TEST_F(FakePlatformTest, PressedHotKeyReachesTheWindowsCurrentProcedure) {
  Recorder events;
  std::unique_ptr<Form> form = os.CreateForm(TestSpec(), events);
  std::vector<WindowMessage> seen;
  os.SetWindowProcHandler([&](WindowHandle w, std::uint32_t message, WParam wParam, LParam lParam) {
    seen.push_back({w, message, wParam, lParam});
    return LResult(0);
  });
  os.SetWindowLongA(form->Handle(), os.AddressOfWindowProc());
  ASSERT_TRUE(os.RegisterHotKey(form->Handle(), 0xC001, 6, 65));
  os.ReserveHotKey(0, 121);
  EXPECT_TRUE(os.PressHotKey(6, 65));
  EXPECT_FALSE(os.PressHotKey(0, 65));
  EXPECT_FALSE(os.PressHotKey(0, 121));
  EXPECT_EQ(seen, (std::vector<WindowMessage>{{form->Handle(), kWmHotKey, 0xC001, (65 << 16) | 6}}));
}

TEST_F(FakePlatformTest, AtomsAreSharedByTextAndCounted) {
  const std::uint32_t first = os.GlobalAddAtomA("07/12/2026 10:00:00");
  EXPECT_GE(first, 0xC000u);
  EXPECT_EQ(os.GlobalAddAtomA("07/12/2026 10:00:00"), first);
  EXPECT_EQ(os.AtomCount("07/12/2026 10:00:00"), 2);
  const std::uint32_t second = os.GlobalAddAtomA("07/12/2026 10:00:01");
  EXPECT_NE(second, first);
  EXPECT_EQ(os.GlobalDeleteAtom(first), 0u);
  EXPECT_EQ(os.AtomName(first), "07/12/2026 10:00:00") << "still referenced once";
  EXPECT_EQ(os.GlobalDeleteAtom(first), 0u);
  EXPECT_EQ(os.AtomName(first), std::nullopt);
  EXPECT_EQ(os.GlobalDeleteAtom(first), first) << "deleting an atom that is gone fails";
  EXPECT_EQ(os.GlobalAddAtomA("again"), first) << "a freed number is used again";
  os.FailAtomAdds();
  EXPECT_EQ(os.GlobalAddAtomA("more"), 0u);
  EXPECT_EQ(os.LiveAtoms(), 2u);
  EXPECT_EQ(os.Faults().size(), 1u);
}

// ===================================================================== tray

NotifyIconData Icon(WindowHandle window, const std::string& tip = "Zemrik Tamberlinox") {
  NotifyIconData data;
  data.hWnd = window;
  data.uID = 125;
  data.uFlags = kNifMessage | kNifIcon | kNifTip;
  data.uCallbackMessage = kWmUser + 1;
  data.hIcon = 0x99;
  data.szTip = tip;
  return data;
}

TEST_F(FakePlatformTest, TrayIconIsAddedOnceAndRemovedOnce) {
  EXPECT_EQ(os.Shell_NotifyIconA(kNimAdd, Icon(0x10, std::string(80, 't'))), 1);
  EXPECT_EQ(os.Shell_NotifyIconA(kNimAdd, Icon(0x10)), 0);
  ASSERT_EQ(os.TrayIcons().size(), 1u);
  EXPECT_EQ(os.TrayIcons()[0].szTip, std::string(63, 't'));
  EXPECT_EQ(os.Shell_NotifyIconA(kNimDelete, Icon(0x10)), 1);
  EXPECT_EQ(os.Shell_NotifyIconA(kNimDelete, Icon(0x10)), 0);
  os.SetShellAvailable(false);
  EXPECT_EQ(os.Shell_NotifyIconA(kNimAdd, Icon(0x10)), 0);
  EXPECT_EQ(os.TrayCalls().size(), 5u);
}

TEST_F(FakePlatformTest, TrayClicksAndTaskbarRestartsReachTheProgram) {
  Recorder mainEvents, otherEvents;
  FormSpec mainSpec = TestSpec("Main");
  mainSpec.taskbarCreated = true;
  std::unique_ptr<Form> main = os.CreateForm(mainSpec, mainEvents);
  std::unique_ptr<Form> other = os.CreateForm(TestSpec("Other"), otherEvents);
  std::vector<WindowMessage> seen;
  os.SetWindowProcHandler([&](WindowHandle w, std::uint32_t message, WParam wParam, LParam lParam) {
    seen.push_back({w, message, wParam, lParam});
    return os.CallWindowProcA(os.GetClassWndProc(w), w, message, wParam, lParam);
  });
  os.SetWindowLongA(main->Handle(), os.AddressOfWindowProc());

  EXPECT_FALSE(os.ClickTrayIcon(kWmLButtonUp));
  ASSERT_EQ(os.Shell_NotifyIconA(kNimAdd, Icon(main->Handle())), 1);
  EXPECT_TRUE(os.ClickTrayIcon(kWmRButtonUp));
  os.BroadcastTaskbarCreated();
  EXPECT_TRUE(os.TrayIcons().empty()) << "the new taskbar starts without icons";
  EXPECT_EQ(seen, (std::vector<WindowMessage>{{main->Handle(), kWmUser + 1, 125, kWmRButtonUp},
                                              {main->Handle(), FakePlatform::kTaskbarCreatedMessage, 0, 0}}));
  EXPECT_EQ(mainEvents.events, (std::vector<std::string>{"taskbar"}));
  EXPECT_TRUE(otherEvents.events.empty()) << "a form that did not ask ignores the broadcast";
}

// ====================================================== user, browser

TEST_F(FakePlatformTest, MessageBoxAnswersWithItsFirstButtonOrTheResponder) {
  EXPECT_EQ(os.MessageBoxA(0, "saved", "Zemrik HotKey Select", kMbOk | kMbIconInformation), kIdOk);
  EXPECT_EQ(os.MessageBoxA(0, "keep?", "Zemrik Info.....", kMbYesNo | kMbIconQuestion), kIdYes);
  os.SetMessageBoxResponder([&](const MessageBoxCall& box) {
    EXPECT_EQ(os.MessageBoxes().back().text, box.text) << "the box is logged while it is open";
    os.Sleep(10);  // the user acts while the box is up
    return kIdNo;
  });
  EXPECT_EQ(os.MessageBoxA(0x10, "keep?", "Zemrik Info.....", 36), kIdNo);
  ASSERT_EQ(os.MessageBoxes().size(), 3u);
  EXPECT_EQ(os.MessageBoxes()[2].owner, 0x10u);
  EXPECT_EQ(os.MessageBoxes()[2].answer, kIdNo);
  EXPECT_EQ(os.TotalSleepMs(), 10u);
}

TEST_F(FakePlatformTest, BrowserAnswersReadyStateFromItsScript) {
  os.SetReadyStates({{true, 1}, {false, 0}, {true, 4}});
  std::unique_ptr<WebBrowser> browser = os.CreateWebBrowser();
  ASSERT_TRUE(browser);
  EXPECT_TRUE(browser->Navigate("https://example.invalid/"));
  std::int32_t state = -1;
  EXPECT_TRUE(browser->ReadyState(state));
  EXPECT_EQ(state, 1);
  EXPECT_FALSE(browser->ReadyState(state));
  EXPECT_TRUE(browser->ReadyState(state));
  EXPECT_TRUE(browser->ReadyState(state)) << "the last answer repeats";
  EXPECT_EQ(state, 4);
  EXPECT_TRUE(browser->SetVisible(true));
  EXPECT_EQ(os.LiveWebBrowsers(), 1u);
  browser.reset();
  EXPECT_EQ(os.LiveWebBrowsers(), 0u);
  os.FailWebBrowserCreation();
  EXPECT_EQ(os.CreateWebBrowser(), nullptr);
  EXPECT_EQ(os.Navigations(), std::vector<std::string>{"https://example.invalid/"});
  EXPECT_EQ(os.BrowserVisibleSettings(), std::vector<bool>{true});
  EXPECT_EQ(os.ReadyStateReads(), 4);
}

}  // namespace
}  // namespace tamberlinox::platform
