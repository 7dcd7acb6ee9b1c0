#include "menu/Commands.h"

#include <algorithm>
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

// The extension of the path's last part ("" when it has none).
std::string Extension(const std::string& path) {
  const std::size_t dot = path.find_last_of(".\\");
  return dot != std::string::npos && path[dot] == '.' ? path.substr(dot) : std::string();
}

bool SameExtension(const std::string& a, const std::string& b) {
  const std::string x = Extension(a), y = Extension(b);
  return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), [](char p, char q) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(p) == lower(q);
         });
}

// A path too long for the shell's usual way of opening (a long name on a long
// redirected desktop) opens through the shell's item for it, or else through
// its short path. A file's program is chosen by its extension, and a short
// name may cut it (".docx" becomes ".DOC", ".json" ".JSO": another program,
// or none), so a file goes by its short path only where the extension stays.
void OpenItem(Platform& os, platform::WindowHandle owner, const std::string& path, bool folder) {
  const std::optional<std::string> current = os.CurrentFolder();
  if (Utf16Length(path) < kMaxPath) {
    os.ShellOpen(owner, kOpenItem, path, std::nullopt, current, platform::kSwShow);
    return;
  }
  if (os.ShellOpenItem(owner, path)) return;
  const std::string shortPath = os.ShortPath(path);
  if (shortPath.empty() || shortPath == path || (!folder && !SameExtension(shortPath, path))) return;
  os.ShellOpen(owner, kOpenItem, shortPath, std::nullopt, current, platform::kSwShow);
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
    case Place::Folder:
      OpenItem(os, owner, item.path, item.place == Place::Folder);
      break;
  }
}

void OpenHelp(Platform& os) {
  os.ShellOpen(0, kOpenPlace, AddBackslash(os.ProgramFolder()) + kHelpFile, std::nullopt, os.CurrentFolder(),
               platform::kSwShow);
}

}  // namespace tamberlinox::menu
