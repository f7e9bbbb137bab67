#pragma once

#include <vector>

#include "Graphics.h"

// A 32-bit bitmap in memory, drawn in the built-in font.
namespace pavix::platform {

class TMemoryBitmap final : public IBitmap {
 public:
  TMemoryBitmap(std::int32_t width, std::int32_t height, TFont font);

  const TFont& Font() const override { return font_; }
  void SetFont(const TFont& font) override { font_ = font; }
  void FillRect(const TRect& rect, TColor color) override;
  void TextOut(std::int32_t x, std::int32_t y, std::string_view text, TColor background) override;
  TSize TextExtent(std::string_view text) override;

  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  void SetSize(std::int32_t width, std::int32_t height) override;
  std::span<std::uint32_t> Pixels() override { return pixels_; }
  std::span<const std::uint32_t> Pixels() const override { return pixels_; }

 private:
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<std::uint32_t> pixels_;
  TFont font_;
};

}  // namespace pavix::platform
