// Tamberlinox.exe's command line. Without arguments the program starts as
// usual. "/show", "/hide", "/toggle" and "/exit" (also with "-", in any case)
// act on the copy that is running, through its main window; with no copy
// running the first three act on the desktop directly. "/exit" returns at
// once; the other three return when the desktop is as they asked, or when it
// has not become so within a short wait, and say which with their exit code.
// "/?" shows how to use it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace tamberlinox {

// What another process asks of the running copy: one of these as the wParam
// of platform::kRemoteCommandMessage, sent to the main window (Exit and
// OpenOptions posted).
using platform::kRemoteCommandMessage;
enum class RemoteCommand : platform::WParam { ShowIcons = 1, HideIcons, ToggleIcons, Exit, OpenOptions };
// The running copy's answer to ShowIcons, HideIcons and ToggleIcons: how it
// asked the desktop to be.
enum class RemoteAnswer : platform::LResult { IconsShown = 1, IconsHidden = 2 };

// Exit codes.
inline constexpr int kExitDone = 0;
// Not done: the desktop did not end as asked (a hide refused because it would
// take the wallpaper with it, a shell that did not carry it out within the
// wait, no desktop at all), or no running copy for "/exit" to end.
inline constexpr int kExitNotDone = 1;
inline constexpr int kExitUsage = 2;           // an argument the program does not know
inline constexpr int kExitUnreachable = 3;     // the running copy could not be reached (it runs elevated, say)

// Carries out the arguments and gives the exit code; nothing when there are
// none and the program is to start as usual.
std::optional<int> RunCommandLine(platform::Platform& os, const std::vector<std::string>& arguments);

// "/options": the running copy opens its Options window and comes to the
// front; with no copy running the program starts as usual and opens it.
bool AsksForOptions(const std::vector<std::string>& arguments);

}  // namespace tamberlinox
