#include "app/CommandLine.h"
#include "app/Program.h"
#include "hotkey/KeyCodes.h"
#include "settings/Settings.h"

namespace tamberlinox {

namespace {

// The main window is tiny and above the top of the screen, so that it could
// never be seen even if it were shown.
constexpr int kHiddenTop = -133;
constexpr int kHiddenSize = 1;

constexpr char kBalloonTitle[] = "Tamberlinox";
constexpr char kKeyTakenText[] =
    " is in use by another program, so it does nothing here. Right-click this icon and choose \"Select Hot Key\" "
    "to choose another.";
constexpr char kMenuKeyTakenText[] =
    " is in use by another program, so it does nothing here. Run \"Tamberlinox.exe /options\" to choose another.";
constexpr char kNotWritableText[] = "Tamberlinox cannot write its settings to ";
constexpr char kNotWritableEnd[] =
    ". It runs with the settings it has read; changes to them last until it ends.";
// The first start for this user: where the program is, what it does, and how
// to keep its icon in sight (new icons go to the hidden ones on Windows 11).
constexpr char kFirstStartTitle[] = "Tamberlinox is running";
constexpr char kShowsAndHides[] = " shows and hides the desktop icons. ";
constexpr char kFirstStartText[] =
    "Click this icon for a list of your desktop items, right-click it for the commands. To keep the icon on the "
    "taskbar, drag it there from the hidden icons (^), or turn it on in the taskbar settings.";

}  // namespace

void Program::Start() {
  // No settings before this start: the program has never run for this user
  // (or from this portable copy's folder).
  const bool firstStart = !settings_.Exists();
  const settings::HotKeySettings stored = settings::PrepareAtStartup(settings_, os_.ProgramFolder());
  policies_ = settings::ReadPolicies(os_);
  // A stored key that is no key code means F10 for this run; the store keeps
  // what it holds.
  const settings::KeyCombination inForce = settings::HotKeyInForce(stored, policies_);
  const int key = inForce.key;
  const std::uint32_t modifiers = inForce.modifiers;

  if (!mainWindow_.Create()) return;
  platform::Window& window = *mainWindow_.window();

  const bool registered = hotKey_.Register(window, mainWindow_, key, modifiers);
  if (!registered) {
    mainWindow_.ShowBalloon(kBalloonTitle, "The hot key " + hotkey::Describe(key, modifiers) + kKeyTakenText);
  }
  // A portable copy on a medium it cannot write to: said once, then it runs
  // with what it read.
  if (settings_.Portable() && !settings_.Writable()) {
    mainWindow_.ShowBalloon(kBalloonTitle, kNotWritableText + settings_.Location() + kNotWritableEnd);
  }
  if (firstStart) {
    // A key that another program holds shows and hides nothing: the balloon before this one said so.
    std::string hint = registered ? hotkey::Describe(key, modifiers) + kShowsAndHides : std::string();
    mainWindow_.ShowBalloon(kFirstStartTitle, hint += kFirstStartText, platform::BalloonIcon::Info);
  }

  // The gestures first: once the icons are seen hidden, a double-click is heard.
  const options::Options chosen = options::InForce(options::ReadOptions(settings_), policies_);
  if (!ApplyOptions(chosen)) {
    mainWindow_.ShowBalloon(kBalloonTitle, "The desktop menu key " +
                                               hotkey::Describe(chosen.menuKey, chosen.menuModifiers) +
                                               kMenuKeyTakenText);
  }
  icons_.Choose(false);

  window.SetSize(kHiddenSize, kHiddenSize);
  window.SetTop(kHiddenTop);

  // "/options" with no copy running: the program starts, then opens the window.
  if (AsksForOptions(os_.CommandLineArguments())) optionsWindow_.Show();
}

void Program::ApplyPolicies() {
  const settings::Policies read = settings::ReadPolicies(os_);
  if (read == policies_) return;
  policies_ = read;
  if (mainWindow_.window() == nullptr) return;
  const settings::KeyCombination hotKey = settings::HotKeyInForce(settings::ReadHotKey(settings_), policies_);
  if ((hotKey.key != hotKey_.Key() || hotKey.modifiers != hotKey_.Modifiers()) &&
      !ReregisterHotKey(hotKey.key, hotKey.modifiers)) {
    mainWindow_.ShowBalloon(kBalloonTitle,
                            "The hot key " + hotkey::Describe(hotKey.key, hotKey.modifiers) + kKeyTakenText);
  }
  ApplyOptions(options::InForce(options::ReadOptions(settings_), policies_));
  hotKeyWindow_.OnPoliciesChanged();
  optionsWindow_.OnPoliciesChanged();
}

}  // namespace tamberlinox
