#include "MemoryBitmap.h"

#include <algorithm>
#include <stdexcept>

#include "BuiltinFont.h"

namespace pavix::platform {

namespace {

std::vector<std::uint32_t> WhitePixels(std::int32_t width, std::int32_t height) {
  if (width < 0 || height < 0) throw std::invalid_argument("negative bitmap size");
  return std::vector<std::uint32_t>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                    PixelOf(kWhite));
}

}  // namespace

TMemoryBitmap::TMemoryBitmap(std::int32_t width, std::int32_t height, TFont font)
    : width_(width), height_(height), pixels_(WhitePixels(width, height)), font_(std::move(font)) {}

void TMemoryBitmap::FillRect(const TRect& rect, TColor color) {
  const std::int32_t left = std::max(rect.left, 0);
  const std::int32_t right = std::min(rect.right, width_);
  const std::int32_t top = std::max(rect.top, 0);
  const std::int32_t bottom = std::min(rect.bottom, height_);
  if (left >= right) return;
  const std::uint32_t pixel = PixelOf(color);
  for (std::int32_t y = top; y < bottom; ++y) {
    const auto row = pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_;
    std::fill(row + left, row + right, pixel);
  }
}

void TMemoryBitmap::TextOut(std::int32_t x, std::int32_t y, std::string_view text, TColor background) {
  const TSize extent = TextExtent(text);
  FillRect({x, y, x + extent.width, y + extent.height}, background);
  BuiltinTextInk(font_, x, y, text, [this](const TRect& rect) { FillRect(rect, font_.color); });
}

TSize TMemoryBitmap::TextExtent(std::string_view text) { return BuiltinTextExtent(font_, text); }

void TMemoryBitmap::SetSize(std::int32_t width, std::int32_t height) {
  std::vector<std::uint32_t> pixels = WhitePixels(width, height);
  const std::int32_t keepWidth = std::min(width, width_);
  for (std::int32_t y = 0; y < std::min(height, height_); ++y) {
    const auto from = pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_;
    std::copy(from, from + keepWidth, pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
  }
  pixels_ = std::move(pixels);
  width_ = width;
  height_ = height;
}

}  // namespace pavix::platform
