#include "menu/TypeToFind.h"

namespace tamberlinox::menu {

namespace {

// Takes the last character (a whole UTF-8 sequence) off the text.
void DropLastCharacter(std::string& text) {
  while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
  if (!text.empty()) text.pop_back();
}

}  // namespace

platform::MenuCharAnswer TypeToFind::OnChar(const std::string& typed, std::uint32_t tick,
                                            const std::vector<std::string>& names,
                                            std::optional<std::size_t> selected) {
  // Enter, Esc and the other keys that type no letter are the menu's own.
  if (typed != kBackspace && (typed.empty() || static_cast<unsigned char>(typed[0]) < 0x20 || typed == "\x7F")) {
    return {};
  }
  if (tick - lastTick_ > kPauseMs) typed_.clear();
  lastTick_ = tick;
  const bool fresh = typed_.empty();
  bool firstLetter = false;
  if (typed == kBackspace) {
    if (fresh) return {};  // nothing to take back: the menu's own Backspace
    DropLastCharacter(typed_);
    if (typed_.empty()) return {true, std::nullopt};
  } else if (typed == " " && fresh) {
    return {};  // a space starts nothing: the menu's own Space
  } else {
    firstLetter = fresh;
    typed_ += os_.LowerCase(typed);
  }
  // A first letter moves on from the entry selected (typed again, it goes
  // through the entries that begin with it); more letters may still fit the
  // entry selected.
  const std::size_t from = !selected ? 0 : *selected + (firstLetter ? 1 : 0);
  return {true, Find(names, from)};
}

std::optional<std::size_t> TypeToFind::Find(const std::vector<std::string>& names, std::size_t from) const {
  for (std::size_t step = 0; step < names.size(); ++step) {
    const std::size_t index = (from + step) % names.size();
    if (!names[index].empty() && os_.LowerCase(names[index]).starts_with(typed_)) return index;
  }
  return std::nullopt;
}

}  // namespace tamberlinox::menu
