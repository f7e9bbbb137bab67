#pragma once

#include <cstdint>
#include <span>

// The checksums of the PNG format: CRC-32 over each chunk, Adler-32 over the
// zlib stream. `previous` continues a checksum over several spans.
namespace pavix {

std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t previous = 0);
std::uint32_t Adler32(std::span<const std::uint8_t> bytes, std::uint32_t previous = 1);

}  // namespace pavix
