// The version table: the block structure and the alignment pattern
// coordinates are written out as the standard gives them; everything else is
// derived from them, and the written rows are checked against the symbol
// geometry when this file compiles.
#include "QRVersionTable.h"

#include <stdexcept>

namespace pavix::qr {

namespace {

// Blocks per level as the standard writes them: count × (total codewords c,
// data codewords k, correctable errors r), then the optional second kind.
// Rows: version, then levels L, M / Q, H, then alignment coordinates.
struct BlockRow {
  std::int32_t blocks1, total1, data1, correctable, blocks2 = 0, total2 = 0, data2 = 0;
};

struct VersionRow {
  std::int32_t version;
  BlockRow levels[4];  // L, M, Q, H
  std::int32_t alignment[7];
};

constexpr VersionRow kRows[kMaxVersion] = {
    {1,
     {{1, 26, 19, 2}, {1, 26, 16, 4},
      {1, 26, 13, 6}, {1, 26, 9, 8}},
     {}},
    {2,
     {{1, 44, 34, 4}, {1, 44, 28, 8},
      {1, 44, 22, 11}, {1, 44, 16, 14}},
     {6, 18}},
    {3,
     {{1, 70, 55, 7}, {1, 70, 44, 13},
      {2, 35, 17, 9}, {2, 35, 13, 11}},
     {6, 22}},
    {4,
     {{1, 100, 80, 10}, {2, 50, 32, 9},
      {2, 50, 24, 13}, {4, 25, 9, 8}},
     {6, 26}},
    {5,
     {{1, 134, 108, 13}, {2, 67, 43, 12},
      {2, 33, 15, 9, 2, 34, 16}, {2, 33, 11, 11, 2, 34, 12}},
     {6, 30}},
    {6,
     {{2, 86, 68, 9}, {4, 43, 27, 8},
      {4, 43, 19, 12}, {4, 43, 15, 14}},
     {6, 34}},
    {7,
     {{2, 98, 78, 10}, {4, 49, 31, 9},
      {2, 32, 14, 9, 4, 33, 15}, {4, 39, 13, 13, 1, 40, 14}},
     {6, 22, 38}},
    {8,
     {{2, 121, 97, 12}, {2, 60, 38, 11, 2, 61, 39},
      {4, 40, 18, 11, 2, 41, 19}, {4, 40, 14, 13, 2, 41, 15}},
     {6, 24, 42}},
    {9,
     {{2, 146, 116, 15}, {3, 58, 36, 11, 2, 59, 37},
      {4, 36, 16, 10, 4, 37, 17}, {4, 36, 12, 12, 4, 37, 13}},
     {6, 26, 46}},
    {10,
     {{2, 86, 68, 9, 2, 87, 69}, {4, 69, 43, 13, 1, 70, 44},
      {6, 43, 19, 12, 2, 44, 20}, {6, 43, 15, 14, 2, 44, 16}},
     {6, 28, 50}},
    {11,
     {{4, 101, 81, 10}, {1, 80, 50, 15, 4, 81, 51},
      {4, 50, 22, 14, 4, 51, 23}, {3, 36, 12, 12, 8, 37, 13}},
     {6, 30, 54}},
    {12,
     {{2, 116, 92, 12, 2, 117, 93}, {6, 58, 36, 11, 2, 59, 37},
      {4, 46, 20, 13, 6, 47, 21}, {7, 42, 14, 14, 4, 43, 15}},
     {6, 32, 58}},
    {13,
     {{4, 133, 107, 13}, {8, 59, 37, 11, 1, 60, 38},
      {8, 44, 20, 12, 4, 45, 21}, {12, 33, 11, 11, 4, 34, 12}},
     {6, 34, 62}},
    {14,
     {{3, 145, 115, 15, 1, 146, 116}, {4, 64, 40, 12, 5, 65, 41},
      {11, 36, 16, 10, 5, 37, 17}, {11, 36, 12, 12, 5, 37, 13}},
     {6, 26, 46, 66}},
    {15,
     {{5, 109, 87, 11, 1, 110, 88}, {5, 65, 41, 12, 5, 66, 42},
      {5, 54, 24, 15, 7, 55, 25}, {11, 36, 12, 12, 7, 37, 13}},
     {6, 26, 48, 70}},
    {16,
     {{5, 122, 98, 12, 1, 123, 99}, {7, 73, 45, 14, 3, 74, 46},
      {15, 43, 19, 12, 2, 44, 20}, {3, 45, 15, 15, 13, 46, 16}},
     {6, 26, 50, 74}},
    {17,
     {{1, 135, 107, 14, 5, 136, 108}, {10, 74, 46, 14, 1, 75, 47},
      {1, 50, 22, 14, 15, 51, 23}, {2, 42, 14, 14, 17, 43, 15}},
     {6, 30, 54, 78}},
    {18,
     {{5, 150, 120, 15, 1, 151, 121}, {9, 69, 43, 13, 4, 70, 44},
      {17, 50, 22, 14, 1, 51, 23}, {2, 42, 14, 14, 19, 43, 15}},
     {6, 30, 56, 82}},
    {19,
     {{3, 141, 113, 14, 4, 142, 114}, {3, 70, 44, 13, 11, 71, 45},
      {17, 47, 21, 13, 4, 48, 22}, {9, 39, 13, 13, 16, 40, 14}},
     {6, 30, 58, 86}},
    {20,
     {{3, 135, 107, 14, 5, 136, 108}, {3, 67, 41, 13, 13, 68, 42},
      {15, 54, 24, 15, 5, 55, 25}, {15, 43, 15, 14, 10, 44, 16}},
     {6, 34, 62, 90}},
    {21,
     {{4, 144, 116, 14, 4, 145, 117}, {17, 68, 42, 13},
      {17, 50, 22, 14, 6, 51, 23}, {19, 46, 16, 15, 6, 47, 17}},
     {6, 28, 50, 72, 94}},
    {22,
     {{2, 139, 111, 14, 7, 140, 112}, {17, 74, 46, 14},
      {7, 54, 24, 15, 16, 55, 25}, {34, 37, 13, 12}},
     {6, 26, 50, 74, 98}},
    {23,
     {{4, 151, 121, 15, 5, 152, 122}, {4, 75, 47, 14, 14, 76, 48},
      {11, 54, 24, 15, 14, 55, 25}, {16, 45, 15, 15, 14, 46, 16}},
     {6, 30, 54, 78, 102}},
    {24,
     {{6, 147, 117, 15, 4, 148, 118}, {6, 73, 45, 14, 14, 74, 46},
      {11, 54, 24, 15, 16, 55, 25}, {30, 46, 16, 15, 2, 47, 17}},
     {6, 28, 54, 80, 106}},
    {25,
     {{8, 132, 106, 13, 4, 133, 107}, {8, 75, 47, 14, 13, 76, 48},
      {7, 54, 24, 15, 22, 55, 25}, {22, 45, 15, 15, 13, 46, 16}},
     {6, 32, 58, 84, 110}},
    {26,
     {{10, 142, 114, 14, 2, 143, 115}, {19, 74, 46, 14, 4, 75, 47},
      {28, 50, 22, 14, 6, 51, 23}, {33, 46, 16, 15, 4, 47, 17}},
     {6, 30, 58, 86, 114}},
    {27,
     {{8, 152, 122, 15, 4, 153, 123}, {22, 73, 45, 14, 3, 74, 46},
      {8, 53, 23, 15, 26, 54, 24}, {12, 45, 15, 15, 28, 46, 16}},
     {6, 34, 62, 90, 118}},
    {28,
     {{3, 147, 117, 15, 10, 148, 118}, {3, 73, 45, 14, 23, 74, 46},
      {4, 54, 24, 15, 31, 55, 25}, {11, 45, 15, 15, 31, 46, 16}},
     {6, 26, 50, 74, 98, 122}},
    {29,
     {{7, 146, 116, 15, 7, 147, 117}, {21, 73, 45, 14, 7, 74, 46},
      {1, 53, 23, 15, 37, 54, 24}, {19, 45, 15, 15, 26, 46, 16}},
     {6, 30, 54, 78, 102, 126}},
    {30,
     {{5, 145, 115, 15, 10, 146, 116}, {19, 75, 47, 14, 10, 76, 48},
      {15, 54, 24, 15, 25, 55, 25}, {23, 45, 15, 15, 25, 46, 16}},
     {6, 26, 52, 78, 104, 130}},
    {31,
     {{13, 145, 115, 15, 3, 146, 116}, {2, 74, 46, 14, 29, 75, 47},
      {42, 54, 24, 15, 1, 55, 25}, {23, 45, 15, 15, 28, 46, 16}},
     {6, 30, 56, 82, 108, 134}},
    {32,
     {{17, 145, 115, 15}, {10, 74, 46, 14, 23, 75, 47},
      {10, 54, 24, 15, 35, 55, 25}, {19, 45, 15, 15, 35, 46, 16}},
     {6, 34, 60, 86, 112, 138}},
    {33,
     {{17, 145, 115, 15, 1, 146, 116}, {14, 74, 46, 14, 21, 75, 47},
      {29, 54, 24, 15, 19, 55, 25}, {11, 45, 15, 15, 46, 46, 16}},
     {6, 30, 58, 86, 114, 142}},
    {34,
     {{13, 145, 115, 15, 6, 146, 116}, {14, 74, 46, 14, 23, 75, 47},
      {44, 54, 24, 15, 7, 55, 25}, {59, 46, 16, 15, 1, 47, 17}},
     {6, 34, 62, 90, 118, 146}},
    {35,
     {{12, 151, 121, 15, 7, 152, 122}, {12, 75, 47, 14, 26, 76, 48},
      {39, 54, 24, 15, 14, 55, 25}, {22, 45, 15, 15, 41, 46, 16}},
     {6, 30, 54, 78, 102, 126, 150}},
    {36,
     {{6, 151, 121, 15, 14, 152, 122}, {6, 75, 47, 14, 34, 76, 48},
      {46, 54, 24, 15, 10, 55, 25}, {2, 45, 15, 15, 64, 46, 16}},
     {6, 24, 50, 76, 102, 128, 154}},
    {37,
     {{17, 152, 122, 15, 4, 153, 123}, {29, 74, 46, 14, 14, 75, 47},
      {49, 54, 24, 15, 10, 55, 25}, {24, 45, 15, 15, 46, 46, 16}},
     {6, 28, 54, 80, 106, 132, 158}},
    {38,
     {{4, 152, 122, 15, 18, 153, 123}, {13, 74, 46, 14, 32, 75, 47},
      {48, 54, 24, 15, 14, 55, 25}, {42, 45, 15, 15, 32, 46, 16}},
     {6, 32, 58, 84, 110, 136, 162}},
    {39,
     {{20, 147, 117, 15, 4, 148, 118}, {40, 75, 47, 14, 7, 76, 48},
      {43, 54, 24, 15, 22, 55, 25}, {10, 45, 15, 15, 67, 46, 16}},
     {6, 26, 54, 82, 110, 138, 166}},
    {40,
     {{19, 148, 118, 15, 6, 149, 119}, {18, 75, 47, 14, 31, 76, 48},
      {34, 54, 24, 15, 34, 55, 25}, {20, 45, 15, 15, 61, 46, 16}},
     {6, 30, 58, 86, 114, 142, 170}},
};

constexpr std::int32_t CountWidth(std::int32_t version, std::int32_t mode) {
  constexpr std::int32_t widths[3][4] = {{10, 9, 8, 8}, {12, 11, 16, 10}, {14, 13, 16, 12}};
  return widths[version <= 9 ? 0 : version <= 26 ? 1 : 2][mode];
}

constexpr std::int32_t AlignmentCount(const VersionRow& row) {
  std::int32_t count = 0;
  while (count < 7 && row.alignment[count] != 0) ++count;
  return count;
}

// Modules left for codewords once every function pattern is placed.
constexpr std::int32_t DataModules(const VersionRow& row) {
  const std::int32_t n = 17 + 4 * row.version;
  const std::int32_t k = AlignmentCount(row);
  std::int32_t modules = n * n - 3 * 64 - 2 * (n - 16) - 31;  // finders with separators, timing, format
  if (k > 0) modules -= 25 * (k * k - 3) - 2 * 5 * (k - 2);  // patterns on the timing lines share 5 modules
  if (row.version >= 7) modules -= 36;
  return modules;
}

// The most characters of one mode that one segment can carry in `bits`.
constexpr std::int32_t Capacity(std::int32_t version, std::int32_t mode, std::int32_t bits) {
  const std::int32_t available = bits - 4 - CountWidth(version, mode);
  switch (mode) {
    case kModeNumeric: {
      const std::int32_t n = available / 10 * 3;
      const std::int32_t rest = available % 10;
      return n + (rest >= 7 ? 2 : rest >= 4 ? 1 : 0);
    }
    case kModeAlphanumeric:
      return available / 11 * 2 + (available % 11 >= 6 ? 1 : 0);
    case kModeByte:
      return available / 8;
    default:
      return available / 13;
  }
}

constexpr TVersionInfo Build(const VersionRow& row) {
  TVersionInfo info;
  info.version = row.version;
  info.modules = 17 + 4 * row.version;
  info.totalCodewords = DataModules(row) / 8;
  info.remainderBits = DataModules(row) % 8;
  for (std::int32_t mode = 0; mode < 4; ++mode) info.countWidth[mode] = CountWidth(row.version, mode);
  for (std::size_t l = 0; l < 4; ++l) {
    const BlockRow& b = row.levels[l];
    TEcLevelInfo& level = info.levels[l];
    level.blockKinds = b.blocks2 > 0 ? 2 : 1;
    level.kinds[0] = {b.blocks1, b.total1, b.data1, b.correctable};
    if (b.blocks2 > 0) level.kinds[1] = {b.blocks2, b.total2, b.data2, b.correctable};
    level.dataCodewords = b.blocks1 * b.data1 + b.blocks2 * b.data2;
    for (std::int32_t mode = 0; mode < 4; ++mode) {
      level.capacity[mode] = Capacity(row.version, mode, 8 * level.dataCodewords);
    }
  }
  info.alignmentCount = AlignmentCount(row);
  for (std::size_t i = 0; i < info.alignment.size(); ++i) info.alignment[i] = row.alignment[i];
  return info;
}

constexpr std::array<TVersionInfo, kMaxVersion> BuildTable() {
  std::array<TVersionInfo, kMaxVersion> table{};
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = Build(kRows[i]);
  return table;
}

constexpr std::array<TVersionInfo, kMaxVersion> kTable = BuildTable();

// A mistyped row shows as codewords that do not fill the symbol, blocks of
// unequal error correction, or alignment patterns off their grid.
constexpr bool RowsAgreeWithGeometry() {
  for (std::int32_t i = 0; i < kMaxVersion; ++i) {
    const VersionRow& row = kRows[i];
    const TVersionInfo& info = kTable[i];
    if (row.version != i + 1) return false;
    for (const BlockRow& b : row.levels) {
      if (b.blocks1 * b.total1 + b.blocks2 * b.total2 != info.totalCodewords) return false;
      if (b.blocks1 + b.blocks2 > kMaxBlocks) return false;
      const std::int32_t ec = b.total1 - b.data1;
      if (ec > kMaxBlockEc || ec < 2 * b.correctable || b.data1 > kMaxBlockData) return false;
      if (b.blocks2 > 0 && (b.total2 - b.data2 != ec || b.data2 != b.data1 + 1 || b.data2 > kMaxBlockData)) {
        return false;
      }
    }
    const std::int32_t k = info.alignmentCount;
    if (k != (row.version == 1 ? 0 : row.version / 7 + 2)) return false;
    if (k > 0 && (row.alignment[0] != 6 || row.alignment[k - 1] != info.modules - 7)) return false;
    for (std::int32_t j = 2; j < k; ++j) {
      const std::int32_t step = row.alignment[j] - row.alignment[j - 1];
      if (step % 2 != 0 || step != row.alignment[k - 1] - row.alignment[k - 2]) return false;
    }
  }
  return true;
}
static_assert(RowsAgreeWithGeometry());

// Figures from the standard's tables.
static_assert(kTable[0].totalCodewords == 26 && kTable[0].remainderBits == 0);
static_assert(kTable[1].totalCodewords == 44 && kTable[1].remainderBits == 7);
static_assert(kTable[13].totalCodewords == 581 && kTable[13].remainderBits == 3);
static_assert(kTable[20].totalCodewords == 1156 && kTable[20].remainderBits == 4);
static_assert(kTable[39].totalCodewords == 3706 && kTable[39].remainderBits == 0);
static_assert(kTable[0].levels[0].capacity == std::array<std::int32_t, 4>{41, 25, 17, 10});
static_assert(kTable[0].levels[3].capacity == std::array<std::int32_t, 4>{17, 10, 7, 4});
static_assert(kTable[7].totalCodewords == 242 && kTable[7].levels[0].dataCodewords == 194);
static_assert(kTable[7].levels[0].capacity == std::array<std::int32_t, 4>{461, 279, 192, 118});
static_assert(kTable[39].levels[0].dataCodewords == kMaxDataCodewords);
static_assert(kTable[39].levels[0].capacity == std::array<std::int32_t, 4>{7089, 4296, 2953, 1817});
static_assert(kTable[39].levels[3].capacity == std::array<std::int32_t, 4>{3057, 1852, 1273, 784});
static_assert(kTable[39].totalCodewords - kTable[39].levels[3].dataCodewords == kMaxEcCodewords);

}  // namespace

const TVersionInfo& VersionInfo(std::int32_t version) {
  if (version < kMinVersion || version > kMaxVersion) throw std::out_of_range("QR version out of range");
  return kTable[version - 1];
}

}  // namespace pavix::qr
