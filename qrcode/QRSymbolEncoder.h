#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "QRBitStream.h"
#include "QRMatrix.h"

// One symbol from one piece of data: the data codewords, then error
// correction, interleaving, function patterns, placement, masking, format
// and version information. All buffers are members, sized for version 40,
// so encoding allocates nothing.
namespace pavix::qr {

class TQRSymbolEncoder {
 public:
  // The masktype actually used (MasktypeR), or nothing when the piece cannot
  // be encoded: too long for the version and level, or a character the
  // fixed mode cannot carry. `emodeR` as for EncodePiece.
  std::optional<std::int32_t> Encode(std::string_view piece, const TEncodeSettings& settings,
                                     const TSymbolPosition& position, std::int32_t& emodeR);

  const TModuleMatrix& Matrix() const { return matrix_; }

  // The codewords of the last symbol encoded.
  std::span<const std::uint8_t> DataCodewords() const { return {data_.data(), dataLength_}; }
  std::span<const std::uint8_t> EcCodewords() const { return {ec_.data(), ecLength_}; }
  std::span<const std::uint8_t> FinalCodewords() const { return {final_.data(), dataLength_ + ecLength_}; }

 private:
  TDataCodewords data_{};
  std::array<std::uint8_t, kMaxEcCodewords> ec_{};
  std::array<std::uint8_t, kMaxCodewords> final_{};
  std::size_t dataLength_ = 0;
  std::size_t ecLength_ = 0;
  TModuleMatrix matrix_;
};

}  // namespace pavix::qr
