// The program's one system-wide hot key. It is registered for the main window
// under the identifier of a global atom named after the moment it was made,
// with the main window's message filter in place so that the key's message
// reaches the program.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace tamberlinox::hotkey {

class HotKey {
 public:
  explicit HotKey(platform::Platform& os) : os_(os) {}
  HotKey(const HotKey&) = delete;
  HotKey& operator=(const HotKey&) = delete;

  // Makes the atom, puts the filter in front of the window and registers the
  // key. False when the system refused the key (another program holds it).
  bool Register(platform::Window& window, platform::MessageFilter& filter, int key, std::uint32_t modifiers);
  // Replaces the registration with another key: unregistered, the filter
  // taken off, a new atom (made before the old one goes, so that two made in
  // the same second stay one live atom), registered, and the filter back.
  bool Reregister(platform::Window& window, platform::MessageFilter& filter, int key, std::uint32_t modifiers);
  // Frees the key; the atom lives on until the program ends.
  void Unregister(platform::Window& window);

  int Key() const { return key_; }
  std::uint32_t Modifiers() const { return modifiers_; }
  // The identifier the key is registered under: the atom.
  int Id() const { return atom_.Value(); }
  bool Registered() const { return registered_; }

 private:
  bool RegisterKey(platform::Window& window, int key, std::uint32_t modifiers);

  platform::Platform& os_;
  platform::GlobalAtom atom_;
  int key_ = 0;
  std::uint32_t modifiers_ = 0;
  bool registered_ = false;
};

// A second system-wide key, under a fixed id (platform/Messages.h), that
// relies on the filter the hot key put in front of the window. None (key 0)
// registers nothing.
class FixedHotKey {
 public:
  FixedHotKey(platform::Platform& os, int id) : os_(os), id_(id) {}
  FixedHotKey(const FixedHotKey&) = delete;
  FixedHotKey& operator=(const FixedHotKey&) = delete;

  // Frees the key held, then registers this one; false when the system
  // refused it (another program holds it).
  bool Register(platform::Window& window, int key, std::uint32_t modifiers);
  void Unregister(platform::Window& window);

  int Id() const { return id_; }
  int Key() const { return key_; }
  std::uint32_t Modifiers() const { return modifiers_; }
  bool Registered() const { return registered_; }

 private:
  platform::Platform& os_;
  const int id_;
  int key_ = 0;
  std::uint32_t modifiers_ = 0;
  bool registered_ = false;
};

}  // namespace tamberlinox::hotkey
