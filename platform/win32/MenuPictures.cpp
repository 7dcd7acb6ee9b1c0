// Pictures for menu entries: the shell's icons turned into 32-bit bitmaps
// with premultiplied alpha, which a menu item shows in its hbmpItem and the
// system's menu drawing blends over the menu's own background (themed or
// not, light or dark). No entry is drawn by the program.
#include "platform/win32/Win32.h"
// The headers below need <windows.h> before them.
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/ShellIdList.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32Platform.h"

namespace tamberlinox::platform::win32 {

namespace {

using Pixels = std::vector<std::uint32_t>;  // 0xAARRGGBB, top row first

struct Image {
  int width = 0, height = 0;
  Pixels pixels;  // premultiplied
};

// The rows of a bitmap as 32-bit pixels, top row first.
bool ReadBitmap(HDC dc, HBITMAP bitmap, int width, int height, Pixels& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  return ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) == height;
}

// An icon's picture with its transparency: the icon's own alpha channel when
// it has one, else its mask. A monochrome icon keeps both halves in its mask.
bool ReadIcon(HICON icon, Image& image) {
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return false;
  Bitmap color(info.hbmColor), mask(info.hbmMask);
  BITMAP size{};
  if (!::GetObjectW(mask.Get(), sizeof size, &size)) return false;
  const int width = size.bmWidth;
  const int height = color ? size.bmHeight : size.bmHeight / 2;
  if (width <= 0 || height <= 0) return false;
  ScreenDc screen;
  Pixels colours, masks;
  if (!ReadBitmap(screen.Get(), mask.Get(), width, color ? height : 2 * height, masks)) return false;
  if (color) {
    if (!ReadBitmap(screen.Get(), color.Get(), width, height, colours)) return false;
  } else {
    colours.assign(masks.begin() + static_cast<std::ptrdiff_t>(width) * height, masks.end());
    masks.resize(static_cast<std::size_t>(width) * height);
  }
  const bool alpha = std::any_of(colours.begin(), colours.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
  image.width = width;
  image.height = height;
  image.pixels.resize(colours.size());
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const std::uint32_t p = colours[i];
    const std::uint32_t a = alpha ? p >> 24 : ((masks[i] & 0xFFFFFF) != 0 ? 0 : 255);
    const auto scale = [a](std::uint32_t channel) { return (channel * a + 127) / 255; };
    image.pixels[i] = (a << 24) | (scale((p >> 16) & 0xFF) << 16) | (scale((p >> 8) & 0xFF) << 8) | scale(p & 0xFF);
  }
  return true;
}

// The image at size by size: each new pixel the average of the old ones it
// covers, by area, which keeps a shrunk icon smooth. Measured in units of
// 1/size of an old pixel, new pixel x covers [x * width, (x + 1) * width)
// and old pixel u covers [u * size, (u + 1) * size).
Image Resized(const Image& from, int size) {
  if (from.width == size && from.height == size) return from;
  Image to{size, size, Pixels(static_cast<std::size_t>(size) * size, 0)};
  const auto overlap = [](long a0, long a1, long b0, long b1) {
    return std::max(0L, std::min(a1, b1) - std::max(a0, b0));
  };
  const std::uint64_t area = static_cast<std::uint64_t>(from.width) * from.height;
  for (int y = 0; y < size; ++y) {
    const long top = static_cast<long>(y) * from.height, bottom = top + from.height;
    for (int x = 0; x < size; ++x) {
      const long left = static_cast<long>(x) * from.width, right = left + from.width;
      std::uint64_t sum[4] = {0, 0, 0, 0};
      for (long v = top / size; v * size < bottom && v < from.height; ++v) {
        const long h = overlap(top, bottom, v * size, (v + 1) * size);
        for (long u = left / size; u * size < right && u < from.width; ++u) {
          const std::uint64_t w = static_cast<std::uint64_t>(h * overlap(left, right, u * size, (u + 1) * size));
          const std::uint32_t p = from.pixels[static_cast<std::size_t>(v) * from.width + u];
          for (int c = 0; c < 4; ++c) sum[c] += w * ((p >> (8 * c)) & 0xFF);
        }
      }
      std::uint32_t p = 0;
      for (int c = 0; c < 4; ++c) p |= static_cast<std::uint32_t>((sum[c] + area / 2) / area) << (8 * c);
      to.pixels[static_cast<std::size_t>(y) * size + x] = p;
    }
  }
  return to;
}

// A 32-bit DIB section holding the image, as a menu item's bitmap.
HBITMAP ToBitmap(const Image& image) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) return bitmap;
  std::copy(image.pixels.begin(), image.pixels.end(), static_cast<std::uint32_t*>(bits));
  ::GdiFlush();
  return bitmap;
}

// A registry text, with its environment variables expanded.
std::wstring RegistryText(HKEY root, const wchar_t* key, const wchar_t* name) {
  RegKey opened;
  if (::RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, opened.Put()) != ERROR_SUCCESS) return {};
  wchar_t data[MAX_PATH * 2] = {};
  DWORD size = sizeof data - sizeof(wchar_t), type = 0;
  if (::RegQueryValueExW(opened.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return {};
  }
  wchar_t expanded[MAX_PATH * 2] = {};
  const DWORD n = ::ExpandEnvironmentStringsW(data, expanded, MAX_PATH * 2);
  return n > 0 && n <= MAX_PATH * 2 ? std::wstring(expanded) : std::wstring(data);
}

