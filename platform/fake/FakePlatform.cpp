#include "platform/fake/FakePlatform.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace tamberlinox::platform {

namespace {

constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kModNoRepeat = 0x4000;
constexpr std::size_t kIniReadLimit = 254;  // characters GetPrivateProfileString returns into 255

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// True when key is parent itself (orSame) or a key below it.
bool IsBelow(const std::string& key, const std::string& parent, bool orSame) {
  if (key.size() == parent.size()) return orSame && EqualNoCase(key, parent);
  return key.size() > parent.size() && key[parent.size()] == '\\' && EqualNoCase(key.substr(0, parent.size()), parent);
}

std::string WithoutFinalSlashes(std::string key) {
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

bool IsTextType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz; }

// The value as the registry hands its data out: a text with its NUL, an
// empty text as zero bytes.
std::vector<std::uint8_t> BytesOf(const RegistryValue& value) {
  if (!IsTextType(value.type)) return value.bytes;
  if (value.text.empty()) return {};
  std::vector<std::uint8_t> bytes(value.text.begin(), value.text.end());
  bytes.push_back(0);
  return bytes;
}

std::string TextOf(const RegistryValue& value) {
  if (IsTextType(value.type)) return value.text;
  std::string text(value.bytes.begin(), value.bytes.end());
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

RegistryValue MakeValue(std::uint32_t type, std::vector<std::uint8_t> bytes) {
  RegistryValue value{type, {}, {}};
  if (!IsTextType(type)) {
    value.bytes = std::move(bytes);
    return value;
  }
  value.text.assign(bytes.begin(), bytes.end());
  if (!value.text.empty() && value.text.back() == '\0') value.text.pop_back();
  return value;
}

// The first limit characters of a UTF-8 text.
std::string FirstCharacters(const std::string& text, std::size_t limit) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && count++ == limit) return text.substr(0, i);
  }
  return text;
}

// The first button of a message box: what Enter answers.
int FirstButton(std::uint32_t flags) {
  switch (flags & 0x0F) {
    case 2:  // MB_ABORTRETRYIGNORE
      return 3;
    case 3:  // MB_YESNOCANCEL
    case 4:  // MB_YESNO
      return kIdYes;
    case 5:  // MB_RETRYCANCEL
      return 4;
    default:
      return kIdOk;
  }
}

// A browser object and its thread: a call is answered when the program next
// looks, unless the browser hangs.
class BrowserObject final : public WebBrowser {
 public:
  explicit BrowserObject(FakeBrowser& browser) : browser_(browser) {}
  ~BrowserObject() override {
    --browser_.live;
    // Let go: the thread still finishes its call, if it ever returns.
    Answer();
    if (call_ != Call::None) ++browser_.abandonedCalls;
  }
  BrowserObject(const BrowserObject&) = delete;
  BrowserObject& operator=(const BrowserObject&) = delete;

  bool Open(const std::string& address) override {
    address_ = address;
    return Begin(Call::Open);
  }
  bool ReadReadyState() override { return Begin(Call::ReadReadyState); }
  bool Show() override { return Begin(Call::Show); }
  Outcome LastCall() override {
    Answer();
    return outcome_;
  }

 private:
  enum class Call { None, Open, ReadReadyState, Show };
  bool Begin(Call call) {
    if (call_ != Call::None) return false;
    call_ = call;
    outcome_ = Outcome{CallState::Pending, 0};
    return true;
  }
  void Answer() {
    if (call_ == Call::None || browser_.hangs) return;
    bool done = true;
    switch (call_) {
      case Call::Open:
        done = !browser_.failCreation;
        if (done) ++browser_.created;
        done = done && !browser_.failNavigate;
        if (done) browser_.navigated.push_back(address_);
        break;
      case Call::ReadReadyState:
        ++browser_.readyStateReads;
        done = !browser_.readyStates.empty() && browser_.readyStates.front().has_value();
        if (done) outcome_.readyState = *browser_.readyStates.front();
        if (browser_.readyStates.size() > 1) browser_.readyStates.pop_front();
        break;
      case Call::Show:
        done = !browser_.failSetVisible;
        if (done) browser_.visible = true;
        break;
      case Call::None:
        break;
    }
    outcome_.state = done ? CallState::Done : CallState::Failed;
    call_ = Call::None;
  }

