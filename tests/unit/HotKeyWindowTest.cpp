// The hot key window: what it shows from the settings, what saving stores and
// registers, its notices, and that cancelling in any way changes nothing.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "hotkey/HotKeyWindow.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

using platform::HotKey;
using Window = hotkey::HotKeyWindow;

constexpr char kTitle[] = "Zemrik HotKey Select";

class HotKeyWindowTest : public RunningProgram {
 protected:
  void SetUp() override {
    Store("Shift", "65536");
    Store("Alt", "262144");
  }
  FakeWindow& Open() {
    Command("Select Hot Key");
    EXPECT_NE(HotKeyWindow(), nullptr);
    return *HotKeyWindow();
  }
  std::vector<bool> Checks(const FakeWindow& window) const {
    return {window.Checked(Window::kShiftBox), window.Checked(Window::kCtrlBox), window.Checked(Window::kAltBox)};
  }
  // The settings, the registered hot keys and the atoms: what a save changes.
  auto Now() const {
    std::vector<std::optional<std::string>> settings;
    for (const char* name : {"Key", "Shift", "Ctrl", "Alt", "F10"}) settings.push_back(Setting(name));
    return std::tuple(settings, os.hotKeys, os.atoms.size());
  }
  void ExpectBox(const std::string& text, std::uint32_t flags) {
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].text, text);
    EXPECT_EQ(os.boxes[0].title, kTitle);
    EXPECT_EQ(os.boxes[0].flags, flags);
    os.boxes.clear();
  }
};

TEST_F(HotKeyWindowTest, ItOpensWithTheStoredKeyAndModifiers) {
  Start();
  FakeWindow& window = Open();
  EXPECT_TRUE(window.shown);
  EXPECT_EQ(window.caption, "Zemrik Tamberlinox Program");
  EXPECT_EQ(window.Text(Window::kKeyList), "F10");
  EXPECT_EQ(Checks(window), (std::vector{true, false, true}));
  Texts keys = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"};
  for (char letter = 'A'; letter <= 'Z'; ++letter) keys.emplace_back(1, letter);
  EXPECT_EQ(window.Items(Window::kKeyList), keys);

  // "Select Hot Key" again shows the same window as the user left it.
  window.SetText(Window::kKeyList, "K");
  EXPECT_TRUE(window.Click(Window::kCtrlBox));
  window.Hide();
  EXPECT_EQ(&Open(), &window);
  EXPECT_TRUE(window.shown);
  EXPECT_EQ(window.Text(Window::kKeyList), "K");
  EXPECT_EQ(Checks(window), (std::vector{true, true, true}));
  EXPECT_EQ(window.Items(Window::kKeyList).size(), 38u);
}

TEST_F(HotKeyWindowTest, AStoredKeyThatIsNotInTheListShowsAnEmptyText) {
  Start();
  for (const char* stored : {"32", "abc", ""}) {
    Store("Key", stored);
    EXPECT_EQ(Open().Text(Window::kKeyList), "") << stored;
    HotKeyWindow()->Close();
  }
  os.registry.Find(Hive::CurrentUser, kSettingsKey)->values.erase("Key");
  EXPECT_EQ(Open().Text(Window::kKeyList), "");
}

TEST_F(HotKeyWindowTest, SavingStoresTheChoiceAndRegistersItUnderANewAtom) {
  Start();
  const int oldAtom = os.hotKeys.at(0).id;
  FakeWindow& window = Open();
  window.SetText(Window::kKeyList, "F12");
  EXPECT_TRUE(window.Click(Window::kShiftBox));
  EXPECT_TRUE(window.Click(Window::kCtrlBox));
  os.localDateTime = "07/12/2026 10:00:07";
  EXPECT_TRUE(window.Click(Window::kSaveButton));

  EXPECT_EQ(Setting("Key"), "123");
  EXPECT_EQ(Setting("Shift"), "");
  EXPECT_EQ(Setting("Ctrl"), "131072");
  EXPECT_EQ(Setting("Alt"), "262144");
  EXPECT_EQ(Setting("F10"), "Yes");
  EXPECT_EQ(os.hotKeys, (std::vector<HotKey>{{main->handle, os.FindAtom(os.localDateTime), 3, 123}}));
  EXPECT_FALSE(os.atoms.contains(std::uint16_t(oldAtom)));
  ExpectBox("Your Hot Key Changes Have Been Saved!", 64);
  EXPECT_EQ(HotKeyWindow(), nullptr);
  EXPECT_TRUE(os.PressHotKey(3, 123));
  EXPECT_TRUE(DesktopVisible());
}

TEST_F(HotKeyWindowTest, SavesWithinOneSecondKeepOneLiveAtom) {
  Start();
  for (int save = 0; save < 3; ++save) EXPECT_TRUE(Open().Click(Window::kSaveButton));
  EXPECT_EQ(os.atoms.size(), 1u);
  EXPECT_EQ(os.hotKeys, (std::vector<HotKey>{{main->handle, os.FindAtom(os.localDateTime), 5, 121}}));
  EXPECT_TRUE(os.PressHotKey(5, 121));
  EXPECT_TRUE(DesktopVisible());
}

