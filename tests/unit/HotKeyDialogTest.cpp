// The hot key dialog on the fake system: what it shows from the stored
// settings, what a save writes and registers (and in which order), what it
// refuses, and that cancelling in any way changes nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/AutoHide.h"
#include "app/Program.h"
#include "hotkey/BasModule.h"
#include "platform/fake/FakePlatform.h"
#include "tests/unit/ForwardingPlatform.h"

namespace tamberlinox {
namespace {

using namespace platform;

const std::string kSettings = "Software\\Zemrik Software\\Tamberlinox";
const std::string kDialogCaption = "Zemrik Tamberlinox Program";
const std::string kTitle = "Zemrik HotKey Select";
const std::string kSaved = "Your Hot Key Changes Have Been Saved!";
const std::string kSavedButTaken =
    "Your Hot Key Changes Have Been Saved, But This Key Is Already In Use By Another Program.";
const std::string kChooseAKey = "Please Choose One Of The Keys In The List.";

using Dialog = HotKeySetForm;

// Passes every call on to the fake system and writes the ones whose order
// matters into one journal, so a test can see how registry writes, atoms, hot
// keys, subclassing and message boxes follow each other.
class JournalPlatform final : public ForwardingPlatform {
 public:
  explicit JournalPlatform(FakePlatform& fake) : ForwardingPlatform(fake) {}
  std::vector<std::string> journal;

  std::int32_t RegSetValueExA(const RegKey& key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) override {
    journal.push_back("write " + name);
    return fake_.RegSetValueExA(key, name, type, data, size);
  }
  std::int32_t RegDeleteValueA(const RegKey& key, const std::string& name) override {
    journal.push_back("delete " + name);
    return fake_.RegDeleteValueA(key, name);
  }
  std::int32_t RegDeleteKeyA(std::uint32_t hive, const std::string& subKey) override {
    journal.push_back("delete key " + subKey);
    return fake_.RegDeleteKeyA(hive, subKey);
  }
  std::int32_t WritePrivateProfileStringA(const std::string& section, const std::string& entry,
                                          const std::string& text, const std::string& file) override {
    journal.push_back("write profile " + entry);
    return fake_.WritePrivateProfileStringA(section, entry, text, file);
  }

  std::uint32_t GlobalAddAtomA(const std::string& text) override {
    const std::uint32_t atom = fake_.GlobalAddAtomA(text);
    journal.push_back("add atom " + std::to_string(atom));
    return atom;
  }
  std::uint32_t GlobalDeleteAtom(std::uint32_t atom) override {
    journal.push_back("delete atom " + std::to_string(atom));
    return fake_.GlobalDeleteAtom(atom);
  }
  bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers, std::int32_t key) override {
    journal.push_back("register " + std::to_string(id));
    return fake_.RegisterHotKey(window, id, modifiers, key);
  }
  bool UnregisterHotKey(WindowHandle window, std::int32_t id) override {
    journal.push_back("unregister " + std::to_string(id));
    return fake_.UnregisterHotKey(window, id);
  }
  WndProcAddr SetWindowLongA(WindowHandle window, WndProcAddr procedure) override {
    journal.push_back(procedure == fake_.AddressOfWindowProc() ? "install WindowProc" : "install other");
    return fake_.SetWindowLongA(window, procedure);
  }

  int MessageBoxA(WindowHandle owner, const std::string& text, const std::string& title,
                  std::uint32_t flags) override {
    journal.push_back("message box");
    return fake_.MessageBoxA(owner, text, title, flags);
  }
};

class HotKeyDialogTest : public ::testing::Test {
 protected:
  HotKeyDialogTest() { progman = os.AddWindow("Progman", "Program Manager", true); }
  ~HotKeyDialogTest() override {
    program.reset();
    EXPECT_EQ(os.OpenRegistryKeys(), 0u);
    EXPECT_EQ(os.LiveAtoms(), 0u);
    EXPECT_EQ(os.Faults(), std::vector<std::string>{});
  }

  void Store(const std::string& name, const std::string& text) {
    os.SetRegistryString(kHkeyCurrentUser, kSettings, name, text);
  }
  std::optional<std::string> Stored(const std::string& name) const {
    return os.RegistryString(kHkeyCurrentUser, kSettings, name);
  }

