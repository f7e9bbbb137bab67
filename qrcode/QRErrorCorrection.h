#pragma once

#include <cstdint>
#include <span>

#include "QRVersionTable.h"

// Reed-Solomon error correction over GF(256) with the polynomial 0x11D, and
// the interleaving of the blocks into the final codeword sequence.
namespace pavix::qr {

// The `ec.size()` (at most 30) error correction codewords of one block.
void BlockErrorCorrection(std::span<const std::uint8_t> data, std::span<std::uint8_t> ec);

// Every block's error correction codewords, block after block, for the
// level's data codewords.
void MakeErrorCorrection(const TEcLevelInfo& level, std::span<const std::uint8_t> data, std::span<std::uint8_t> ec);

// Data codewords column by column across the blocks, then error correction
// codewords likewise: the order in which they are placed in the symbol.
void InterleaveCodewords(const TEcLevelInfo& level, std::span<const std::uint8_t> data,
                         std::span<const std::uint8_t> ec, std::span<std::uint8_t> sequence);

}  // namespace pavix::qr
