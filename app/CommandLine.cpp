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
    "Without an argument Tamberlinox starts.\r\n"
    "\r\n"
    "Exit codes: 0 done, 1 not done (the desktop did not end as asked,\r\n"
    "or nothing to act on), 2 unknown argument, 3 could not reach the\r\n"
    "running Tamberlinox.";

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

// The running copy has at most this long to answer.
constexpr std::uint32_t kAnswerPatienceMs = 5000;

// The shell carries out a show or hide on its own thread: the command has
// done what it asked when the icons are so, and not when they are not within
// a short wait. Nothing to wait for where the shell has no desktop at all.
int AwaitDesktop(platform::Platform& os, bool show) {
  constexpr std::uint32_t kPauseMs = 20, kPatienceMs = 2000;
  if (desktop::FindIconList(os) == 0 && os.FindTopLevelWindow(desktop::kDesktopClass, std::nullopt) == 0)
    return kExitNotDone;
  for (std::uint32_t waited = 0; desktop::IconsVisible(os) != show; waited += kPauseMs) {
    if (waited >= kPatienceMs) return kExitNotDone;
    os.Sleep(kPauseMs);
  }
  return kExitDone;
}

// The running copy shows or hides the icons as the user's choice and answers
// how it asked the desktop to be.
int ActThroughRunningCopy(platform::Platform& os, platform::WindowHandle running, RemoteCommand command) {
  const std::optional<platform::LResult> answer = os.SendWindowMessage(
      running, kRemoteCommandMessage, static_cast<platform::WParam>(command), 0, kAnswerPatienceMs);
  if (!answer) return kExitUnreachable;
  return AwaitDesktop(os, static_cast<RemoteAnswer>(*answer) == RemoteAnswer::IconsShown);
}

// Without a running copy the desktop itself is shown or hidden.
int ActOnDesktop(platform::Platform& os, RemoteCommand command) {
  const bool show =
      command == RemoteCommand::ToggleIcons ? !desktop::IconsVisible(os) : command == RemoteCommand::ShowIcons;
  if (!desktop::ShowIcons(os, show)) return kExitNotDone;
  return AwaitDesktop(os, show);
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
    const bool posted = os.PostWindowMessage(running, kRemoteCommandMessage,
                                             static_cast<platform::WParam>(RemoteCommand::OpenOptions), 0);
    return posted ? kExitDone : kExitUnreachable;
  }
  const std::optional<RemoteCommand> command = arguments.size() == 1 ? CommandNamed(arguments[0]) : std::nullopt;
  if (!command) {
    os.ShowMessage(kUsage, kUsageTitle, platform::kMbOk | platform::kMbIconExclamation);
    return kExitUsage;
  }
  const platform::WindowHandle running = os.FindProgramWindow(MainWindow::kCaption);
  if (*command == RemoteCommand::Exit) {
    if (running == 0) return kExitNotDone;
    if (!os.PostWindowMessage(running, kRemoteCommandMessage, static_cast<platform::WParam>(*command), 0))
      return kExitUnreachable;
    // Done once the copy is gone, so that a script or an uninstaller may
    // replace its file next.
    return os.AwaitProcessEnd(running, kAnswerPatienceMs) ? kExitDone : kExitNotDone;
  }
  return running != 0 ? ActThroughRunningCopy(os, running, *command) : ActOnDesktop(os, *command);
}

}  // namespace tamberlinox
