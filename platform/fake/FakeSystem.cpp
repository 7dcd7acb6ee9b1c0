// FakePlatform: atoms and the clock, hot keys, the program's own facts, and
// the user's side: message boxes, the mouse pointer, sleeping.
#include "platform/fake/FakePlatform.h"

#include <algorithm>

#include "platform/fake/FakeText.h"

namespace tamberlinox::platform {

using fake_text::EqualNoCase;

namespace {
constexpr std::uint32_t kFirstStringAtom = 0xC000;
constexpr std::uint32_t kLastAtom = 0xFFFF;
constexpr std::size_t kLongestAtom = 255;
constexpr std::uint32_t kModNoRepeat = 0x4000;  // MOD_NOREPEAT: no part of the combination
}  // namespace

// ==================================================================== atoms

std::uint32_t FakePlatform::GlobalAddAtomA(const std::string& text) {
  if (failAtomAdds_ || text.empty() || text.size() > kLongestAtom) return 0;
  for (auto& [atom, entry] : atoms_) {
    if (EqualNoCase(entry.text, text)) {
      ++entry.count;
      return atom;
    }
  }
  std::uint32_t atom = kFirstStringAtom;  // the lowest free number, as the table reuses them
  while (atoms_.count(atom)) ++atom;
  if (atom > kLastAtom) return 0;
  atoms_[atom] = Atom{text, 1};
  return atom;
}

std::uint32_t FakePlatform::GlobalDeleteAtom(std::uint32_t atom) {
  if (atom < kFirstStringAtom) return 0;  // integer atoms (and 0) need no deleting
  auto found = atoms_.find(atom);
  if (found == atoms_.end()) {
    faults_.Add("GlobalDeleteAtom of atom " + std::to_string(atom) + ", which is not in the table");
    return atom;  // the failure result
  }
  if (--found->second.count == 0) atoms_.erase(found);
  return 0;
}

int FakePlatform::AtomCount(const std::string& text) const {
  for (const auto& [atom, entry] : atoms_)
    if (EqualNoCase(entry.text, text)) return entry.count;
  return 0;
}

std::optional<std::string> FakePlatform::AtomName(std::uint32_t atom) const {
  auto found = atoms_.find(atom);
  if (found == atoms_.end()) return std::nullopt;
  return found->second.text;
}

std::string FakePlatform::LocalDateTimeText() { return clockText_; }

// ================================================================= hot keys

void FakePlatform::ReserveHotKey(std::uint32_t modifiers, std::int32_t key) {
  reservedHotKeys_.push_back(HotKeyRegistration{0, 0, modifiers & ~kModNoRepeat, key});
}

bool FakePlatform::RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers, std::int32_t key) {
  const HotKeyRegistration wanted{window, id, modifiers, key};
  auto sameCombination = [&](const HotKeyRegistration& other) {
    return (other.modifiers & ~kModNoRepeat) == (modifiers & ~kModNoRepeat) && other.key == key;
  };
  auto sameOwner = [&](const HotKeyRegistration& other) { return other.window == window && other.id == id; };

  bool result = false;
  if (window != 0 && !windows_.count(window)) {
    faults_.Add("RegisterHotKey for a window that does not exist");
  } else if (std::any_of(reservedHotKeys_.begin(), reservedHotKeys_.end(), sameCombination) ||
             std::any_of(hotKeys_.begin(), hotKeys_.end(), [&](const HotKeyRegistration& other) {
               return sameCombination(other) && !sameOwner(other);
             })) {
    result = false;  // ERROR_HOTKEY_ALREADY_REGISTERED
  } else {
    // The same window and identifier again replace the earlier registration,
    // as Wine does (Windows keeps both until one is unregistered).
    hotKeys_.erase(std::remove_if(hotKeys_.begin(), hotKeys_.end(), sameOwner), hotKeys_.end());
    hotKeys_.push_back(wanted);
    result = true;
  }
  hotKeyCalls_.push_back(HotKeyCall{true, wanted, result});
  return result;
}

bool FakePlatform::UnregisterHotKey(WindowHandle window, std::int32_t id) {
  auto found = std::find_if(hotKeys_.begin(), hotKeys_.end(), [&](const HotKeyRegistration& hotKey) {
    return hotKey.window == window && hotKey.id == id;
  });
  bool result = found != hotKeys_.end();
  if (result) hotKeys_.erase(found);
  hotKeyCalls_.push_back(HotKeyCall{false, HotKeyRegistration{window, id, 0, 0}, result});
  return result;
}

bool FakePlatform::PressHotKey(std::uint32_t modifiers, std::int32_t key) {
  for (const HotKeyRegistration& reserved : reservedHotKeys_)
    if (reserved.modifiers == modifiers && reserved.key == key) return false;  // the other program gets it
  auto found = std::find_if(hotKeys_.begin(), hotKeys_.end(), [&](const HotKeyRegistration& hotKey) {
    return (hotKey.modifiers & ~kModNoRepeat) == modifiers && hotKey.key == key;
  });
  if (found == hotKeys_.end() || found->window == 0) return false;
  const HotKeyRegistration hotKey = *found;  // the handler may unregister it
  SendMessage(hotKey.window, kWmHotKey, WParam(std::uint32_t(hotKey.id)),
              LParam((std::uint32_t(key) << 16) | (modifiers & 0xFFFF)));
  return true;
}

// ======================================================== the program's facts

std::string FakePlatform::ProgramFolder() { return programFolder_; }

std::string FakePlatform::CurrentFolder() { return files_.CurrentFolder(); }

void FakePlatform::ProgramVersion(int& major, int& minor) {
  major = versionMajor_;
  minor = versionMinor_;
}

int FakePlatform::CompareTextNoCase(const std::string& a, const std::string& b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(fake_text::LowerAscii(a[i]));
    const auto y = static_cast<unsigned char>(fake_text::LowerAscii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// ====================================================== the user's side

int FakePlatform::MessageBoxA(WindowHandle owner, const std::string& text, const std::string& title,
                              std::uint32_t flags) {
  const MessageBoxCall box{owner, text, title, flags, 0};
  const std::size_t record = messageBoxes_.size();
  messageBoxes_.push_back(box);
  int answer = 0;
  if (messageBoxResponder_) {
    MessageBoxResponder responder = messageBoxResponder_;  // it may set another one meanwhile
    answer = responder(box);
  } else {
    // The first button of the box.
    switch (flags & 0x0F) {
      case 2: answer = 3; break;                          // MB_ABORTRETRYIGNORE: IDABORT
      case 3: case kMbYesNo: answer = kIdYes; break;      // MB_YESNOCANCEL, MB_YESNO
      case 5: answer = 4; break;                          // MB_RETRYCANCEL: IDRETRY
      case 6: answer = 2; break;                          // MB_CANCELTRYCONTINUE: IDCANCEL
      default: answer = kIdOk; break;                     // MB_OK, MB_OKCANCEL
    }
  }
  messageBoxes_[record].answer = answer;
  return answer;
}

void FakePlatform::SetDefaultMousePointer() { ++defaultMousePointerCalls_; }

void FakePlatform::Sleep(std::uint32_t milliseconds) {
  sleeps_.push_back(milliseconds);
  totalSleepMs_ += milliseconds;
  if (sleepCallback_) {
    std::function<void(std::uint32_t)> callback = sleepCallback_;
    callback(milliseconds);
  }
}

}  // namespace tamberlinox::platform
