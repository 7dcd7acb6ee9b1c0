// What a screen reader reads (Active Accessibility: AccessibleObjectFromWindow,
// then get_accName of the object itself) for every control of the hot key,
// Options and About windows: its own text without the mnemonic's "&", or for
// a box that shows a value the name in the table, which is the label just
// before it in the tab order. Wine differs: its oleacc names a combo box by its
// own text (the key, "F10"), where Windows reads that label; the test checks
// the label there.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "ProgramWindows.h"
#include "Utf8.h"

namespace e2e {
namespace {

const std::map<int, std::string> kHotKeyNames = {{106, "Select Your Hot Key"}};
const std::map<int, std::string> kOptionsNames = {{111, "Minutes without input before the icons hide"},
                                                  {115, "Desktop menu key"}};

std::string AccessibleName(HWND control) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
    return "(no object)";
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  const bool named = object->get_accName(self, &name) == S_OK && name != nullptr;
  object->Release();
  const std::string read = named ? ToUtf8(std::wstring_view(name, SysStringLen(name))) : "(none)";
  SysFreeString(name);
  return read;
}

// Every control with an id, and the number box's arrows after it.
void ExpectNames(HWND window, const std::map<int, std::string>& table) {
  int controls = 0;
  for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(c);
    const bool arrows = ClassName(c) == "msctls_updown32";
    if (id == 0xFFFF || (id == 0 && !arrows)) continue;  // the names' own labels
    ++controls;
    const auto entry = table.find(arrows ? GetDlgCtrlID(GetWindow(c, GW_HWNDPREV)) : id);
    std::string expected = entry != table.end() ? entry->second : AskText(c);
    if (const auto amp = expected.find('&'); entry == table.end() && amp != std::string::npos) expected.erase(amp, 1);
    if (ClassName(c) == "ComboBox") {  // Wine: its text; Windows: the label before it
      EXPECT_EQ(AskText(GetWindow(c, GW_HWNDPREV)), expected);
      expected = AskText(c);
    }
    EXPECT_EQ(AccessibleName(c), expected) << WindowText(window) << ", control " << id;
  }
  EXPECT_GE(controls, 4);
}

TEST_F(TrayProgramTest, EveryControlOfTheThreeWindowsHasItsName) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Running& r = StartProgram();
  HWND window = OpenForm(r, "Select Hot Key", kHotKeyCaption);
  ASSERT_NE(window, nullptr);
  ExpectNames(window, kHotKeyNames);
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Launch(GetPaths().installed, "/options", false).process.WaitForExit(5000ms));
  ASSERT_NE(window = WaitForForm(r.process, "Tamberlinox Options"), nullptr);
  ExpectNames(window, kOptionsNames);
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_NE(window = OpenForm(r, "About", kAboutCaption), nullptr);
  ExpectNames(window, {});
  PostMessageA(window, WM_CLOSE, 0, 0);
  CoUninitialize();
}

}  // namespace
}  // namespace e2e
