#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pavix {

// Name index of an object: maps a field name's 32-bit hash to a field index.
// Only hashes are kept, so two names of equal hash share one entry. Each of
// the 256 buckets is sorted by hash, which lets long buckets be searched by
// halving.
class TJSONHashTable {
 public:
  using HashFunction = std::uint32_t (*)(std::u16string_view name);

  TJSONHashTable();

  // Length, then h * 31 + unit for each UTF-16 unit, modulo 2^32.
  static std::uint32_t HashOfName(std::u16string_view name);

  // Overwrites the index of an entry of equal hash, else inserts in order.
  void StoreName(std::u16string_view name, std::int32_t index);
  // The stored index, or -1.
  std::int32_t FindName(std::u16string_view name) const;

 private:
  struct Entry {
    std::uint32_t hash;
    std::int32_t index;
  };
  using Bucket = std::vector<Entry>;

  static constexpr std::size_t kBucketCount = 256;
  // From this length on a bucket is searched by halving instead of a scan.
  static constexpr std::size_t kHalvingFrom = 25;

  static int PositionOf(const Bucket& bucket, std::uint32_t hash);
  Bucket& BucketOf(std::uint32_t hash) { return buckets_[hash & 0xFF]; }
  const Bucket& BucketOf(std::uint32_t hash) const { return buckets_[hash & 0xFF]; }

  HashFunction hash_;
  std::array<Bucket, kBucketCount> buckets_;
};

}  // namespace pavix
