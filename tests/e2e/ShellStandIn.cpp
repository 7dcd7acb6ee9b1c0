#include "ShellStandIn.h"

#include <cstring>
#include <cwchar>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "Bench.h"
#include "MenuProtocol.h"

namespace e2e {

namespace {
constexpr UINT kDoRecreateTray = WM_APP + 1;
constexpr UINT kDoShowDesktop = WM_APP + 2;
constexpr UINT kDoQuit = WM_APP + 3;
constexpr UINT kDoSetLayout = WM_APP + 4;
constexpr UINT kDoShowIcons = WM_APP + 5;
constexpr UINT kDoRemoveView = WM_APP + 6;
constexpr UINT kDoRecreateView = WM_APP + 7;
constexpr UINT kDoStall = WM_APP + 8;

// Every window of the desktop stand-in covers the same corner of the screen.
constexpr int kDesktopWidth = 200;
constexpr int kDesktopHeight = 150;

// Offsets in Wine's tray record (dlls/shell32 "struct notify_data").
constexpr size_t kTipOffset = 16;
constexpr size_t kTipChars = 128;
constexpr size_t kInfoOffset = 280;  // after szTip, dwState and dwStateMask
constexpr size_t kInfoChars = 256;
constexpr size_t kInfoTitleOffset = 796;  // after szInfo and uTimeout
constexpr size_t kInfoTitleChars = 64;
constexpr size_t kInfoFlagsOffset = 924;
constexpr size_t kIconSizeOffset = 944;  // width, height, planes, bpp follow the GUID
}  // namespace

// A desktop window's visibility by its own style, and its shows and hides.
struct WindowRecord {
  bool visible = false;
  int changes = 0;
};

struct ShellStandIn::State {
  mutable std::mutex mutex;
  DesktopWindows desktop;  // Progman and the windows of the layout
  std::map<HWND, WindowRecord> records;
  HWND tray = nullptr;
  HWND receiver = nullptr;
  HWND reportReceiver = nullptr;
  UniqueHandle stalled{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  bool ready = false;
  bool trayAccepts = true;
  std::vector<TrayRequest> requests;
  std::set<std::pair<HWND, UINT>> icons;
  std::vector<WPARAM> commands;
  std::optional<std::string> menuReport;
  std::function<void(bool)> desktopHook;
  std::thread thread;
  std::thread reportThread;
  RECT listItem{};
  DWORD listAnswerDelayMs = 0;
  int listHitTests = 0;
  int hiddenListHitTests = 0;
};

namespace {

ShellStandIn::State* StateOf(HWND w) {
  return reinterpret_cast<ShellStandIn::State*>(GetWindowLongPtrA(w, GWLP_USERDATA));
}

// Keyboard input the tests send may land on these windows when they are in
// front: they take no part in it (no Alt menu mode, no Alt+F4).
bool SwallowKeys(UINT msg, WPARAM wp) {
  switch (msg) {
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      return true;
    case WM_SYSCOMMAND:
      return (wp & 0xFFF0) == SC_KEYMENU || (wp & 0xFFF0) == SC_CLOSE;
    case WM_CLOSE:
      return true;
    default:
      return false;
  }
}

LRESULT StoreCreateParams(HWND w, LPARAM lp) {
  auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
  SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  return TRUE;
}

void RecordShowOrHide(HWND w, const WINDOWPOS& pos) {
  auto* s = StateOf(w);
  if (!s || !(pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) return;
  std::function<void(bool)> hook;
  const bool visible = (pos.flags & SWP_SHOWWINDOW) != 0;
  {
    std::lock_guard lock(s->mutex);
    WindowRecord& r = s->records[w];
    ++r.changes;
    r.visible = visible;
    if (w == s->desktop.IconWindow()) hook = s->desktopHook;
  }
  if (hook) hook(visible);
}

// LVM_HITTEST on the icon list: the record (POINT pt, UINT flags, int iItem,
// ... in the list's client coordinates) is in this process's memory.
constexpr UINT kListHitTest = 0x1012;  // LVM_HITTEST
constexpr UINT kOnItemIcon = 0x0002, kNowhere = 0x0001;
LRESULT ListHitTest(ShellStandIn::State& s, HWND list, LPARAM record) {
  DWORD delayMs;
  {
    std::lock_guard lock(s.mutex);
    delayMs = s.listAnswerDelayMs;
  }
  Sleep(delayMs);  // then reads and writes the record, as a busy shell does
  auto* bytes = reinterpret_cast<unsigned char*>(record);
  // A record released meanwhile is not answered. (Wine ignores a window
  // procedure's access violation for a message sent from another thread.)
  MEMORY_BASIC_INFORMATION memory{};
  if (VirtualQuery(bytes, &memory, sizeof memory) == 0 || memory.State != MEM_COMMIT) return -1;
  POINT at;
  std::memcpy(&at, bytes, sizeof at);
  std::lock_guard lock(s.mutex);
  ++s.listHitTests;
  if (!s.records[list].visible) ++s.hiddenListHitTests;
  const int item = PtInRect(&s.listItem, at) ? 0 : -1;
  const UINT flags = item == 0 ? kOnItemIcon : kNowhere;
  std::memcpy(bytes + sizeof at, &flags, sizeof flags);
  std::memcpy(bytes + sizeof at + sizeof flags, &item, sizeof item);
  return item;
}

// The window procedure of every window of the desktop stand-in, whatever its class.
//
// None of them ever takes the focus. Wine ignores WS_EX_NOACTIVATE (Windows
// honours it): the program's ShowWindow(SW_SHOW) would make the stand-in the
// foreground window, and so would Wine when the window in front of it goes
// away. On Windows the desktop takes the keyboard from the user's application
// neither way. Under Wine a window that gets the focus also makes Wine's X11
// driver set the key state to the X server's, releasing every key the harness
// holds through SendInput (see PressKey), so that a hot key pressed just then
// would arrive without its modifiers. SWP_NOACTIVATE on every show refuses the
// first; WS_DISABLED on the top-level windows (Wine does not hand the focus to
// a disabled window) the second.
LRESULT CALLBACK DesktopProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) StoreCreateParams(w, lp);
  if (SwallowKeys(msg, wp)) return 0;
  if (msg == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(lp)->flags |= SWP_NOACTIVATE;
  if (msg == WM_WINDOWPOSCHANGED) RecordShowOrHide(w, *reinterpret_cast<const WINDOWPOS*>(lp));
  if (msg == kListHitTest && StateOf(w)) return ListHitTest(*StateOf(w), w, lp);
  if (msg == WM_NCDESTROY) {
    if (auto* s = StateOf(w)) {
      std::lock_guard lock(s->mutex);
      s->records.erase(w);
    }
  }
  return DefWindowProcA(w, msg, wp, lp);
}

// A window of the desktop stand-in, visible, with no changes counted yet.
// Top-level ones never take the focus and get no taskbar button.
HWND MakeDesktopWindow(ShellStandIn::State* s, const char* className, const char* title, HWND parent) {
  const DWORD style = (parent ? WS_CHILD : WS_POPUP | WS_DISABLED) | WS_VISIBLE;
  const DWORD exStyle = parent ? 0 : WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
  HWND w = CreateWindowExA(exStyle, className, title, style, 0, 0, kDesktopWidth, kDesktopHeight, parent, nullptr,
                           GetModuleHandleA(nullptr), s);
  std::lock_guard lock(s->mutex);
  // By its own style: inside a hidden Progman it is visible all the same.
  s->records[w] = WindowRecord{(GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) != 0, 0};
  return w;
}

// Moves the view to another parent. The window system hides and shows a
// visible window around SetParent; that is no show or hide of the desktop.
void MoveView(ShellStandIn::State* s, HWND view, HWND parent) {
  WindowRecord before;
  {
    std::lock_guard lock(s->mutex);
    before = s->records[view];
  }
  SetParent(view, parent);
  std::lock_guard lock(s->mutex);
  s->records[view] = before;
}

void PutAtTheBottom(HWND w) { SetWindowPos(w, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }

// Runs on the stand-in's thread.
void BuildLayout(ShellStandIn::State* s, DesktopLayout layout) {
  DesktopWindows old;
  {
    std::lock_guard lock(s->mutex);
    old = s->desktop;
  }
  DesktopWindows now;
  now.layout = layout;
  now.desktop = old.desktop;
  now.view = old.view;
  if (now.view && layout == DesktopLayout::kNoList) {
    DestroyWindow(now.view);
    now.view = nullptr;
  }
  if (now.view) MoveView(s, now.view, now.desktop);  // out of a WorkerW that goes away
  if (old.iconWorker) DestroyWindow(old.iconWorker);
  if (old.wallpaper) DestroyWindow(old.wallpaper);
  if (layout != DesktopLayout::kNoList && !now.view) {
    now.view = MakeDesktopWindow(s, "SHELLDLL_DefView", "", now.desktop);
    MakeDesktopWindow(s, "SysListView32", "FolderView", now.view);
  }
  if (now.view) now.list = FindWindowExA(now.view, nullptr, "SysListView32", "FolderView");
  if (layout == DesktopLayout::kWorkerW) {
    now.wallpaper = MakeDesktopWindow(s, "WorkerW", "", nullptr);
    now.iconWorker = MakeDesktopWindow(s, "WorkerW", "", nullptr);
    MoveView(s, now.view, now.iconWorker);
    // Below every other window, as the shell's are: top to bottom the icons'
    // WorkerW, the wallpaper's, then Progman. (Under Wine they may be found
    // elsewhere a moment later; the program does not depend on the order.)
    for (HWND w : {now.iconWorker, now.wallpaper, now.desktop}) PutAtTheBottom(w);
  } else if (layout == DesktopLayout::kProgmanWithWallpaper) {
    now.wallpaper = MakeDesktopWindow(s, "WorkerW", "", now.desktop);
    PutAtTheBottom(now.wallpaper);  // below the view
  }
  std::lock_guard lock(s->mutex);
  s->desktop = now;
}

// Runs on the stand-in's thread.
void RemoveView(ShellStandIn::State* s) {
  HWND view;
  {
    std::lock_guard lock(s->mutex);
    view = std::exchange(s->desktop.view, nullptr);
    s->desktop.list = nullptr;
  }
  if (view) DestroyWindow(view);
}

// Runs on the stand-in's thread.
void RecreateView(ShellStandIn::State* s) {
  RemoveView(s);
  DesktopWindows now;
  {
    std::lock_guard lock(s->mutex);
    now = s->desktop;
  }
  if (now.layout == DesktopLayout::kNoList) return;
  HWND parent = now.layout == DesktopLayout::kWorkerW ? now.iconWorker : now.desktop;
  HWND view = MakeDesktopWindow(s, "SHELLDLL_DefView", "", parent);
  HWND list = MakeDesktopWindow(s, "SysListView32", "FolderView", view);
  std::lock_guard lock(s->mutex);
  s->desktop.view = view;
  s->desktop.list = list;
}

// The text up to its end or maxChars, whichever comes first, as UTF-8.
std::string Narrow(const wchar_t* text, size_t maxChars) {
  size_t n = 0;
  while (n < maxChars && text[n] != 0) ++n;
  return ToUtf8(std::wstring_view(text, n));
}

LRESULT TrayCopyData(ShellStandIn::State& s, const COPYDATASTRUCT& cds) {
  TrayRequest r;
  r.message = DWORD(cds.dwData);
  const auto* bytes = static_cast<const unsigned char*>(cds.lpData);
  if (cds.cbData < kTipOffset + kTipChars * sizeof(WCHAR)) return 0;
  LONG hwnd;
  std::memcpy(&hwnd, bytes, 4);
  r.window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(hwnd));
  std::memcpy(&r.id, bytes + 4, 4);
  std::memcpy(&r.flags, bytes + 8, 4);
  std::memcpy(&r.callbackMessage, bytes + 12, 4);
  WCHAR tip[kTipChars];
  std::memcpy(tip, bytes + kTipOffset, sizeof tip);
  r.tip = Narrow(tip, kTipChars);
  if (cds.cbData >= kInfoFlagsOffset + 4 && (r.flags & NIF_INFO)) {
    WCHAR info[kInfoChars];
    std::memcpy(info, bytes + kInfoOffset, sizeof info);
    r.info = Narrow(info, kInfoChars);
    WCHAR title[kInfoTitleChars];
    std::memcpy(title, bytes + kInfoTitleOffset, sizeof title);
    r.infoTitle = Narrow(title, kInfoTitleChars);
    std::memcpy(&r.infoFlags, bytes + kInfoFlagsOffset, 4);
  }
  if (cds.cbData >= kIconSizeOffset + 8 && (r.flags & NIF_ICON)) {
    std::memcpy(&r.iconWidth, bytes + kIconSizeOffset, 4);
    std::memcpy(&r.iconHeight, bytes + kIconSizeOffset + 4, 4);
  }
  std::lock_guard lock(s.mutex);
  const auto key = std::make_pair(r.window, r.id);
  switch (r.message) {
    case NIM_ADD:
      r.answer = s.trayAccepts && s.icons.insert(key).second;
      break;
    case NIM_MODIFY:
    case NIM_SETVERSION:
      r.answer = s.icons.count(key) != 0;
      break;
    case NIM_DELETE:
      r.answer = s.icons.erase(key) != 0;
      break;
    default:
      r.answer = 0;
  }
  s.requests.push_back(r);
  return r.answer;
}

LRESULT CALLBACK TrayProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) StoreCreateParams(w, lp);
  if (SwallowKeys(msg, wp)) return 0;
  auto* s = StateOf(w);
  if (s && msg == WM_COPYDATA) return TrayCopyData(*s, *reinterpret_cast<const COPYDATASTRUCT*>(lp));
  if (s && msg == WM_COMMAND) {
    std::lock_guard lock(s->mutex);
    s->commands.push_back(wp);
    return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

HWND CreateTray(ShellStandIn::State* s) {
  HWND tray = CreateWindowExA(WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), s);
  // In front of Wine's own taskbar, so that FindWindowA meets this one first.
  SetWindowPos(tray, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return tray;
}

LRESULT CALLBACK ReportReceiverProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) StoreCreateParams(w, lp);
  auto* s = StateOf(w);
  if (!s) return DefWindowProcA(w, msg, wp, lp);
  switch (msg) {
    case WM_COPYDATA: {
      const auto& cds = *reinterpret_cast<const COPYDATASTRUCT*>(lp);
      if (cds.dwData != kMenuReportTag) return FALSE;
      std::lock_guard lock(s->mutex);
      s->menuReport = std::string(static_cast<const char*>(cds.lpData), cds.cbData);
      return TRUE;
    }
    case kDoQuit:
      DestroyWindow(w);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(w, msg, wp, lp);
  }
}

LRESULT CALLBACK ReceiverProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) StoreCreateParams(w, lp);
  auto* s = StateOf(w);
  if (!s) return DefWindowProcA(w, msg, wp, lp);
  switch (msg) {
    case kDoRemoveView:
      RemoveView(s);
      return 0;
    case kDoRecreateView:
      RecreateView(s);
      return 0;
    case kDoStall:
      SetEvent(s->stalled.Get());
      Sleep(DWORD(wp));
      return 0;
    case kDoRecreateTray: {
      HWND old;
      {
        std::lock_guard lock(s->mutex);
        old = s->tray;
        s->icons.clear();
      }
      DestroyWindow(old);
      HWND tray = CreateTray(s);
      std::lock_guard lock(s->mutex);
      s->tray = tray;
      return 0;
    }
    case kDoShowDesktop:
      ShowWindow(s->desktop.desktop, SW_SHOWNOACTIVATE);
      return 0;
    case kDoSetLayout:
      BuildLayout(s, static_cast<DesktopLayout>(wp));
      return 0;
    case kDoShowIcons:
      ShowWindow(s->desktop.IconWindow(), wp ? SW_SHOWNOACTIVATE : SW_HIDE);
      return 0;
    case kDoQuit:
      DestroyWindow(s->tray);
      BuildLayout(s, DesktopLayout::kNoList);
      DestroyWindow(s->desktop.desktop);
      DestroyWindow(w);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(w, msg, wp, lp);
  }
}