TEST_F(HotKeyWindowTest, AKeyAnotherProgramHoldsIsSavedAndSaidToBeInUse) {
  Start();
  os.hotKeysOfOthers.push_back({0, 1, 2, 'A'});
  FakeWindow& window = Open();
  window.SetText(Window::kKeyList, "A");
  window.SetChecked(Window::kShiftBox, false);
  window.SetChecked(Window::kAltBox, false);
  EXPECT_TRUE(window.Click(Window::kCtrlBox));
  EXPECT_TRUE(window.Click(Window::kSaveButton));
  EXPECT_EQ(Setting("Key"), "65");
  EXPECT_EQ(Setting("Ctrl"), "131072");
  EXPECT_TRUE(os.hotKeys.empty());  // the old key was given up for it
  ExpectBox("Your Hot Key Changes Have Been Saved, But This Key Is Already In Use By Another Program.", 48);
  EXPECT_EQ(HotKeyWindow(), nullptr);
}

// Only one of the 38 keys can be saved; the window stays for another try.
TEST_F(HotKeyWindowTest, TextThatIsNoListedKeySavesNothingAndKeepsTheWindowOpen) {
  Start();
  const auto before = Now();
  FakeWindow& window = Open();
  for (const char* text : {"", "f5", "F13", " F5", "121"}) {
    window.SetText(Window::kKeyList, text);
    EXPECT_TRUE(window.Click(Window::kSaveButton));
    ExpectBox("Please Choose One Of The Keys In The List.", 64);
    EXPECT_TRUE(Now() == before) << text;
    ASSERT_EQ(HotKeyWindow(), &window);
    EXPECT_TRUE(window.shown);
    EXPECT_EQ(window.Text(Window::kKeyList), text);
  }
  window.SetText(Window::kKeyList, "F5");
  EXPECT_TRUE(window.Click(Window::kSaveButton));
  EXPECT_EQ(Setting("Key"), "116");
}

TEST_F(HotKeyWindowTest, CancelEscAndTheCloseBoxChangeNothing) {
  Store("Key", "66");
  Start();
  const auto before = Now();
  for (int way = 0; way < 3; ++way) {
    FakeWindow& window = Open();
    window.SetText(Window::kKeyList, "F7");
    EXPECT_TRUE(window.Click(Window::kCtrlBox));
    if (way == 0) {
      EXPECT_TRUE(window.Click(Window::kCancelButton));
    } else if (way == 1) {
      window.PressEsc();
    } else {
      window.Close();
    }
    EXPECT_EQ(HotKeyWindow(), nullptr) << way;
    EXPECT_TRUE(Now() == before) << way;
    EXPECT_TRUE(os.boxes.empty());
  }
  EXPECT_EQ(Open().Text(Window::kKeyList), "B");
}

TEST_F(HotKeyWindowTest, SelectHotKeyWhileTheSavedNoticeIsUpKeepsTheWindowOpen) {
  Start();
  FakeWindow& window = Open();
  window.SetText(Window::kKeyList, "J");
  os.AnswerBoxWith([this](const platform::ShownBox&) {
    Command("Select Hot Key");
    return platform::kIdOk;
  });
  EXPECT_TRUE(window.Click(Window::kSaveButton));
  ASSERT_EQ(HotKeyWindow(), &window);
  EXPECT_TRUE(window.shown);
  EXPECT_EQ(window.Text(Window::kKeyList), "J");
  EXPECT_EQ(Setting("Key"), "74");
}

// A key a policy holds is registered in place of the stored one and shown
// greyed, with the line; saving keeps the user's own key. With the modifiers
// held as well nothing can be chosen.
TEST_F(HotKeyWindowTest, PoliciesHoldTheKeyAndTheModifiers) {
  constexpr char kPolicies[] = "Software\\Policies\\Zemrik Software\\Tamberlinox";
  os.registry.SetBytes(Hive::LocalMachine, kPolicies, "Key", platform::kRegDword, {65, 0, 0, 0});
  Start();
  FakeWindow& window = Open();
  EXPECT_EQ(window.Text(Window::kKeyList), "A");
  EXPECT_FALSE(window.Control(Window::kKeyList)->spec.enabled);
  EXPECT_EQ(window.Control(Window::kManagedLabel)->text, "Some settings are managed by your organization.");
  EXPECT_TRUE(window.Click(Window::kCtrlBox));
  EXPECT_TRUE(window.Click(Window::kSaveButton));
  EXPECT_EQ(Setting("Key"), "121");
  EXPECT_EQ(os.hotKeys.at(0).modifiers * 1000 + std::uint32_t(os.hotKeys.at(0).key), 7065u);
  os.registry.SetBytes(Hive::CurrentUser, kPolicies, "Modifiers", platform::kRegDword, {2, 0, 0, 0});
  main->SettingChange(0, "Policy");
  EXPECT_EQ(os.hotKeys.at(0).modifiers * 1000 + std::uint32_t(os.hotKeys.at(0).key), 2065u);
  EXPECT_EQ(Checks(Open()), (std::vector{false, true, false}));
  for (const int id : {Window::kShiftBox, Window::kCtrlBox, Window::kAltBox, Window::kSaveButton})
    EXPECT_FALSE(HotKeyWindow()->Control(id)->spec.enabled) << id;
}

}  // namespace
}  // namespace tamberlinox::test
