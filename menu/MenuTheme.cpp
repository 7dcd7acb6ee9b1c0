#include "menu/MenuTheme.h"

namespace tamberlinox::menu {

MenuLook ChooseMenuLook(std::optional<std::uint32_t> appsUseLightTheme, bool highContrast) {
  if (highContrast) return MenuLook::System;
  return appsUseLightTheme == 0u ? MenuLook::Dark : MenuLook::Light;
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