  // Starts the program; the logs and the journal then hold only what the test does.
  void Start() {
    program = std::make_unique<Program>(journaled);
    AutoHide::Main(*program);
    os.ClearLogs();
    journaled.journal.clear();
  }

  // The user picks the command from the tray's command menu.
  void Choose(const std::string& caption) {
    os.SetPopupChooser(platform::ChooseCaption(caption));
    EXPECT_TRUE(os.ClickTrayIcon(kWmRButtonUp));
    EXPECT_TRUE(!os.Popups().empty() && os.Popups().back().chosen != -1)
        << "no \"" << caption << "\" in the command menu";
  }

  // Opens the dialog through the tray; null (and a failure) when it did not appear.
  FakeForm* Open() {
    Choose("Select Hot Key");
    FakeForm* dialog = os.FormByCaption(kDialogCaption);
    EXPECT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog && dialog->Visible());
    return dialog;
  }

  FakeForm* OpenDialog() const { return os.FormByCaption(kDialogCaption); }
  FakeForm& Main() const { return *os.FormByCaption("Zemrik Program"); }
  std::int32_t HotKeyId() const { return program->GlobalAtom ? program->GlobalAtom->Value() : -1; }

  // The user chooses an entry from the list (or types it: the box shows the same text).
  static void Pick(FakeForm& dialog, const std::string& entry) { dialog.SetText(Dialog::ComboBox1, entry); }
  // The three check boxes as the user left them: Shift, Ctrl, Alt.
  static std::vector<int> Checks(const FakeForm& dialog) {
    return {dialog.Check(Dialog::CheckBox1), dialog.Check(Dialog::CheckBox2), dialog.Check(Dialog::CheckBox3)};
  }

  FakePlatform os;
  JournalPlatform journaled{os};
  WindowHandle progman = 0;
  std::unique_ptr<Program> program;
};

// ----------------------------------------------------------------- loading

TEST_F(HotKeyDialogTest, TheListHoldsTheFunctionKeysThenTheLetters) {
  Start();
  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  const std::vector<std::string> expected = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10",
                                             "F11", "F12", "A", "B", "C", "D", "E", "F", "G", "H",
                                             "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                             "S", "T", "U", "V", "W", "X", "Y", "Z"};
  EXPECT_EQ(dialog->Items(Dialog::ComboBox1), expected);
  // The default key and nothing else: the box shows F10 and no modifier is set.
  EXPECT_EQ(dialog->Text(Dialog::ComboBox1), "F10");
  EXPECT_EQ(Checks(*dialog), (std::vector<int>{0, 0, 0}));
  // Esc belongs to "Cancel".
  ASSERT_NE(dialog->ControlSpecOf(Dialog::Command1), nullptr);
  EXPECT_TRUE(dialog->ControlSpecOf(Dialog::Command1)->cancel);
  EXPECT_EQ(dialog->Text(Dialog::Command1), "Cancel");
  EXPECT_EQ(dialog->Text(Dialog::Command2), "Save Selection");
}

// What the dialog shows for the stored values: the key's entry (or the empty
// text) and the check boxes Shift, Ctrl, Alt. A null pointer is a value not stored.
struct StoredValues {
  const char* key;
  const char* shift;
  const char* ctrl;
  const char* alt;
  const char* shown;
  std::vector<int> checks;
};

class DialogLoadTest : public HotKeyDialogTest, public ::testing::WithParamInterface<StoredValues> {};

