// Dark menus: the decision from the user's app mode and high contrast, and
// the program following a change while it runs.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tamberlinox::test
