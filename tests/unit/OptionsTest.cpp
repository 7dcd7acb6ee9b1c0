// The options as stored: defaults for missing values, and anything the
// program would not write itself read as the default and left in place; and
// the Options window that shows and stores them.
#include <gtest/gtest.h>

#include <map>

#include "app/CommandLine.h"
#include "options/Options.h"
#include "platform/fake/FakePlatform.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

using platform::Hive;
constexpr char kKey[] = "Software\\Zemrik Software\\Tamberlinox";
constexpr char kPolicies[] = "Software\\Policies\\Zemrik Software\\Tamberlinox";

std::vector<std::uint8_t> Dword(std::uint32_t n) {
  return {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)};
}

// The options in the program's key.
struct StoredOptions {
  platform::FakePlatform os;
  settings::ValueStore values{os};
  settings::Store store{os, values, os.programFolder};
};

TEST(OptionsTest, MissingValuesGiveTheDefaults) {
  StoredOptions stored;
  EXPECT_EQ(options::ReadOptions(stored.store), (options::Options{true, 0, false}));
}

TEST(OptionsTest, WrittenValuesReadBack) {
  StoredOptions stored;
  auto& os = stored.os;
  const options::Options chosen{false, 120, true, 123, 5};
  ASSERT_TRUE(options::WriteOptions(stored.store, chosen));
  EXPECT_EQ(options::ReadOptions(stored.store), chosen);
  EXPECT_EQ(os.registry.Bytes(Hive::CurrentUser, kKey, "IdleMinutes"), Dword(120));
}

TEST(OptionsTest, OddValuesReadAsTheDefaultAndStay) {
  StoredOptions stored;
  auto& os = stored.os;
  os.registry.SetText(Hive::CurrentUser, kKey, "DoubleClick", "0");                  // a string
  os.registry.SetBytes(Hive::CurrentUser, kKey, "IdleMinutes", 4, Dword(0xFFFFFFFF));  // -1
  os.registry.SetBytes(Hive::CurrentUser, kKey, "FolderMenus", 3, {1, 0, 0, 0});      // REG_BINARY
  EXPECT_EQ(options::ReadOptions(stored.store), (options::Options{true, 0, false}));
  for (const std::uint32_t odd : {121u, 0x10000u, 0x80000001u}) {
    os.registry.SetBytes(Hive::CurrentUser, kKey, "IdleMinutes", 4, Dword(odd));
    os.registry.SetBytes(Hive::CurrentUser, kKey, "DoubleClick", 4, Dword(odd == 121 ? 2 : odd));
    EXPECT_EQ(options::ReadOptions(stored.store), (options::Options{true, 0, false})) << odd;
  }
  os.registry.SetBytes(Hive::CurrentUser, kKey, "DoubleClick", 4, {0, 0, 0});  // three bytes
  EXPECT_TRUE(options::ReadOptions(stored.store).doubleClick);
  EXPECT_EQ(os.registry.Bytes(Hive::CurrentUser, kKey, "DoubleClick"), (std::vector<std::uint8_t>{0, 0, 0}));
}

// The desktop menu's key: a code of the list with modifiers 0-7 (missing = 0);
// anything else, in either value, is none. Type 0: not stored.
TEST(OptionsTest, MenuKeyStoredValues) {
  constexpr std::uint32_t D = platform::kRegDword, S = 1;
  const struct { std::uint32_t keyType, key, modifiersType, modifiers; int readKey, readModifiers; } rows[] = {
      {D, 120, 0, 0, 120, 0}, {D, 65, D, 7, 65, 7}, {D, 0, D, 2, 0, 0},  {D, 120, D, 8, 0, 0},   {D, 120, S, 2, 0, 0},
      {S, 120, 0, 0, 0, 0},   {D, 48, 0, 0, 0, 0},  {D, 124, 0, 0, 0, 0}, {D, 0x10078, 0, 0, 0, 0}};
  for (const auto& row : rows) {
    StoredOptions stored;
    stored.os.registry.SetBytes(Hive::CurrentUser, kKey, "MenuKey", row.keyType, Dword(row.key));
    if (row.modifiersType)
      stored.os.registry.SetBytes(Hive::CurrentUser, kKey, "MenuModifiers", row.modifiersType, Dword(row.modifiers));
    const options::Options read = options::ReadOptions(stored.store);
    EXPECT_EQ(read.menuKey * 8 + int(read.menuModifiers), row.readKey * 8 + row.readModifiers) << row.key;
  }
}

