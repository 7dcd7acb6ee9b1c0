#include "MenuReader.h"

#include <sstream>

#include "MenuProtocol.h"

namespace e2e {

MenuReader::MenuReader(ShellStandIn& shell) : shell_(shell) {
  dll_ = LoadLibraryW(ToWide(HarnessFolder() + "e2e_menuhook.dll").c_str());
  if (dll_) proc_ = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll_, "MenuHookProc")));
}

MenuReader::~MenuReader() {
  if (dll_) FreeLibrary(dll_);
}

HWND MenuReader::WaitForMenu(const Process& p, Millis timeout) const {
  HWND menu = nullptr;
  WaitUntil(
      [&] {
        for (HWND w : p.FindWindowsByClass("#32768")) {
          if (IsWindowVisible(w)) {
            menu = w;
            return true;
          }
        }
        return false;
      },
      timeout);
  return menu;
}

namespace {
class UniqueHook {
 public:
  explicit UniqueHook(HHOOK h) : h_(h) {}
  UniqueHook(const UniqueHook&) = delete;
  UniqueHook& operator=(const UniqueHook&) = delete;
  ~UniqueHook() {
    if (h_) UnhookWindowsHookEx(h_);
  }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HHOOK h_;
};

std::vector<MenuEntry> ParseReport(const std::string& report) {
  std::vector<MenuEntry> entries;
  std::istringstream lines(report);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string type, state, id;
    MenuEntry e;
    if (!std::getline(fields, type, '\t') || !std::getline(fields, state, '\t') || !std::getline(fields, id, '\t')) {
      continue;
    }
    std::getline(fields, e.caption);  // the rest of the line, tabs included
    e.type = UINT(std::stoul(type, nullptr, 16));
    e.state = UINT(std::stoul(state, nullptr, 16));
    e.id = UINT(std::stoul(id));
    entries.push_back(e);
  }
  return entries;
}

void PostKey(HWND window, WORD vk) {
  const LPARAM scan = LPARAM(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(window, WM_KEYDOWN, vk, 1 | scan);
  PostMessageA(window, WM_KEYUP, vk, 1 | scan | LPARAM(0xC0000000));
}
}  // namespace

std::optional<std::vector<MenuEntry>> MenuReader::Read(HWND menuWindow) {
  if (!proc_ || !menuWindow) return std::nullopt;
  const DWORD thread = GetWindowThreadProcessId(menuWindow, nullptr);
  UniqueHook hook(SetWindowsHookExA(WH_CALLWNDPROC, proc_, dll_, thread));
  if (!hook) return std::nullopt;
  shell_.TakeMenuReport();
  static const UINT readMenu = RegisterWindowMessageA(kReadMenuMessage);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(menuWindow, readMenu, reinterpret_cast<WPARAM>(shell_.ReportReceiver()), 0, SMTO_ABORTIFHUNG, 5000,
                      &result);
  std::optional<std::string> report;
  WaitUntil([&] { return bool(report = shell_.TakeMenuReport()); }, 5000ms);
  if (!report || report->rfind("!", 0) == 0) return std::nullopt;
  return ParseReport(*report);
}

bool MenuReader::Choose(HWND menuWindow, const std::vector<MenuEntry>& entries, const std::string& caption) {
  int steps = 0;
  for (const MenuEntry& e : entries) {
    if (e.Separator()) continue;
    ++steps;
    if (e.caption == caption) {
      for (int i = 0; i < steps; ++i) PostKey(menuWindow, VK_DOWN);
      PostKey(menuWindow, VK_RETURN);
      return true;
    }
  }
  return false;
}

bool MenuReader::ChooseAt(HWND menuWindow, const std::vector<MenuEntry>& entries, size_t position) {
  if (position >= entries.size() || entries[position].Separator()) return false;
  int steps = 0;
  for (size_t i = 0; i <= position; ++i) {
    if (!entries[i].Separator()) ++steps;
  }
  for (int i = 0; i < steps; ++i) PostKey(menuWindow, VK_DOWN);
  PostKey(menuWindow, VK_RETURN);
  return true;
}

void MenuReader::Close(HWND menuWindow) { PostKey(menuWindow, VK_ESCAPE); }

std::vector<std::string> Captions(const std::vector<MenuEntry>& entries) {
  std::vector<std::string> captions;
  for (const MenuEntry& e : entries) captions.push_back(e.Separator() ? "-" : e.caption);
  return captions;
}

}  // namespace e2e
