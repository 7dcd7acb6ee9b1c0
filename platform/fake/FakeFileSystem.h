// The file system of the fake: drives of folders and files with attributes,
// names compared without regard to case, "\" as the separator. It serves the
// file test, full paths, the find functions and the INI profile functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/fake/FaultLog.h"

namespace tamberlinox::platform {

class FakeFileSystem {
 public:
  explicit FakeFileSystem(FaultLog& faults);
  FakeFileSystem(const FakeFileSystem&) = delete;
  FakeFileSystem& operator=(const FakeFileSystem&) = delete;
  ~FakeFileSystem();

  // ---- Set-up and inspection. Missing parent folders are created.
  void AddFolder(const std::string& path);
  // Adds the file, or replaces the attributes and contents of one that exists.
  void AddFile(const std::string& path, std::uint32_t attributes, const std::string& contents);
  bool Remove(const std::string& path);  // a file, or a folder with everything in it
  bool FolderExists(const std::string& path) const;
  bool FileExists(const std::string& path) const;
  std::optional<std::string> FileContents(const std::string& path) const;
  std::optional<std::uint32_t> Attributes(const std::string& path) const;
  void SetCurrentFolder(const std::string& path) { currentFolder_ = path; }
  const std::string& CurrentFolder() const { return currentFolder_; }
  // Where the profile functions look for a file named without a folder.
  void SetWindowsFolder(const std::string& path) { windowsFolder_ = path; }
  const std::string& WindowsFolder() const { return windowsFolder_; }

  // ---- The Windows functions.
  bool IsOrdinaryFile(const std::string& path) const;
  std::string FullPath(const std::string& path) const;
  std::uintptr_t FindFirst(const std::string& pattern, FindData& data);  // 0 on failure
  bool FindNext(std::uintptr_t search, FindData& data);
  std::int32_t FindClose(std::uintptr_t search);  // nonzero on success, like the Windows BOOL
  std::size_t OpenFindHandles() const { return searches_.size(); }

  std::string GetProfileString(const std::string& section, const std::string& entry, const std::string& defaultText,
                               std::uint32_t bufferSize, const std::string& file) const;
  std::int32_t WriteProfileString(const std::string& section, const std::string& entry, const std::string& text,
                                  const std::string& file);
  // Every later profile write fails with this system error code (0: they succeed again).
  void FailProfileWrites(std::int32_t code) { profileWriteFailure_ = code; }
  // The entry's text as the file holds it, or nothing when section or entry is missing.
  std::optional<std::string> ProfileString(const std::string& file, const std::string& section,
                                           const std::string& entry) const;

  // Case-insensitive match of a name against a pattern with * and ?, where a
  // final ".*" also matches a name without an extension (so "*.*" matches all).
  static bool MatchesPattern(const std::string& pattern, const std::string& name);

 private:
  struct Node;
  struct Search {
    std::vector<FindData> entries;
    std::size_t next = 0;
  };

  Node* Lookup(const std::string& path) const;
  Node* Parent(const std::string& fullPath, std::string& name) const;
  Node& MakeFolder(const std::string& fullPath);
  std::string ProfilePath(const std::string& file) const;

  FaultLog& faults_;
  std::map<std::string, std::unique_ptr<Node>> drives_;  // by lower-case "c:"
  std::string currentFolder_ = "C:\\";
  std::string windowsFolder_ = "C:\\WINDOWS";
  std::map<std::uintptr_t, Search> searches_;
  std::uintptr_t nextSearch_ = 0x5000;
  std::int32_t profileWriteFailure_ = 0;
};

}  // namespace tamberlinox::platform
