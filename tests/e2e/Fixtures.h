// Test fixtures: a fresh shell stand-in for every test, the programs a test
// starts (all ended when it finishes), and where the programs live.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Bench.h"
#include "ShellStandIn.h"
#include "VisibilityWatch.h"

namespace e2e {

// What the program keeps and shows, as the outside world sees it.
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValue[] = "Tamberlinox";
inline constexpr char kSettingsKey[] = "Software\\Zemrik Software\\Tamberlinox";
inline constexpr char kPolicyKey[] = "Software\\Policies\\Zemrik Software\\Tamberlinox";
inline constexpr char kMainCaption[] = "Zemrik Program";
inline constexpr char kTrayTip[] = "Zemrik Tamberlinox";
inline constexpr UINT kTrayId = 125;
inline constexpr UINT kTrayMessage = WM_USER + 1;  // 1025
// What the probe records about itself.
inline constexpr char kProbeKey[] = "Software\\TamberlinoxE2E\\Probe";

struct Paths {
  std::string program;         // the program under test as built
  std::string installFolder;   // where the tests install it (with a trailing backslash)
  std::string installed;       // installFolder + "Tamberlinox.exe"
  std::string probe;           // the bench's stand-in program
  std::string setupError;      // why the tests cannot run, if they cannot
};
const Paths& GetPaths();
// Reads the paths, installs the program and moves the desktop folders (once,
// before the first test).
void PrepareRun();
// Cleans the registry and puts the desktop folders back (after the last test).
void EndRun();

// Removes everything the program and the probe keep in the registry.
void CleanRegistry();

// Denies everyone the writing of a registry key (setting values, making
// subkeys: a DENY entry for Everyone in its access list) until Restore() or
// the object's end, which put its old access list back. The key is made when
// missing. This is how a user who may not write HKLM is played: Wine runs every
// program as an administrator, but it does check access lists.
class RegistryWritesDenied {
 public:
  RegistryWritesDenied(HKEY hive, const std::string& path);
  ~RegistryWritesDenied() { Restore(); }
  RegistryWritesDenied(const RegistryWritesDenied&) = delete;
  RegistryWritesDenied& operator=(const RegistryWritesDenied&) = delete;
  // Whether opening the key for writing is refused now (error 5).
  bool Denied() const;
  // Puts the old access list back; true when the key can be written again.
  bool Restore();

 private:
  HKEY hive_;
  std::string path_;
  UniqueKey key_;
  PSECURITY_DESCRIPTOR saved_ = nullptr;  // holds the old access list
  PACL oldAcl_ = nullptr;
};

class ShellTest : public ::testing::Test {
 protected:
  struct Running {
    Process process;
    HWND main = nullptr;
    std::unique_ptr<VisibilityWatch> watch;
  };

  void SetUp() override;
  void TearDown() override;

  // Starts a program. With watch, its main window is watched for being seen
  // until the test ends, and every fault seen fails the test.
  Running& Launch(const std::string& exe, const std::string& arguments = "", bool watch = true);
  // Waits for the program's main window (caption "Zemrik Program").
  HWND WaitForMainWindow(Running& r, Millis timeout = 10000ms);
  // What start-up is seen to hide: the desktop window, or the icons in
  // whatever layout the desktop has.
  enum class Hides { kDesktop, kIcons };
  // Starts the program and waits until its start-up is done: the main window,
  // the tray icon, the desktop hidden, the hot key registered. Each that does
  // not come is a failure of the test.
  Running& StartUntilReady(const std::string& exe, Hides hides = Hides::kDesktop, unsigned modifiers = kNone,
                           WORD vk = VK_F10);
  // Waits until the taskbar holds the icon of this window.
  bool WaitForIcon(HWND main, Millis timeout = 10000ms);
  // The requests the taskbar received from this window.
  std::vector<TrayRequest> RequestsFrom(HWND main) const;
  // A click on the tray icon as the shell reports it: the button's release.
  static void ClickTray(HWND main, UINT mouseMessage) { PostMessageA(main, kTrayMessage, kTrayId, mouseMessage); }
  // Presses the key and waits until the desktop stand-in is visible or hidden.
  bool PressAndWaitForDesktop(unsigned modifiers, WORD vk, bool visibleAfter, Millis timeout = 5000ms);
  // The same for the icons in whatever layout the desktop has (see ShellStandIn::IconsVisible).
  bool WaitForIcons(bool visible, Millis timeout = 10000ms);
  bool PressAndWaitForIcons(unsigned modifiers, WORD vk, bool visibleAfter, Millis timeout = 5000ms);

  std::unique_ptr<ShellStandIn> shell_;
  std::vector<std::unique_ptr<Running>> running_;
};

}  // namespace e2e
