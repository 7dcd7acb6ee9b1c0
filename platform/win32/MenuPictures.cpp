// Pictures for menu entries: the shell's icons turned into 32-bit bitmaps
// with premultiplied alpha, which a themed menu's item shows in its hbmpItem
// and blends over the menu's own background (light or dark); a classic menu
// leaves room for them, and MenuTracker blends them there. No entry is
// otherwise drawn by the program.
#include "platform/win32/Win32.h"
// The headers below need <windows.h> before them.
#include <commctrl.h>
#include <malloc.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string_view>
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

// Draws the overlay over the image (both premultiplied, the same size).
void Overlay(Image& image, const Image& overlay) {
  for (std::size_t i = 0; i < image.pixels.size() && i < overlay.pixels.size(); ++i) {
    const std::uint32_t top = overlay.pixels[i], below = image.pixels[i];
    const std::uint32_t keep = 255 - (top >> 24);
    std::uint32_t mixed = 0;
    for (int c = 0; c < 32; c += 8) {
      const std::uint32_t channel = ((top >> c) & 0xFF) + (((below >> c) & 0xFF) * keep + 127) / 255;
      mixed |= std::min<std::uint32_t>(channel, 255) << c;
    }
    image.pixels[i] = mixed;
  }
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

// The icon at "file,index" (index < 0: the resource with that id), at exactly
// size by size pixels when the file has that size.
HICON IconAt(std::wstring location, int index, int size) {
  location.erase(std::remove(location.begin(), location.end(), L'"'), location.end());
  if (location.empty() || location == L"*" || location.rfind(L"%1", 0) == 0) return nullptr;
  wchar_t expanded[MAX_PATH * 2] = {};
  const DWORD n = ::ExpandEnvironmentStringsW(location.c_str(), expanded, MAX_PATH * 2);
  if (n > 0 && n <= MAX_PATH * 2) location = expanded;
  HICON icon = nullptr;
  UINT id = 0;
  return ::PrivateExtractIconsW(location.c_str(), index, size, size, &icon, &id, 1, LR_DEFAULTCOLOR) == 1 ? icon
                                                                                                           : nullptr;
}

// "file,index" as the registry writes an icon's place.
HICON IconAt(const std::wstring& place, int size) {
  const std::size_t comma = place.rfind(L',');
  if (comma == std::wstring::npos) return IconAt(place, 0, size);
  return IconAt(place.substr(0, comma), ::_wtoi(place.c_str() + comma + 1), size);
}

// A registry text ("" when there is none).
std::wstring RegistryText(HKEY root, const std::wstring& key, const wchar_t* name) {
  RegKey opened;
  if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, opened.Put()) != ERROR_SUCCESS) return {};
  wchar_t data[MAX_PATH * 2] = {};
  DWORD size = sizeof data - sizeof(wchar_t), type = 0;
  if (::RegQueryValueExW(opened.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return {};
  }
  return data;
}