// A policy value: the computer's wins over the user's where it is a REG_DWORD
// in range; anything else counts as not set. (Type 1 REG_SZ, 3 REG_BINARY, 0 none.)
TEST(OptionsTest, PoliciesTheComputersWinsOddValuesAreNotSet) {
  const struct { const char* name; std::uint32_t type, machine, user; std::optional<std::uint32_t> held; } rows[] = {
      {"Key", 4, 65, 112, 65},        {"Key", 0, 0, 123, 123},         {"Key", 4, 91, 90, 90},
      {"Key", 1, 65, 124, {}},        {"Modifiers", 4, 8, 7, 7},       {"Modifiers", 4, 0, 5, 0},
      {"DoubleClick", 4, 2, 0, 0},    {"DoubleClick", 3, 1, 9, {}},    {"IdleMinutes", 4, 121, 120, 120},
      {"FolderMenus", 0, 0, 1, 1}};
  for (const auto& row : rows) {
    StoredOptions stored;
    if (row.type == 1) stored.os.registry.SetText(Hive::LocalMachine, kPolicies, row.name, std::to_string(row.machine));
    if (row.type > 1)
      stored.os.registry.SetBytes(Hive::LocalMachine, kPolicies, row.name, row.type, Dword(row.machine));
    stored.os.registry.SetBytes(Hive::CurrentUser, kPolicies, row.name, platform::kRegDword, Dword(row.user));
    const settings::Policies read = settings::ReadPolicies(stored.os);
    const std::map<std::string, std::optional<std::uint32_t>> held{
        {"Key", read.key}, {"Modifiers", read.modifiers}, {"DoubleClick", read.doubleClick},
        {"IdleMinutes", read.idleMinutes}, {"FolderMenus", read.folderMenus}};
    EXPECT_EQ(held.at(row.name), row.held) << row.name << " " << row.machine;
  }
  // What a policy does not hold is the user's.
  const settings::Policies held{65, {}, {}, 0, {}};
  EXPECT_EQ(settings::HotKeyInForce({"121", true, false, true}, held), (settings::KeyCombination{65, 5}));
  EXPECT_EQ(options::InForce({false, 7, true, 120, 4}, held), (options::Options{false, 0, true, 120, 4}));
}

}  // namespace
}  // namespace tamberlinox::test

// ------------------------------------------------------ the Options window
namespace tamberlinox::test {
namespace {

using options::OptionsWindow;

class OptionsWindowTest : public RunningProgram {
 protected:
  FakeWindow* Window() { return os.WindowByCaption(OptionsWindow::kCaption); }
  std::optional<std::vector<std::uint8_t>> Stored(const char* name) {
    return os.registry.Bytes(Hive::CurrentUser, kKey, name);
  }
};

// "/options" opens the window in the running copy, which comes to the front;
// OK stores the values and puts them in force at once.
TEST_F(OptionsWindowTest, RoundTripWithTheRunningCopy) {
  Start();
  EXPECT_EQ(RunCommandLine(os, {"/options"}), 0);
  FakeWindow* window = Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->shown);
  EXPECT_EQ(os.cameToFrontFor, std::vector<platform::WindowHandle>{main->handle});
  EXPECT_TRUE(window->Checked(OptionsWindow::kDoubleClickBox));
  EXPECT_FALSE(window->Checked(OptionsWindow::kFolderMenusBox));
  EXPECT_EQ(window->Control(OptionsWindow::kFolderMenusBox)->text, "Show desktop &folders as submenus");
  EXPECT_FALSE(window->Checked(OptionsWindow::kIdleBox));
  EXPECT_EQ(window->Text(OptionsWindow::kIdleMinutesBox), "10");
  EXPECT_EQ(window->Control(OptionsWindow::kPlaceLabel)->text,
            "Settings are kept in HKEY_CURRENT_USER\\Software\\Zemrik Software\\Tamberlinox.");
  EXPECT_EQ(RunCommandLine(os, {"-OPTIONS"}), 0);  // never twice: the same window, to the front
  EXPECT_EQ(Window(), window);
  EXPECT_EQ(window->broughtToFront, 2);