  FakeBrowser& browser_;
  Call call_ = Call::None;
  std::string address_;
  Outcome outcome_;
};

}  // namespace

// ------------------------------------------------------------------- text

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Fold(x) == Fold(y); });
}

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(Fold(x)) < static_cast<unsigned char>(Fold(y));
  });
}

FakePlatform::FakePlatform() = default;
FakePlatform::~FakePlatform() = default;

// --------------------------------------------------------------- registry

RegistryKey& FakeRegistry::Make(Hive hive, const std::string& key) {
  NoCaseMap<RegistryKey>& keys = hives[hive];
  const std::string path = WithoutFinalSlashes(key);
  for (std::size_t slash = path.find('\\', 1); slash != std::string::npos; slash = path.find('\\', slash + 1))
    keys.try_emplace(path.substr(0, slash));
  return keys[path];
}

const RegistryKey* FakeRegistry::Find(Hive hive, const std::string& key) const {
  auto keys = hives.find(hive);
  if (keys == hives.end()) return nullptr;
  auto found = keys->second.find(WithoutFinalSlashes(key));
  return found == keys->second.end() ? nullptr : &found->second;
}

RegistryKey* FakeRegistry::Find(Hive hive, const std::string& key) {
  return const_cast<RegistryKey*>(std::as_const(*this).Find(hive, key));
}

void FakeRegistry::SetText(Hive hive, const std::string& key, const std::string& name, const std::string& text) {
  Make(hive, key).values[name] = RegistryValue{kRegSz, text, {}};
}

void FakeRegistry::SetBytes(Hive hive, const std::string& key, const std::string& name, std::uint32_t type,
                            std::vector<std::uint8_t> bytes) {
  Make(hive, key).values[name] = MakeValue(type, std::move(bytes));
}

std::optional<std::string> FakeRegistry::Text(Hive hive, const std::string& key, const std::string& name) const {
  const RegistryKey* found = Find(hive, key);
  if (found == nullptr || !found->values.contains(name)) return std::nullopt;
  return TextOf(found->values.at(name));
}

std::optional<std::vector<std::uint8_t>> FakeRegistry::Bytes(Hive hive, const std::string& key,
                                                             const std::string& name) const {
  const RegistryKey* found = Find(hive, key);
  if (found == nullptr || !found->values.contains(name)) return std::nullopt;
  return BytesOf(found->values.at(name));
}

bool FakeRegistry::ValueExists(Hive hive, const std::string& key, const std::string& name) const {
  const RegistryKey* found = Find(hive, key);
  return found != nullptr && found->values.contains(name);
}

std::int32_t FakeRegistry::FailureFor(Hive hive, const std::string& key, bool write) const {
  const std::string path = WithoutFinalSlashes(key);
  for (const Failure& failure : failures) {
    if (failure.hive == hive && failure.writes == write &&
        (failure.key.empty() || IsBelow(path, WithoutFinalSlashes(failure.key), true)))
      return failure.code;
  }
  return kErrorSuccess;
}

std::int32_t FakePlatform::ReadRegistryText(Hive hive, const std::string& key, const std::string& name,
                                            std::optional<std::string>& text) {
  text.reset();
  std::vector<std::uint8_t> bytes;
  std::int32_t code = ReadRegistryBytes(hive, key, name, std::size_t(-1), bytes);
  if (code == kErrorSuccess && !bytes.empty()) text = TextOf(registry.Find(hive, key)->values.at(name));
  return code;
}

std::int32_t FakePlatform::ReadRegistryBytes(Hive hive, const std::string& key, const std::string& name,
                                             std::size_t size, std::vector<std::uint8_t>& data) {
  data.clear();
  if (std::int32_t code = registry.FailureFor(hive, key, false)) return code;
  const RegistryKey* found = registry.Find(hive, key);
  if (found == nullptr || !found->values.contains(name)) return kErrorFileNotFound;
  std::vector<std::uint8_t> bytes = BytesOf(found->values.at(name));
  if (bytes.size() > size) return kErrorMoreData;
  data = std::move(bytes);
  return kErrorSuccess;
}

