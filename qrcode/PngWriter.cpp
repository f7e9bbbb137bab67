#include "PngWriter.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "Checksums.h"

namespace pavix {

namespace {

void PutBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::string& file, std::string_view type, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> chunk;
  chunk.reserve(data.size() + 12);
  PutBigEndian32(chunk, static_cast<std::uint32_t>(data.size()));
  chunk.insert(chunk.end(), type.begin(), type.end());
  chunk.insert(chunk.end(), data.begin(), data.end());
  // The CRC covers the type and the data, not the length.
  PutBigEndian32(chunk, Crc32(std::span(chunk).subspan(4)));
  file.append(chunk.begin(), chunk.end());
}

// A zlib stream of stored deflate blocks (at most 65535 bytes each).
std::vector<std::uint8_t> ZlibStored(const std::vector<std::uint8_t>& raw) {
  constexpr std::size_t kMaxBlock = 65535;
  std::vector<std::uint8_t> out{0x78, 0x01};  // deflate, 32 KiB window, no dictionary; header check ok
  std::size_t at = 0;
  do {
    const std::size_t length = std::min(kMaxBlock, raw.size() - at);
    const bool last = at + length == raw.size();
    out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(~length & 0xFF));
    out.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFF));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < raw.size());
  PutBigEndian32(out, Adler32(raw));
  return out;
}

}  // namespace

std::string EncodePng(std::uint32_t width, std::uint32_t height, PngPixels format,
                      std::span<const std::uint8_t> pixels) {
  const std::uint64_t channels = format == PngPixels::Gray8 ? 1 : 4;
  // PNG allows at most 2^31 - 1 pixels a side; 64 bits keep the row size exact.
  const std::uint64_t rowBytes64 = std::uint64_t{width} * channels;
  if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF || pixels.size() % rowBytes64 != 0 ||
      pixels.size() / rowBytes64 != height) {
    throw std::invalid_argument("PNG size does not match the pixels");
  }
  const auto rowBytes = static_cast<std::size_t>(rowBytes64);
  std::string file("\x89PNG\r\n\x1A\n", 8);

  std::vector<std::uint8_t> header;
  PutBigEndian32(header, width);
  PutBigEndian32(header, height);
  // Bit depth 8; colour type 0 (grey) or 6 (RGBA); deflate; no filter; no interlace.
  header.insert(header.end(), {8, static_cast<std::uint8_t>(format == PngPixels::Gray8 ? 0 : 6), 0, 0, 0});
  PutChunk(file, "IHDR", header);

  std::vector<std::uint8_t> raw;
  raw.reserve((rowBytes + 1) * height);
  for (std::size_t row = 0; row < height; ++row) {
    raw.push_back(0);  // filter type None
    const auto begin = pixels.begin() + static_cast<std::ptrdiff_t>(row * rowBytes);
    raw.insert(raw.end(), begin, begin + static_cast<std::ptrdiff_t>(rowBytes));
  }
  PutChunk(file, "IDAT", ZlibStored(raw));
  PutChunk(file, "IEND", {});
  return file;
}

}  // namespace pavix