void RegisterClassOnce(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = name;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_DESKTOP + 1);
  RegisterClassA(&wc);  // fails harmlessly when a previous stand-in registered it
}

void ShellThread(ShellStandIn::State* s, HANDLE ready) {
  // The harness's own classes of these names come first for its windows,
  // even where the system has registered one (SysListView32) for every program.
  for (const char* name : {"Progman", "WorkerW", "SHELLDLL_DefView", "SysListView32"}) {
    RegisterClassOnce(name, DesktopProc);
  }
  RegisterClassOnce("Shell_TrayWnd", TrayProc);
  RegisterClassOnce("TamberlinoxE2EReceiver", ReceiverProc);
  HINSTANCE inst = GetModuleHandleA(nullptr);
  // The desktop stand-in covers a corner of the screen and never takes the focus.
  HWND desktop = CreateWindowExA(WS_EX_NOACTIVATE, "Progman", "Program Manager", WS_POPUP | WS_VISIBLE | WS_DISABLED, 0,
                                 0, kDesktopWidth, kDesktopHeight, nullptr, nullptr, inst, s);
  HWND tray = CreateTray(s);
  HWND receiver =
      CreateWindowExA(0, "TamberlinoxE2EReceiver", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, inst, s);
  {
    std::lock_guard lock(s->mutex);
    s->desktop.desktop = desktop;
    s->tray = tray;
    s->receiver = receiver;
    s->ready = desktop && tray && receiver;
    // Its creation as a visible window does not count.
    s->records[desktop] = WindowRecord{IsWindowVisible(desktop) != FALSE, 0};
  }
  SetEvent(ready);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void ReportThread(ShellStandIn::State* s, HANDLE ready) {
  RegisterClassOnce("TamberlinoxE2EReports", ReportReceiverProc);
  HWND receiver = CreateWindowExA(0, "TamberlinoxE2EReports", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), s);
  {
    std::lock_guard lock(s->mutex);
    s->reportReceiver = receiver;
  }
  SetEvent(ready);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
}

}  // namespace

