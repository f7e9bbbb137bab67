#pragma once

#include <cstdint>
#include <span>
#include <string>

// A small PNG writer: 8-bit grey or 8-bit RGBA pixels, stored without
// compression (stored deflate blocks), so no compression library is needed.
namespace pavix {

enum class PngPixels { Gray8, Rgba8 };

// `pixels` holds `height` rows of `width` pixels, top row first (1 or 4
// bytes a pixel). Returns the file's bytes; std::invalid_argument when the
// sizes do not agree.
std::string EncodePng(std::uint32_t width, std::uint32_t height, PngPixels format,
                      std::span<const std::uint8_t> pixels);

}  // namespace pavix
