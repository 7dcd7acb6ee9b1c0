// The captions of the desktop menu: a file is listed under its name without
// the extension, the text before the last full stop, when that stop is
// neither the first nor the last character of the name; otherwise, and for a
// name whose caption would be a lone "-", under the whole name.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MenuBench.h"

namespace e2e {
namespace {

using Strings = std::vector<std::string>;

struct Named {
  const char* file;
  const char* caption;
};

const Named kNames[] = {
    {"a.bc", "a"},
    {"readme.html", "readme"},          // an extension of any length
    {"archive.tar.gz", "archive.tar"},  // only the last one goes
    {"v1.2 notes.txt", "v1.2 notes"},   // a stop inside the name stays
    {"Makefile", "Makefile"},           // no stop at all
    {".profile", ".profile"},           // the stop is the first character
    {".config.ini", ".config"},         // ... but not the last stop
    {"-.lnk", "-.lnk"},                 // "-" alone would read as a separator
};

class MenuDisplayNames : public MenuTest {};

// All the names lie on the user's desktop at once; the menu holds each
// caption once, beside the three shell places. The order is the subject of
// MenuTest.cpp, so both lists are compared sorted.
//
// Where Wine differs from Windows: Wine marks every file whose name starts
// with a full stop hidden, and hidden files are listed only when Explorer is
// set to show them. The test sets Explorer so ("Hidden" = 1), which lists the
// same files on Windows, where those names are not hidden.
TEST_F(MenuDisplayNames, EachFileIsListedWithoutItsExtension) {
  ExplorerHiddenFiles explorer;
  ASSERT_TRUE(explorer.hidden.SetDword(1));
  Strings expected = {"My Computer", "My Documents", "Recycle Bin"};
  for (const Named& n : kNames) {
    ASSERT_FALSE(desktops_->AddFile(DesktopFolders::kUser, n.file).empty()) << n.file;
    expected.push_back(n.caption);
  }
  Running& p = StartProgram();
  auto menu = DesktopMenu(p);
  ASSERT_TRUE(menu) << "no desktop menu could be read";
  std::sort(menu->begin(), menu->end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(*menu, expected);
}

}  // namespace
}  // namespace e2e
