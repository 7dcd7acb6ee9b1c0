// Dark menus: the decision from the user's app mode and high contrast, and
// the program following a change while it runs; the windows' colours too.
#include <gtest/gtest.h>

#include "about/AboutWindow.h"
#include "hotkey/HotKeyWindow.h"
#include "menu/MenuTheme.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

using menu::ChooseMenuLook;
using menu::MenuLook;

TEST(MenuLookTest, DarkOnlyForZeroAndNeverInHighContrast) {
  EXPECT_EQ(ChooseMenuLook(0u, false), MenuLook::Dark);
  EXPECT_EQ(ChooseMenuLook(1u, false), MenuLook::Light);
  EXPECT_EQ(ChooseMenuLook(2u, false), MenuLook::Light);
  EXPECT_EQ(ChooseMenuLook(std::nullopt, false), MenuLook::Light);  // older Windows, Wine
  EXPECT_EQ(ChooseMenuLook(0u, true), MenuLook::System);
  EXPECT_EQ(ChooseMenuLook(1u, true), MenuLook::System);
}

class MenuThemeTest : public RunningProgram {
 protected:
  void SetAppMode(std::uint32_t light) {
    os.registry.SetBytes(Hive::CurrentUser, menu::kPersonalizeKey, menu::kAppsUseLightTheme, platform::kRegDword,
                         {static_cast<std::uint8_t>(light), 0, 0, 0});
  }
  void OpenBothMenus() {
    MenuOf(kLeftClick);
    MenuOf(kRightClick);
  }
};

// Nothing is asked of the system for light menus, not even the library that draws dark ones.
TEST_F(MenuThemeTest, ALightDesktopAsksNothing) {
  Start();
  OpenBothMenus();
  SetAppMode(1);
  main->SettingChange(0, menu::kColourModeArea);
  OpenBothMenus();
  EXPECT_EQ(os.darkMenuChanges, 0);
  EXPECT_FALSE(os.darkMenus);
}

// Dark from the first menu on, asked for once; then the user switches apps to
// light while the program runs, and back to dark.
TEST_F(MenuThemeTest, DarkMenusFollowTheAppModeWhileTheProgramRuns) {
  SetAppMode(0);
  Start();
  EXPECT_EQ(os.darkMenuChanges, 0) << "decided at the first menu, not at start-up";
  OpenBothMenus();
  EXPECT_TRUE(os.darkMenus);
  EXPECT_EQ(os.darkMenuChanges, 1);

  SetAppMode(1);
  main->SettingChange(0, "Environment");  // another setting: nothing is read again
  OpenBothMenus();
  EXPECT_TRUE(os.darkMenus);
  main->SettingChange(0, menu::kColourModeArea);
  OpenBothMenus();
  EXPECT_FALSE(os.darkMenus);
  EXPECT_EQ(os.darkMenuChanges, 2);

  SetAppMode(0);
  main->SettingChange(0, menu::kColourModeArea);
  MenuOf(kRightClick);
  EXPECT_TRUE(os.darkMenus);
  EXPECT_EQ(os.darkMenuChanges, 3);
}

// High contrast turned on keeps the system's colours, dark app mode or not.
TEST_F(MenuThemeTest, HighContrastKeepsTheSystemsColours) {
  SetAppMode(0);
  os.highContrast = true;
  Start();
  OpenBothMenus();
  EXPECT_EQ(os.darkMenuChanges, 0);
  os.highContrast = false;
  main->SettingChange(menu::kHighContrastAction, "");
  MenuOf(kLeftClick);
  EXPECT_TRUE(os.darkMenus);
  os.highContrast = true;
  main->SettingChange(menu::kHighContrastAction, "");
  MenuOf(kLeftClick);
  EXPECT_FALSE(os.darkMenus);
}

// Light, dark, high contrast and back, switched while the hot key window is
// open: the menus and its colours follow. The About window keeps its picture
// and whitens the notice drawn in the highlight text colour.
TEST_F(MenuThemeTest, EachSchemeGivesTheMenusAndWindowsTheirColours) {
  using platform::Colour;
  using HotKeys = hotkey::HotKeyWindow;
  const struct { std::uint32_t light; bool contrast, dark; } cases[] = {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
  Start();
  Command("Select Hot Key");
  FakeWindow& keys = *HotKeyWindow();
  for (const auto& c : cases) {
    SetAppMode(c.light);
    os.highContrast = c.contrast;
    for (FakeWindow* window : {main, &keys}) window->SettingChange(menu::kHighContrastAction, "");
    MenuOf(kLeftClick);
    EXPECT_EQ(os.darkMenus, c.dark);
    const auto designed = [&](Colour colour) { return c.contrast ? std::nullopt : std::optional(colour); };
    EXPECT_EQ(keys.Control(HotKeys::kKeyList)->backColour, designed(Colour::System(platform::kColorCaptionText)));
    EXPECT_EQ(keys.ForeColour(HotKeys::kShiftBox),  // else COLOR_BTNTEXT, the fake's default
              designed(Colour::System(platform::kColorWindowFrame)).value_or(Colour::System(18)));
    Command("About----Version 5.1");
    EXPECT_EQ(AboutWindow()->ForeColour(about::AboutWindow::kConnectingLabel),
              c.contrast ? Colour::Rgb(255, 255, 255) : Colour::System(platform::kColorHighlightText));
    program.aboutWindow().Close();
  }
}

}  // namespace
}  // namespace tamberlinox::test
