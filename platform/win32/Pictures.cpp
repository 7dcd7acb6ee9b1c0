#include "platform/win32/Pictures.h"

#include <float.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/ResourceIds.h"

// The pictures must come out the same, bit for bit, wherever they are drawn. So the drawing uses only
// additions, subtractions, multiplications, divisions and square roots of doubles, with every result rounded to
// double: the x87 unit is switched to 53-bit precision while drawing, and a constant worked out from other
// constants goes through a double variable first. Bytes are rounded half to even here, not by the library. The
// order of the operations is part of the pictures: after any change, compare every pixel with the old pictures.

namespace tamberlinox::platform::win32 {
namespace {

struct Colour {
  double red;
  double green;
  double blue;
};

double Clamp(double value, double low, double high) {
  if (low > value) value = low;
  if (value > high) value = high;
  return value;
}

double Larger(double a, double b) { return b > a ? b : a; }

Colour Mix(Colour a, Colour b, double t) {
  t = Clamp(t, 0.0, 1.0);
  return {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t, a.blue + (b.blue - a.blue) * t};
}

double Smooth(double edge0, double edge1, double value) {
  const double width = edge1 - edge0;
  const double t = Clamp((value - edge0) / width, 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

double Distance(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }

// How far a point lies outside an eye shape: the lens between two circular arcs through its left and right
// tips and its top and bottom. Negative inside.
double EyeEdge(double x, double y, double centreX, double centreY, double halfWidth, double halfHeight) {
  const double radius = (halfWidth * halfWidth + halfHeight * halfHeight) / (2 * halfHeight);
  const double offset = radius - halfHeight;
  return Larger(Distance(x - centreX, y - (centreY + offset)) - radius,
                Distance(x - centreX, y - (centreY - offset)) - radius);
}

// Night blue to violet, a soft glow at the upper left, faint rows of desktop icons fading out to the right,
// and a large quiet eye at the lower right. Dark everywhere: the About window writes white text over it.
Colour AboutBackground(double x, double y) noexcept {
  Colour c = Mix({12, 28, 78}, {58, 20, 86}, y / 299.0);
  const double glow = Distance(x - 40, y - 30) / 260.0;
  c = Mix(c, {40, 70, 140}, 0.55 * (1 - Smooth(0.0, 1.0, glow)));

  const double gridX = std::fmod(x, 44);  // for whole numbers their remainder; negative left of 0
  const double gridY = std::fmod(y, 44);
  if (8 <= gridX && gridX < 30 && 8 <= gridY && gridY < 30) {
    const double fade = 0.16 * (1 - Smooth(0, 400, x)) * (1 - Smooth(150, 300, y) * 0.5);
    const bool inner = 11 <= gridX && gridX < 27 && 11 <= gridY && gridY < 23;
    c = Mix(c, inner ? Colour{150, 170, 230} : Colour{110, 120, 190}, fade);
  }

  constexpr double eyeX = 250.0;
  constexpr double eyeY = 178.0;
  const double edge = EyeEdge(x, y, eyeX, eyeY, 135.0, 62.0);
  if (-5 < edge && edge < 0) {
    c = Mix(c, {120, 110, 200}, 0.35);
  } else if (edge <= -5) {
    c = Mix(c, {20, 16, 60}, 0.35);
  }
  const double iris = Distance(x - eyeX, y - eyeY);
  if (iris < 48 && edge < 0) c = Mix(c, Mix({40, 120, 150}, {30, 50, 110}, Smooth(24, 48, iris)), 0.55);
  if (iris < 20) c = Mix(c, {6, 6, 20}, 0.85);
  if (Distance(x - (eyeX - 14), y - (eyeY - 12)) < 6) c = Mix(c, {200, 210, 255}, 0.5);
  return c;
}

// A pale sky gradient with a glossy middle band (a button shows only the middle of the picture, and its
// caption sits there) and a small eye above and below the band.
Colour AboutButtonPicture(double x, double y) noexcept {
  constexpr double middle = 269.0 / 2;
  const double band = y - middle;
  Colour c = Mix({255, 255, 255}, {150, 190, 235}, Smooth(0.08, 1.0, std::fabs(band) / middle));
  if (std::fabs(band) < 18) {
    const double gloss = (band + 18) / 36.0;
    c = gloss > 0.5 ? Mix({250, 252, 255}, {176, 204, 240}, gloss) : Mix({255, 255, 255}, {214, 230, 252}, gloss * 2);
  }
  c = Mix(c, {110, 150, 210}, 0.25 * Smooth(0.6, 1.0, std::fabs(x - 57) / 57.0));

  constexpr double eyeRows[] = {60.0, 210.0};
  for (const double eyeY : eyeRows) {
    const double edge = EyeEdge(x, y, 57, eyeY, 34.0, 16.0);
    if (-2.2 < edge && edge < 0) {
      c = {30, 50, 110};
    } else if (edge <= -2.2) {
      c = Mix(c, {255, 255, 255}, 0.8);
      const double iris = Distance(x - 57, y - eyeY);
      if (iris < 11) c = Mix({40, 120, 160}, {20, 60, 120}, iris / 11);
      if (iris < 5) c = {10, 10, 30};
    }
  }
  return c;
}

// 0 to 255, halves rounded to the even neighbour.
std::uint8_t ToByte(double value) {
  value = Clamp(value, 0, 255);
  int whole = static_cast<int>(value);
  const double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && whole % 2 != 0)) ++whole;
  return static_cast<std::uint8_t>(whole);
}

// Rounds every x87 operation to double while it lives (SSE arithmetic always does).
class DoublePrecision {
 public:
#if defined(__i386__) || defined(_M_IX86)
  DoublePrecision() : saved_(_controlfp(0, 0)) { _controlfp(_PC_53, _MCW_PC); }
  ~DoublePrecision() { _controlfp(saved_, _MCW_PC); }

