#pragma once

#include <string>

#include "Graphics.h"

namespace pavix {

// A symbol bitmap (one pixel a module, quiet zone included) as lines of
// text, two modules to a character cell with the half-block characters.
// With `colours`, ANSI colours fix dark on light whatever the terminal's
// theme, so that a phone camera reads it from the screen.
std::string SymbolAsHalfBlocks(const platform::IBitmap& symbol, bool colours);

}  // namespace pavix
