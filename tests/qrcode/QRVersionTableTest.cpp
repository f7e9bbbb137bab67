#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "QRVersionTable.h"

namespace pavix::qr {
namespace {

std::vector<std::int32_t> Alignment(const TVersionInfo& info) {
  return {info.alignment.begin(), info.alignment.begin() + info.alignmentCount};
}

TEST(VersionTable, TheEntriesThePairingCodeUses) {
  const TVersionInfo& v8 = VersionInfo(8);
  EXPECT_EQ(v8.modules, 49);
  EXPECT_EQ(v8.totalCodewords, 242);
  EXPECT_EQ(v8.remainderBits, 0);
  EXPECT_EQ(v8.countWidth, (std::array<std::int32_t, 4>{10, 9, 8, 8}));
  const TEcLevelInfo& l = v8.levels[0];
  EXPECT_EQ(l.dataCodewords, 194);
  EXPECT_EQ(l.capacity, (std::array<std::int32_t, 4>{461, 279, 192, 118}));
  ASSERT_EQ(l.blockKinds, 1);
  EXPECT_EQ(l.kinds[0].blocks, 2);
  EXPECT_EQ(l.kinds[0].totalCodewords, 121);
  EXPECT_EQ(l.kinds[0].dataCodewords, 97);
  EXPECT_EQ(Alignment(v8), (std::vector<std::int32_t>{6, 24, 42}));
}

TEST(VersionTable, FiguresFromTheStandard) {
  EXPECT_EQ(VersionInfo(1).modules, 21);
  EXPECT_EQ(VersionInfo(40).modules, 177);
  EXPECT_TRUE(Alignment(VersionInfo(1)).empty());
  EXPECT_EQ(Alignment(VersionInfo(2)), (std::vector<std::int32_t>{6, 18}));
  EXPECT_EQ(Alignment(VersionInfo(32)), (std::vector<std::int32_t>{6, 34, 60, 86, 112, 138}));
  EXPECT_EQ(Alignment(VersionInfo(36)), (std::vector<std::int32_t>{6, 24, 50, 76, 102, 128, 154}));
  EXPECT_EQ(VersionInfo(9).countWidth, (std::array<std::int32_t, 4>{10, 9, 8, 8}));
  EXPECT_EQ(VersionInfo(10).countWidth, (std::array<std::int32_t, 4>{12, 11, 16, 10}));
  EXPECT_EQ(VersionInfo(26).countWidth, (std::array<std::int32_t, 4>{12, 11, 16, 10}));
  EXPECT_EQ(VersionInfo(27).countWidth, (std::array<std::int32_t, 4>{14, 13, 16, 12}));
  // 5-Q: 2 × (33, 15, 9) and 2 × (34, 16, 9).
  const TEcLevelInfo& q5 = VersionInfo(5).levels[2];
  ASSERT_EQ(q5.blockKinds, 2);
  EXPECT_EQ(q5.kinds[0].blocks, 2);
  EXPECT_EQ(q5.kinds[0].totalCodewords, 33);
  EXPECT_EQ(q5.kinds[0].dataCodewords, 15);
  EXPECT_EQ(q5.kinds[0].correctableErrors, 9);
  EXPECT_EQ(q5.kinds[1].blocks, 2);
  EXPECT_EQ(q5.kinds[1].totalCodewords, 34);
  EXPECT_EQ(q5.kinds[1].dataCodewords, 16);
  // 1-L keeps three codewords for misdecode protection: 7 EC codewords correct 2 errors.
  EXPECT_EQ(VersionInfo(1).levels[0].kinds[0].correctableErrors, 2);
  EXPECT_EQ(VersionInfo(40).levels[3].capacity, (std::array<std::int32_t, 4>{3057, 1852, 1273, 784}));
  EXPECT_EQ(VersionInfo(27).levels[0].capacity, (std::array<std::int32_t, 4>{3517, 2132, 1465, 902}));
}

TEST(VersionTable, OnlyVersionsOneToForty) {
  EXPECT_THROW(VersionInfo(0), std::out_of_range);
  EXPECT_THROW(VersionInfo(41), std::out_of_range);
  EXPECT_EQ(VersionInfo(40).version, 40);
}

}  // namespace
}  // namespace pavix::qr