ShellStandIn::ShellStandIn() : state_(std::make_shared<State>()) {
  UniqueHandle ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE readyEvent = ready.Get();
  state_->thread = std::thread(ShellThread, state_.get(), readyEvent);
  WaitForSingleObject(readyEvent, 30000);
  ResetEvent(readyEvent);
  state_->reportThread = std::thread(ReportThread, state_.get(), readyEvent);
  WaitForSingleObject(readyEvent, 30000);
}

ShellStandIn::~ShellStandIn() {
  if (HWND r = Receiver()) SendMessageA(r, kDoQuit, 0, 0);
  if (state_->thread.joinable()) state_->thread.join();
  if (HWND r = ReportReceiver()) SendMessageA(r, kDoQuit, 0, 0);
  if (state_->reportThread.joinable()) state_->reportThread.join();
}

bool ShellStandIn::Ready() const {
  std::lock_guard lock(state_->mutex);
  return state_->ready && state_->reportReceiver != nullptr;
}

HWND ShellStandIn::Desktop() const {
  std::lock_guard lock(state_->mutex);
  return state_->desktop.desktop;
}

bool ShellStandIn::DesktopVisible() const { return Visible(Desktop()); }

int ShellStandIn::DesktopChanges() const { return Changes(Desktop()); }

void ShellStandIn::ShowDesktop() { SendMessageA(Receiver(), kDoShowDesktop, 0, 0); }