TEST_P(DialogLoadTest, ShowsTheStoredKeyAndModifiers) {
  const StoredValues& stored = GetParam();
  for (auto [name, text] : {std::pair{"Key", stored.key}, {"Shift", stored.shift}, {"Ctrl", stored.ctrl},
                            {"Alt", stored.alt}}) {
    if (text != nullptr) Store(name, text);
  }
  Start();
  const std::string before = os.DumpRegistry();

  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Text(Dialog::ComboBox1), stored.shown);
  EXPECT_EQ(Checks(*dialog), stored.checks);
  EXPECT_EQ(dialog->ItemCount(Dialog::ComboBox1), 38);
  EXPECT_EQ(os.DumpRegistry(), before);  // loading writes nothing
  EXPECT_TRUE(os.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, DialogLoadTest,
    ::testing::Values(
        // The default: F10, nothing else.
        StoredValues{"121", "", "", "", "F10", {0, 0, 0}},
        // Shift and Alt, Ctrl empty.
        StoredValues{"65", "65536", "", "262144", "A", {1, 0, 1}},
        StoredValues{"123", "", "131072", "262144", "F12", {0, 1, 1}},
        StoredValues{"112", "65536", "131072", "262144", "F1", {1, 1, 1}},
        StoredValues{"90", "65536", "131072", nullptr, "Z", {1, 1, 0}},
        // Any text counts as on.
        StoredValues{"77", "1", "x", " ", "M", {1, 1, 1}},
        // A code outside the table (the space bar), and the codes just beside it.
        StoredValues{"32", "", "", "", "", {0, 0, 0}},
        StoredValues{"64", "", "", "", "", {0, 0, 0}},
        StoredValues{"91", "", "", "", "", {0, 0, 0}},
        StoredValues{"111", "", "", "", "", {0, 0, 0}},
        StoredValues{"124", "", "", "", "", {0, 0, 0}},
        StoredValues{"0", "", "", "", "", {0, 0, 0}},
        // Not a 16-bit whole number: the empty text, nothing fails.
        StoredValues{"F10", "65536", "", "", "", {1, 0, 0}},
        StoredValues{"", "", "", "", "", {0, 0, 0}},
        StoredValues{"12.5", "", "", "", "", {0, 0, 0}},
        StoredValues{"121abc", "", "", "", "", {0, 0, 0}},
        StoredValues{"65601", "", "", "", "", {0, 0, 0}},  // 65 + 65536: no wrap-around onto "A"
        StoredValues{"-65471", "", "", "", "", {0, 0, 0}},
        StoredValues{"99999999999999999999", "", "", "", "", {0, 0, 0}},
        // Blanks around a number are read as start-up reads them.
        StoredValues{" 112 ", "", "", "", "F1", {0, 0, 0}}));

TEST_F(HotKeyDialogTest, AKeyOfAnotherTypeOrNoKeyAtAllShowsTheEmptyText) {
  Start();
  // A number stored as REG_DWORD by hand: its bytes are no decimal text.
  os.SetRegistryValue(kHkeyCurrentUser, kSettings, "Key", kRegDword, {121, 0, 0, 0});
  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Text(Dialog::ComboBox1), "");
  EXPECT_TRUE(os.PressEsc(*dialog));

  // The settings key removed while the program runs.
  ASSERT_TRUE(os.RemoveRegistryKey(kHkeyCurrentUser, kSettings));
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Text(Dialog::ComboBox1), "");
  EXPECT_EQ(Checks(*dialog), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(dialog->ItemCount(Dialog::ComboBox1), 38);
}

// ------------------------------------------------------------------ saving

