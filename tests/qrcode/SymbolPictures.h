#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Graphics.h"
#include "QRBitStream.h"

// Expected pictures for the component tests, made by the encoder and the
// independent grey renderer rather than by the component's own drawing.
namespace pavix::qr::pictures {

struct TPixels {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint32_t> pixels;  // as platform::PixelOf stores them
  bool operator==(const TPixels&) const = default;
  std::uint32_t At(std::int32_t x, std::int32_t y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// One symbol with its quiet zone, black on white.
TPixels SymbolPixels(std::string_view piece, const TEncodeSettings& settings, const TSymbolPosition& position,
                     std::int32_t pxmag);

TPixels Snapshot(const platform::IBitmap& bitmap);

// The `width` × `height` part of `picture` at (x, y).
TPixels Region(const TPixels& picture, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

// The position of the first pixel that is not white, scanning rows top first.
std::pair<std::int32_t, std::int32_t> FirstNonWhite(const TPixels& picture);

// A realistic pairing text: the enciphered settings in Base64 lines, 176 characters.
std::string PairingText();

}  // namespace pavix::qr::pictures