// The icon Explorer gives a shell object by its class: the user's choice,
// else the system's (a "Full" and an "Empty" one for the Recycle Bin).
HICON ClassIcon(const wchar_t* clsid, const wchar_t* name, int size) {
  const std::wstring icon = std::wstring(L"CLSID\\") + clsid + L"\\DefaultIcon";
  std::wstring place =
      RegistryText(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\" + icon, name);
  if (place.empty()) place = RegistryText(HKEY_CLASSES_ROOT, icon, name);
  return place.empty() ? nullptr : IconAt(place, size);
}

// The shell's stock icons (SHGetStockIconInfo, from Windows Vista on), by
// where they are; the system image list is not needed for them.
enum StockIcon : int { kDocument = 0, kApplication = 2, kFolder = 3, kRecycleBin = 31, kRecycleBinFull = 32 };
struct StockIconInfo {
  DWORD cbSize;
  HICON hIcon;
  int iSysImageIndex;
  int iIcon;
  WCHAR szPath[MAX_PATH];
};
bool StockLocation(StockIcon id, StockIconInfo& info) {
  using Query = HRESULT(WINAPI*)(int, UINT, StockIconInfo*);
  const auto query = ProcAddress<Query>(::GetModuleHandleW(L"shell32.dll"), "SHGetStockIconInfo");
  info = StockIconInfo{};
  info.cbSize = sizeof info;
  constexpr UINT kIconLocation = 0;  // SHGSI_ICONLOCATION
  return query != nullptr && SUCCEEDED(query(id, kIconLocation, &info));
}

HICON Stock(StockIcon id, int size) {
  StockIconInfo info, document;
  if (!StockLocation(id, info)) return nullptr;
  // A shell that gives one icon for all of them (Wine's does) has no stock
  // icons to speak of, but its generic document.
  if (id != kDocument && StockLocation(kDocument, document) && document.iIcon == info.iIcon &&
      ::lstrcmpiW(document.szPath, info.szPath) == 0) {
    return nullptr;
  }
  return IconAt(info.szPath, info.iIcon, size);
}

// Where the shell says an icon is (SHGFI_ICONLOCATION: from the item's icon
// handler, or its type's), extracted at the size asked for.
HICON IconFromLocation(LPCWSTR pathOrList, DWORD attributes, UINT flags, int size, bool* link = nullptr) {
  SHFILEINFOW info{};
  if (link != nullptr) flags |= SHGFI_ATTRIBUTES;
  if (!::SHGetFileInfoW(pathOrList, attributes, &info, sizeof info, flags | SHGFI_ICONLOCATION)) return nullptr;
  if (link != nullptr) *link = (info.dwAttributes & SFGAO_LINK) != 0;
  return IconAt(info.szDisplayName, info.iIcon, size);
}

// The shell's icon for the item from the system image list, at the nearest
// of its two sizes; link tells whether the item is a shortcut.
HICON ImageListIcon(LPCWSTR pathOrList, DWORD attributes, UINT flags, int size, bool* link = nullptr) {
  const UINT sizeFlag = size <= ::GetSystemMetrics(SM_CXSMICON) ? SHGFI_SMALLICON : SHGFI_LARGEICON;
  SHFILEINFOW info{};
  if (link != nullptr) flags |= SHGFI_ATTRIBUTES;
  if (!::SHGetFileInfoW(pathOrList, attributes, &info, sizeof info, flags | SHGFI_ICON | sizeFlag)) return nullptr;
  if (link != nullptr) *link = (info.dwAttributes & SFGAO_LINK) != 0;
  return info.hIcon;
}

// The arrow Explorer draws over a shortcut's icon: the user's choice ("Shell
// Icons", 29), else the shell's overlay image for shortcuts from the system
// image list (which the item's own icon has made already), else the arrow
// that shell32 has carried as its icon 30 since Windows 95 (for shells that
// do not say which overlay is the shortcut's, as Wine's).
HICON ShortcutArrow(int size) {
  const std::wstring chosen = RegistryText(
      HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons", L"29");
  if (HICON arrow = chosen.empty() ? nullptr : IconAt(chosen, size)) return arrow;
  const HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
  using OverlayIndex = int(WINAPI*)(LPCWSTR, int);
  using ImageLists = BOOL(WINAPI*)(HIMAGELIST*, HIMAGELIST*);
  using GetIcon = HICON(WINAPI*)(HIMAGELIST, int, UINT);
  const auto overlayIndex = ProcAddress<OverlayIndex>(shell, "SHGetIconOverlayIndexW");
  const auto imageLists = ProcAddress<ImageLists>(shell, "Shell_GetImageLists");
  const auto getIcon = ProcAddress<GetIcon>(::GetModuleHandleW(L"comctl32.dll"), "ImageList_GetIcon");
  const int index = overlayIndex != nullptr ? overlayIndex(nullptr, IDO_SHGIOI_LINK) : -1;
  HIMAGELIST large = nullptr, small = nullptr;
  if (index >= 0 && imageLists != nullptr && getIcon != nullptr && imageLists(&large, &small)) {
    HIMAGELIST list = size <= ::GetSystemMetrics(SM_CXSMICON) ? small : large;
    if (HICON arrow = list != nullptr ? getIcon(list, index, ILD_TRANSPARENT) : nullptr) return arrow;
  }
  wchar_t shell32[MAX_PATH] = {};
  if (::GetSystemDirectoryW(shell32, MAX_PATH) == 0) return nullptr;
  return IconAt(std::wstring(shell32) + L"\\shell32.dll", -30, size);
}

// The icon that a source names. Types, places and items are found by where
// their icons are (an item's by its icon handler: a shortcut's is its
// target's) and extracted at the size asked for. The system image list is
// the last resort, for an icon that is in no file: it is made in the process
// when first asked for, with room for icons of every size, and keeps every
// icon added to it for the rest of the run (under Wine some hundred
// kilobytes for each).
// A shortcut's arrow is drawn over it afterwards, as Explorer draws it: the
// shell's own overlaid icons are not alike everywhere (Wine's lose the icon
// under the arrow).
HICON ShellIcon(const IconSource& source, int size, bool* link) {
  using Kind = IconSource::Kind;
  switch (source.kind) {
    case Kind::FileType: {
      const std::wstring name = L"file" + Widen(source.path);
      if (HICON icon = IconFromLocation(name.c_str(), FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES, size))
        return icon;
      // A type without an icon of its own, or whose files each have theirs.
      const bool program = source.path == ".exe" || source.path == ".com";
      if (HICON icon = Stock(program ? kApplication : kDocument, size)) return icon;
      return ImageListIcon(name.c_str(), FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES, size);
    }
    case Kind::FolderType:
      if (HICON icon = IconFromLocation(L"folder", FILE_ATTRIBUTE_DIRECTORY, SHGFI_USEFILEATTRIBUTES, size))
        return icon;
      if (HICON icon = Stock(kFolder, size)) return icon;
      return ImageListIcon(L"folder", FILE_ATTRIBUTE_DIRECTORY, SHGFI_USEFILEATTRIBUTES, size);
    case Kind::Item: {
      const std::wstring path = Widen(source.path);
      if (HICON icon = IconFromLocation(path.c_str(), 0, 0, size, link)) return icon;
      return ImageListIcon(path.c_str(), 0, 0, size, link);
    }
    case Kind::MyComputer:
    case Kind::MyDocuments:
    case Kind::RecycleBinEmpty:
    case Kind::RecycleBinFull:
      break;
  }
  const bool full = source.kind == Kind::RecycleBinFull;
  ShellPlace place = ShellPlace::RecycleBin;
  if (source.kind == Kind::MyComputer) {
    place = ShellPlace::MyComputer;
    if (HICON icon = ClassIcon(L"{20D04FE0-3AEA-1069-A2D8-08002B30309D}", nullptr, size)) return icon;
  } else if (source.kind == Kind::MyDocuments) {
    place = ShellPlace::MyDocuments;
    if (HICON icon = ClassIcon(L"{450D8FBA-AD25-11D0-98A8-0800361B1103}", nullptr, size)) return icon;
  } else if (HICON icon = ClassIcon(L"{645FF040-5081-101B-9F08-00AA002F954E}", full ? L"Full" : L"Empty", size)) {
    return icon;
  }
  const ShellIdList list = ShellIdList::Of(ShellItem{place, ""});
  const auto listed = reinterpret_cast<LPCWSTR>(list.Get());
  if (list) {
    if (HICON icon = IconFromLocation(listed, 0, SHGFI_PIDL, size)) return icon;
  }
  if (place == ShellPlace::RecycleBin) {
    if (HICON icon = Stock(full ? kRecycleBinFull : kRecycleBin, size)) return icon;
  }
  return list ? ImageListIcon(listed, 0, SHGFI_PIDL, size) : nullptr;
}

}  // namespace

MenuPicture Win32Platform::MakeMenuPicture(const IconSource& source, int size) {
  if (size <= 0) return 0;
  // Icons that handlers give (an Internet shortcut's own among them) come
  // from COM objects: asked outside an apartment, the shell answers with a
  // stand-in, which its image list then keeps for the rest of the run.
  com_.EnterApartment();
  bool link = false;
  Icon icon(ShellIcon(source, size, &link));
  Image image;
  if (!icon || !ReadIcon(icon.Get(), image)) return 0;
  image = Resized(image, size);
  Image arrow;
  if (link) {
    Icon overlay(ShortcutArrow(size));
    if (overlay && ReadIcon(overlay.Get(), arrow)) Overlay(image, Resized(arrow, size));
  }
  return reinterpret_cast<MenuPicture>(ToBitmap(image));
}

void Win32Platform::DeleteMenuPicture(MenuPicture picture) {
  if (picture != 0) ::DeleteObject(reinterpret_cast<HBITMAP>(picture));
}

bool Win32Platform::RecycleBinHoldsItems() {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  return SUCCEEDED(::SHQueryRecycleBinW(nullptr, &info)) && (info.i64NumItems > 0 || info.i64Size > 0);
}

// What a desktop menu took and no one needs any more: the libraries of the
// COM objects the shell made for it (icon handlers; an Internet shortcut's
// lives in the browser's library), which Windows keeps for ten minutes
// unless asked, and the free memory of the heaps, which Windows' heaps keep
// committed above a threshold. (Wine's give back only a whole stretch that
// holds nothing any more, and do that by themselves: so nothing the program
// keeps is made among what a showing's entries take.)
void Win32Platform::TrimMemory() {
  com_.FreeUnusedLibraries();
  ::HeapCompact(::GetProcessHeap(), 0);
  _heapmin();
}

// Explorer's order: the user's locale, case ignored, digits as numbers. The
// system sorts so itself from Windows 7 on (SORT_DIGITSASNUMBERS): each name
// gets its sort key once, and the keys are compared byte by byte, which is
// many times faster than comparing the names for thousands of them. Before,
// Explorer's own comparison (StrCmpLogicalW in shlwapi, loaded the first
// time) compares the names.
std::vector<std::size_t> Win32Platform::ExplorerOrder(const std::vector<std::string>& names) {
  constexpr DWORD kDigitsAsNumbers = 0x00000008;  // SORT_DIGITSASNUMBERS
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE | kDigitsAsNumbers;
  const auto sortKey = [](const wchar_t* text, int length, std::string& key) {
    const int size = ::LCMapStringW(LOCALE_USER_DEFAULT, kFlags, text, length, nullptr, 0);
    if (size <= 0) return false;
    const std::size_t start = key.size();
    key.resize(start + static_cast<std::size_t>(size));
    return ::LCMapStringW(LOCALE_USER_DEFAULT, kFlags, text, length, reinterpret_cast<wchar_t*>(key.data() + start),
                          size) == size;
  };
  std::string two, ten;
  const bool keys = sortKey(L"2", 1, two) && sortKey(L"10", 2, ten) && two < ten;
  std::vector<std::size_t> order(names.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (keys) {
    std::string all;
    std::vector<std::size_t> starts;
    starts.reserve(names.size() + 1);
    for (const std::string& name : names) {
      starts.push_back(all.size());
      const std::wstring wide = Widen(name);
      if (!sortKey(wide.c_str(), static_cast<int>(wide.size()), all)) all.resize(starts.back());
    }
    starts.push_back(all.size());
    const auto key = [&](std::size_t i) { return std::string_view(all).substr(starts[i], starts[i + 1] - starts[i]); };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    return order;
  }
  if (!shlwapiTried_) {
    shlwapiTried_ = true;
    shlwapi_.Reset(::LoadLibraryW(L"shlwapi.dll"));
  }
  using Logical = int(WINAPI*)(PCWSTR, PCWSTR);
  const auto logical = ProcAddress<Logical>(shlwapi_.Get(), "StrCmpLogicalW");
  if (logical == nullptr) return SortedOrder(names);
  std::vector<std::wstring> wide;
  wide.reserve(names.size());
  for (const std::string& name : names) wide.push_back(Widen(name));
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return logical(wide[a].c_str(), wide[b].c_str()) < 0; });
  return order;
}

}  // namespace tamberlinox::platform::win32