  window->Click(OptionsWindow::kDoubleClickBox);
  window->Click(OptionsWindow::kFolderMenusBox);
  window->Click(OptionsWindow::kIdleBox);
  window->SetText(OptionsWindow::kIdleMinutesBox, "121");
  EXPECT_TRUE(window->PressEnter());
  ASSERT_EQ(os.boxes.size(), 1u);  // out of range: asked again
  EXPECT_EQ(os.boxes[0].text, "Please enter a number of minutes from 1 to 120.");
  EXPECT_FALSE(Stored("IdleMinutes"));
  window->SetText(OptionsWindow::kIdleMinutesBox, "7");
  EXPECT_TRUE(window->PressEnter());
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(Stored("DoubleClick"), Dword(0));
  EXPECT_EQ(Stored("FolderMenus"), Dword(1));
  EXPECT_EQ(Stored("IdleMinutes"), Dword(7));
  EXPECT_EQ(os.inputWatchWindow, 0u);  // no double-click, so no watch
  EXPECT_EQ(main->timers[MainWindow::kIdleTimer].intervalMs, 7 * 60000u);

  program.optionsWindow().Show();  // the stored values again; Esc changes nothing
  ASSERT_NE(Window(), nullptr);
  EXPECT_FALSE(Window()->Checked(OptionsWindow::kDoubleClickBox));
  EXPECT_EQ(Window()->Text(OptionsWindow::kIdleMinutesBox), "7");
  Window()->Click(OptionsWindow::kIdleBox);
  Window()->PressEsc();
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(Stored("IdleMinutes"), Dword(7));

