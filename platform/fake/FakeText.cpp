#include "platform/fake/FakeText.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace tamberlinox::platform {

TextExtent FakeTextMeasurer::Measure(const ControlSpec& control, int dpi, int wrapWidth) {
  const double size = control.font.points * dpi / 72.0;
  const double letter = size * charWidth * (control.font.bold ? 1.1 : 1.0);
  const auto width = [&](const std::string& run) {
    return static_cast<int>(std::ceil(letter * static_cast<double>(run.size()) * (run[0] == ' ' ? 0.5 : 1.0)));
  };
  TextExtent extent;
  extent.lineHeight = static_cast<int>(std::ceil(size));

  // Words and runs of blanks, in order.
  std::vector<std::string> runs;
  for (char c : control.text) {
    if (runs.empty() || (c == ' ') != (runs.back()[0] == ' ')) runs.emplace_back();
    runs.back() += c;
  }
  int lines = 1, line = 0;
  for (const std::string& run : runs) {
    if (run[0] == ' ') {
      // Blanks fill the line and go on at the next; a word that follows on a
      // new line leaves them behind.
      const int blank = width(" ");
      for (std::size_t i = 0; i < run.size(); ++i) {
        if (wrapWidth > 0 && line + blank > wrapWidth) {
          ++lines;
          line = 0;
        } else {
          line += blank;
        }
      }
      continue;
    }
    const int word = width(run);
    if (wrapWidth > 0 && line > 0 && line + word > wrapWidth) {
      ++lines;
      line = word;
    } else {
      line += word;
    }
    extent.width = std::max(extent.width, line);
  }
  extent.height = lines * extent.lineHeight;

  const int edge = ScaleToDpi(4, dpi);
  if (control.kind == ControlKind::CheckBox) extent.width += ScaleToDpi(18, dpi);
  if (control.kind == ControlKind::Button) {
    extent.width += 2 * edge;
    extent.height += 2 * edge;
    extent.lineHeight += 2 * edge;
  }
  return extent;
}

}  // namespace tamberlinox::platform
