// Dark menus: the decision from the user's app mode and high contrast, and
// the program following a change while it runs; the windows' colours in high
// contrast, and the names screen readers read for their controls.
#include <gtest/gtest.h>

#include "about/AboutWindow.h"
#include "hotkey/HotKeyWindow.h"
#include "menu/MenuTheme.h"
#include "options/OptionsWindow.h"
#include "tests/unit/RunningProgram.h"

namespace tamberlinox::test {
namespace {

using menu::ChooseMenuLook;
using menu::MenuLook;
using platform::Colour;
using platform::ControlKind;
using HotKeys = hotkey::HotKeyWindow;
using About = about::AboutWindow;
using Options = options::OptionsWindow;

constexpr Colour kWindowFrame = Colour::System(platform::kColorWindowFrame);
constexpr Colour kCaptionText = Colour::System(platform::kColorCaptionText);
constexpr Colour kButtonText = Colour::System(18);  // COLOR_BTNTEXT, the fake's default for labels and buttons
constexpr Colour kWindowText = Colour::System(8);   // COLOR_WINDOWTEXT, for combo and number boxes
constexpr Colour kWhite = Colour::Rgb(0xFF, 0xFF, 0xFF);

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
  FakeWindow* OptionsWindow() {
    program.optionsWindow().Show();
    return os.WindowByCaption(Options::kCaption);
  }
  // The hot key window's colours that its design fixes, or the system's.
  static void ExpectHotKeyColours(FakeWindow& window, bool designed) {
    EXPECT_EQ(window.Control(HotKeys::kKeyList)->backColour, designed ? std::optional(kCaptionText) : std::nullopt);
    EXPECT_EQ(window.ForeColour(HotKeys::kKeyList), designed ? kWindowFrame : kWindowText);
    for (int id : {HotKeys::kModifiersLabel, HotKeys::kKeyLabel, HotKeys::kShiftBox, HotKeys::kAltBox})
      EXPECT_EQ(window.ForeColour(id), designed ? kWindowFrame : kButtonText) << id;
    EXPECT_EQ(window.ForeColour(HotKeys::kSaveButton), kButtonText);
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

// Light, dark and high contrast: the menus' look, the hot key window's colours
// (the Options window has only the system's), and the About window, which
// keeps its picture with its fixed white texts and whitens the one that takes
// the highlight text colour.
TEST_F(MenuThemeTest, EachSchemeGivesTheMenusAndWindowsTheirColours) {
  struct Case {
    const char* scheme;
    std::uint32_t appsUseLightTheme;
    bool highContrast;
    MenuLook menus;
  };
  const Case cases[] = {
      {"light", 1, false, MenuLook::Light},
      {"dark", 0, false, MenuLook::Dark},
      {"high contrast, dark apps", 0, true, MenuLook::System},
      {"high contrast, light apps", 1, true, MenuLook::System},
  };
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scheme);
    SetAppMode(c.appsUseLightTheme);
    os.highContrast = c.highContrast;
    main->SettingChange(menu::kHighContrastAction, "");
    MenuOf(kLeftClick);
    EXPECT_EQ(os.darkMenus, c.menus == MenuLook::Dark);

    Command("Select Hot Key");
    ASSERT_NE(HotKeyWindow(), nullptr);
    ExpectHotKeyColours(*HotKeyWindow(), !c.highContrast);
    program.hotKeyWindow().Close();

    FakeWindow* options = OptionsWindow();
    ASSERT_NE(options, nullptr);
    for (const platform::ControlSpec& control : options->spec.controls) {
      EXPECT_FALSE(control.foreColour || control.backColour) << control.id;
    }
    program.optionsWindow().Close();

    Command("About----Version 5.1");
    ASSERT_NE(AboutWindow(), nullptr);
    EXPECT_NE(AboutWindow()->spec.backgroundPicture, 0);
    EXPECT_EQ(AboutWindow()->ForeColour(About::kTextLabel), kWhite);
    EXPECT_EQ(AboutWindow()->ForeColour(About::kConnectingLabel),
              c.highContrast ? kWhite : Colour::System(platform::kColorHighlightText));
    EXPECT_EQ(AboutWindow()->ForeColour(About::kCloseButton), Colour::Rgb(0, 0, 0));
    program.aboutWindow().Close();
  }
}

// High contrast turned on and off while the hot key window is open: its
// colours follow at once; another setting's change leaves them.
TEST_F(MenuThemeTest, AnOpenHotKeyWindowFollowsHighContrast) {
  Start();
  Command("Select Hot Key");
  FakeWindow& window = *HotKeyWindow();
  os.highContrast = true;
  window.SettingChange(0, "Environment");
  ExpectHotKeyColours(window, true);
  window.SettingChange(menu::kHighContrastAction, "");
  ExpectHotKeyColours(window, false);
  os.highContrast = false;
  window.SettingChange(menu::kHighContrastAction, "");
  ExpectHotKeyColours(window, true);
}

// Every control of the three windows has a name for screen readers: its own
// text, or, for the boxes that show a value, the name its spec gives.
TEST_F(MenuThemeTest, EveryControlOfTheWindowsHasAName) {
  Start();
  Command("Select Hot Key");
  Command("About----Version 5.1");
  for (FakeWindow* window : {HotKeyWindow(), OptionsWindow(), AboutWindow()}) {
    ASSERT_NE(window, nullptr);
    for (const platform::ControlSpec& control : window->spec.controls) {
      const bool showsAValue = control.kind == ControlKind::ComboBox || control.kind == ControlKind::NumberBox;
      EXPECT_FALSE((showsAValue ? control.accessibleName : control.text).empty())
          << window->caption << ", control " << control.id;
    }
  }
  EXPECT_EQ(HotKeyWindow()->Control(HotKeys::kKeyList)->spec.accessibleName, "Select Your Hot Key");
}

}  // namespace
}  // namespace tamberlinox::test