TEST_F(HotKeyDialogTest, SavingWritesThenReRegistersThenReports) {
  Store("Key", "65");
  Store("Shift", "65536");
  Store("Ctrl", "");
  Store("Alt", "262144");
  os.SetLocalDateTimeText("07/12/2026 10:00:00");
  Start();
  const std::int32_t oldId = HotKeyId();
  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Checks(*dialog), (std::vector<int>{1, 0, 1}));
  journaled.journal.clear();
  os.ClearLogs();

  // When the box comes up the dialog is already out of sight and the work is done.
  os.SetLocalDateTimeText("07/12/2026 10:00:07");
  bool hiddenDuringBox = false;
  os.SetMessageBoxResponder([&](const MessageBoxCall&) {
    hiddenDuringBox = OpenDialog() != nullptr && !OpenDialog()->Visible();
    return kIdOk;
  });
  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));
  EXPECT_TRUE(hiddenDuringBox);
  EXPECT_EQ(OpenDialog(), nullptr);

  const std::int32_t newId = HotKeyId();
  EXPECT_NE(newId, oldId);
  EXPECT_EQ(os.AtomName(std::uint32_t(newId)), "07/12/2026 10:00:07");
  EXPECT_FALSE(os.AtomName(std::uint32_t(oldId)));
  const std::vector<std::string> expected = {
      "write Key", "write Shift", "write Ctrl", "write Alt",
      "unregister " + std::to_string(oldId),
      "install WindowProc",  // UnhookWindow puts back what HookWindow found: WindowProc itself
      "add atom " + std::to_string(newId),
      "delete atom " + std::to_string(oldId),  // the new atom first, then the old one goes
      "register " + std::to_string(newId),
      "write F10",  // after the registration
      "install WindowProc",
      "message box",
  };
  EXPECT_EQ(journaled.journal, expected);

  // The same strings again, and F10 = "Yes".
  EXPECT_EQ(Stored("Key"), "65");
  EXPECT_EQ(Stored("Shift"), "65536");
  EXPECT_EQ(Stored("Ctrl"), "");
  EXPECT_EQ(Stored("Alt"), "262144");
  EXPECT_EQ(Stored("F10"), "Yes");
  EXPECT_EQ(os.RegistryValue(kHkeyCurrentUser, kSettings, "Ctrl")->type, kRegSz);

  const WindowHandle main = Main().Handle();
  EXPECT_EQ(os.HotKeyCalls(),
            (std::vector<HotKeyCall>{{false, {main, oldId, 0, 0}, true}, {true, {main, newId, 5, 65}, true}}));
  EXPECT_EQ(os.HotKeys(), (std::vector<HotKeyRegistration>{{main, newId, 5, 65}}));
  EXPECT_EQ(program->HotKeyModifiers, 5);
  EXPECT_EQ(program->SelectedKeyCode, 65);

  ASSERT_EQ(os.MessageBoxes().size(), 1u);
  EXPECT_EQ(os.MessageBoxes()[0].text, kSaved);
  EXPECT_EQ(os.MessageBoxes()[0].title, kTitle);
  EXPECT_EQ(os.MessageBoxes()[0].flags, 64u);
}

TEST_F(HotKeyDialogTest, TheNewHotKeyReachesWindowProcWhichPassesItOn) {
  Start();
  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Pick(*dialog, "F12");
  EXPECT_TRUE(os.Click(*dialog, Dialog::CheckBox2));
  EXPECT_TRUE(os.Click(*dialog, Dialog::CheckBox3));
  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));

  EXPECT_EQ(Stored("Key"), "123");
  EXPECT_EQ(Stored("Shift"), "");
  EXPECT_EQ(Stored("Ctrl"), "131072");
  EXPECT_EQ(Stored("Alt"), "262144");
  EXPECT_EQ(Stored("F10"), "Yes");

  FakeForm& main = Main();
  EXPECT_EQ(os.HotKeys(), (std::vector<HotKeyRegistration>{{main.Handle(), HotKeyId(), 3, 123}}));
  EXPECT_EQ(os.CurrentWndProc(main.Handle()), FakePlatform::kWindowProcAddress);
  EXPECT_EQ(program->PrevWndProc, main.ClassProcedure());
  EXPECT_EQ(program->SavedWndProc, FakePlatform::kWindowProcAddress);

  EXPECT_FALSE(os.PressHotKey(0, 121));  // the old key is gone
  EXPECT_TRUE(os.PressHotKey(3, 123));
  EXPECT_TRUE(os.WindowVisible(progman));
  ASSERT_EQ(os.DefaultHandled().size(), 1u);  // and the window's own procedure saw it
  EXPECT_EQ(os.DefaultHandled()[0].message, kWmHotKey);
  EXPECT_EQ(os.DefaultHandled()[0].wParam, WParam(std::uint32_t(HotKeyId())));

  // The next opening starts from what was stored.
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Text(Dialog::ComboBox1), "F12");
  EXPECT_EQ(Checks(*dialog), (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(dialog->ItemCount(Dialog::ComboBox1), 38);
}

TEST_F(HotKeyDialogTest, ManySavesKeepTheChainAndOneAtom) {
  Start();
  const char* const keys[] = {"A", "F5", "Z", "F1", "M"};
  const int codes[] = {65, 116, 90, 112, 77};
  for (int i = 0; i < 5; ++i) {
    os.SetLocalDateTimeText("07/12/2026 10:0" + std::to_string(i) + ":00");
    FakeForm* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Pick(*dialog, keys[i]);
    EXPECT_TRUE(os.Click(*dialog, Dialog::CheckBox1));  // Shift on, off, on, ...
    EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));
    ASSERT_EQ(os.HotKeys().size(), 1u);
    EXPECT_EQ(os.HotKeys()[0].key, codes[i]);
    EXPECT_EQ(os.LiveAtoms(), 1u);
  }
  FakeForm& main = Main();
  EXPECT_EQ(os.CurrentWndProc(main.Handle()), FakePlatform::kWindowProcAddress);
  EXPECT_EQ(program->PrevWndProc, main.ClassProcedure());
  EXPECT_TRUE(os.PressHotKey(BasModule::kModShift, 77));
  EXPECT_TRUE(os.WindowVisible(progman));
  EXPECT_EQ(os.DefaultHandled().size(), 1u);
  EXPECT_EQ(os.MessageBoxes().size(), 5u);
}

