#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "Checksums.h"
#include "PngWriter.h"

namespace pavix {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(Checksums, KnownValues) {
  EXPECT_EQ(Crc32(Bytes("123456789")), 0xCBF43926u);
  EXPECT_EQ(Crc32(Bytes("6789"), Crc32(Bytes("12345"))), 0xCBF43926u);
  EXPECT_EQ(Crc32({}), 0u);
  EXPECT_EQ(Adler32(Bytes("Wikipedia")), 0x11E60398u);
  EXPECT_EQ(Adler32({}), 1u);
}

TEST(Checksums, AdlerOverLongInputKeepsItsSumsReduced) {
  // 0xFF bytes grow the sums fastest; reduce after every byte to compare.
  const std::vector<std::uint8_t> ones(100000, 0xFF);
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const std::uint8_t byte : ones) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  EXPECT_EQ(Adler32(ones), (b << 16) | a);
  EXPECT_EQ(Adler32(std::span(ones).subspan(60000), Adler32(std::span(ones).first(60000))), (b << 16) | a);
}

// Reads a PNG back: checks the signature and every chunk's CRC, and
// returns IHDR's fields and the zlib stream's stored data.
struct Decoded {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int colourType = -1;
  std::vector<std::uint8_t> raw;  // filter byte + pixels per row
  std::vector<std::string> chunks;
};

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

Decoded Decode(const std::string& png) {
  Decoded decoded;
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
  std::string zlib;
  for (std::size_t at = 8; at < png.size();) {
    const std::uint32_t length = BigEndian(png, at);
    const std::string type = png.substr(at + 4, 4);
    const std::string data = png.substr(at + 8, length);
    EXPECT_EQ(BigEndian(png, at + 8 + length), Crc32(Bytes(png).subspan(at + 4, length + 4))) << type;
    decoded.chunks.push_back(type);
    if (type == "IHDR") {
      decoded.width = BigEndian(data, 0);
      decoded.height = BigEndian(data, 4);
      EXPECT_EQ(data[8], 8);  // bit depth
      decoded.colourType = data[9];
    }
    if (type == "IDAT") zlib += data;
    at += 12 + length;
  }
  EXPECT_EQ((static_cast<unsigned char>(zlib[0]) << 8 | static_cast<unsigned char>(zlib[1])) % 31, 0);
  std::size_t at = 2;
  bool last = false;
  while (!last) {
    last = zlib[at] & 1;
    EXPECT_EQ(zlib[at] & 6, 0) << "stored block";
    const std::size_t length = static_cast<unsigned char>(zlib[at + 1]) | static_cast<unsigned char>(zlib[at + 2]) << 8;
    const std::size_t check = static_cast<unsigned char>(zlib[at + 3]) | static_cast<unsigned char>(zlib[at + 4]) << 8;
    EXPECT_EQ(length ^ 0xFFFF, check);
    decoded.raw.insert(decoded.raw.end(), zlib.begin() + static_cast<std::ptrdiff_t>(at + 5),
                       zlib.begin() + static_cast<std::ptrdiff_t>(at + 5 + length));
    at += 5 + length;
  }
  EXPECT_EQ(BigEndian(zlib, at), Adler32(decoded.raw));
  EXPECT_EQ(at + 4, zlib.size());
  return decoded;
}

TEST(EncodePng, GreyRowsEachWithFilterNone) {
  const std::vector<std::uint8_t> pixels{0, 255, 128, 1, 2, 3};
  const Decoded png = Decode(EncodePng(3, 2, PngPixels::Gray8, pixels));
  EXPECT_EQ(png.chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  EXPECT_EQ(png.width, 3u);
  EXPECT_EQ(png.height, 2u);
  EXPECT_EQ(png.colourType, 0);
  EXPECT_EQ(png.raw, (std::vector<std::uint8_t>{0, 0, 255, 128, 0, 1, 2, 3}));
}

TEST(EncodePng, RgbaAndImagesLargerThanOneStoredBlock) {
  const std::vector<std::uint8_t> rgba{1, 2, 3, 4, 5, 6, 7, 8};
  const Decoded small = Decode(EncodePng(1, 2, PngPixels::Rgba8, rgba));
  EXPECT_EQ(small.colourType, 6);
  EXPECT_EQ(small.raw, (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 0, 5, 6, 7, 8}));

  std::vector<std::uint8_t> pixels(400 * 300);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7);
  const Decoded large = Decode(EncodePng(400, 300, PngPixels::Gray8, pixels));
  ASSERT_EQ(large.raw.size(), 401u * 300u);
  for (std::size_t row = 0; row < 300; ++row) {
    ASSERT_EQ(large.raw[row * 401], 0);
    ASSERT_EQ(std::memcmp(&large.raw[row * 401 + 1], &pixels[row * 400], 400), 0) << row;
  }
}

TEST(EncodePng, SizesMustMatchThePixels) {
  const std::vector<std::uint8_t> six(6);
  EXPECT_THROW(EncodePng(4, 2, PngPixels::Gray8, six), std::invalid_argument);
  EXPECT_THROW(EncodePng(3, 1, PngPixels::Gray8, six), std::invalid_argument);
  EXPECT_THROW(EncodePng(1, 2, PngPixels::Rgba8, six), std::invalid_argument);
  EXPECT_THROW(EncodePng(0, 0, PngPixels::Gray8, {}), std::invalid_argument);
}

}  // namespace
}  // namespace pavix
