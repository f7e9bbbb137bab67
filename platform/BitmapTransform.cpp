#include "BitmapTransform.h"

#include <algorithm>
#include <vector>

namespace pavix::platform {

void RotateClockwise(IBitmap& bitmap, std::int32_t angle) {
  if (angle != 90 && angle != 180 && angle != 270) return;
  const std::int32_t w = bitmap.Width();
  const std::int32_t h = bitmap.Height();
  const std::vector<std::uint32_t> old(bitmap.Pixels().begin(), bitmap.Pixels().end());
  auto at = [&old, w](std::int32_t x, std::int32_t y) { return old[static_cast<std::size_t>(y) * w + x]; };
  const std::int32_t newWidth = angle == 180 ? w : h;
  const std::int32_t newHeight = angle == 180 ? h : w;
  bitmap.SetSize(newWidth, newHeight);
  std::span<std::uint32_t> pixels = bitmap.Pixels();
  for (std::int32_t y = 0; y < newHeight; ++y) {
    for (std::int32_t x = 0; x < newWidth; ++x) {
      std::uint32_t& pixel = pixels[static_cast<std::size_t>(y) * newWidth + x];
      if (angle == 90) {
        pixel = at(y, h - 1 - x);
      } else if (angle == 180) {
        pixel = at(w - 1 - x, h - 1 - y);
      } else {
        pixel = at(w - 1 - y, x);
      }
    }
  }
}

void MirrorLeftRight(IBitmap& bitmap) {
  const auto w = static_cast<std::size_t>(bitmap.Width());
  std::span<std::uint32_t> pixels = bitmap.Pixels();
  for (std::size_t row = 0; w > 0 && row < pixels.size() / w; ++row) {
    std::reverse(pixels.begin() + static_cast<std::ptrdiff_t>(row * w),
                 pixels.begin() + static_cast<std::ptrdiff_t>((row + 1) * w));
  }
}

void StretchDraw(const IBitmap& source, IBitmap& target) {
  const std::int64_t sw = source.Width();
  const std::int64_t sh = source.Height();
  const std::int64_t tw = target.Width();
  const std::int64_t th = target.Height();
  if (sw <= 0 || sh <= 0) return;
  std::span<const std::uint32_t> from = source.Pixels();
  std::span<std::uint32_t> to = target.Pixels();
  for (std::int64_t y = 0; y < th; ++y) {
    const std::int64_t sy = y * sh / th;
    for (std::int64_t x = 0; x < tw; ++x) {
      to[static_cast<std::size_t>(y * tw + x)] = from[static_cast<std::size_t>(sy * sw + x * sw / tw)];
    }
  }
}

}  // namespace pavix::platform