std::int32_t FakePlatform::ReadRegistryNumber(Hive hive, const std::string& key, const std::string& name,
                                              std::optional<std::uint32_t>& number) {
  number.reset();
  std::vector<std::uint8_t> bytes;
  const std::int32_t code = ReadRegistryBytes(hive, key, name, std::size_t(-1), bytes);
  if (code != kErrorSuccess) return code;
  if (registry.Find(hive, key)->values.at(name).type != kRegDword || bytes.size() != 4) return kErrorSuccess;
  number = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
  return kErrorSuccess;
}

std::int32_t FakePlatform::WriteRegistryText(Hive hive, const std::string& key, const std::string& name,
                                             const std::string& text) {
  if (std::int32_t code = registry.FailureFor(hive, key, true)) return code;
  registry.SetText(hive, key, name, text);
  return kErrorSuccess;
}

std::int32_t FakePlatform::WriteRegistryBytes(Hive hive, const std::string& key, const std::string& name,
                                              std::uint32_t type, const std::vector<std::uint8_t>& data) {
  if (std::int32_t code = registry.FailureFor(hive, key, true)) return code;
  registry.SetBytes(hive, key, name, type, data);
  return kErrorSuccess;
}

std::int32_t FakePlatform::DeleteRegistryValue(Hive hive, const std::string& key, const std::string& name) {
  if (std::int32_t code = registry.FailureFor(hive, key, true)) return code;
  RegistryKey* found = registry.Find(hive, key);
  if (found == nullptr || found->values.erase(name) == 0) return kErrorFileNotFound;
  return kErrorSuccess;
}

std::int32_t FakePlatform::DeleteRegistryKey(Hive hive, const std::string& key) {
  if (std::int32_t code = registry.FailureFor(hive, key, true)) return code;
  const std::string path = WithoutFinalSlashes(key);
  if (path.empty()) return kErrorAccessDenied;  // a hive itself
  if (registry.Find(hive, path) == nullptr) return kErrorFileNotFound;
  NoCaseMap<RegistryKey>& keys = registry.hives[hive];
  // RegDeleteKey refuses a key that still has keys below it.
  for (const auto& [other, unused] : keys)
    if (IsBelow(other, path, false)) return kErrorAccessDenied;
  keys.erase(path);
  return kErrorSuccess;
}

// -------------------------------------------------------------- INI files

std::string FakePlatform::IniPath(const std::string& file) {
  if (file.find_first_of("\\/:") == std::string::npos)
    return FullPath(SpecialFolderPath(SpecialFolder::Windows) + "\\" + file);
  return FullPath(file);
}

std::string FakePlatform::ReadIniText(const std::string& file, const std::string& section, const std::string& entry,
                                      const std::string& defaultText) {
  std::string text = defaultText;
  auto found = iniFiles.find(IniPath(file));
  if (found != iniFiles.end() && found->second.contains(section) && found->second.at(section).contains(entry))
    text = found->second.at(section).at(entry);
  return FirstCharacters(text, kIniReadLimit);
}

std::int32_t FakePlatform::WriteIniText(const std::string& file, const std::string& section, const std::string& entry,
                                        const std::string& text) {
  if (iniWriteFailure != kErrorSuccess) return iniWriteFailure;
  iniFiles[IniPath(file)][section][entry] = text;
  return kErrorSuccess;
}

// ------------------------------------------------------------------ files

std::string FakePlatform::FullPath(const std::string& path) {
  if (path.empty()) return {};
  std::string text = path;
  std::replace(text.begin(), text.end(), '/', '\\');
  if (text.starts_with("\\\\")) return text;  // a network name stays as it is

  std::string drive = currentFolder.substr(0, 2);
  std::string names;  // the folders to start from, below the drive's root
  if (text.size() >= 2 && text[1] == ':') {
    // "D:name" starts from the current folder when that is on the same drive.
    if (text.size() == 2 || text[2] != '\\')
      names = EqualNoCase(text.substr(0, 2), drive) ? currentFolder.substr(2) : "";
    drive = text.substr(0, 2);
    text = text.substr(2);
  } else if (text[0] != '\\') {
    names = currentFolder.substr(2);
  }
  std::vector<std::string> parts;
  std::string all = names + "\\" + text + "\\";
  for (std::size_t start = 0, end; (end = all.find('\\', start)) != std::string::npos; start = end + 1) {
    std::string name = all.substr(start, end - start);
    if (name == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!name.empty() && name != ".") {
      parts.push_back(name);
    }
  }
  std::string full = drive + "\\";
  for (std::size_t i = 0; i < parts.size(); ++i) full += (i == 0 ? "" : "\\") + parts[i];
  if (!parts.empty() && text.ends_with('\\')) full += '\\';
  return full;
}

