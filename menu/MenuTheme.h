// The look of the program's popup menus and windows. Menus: dark where the
// user has chosen the dark mode for apps (Settings, Personalization, Colors),
// light otherwise, and the system's own colours while high contrast is on. The submenus and
// the shell's context menus shown from them take the same look. It is
// decided when the first menu opens, and again when the system says that the
// colour mode or high contrast changed; the dark look is asked of the system
// only when it is wanted, so that a light desktop costs nothing. Windows:
// the colours their design fixes, except while high contrast is on, when
// every control takes the user's scheme (a fixed text colour may vanish on
// the scheme's background); an open window follows when high contrast is
// turned on or off.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace tamberlinox::menu {

enum class MenuLook { System, Light, Dark };

inline constexpr char kPersonalizeKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
inline constexpr char kAppsUseLightTheme[] = "AppsUseLightTheme";  // REG_DWORD: 0 dark
// What WM_SETTINGCHANGE names when the colour mode changed, and its action
// for high contrast (SPI_SETHIGHCONTRAST).
inline constexpr char kColourModeArea[] = "ImmersiveColorSet";
inline constexpr std::uint32_t kHighContrastAction = 0x0043;

// High contrast first; then "AppsUseLightTheme" 0 is dark, and any other
// value, or none, light.
MenuLook ChooseMenuLook(std::optional<std::uint32_t> appsUseLightTheme, bool highContrast);

// A control's colours: as designed, or in high contrast none (the system's).
struct ControlColours {
  std::optional<platform::Colour> fore, back;
};
ControlColours ChooseControlColours(const platform::ControlSpec& designed, bool highContrast);
// The window's design with every control's colours chosen so.
platform::WindowSpec WithContrast(platform::WindowSpec designed, bool highContrast);
// A window opened from the design: its colours chosen again, after a change
// of the system's setting (WM_SETTINGCHANGE) that may be high contrast's.
void OnWindowSettingChange(platform::Platform& os, platform::Window* window, const platform::WindowSpec& designed,
                           std::uint32_t action);

class MenuTheme {
 public:
  explicit MenuTheme(platform::Platform& os) : os_(os) {}
  MenuTheme(const MenuTheme&) = delete;
  MenuTheme& operator=(const MenuTheme&) = delete;

  // Before a menu opens.
  void BeforeMenu();
  // A setting of the system changed (WM_SETTINGCHANGE).
  void OnSettingChange(std::uint32_t action, const std::string& area);

 private:
  platform::Platform& os_;
  std::optional<MenuLook> look_;  // nothing before the first menu, and after a change
  bool dark_ = false;             // what the menus have now
};

}  // namespace tamberlinox::menu