TEST_F(HotKeyDialogTest, WithinOneSecondTheAtomIsSharedAndStaysAlive) {
  os.SetLocalDateTimeText("07/12/2026 10:00:00");
  Start();
  const std::int32_t id = HotKeyId();
  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Pick(*dialog, "B");
  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));

  // Same text, same atom: added again (count 2) before the old instance deletes it (count 1).
  EXPECT_EQ(HotKeyId(), id);
  EXPECT_EQ(os.AtomCount("07/12/2026 10:00:00"), 1);
  EXPECT_EQ(os.AtomName(std::uint32_t(id)), "07/12/2026 10:00:00");
  const std::vector<std::string> atoms = {"add atom " + std::to_string(id), "delete atom " + std::to_string(id)};
  std::vector<std::string> seen;
  for (const std::string& entry : journaled.journal)
    if (entry.find("atom") != std::string::npos) seen.push_back(entry);
  EXPECT_EQ(seen, atoms);
  EXPECT_EQ(os.HotKeys(), (std::vector<HotKeyRegistration>{{Main().Handle(), id, 0, 66}}));
  EXPECT_TRUE(os.PressHotKey(0, 66));
  EXPECT_TRUE(os.WindowVisible(progman));
}

// The modifier flags from the three check boxes, and the strings stored for them.
class DialogModifierTest : public HotKeyDialogTest,
                           public ::testing::WithParamInterface<std::tuple<bool, bool, bool, std::uint32_t>> {};

TEST_P(DialogModifierTest, TheCheckBoxesGiveTheFlagsAndTheStrings) {
  const auto& [shift, ctrl, alt, flags] = GetParam();
  // Start from the opposite of what is wanted, so every box has to change.
  Store("Shift", shift ? "" : "65536");
  Store("Ctrl", ctrl ? "" : "131072");
  Store("Alt", alt ? "" : "262144");
  Start();
  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  for (int box : {Dialog::CheckBox1, Dialog::CheckBox2, Dialog::CheckBox3}) EXPECT_TRUE(os.Click(*dialog, box));
  Pick(*dialog, "Q");
  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));

  ASSERT_EQ(os.HotKeys().size(), 1u);
  EXPECT_EQ(os.HotKeys()[0].modifiers, flags);
  EXPECT_EQ(os.HotKeys()[0].key, 81);
  EXPECT_EQ(program->HotKeyModifiers, std::int32_t(flags));
  EXPECT_EQ(Stored("Shift"), shift ? "65536" : "");
  EXPECT_EQ(Stored("Ctrl"), ctrl ? "131072" : "");
  EXPECT_EQ(Stored("Alt"), alt ? "262144" : "");
  EXPECT_TRUE(os.PressHotKey(flags, 81));
}

INSTANTIATE_TEST_SUITE_P(AllEight, DialogModifierTest,
                         ::testing::Values(std::make_tuple(false, false, false, 0u),
                                           std::make_tuple(false, false, true, 1u),
                                           std::make_tuple(false, true, false, 2u),
                                           std::make_tuple(false, true, true, 3u),
                                           std::make_tuple(true, false, false, 4u),
                                           std::make_tuple(true, false, true, 5u),
                                           std::make_tuple(true, true, false, 6u),
                                           std::make_tuple(true, true, true, 7u)));