std::string FakePlatform::FolderKey(const std::string& path) {
  std::string full = FullPath(path);
  while (full.size() > 3 && full.back() == '\\') full.pop_back();
  return full;
}

std::vector<FolderEntry>& FakePlatform::Folder(const std::string& path) { return folders[FolderKey(path)]; }

std::vector<FolderEntry> FakePlatform::ListFolder(const std::string& folder) {
  listedFolders.push_back(folder);
  auto found = folders.find(FolderKey(folder));
  if (found == folders.end()) return {};
  std::vector<FolderEntry> entries{{".", kFileAttributeDirectory}, {"..", kFileAttributeDirectory}};
  entries.insert(entries.end(), found->second.begin(), found->second.end());
  return entries;
}

bool FakePlatform::IsOrdinaryFile(const std::string& path) {
  if (path.empty() || path.find_first_of("*?<>|\"") != std::string::npos) return false;
  const std::string full = FullPath(path);
  const std::size_t slash = full.rfind('\\');
  if (slash == std::string::npos || slash + 1 == full.size()) return false;
  auto folder = folders.find(FolderKey(full.substr(0, slash + 1)));
  if (folder != folders.end()) {
    for (const FolderEntry& entry : folder->second)
      if (EqualNoCase(entry.name, full.substr(slash + 1)))
        return (entry.attributes & (kFileAttributeDirectory | kFileAttributeHidden | kFileAttributeSystem)) == 0;
  }
  return iniFiles.contains(full);
}

std::string FakePlatform::SpecialFolderPath(SpecialFolder folder) {
  auto found = specialFolders.find(folder);
  return found == specialFolders.end() ? std::string() : found->second;
}

std::string FakePlatform::ScriptHostSpecialFolder(const std::string& name) {
  auto found = scriptHostFolders.find(name);
  return !scriptHost || found == scriptHostFolders.end() ? std::string() : found->second;
}

bool FakePlatform::ShellOpen(WindowHandle owner, const std::string& operation, const std::string& file,
                             const std::optional<std::string>& parameters, const std::optional<std::string>& folder,
                             int show) {
  shellOpens.push_back(ShellOpenCall{owner, operation, file, parameters, folder, show});
  std::size_t units = 0;  // UTF-16 units: one per UTF-8 lead byte, two for a four-byte sequence
  for (const char c : file) {
    const auto byte = static_cast<unsigned char>(c);
    units += (byte & 0xC0) != 0x80 ? (byte >= 0xF0 ? 2 : 1) : 0;
  }
  return shellOpenResult && units < 260;
}

std::string FakePlatform::ShortPath(const std::string& path) {
  const auto found = shortPaths.find(path);
  return found != shortPaths.end() ? found->second : std::string();
}

bool FakePlatform::ShellOpenItem(WindowHandle, const std::string& path) {
  shellItemOpens.push_back(path);
  return shellItemOpenResult;
}

std::vector<std::size_t> FakePlatform::SortedOrder(const std::vector<std::string>& texts) {
  std::vector<std::size_t> order(texts.size());
  std::iota(order.begin(), order.end(), std::size_t(0));
  std::stable_sort(order.begin(), order.end(),
                   [&texts](std::size_t a, std::size_t b) { return NoCaseLess()(texts[a], texts[b]); });
  return order;
}

