// What only the order or the number of the program's calls shows: the close
// sequence lets the hot key go before it shows the desktop, Timer1's tick puts
// the procedure back while the main window still exists, a left click
// enumerates the desktop once, and sorting the desktop items costs
// O(N log N) comparisons. The program runs on the fake through a thin
// platform that passes every call on and notes the ones watched here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "app/AutoHide.h"
#include "app/Program.h"
#include "platform/fake/FakePlatform.h"
#include "tests/unit/ForwardingPlatform.h"

namespace tamberlinox {
namespace {

using namespace platform;
using Texts = std::vector<std::string>;

// Passes every call on to the fake; notes some of them in order.
class WatchingPlatform final : public ForwardingPlatform {
 public:
  explicit WatchingPlatform(FakePlatform& fake) : ForwardingPlatform(fake) {}

  Texts log;                      // the noted calls, in order
  int comparisons = 0;            // CompareTextNoCase calls
  std::vector<int> folderLookups; // SHGetSpecialFolderLocation's folder numbers
  Texts searches;                 // FindFirstFileA's patterns
  std::function<void(WindowHandle, WndProcAddr)> onSetWindowLong;

  std::int32_t RegDeleteValueA(const RegKey& key, const std::string& name) override {
    log.push_back("RegDeleteValueA " + name);
    return fake_.RegDeleteValueA(key, name);
  }
  std::int32_t RegDeleteKeyA(std::uint32_t hive, const std::string& subKey) override {
    log.push_back("RegDeleteKeyA " + subKey);
    return fake_.RegDeleteKeyA(hive, subKey);
  }
  bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers, std::int32_t key) override {
    log.push_back("RegisterHotKey");
    return fake_.RegisterHotKey(window, id, modifiers, key);
  }
  bool UnregisterHotKey(WindowHandle window, std::int32_t id) override {
    log.push_back("UnregisterHotKey");
    return fake_.UnregisterHotKey(window, id);
  }
  bool ShowWindow(WindowHandle window, int command) override {
    log.push_back("ShowWindow " + std::to_string(command));
    return fake_.ShowWindow(window, command);
  }
  WndProcAddr SetWindowLongA(WindowHandle window, WndProcAddr procedure) override {
    log.push_back("SetWindowLongA");
    if (onSetWindowLong) onSetWindowLong(window, procedure);
    return fake_.SetWindowLongA(window, procedure);
  }

  std::int32_t Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override {
    log.push_back("Shell_NotifyIconA " + std::to_string(message));
    return fake_.Shell_NotifyIconA(message, data);
  }

  std::int32_t SHGetSpecialFolderLocation(WindowHandle owner, int folder, ItemIdList& list) override {
    folderLookups.push_back(folder);
    return fake_.SHGetSpecialFolderLocation(owner, folder, list);
  }
  FindHandle FindFirstFileA(const std::string& pattern, FindData& data) override {
    searches.push_back(pattern);
    return fake_.FindFirstFileA(pattern, data);
  }
  int CompareTextNoCase(const std::string& a, const std::string& b) override {
    ++comparisons;
    return fake_.CompareTextNoCase(a, b);
  }

  int MessageBoxA(WindowHandle owner, const std::string& text, const std::string& title,
                  std::uint32_t flags) override {
    log.push_back("MessageBoxA");
    return fake_.MessageBoxA(owner, text, title, flags);
  }
};

constexpr char kUser[] = "C:\\Users\\me\\Desktop";
constexpr char kCommon[] = "C:\\Users\\Public\\Desktop";

class WatchedCallsTest : public ::testing::Test {
 protected:
  WatchedCallsTest() {
    progman = fake.AddWindow("Progman", "Program Manager", true);
    fake.AddWindow("Shell_TrayWnd", "", true);
    fake.SetSpecialFolder(FakePlatform::kCsidlDesktopDirectory, kUser);
    fake.SetSpecialFolder(FakePlatform::kCsidlCommonDesktopDirectory, kCommon);
    fake.SetSpecialFolder(FakePlatform::kCsidlWindows, "C:\\WINDOWS");
    fake.AddFolder(kUser);
    fake.AddFolder(kCommon);
  }

  void Start() {
    AutoHide::Main(program);
    main = fake.FormByHandle(program.frmTamberlinox.Handle());
    ASSERT_NE(main, nullptr);
    Forget();
  }

  void TearDown() override { EXPECT_EQ(fake.Faults(), Texts{}); }

  void Forget() {
    os.log.clear();
    os.comparisons = 0;
    os.folderLookups.clear();
    os.searches.clear();
  }

