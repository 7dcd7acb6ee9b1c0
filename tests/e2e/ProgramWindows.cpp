#include "ProgramWindows.h"

#include <algorithm>
#include <utility>

namespace e2e {

// ------------------------------------------------------------------ windows
namespace {
struct FormSearch {
  DWORD pid;
  const std::string* caption;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK FindFormWindow(HWND w, LPARAM lp) {
  auto& s = *reinterpret_cast<FormSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s.pid || ClassName(w) != kFormClass || WindowText(w) != *s.caption) return TRUE;
  if (s.visibleOnly && !IsWindowVisible(w)) return TRUE;
  s.found = w;
  return FALSE;
}

HWND SearchForm(const Process& p, const std::string& caption, bool visibleOnly) {
  if (p.Id() == 0) return nullptr;
  FormSearch s{p.Id(), &caption, visibleOnly, nullptr};
  EnumWindows(FindFormWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}
}  // namespace

HWND FindForm(const Process& p, const std::string& caption) { return SearchForm(p, caption, true); }

HWND WaitForForm(const Process& p, const std::string& caption, Millis timeout) {
  HWND form = nullptr;
  WaitUntil([&] { return (form = FindForm(p, caption)) != nullptr; }, timeout);
  return form;
}

bool FormExists(const Process& p, const std::string& caption) { return SearchForm(p, caption, false) != nullptr; }

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

namespace {
int ScreenDpi(int axis) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, axis) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi;
}
}  // namespace

int TwipsToPixelsX(int twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSX), 1440); }
int TwipsToPixelsY(int twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSY), 1440); }

bool ControlShown(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string AskText(HWND window) {
  constexpr size_t kSize = 2048;
  wchar_t text[kSize] = L"";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, kSize, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                           &copied)) {
    return {};
  }
  return ToUtf8(std::wstring_view(text, std::min<size_t>(copied, kSize - 1)));
}

std::vector<std::string> ComboEntries(HWND combo) {
  std::vector<std::string> entries;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count)) return entries;
  // Asked in the W form: where Wine differs from Windows, CB_GETLBTEXT in the A
  // form sent to another process's combo box brings back only the first half
  // of each entry's bytes ("F1" comes back as "F"); the W form works.
  for (int i = 0; i < int(count); ++i) {
    wchar_t text[256] = L"";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                             &length) ||
        length >= 256) {
      length = 0;
    }
    entries.push_back(ToUtf8(std::wstring_view(text, length)));
  }
  return entries;
}