TEST_F(HotKeyDialogTest, AKeyAnotherProgramHoldsIsSavedAndSaidToBeInUse) {
  Start();
  os.ReserveHotKey(BasModule::kModControl, 65);
  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Pick(*dialog, "A");
  EXPECT_TRUE(os.Click(*dialog, Dialog::CheckBox2));
  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));

  EXPECT_EQ(Stored("Key"), "65");
  EXPECT_EQ(Stored("Ctrl"), "131072");
  EXPECT_EQ(Stored("F10"), "Yes");
  ASSERT_EQ(os.MessageBoxes().size(), 1u);
  EXPECT_EQ(os.MessageBoxes()[0].text, kSavedButTaken);
  EXPECT_EQ(os.MessageBoxes()[0].title, kTitle);
  EXPECT_EQ(os.MessageBoxes()[0].flags, 48u);
  ASSERT_EQ(os.HotKeyCalls().size(), 2u);
  EXPECT_FALSE(os.HotKeyCalls()[1].result);
  EXPECT_TRUE(os.HotKeys().empty());  // F10 was given up for it
  EXPECT_EQ(OpenDialog(), nullptr);

  // Choosing a free key afterwards works again and says so plainly.
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Text(Dialog::ComboBox1), "A");
  Pick(*dialog, "B");
  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));
  EXPECT_EQ(os.MessageBoxes().back().text, kSaved);
  EXPECT_EQ(os.HotKeys().size(), 1u);
}

// ----------------------------------------------------- text not in the list

class UnlistedTextTest : public HotKeyDialogTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnlistedTextTest, SavesNothingAndKeepsTheDialogOpen) {
  Start();
  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(os.Click(*dialog, Dialog::CheckBox1));
  Pick(*dialog, GetParam());
  const std::string before = os.DumpRegistry();
  const std::vector<HotKeyRegistration> hotKeys = os.HotKeys();
  const std::int32_t id = HotKeyId();

  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));

  ASSERT_EQ(os.MessageBoxes().size(), 1u);
  EXPECT_EQ(os.MessageBoxes()[0].text, kChooseAKey);
  EXPECT_EQ(os.MessageBoxes()[0].title, kTitle);
  EXPECT_EQ(os.MessageBoxes()[0].flags, 64u);
  EXPECT_EQ(os.DumpRegistry(), before);
  EXPECT_TRUE(os.HotKeyCalls().empty());
  EXPECT_EQ(os.HotKeys(), hotKeys);
  EXPECT_EQ(HotKeyId(), id);
  EXPECT_EQ(program->SelectedKeyCode, 0);
  // Still there as the user left it, for another try.
  ASSERT_EQ(OpenDialog(), dialog);
  EXPECT_TRUE(dialog->Visible());
  EXPECT_EQ(dialog->Text(Dialog::ComboBox1), GetParam());
  EXPECT_EQ(Checks(*dialog), (std::vector<int>{1, 0, 0}));

  // The second try with a listed key saves it.
  Pick(*dialog, "F5");
  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));
  EXPECT_EQ(Stored("Key"), "116");
  EXPECT_EQ(Stored("Shift"), "65536");
  EXPECT_EQ(os.HotKeys().size(), 1u);
  EXPECT_EQ(OpenDialog(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Texts, UnlistedTextTest,
                         ::testing::Values("", "f5", "a", "F13", "F0", "F 5", " F5", "F5 ", "121", "Space", "AB"));

TEST_F(HotKeyDialogTest, AnUnlistedTextNeverFallsBackOnTheLastSave) {
  Start();
  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Pick(*dialog, "G");
  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));
  ASSERT_EQ(program->SelectedKeyCode, 71);

  // A stored code outside the table shows the empty text; saving it must not register G again.
  Store("Key", "32");
  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Text(Dialog::ComboBox1), "");
  os.ClearLogs();
  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));
  EXPECT_EQ(os.MessageBoxes().size(), 1u);
  EXPECT_EQ(os.MessageBoxes()[0].text, kChooseAKey);
  EXPECT_TRUE(os.HotKeyCalls().empty());
  EXPECT_EQ(Stored("Key"), "32");
  EXPECT_TRUE(dialog->Visible());
}

// ------------------------------------------------------------- cancelling

class CancelTest : public HotKeyDialogTest, public ::testing::WithParamInterface<int> {
 protected:
  enum Way { kCancelButton, kEsc, kCloseBox };
  bool Cancel(FakeForm& dialog) {
    switch (GetParam()) {
      case kCancelButton: return os.Click(dialog, Dialog::Command1);
      case kEsc: return os.PressEsc(dialog);
      default: return os.CloseBox(dialog);
    }
  }
};

