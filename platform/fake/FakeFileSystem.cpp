#include "platform/fake/FakeFileSystem.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/fake/FakeText.h"

namespace tamberlinox::platform {

using fake_text::EqualNoCase;
using fake_text::Lower;
using fake_text::LowerAscii;
using fake_text::TrimBlanks;

namespace {

constexpr std::int32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kFileAttributeReadOnly = 0x01;

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// An absolute path split into its drive ("C:") and the names below the root.
struct SplitPath {
  std::string drive;
  std::vector<std::string> names;
};

// Splits "C:\a\b" (an absolute path as FullPath returns it).
SplitPath SplitFull(const std::string& full) {
  SplitPath out;
  out.drive = full.substr(0, 2);
  for (const std::string& name : fake_text::Split(full.substr(2), '\\'))
    if (!name.empty()) out.names.push_back(name);
  return out;
}

bool Glob(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

FindData MakeFindData(const std::string& name, std::uint32_t attributes) {
  FindData data;
  data.dwFileAttributes = attributes;
  std::size_t length = std::min(name.size(), data.cFileName.size() - 1);
  std::copy_n(name.begin(), length, data.cFileName.begin());
  return data;
}

// ---- INI text: lines of "[section]" headers and "entry=text" entries.

std::vector<std::string> Lines(const std::string& contents) {
  std::vector<std::string> lines = fake_text::Split(contents, '\n');
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  for (std::string& line : lines)
    if (!line.empty() && line.back() == '\r') line.pop_back();
  return lines;
}

bool IsSectionHeader(const std::string& line, std::string& name) {
  std::string text = TrimBlanks(line);
  if (text.empty() || text[0] != '[') return false;
  name = TrimBlanks(text.substr(1, text.find(']') == std::string::npos ? std::string::npos : text.find(']') - 1));
  return true;
}

bool IsEntry(const std::string& line, std::string& key, std::string& text) {
  std::string::size_type equals = line.find('=');
  if (equals == std::string::npos) return false;
  key = TrimBlanks(line.substr(0, equals));
  text = TrimBlanks(line.substr(equals + 1));
  // A text in matching quotes is handed back without them.
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
    text = text.substr(1, text.size() - 2);
  return true;
}

// Index of the section's header line, or -1.
int FindSection(const std::vector<std::string>& lines, const std::string& section) {
  std::string name;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (IsSectionHeader(lines[i], name) && EqualNoCase(name, TrimBlanks(section))) return int(i);
  return -1;
}

// Index of the entry's line within the section that starts at header, or -1.
int FindEntry(const std::vector<std::string>& lines, int header, const std::string& entry, std::string* text) {
  std::string name, key, value;
  for (std::size_t i = std::size_t(header) + 1; i < lines.size(); ++i) {
    if (IsSectionHeader(lines[i], name)) break;
    if (IsEntry(lines[i], key, value) && EqualNoCase(key, TrimBlanks(entry))) {
      if (text) *text = value;
      return int(i);
    }
  }
  return -1;
}

}  // namespace

struct FakeFileSystem::Node {
  std::string name;
  bool folder = false;
  std::uint32_t attributes = 0;  // without the directory bit
  std::string contents;
  std::vector<std::unique_ptr<Node>> children;  // in the order they were added

