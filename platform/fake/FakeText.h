// Text as the in-memory Windows measures it: a plain, predictable font that a
// test can make wider, to see windows make room for their texts.
#pragma once

#include "platform/Layout.h"

namespace tamberlinox::platform {

// Every character is charWidth pixels wide per pixel of the font's size (a
// blank half of that, bold a tenth more); a line is as high as the size.
// Lines break at blanks; a run of blanks fills its line and goes on at the
// next, but those before a word that goes to a new line take no room. A check box
// adds its square and a gap, 18 pixels at 96 dpi, on the left; a button 4
// pixels of edge all round.
struct FakeTextMeasurer final : TextMeasurer {
  double charWidth = 0.45;
  TextExtent Measure(const ControlSpec& control, int dpi, int wrapWidth) override;
};

}  // namespace tamberlinox::platform
