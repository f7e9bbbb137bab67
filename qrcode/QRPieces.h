#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "QRTypes.h"

// Dividing the data among several symbols, and the checks made before any of
// them is drawn.
namespace pavix::qr {

// Piece k (1-based) is data bytes offset[k-1] up to, not including, offset[k].
struct TPieceLayout {
  TQRMode mode = TQRMode::qrSingle;
  std::int32_t count = 1;
  std::array<std::int32_t, kMaxSymbols + 1> offset{};
};

// `layout.count` and `layout.mode` are the host's requests; they become the
// numbers of pieces actually made and the mode that suits them. Boundaries
// are equal steps, moved off the middle of a double-byte character of the
// system code page.
void SplitData(std::string_view data, TPieceLayout& layout);

// Raises pavix::Exception "Illegal <item> : <value>" for the first item out
// of order (data length, Count, Mode, Column, an Offset entry). Otherwise
// returns the structured-append parity to store (the XOR of all data) in
// qrConnect mode, nothing in the others.
std::optional<std::uint8_t> CheckParameters(std::string_view data, const TPieceLayout& layout, std::int32_t column);

}  // namespace pavix::qr
