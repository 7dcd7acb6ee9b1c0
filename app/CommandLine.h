// Tamberlinox.exe's command line. Without arguments the program starts as
// usual. "/show", "/hide", "/toggle" and "/exit" (also with "-", in any case)
// act on the copy that is running, through its main window, and return at
// once; with no copy running the first three act on the desktop directly.
// "/?" shows how to use it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace tamberlinox {

// What another process asks of the running copy: one of these as the wParam
// of platform::kRemoteCommandMessage, posted to the main window.
using platform::kRemoteCommandMessage;
enum class RemoteCommand : platform::WParam { ShowIcons = 1, HideIcons, ToggleIcons, Exit, OpenOptions };

// Exit codes.
inline constexpr int kExitDone = 0;
inline constexpr int kExitNothingToActOn = 1;  // no running copy to end, no desktop to show or hide
inline constexpr int kExitUsage = 2;           // an argument the program does not know
inline constexpr int kExitUnreachable = 3;     // the running copy could not be reached (it runs elevated, say)

// Carries out the arguments and gives the exit code; nothing when there are
// none and the program is to start as usual.
std::optional<int> RunCommandLine(platform::Platform& os, const std::vector<std::string>& arguments);

// "/options": the running copy opens its Options window and comes to the
// front; with no copy running the program starts as usual and opens it.
bool AsksForOptions(const std::vector<std::string>& arguments);

}  // namespace tamberlinox
