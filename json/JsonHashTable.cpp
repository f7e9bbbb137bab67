#include "JsonHashTable.h"

#include <utility>

namespace pavix {

TJSONHashTable::TJSONHashTable() : hash_(&HashOfName) {}

std::uint32_t TJSONHashTable::HashOfName(std::u16string_view name) {
  auto h = static_cast<std::uint32_t>(name.size());
  for (const char16_t unit : name) h = h * 31u + unit;
  return h;
}

int TJSONHashTable::PositionOf(const Bucket& bucket, std::uint32_t hash) {
  const int count = static_cast<int>(bucket.size());
  if (bucket.size() < kHalvingFrom) {
    for (int i = 0; i < count; ++i) {
      if (bucket[static_cast<std::size_t>(i)].hash == hash) return i;
    }
    return -1;
  }
  // Both ends are tested before each halving, so the search stops as soon as
  // the two ends are neighbours.
  int lo = 0;
  int hi = count - 1;
  for (;;) {
    if (bucket[static_cast<std::size_t>(lo)].hash == hash) return lo;
    if (bucket[static_cast<std::size_t>(hi)].hash == hash) return hi;
    if (hi - lo <= 1) return -1;
    const int mid = (lo + hi) / 2;
    if (bucket[static_cast<std::size_t>(mid)].hash > hash) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
}

void TJSONHashTable::StoreName(std::u16string_view name, std::int32_t index) {
  const std::uint32_t hash = hash_(name);
  Bucket& bucket = BucketOf(hash);
  const int position = PositionOf(bucket, hash);
  if (position >= 0) {
    bucket[static_cast<std::size_t>(position)].index = index;
    return;
  }
  bucket.push_back({hash, index});
  for (std::size_t i = bucket.size() - 1; i > 0 && bucket[i].hash < bucket[i - 1].hash; --i) {
    std::swap(bucket[i], bucket[i - 1]);
  }
}

std::int32_t TJSONHashTable::FindName(std::u16string_view name) const {
  const std::uint32_t hash = hash_(name);
  const Bucket& bucket = BucketOf(hash);
  const int position = PositionOf(bucket, hash);
  return position < 0 ? -1 : bucket[static_cast<std::size_t>(position)].index;
}

}  // namespace pavix
