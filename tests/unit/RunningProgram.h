// The program on the in-memory system, with a desktop window and a taskbar,
// and what its tests do as the user: click the tray icon, choose an entry,
// put files on the desktop, look at the settings.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/Program.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox::platform {

inline void PrintTo(const ShellOpenCall& call, std::ostream* out) {
  *out << "{" << call.owner << ", " << call.operation << ", " << call.file << ", " << call.parameters.value_or("(none)")
       << ", " << call.folder.value_or("(none)") << ", " << call.show << "}";
}

inline void PrintTo(const ShellItem& item, std::ostream* out) {
  *out << "{place " << static_cast<int>(item.place) << ", " << item.path << "}";
}

inline void PrintTo(const IconSource& source, std::ostream* out) {
  *out << "{kind " << static_cast<int>(source.kind) << ", " << source.path << "}";
}

}  // namespace tamberlinox::platform

namespace tamberlinox::test {

using platform::FakeWindow;
using platform::Hive;
using Texts = std::vector<std::string>;

inline constexpr char kSettingsKey[] = "Software\\Zemrik Software\\Tamberlinox";
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const std::string kUserDesktop = "C:\\Users\\User\\Desktop";
inline const std::string kCommonDesktop = "C:\\Users\\Public\\Desktop";
inline constexpr platform::LParam kLeftClick = platform::kWmLButtonUp;
inline constexpr platform::LParam kRightClick = platform::kWmRButtonUp;

class RunningProgram : public ::testing::Test {
 protected:
  RunningProgram() : desktop(os.AddOtherWindow("Progman", "Program Manager")) {
    taskbar = os.AddOtherWindow("Shell_TrayWnd", "");
  }

  void Start() {
    program.Start();
    main = Fake(program.mainWindow().window());
    ASSERT_NE(main, nullptr);
  }
  FakeWindow* Fake(const platform::Window* window) {
    return window != nullptr ? os.WindowByHandle(window->Handle()) : nullptr;
  }
  FakeWindow* HotKeyWindow() { return Fake(program.hotKeyWindow().window()); }
  FakeWindow* AboutWindow() { return Fake(program.aboutWindow().window()); }

  // The captions of the menu a click pops up, a separator as "-"; nothing is chosen.
  Texts MenuOf(platform::LParam click) {
    EXPECT_TRUE(main->TrayClick(click));
    return main->LastMenuCaptions();
  }
  // Clicks the tray icon and chooses the occurrence-th entry (from 0) with this caption.
  void Choose(platform::LParam click, const std::string& caption, int occurrence = 0) {
    os.ChooseMenuEntryWith([=](const std::vector<platform::MenuEntry>& entries) {
      int seen = 0;
      for (const platform::MenuEntry& entry : entries)
        if (entry.caption == caption && seen++ == occurrence) return entry.id;
      ADD_FAILURE() << "no entry \"" << caption << "\" #" << occurrence;
      return 0;
    });
    EXPECT_TRUE(main->TrayClick(click));
  }
  void Command(const std::string& caption) { Choose(kRightClick, caption); }

  void AddFile(const std::string& folder, const std::string& name, std::uint32_t attributes = 0) {
    os.Folder(folder).push_back({name, attributes});
  }
  std::optional<std::string> Setting(const std::string& name) const {
    return os.registry.Text(Hive::CurrentUser, kSettingsKey, name);
  }
  void Store(const std::string& name, const std::string& text) {
    os.registry.SetText(Hive::CurrentUser, kSettingsKey, name, text);
  }
  std::optional<std::string> Autostart() const { return os.registry.Text(Hive::LocalMachine, kRunKey, "Tamberlinox"); }
  bool DesktopVisible() { return os.OtherWindowAt(desktop)->visible; }
  // The program has ended as "Close Program" answered Yes does, without a
  // question: the desktop back, the icon and the hot key gone at once, the
  // settings kept, and every window gone half a second later.
  void ExpectLeftKeepingSettings() {
    EXPECT_TRUE(os.boxes.empty());
    EXPECT_TRUE(DesktopVisible());
    EXPECT_FALSE(main->tray.added);
    EXPECT_TRUE(os.hotKeys.empty());
    EXPECT_TRUE(Autostart());
    EXPECT_EQ(Setting("Key"), "121");
    EXPECT_EQ(main->timers[MainWindow::kShutdownTimer].intervalMs, 500u);
    EXPECT_TRUE(main->FireTimer(MainWindow::kShutdownTimer));
    EXPECT_TRUE(os.Windows().empty());
  }

  platform::FakePlatform os;  // first: it outlives everything the program holds
  Program program{os};
  platform::WindowHandle desktop, taskbar = 0;
  FakeWindow* main = nullptr;
};

}  // namespace tamberlinox::test
