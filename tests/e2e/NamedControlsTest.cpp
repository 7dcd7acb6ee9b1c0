// What a screen reader reads: the name Active Accessibility gives every
// control of the hot key window, the Options window and the About window
// (AccessibleObjectFromWindow(OBJID_CLIENT), then get_accName of the object
// itself), against a table. A control names itself by its text; a box that
// shows a value (the key list, the minutes) is named by the label just before
// it in the tab order, which is also the order of creation and the Z order.
//
// Where Wine differs from Windows: Wine's oleacc takes an edit box's name from
// the static text before it as Windows does, but names a combo box by its own
// text (the chosen key, "F10"), where Windows takes the label before it. For
// that box the test checks the label itself, by the rule Windows follows.
// Wine's oleacc loads in the harness process; it reads the program's windows
// from here (WM_GETTEXT), as a screen reader does.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramWindows.h"
#include "Utf8.h"

namespace e2e {
namespace {

constexpr char kOptionsCaption[] = "Tamberlinox Options";

struct Named {
  int id;
  std::string name;         // what a screen reader reads on Windows
  std::string wineName{};   // where Wine reads another name: that one
  bool prefixOnly = false;  // the name begins with this (a text that depends on the machine)
};

// The hot key window with the stored key F10.
const std::vector<Named> kHotKeyWindow = {
    {101, "Select One Or More Modifiers"},
    {102, "Select Your Hot Key F10 Is The Default"},
    {103, "Shift Button"},
    {104, "Ctrl Button"},
    {105, "Alt Button"},
    {106, "Select Your Hot Key", "F10"},
    {107, "Cancel"},
    {108, "Save Selection"},
};

// The mnemonic's "&" is not read.
const std::vector<Named> kOptionsWindow = {
    {101, "Double-click the desktop to show or hide the icons"},
    {102, "Show desktop folders as submenus"},
    {110, "Hide the icons after"},
    {111, "Minutes without input before the icons hide"},
    {112, "minutes without input"},
    {113, "Settings are kept in ", {}, true},
    {120, "OK"},
    {121, "Cancel"},
};

// The hidden connecting notice is named too: it is read when it shows.
const std::vector<Named> kAboutWindow = {
    {101, "I hope you find this program useful", {}, true},
    {102, "GoTo My Home Page"},
    {105, "  Connecting   Please Wait"},
    {110, "Close Form"},
};

// The name of the window's own object; "(none)" when it has none.
std::string AccessibleName(HWND window) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))) ||
      object == nullptr) {
    return "(no object)";
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  const HRESULT result = object->get_accName(self, &name);
  object->Release();
  std::string read = result == S_OK && name != nullptr ? ToUtf8(std::wstring_view(name, SysStringLen(name))) : "(none)";
  SysFreeString(name);
  return read;
}

// The label Windows names a box by: the nearest static text before it.
std::string LabelBefore(HWND control) {
  for (HWND before = GetWindow(control, GW_HWNDPREV); before != nullptr; before = GetWindow(before, GW_HWNDPREV)) {
    if (ClassName(before) == "Static") return WindowText(before);
  }
  return "(none)";
}

class NamedControls : public TrayProgramTest {
 protected:
  void SetUp() override {
    TrayProgramTest::SetUp();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  }
  void TearDown() override {
    CoUninitialize();
    TrayProgramTest::TearDown();
  }
  static void ExpectNames(HWND window, const std::vector<Named>& table) {
    for (const Named& control : table) {
      SCOPED_TRACE(WindowText(window) + ", control " + std::to_string(control.id));
      HWND hwnd = GetDlgItem(window, control.id);
      ASSERT_NE(hwnd, nullptr);
      const std::string name = AccessibleName(hwnd);
      const std::string& expected = control.wineName.empty() ? control.name : control.wineName;
      if (control.prefixOnly) {
        EXPECT_EQ(name.substr(0, expected.size()), expected);
      } else {
        EXPECT_EQ(name, expected);
      }
      // Where Wine reads another name, the label Windows reads is there.
      if (!control.wineName.empty()) EXPECT_EQ(LabelBefore(hwnd), control.name);
    }
  }
  HWND OpenOptions(const Running& r) {
    Running& command = Launch(GetPaths().installed, "/options", false);
    EXPECT_TRUE(command.process.WaitForExit(5000ms));
    return WaitForForm(r.process, kOptionsCaption);
  }
  static void CloseWith(const Running& r, HWND window, int button, const std::string& caption) {
    PostClick(window, button);
    EXPECT_TRUE(WaitUntil([&] { return !FormExists(r.process, caption); })) << caption << " is still open";
  }
};

TEST_F(NamedControls, EveryControlOfTheThreeWindowsHasItsName) {
  Running& r = StartProgram();

  HWND hotKeys = OpenForm(r, "Select Hot Key", kHotKeyCaption);
  ASSERT_NE(hotKeys, nullptr);
  ExpectNames(hotKeys, kHotKeyWindow);
  CloseWith(r, hotKeys, 107, kHotKeyCaption);

  HWND options = OpenOptions(r);
  ASSERT_NE(options, nullptr);
  ExpectNames(options, kOptionsWindow);
  // The number box's arrows are named as the box.
  HWND arrows = GetWindow(GetDlgItem(options, 111), GW_HWNDNEXT);
  ASSERT_NE(arrows, nullptr);
  EXPECT_EQ(ClassName(arrows), "msctls_updown32");
  EXPECT_EQ(AccessibleName(arrows), "Minutes without input before the icons hide");
  CloseWith(r, options, 121, kOptionsCaption);

  HWND about = OpenForm(r, "About", kAboutCaption);
  ASSERT_NE(about, nullptr);
  ExpectNames(about, kAboutWindow);
  CloseWith(r, about, 110, kAboutCaption);
}

}  // namespace
}  // namespace e2e
