#include <gtest/gtest.h>

#include "QRSymbolEncoder.h"
#include "SymbolImage.h"

namespace pavix::qr {
namespace {

TEST(RenderSymbol, QuietZoneAndMagnification) {
  TQRSymbolEncoder encoder;
  std::int32_t emodeR = kModeNone;
  ASSERT_TRUE(encoder.Encode(std::string(176, 'P'), {.version = 8, .eclevel = 0}, {}, emodeR));

  const TGrayImage one = RenderSymbol(encoder.Matrix(), 1);
  EXPECT_EQ(one.width, 57u);
  EXPECT_EQ(one.height, 57u);
  std::size_t firstDark = 0;
  while (one.pixels[firstDark] != 0) ++firstDark;
  EXPECT_EQ(firstDark % 57, 4u);
  EXPECT_EQ(firstDark / 57, 4u);

  // Magnification 4: a 16-pixel white quiet zone; the finder's corner module
  // is a black 4 × 4 square, the separator beside it white.
  const TGrayImage four = RenderSymbol(encoder.Matrix(), 4);
  ASSERT_EQ(four.width, 57u * 4);
  ASSERT_EQ(four.height, 57u * 4);
  auto pixel = [&four](std::uint32_t x, std::uint32_t y) { return four.pixels[y * four.width + x]; };
  for (std::uint32_t i = 0; i < four.width; ++i) {
    for (const std::uint32_t edge : {0u, 15u, 16u + 49 * 4, four.width - 1}) {
      ASSERT_EQ(pixel(i, edge), 255) << i << "," << edge;
      ASSERT_EQ(pixel(edge, i), 255) << edge << "," << i;
    }
  }
  for (std::uint32_t d = 0; d < 4; ++d) {
    EXPECT_EQ(pixel(16 + d, 16), 0);
    EXPECT_EQ(pixel(16, 16 + d), 0);
    EXPECT_EQ(pixel(16 + 7 * 4 + d, 16 + 7 * 4), 255);
  }
  EXPECT_THROW(RenderSymbol(encoder.Matrix(), 0), std::invalid_argument);
}

}  // namespace
}  // namespace pavix::qr
