// The items of the desktop menu: every file on the user's desktop folder and
// on the all-users desktop folder that Explorer would show there (and, when
// the user asks for them, their folders), and the three shell places, in the
// order a sorted list shows them. They are found afresh at every left click
// on the tray icon, so the menu always shows what the desktop holds at that
// moment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace tamberlinox::menu {

inline constexpr char kMyComputer[] = "My Computer";
inline constexpr char kMyDocuments[] = "My Documents";
inline constexpr char kRecycleBin[] = "Recycle Bin";

// Where the all-users desktop is looked for when neither the shell nor the
// script host knows it.
inline constexpr char kCommonDesktopFallback[] = "C:\\WINDOWS\\All Users\\Desktop";

enum class Place { File, MyComputer, MyDocuments, RecycleBin, Folder };

struct DesktopItem {
  std::string caption;  // what the menu shows
  std::string path;     // the file's or folder's full path; empty for a shell place
  // What choosing it opens: the file, or a shell place (a file named like a
  // place opens the place). A folder opens as a submenu.
  Place place = Place::File;
  std::uint32_t attributes = 0;  // of the file or folder, as listed
  std::uint64_t writeTime = 0;   // its last write, as listed
};

// Files of both desktops (the user's first, each in the order the system
// lists it) and the shell places, sorted by caption without regard to case;
// items with equal captions stay in the order found. With withFolders, the
// desktops' folders too, each captioned with its whole name.
std::vector<DesktopItem> FindDesktopItems(platform::Platform& os, bool withFolders = false);

// The shell item that an entry stands for: its file or folder, or its place
// (a file named like a place is still that file).
platform::ShellItem ShellItemOf(const DesktopItem& item);

// Which files Explorer shows, as the user has set it: hidden files, and
// hidden system files ("desktop.ini") only when hidden files are shown too.
struct ShownFiles {
  bool hidden = false;
  bool protectedSystem = false;
};
ShownFiles ExplorerShows(platform::Platform& os);
bool IsShown(std::uint32_t attributes, ShownFiles shown);

// The menu caption of a file: its name without its extension, as Explorer
// shows it ("Report.docx" reads "Report", "archive.tar.gz" "archive.tar").
// A name whose only full stop is its first or last character, or that has
// none, is shown whole; so is one that would read as a separator line ("-").
std::string DisplayName(const std::string& fileName);

// The path with a backslash at its end.
std::string AddBackslash(const std::string& path);

// The text with every byte sequence that is not valid UTF-8 replaced by U+FFFD;
// an unpaired surrogate kept from a file name becomes one U+FFFD.
std::string ShowableText(const std::string& text);

}  // namespace tamberlinox::menu