// The Recycle Bin's icon for its state, from where Explorer takes it: the
// user's choice, else the system's ("file,index" in the "Full" or "Empty"
// value of its DefaultIcon).
HICON RecycleBinIcon(bool full, int size) {
  const wchar_t* name = full ? L"Full" : L"Empty";
  std::wstring location = RegistryText(
      HKEY_CURRENT_USER,
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon",
      name);
  if (location.empty())
    location = RegistryText(HKEY_CLASSES_ROOT, L"CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon", name);
  if (location.empty()) return nullptr;
  int index = 0;
  const std::size_t comma = location.rfind(L',');
  if (comma != std::wstring::npos) {
    index = ::_wtoi(location.c_str() + comma + 1);
    location.resize(comma);
  }
  location.erase(std::remove(location.begin(), location.end(), L'"'), location.end());
  HICON icon = nullptr;
  UINT id = 0;
  const UINT found = ::PrivateExtractIconsW(location.c_str(), index, size, size, &icon, &id, 1, LR_DEFAULTCOLOR);
  return found == 1 ? icon : nullptr;
}

// The shell's icon for the source at the nearest of its two sizes.
HICON ShellIcon(const IconSource& source, int size) {
  using Kind = IconSource::Kind;
  const UINT sizeFlag = size <= ::GetSystemMetrics(SM_CXSMICON) ? SHGFI_SMALLICON : SHGFI_LARGEICON;
  SHFILEINFOW info{};
  DWORD_PTR done = 0;
  switch (source.kind) {
    case Kind::FileType: {
      const std::wstring name = L"file" + Widen(source.path);
      done = ::SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                              SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | sizeFlag);
      break;
    }
    case Kind::FolderType:
      done = ::SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                              SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | sizeFlag);
      break;
    case Kind::Item:
      done = ::SHGetFileInfoW(Widen(source.path).c_str(), 0, &info, sizeof info,
                              SHGFI_ICON | SHGFI_ADDOVERLAYS | sizeFlag);
      break;
    case Kind::RecycleBinEmpty:
    case Kind::RecycleBinFull:
      if (HICON icon = RecycleBinIcon(source.kind == Kind::RecycleBinFull, size)) return icon;
      [[fallthrough]];
    case Kind::MyComputer:
    case Kind::MyDocuments: {
      const ShellPlace place = source.kind == Kind::MyComputer    ? ShellPlace::MyComputer
                               : source.kind == Kind::MyDocuments ? ShellPlace::MyDocuments
                                                                  : ShellPlace::RecycleBin;
      const ShellIdList list = ShellIdList::Of(ShellItem{place, ""});
      if (!list) return nullptr;
      done = ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list.Get()), 0, &info, sizeof info,
                              SHGFI_PIDL | SHGFI_ICON | sizeFlag);
      break;
    }
  }
  return done != 0 ? info.hIcon : nullptr;
}

}  // namespace

MenuPicture Win32Platform::MakeMenuPicture(const IconSource& source, int size) {
  if (size <= 0) return 0;
  Icon icon(ShellIcon(source, size));
  Image image;
  if (!icon || !ReadIcon(icon.Get(), image)) return 0;
  return reinterpret_cast<MenuPicture>(ToBitmap(Resized(image, size)));
}

void Win32Platform::DeleteMenuPicture(MenuPicture picture) {
  if (picture != 0) ::DeleteObject(reinterpret_cast<HBITMAP>(picture));
}

// A program that is not aware of each monitor's DPI draws its menus at the
// system's DPI on every monitor (Windows scales them on the others); one that
// is draws them at the DPI of the monitor they open on.
int Win32Platform::MenuDpi() {
  const HMODULE user = ::GetModuleHandleW(L"user32.dll");
  using ThreadContext = HANDLE(WINAPI*)();
  using AwarenessOf = int(WINAPI*)(HANDLE);
  const auto threadContext = ProcAddress<ThreadContext>(user, "GetThreadDpiAwarenessContext");
  const auto awarenessOf = ProcAddress<AwarenessOf>(user, "GetAwarenessFromDpiAwarenessContext");
  constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE
  if (threadContext != nullptr && awarenessOf != nullptr && awarenessOf(threadContext()) == kPerMonitorAware) {
    if (!shcoreTried_) {
      shcoreTried_ = true;
      shcore_.Reset(::LoadLibraryW(L"shcore.dll"));
    }
    using MonitorDpi = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    if (const auto monitorDpi = ProcAddress<MonitorDpi>(shcore_.Get(), "GetDpiForMonitor")) {
      POINT at{};
      ::GetCursorPos(&at);
      UINT x = 0, y = 0;
      if (SUCCEEDED(monitorDpi(::MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), 0, &x, &y)) && y > 0)
        return static_cast<int>(y);
    }
  }
  ScreenDc screen;
  const int dpi = screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

bool Win32Platform::RecycleBinHoldsItems() {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  return SUCCEEDED(::SHQueryRecycleBinW(nullptr, &info)) && (info.i64NumItems > 0 || info.i64Size > 0);
}

// Explorer's comparison, StrCmpLogicalW, lives in shlwapi, loaded the first
// time; without it the names are compared as a sorted list compares them.
std::vector<std::size_t> Win32Platform::ExplorerOrder(const std::vector<std::string>& names) {
  if (!shlwapiTried_) {
    shlwapiTried_ = true;
    shlwapi_.Reset(::LoadLibraryW(L"shlwapi.dll"));
  }
  using Compare = int(WINAPI*)(PCWSTR, PCWSTR);
  const auto compare = ProcAddress<Compare>(shlwapi_.Get(), "StrCmpLogicalW");
  if (compare == nullptr) return SortedOrder(names);
  std::vector<std::wstring> wide;
  wide.reserve(names.size());
  for (const std::string& name : names) wide.push_back(Widen(name));
  std::vector<std::size_t> order(names.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return compare(wide[a].c_str(), wide[b].c_str()) < 0; });
  return order;
}

}  // namespace tamberlinox::platform::win32