void ShellStandIn::OnDesktopChange(std::function<void(bool visible)> hook) {
  std::lock_guard lock(state_->mutex);
  state_->desktopHook = std::move(hook);
}

void ShellStandIn::SetLayout(DesktopLayout layout) { SendMessageA(Receiver(), kDoSetLayout, WPARAM(layout), 0); }

DesktopWindows ShellStandIn::Windows() const {
  std::lock_guard lock(state_->mutex);
  return state_->desktop;
}

bool ShellStandIn::Visible(HWND window) const {
  std::lock_guard lock(state_->mutex);
  const auto it = state_->records.find(window);
  return it != state_->records.end() && it->second.visible;
}

int ShellStandIn::Changes(HWND window) const {
  std::lock_guard lock(state_->mutex);
  const auto it = state_->records.find(window);
  return it != state_->records.end() ? it->second.changes : 0;
}

int ShellStandIn::AllChanges() const {
  std::lock_guard lock(state_->mutex);
  int all = 0;
  for (const auto& [window, record] : state_->records) all += record.changes;
  return all;
}

bool ShellStandIn::IconsVisible() const {
  std::lock_guard lock(state_->mutex);
  HWND w = state_->desktop.IconWindow();
  if (!w) return false;
  // The windows around the list are the stand-in's too (GetParent sends no message).
  for (; w != nullptr; w = GetParent(w)) {
    const auto it = state_->records.find(w);
    if (it == state_->records.end() || !it->second.visible) return false;
  }
  return true;
}