 private:
  unsigned saved_;
#endif
};

struct Drawing {
  int width;   // at 96 dpi
  int height;
  Colour (*pixel)(double x, double y) noexcept;
};

// A bottom-up 24-bit DIB section, like the one LoadImage makes of a 24-bit BMP with LR_CREATEDIBSECTION. Each
// pixel is the picture's colour at the pixel's centre, in the picture's own coordinates: at 96 dpi exactly the
// whole numbers, so that the pictures there stay as they were drawn.
HBITMAP Draw(const Drawing& drawing, int dpi, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;

  const int stride = (width * 3 + 3) & ~3;
  [[maybe_unused]] DoublePrecision precision;
  const double scale = dpi / 96.0;
  for (int y = 0; y < height; ++y) {
    auto* out = static_cast<std::uint8_t*>(bits) + static_cast<std::size_t>(height - 1 - y) * stride;
    const double pictureY = (y + 0.5) / scale - 0.5;
    for (int x = 0; x < width; ++x) {
      const Colour c = drawing.pixel((x + 0.5) / scale - 0.5, pictureY);
      *out++ = ToByte(c.blue);
      *out++ = ToByte(c.green);
      *out++ = ToByte(c.red);
    }
  }
  return bitmap;
}

}  // namespace

HBITMAP CreatePicture(int resourceId, int dpi, int width, int height) {
  Drawing drawing{};
  if (resourceId == IDB_ABOUT_BACK) {
    drawing = {400, 300, &AboutBackground};
  } else if (resourceId == IDB_ABOUT_BUTTON) {
    drawing = {115, 270, &AboutButtonPicture};
  } else {
    return nullptr;
  }
  return Draw(drawing, dpi, width > 0 ? width : ::MulDiv(drawing.width, dpi, 96),
              height > 0 ? height : ::MulDiv(drawing.height, dpi, 96));
}

}  // namespace tamberlinox::platform::win32
