#include "TerminalSymbol.h"

namespace pavix {

namespace {

bool Dark(const platform::IBitmap& symbol, std::int32_t x, std::int32_t y) {
  if (y >= symbol.Height()) return false;
  return symbol.Pixels()[static_cast<std::size_t>(y) * symbol.Width() + x] != platform::PixelOf(platform::kWhite);
}

}  // namespace

std::string SymbolAsHalfBlocks(const platform::IBitmap& symbol, bool colours) {
  static constexpr const char* kCells[4] = {" ", "\u2580", "\u2584", "\u2588"};  // none, upper, lower, both dark
  std::string text;
  for (std::int32_t y = 0; y < symbol.Height(); y += 2) {
    if (colours) text += "\x1b[30;107m";  // black on bright white
    for (std::int32_t x = 0; x < symbol.Width(); ++x) {
      text += kCells[(Dark(symbol, x, y) ? 1 : 0) | (Dark(symbol, x, y + 1) ? 2 : 0)];
    }
    if (colours) text += "\x1b[0m";
    text += "\n";
  }
  return text;
}

}  // namespace pavix
