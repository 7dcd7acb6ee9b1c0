// Letters typed in an open menu select the next entry whose name begins with
// them, as in Explorer's lists: the letters add up while they come within a
// second of each other, Backspace takes the last one back, and after a pause
// the next letter starts again. Names are compared without regard to case, in
// whatever script they are written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace tamberlinox::menu {

class TypeToFind {
 public:
  static constexpr std::uint32_t kPauseMs = 1000;
  static constexpr char kBackspace[] = "\b";

  explicit TypeToFind(platform::Platform& os) : os_(os) {}

  // One character typed (UTF-8; kBackspace for Backspace) at this tick, in a
  // menu whose entries show these names ("" for a separator), with this entry
  // selected now. Whether the menu should take the key as typed, and the
  // entry to select then (none: the selection stays).
  platform::MenuCharAnswer OnChar(const std::string& typed, std::uint32_t tick, const std::vector<std::string>& names,
                                  std::optional<std::size_t> selected);

 private:
  // The first entry from `from` on, round to the start, whose name begins with what was typed.
  std::optional<std::size_t> Find(const std::vector<std::string>& names, std::size_t from) const;

  platform::Platform& os_;
  std::string typed_;  // as the user typed it, folded to lower case
  std::uint32_t lastTick_ = 0;
};

}  // namespace tamberlinox::menu