namespace {

// Compares two names as Explorer does: case ignored (ASCII), runs of digits
// as the numbers they write.
bool ExplorerLess(const std::string& a, const std::string& b) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      std::size_t endA = i, endB = j;
      while (endA < a.size() && digit(a[endA])) ++endA;
      while (endB < b.size() && digit(b[endB])) ++endB;
      std::string numberA = a.substr(i, endA - i), numberB = b.substr(j, endB - j);
      numberA.erase(0, std::min(numberA.find_first_not_of('0'), numberA.size()));
      numberB.erase(0, std::min(numberB.find_first_not_of('0'), numberB.size()));
      if (numberA.size() != numberB.size()) return numberA.size() < numberB.size();
      if (numberA != numberB) return numberA < numberB;
      i = endA;
      j = endB;
      continue;
    }
    const char x = lower(a[i]), y = lower(b[j]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

}  // namespace

std::vector<std::size_t> FakePlatform::ExplorerOrder(const std::vector<std::string>& names) {
  std::vector<std::size_t> order(names.size());
  std::iota(order.begin(), order.end(), std::size_t(0));
  std::stable_sort(order.begin(), order.end(),
                   [&names](std::size_t a, std::size_t b) { return ExplorerLess(names[a], names[b]); });
  return order;
}

// ---------------------------------------------------------- menu pictures

MenuPicture FakePlatform::MakeMenuPicture(const IconSource& source, int size) {
  pictureRequests.push_back({source, size});
  if (std::find(iconless.begin(), iconless.end(), source) != iconless.end()) return 0;
  const MenuPicture picture = nextPicture_++;
  pictureSources_[picture] = source;
  livePictures.push_back(picture);
  return picture;
}

void FakePlatform::DeleteMenuPicture(MenuPicture picture) {
  auto live = std::find(livePictures.begin(), livePictures.end(), picture);
  if (live != livePictures.end()) livePictures.erase(live);
}

std::vector<IconSource> FakePlatform::PictureSources() const {
  std::vector<IconSource> sources;
  for (const PictureRequest& request : pictureRequests) sources.push_back(request.source);
  return sources;
}

const IconSource* FakePlatform::SourceOf(MenuPicture picture) const {
  auto found = pictureSources_.find(picture);
  return found == pictureSources_.end() ? nullptr : &found->second;
}

// ---------------------------------------------------------- other windows

std::vector<WParam> OtherWindow::Commands() const {
  std::vector<WParam> commands;
  for (const PostedMessage& message : posted)
    if (message.message == kWmCommand) commands.push_back(message.wParam);
  return commands;
}

WindowHandle FakePlatform::AddOtherWindow(const std::string& className, const std::string& title, bool visible,
                                          WindowHandle parent) {
  OtherWindow window;
  window.handle = nextHandle_;
  window.className = className;
  window.title = title;
  window.visible = visible;
  window.parent = parent;
  otherWindows.push_back(window);
  nextHandle_ += 2;
  return otherWindows.back().handle;
}

void FakePlatform::RemoveOtherWindow(WindowHandle window) {
  std::erase_if(otherWindows, [window](const OtherWindow& other) { return other.handle == window; });
}

OtherWindow* FakePlatform::OtherWindowAt(WindowHandle window) {
  auto found = std::find_if(otherWindows.begin(), otherWindows.end(),
                            [window](const OtherWindow& other) { return other.handle == window; });
  return found == otherWindows.end() ? nullptr : &*found;
}

WindowHandle FakePlatform::FindTopLevelWindow(const std::string& className, const std::optional<std::string>& title) {
  return FindChildWindow(0, className, title);
}

std::vector<WindowHandle> FakePlatform::TopLevelWindows(const std::string& className) {
  std::vector<WindowHandle> found;
  for (auto other = otherWindows.rbegin(); other != otherWindows.rend(); ++other)
    if (other->parent == 0 && EqualNoCase(other->className, className)) found.push_back(other->handle);
  return found;
}

WindowHandle FakePlatform::FindChildWindow(WindowHandle parent, const std::string& className,
                                           const std::optional<std::string>& title) {
  // Top-level windows are found from the top of the Z order, children in the order made.
  if (parent == 0) {
    for (auto other = otherWindows.rbegin(); other != otherWindows.rend(); ++other)
      if (other->parent == 0 && EqualNoCase(other->className, className) &&
          (!title || EqualNoCase(other->title, *title)))
        return other->handle;
    return 0;
  }
  for (const OtherWindow& other : otherWindows)
    if (other.parent == parent && EqualNoCase(other.className, className) &&
        (!title || EqualNoCase(other.title, *title)))
      return other.handle;
  return 0;
}