TEST_P(CancelTest, ChangesNothingAndTheNextOpeningShowsTheStoredValues) {
  Store("Key", "66");
  Store("Alt", "262144");
  Start();
  const std::string before = os.DumpRegistry();
  const std::vector<HotKeyRegistration> hotKeys = os.HotKeys();
  const std::int32_t id = HotKeyId();

  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Pick(*dialog, "F7");
  EXPECT_TRUE(os.Click(*dialog, Dialog::CheckBox1));
  EXPECT_TRUE(os.Click(*dialog, Dialog::CheckBox3));
  EXPECT_TRUE(Cancel(*dialog));

  EXPECT_EQ(OpenDialog(), nullptr);
  EXPECT_EQ(os.DumpRegistry(), before);
  EXPECT_TRUE(os.HotKeyCalls().empty());
  EXPECT_EQ(os.HotKeys(), hotKeys);
  EXPECT_EQ(HotKeyId(), id);
  EXPECT_EQ(os.LiveAtoms(), 1u);
  EXPECT_TRUE(os.MessageBoxes().empty());
  EXPECT_EQ(program->SelectedKeyCode, 0);
  EXPECT_EQ(program->HotKeyModifiers, 1);
  EXPECT_EQ(journaled.journal, std::vector<std::string>{});

  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Text(Dialog::ComboBox1), "B");
  EXPECT_EQ(Checks(*dialog), (std::vector<int>{0, 0, 1}));
  EXPECT_TRUE(os.PressHotKey(BasModule::kModAlt, 66));
}

std::string WayName(const ::testing::TestParamInfo<int>& info) {
  const char* const names[] = {"CancelButton", "Esc", "CloseBox"};
  return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Ways, CancelTest, ::testing::Values(0, 1, 2), WayName);

// ----------------------------------------------------- opening while open

TEST_F(HotKeyDialogTest, SelectHotKeyWhileOpenShowsTheSameDialogUnchanged) {
  Start();
  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Pick(*dialog, "K");
  EXPECT_TRUE(os.Click(*dialog, Dialog::CheckBox2));
  dialog->Hide();  // behind other windows, say; the command brings it back
  os.ClearLogs();

  Choose("Select Hot Key");
  ASSERT_EQ(OpenDialog(), dialog);
  EXPECT_TRUE(dialog->Visible());
  EXPECT_EQ(dialog->Text(Dialog::ComboBox1), "K");
  EXPECT_EQ(Checks(*dialog), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(dialog->ItemCount(Dialog::ComboBox1), 38);  // not filled twice
  EXPECT_EQ(os.LiveForms(), 2u);                        // the main window and this one
  EXPECT_TRUE(os.RegistryCalls().empty());              // nothing read again

  // The tray and the hot key keep working meanwhile.
  EXPECT_TRUE(os.PressHotKey(0, 121));
  EXPECT_TRUE(os.WindowVisible(progman));

  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));
  EXPECT_EQ(Stored("Key"), "75");
  EXPECT_EQ(Stored("Ctrl"), "131072");
}

TEST_F(HotKeyDialogTest, SelectHotKeyWhileTheSavedNoticeIsUpKeepsTheDialogOpen) {
  // The notice is modal only to itself: the tray still works while it is up.
  Start();
  FakeForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Pick(*dialog, "J");
  EXPECT_TRUE(os.Click(*dialog, Dialog::CheckBox3));
  os.SetMessageBoxResponder([this](const MessageBoxCall&) {
    Choose("Select Hot Key");
    return kIdOk;
  });
  EXPECT_TRUE(os.Click(*dialog, Dialog::Command2));

  // The user asked for the dialog again: it stays, showing what was just saved.
  ASSERT_EQ(OpenDialog(), dialog);
  EXPECT_TRUE(dialog->Visible());
  EXPECT_EQ(dialog->Text(Dialog::ComboBox1), "J");
  EXPECT_EQ(Checks(*dialog), (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(Stored("Key"), "74");
  EXPECT_EQ(os.HotKeys().size(), 1u);

  os.SetMessageBoxResponder(nullptr);
  EXPECT_TRUE(os.Click(*dialog, Dialog::Command1));
  EXPECT_EQ(OpenDialog(), nullptr);
}

}  // namespace
}  // namespace tamberlinox
