// How the program looks on screens of 96, 144 and 192 dpi: its two windows'
// sizes, every text in them measured here in the font the program asks for
// and found whole inside its control and the window, the About window's
// pictures at the window's scale (read back from the screen), and the tray
// icon in the size the taskbar shows. Then the dark app mode, which Wine does
// not have.
//
// Where Wine differs from Windows: the DPI is one for the whole session, read
// by each process when it starts from LogPixels (HKCU\Control Panel\Desktop),
// which the tests set before they start the program (the harness itself stays
// at the DPI it started with, and measures in pixels). No window can be moved
// to a monitor of another DPI, so WM_DPICHANGED never comes: what a window
// does with it is proved by the unit tests (LayoutTest.cpp). "MS Sans Serif"
// is a wider font here than on Windows (DejaVu Sans), which is what makes
// boxes grow.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ProgramWindows.h"
#include "platform/ResourceIds.h"
#include "platform/win32/Pictures.h"

namespace e2e {
namespace {

int Scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

// A REG_DWORD set for as long as the object lives; then what was there comes back.
class ScopedRegDword {
 public:
  ScopedRegDword(HKEY hive, const std::string& path, const std::string& name, DWORD value)
      : hive_(hive), path_(ToWide(path)), name_(ToWide(name)) {
    DWORD size = sizeof old_;
    had_ = RegGetValueW(hive, path_.c_str(), name_.c_str(), RRF_RT_REG_DWORD, nullptr, &old_, &size) == ERROR_SUCCESS;
    written_ = Write(value);
  }
  ~ScopedRegDword() {
    if (had_) {
      Write(old_);
    } else {
      RegDeleteKeyValueW(hive_, path_.c_str(), name_.c_str());
    }
  }
  ScopedRegDword(const ScopedRegDword&) = delete;
  ScopedRegDword& operator=(const ScopedRegDword&) = delete;
  bool Written() const { return written_; }

