#include "SymbolImage.h"

#include <algorithm>
#include <stdexcept>

#include "PngWriter.h"

namespace pavix::qr {

TGrayImage RenderSymbol(const TModuleMatrix& matrix, std::int32_t pxmag) {
  if (pxmag < 1) throw std::invalid_argument("QR magnification below 1");
  constexpr std::int32_t kQuietZone = 4;
  const std::int32_t n = matrix.Modules();
  const auto side = static_cast<std::uint32_t>((n + 2 * kQuietZone) * pxmag);
  TGrayImage image{side, side, std::vector<std::uint8_t>(static_cast<std::size_t>(side) * side, 255)};
  for (std::int32_t row = 0; row < n; ++row) {
    for (std::int32_t column = 0; column < n; ++column) {
      if (!matrix.IsDark(row, column)) continue;
      for (std::int32_t dy = 0; dy < pxmag; ++dy) {
        const auto y = static_cast<std::size_t>((kQuietZone + row) * pxmag + dy);
        const auto x = static_cast<std::size_t>((kQuietZone + column) * pxmag);
        std::fill_n(image.pixels.begin() + static_cast<std::ptrdiff_t>(y * side + x), pxmag, std::uint8_t{0});
      }
    }
  }
  return image;
}

std::string SymbolPng(const TModuleMatrix& matrix, std::int32_t pxmag) {
  const TGrayImage image = RenderSymbol(matrix, pxmag);
  return EncodePng(image.width, image.height, PngPixels::Gray8, image.pixels);
}

}  // namespace pavix::qr
