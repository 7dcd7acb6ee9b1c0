#include "menu/DesktopItems.h"

#include <cstdint>

namespace tamberlinox::menu {

using platform::Platform;
using platform::SpecialFolder;

namespace {

constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";

// A file whose menu caption is the name of a shell place opens that place,
// like the place's own entry.
Place PlaceNamed(const std::string& caption) {
  if (caption == kMyComputer) return Place::MyComputer;
  if (caption == kMyDocuments) return Place::MyDocuments;
  if (caption == kRecycleBin) return Place::RecycleBin;
  return Place::File;
}

constexpr char kExplorerSettings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

// A DWORD setting of Explorer's that is 1.
bool ExplorerSettingOn(Platform& os, const char* name) {
  std::vector<std::uint8_t> data;
  if (os.ReadRegistryBytes(platform::Hive::CurrentUser, kExplorerSettings, name, 4, data) != 0) return false;
  data.resize(4, 0);
  return data[0] == 1 && data[1] == 0 && data[2] == 0 && data[3] == 0;
}

bool IsDotFolder(const std::string& name) { return name == "." || name == ".."; }

void AddFilesOfFolder(Platform& os, const std::string& folder, ShownFiles shown, bool withFolders,
                      std::vector<DesktopItem>& items) {
  const std::string base = AddBackslash(folder);
  for (const platform::FolderEntry& entry : os.ListFolder(folder)) {
    if (!IsShown(entry.attributes, shown)) continue;
    // Folders are not searched; "." and ".." are no folders of the desktop.
    if ((entry.attributes & platform::kFileAttributeDirectory) != 0) {
      if (withFolders && !IsDotFolder(entry.name))
        items.push_back({ShowableText(entry.name), base + entry.name, Place::Folder, entry.attributes, entry.writeTime});
      continue;
    }
    std::string caption = ShowableText(DisplayName(entry.name));
    const Place place = PlaceNamed(caption);
    items.push_back({std::move(caption), base + entry.name, place, entry.attributes, entry.writeTime});
  }
}

// The length of the UTF-8 sequence that starts text[i] when it is valid
// there, else 0. Surrogates (ED A0..BF ..) are not valid UTF-8.
std::size_t ValidSequenceLength(const std::string& text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  return length;
}

bool IsEncodedSurrogate(const std::string& text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  return i + 3 <= text.size() && byte(i) == 0xED && byte(i + 1) >= 0xA0 && byte(i + 1) <= 0xBF &&
         byte(i + 2) >= 0x80 && byte(i + 2) <= 0xBF;
}

}  // namespace

ShownFiles ExplorerShows(Platform& os) {
  ShownFiles shown;
  shown.hidden = ExplorerSettingOn(os, "Hidden");
  shown.protectedSystem = shown.hidden && ExplorerSettingOn(os, "ShowSuperHidden");
  return shown;
}

bool IsShown(std::uint32_t attributes, ShownFiles shown) {
  const bool hidden = (attributes & platform::kFileAttributeHidden) != 0;
  const bool system = (attributes & platform::kFileAttributeSystem) != 0;
  if (hidden && system) return shown.protectedSystem;
  return !hidden || shown.hidden;
}

std::vector<DesktopItem> FindDesktopItems(Platform& os, bool withFolders) {
  // The all-users desktop: the shell, then the script host, then a fixed guess.
  std::string common = os.SpecialFolderPath(SpecialFolder::CommonDesktop);
  if (common.empty()) common = os.ScriptHostSpecialFolder("AllUsersDesktop");
  if (common.empty()) common = kCommonDesktopFallback;

  const ShownFiles shown = ExplorerShows(os);
  std::vector<DesktopItem> found;
  // The user's desktop has no second source; an unknown one is skipped rather
  // than searched as "\", the root of the current drive.
  const std::string user = os.SpecialFolderPath(SpecialFolder::Desktop);
  if (!user.empty()) AddFilesOfFolder(os, user, shown, withFolders, found);
  AddFilesOfFolder(os, common, shown, withFolders, found);
  found.push_back({kMyComputer, "", Place::MyComputer});
  found.push_back({kMyDocuments, "", Place::MyDocuments});
  found.push_back({kRecycleBin, "", Place::RecycleBin});

  std::vector<std::string> captions;
  captions.reserve(found.size());
  for (const DesktopItem& item : found) captions.push_back(item.caption);
  std::vector<DesktopItem> sorted;
  sorted.reserve(found.size());
  for (std::size_t index : os.SortedOrder(captions)) sorted.push_back(std::move(found[index]));
  return sorted;
}

platform::ShellItem ShellItemOf(const DesktopItem& item) {
  using platform::ShellPlace;
  if (!item.path.empty()) return {ShellPlace::None, item.path};
  switch (item.place) {
    case Place::MyComputer:
      return {ShellPlace::MyComputer, ""};
    case Place::MyDocuments:
      return {ShellPlace::MyDocuments, ""};
    case Place::RecycleBin:
      return {ShellPlace::RecycleBin, ""};
    case Place::File:
    case Place::Folder:
      break;
  }
  return {ShellPlace::None, ""};
}

std::string DisplayName(const std::string& fileName) {
  const std::size_t stop = fileName.rfind('.');
  if (stop == std::string::npos || stop == 0 || stop + 1 == fileName.size()) return fileName;
  std::string name = fileName.substr(0, stop);
  // "-" would be drawn as a separator line that cannot be chosen.
  if (name == "-") return fileName;
  return name;
}

std::string AddBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + '\\';
}

std::string ShowableText(const std::string& text) {
  std::string showable;
  showable.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t length = ValidSequenceLength(text, i)) {
      showable.append(text, i, length);
      i += length;
    } else {
      showable += kReplacementCharacter;
      i += IsEncodedSurrogate(text, i) ? 3 : 1;
    }
  }
  return showable;
}

}  // namespace tamberlinox::menu