std::uint32_t FakePlatform::WindowProcess(WindowHandle window) {
  if (const OtherWindow* other = OtherWindowAt(window)) return other->process;
  return WindowByHandle(window) != nullptr ? kOwnProcess : 0;
}

void FakePlatform::ShowWindow(WindowHandle window, bool show) {
  if (OtherWindow* other = OtherWindowAt(window)) {
    if (other->hung) {
      other->pending.push_back(show);
    } else {
      other->changes += other->visible != show;
      other->visible = show;
    }
  }
  if (FakeWindow* own = WindowByHandle(window)) own->shown = show;
}

bool FakePlatform::IsWindowVisible(WindowHandle window) {
  if (OtherWindow* other = OtherWindowAt(window))
    return other->visible && (other->parent == 0 || IsWindowVisible(other->parent));
  FakeWindow* own = WindowByHandle(window);
  return own != nullptr && own->shown;
}

bool FakePlatform::PostWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
  if (failPosts) return false;
  if (OtherWindow* other = OtherWindowAt(window)) {
    other->posted.push_back({message, wParam, lParam});
    return true;
  }
  if (FakeWindow* own = WindowByHandle(window)) {
    own->Send(message, wParam, lParam);
    return true;
  }
  return false;
}

// Only the program's own windows answer.
std::optional<LResult> FakePlatform::SendWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                                                       LParam lParam, std::uint32_t) {
  FakeWindow* own = WindowByHandle(window);
  if (failPosts || own == nullptr) return std::nullopt;
  return own->Send(message, wParam, lParam);
}

bool FakePlatform::IsWindowAnswering(WindowHandle window) {
  const OtherWindow* other = OtherWindowAt(window);
  return other != nullptr ? !other->hung : WindowByHandle(window) != nullptr;
}

void FakePlatform::Answer(WindowHandle window) {
  OtherWindow* other = OtherWindowAt(window);
  if (other == nullptr) return;
  other->hung = false;
  for (const bool show : std::exchange(other->pending, {})) other->visible = show;
}

bool FakePlatform::IsKeyDown(int key) { return std::find(keysDown.begin(), keysDown.end(), key) != keysDown.end(); }

WindowHandle FakePlatform::FindProgramWindow(const std::string& caption) {
  const FakeWindow* window = WindowByCaption(caption);
  return window != nullptr ? window->handle : 0;
}

// ------------------------------------------ the mouse, keyboard, screen

namespace {
bool Contains(const Rect& r, Point p) {
  return p.x >= r.left && p.x < r.left + r.width && p.y >= r.top && p.y < r.top + r.height;
}
}  // namespace

WindowHandle FakePlatform::WindowAt(Point at) {
  for (const ScreenArea& area : screenAreas)
    if (Contains(area.rect, at)) return area.window;
  return Contains(screen, at) ? kScreenWindow : 0;
}

std::string FakePlatform::WindowClassName(WindowHandle window) {
  if (window == kScreenWindow) return "#32769";
  if (const OtherWindow* other = OtherWindowAt(window)) return other->className;
  return WindowByHandle(window) != nullptr ? "TamberlinoxForm" : "";
}

WindowHandle FakePlatform::TopLevelWindowOf(WindowHandle window) {
  while (const OtherWindow* other = OtherWindowAt(window)) {
    if (other->parent == 0) break;
    window = other->parent;
  }
  return window;
}

std::optional<bool> FakePlatform::ListItemAt(WindowHandle list, Point at) {
  ++listHitTests;
  if (!IsWindowVisible(list)) ++hiddenListHitTests;
  if (OtherWindowAt(list) == nullptr || std::find(unansweringLists.begin(), unansweringLists.end(), list) !=
                                            unansweringLists.end())
    return std::nullopt;
  for (const Rect& item : listItems[list])
    if (Contains(item, at)) return true;
  return false;
}

