#pragma once

#include <cstdint>

// Names and limits shared by the QR encoder's steps.
namespace pavix::qr {

// One symbol; structured append of 2..16 symbols; 2..1024 independent symbols.
enum class TQRMode : std::int32_t { qrSingle, qrConnect, qrPlus };

// Encoding modes, numbered as the Emode property numbers them.
inline constexpr std::int32_t kModeNone = -1;  // automatic choice, or no segment written
inline constexpr std::int32_t kModeNumeric = 0;
inline constexpr std::int32_t kModeAlphanumeric = 1;
inline constexpr std::int32_t kModeByte = 2;
inline constexpr std::int32_t kModeKanji = 3;

inline constexpr std::int32_t kMaskAutomatic = -1;

inline constexpr std::int32_t kMinVersion = 1;
inline constexpr std::int32_t kMaxVersion = 40;
inline constexpr std::int32_t kMaxModules = 177;         // version 40
inline constexpr std::int32_t kMaxSymbols = 1024;
inline constexpr std::int32_t kMaxPieceBytes = 7089;     // numeric capacity of 40-L
inline constexpr std::int32_t kMaxDataCodewords = 2956;  // 40-L
inline constexpr std::int32_t kMaxCodewords = 3706;      // version 40
inline constexpr std::int32_t kMaxEcCodewords = 2430;    // 40-H
inline constexpr std::int32_t kMaxBlockData = 123;
inline constexpr std::int32_t kMaxBlockEc = 30;
inline constexpr std::int32_t kMaxBlocks = 81;  // 40-H

}  // namespace pavix::qr