void ShellStandIn::ShowIcons(bool show) { SendMessageA(Receiver(), kDoShowIcons, show, 0); }

void ShellStandIn::RemoveIconView() { SendMessageA(Receiver(), kDoRemoveView, 0, 0); }

void ShellStandIn::RecreateIconView() { SendMessageA(Receiver(), kDoRecreateView, 0, 0); }

void ShellStandIn::StallDesktop(Millis duration) {
  PostMessageA(Receiver(), kDoStall, WPARAM(duration.count()), 0);
  WaitForSingleObject(state_->stalled.Get(), 10000);
}

void ShellStandIn::PutItemOnList(RECT item, Millis answerDelay) {
  std::lock_guard lock(state_->mutex);
  state_->listItem = item;
  state_->listAnswerDelayMs = DWORD(answerDelay.count());
}

int ShellStandIn::ListHitTests() const {
  std::lock_guard lock(state_->mutex);
  return state_->listHitTests;
}

int ShellStandIn::HiddenListHitTests() const {
  std::lock_guard lock(state_->mutex);
  return state_->hiddenListHitTests;
}

HWND ShellStandIn::Tray() const {
  std::lock_guard lock(state_->mutex);
  return state_->tray;
}

void ShellStandIn::SetTrayAccepts(bool accepts) {
  std::lock_guard lock(state_->mutex);
  state_->trayAccepts = accepts;
}

