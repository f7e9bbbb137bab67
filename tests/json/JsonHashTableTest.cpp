#include "JsonHashTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace pavix {
namespace {

TEST(JsonHashTableTest, HashStartsWithTheLengthAndWrapsAt32Bits) {
  EXPECT_EQ(TJSONHashTable::HashOfName(u""), 0u);
  EXPECT_EQ(TJSONHashTable::HashOfName(u"a"), 128u);
  EXPECT_EQ(TJSONHashTable::HashOfName(u"Aa"), 4034u);
  EXPECT_EQ(TJSONHashTable::HashOfName(u"BB"), 4034u);
  EXPECT_EQ(TJSONHashTable::HashOfName(u"QRType"), 3427367041u);
  EXPECT_EQ(TJSONHashTable::HashOfName(u"abcdefghijklmnop"), 2379206936u);
}

TEST(JsonHashTableTest, StoresOverwritesAndFinds) {
  TJSONHashTable table;
  EXPECT_EQ(table.FindName(u"Model"), -1);
  table.StoreName(u"Model", 3);
  table.StoreName(u"MN", 4);
  EXPECT_EQ(table.FindName(u"Model"), 3);
  table.StoreName(u"Model", 7);
  EXPECT_EQ(table.FindName(u"Model"), 7);
  EXPECT_EQ(table.FindName(u"MN"), 4);
}

TEST(JsonHashTableTest, NamesOfEqualHashShareOneEntry) {
  TJSONHashTable table;
  table.StoreName(u"Aa", 1);
  table.StoreName(u"BB", 2);
  EXPECT_EQ(table.FindName(u"Aa"), 2);
  EXPECT_EQ(table.FindName(u"BB"), 2);
}

// Names whose hashes all fall into one bucket and differ from each other,
// in ascending hash order.
std::vector<std::u16string> NamesOfOneBucket(std::size_t count) {
  std::vector<std::u16string> names;
  std::set<std::uint32_t> hashes;
  for (int i = 0; names.size() < count; ++i) {
    std::u16string name = u"field";
    for (const char c : std::to_string(i)) name.push_back(static_cast<char16_t>(c));
    const std::uint32_t hash = TJSONHashTable::HashOfName(name);
    if ((hash & 0xFF) == 0x2A && hashes.insert(hash).second) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
    return TJSONHashTable::HashOfName(a) < TJSONHashTable::HashOfName(b);
  });
  return names;
}

// Around 25 entries a bucket switches from scanning to halving, which only
// works when every insertion kept the bucket sorted.
TEST(JsonHashTableTest, FindsEveryNameOfACrowdedBucket) {
  for (const std::size_t count : {24u, 25u, 26u, 100u}) {
    // The names at odd positions are stored; the others have hashes below,
    // between and above the stored ones.
    const std::vector<std::u16string> all = NamesOfOneBucket(2 * count + 1);
    std::vector<std::size_t> stored;
    for (std::size_t i = 1; i < all.size(); i += 2) stored.push_back(i);
    std::mt19937 random(static_cast<unsigned>(count));
    std::shuffle(stored.begin(), stored.end(), random);

    TJSONHashTable table;
    for (const std::size_t i : stored) table.StoreName(all[i], static_cast<std::int32_t>(i));
    for (std::size_t i = 0; i < all.size(); ++i) {
      const std::int32_t expected = i % 2 == 1 ? static_cast<std::int32_t>(i) : -1;
      EXPECT_EQ(table.FindName(all[i]), expected) << count << " entries, name " << i;
    }
  }
}

}  // namespace
}  // namespace pavix