bool FakePlatform::WatchInput(WindowHandle window, std::uint32_t firstMessage, const InputWatch& watch) {
  const bool watching = !failInputWatch && (watch.leftButton || watch.anyInput || watch.keyReleased != 0);
  // Posted by the program's own thread: it arrives after the message being handled.
  if (watching && watch.keyReleased != 0 && watch.keyReleased != inputWatch.keyReleased) {
    queue_.push_back({window, firstMessage + kKeyWatchBegun, WParam(watch.keyReleased), 0});
  }
  inputWatchWindow = watching ? window : 0;
  inputWatchMessage = watching ? firstMessage : 0;
  inputWatch = watching ? watch : InputWatch{};
  inputArrivedReported = false;
  if (watch.keyReleased != 0 && watch.keyReleased == releasedBeforeWatch) {
    std::erase(keysDown, releasedBeforeWatch);
    releasedBeforeWatch = 0;
  }
  return !failInputWatch;
}

void FakePlatform::Report(InputReport report, WParam wParam, LParam lParam) {
  if (report == kInputArrived) {
    if (!inputWatch.anyInput || inputArrivedReported) return;
    inputArrivedReported = true;
  }
  if (inputWatchWindow != 0) Post({inputWatchWindow, inputWatchMessage + report, wParam, lParam});
}

void FakePlatform::Deliver() {
  if (delivering_) return;  // the loop below takes what comes meanwhile
  delivering_ = true;
  for (; !busy && !queue_.empty(); queue_.pop_front()) {
    const Posted next = queue_.front();
    if (FakeWindow* window = WindowByHandle(next.window)) window->Send(next.message, next.wParam, next.lParam);
  }
  delivering_ = false;
}

void FakePlatform::PressLeftButton(Point at) {
  lastInputTick = tickCount;
  if (inputWatch.leftButton) Report(kLeftButtonPressed, tickCount, PackPoint(at));
  Report(kInputArrived, 0, 0);
}

void FakePlatform::ReleaseLeftButton(Point at) {
  lastInputTick = tickCount;
  if (inputWatch.leftButton) Report(kLeftButtonReleased, tickCount, PackPoint(at));
  Report(kInputArrived, 0, 0);
}

void FakePlatform::ClickAt(Point at) {
  PressLeftButton(at);
  tickCount += 20;
  ReleaseLeftButton(at);
}

void FakePlatform::DoubleClickAt(Point at) {
  ClickAt(at);
  tickCount += 80;
  ClickAt(at);
}

void FakePlatform::UserInput() {
  lastInputTick = tickCount;
  Report(kInputArrived, 0, 0);
}

void FakePlatform::ReleaseKey(int key) {
  std::erase(keysDown, key);
  lastInputTick = tickCount;
  if (inputWatch.keyReleased == key) Report(kKeyReleased, WParam(key), 0);
  Report(kInputArrived, 0, 0);
}

// --------------------------------------------------- atoms and hot keys

std::uint16_t FakePlatform::FindAtom(const std::string& text) const {
  for (const auto& [atom, entry] : atoms)
    if (EqualNoCase(entry.text, text)) return atom;
  return 0;
}

GlobalAtom FakePlatform::AddGlobalAtom(const std::string& text) {
  if (failAtomAdds || text.empty() || text.size() > 255) return GlobalAtom();
  std::uint16_t atom = FindAtom(text);
  if (atom == 0) {
    atom = nextAtom_++;
    atoms[atom].text = text;
  }
  ++atoms[atom].references;
  return MakeGlobalAtom(atom);
}

void FakePlatform::DeleteGlobalAtom(std::uint16_t atom) {
  auto found = atoms.find(atom);
  if (found != atoms.end() && --found->second.references <= 0) atoms.erase(found);
}

bool FakePlatform::RegisterHotKey(WindowHandle window, int id, std::uint32_t modifiers, int key) {
  if (window != 0 && WindowByHandle(window) == nullptr) return false;
  auto taken = [&](const HotKey& other) {
    return (other.modifiers & ~kModNoRepeat) == (modifiers & ~kModNoRepeat) && other.key == key;
  };
  if (std::any_of(hotKeys.begin(), hotKeys.end(), taken) ||
      std::any_of(hotKeysOfOthers.begin(), hotKeysOfOthers.end(), taken))
    return false;
  hotKeys.push_back(HotKey{window, id, modifiers, key});
  return true;
}

