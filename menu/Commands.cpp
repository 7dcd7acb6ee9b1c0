#include "menu/Commands.h"

#include <optional>
#include <string>

namespace tamberlinox::menu {

using platform::Platform;

namespace {

constexpr char kFileManager[] = "explorer.exe";
constexpr char kOpenPlace[] = "Open";  // the shell places and the help file
constexpr char kOpenItem[] = "open";   // a desktop file
constexpr char kPlaceFolder[] = "0";   // the working folder given with the shell places
constexpr char kRecycleBinParameters[] = "/root,::{645FF040-5081-101B-9F08-00AA002F954E}";
constexpr char kMyComputerParameters[] = " /e";
constexpr char kHelpFile[] = "Help.txt";

void OpenInFileManager(Platform& os, const std::optional<std::string>& parameters) {
  os.ShellOpen(0, kOpenPlace, kFileManager, parameters, std::string(kPlaceFolder), platform::kSwShowNormal);
}

// The file manager opens on the user's documents folder when the shell knows
// it. The folder is quoted for its blanks, with no backslash before the closing
// quote (where it would read as an escaped quote); a drive's root has no blanks
// and goes as it is ("D:\"), since "D:" alone names the drive's current folder.
std::optional<std::string> DocumentsParameters(Platform& os) {
  std::string documents = os.SpecialFolderPath(platform::SpecialFolder::Documents);
  if (documents.empty()) return std::nullopt;
  if (documents.find(' ') != std::string::npos) {
    if (documents.back() == '\\') documents.pop_back();
    return "\"" + documents + "\"";
  }
  if (documents.size() > 3 && documents.back() == '\\') documents.pop_back();
  return documents;
}

// The longest path the shell's usual way of opening takes, in UTF-16 units
// with the terminating NUL (MAX_PATH).
constexpr std::size_t kMaxPath = 260;

std::size_t Utf16Length(const std::string& text) {
  std::size_t units = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;  // a lead byte; four-byte sequences are pairs
  }
  return units;
}

// A file whose full path is too long for the shell (a long name on a long
// redirected desktop) opens through its short path, or else through the
// shell's item for it.
void OpenFile(Platform& os, platform::WindowHandle owner, const std::string& path) {
  const std::optional<std::string> folder = os.CurrentFolder();
  if (os.ShellOpen(owner, kOpenItem, path, std::nullopt, folder, platform::kSwShow)) return;
  if (Utf16Length(path) < kMaxPath) return;
  const std::string shortPath = os.ShortPath(path);
  if (!shortPath.empty() && shortPath != path &&
      os.ShellOpen(owner, kOpenItem, shortPath, std::nullopt, folder, platform::kSwShow)) {
    return;
  }
  os.ShellOpenItem(owner, path);
}

}  // namespace

void OpenDesktopItem(Platform& os, platform::WindowHandle owner, const DesktopItem& item) {
  switch (item.place) {
    case Place::RecycleBin:
      OpenInFileManager(os, std::string(kRecycleBinParameters));
      break;
    case Place::MyComputer:
      OpenInFileManager(os, std::string(kMyComputerParameters));
      break;
    case Place::MyDocuments:
      OpenInFileManager(os, DocumentsParameters(os));
      break;
    case Place::File:
      OpenFile(os, owner, item.path);
      break;
  }
}

void OpenHelp(Platform& os) {
  os.ShellOpen(0, kOpenPlace, AddBackslash(os.ProgramFolder()) + kHelpFile, std::nullopt, os.CurrentFolder(),
               platform::kSwShow);
}

}  // namespace tamberlinox::menu
