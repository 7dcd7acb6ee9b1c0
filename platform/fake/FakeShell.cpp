// FakePlatform: the shell's side of the system: the tray, special folders and
// their item lists, the script shell, ShellExecuteA, the connection state and
// the web browser.
#include "platform/fake/FakePlatform.h"

#include <algorithm>

#include "platform/fake/FakeText.h"

namespace tamberlinox::platform {

namespace {
constexpr std::uint32_t kNimModify = 1;  // NIM_MODIFY
constexpr std::size_t kTipBytes = 63;    // the 64-byte tip field less its NUL
}  // namespace

// ===================================================================== tray

std::int32_t FakePlatform::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  // What the shell keeps: the fields the flags name, the tip cut to its field.
  NotifyIconData icon = data;
  if (!(icon.uFlags & kNifMessage)) icon.uCallbackMessage = 0;
  if (!(icon.uFlags & kNifIcon)) icon.hIcon = 0;
  if (!(icon.uFlags & kNifTip)) icon.szTip.clear();
  if (icon.szTip.size() > kTipBytes) icon.szTip.resize(kTipBytes);

  auto existing = std::find_if(trayIcons_.begin(), trayIcons_.end(), [&](const NotifyIconData& each) {
    return each.hWnd == data.hWnd && each.uID == data.uID;
  });
  std::int32_t result = 0;
  if (message == kNimAdd) {
    if (shellAvailable_ && existing == trayIcons_.end()) {
      trayIcons_.push_back(icon);
      result = 1;
    }
  } else if (message == kNimModify) {
    if (shellAvailable_ && existing != trayIcons_.end()) {
      if (data.uFlags & kNifMessage) existing->uCallbackMessage = icon.uCallbackMessage;
      if (data.uFlags & kNifIcon) existing->hIcon = icon.hIcon;
      if (data.uFlags & kNifTip) existing->szTip = icon.szTip;
      result = 1;
    }
  } else if (message == kNimDelete) {
    if (existing != trayIcons_.end()) {
      trayIcons_.erase(existing);
      result = 1;
    }
  }
  trayCalls_.push_back(TrayCall{message, data, result});
  return result;
}

bool FakePlatform::ClickTrayIcon(std::uint32_t mouseMessage) {
  if (trayIcons_.empty()) return false;
  const NotifyIconData icon = trayIcons_.front();
  if (icon.uCallbackMessage == 0) return false;  // added without a callback message
  SendMessage(icon.hWnd, icon.uCallbackMessage, WParam(icon.uID), LParam(mouseMessage));
  return true;
}

void FakePlatform::BroadcastTaskbarCreated() {
  trayIcons_.clear();
  shellAvailable_ = true;
  std::vector<WindowHandle> targets;
  for (FakeForm* form : forms_) targets.push_back(form->Handle());
  for (WindowHandle window : targets) SendMessage(window, kTaskbarCreatedMessage, 0, 0);
}

// ========================================================= special folders

std::int32_t FakePlatform::SHGetSpecialFolderLocation(WindowHandle /*owner*/, int folder, ItemIdList& list) {
  if (!specialFolders_.count(folder)) return kEFail;
  std::uintptr_t memory = nextItemIdList_;
  nextItemIdList_ += 0x20;
  itemIdLists_[memory] = folder;
  list = ItemIdList(this, memory);
  return 0;
}

bool FakePlatform::SHGetPathFromIDListA(const ItemIdList& list, std::array<char, 260>& path) {
  auto found = itemIdLists_.find(list.Get());
  if (found == itemIdLists_.end()) {
    faults_.Add("SHGetPathFromIDListA with an item list that is not allocated");
    return false;
  }
  auto folder = specialFolders_.find(found->second);
  if (folder == specialFolders_.end() || failingPathFolders_.count(found->second)) return false;
  path.fill('\0');
  std::copy_n(folder->second.begin(), std::min(folder->second.size(), path.size()), path.begin());
  return true;
}

void FakePlatform::FailPathFromIdList(int csidl, bool fail) {
  if (fail)
    failingPathFolders_.insert(csidl);
  else
    failingPathFolders_.erase(csidl);
}

std::int32_t FakePlatform::CoTaskMemFree(std::uintptr_t memory) {
  if (memory != 0 && itemIdLists_.erase(memory) == 0)
    faults_.Add("CoTaskMemFree of memory that is not allocated (freed twice?)");
  return 0;
}

// ============================================================ script shell

class FakePlatform::ScriptShellObject final : public ScriptShell {
 public:
  explicit ScriptShellObject(FakePlatform& os) : os_(os) {}
  ~ScriptShellObject() override { --os_.liveScriptShells_; }
  std::string SpecialFolders(const std::string& name) override {
    auto folder = os_.scriptShellFolders_.find(fake_text::Lower(name));
    return folder == os_.scriptShellFolders_.end() ? std::string() : folder->second;
  }

 private:
  FakePlatform& os_;
};

void FakePlatform::SetScriptShellFolder(const std::string& name, const std::string& path) {
  scriptShellFolders_[fake_text::Lower(name)] = path;
}

std::unique_ptr<ScriptShell> FakePlatform::CreateScriptShell() {
  if (!scriptShellAvailable_) return nullptr;
  ++scriptShellsCreated_;
  ++liveScriptShells_;
  return std::make_unique<ScriptShellObject>(*this);
}

// ============================================================ shell execute

std::intptr_t FakePlatform::ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                          const char* parameters, const char* directory, int show) {
  auto text = [](const char* p) { return p ? std::optional<std::string>(p) : std::nullopt; };
  shellExecuteCalls_.push_back(
      ShellExecuteCall{owner, text(operation), text(file), text(parameters), text(directory), show});
  return kShellExecuteResult;
}

// ================================================= connection and browser

bool FakePlatform::InternetGetConnectedState(std::uint32_t& flags) {
  ++connectionChecks_;
  flags = connectionFlags_;  // filled in even when there is no connection
  return connected_;
}

class FakePlatform::WebBrowserObject final : public WebBrowser {
 public:
  explicit WebBrowserObject(FakePlatform& os) : os_(os) {}
  ~WebBrowserObject() override { --os_.liveBrowsers_; }

  bool Navigate(const std::string& address) override {
    os_.navigations_.push_back(address);
    return !os_.failNavigate_;
  }
  bool ReadyState(std::int32_t& state) override {
    ++os_.readyStateReads_;
    const std::vector<ReadyStateAnswer>& answers = os_.readyStates_;
    ReadyStateAnswer answer = answers.empty() ? ReadyStateAnswer{} : answers[std::min(next_, answers.size() - 1)];
    ++next_;
    if (answer.ok) state = answer.state;
    return answer.ok;
  }
  bool SetVisible(bool visible) override {
    os_.browserVisible_.push_back(visible);
    return true;
  }

 private:
  FakePlatform& os_;
  std::size_t next_ = 0;
};

void FakePlatform::SetReadyStates(std::vector<ReadyStateAnswer> answers) { readyStates_ = std::move(answers); }

std::unique_ptr<WebBrowser> FakePlatform::CreateWebBrowser() {
  if (failBrowserCreation_) return nullptr;
  ++browsersCreated_;
  ++liveBrowsers_;
  return std::make_unique<WebBrowserObject>(*this);
}

}  // namespace tamberlinox::platform