  Node* Child(const std::string& childName) const {
    for (const auto& child : children)
      if (EqualNoCase(child->name, childName)) return child.get();
    return nullptr;
  }
};

FakeFileSystem::FakeFileSystem(FaultLog& faults) : faults_(faults) { AddFolder("C:\\"); }

FakeFileSystem::~FakeFileSystem() = default;

// ------------------------------------------------------------------ paths

std::string FakeFileSystem::FullPath(const std::string& path) const {
  if (path.empty()) return {};
  std::string text = path;
  std::replace(text.begin(), text.end(), '/', '\\');
  if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') return text;  // a network name: left alone

  SplitPath current = SplitFull(currentFolder_);
  std::string drive = current.drive;
  std::vector<std::string> names;
  std::string rest;
  if (text.size() >= 2 && IsDriveLetter(text[0]) && text[1] == ':') {
    drive = text.substr(0, 2);
    rest = text.substr(2);
    // "C:name" is relative to the current folder when that is on the same drive.
    if ((rest.empty() || rest[0] != '\\') && EqualNoCase(drive, current.drive)) names = current.names;
  } else if (text[0] == '\\') {
    rest = text;
  } else {
    names = current.names;
    rest = text;
  }
  for (const std::string& name : fake_text::Split(rest, '\\')) {
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    names.push_back(name);
  }
  std::string full = drive + "\\";
  for (std::size_t i = 0; i < names.size(); ++i) full += (i ? "\\" : "") + names[i];
  if (!names.empty() && text.back() == '\\') full += "\\";
  return full;
}

FakeFileSystem::Node* FakeFileSystem::Lookup(const std::string& path) const {
  std::string full = FullPath(path);
  if (full.size() < 3 || full[1] != ':') return nullptr;
  SplitPath split = SplitFull(full);
  auto drive = drives_.find(Lower(split.drive));
  if (drive == drives_.end()) return nullptr;
  Node* node = drive->second.get();
  for (const std::string& name : split.names) {
    if (!node->folder) return nullptr;
    node = node->Child(name);
    if (!node) return nullptr;
  }
  return node;
}

// The folder that holds fullPath (null when it does not exist), and the last name.
FakeFileSystem::Node* FakeFileSystem::Parent(const std::string& fullPath, std::string& name) const {
  std::string full = fullPath;
  if (full.size() > 3 && full.back() == '\\') full.pop_back();
  std::string::size_type slash = full.rfind('\\');
  if (slash == std::string::npos || slash + 1 >= full.size()) return nullptr;
  name = full.substr(slash + 1);
  Node* parent = Lookup(full.substr(0, slash + 1));
  return parent && parent->folder ? parent : nullptr;
}

FakeFileSystem::Node& FakeFileSystem::MakeFolder(const std::string& fullPath) {
  SplitPath split = SplitFull(fullPath);
  std::unique_ptr<Node>& root = drives_[Lower(split.drive)];
  if (!root) {
    root = std::make_unique<Node>();
    root->name = split.drive + "\\";
    root->folder = true;
  }
  Node* node = root.get();
  for (const std::string& name : split.names) {
    Node* child = node->Child(name);
    if (!child) {
      node->children.push_back(std::make_unique<Node>());
      child = node->children.back().get();
      child->name = name;
      child->folder = true;
    } else if (!child->folder) {
      faults_.Add("test set-up: " + fullPath + " runs through the file " + child->name);
      child->folder = true;
      child->contents.clear();
    }
    node = child;
  }
  return *node;
}

// ------------------------------------------------------ set-up and inspection

void FakeFileSystem::AddFolder(const std::string& path) {
  std::string full = FullPath(path);
  if (full.size() < 3 || full[1] != ':') {
    faults_.Add("test set-up: " + path + " is no folder path");
    return;
  }
  MakeFolder(full);
}

void FakeFileSystem::AddFile(const std::string& path, std::uint32_t attributes, const std::string& contents) {
  std::string full = FullPath(path);
  if (full.size() < 4 || full[1] != ':' || full.back() == '\\') {
    faults_.Add("test set-up: " + path + " is no file path");
    return;
  }
  std::string::size_type slash = full.rfind('\\');
  Node& folder = MakeFolder(full.substr(0, slash + 1));
  std::string name = full.substr(slash + 1);
  Node* file = folder.Child(name);
  if (!file) {
    folder.children.push_back(std::make_unique<Node>());
    file = folder.children.back().get();
    file->name = name;
  } else if (file->folder) {
    faults_.Add("test set-up: " + full + " is a folder");
    return;
  }
  file->attributes = attributes & ~kFileAttributeDirectory;
  file->contents = contents;
}

bool FakeFileSystem::Remove(const std::string& path) {
  std::string name;
  Node* parent = Parent(FullPath(path), name);
  if (!parent) return false;
  auto& children = parent->children;
  auto it = std::find_if(children.begin(), children.end(),
                         [&](const std::unique_ptr<Node>& child) { return EqualNoCase(child->name, name); });
  if (it == children.end()) return false;
  children.erase(it);
  return true;
}

bool FakeFileSystem::FolderExists(const std::string& path) const {
  Node* node = Lookup(path);
  return node && node->folder;
}

bool FakeFileSystem::FileExists(const std::string& path) const {
  Node* node = Lookup(path);
  return node && !node->folder;
}

std::optional<std::string> FakeFileSystem::FileContents(const std::string& path) const {
  Node* node = Lookup(path);
  if (!node || node->folder) return std::nullopt;
  return node->contents;
}

std::optional<std::uint32_t> FakeFileSystem::Attributes(const std::string& path) const {
  Node* node = Lookup(path);
  if (!node) return std::nullopt;
  return node->attributes | (node->folder ? kFileAttributeDirectory : 0);
}

// ------------------------------------------------------ the Windows functions

bool FakeFileSystem::IsOrdinaryFile(const std::string& path) const {
  // Wildcards and a final separator make no valid file name.
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
  if (path.back() == '\\' || path.back() == '/') return false;
  Node* node = Lookup(path);
  return node && !node->folder && !(node->attributes & (kFileAttributeHidden | kFileAttributeSystem));
}

std::uintptr_t FakeFileSystem::FindFirst(const std::string& pattern, FindData& data) {
  std::string full = FullPath(pattern);
  std::string::size_type slash = full.rfind('\\');
  if (full.size() < 3 || full[1] != ':' || slash == std::string::npos || slash + 1 == full.size()) return 0;
  std::string namePattern = full.substr(slash + 1);
  std::string folderPath = full.substr(0, slash + 1);
  Node* folder = Lookup(folderPath);
  if (!folder || !folder->folder) return 0;

  Search search;
  // Every folder but a drive's root lists itself and its parent first.
  if (!SplitFull(folderPath).names.empty()) {
    for (const char* dots : {".", ".."})
      if (MatchesPattern(namePattern, dots)) search.entries.push_back(MakeFindData(dots, kFileAttributeDirectory));
  }
  for (const auto& child : folder->children)
    if (MatchesPattern(namePattern, child->name))
      search.entries.push_back(
          MakeFindData(child->name, child->attributes | (child->folder ? kFileAttributeDirectory : 0)));
  if (search.entries.empty()) return 0;

  data = search.entries[0];
  search.next = 1;
  std::uintptr_t handle = nextSearch_;
  nextSearch_ += 4;
  searches_[handle] = std::move(search);
  return handle;
}

bool FakeFileSystem::FindNext(std::uintptr_t handle, FindData& data) {
  auto search = searches_.find(handle);
  if (search == searches_.end()) {
    faults_.Add("FindNextFileA with a search that is not open");
    return false;
  }
  if (search->second.next >= search->second.entries.size()) return false;
  data = search->second.entries[search->second.next++];
  return true;
}

std::int32_t FakeFileSystem::FindClose(std::uintptr_t handle) {
  if (searches_.erase(handle) == 0) {
    faults_.Add("FindClose of a search that is not open");
    return 0;
  }
  return 1;
}

bool FakeFileSystem::MatchesPattern(const std::string& pattern, const std::string& name) {
  if (Glob(pattern, name)) return true;
  return pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
         Glob(std::string_view(pattern).substr(0, pattern.size() - 2), name);
}

// ------------------------------------------------------------ INI profiles

// The profile functions take a name without any folder from the Windows
// folder, and anything else relative to the current folder.
std::string FakeFileSystem::ProfilePath(const std::string& file) const {
  if (file.find_first_of("\\/") == std::string::npos) return FullPath(windowsFolder_ + "\\" + file);
  return FullPath(file);
}

std::optional<std::string> FakeFileSystem::ProfileString(const std::string& file, const std::string& section,
                                                         const std::string& entry) const {
  std::optional<std::string> contents = FileContents(ProfilePath(file));
  if (!contents) return std::nullopt;
  std::vector<std::string> lines = Lines(*contents);
  int header = FindSection(lines, section);
  std::string text;
  if (header < 0 || FindEntry(lines, header, entry, &text) < 0) return std::nullopt;
  return text;
}

std::string FakeFileSystem::GetProfileString(const std::string& section, const std::string& entry,
                                             const std::string& defaultText, std::uint32_t bufferSize,
                                             const std::string& file) const {
  if (bufferSize == 0) return {};
  std::optional<std::string> found = ProfileString(file, section, entry);
  std::string text;
  if (found) {
    text = *found;
  } else {
    // Windows cuts trailing blanks off the default.
    text = defaultText;
    text.erase(text.find_last_not_of(' ') + 1);
  }
  // At most bufferSize - 1 characters fit before the terminating NUL.
  if (text.size() > bufferSize - 1) text.resize(bufferSize - 1);
  return text;
}

std::int32_t FakeFileSystem::WriteProfileString(const std::string& section, const std::string& entry,
                                                const std::string& text, const std::string& file) {
  if (profileWriteFailure_ != 0) return profileWriteFailure_;
  std::string path = ProfilePath(file);
  std::string name;
  Node* folder = Parent(path, name);
  if (!folder) return kErrorPathNotFound;
  Node* node = folder->Child(name);
  if (node && (node->folder || (node->attributes & kFileAttributeReadOnly))) return kErrorAccessDenied;

  std::vector<std::string> lines = node ? Lines(node->contents) : std::vector<std::string>{};
  std::string line = TrimBlanks(entry) + "=" + text;
  int header = FindSection(lines, section);
  if (header < 0) {
    std::string heading = "[";  // built in steps: GCC 12 warns falsely (-Wrestrict) about "[" + text
    heading += TrimBlanks(section);
    heading += ']';
    lines.push_back(heading);
    lines.push_back(line);
  } else if (int at = FindEntry(lines, header, entry, nullptr); at >= 0) {
    std::string key, old;
    IsEntry(lines[std::size_t(at)], key, old);
    lines[std::size_t(at)] = key + "=" + text;  // the entry keeps the spelling of its name
  } else {
    // After the section's last line that is not blank.
    std::size_t insert = std::size_t(header) + 1, i = insert;
    for (std::string sectionName; i < lines.size() && !IsSectionHeader(lines[i], sectionName); ++i)
      if (!TrimBlanks(lines[i]).empty()) insert = i + 1;
    lines.insert(lines.begin() + std::ptrdiff_t(insert), line);
  }

  std::string contents;
  for (const std::string& each : lines) contents += each + "\r\n";
  if (!node) {
    folder->children.push_back(std::make_unique<Node>());
    node = folder->children.back().get();
    node->name = name;
  }
  node->contents = contents;
  return kErrorSuccess;
}

}  // namespace tamberlinox::platform
