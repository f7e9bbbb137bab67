#pragma once

#include <functional>
#include <string_view>

#include "Graphics.h"

// The portable back-end's font: 5 × 7 glyphs of printable ASCII in 6 × 8
// cells, scaled by whole pixels towards the font's height. Other characters
// show as a hollow box, a double-byte character of the system code page as
// one box two cells wide, so a comment keeps its length and place.
namespace pavix::platform {

TSize BuiltinTextExtent(const TFont& font, std::string_view text);

// Calls `ink` with each inked rectangle of `text` laid out from (x, y).
void BuiltinTextInk(const TFont& font, std::int32_t x, std::int32_t y, std::string_view text,
                    const std::function<void(const TRect&)>& ink);

}  // namespace pavix::platform