bool FakePlatform::UnregisterHotKey(WindowHandle window, int id) {
  auto found = std::find_if(hotKeys.begin(), hotKeys.end(),
                            [&](const HotKey& hotKey) { return hotKey.window == window && hotKey.id == id; });
  if (found == hotKeys.end()) return false;
  hotKeys.erase(found);
  return true;
}

bool FakePlatform::PressHotKey(std::uint32_t modifiers, int key) {
  for (const HotKey& hotKey : hotKeys) {
    if ((hotKey.modifiers & ~kModNoRepeat) != (modifiers & ~kModNoRepeat) || hotKey.key != key) continue;
    if (WindowByHandle(hotKey.window) == nullptr) return false;
    const LParam combination = LParam((modifiers & ~kModNoRepeat) | (std::uint32_t(key) << 16));
    Post({hotKey.window, kWmHotKey, WParam(hotKey.id), combination});
    if (!IsKeyDown(key)) ReleaseKey(key);
    return true;
  }
  return false;
}

// --------------------------------------------------------------- internet

bool FakePlatform::InternetConnected(std::uint32_t& flags) {
  flags = connectionFlags;
  return connected;
}

std::unique_ptr<WebBrowser> FakePlatform::CreateWebBrowser() {
  if (browser.failThread) return nullptr;
  ++browser.live;
  return std::make_unique<BrowserObject>(browser);
}

// --------------------------------------------------------------- the user

int FakePlatform::ShowMessage(const std::string& text, const std::string& title, std::uint32_t flags) {
  const std::size_t index = boxes.size();
  boxes.push_back(ShownBox{text, title, flags, 0});
  int answer = FirstButton(flags);
  if (!boxAnswers.empty()) {
    BoxAnswer next = std::move(boxAnswers.front());
    boxAnswers.pop_front();
    answer = next(ShownBox(boxes[index]));  // a copy: the answer may show more boxes
  }
  boxes[index].answer = answer;
  return answer;
}

void FakePlatform::ChooseMenuEntry(const std::string& caption) {
  menuChoices.push_back([caption](const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries)
      if (!entry.separator && entry.caption == caption) return entry.id;
    return 0;
  });
}

void FakePlatform::ChooseNoMenuEntry() {
  menuChoices.push_back([](const std::vector<MenuEntry>&) { return 0; });
}

// ---------------------------------------------------- the program's windows

std::unique_ptr<Window> FakePlatform::OpenWindow(const WindowSpec& spec, WindowEvents& events) {
  if (failWindowCreation) return nullptr;
  auto window = std::make_unique<FakeWindow>(*this, spec, events, nextHandle_);
  nextHandle_ += 2;
  windows_.push_back(window.get());
  return window;
}

FakeWindow* FakePlatform::WindowByCaption(const std::string& caption) const {
  for (FakeWindow* window : windows_)
    if (window->caption == caption) return window;
  return nullptr;
}

FakeWindow* FakePlatform::WindowByHandle(WindowHandle handle) const {
  for (FakeWindow* window : windows_)
    if (window->handle == handle) return window;
  return nullptr;
}

void FakePlatform::Destroyed(FakeWindow& window) {
  std::erase(windows_, &window);
  std::erase_if(hotKeys, [&window](const HotKey& hotKey) { return hotKey.window == window.handle; });
}

std::string FakePlatform::LowerCase(const std::string& text) {
  std::string lower;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (length != 2 || i + 1 >= text.size()) {
      lower += length == 1 && lead >= 'A' && lead <= 'Z' ? char(lead + 32) : text[i];
      lower.append(text, i + 1, length - 1);
      i += length;
      continue;
    }
    std::uint32_t c = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F)) c += 0x20;
    else if (c >= 0x400 && c <= 0x40F) c += 0x50;
    lower += char(0xC0 | (c >> 6));
    lower += char(0x80 | (c & 0x3F));
    i += 2;
  }
  return lower;
}

}  // namespace tamberlinox::platform
