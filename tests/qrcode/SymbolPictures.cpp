#include "SymbolPictures.h"

#include <stdexcept>

#include "DESUtils.h"
#include "QRSymbolEncoder.h"
#include "SymbolImage.h"

namespace pavix::qr::pictures {

TPixels SymbolPixels(std::string_view piece, const TEncodeSettings& settings, const TSymbolPosition& position,
                     std::int32_t pxmag) {
  TQRSymbolEncoder encoder;
  std::int32_t emodeR = kModeNone;
  if (!encoder.Encode(piece, settings, position, emodeR)) throw std::invalid_argument("piece does not fit");
  const TGrayImage grey = RenderSymbol(encoder.Matrix(), pxmag);
  TPixels picture{static_cast<std::int32_t>(grey.width), static_cast<std::int32_t>(grey.height), {}};
  for (const std::uint8_t value : grey.pixels) {
    picture.pixels.push_back(platform::PixelOf(value == 0 ? platform::kBlack : platform::kWhite));
  }
  return picture;
}

TPixels Snapshot(const platform::IBitmap& bitmap) {
  const auto pixels = bitmap.Pixels();
  return {bitmap.Width(), bitmap.Height(), {pixels.begin(), pixels.end()}};
}

TPixels Region(const TPixels& picture, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  TPixels part{width, height, {}};
  for (std::int32_t row = y; row < y + height; ++row) {
    for (std::int32_t column = x; column < x + width; ++column) part.pixels.push_back(picture.At(column, row));
  }
  return part;
}

std::pair<std::int32_t, std::int32_t> FirstNonWhite(const TPixels& picture) {
  for (std::int32_t y = 0; y < picture.height; ++y) {
    for (std::int32_t x = 0; x < picture.width; ++x) {
      if (picture.At(x, y) != platform::PixelOf(platform::kWhite)) return {x, y};
    }
  }
  return {-1, -1};
}

std::string PairingText() {
  const std::string payload =
      R"({"QRType":"PCPrinter","Type":2,"Model":1,"Addr":"192.168.1.20","Port":8212,)"
      R"("PESN":"3F2504E0-4F89-11D3-9A0C-0305E82C3301"})";
  return EncryptPairingText(payload, PairingKey, PairingIv);
}

}  // namespace pavix::qr::pictures