std::vector<TrayRequest> ShellStandIn::TrayRequests() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests;
}

bool ShellStandIn::HasIcon(HWND window, UINT id) const {
  std::lock_guard lock(state_->mutex);
  return state_->icons.count({window, id}) != 0;
}

int ShellStandIn::IconCount() const {
  std::lock_guard lock(state_->mutex);
  return int(state_->icons.size());
}

std::vector<WPARAM> ShellStandIn::TaskbarCommands() const {
  std::lock_guard lock(state_->mutex);
  return state_->commands;
}

void ShellStandIn::RecreateTray() { SendMessageA(Receiver(), kDoRecreateTray, 0, 0); }

HWND ShellStandIn::Receiver() const {
  std::lock_guard lock(state_->mutex);
  return state_->receiver;
}

HWND ShellStandIn::ReportReceiver() const {
  std::lock_guard lock(state_->mutex);
  return state_->reportReceiver;
}

std::optional<std::string> ShellStandIn::TakeMenuReport() {
  std::lock_guard lock(state_->mutex);
  return std::exchange(state_->menuReport, std::nullopt);
}

const char* LayoutName(DesktopLayout layout) {
  switch (layout) {
    case DesktopLayout::kNoList:
      return "NoList";
    case DesktopLayout::kClassic:
      return "Classic";
    case DesktopLayout::kWorkerW:
      return "WorkerW";
    case DesktopLayout::kProgmanWithWallpaper:
      return "ProgmanWithWallpaper";
  }
  return "?";
}

namespace {

// The harness started with kForeignWorkerArgument: another program's desktop
// windows, shown until the process is ended. It never returns.
[[noreturn]] void PlayForeignWorker() {
  for (const char* name : {"WorkerW", "SHELLDLL_DefView", "SysListView32"}) RegisterClassOnce(name, DefWindowProcA);
  HINSTANCE inst = GetModuleHandleA(nullptr);
  // Shown without taking the focus, and disabled so that Wine never hands it
  // the focus either (see DesktopProc).
  HWND worker = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, "WorkerW", "", WS_POPUP | WS_DISABLED, 0, 0,
                                kDesktopWidth, kDesktopHeight, nullptr, nullptr, inst, nullptr);
  HWND view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, kDesktopWidth, kDesktopHeight,
                              worker, nullptr, inst, nullptr);
  CreateWindowExA(0, "SysListView32", "FolderView", WS_CHILD | WS_VISIBLE, 0, 0, kDesktopWidth, kDesktopHeight, view,
                  nullptr, inst, nullptr);
  ShowWindow(worker, SW_SHOWNOACTIVATE);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  ExitProcess(0);
}

// Decided before the tests are set up: a harness started as the other
// program plays it and runs no tests.
[[maybe_unused]] const bool gPlaysForeignWorker = [] {
  if (std::wcsstr(GetCommandLineW(), ToWide(kForeignWorkerArgument).c_str()) == nullptr) return false;
  PlayForeignWorker();
}();

}  // namespace

ForeignDesktopWorker::ForeignDesktopWorker() {
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  process_ = Process::Start(ToUtf8(self), kForeignWorkerArgument);
  if (!process_.Running()) return;
  WaitUntil([&] {
    for (HWND worker : process_.FindWindowsByClass("WorkerW")) {
      HWND view = FindWindowExA(worker, nullptr, "SHELLDLL_DefView", nullptr);
      HWND list = view ? FindWindowExA(view, nullptr, "SysListView32", "FolderView") : nullptr;
      if (list && IsWindowVisible(list)) {
        worker_ = worker;
        list_ = list;
        return true;
      }
    }
    return false;
  });
}

void BroadcastTaskbarCreated() {
  static const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  // As the shell does it: a notification that does not wait for anyone.
  SendNotifyMessageA(HWND_BROADCAST, taskbarCreated, 0, 0);
}

}  // namespace e2e
