#include "app/CommandLine.h"

#include "app/MainWindow.h"
#include "desktop/DesktopIcons.h"

namespace tamberlinox {

namespace {

constexpr char kUsageTitle[] = "Tamberlinox";
constexpr char kUsage[] =
    "Tamberlinox.exe [/show | /hide | /toggle | /exit | /options]\r\n"
    "\r\n"
    "/show\tshows the desktop icons\r\n"
    "/hide\thides the desktop icons\r\n"
    "/toggle\tshows hidden icons, hides shown ones\r\n"
    "/exit\tends the running Tamberlinox; the icons come back\r\n"
    "/options\topens the Options window\r\n"
    "\r\n"
    "Without an argument Tamberlinox starts.";

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return text;
}

std::optional<RemoteCommand> CommandNamed(const std::string& argument) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return std::nullopt;
  const std::string name = Lower(argument.substr(1));
  if (name == "show") return RemoteCommand::ShowIcons;
  if (name == "hide") return RemoteCommand::HideIcons;
  if (name == "toggle") return RemoteCommand::ToggleIcons;
  if (name == "exit") return RemoteCommand::Exit;
  return std::nullopt;
}

// Without a running copy the desktop itself is shown or hidden.
int ActOnDesktop(platform::Platform& os, RemoteCommand command) {
  if (desktop::FindIconList(os) == 0 && os.FindTopLevelWindow(desktop::kDesktopClass, std::nullopt) == 0)
    return kExitNothingToActOn;
  if (command == RemoteCommand::ToggleIcons) {
    desktop::ToggleIcons(os);
  } else {
    desktop::ShowIcons(os, command == RemoteCommand::ShowIcons);
  }
  return kExitDone;
}

}  // namespace

bool AsksForOptions(const std::vector<std::string>& arguments) {
  return arguments.size() == 1 && arguments[0].size() > 1 && (arguments[0][0] == '/' || arguments[0][0] == '-') &&
         Lower(arguments[0].substr(1)) == "options";
}

std::optional<int> RunCommandLine(platform::Platform& os, const std::vector<std::string>& arguments) {
  if (arguments.empty()) return std::nullopt;
  if (arguments.size() == 1 && (arguments[0] == "/?" || arguments[0] == "-?")) {
    os.ShowMessage(kUsage, kUsageTitle, platform::kMbOk | platform::kMbIconInformation);
    return kExitDone;
  }
  if (AsksForOptions(arguments)) {
    const platform::WindowHandle running = os.FindProgramWindow(MainWindow::kCaption);
    if (running == 0) return std::nullopt;  // the program starts and opens the window
    os.LetComeToFront(running);
    os.PostWindowMessage(running, kRemoteCommandMessage, static_cast<platform::WParam>(RemoteCommand::OpenOptions), 0);
    return kExitDone;
  }
  const std::optional<RemoteCommand> command = arguments.size() == 1 ? CommandNamed(arguments[0]) : std::nullopt;
  if (!command) {
    os.ShowMessage(kUsage, kUsageTitle, platform::kMbOk | platform::kMbIconExclamation);
    return kExitUsage;
  }
  if (const platform::WindowHandle running = os.FindProgramWindow(MainWindow::kCaption)) {
    os.PostWindowMessage(running, kRemoteCommandMessage, static_cast<platform::WParam>(*command), 0);
    return kExitDone;
  }
  if (*command == RemoteCommand::Exit) return kExitNothingToActOn;
  return ActOnDesktop(os, *command);
}

}  // namespace tamberlinox
