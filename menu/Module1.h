// Module1: finding the desktop items. Every file on the user's desktop folder
// and on the all-users desktop folder goes into the main window's hidden lists:
//   List1  full paths, in the order found, then the file manager's path
//   List2  display names, parallel to List1
//   List3  emptied, never filled
//   List4  the display names and the three shell places, sorted without regard to case
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace tamberlinox {
struct Program;
namespace Module1 {

inline constexpr int kCsidlPersonal = 5;
inline constexpr int kCsidlDesktopDirectory = 16;
inline constexpr int kCsidlCommonDesktopDirectory = 25;
inline constexpr int kCsidlWindows = 36;
inline constexpr char kCommonDesktopFallback[] = "C:\\WINDOWS\\All Users\\Desktop";
inline constexpr char kWindowsFallback[] = "C:\\Windows";

// What one run finds, before it goes into the lists.
struct DesktopFiles {
  std::vector<std::string> paths;  // List1
  std::vector<std::string> names;  // List2
};

// Refills List1 to List4 from the desktop folders and shows the main window (it stays out of sight).
void LoadDesktopItems(Program& program);
// The shell folder's path, or the empty text on failure.
std::string GetSpecialFolderPath(platform::Platform& os, platform::WindowHandle owner, int folder);
// Appends every file (not folder) of folder matching pattern.
void FindFilesInFolder(platform::Platform& os, const std::string& folder, const std::string& pattern,
                       DesktopFiles& found);
std::string AddBackslash(const std::string& path);
// The text up to its first NUL character; the whole text when it holds none.
std::string TrimAtNull(const std::string& text);
// The file name less its last four characters ("Word.lnk" gives "Word"); a
// name of four characters or fewer is its own display name.
std::string DisplayName(const std::string& fileName);

}  // namespace Module1
}  // namespace tamberlinox