  void Choose(std::uint32_t button, const std::string& caption) {
    fake.SetPopupChooser([caption](const Texts& captions) {
      auto found = std::find(captions.begin(), captions.end(), caption);
      return found == captions.end() ? -1 : static_cast<int>(found - captions.begin());
    });
    EXPECT_TRUE(fake.ClickTrayIcon(button));
  }

  FakePlatform fake;
  WatchingPlatform os{fake};
  Program program{os};
  FakeForm* main = nullptr;
  WindowHandle progman = 0;
};

// ------------------------------------------------------------ shutdown

TEST_F(WatchedCallsTest, CloseSequenceLetsTheHotKeyGoBeforeItShowsTheDesktop) {
  Start();
  fake.SetMessageBoxResponder([](const MessageBoxCall&) { return kIdNo; });

  Choose(kWmRButtonUp, "Close Program");

  EXPECT_EQ(os.log, (Texts{"MessageBoxA", "RegDeleteValueA Tamberlinox", "RegDeleteKeyA Software\\Zemrik Software\\Tamberlinox",
                           "UnregisterHotKey", "ShowWindow 5", "Shell_NotifyIconA 2"}));
}

TEST_F(WatchedCallsTest, Timer1PutsTheProcedureBackWhileTheMainWindowExistsAndTimer1IsOff) {
  Start();
  const WindowHandle window = main->Handle();
  const WndProcAddr ownProcedure = main->ClassProcedure();
  Choose(kWmRButtonUp, "Close Program");
  bool windowLoaded = false, timerEnabled = true;
  WndProcAddr putBack = 0;
  os.onSetWindowLong = [&](WindowHandle target, WndProcAddr procedure) {
    EXPECT_EQ(target, window);
    FakeForm* form = fake.FormByHandle(target);
    windowLoaded = form != nullptr;
    if (form) timerEnabled = form->TimerEnabled(TamberlinoxForm::Timer1);
    putBack = procedure;
  };
  Forget();

  ASSERT_TRUE(fake.FireTimer(*main, TamberlinoxForm::Timer1));

  EXPECT_EQ(os.log, Texts{"SetWindowLongA"});
  EXPECT_TRUE(windowLoaded);
  EXPECT_FALSE(timerEnabled);
  EXPECT_EQ(putBack, ownProcedure);
  EXPECT_EQ(fake.LiveForms(), 0u);
}

// ------------------------------------------------------- the desktop menu

TEST_F(WatchedCallsTest, LeftClickEnumeratesTheDesktopOnce) {
  Start();
  fake.SetPopupChooser([](const Texts&) { return -1; });

  ASSERT_TRUE(fake.ClickTrayIcon(kWmLButtonUp));

  EXPECT_EQ(os.folderLookups, (std::vector<int>{16, 25, 36}));
  EXPECT_EQ(os.searches, (Texts{std::string(kUser) + "\\*.*", std::string(kCommon) + "\\*.*"}));
  EXPECT_EQ(main->ShowCount(), 1);

  Forget();
  ASSERT_TRUE(fake.ClickTrayIcon(kWmRButtonUp));
  EXPECT_TRUE(os.folderLookups.empty());
  EXPECT_TRUE(os.searches.empty());
}

// A sorted list that takes its items one by one costs N*N/4 comparisons on
// average; the menu of a crowded desktop must not.
TEST_F(WatchedCallsTest, SortingTheDesktopItemsCostsNLogNComparisons) {
  constexpr int kFiles = 1024;
  std::uint32_t seed = 12345;
  for (int i = 0; i < kFiles; ++i) {
    seed = seed * 1103515245u + 12345u;
    const std::string name = "Item " + std::to_string(seed % 100000) + "-" + std::to_string(i);
    fake.AddFile(std::string(i % 2 ? kUser : kCommon) + "\\" + name + ".lnk");
  }
  Start();
  fake.SetPopupChooser([](const Texts&) { return -1; });

  ASSERT_TRUE(fake.ClickTrayIcon(kWmLButtonUp));

  const Texts list4 = main->Items(TamberlinoxForm::List4);
  ASSERT_EQ(list4.size(), std::size_t(kFiles + 3));
  EXPECT_TRUE(std::is_sorted(list4.begin(), list4.end(),
                             [&](const std::string& a, const std::string& b) { return fake.CompareTextNoCase(a, b) < 0; }));
  const double n = kFiles + 3;
  EXPECT_LE(os.comparisons, static_cast<int>(2 * n * std::log2(n)));
}

}  // namespace
}  // namespace tamberlinox
