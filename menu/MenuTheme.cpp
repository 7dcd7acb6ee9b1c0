#include "menu/MenuTheme.h"

namespace tamberlinox::menu {

MenuLook ChooseMenuLook(std::optional<std::uint32_t> appsUseLightTheme, bool highContrast) {
  if (highContrast) return MenuLook::System;
  return appsUseLightTheme == 0u ? MenuLook::Dark : MenuLook::Light;
}

ControlColours ChooseControlColours(const platform::ControlSpec& designed, bool highContrast) {
  if (highContrast) return {};
  return {designed.foreColour, designed.backColour};
}

platform::WindowSpec WithContrast(platform::WindowSpec designed, bool highContrast) {
  for (platform::ControlSpec& control : designed.controls) {
    const ControlColours colours = ChooseControlColours(control, highContrast);
    control.foreColour = colours.fore;
    control.backColour = colours.back;
  }
  return designed;
}

void OnWindowSettingChange(platform::Platform& os, platform::Window* window, const platform::WindowSpec& designed,
                           std::uint32_t action) {
  if (window == nullptr || action != kHighContrastAction) return;
  const bool highContrast = os.HighContrast();
  for (const platform::ControlSpec& control : designed.controls) {
    const ControlColours colours = ChooseControlColours(control, highContrast);
    window->SetColours(control.id, colours.fore, colours.back);
  }
}

void MenuTheme::BeforeMenu() {
  if (!look_) {
    std::optional<std::uint32_t> light;
    os_.ReadRegistryNumber(platform::Hive::CurrentUser, kPersonalizeKey, kAppsUseLightTheme, light);
    look_ = ChooseMenuLook(light, os_.HighContrast());
  }
  const bool dark = look_ == MenuLook::Dark;
  if (dark == dark_) return;
  os_.SetDarkMenus(dark);
  dark_ = dark;
}

void MenuTheme::OnSettingChange(std::uint32_t action, const std::string& area) {
  if (area == kColourModeArea || action == kHighContrastAction) look_.reset();
}

}  // namespace tamberlinox::menu