  os.AnswerBox(platform::kIdNo);  // "Close Program", No: the options go with the settings
  program.optionsWindow().Show();
  Command("Close Program");
  EXPECT_FALSE(os.registry.KeyExists(Hive::CurrentUser, kKey));
  EXPECT_TRUE(main->FireTimer(MainWindow::kShutdownTimer));
  EXPECT_EQ(Window(), nullptr);  // closed with the program
}

// The desktop menu's key in the window: the hot key's combination and a name
// off the list are refused (the window stays), a key another program holds is
// stored and said; each registers under its own id beside the hot key, and a
// press pops the desktop menu up without a toggle.
TEST_F(OptionsWindowTest, MenuKeyChoices) {
  // The name chosen, Shift, how the message begins, MenuKey stored (-1: refused), hot keys registered.
  const struct { const char* name; bool shift; const char* box; int stored; std::size_t keys; } rows[] = {
      {"F9", true, "", 120, 2}, {"None", true, "", 0, 1}, {"F10", false, "The hot key F10 shows and hides", -1, 1},
      {"F11", false, "The key F11 is in use by another program, so it does not open the desktop menu.", 122, 1},
      {"F10", true, "", 121, 2}, {"f9", false, "Please choose one of the keys in the list", -1, 2}};
  os.HoldHotKeyElsewhere(0, 122);
  Start();
  for (const auto& row : rows) {
    os.boxes.clear();
    program.optionsWindow().Show();
    Window()->SetText(OptionsWindow::kMenuKeyList, row.name);
    Window()->SetChecked(OptionsWindow::kMenuShiftBox, row.shift);
    EXPECT_TRUE(Window()->PressEnter());
    EXPECT_EQ(os.boxes.empty() ? "" : os.boxes[0].text.substr(0, std::string(row.box).size()), row.box) << row.name;
    EXPECT_EQ(Window() != nullptr, row.stored < 0) << row.name;
    if (row.stored >= 0) {
      EXPECT_EQ(Stored("MenuKey"), Dword(row.stored)) << row.name;
    }
    EXPECT_EQ(os.hotKeys.size(), row.keys) << row.name;
  }
  EXPECT_EQ(os.hotKeys[1], (platform::HotKey{main->handle, platform::kMenuHotKeyId, 4, 121}));
  EXPECT_TRUE(os.PressHotKey(4, 121));
  EXPECT_EQ(main->menusShown, 1);
  EXPECT_FALSE(DesktopVisible());
}

// Without a running copy the program starts as usual and opens the window;
// odd stored values show as the defaults and stay as they are.
TEST_F(OptionsWindowTest, WithoutARunningCopyTheProgramStartsWithIt) {
  os.registry.SetText(Hive::CurrentUser, kKey, "IdleMinutes", "5");
  os.arguments = {"/Options"};
  EXPECT_EQ(RunCommandLine(os, os.arguments), std::nullopt);
  Start();
  ASSERT_NE(Window(), nullptr);
  EXPECT_TRUE(Window()->shown);
  EXPECT_TRUE(main->tray.added);
  EXPECT_FALSE(Window()->Checked(OptionsWindow::kIdleBox));
  EXPECT_EQ(os.registry.Text(Hive::CurrentUser, kKey, "IdleMinutes"), "5");
  Window()->Close();
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(os.registry.Text(Hive::CurrentUser, kKey, "IdleMinutes"), "5");
}

// Options a policy holds show its values greyed, with the line, and OK keeps
// the user's own values of them; a "Policy" setting change puts the policies
// as they are now in force, and opens the window again with them.
TEST_F(OptionsWindowTest, PoliciesHoldOptions) {
  os.registry.SetBytes(Hive::LocalMachine, kPolicies, "DoubleClick", platform::kRegDword, Dword(0));
  os.registry.SetBytes(Hive::CurrentUser, kPolicies, "IdleMinutes", platform::kRegDword, Dword(30));
  Start();
  program.optionsWindow().Show();
  FakeWindow* window = Window();
  EXPECT_EQ(window->Text(OptionsWindow::kIdleMinutesBox), "30");
  for (const int id : {OptionsWindow::kDoubleClickBox, OptionsWindow::kIdleBox, OptionsWindow::kFolderMenusBox})
    EXPECT_EQ(window->Control(id)->spec.enabled, id == OptionsWindow::kFolderMenusBox) << id;
  EXPECT_EQ(window->Control(OptionsWindow::kManagedLabel)->text, "Some settings are managed by your organization.");
  EXPECT_TRUE(window->PressEnter());
  EXPECT_EQ(Stored("DoubleClick"), Dword(1));
  EXPECT_EQ(Stored("IdleMinutes"), Dword(0));
  EXPECT_EQ(os.inputWatchWindow, 0u);
  EXPECT_EQ(main->timers[MainWindow::kIdleTimer].intervalMs, 30 * 60000u);

  program.optionsWindow().Show();
  os.registry.hives[Hive::LocalMachine].clear();
  os.registry.hives[Hive::CurrentUser].erase(kPolicies);
  main->SettingChange(0, "Policy");
  EXPECT_EQ(os.inputWatchWindow, main->handle);
  EXPECT_FALSE(main->timers[MainWindow::kIdleTimer].running);
  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(Window()->Control(OptionsWindow::kManagedLabel), nullptr);
}

}  // namespace
}  // namespace tamberlinox::test