 private:
  bool Write(DWORD value) {
    return RegSetKeyValueW(hive_, path_.c_str(), name_.c_str(), REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
  }
  HKEY hive_;
  std::wstring path_, name_;
  DWORD old_ = 0;
  bool had_ = false;
  bool written_ = false;
};

// ------------------------------------------------------------------- texts
// A control with text as the program makes it, and how the window system
// draws that text: a wrapped label as a static control (words wrapped at its
// width), the rest on one line beside a check box's square or inside a
// button's edges.
enum class Drawn { kWrapped, kOneLine, kCheckBox, kButton };
struct TextControl {
  int id;
  double points;  // of "MS Sans Serif"
  bool bold, italic;
  Drawn drawn;
  bool centred;
};

const std::vector<TextControl> kHotKeyTexts = {
    {101, 8.25, true, false, Drawn::kWrapped, true},    {102, 8.25, true, false, Drawn::kWrapped, true},
    {103, 8.25, true, false, Drawn::kCheckBox, false},  {104, 8.25, true, false, Drawn::kCheckBox, false},
    {105, 8.25, true, false, Drawn::kCheckBox, false},  {107, 9.75, true, false, Drawn::kButton, true},
    {108, 8.25, true, false, Drawn::kButton, true},
};
const std::vector<TextControl> kAboutTexts = {
    {kAboutText, 9.75, false, false, Drawn::kWrapped, false},
    {kAboutLink, 18, true, true, Drawn::kOneLine, true},
    {kAboutConnecting, 36, true, false, Drawn::kWrapped, true},  // hidden: shown in place of the text
    {kAboutClose, 18, true, false, Drawn::kButton, true},
};

// The control's rectangle in its window's client coordinates.
RECT ControlRect(HWND window, int id) {
  RECT r{};
  GetWindowRect(GetDlgItem(window, id), &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The room the text takes in the font the program asks for at this DPI
// (the same request: the size in pixels, rounded), wrapped at wrapWidth or
// on one line when it is 0; and half the width of a "0", by which Wine's
// check boxes keep their text from the square.
struct Measured {
  int width = 0, height = 0, halfZero = 0;
};
Measured Measure(const std::string& text, const TextControl& c, int dpi, int wrapWidth) {
  HFONT font = CreateFontW(-static_cast<int>(c.points * dpi / 72.0 + 0.5), 0, 0, 0, c.bold ? FW_BOLD : FW_NORMAL,
                           c.italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  const std::wstring wide = ToWide(text);
  RECT r{0, 0, wrapWidth, 0};
  DrawTextW(dc, wide.c_str(), int(wide.size()), &r,
            DT_CALCRECT | DT_EXPANDTABS | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
  int zero = 0;
  GetCharWidth32W(dc, L'0', L'0', &zero);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return Measured{r.right - r.left, r.bottom - r.top, zero / 2};
}

// Every text whole inside its control and inside the window.
void ExpectTextsFit(HWND window, const std::vector<TextControl>& texts, int dpi) {
  RECT client{};
  GetClientRect(window, &client);
  for (const TextControl& c : texts) {
    const std::string text = ControlText(window, c.id);
    const RECT r = ControlRect(window, c.id);
    const int width = r.right - r.left, height = r.bottom - r.top;
    SCOPED_TRACE("control " + std::to_string(c.id) + " \"" + text.substr(0, 30) + "\"");
    const Measured m = Measure(text, c, dpi, c.drawn == Drawn::kWrapped ? width : 0);
    int room = width;
    if (c.drawn == Drawn::kCheckBox) room -= MulDiv(12, dpi, 96) + 1 + m.halfZero;  // as Wine draws a check box
    if (c.drawn == Drawn::kButton) room -= 2 * 2;                                  // inside the edges
    EXPECT_LE(m.width, room) << "the text is wider than its control";
    EXPECT_LE(m.height, height) << "the text is taller than its control";
    const int textRight = c.centred ? r.left + (width - m.width) / 2 + m.width : r.left + m.width;
    EXPECT_LE(textRight, client.right) << "the text runs out of the window";
    EXPECT_LE(r.top + m.height, client.bottom) << "the text runs out of the window";
    if (c.drawn != Drawn::kWrapped) {
      EXPECT_LE(r.right, client.right) << "the control runs out of the window";
      EXPECT_LE(r.bottom, client.bottom) << "the control runs out of the window";
    }
  }
}

// A label whose text fits the box the window was drawn with (scaled to the DPI)
// keeps that box's size: nothing grows where nothing needs to.
void ExpectFittingLabelKeepsItsBox(HWND window, const TextControl& c, RECT box, int dpi) {
  RECT client{};
  GetClientRect(window, &client);
  const int width = box.right - box.left, height = box.bottom - box.top;
  const Measured m = Measure(ControlText(window, c.id), c, dpi, width);
  const int textRight = c.centred ? box.left + (width - m.width) / 2 + m.width : box.left + m.width;
  if (m.height > height || m.width > width || textRight > client.right) return;  // it had to grow
  const RECT r = ControlRect(window, c.id);
  EXPECT_EQ(r.right - r.left, width) << "control " << c.id << " grew though its text fits";
  EXPECT_EQ(r.bottom - r.top, height) << "control " << c.id << " grew though its text fits";
}

// ------------------------------------------------------------------ pixels
// What the screen shows of a window's client area.
class ClientPixels {
 public:
  explicit ClientPixels(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
      HGDIOBJ old = SelectObject(memory, bitmap);
      BitBlt(memory, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
      SelectObject(memory, old);
      const auto* p = static_cast<const DWORD*>(bits);
      pixels_.assign(p, p + std::size_t(width_) * height_);
      DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }
  // 0x00RRGGBB; 0xFFFFFFFF outside.
  DWORD At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty()) return 0xFFFFFFFF;
    return pixels_[std::size_t(y) * width_ + x] & 0xFFFFFF;
  }

 private:
  int width_ = 0, height_ = 0;
  std::vector<DWORD> pixels_;
};

// A picture as the program draws it, at the DPI, width x height pixels of it
// (0: its own size at that scale).
class Picture {
 public:
  Picture(int id, int dpi, int width = 0, int height = 0)
      : bitmap_(tamberlinox::platform::win32::CreatePicture(id, dpi, width, height)) {
    if (bitmap_ != nullptr) GetObjectW(bitmap_, sizeof section_, &section_);
  }
  ~Picture() {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
  }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  int Width() const { return section_.dsBm.bmWidth; }
  int Height() const { return section_.dsBm.bmHeight; }
  // 0x00RRGGBB of a pixel (the bitmap is 24-bit and bottom-up).
  DWORD At(int x, int y) const {
    const auto* row = static_cast<const BYTE*>(section_.dsBm.bmBits) +
                      std::size_t(Height() - 1 - y) * section_.dsBm.bmWidthBytes;
    const BYTE* p = row + 3 * x;
    return DWORD(p[2]) << 16 | DWORD(p[1]) << 8 | p[0];
  }

 private:
  HBITMAP bitmap_;
  DIBSECTION section_{};
};

// ------------------------------------------------------------------ fixture
class Looks : public TrayProgramTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    TrayProgramTest::SetUp();
    if (HasFatalFailure()) return;
    logPixels_ = std::make_unique<ScopedRegDword>(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", Dpi());
    ASSERT_TRUE(logPixels_->Written()) << "could not set LogPixels";
    MoveMouseTo(POINT{ScreenRect().right - 20, ScreenRect().bottom - 20});  // away from the windows
  }
  void TearDown() override {
    TrayProgramTest::TearDown();  // the programs end first
    logPixels_.reset();
  }
  int Dpi() const { return GetParam(); }

  std::unique_ptr<ScopedRegDword> logPixels_;
};

// The taskbar gets the icon in its small-icon size at the DPI (16 pixels at
// 96 dpi, 24 at 144, 32 at 192), the same again when it is re-created.
TEST_P(Looks, TheTrayIconHasTheTaskbarsSizeAtTheDpi) {
  Running& r = StartProgram();
  const UINT size = UINT(Scaled(16, Dpi()));
  const auto adds = [&] {
    std::vector<TrayRequest> found;
    for (const TrayRequest& request : RequestsFrom(r.main))
      if (request.message == NIM_ADD && request.answer == 1) found.push_back(request);
    return found;
  };
  ASSERT_EQ(adds().size(), 1u);
  EXPECT_EQ(adds()[0].iconWidth, size);
  EXPECT_EQ(adds()[0].iconHeight, size);
  shell_->RecreateTray();
  BroadcastTaskbarCreated();
  ASSERT_TRUE(WaitForIcon(r.main, 5000ms)) << "no icon in the new taskbar";
  ASSERT_EQ(adds().size(), 2u);
  EXPECT_EQ(adds()[1].iconWidth, size);
}

// At least the size the window was drawn with, at the DPI; every text whole;
// and where a label's text fits its box, that box.
TEST_P(Looks, TheHotKeyWindowHoldsItsTexts) {
  Running& r = StartProgram();
  HWND window = OpenForm(r, "Select Hot Key", kHotKeyCaption);
  ASSERT_NE(window, nullptr);
  const SIZE client = ClientSize(window);
  EXPECT_GE(client.cx, Scaled(300, Dpi()));
  EXPECT_GE(client.cy, Scaled(166, Dpi()));
  ExpectTextsFit(window, kHotKeyTexts, Dpi());
  const auto box = [&](int l, int t, int w, int h) {
    return RECT{Scaled(l, Dpi()), Scaled(t, Dpi()), Scaled(l, Dpi()) + Scaled(w, Dpi()),
                Scaled(t, Dpi()) + Scaled(h, Dpi())};
  };
  ExpectFittingLabelKeepsItsBox(window, kHotKeyTexts[0], box(8, 8, 89, 49), Dpi());
  ExpectFittingLabelKeepsItsBox(window, kHotKeyTexts[1], box(176, 8, 129, 57), Dpi());
}

// The explanatory text reads to its end: the link, the button and the
// window's bottom edge are moved down from where the window was drawn with
// them by as much as the text needs, and no more; the background picture
// fills the window at the window's scale, and the button shows the middle of
// its picture at that scale, on white.
TEST_P(Looks, TheAboutWindowHoldsItsTextAndItsPicturesFillIt) {
  Running& r = StartProgram();
  HWND about = OpenForm(r, "About", kAboutCaption);
  ASSERT_NE(about, nullptr);
  const int dpi = Dpi();
  ExpectTextsFit(about, kAboutTexts, dpi);
  EXPECT_TRUE(ControlText(about, kAboutText).find("at the top of the program options list.") != std::string::npos);

  const RECT text = ControlRect(about, kAboutText), link = ControlRect(about, kAboutLink),
             close = ControlRect(about, kAboutClose);
  const int textHeight = Measure(ControlText(about, kAboutText), kAboutTexts[0], dpi, text.right - text.left).height;
  EXPECT_EQ(link.top, std::max<LONG>(Scaled(160, dpi), text.top + textHeight)) << "the link is not just below the text";
  EXPECT_EQ(close.top - link.top, Scaled(192, dpi) - Scaled(160, dpi)) << "the button did not move with the link";
  const SIZE client = ClientSize(about);
  EXPECT_EQ(client.cy - close.top, Scaled(233, dpi) - Scaled(192, dpi)) << "the window did not grow with them";
  EXPECT_EQ(client.cx, Scaled(333, dpi));

  // The picture's pixels where no control covers it: both bottom corners and the top right one.
  const Picture background(IDB_ABOUT_BACK, dpi, client.cx, client.cy);
  ASSERT_EQ(background.Width(), client.cx);
  const POINT corners[] = {{client.cx - 3, 2}, {2, client.cy - 3}, {client.cx - 3, client.cy - 3}};
  const bool painted = WaitUntil([&] {
    const ClientPixels shown(about);
    return std::all_of(std::begin(corners), std::end(corners),
                       [&](POINT p) { return shown.At(p.x, p.y) == background.At(p.x, p.y); });
  });
  EXPECT_TRUE(painted) << "the background picture does not fill the window at its scale";

  // The button's row 3, between its raised edge and its focus rectangle, above
  // the caption: the picture's columns centred on white.
  const Picture button(IDB_ABOUT_BUTTON, dpi);
  EXPECT_EQ(button.Width(), Scaled(115, dpi));
  EXPECT_EQ(button.Height(), Scaled(270, dpi));
  const int width = close.right - close.left, height = close.bottom - close.top;
  const int left = (width - button.Width()) / 2, pictureRow = 3 - (height - button.Height()) / 2;
  const ClientPixels shown(about);
  int wrong = 0;
  for (int x = 2; x < width - 2; ++x) {
    const bool inPicture = x >= left && x < left + button.Width();
    const DWORD expected = inPicture ? button.At(x - left, pictureRow) : 0xFFFFFF;
    if (shown.At(close.left + x, close.top + 3) != expected) ++wrong;
  }
  EXPECT_EQ(wrong, 0) << "pixels of the button's picture differ from the picture at the window's scale";
}

INSTANTIATE_TEST_SUITE_P(Dpi, Looks, ::testing::Values(96, 144, 192),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

// ------------------------------------------------------------- dark menus
// The user's apps in dark mode: Wine has no dark menus (and reports an older
// Windows), so the menus look as before, and both still open and work.
TEST_F(TrayProgramTest, DarkAppModeLeavesTheMenusWorkingWhereThereAreNoDarkMenus) {
  ScopedRegDword dark(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                      "AppsUseLightTheme", 0);
  ASSERT_TRUE(dark.Written());
  Running& r = StartProgram();
  ClickTray(r.main, WM_LBUTTONUP);
  HWND menu = menus_->WaitForMenu(r.process);
  ASSERT_NE(menu, nullptr) << "no desktop menu";
  const auto entries = menus_->Read(menu);
  ASSERT_TRUE(entries);
  EXPECT_FALSE(entries->empty());
  menus_->Close(menu);
  ASSERT_TRUE(WaitUntil([&] { return FindWindowA("#32768", nullptr) == nullptr; }));
  std::vector<MenuEntry> seen;
  ASSERT_TRUE(ChooseCommand(r, "Show Desktop", &seen));
  EXPECT_EQ(seen.size(), 13u);
  EXPECT_TRUE(WaitUntil([&] { return shell_->DesktopVisible(); })) << "\"Show Desktop\" did nothing";
  EXPECT_TRUE(r.process.Running());
}

}  // namespace
}  // namespace e2e
