#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "QRErrorCorrection.h"
#include "QRSymbolEncoder.h"

namespace pavix::qr {
namespace {

using Codewords = std::vector<int>;

Codewords Of(std::span<const std::uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

TEST(ErrorCorrection, StandardExamples) {
  TQRSymbolEncoder encoder;
  std::int32_t emodeR = kModeNone;
  ASSERT_TRUE(encoder.Encode("01234567", {.version = 1, .eclevel = 1, .usejis = true}, {}, emodeR));
  EXPECT_EQ(Of(encoder.EcCodewords()), (Codewords{165, 36, 212, 193, 237, 54, 199, 135, 44, 85}));

  ASSERT_TRUE(encoder.Encode("HELLO WORLD", {.version = 1, .eclevel = 2, .usejis = true}, {}, emodeR));
  EXPECT_EQ(Of(encoder.EcCodewords()), (Codewords{168, 72, 22, 82, 217, 54, 156, 0, 46, 15, 180, 122, 16}));
  // One block: data then error correction, unchanged by interleaving.
  EXPECT_EQ(Of(encoder.FinalCodewords()), (Codewords{32, 91, 11, 120, 209, 114, 220, 77, 67, 64, 236, 17, 236,
                                                     168, 72, 22, 82, 217, 54, 156, 0, 46, 15, 180, 122, 16}));
}

TEST(ErrorCorrection, EachBlockIsDividedOnItsOwn) {
  // 5-Q: two blocks of 15 data codewords, then two of 16; 18 error
  // correction codewords each.
  const TEcLevelInfo& level = VersionInfo(5).levels[2];
  std::vector<std::uint8_t> data(62);
  std::iota(data.begin(), data.end(), std::uint8_t{1});
  std::vector<std::uint8_t> ec(4 * 18);
  MakeErrorCorrection(level, data, ec);
  const std::size_t starts[] = {0, 15, 30, 46};
  const std::size_t lengths[] = {15, 15, 16, 16};
  for (std::size_t b = 0; b < 4; ++b) {
    std::vector<std::uint8_t> alone(18);
    BlockErrorCorrection(std::span(data).subspan(starts[b], lengths[b]), alone);
    EXPECT_EQ(std::vector<std::uint8_t>(ec.begin() + 18 * b, ec.begin() + 18 * (b + 1)), alone) << "block " << b;
  }
}

TEST(ErrorCorrection, InterleavingTakesColumnsAcrossBlocks) {
  const TEcLevelInfo& level = VersionInfo(5).levels[2];
  std::vector<std::uint8_t> data(62);
  std::iota(data.begin(), data.end(), std::uint8_t{0});
  std::vector<std::uint8_t> ec(4 * 18);
  for (std::size_t b = 0; b < 4; ++b) {
    for (std::size_t j = 0; j < 18; ++j) ec[18 * b + j] = static_cast<std::uint8_t>(100 + 20 * b + j);
  }
  std::vector<std::uint8_t> sequence(134);
  InterleaveCodewords(level, data, ec, sequence);
  const Codewords head(sequence.begin(), sequence.begin() + 8);
  EXPECT_EQ(head, (Codewords{0, 15, 30, 46, 1, 16, 31, 47}));
  // Only the longer blocks have a sixteenth data codeword.
  const Codewords dataTail(sequence.begin() + 56, sequence.begin() + 62);
  EXPECT_EQ(dataTail, (Codewords{14, 29, 44, 60, 45, 61}));
  const Codewords ecHead(sequence.begin() + 62, sequence.begin() + 66);
  EXPECT_EQ(ecHead, (Codewords{100, 120, 140, 160}));
  EXPECT_EQ(sequence.back(), 160 + 17);
}

}  // namespace
}  // namespace pavix::qr
