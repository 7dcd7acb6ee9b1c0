#include "app/Program.h"
#include "desktop/DesktopIcons.h"
#include "settings/Settings.h"

namespace tamberlinox {

namespace {

constexpr char kCloseQuestion[] =
    "  Do You Want To Keep The StartUp Shortcut?\r\n\r\nYou Will Also Remove Your Hot Key Settings!";
constexpr char kInfoTitle[] = "Zemrik Info.....";

}  // namespace

void Program::CloseProgram() {
  if (os_.ShowMessage(kCloseQuestion, kInfoTitle, platform::kMbYesNo | platform::kMbIconQuestion) ==
      platform::kIdNo) {
    settings::RemoveAutostartAndSettings(settings_);
  }
  Leave();
}

void Program::Leave() {
  // A web request under way opens nothing any more.
  aboutWindow_.AbandonRequest();
  // Neither a double-click nor idleness may hide the icons from here on.
  gestures_.Stop();
  // The hot key goes before the icons come back, so that a last press cannot
  // hide them again after the program has ended.
  if (platform::Window* window = mainWindow_.window()) {
    hotKey_.Unregister(*window);
    menuKey_.Unregister(*window);
  }
  icons_.Release();
  os_.RestoreDefaultCursor();
  mainWindow_.RemoveTrayIcon();
  mainWindow_.ScheduleShutdown();
}

void Program::Shutdown() {
  os_.RestoreDefaultCursor();
  mainWindow_.Destroy();
  aboutWindow_.Close();
  hotKeyWindow_.Close();
  optionsWindow_.Close();
}

}  // namespace tamberlinox
