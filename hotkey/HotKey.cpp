#include "hotkey/HotKey.h"

namespace tamberlinox::hotkey {

bool HotKey::RegisterKey(platform::Window& window, int key, std::uint32_t modifiers) {
  key_ = key;
  modifiers_ = modifiers;
  registered_ = os_.RegisterHotKey(window.Handle(), Id(), modifiers, key);
  return registered_;
}

bool HotKey::Register(platform::Window& window, platform::MessageFilter& filter, int key, std::uint32_t modifiers) {
  atom_ = os_.AddGlobalAtom(os_.LocalDateTimeText());
  window.Subclass(filter);
  return RegisterKey(window, key, modifiers);
}

bool HotKey::Reregister(platform::Window& window, platform::MessageFilter& filter, int key,
                        std::uint32_t modifiers) {
  os_.UnregisterHotKey(window.Handle(), Id());
  registered_ = false;
  window.Unsubclass();
  atom_ = os_.AddGlobalAtom(os_.LocalDateTimeText());
  const bool registered = RegisterKey(window, key, modifiers);
  window.Subclass(filter);
  return registered;
}

void HotKey::Unregister(platform::Window& window) {
  if (!registered_) return;
  os_.UnregisterHotKey(window.Handle(), Id());
  registered_ = false;
}

bool FixedHotKey::Register(platform::Window& window, int key, std::uint32_t modifiers) {
  Unregister(window);
  key_ = key;
  modifiers_ = modifiers;
  registered_ = key != 0 && os_.RegisterHotKey(window.Handle(), id_, modifiers, key);
  return registered_ || key == 0;
}

void FixedHotKey::Unregister(platform::Window& window) {
  if (!registered_) return;
  os_.UnregisterHotKey(window.Handle(), id_);
  registered_ = false;
}

}  // namespace tamberlinox::hotkey
