#include "ShellStandIn.h"

#include <cstring>
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

// Offsets in Wine's tray record (dlls/shell32 "struct notify_data").
constexpr size_t kTipOffset = 16;
constexpr size_t kTipChars = 128;
constexpr size_t kIconSizeOffset = 944;  // width, height, planes, bpp follow the GUID
}  // namespace

struct ShellStandIn::State {
  mutable std::mutex mutex;
  HWND desktop = nullptr;
  HWND tray = nullptr;
  HWND receiver = nullptr;
  bool ready = false;
  bool trayAccepts = true;
  int desktopChanges = 0;
  bool desktopVisible = false;
  std::vector<TrayRequest> requests;
  std::set<std::pair<HWND, UINT>> icons;
  std::vector<WPARAM> commands;
  std::optional<std::string> menuReport;
  std::function<void(bool)> desktopHook;
  std::thread thread;
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

LRESULT CALLBACK DesktopProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) StoreCreateParams(w, lp);
  if (SwallowKeys(msg, wp)) return 0;
  if (msg == WM_WINDOWPOSCHANGED) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
    if (auto* s = StateOf(w); s && (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) {
      std::function<void(bool)> hook;
      const bool visible = (pos->flags & SWP_SHOWWINDOW) != 0;
      {
        std::lock_guard lock(s->mutex);
        ++s->desktopChanges;
        s->desktopVisible = visible;
        hook = s->desktopHook;
      }
      if (hook) hook(visible);
    }
  }
  return DefWindowProcA(w, msg, wp, lp);
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

LRESULT CALLBACK ReceiverProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
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
      ShowWindow(s->desktop, SW_SHOWNOACTIVATE);
      return 0;
    case kDoQuit:
      DestroyWindow(s->tray);
      DestroyWindow(s->desktop);
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
  RegisterClassOnce("Progman", DesktopProc);
  RegisterClassOnce("Shell_TrayWnd", TrayProc);
  RegisterClassOnce("TamberlinoxE2EReceiver", ReceiverProc);
  HINSTANCE inst = GetModuleHandleA(nullptr);
  // The desktop stand-in covers a corner of the screen and never takes the focus.
  HWND desktop = CreateWindowExA(WS_EX_NOACTIVATE, "Progman", "Program Manager", WS_POPUP | WS_VISIBLE, 0, 0,
                                 200, 150, nullptr, nullptr, inst, s);
  HWND tray = CreateTray(s);
  HWND receiver =
      CreateWindowExA(0, "TamberlinoxE2EReceiver", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, inst, s);
  {
    std::lock_guard lock(s->mutex);
    s->desktop = desktop;
    s->tray = tray;
    s->receiver = receiver;
    s->ready = desktop && tray && receiver;
    s->desktopChanges = 0;  // its creation as a visible window does not count
    s->desktopVisible = IsWindowVisible(desktop) != FALSE;
  }
  SetEvent(ready);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

}  // namespace

ShellStandIn::ShellStandIn() : state_(std::make_shared<State>()) {
  UniqueHandle ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE readyEvent = ready.Get();
  state_->thread = std::thread(ShellThread, state_.get(), readyEvent);
  WaitForSingleObject(readyEvent, 30000);
}

ShellStandIn::~ShellStandIn() {
  if (HWND r = Receiver()) SendMessageA(r, kDoQuit, 0, 0);
  if (state_->thread.joinable()) state_->thread.join();
}

bool ShellStandIn::Ready() const {
  std::lock_guard lock(state_->mutex);
  return state_->ready;
}

HWND ShellStandIn::Desktop() const {
  std::lock_guard lock(state_->mutex);
  return state_->desktop;
}

bool ShellStandIn::DesktopVisible() const {
  std::lock_guard lock(state_->mutex);
  return state_->desktopVisible;
}

int ShellStandIn::DesktopChanges() const {
  std::lock_guard lock(state_->mutex);
  return state_->desktopChanges;
}

void ShellStandIn::ShowDesktop() { SendMessageA(Receiver(), kDoShowDesktop, 0, 0); }

void ShellStandIn::OnDesktopChange(std::function<void(bool visible)> hook) {
  std::lock_guard lock(state_->mutex);
  state_->desktopHook = std::move(hook);
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

std::optional<std::string> ShellStandIn::TakeMenuReport() {
  std::lock_guard lock(state_->mutex);
  return std::exchange(state_->menuReport, std::nullopt);
}

void BroadcastTaskbarCreated() {
  static const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  // As the shell does it: a notification that does not wait for anyone.
  SendNotifyMessageA(HWND_BROADCAST, taskbarCreated, 0, 0);
}

}  // namespace e2e