void PostClick(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void SendClick(HWND dialog, int id) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

// ------------------------------------------------------------------- mouse
namespace {
INPUT MouseInput(POINT screen, DWORD flags) {
  // Absolute coordinates run from 0 to 65535 across the primary screen.
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  // Rounded up: the window system rounds down on the way back to pixels.
  in.mi.dx = LONG((screen.x * 65536LL + cx - 1) / cx);
  in.mi.dy = LONG((screen.y * 65536LL + cy - 1) / cy);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  return in;
}
}  // namespace

void MoveMouseTo(POINT screen) {
  INPUT in = MouseInput(screen, 0);
  SendInput(1, &in, sizeof in);
}

bool MoveMouseUntil(POINT screen, const std::function<bool()>& fact, Millis timeout) {
  auto sent = Clock::now();
  MoveMouseTo(screen);
  return WaitUntil(
      [&] {
        POINT at{};
        GetCursorPos(&at);
        const bool there = at.x == screen.x && at.y == screen.y;
        if (there && fact()) return true;
        const auto waited = Clock::now() - sent;
        if (!there && waited >= 100ms) {
          sent = Clock::now();
          MoveMouseTo(screen);
        } else if (there && waited >= 500ms) {
          // There, but the window under it has not heard of it: come again
          // from the next pixel, as a hand on a mouse would.
          sent = Clock::now();
          MoveMouseTo(POINT{screen.x + 1, screen.y});
          MoveMouseTo(screen);
        }
        return false;
      },
      timeout);
}

void ClickMouseAt(POINT screen) {
  INPUT in[3] = {MouseInput(screen, 0), MouseInput(screen, MOUSEEVENTF_LEFTDOWN),
                 MouseInput(screen, MOUSEEVENTF_LEFTUP)};
  SendInput(3, in, sizeof in[0]);
}

void DoubleClickMouseAt(POINT screen) {
  INPUT in[5] = {MouseInput(screen, 0), MouseInput(screen, MOUSEEVENTF_LEFTDOWN), MouseInput(screen, MOUSEEVENTF_LEFTUP),
                 MouseInput(screen, MOUSEEVENTF_LEFTDOWN), MouseInput(screen, MOUSEEVENTF_LEFTUP)};
  SendInput(5, in, sizeof in[0]);
}

POINT CentreOf(HWND dialog, int id) {
  RECT r{};
  GetWindowRect(GetDlgItem(dialog, id), &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT ClientPoint(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

// ----------------------------------------------------------------- browser
namespace {
BOOL CALLBACK CollectBrowser(HWND w, LPARAM lp) {
  if (ClassName(w) == "IEFrame") reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
  return TRUE;
}

BOOL CALLBACK FindAddressEdit(HWND w, LPARAM lp) {
  if (ClassName(w) == "Edit" && GetDlgCtrlID(w) == 1004 && ClassName(GetAncestor(w, GA_PARENT)) == "ComboBox") {
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

std::vector<HWND> BrowserWindows() {
  std::vector<HWND> found;
  EnumWindows(CollectBrowser, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string BrowserAddress(HWND frame) {
  HWND edit = nullptr;
  EnumChildWindows(frame, FindAddressEdit, reinterpret_cast<LPARAM>(&edit));
  return edit ? AskText(edit) : std::string();
}

bool CloseBrowser(HWND frame, Millis timeout) {
  DWORD pid = 0;
  GetWindowThreadProcessId(frame, &pid);
  UniqueHandle process(pid ? OpenProcess(SYNCHRONIZE, FALSE, pid) : nullptr);
  PostMessageA(frame, WM_CLOSE, 0, 0);
  if (!process) return WaitUntil([&] { return !IsWindow(frame); }, timeout);
  return WaitForSingleObject(process.Get(), DWORD(timeout.count())) == WAIT_OBJECT_0;
}

// ---------------------------------------------------------------- registry
// -------------------------------------------------------------- fixture
void TrayProgramTest::SetUp() {
  ShellTest::SetUp();
  if (HasFatalFailure()) return;
  ASSERT_TRUE(GetPaths().setupError.empty()) << GetPaths().setupError;
  menus_ = std::make_unique<MenuReader>(*shell_);
  ASSERT_TRUE(menus_->Loaded()) << "the menu hook DLL was not found beside the harness";
  browsersBefore_ = BrowserWindows();
}

void TrayProgramTest::TearDown() {
  menus_.reset();
  ShellTest::TearDown();
  // Browsers the program opened outlive it: they are closed here, after the
  // program, so that a request still under way cannot open one afterwards.
  for (HWND browser : BrowserWindows()) {
    if (std::find(browsersBefore_.begin(), browsersBefore_.end(), browser) != browsersBefore_.end()) continue;
    EXPECT_TRUE(CloseBrowser(browser)) << "a browser window did not close";
  }
}

ShellTest::Running& TrayProgramTest::StartProgram(unsigned modifiers, WORD vk) {
  return StartUntilReady(GetPaths().installed, Hides::kDesktop, modifiers, vk);
}

bool TrayProgramTest::ChooseCommand(Running& r, const std::string& captionPrefix, std::vector<MenuEntry>* seen) {
  ClickTray(r.main, WM_RBUTTONUP);
  HWND menu = menus_->WaitForMenu(r.process);
  if (!menu) {
    ADD_FAILURE() << "no menu appeared on a right click";
    return false;
  }
  auto entries = menus_->Read(menu);
  if (!entries) {
    ADD_FAILURE() << "the command menu could not be read";
    menus_->Close(menu);
    return false;
  }
  if (seen) *seen = *entries;
  for (const MenuEntry& e : *entries) {
    if (!e.Separator() && e.caption.rfind(captionPrefix, 0) == 0) return menus_->Choose(menu, *entries, e.caption);
  }
  ADD_FAILURE() << "the command menu has no entry \"" << captionPrefix << "\"";
  menus_->Close(menu);
  return false;
}

HWND TrayProgramTest::OpenForm(Running& r, const std::string& captionPrefix, const std::string& formCaption) {
  if (!ChooseCommand(r, captionPrefix)) return nullptr;
  HWND form = WaitForForm(r.process, formCaption);
  EXPECT_NE(form, nullptr) << "no window \"" << formCaption << "\" after \"" << captionPrefix << "\"";
  return form;
}

}  // namespace e2e
