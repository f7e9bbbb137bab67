#include "BigUnsigned.h"

#include <bit>

namespace pavix {

BigUnsigned::BigUnsigned(std::uint64_t value) {
  while (value != 0) {
    limbs_.push_back(static_cast<std::uint32_t>(value));
    value >>= 32;
  }
}

void BigUnsigned::Trim() {
  while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
}

int BigUnsigned::BitLength() const {
  if (limbs_.empty()) return 0;
  return static_cast<int>(limbs_.size() - 1) * 32 + std::bit_width(limbs_.back());
}

std::uint64_t BigUnsigned::BitsAt(int from) const {
  std::uint64_t bits = 0;
  for (int i = 63; i >= 0; --i) {
    const int position = from + i;
    const auto limb = static_cast<std::size_t>(position / 32);
    const bool set = position >= 0 && limb < limbs_.size() && ((limbs_[limb] >> (position % 32)) & 1u) != 0;
    bits = (bits << 1) | (set ? 1u : 0u);
  }
  return bits;
}

bool BigUnsigned::AnyBitBelow(int count) const {
  for (std::size_t i = 0; i < limbs_.size() && static_cast<int>(i) * 32 < count; ++i) {
    const int bitsHere = count - static_cast<int>(i) * 32;
    const std::uint32_t mask = bitsHere >= 32 ? 0xFFFFFFFFu : ((1u << bitsHere) - 1u);
    if ((limbs_[i] & mask) != 0) return true;
  }
  return false;
}

void BigUnsigned::MultiplyAdd(std::uint32_t factor, std::uint32_t addend) {
  std::uint64_t carry = addend;
  for (auto& limb : limbs_) {
    const std::uint64_t product = std::uint64_t{limb} * factor + carry;
    limb = static_cast<std::uint32_t>(product);
    carry = product >> 32;
  }
  if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
  Trim();
}

void BigUnsigned::MultiplyByPowerOfFive(int exponent) {
  constexpr std::uint32_t kFiveToThe13 = 1220703125u;  // the largest power of five below 2^32
  for (; exponent >= 13; exponent -= 13) MultiplyAdd(kFiveToThe13, 0);
  std::uint32_t rest = 1;
  for (; exponent > 0; --exponent) rest *= 5;
  MultiplyAdd(rest, 0);
}

void BigUnsigned::MultiplyByPowerOfTen(int exponent) {
  MultiplyByPowerOfFive(exponent);
  ShiftLeft(exponent);
}

void BigUnsigned::ShiftLeft(int bits) {
  if (limbs_.empty() || bits <= 0) return;
  const auto whole = static_cast<std::size_t>(bits / 32);
  const int part = bits % 32;
  if (part != 0) {
    std::uint32_t carry = 0;
    for (auto& limb : limbs_) {
      const std::uint32_t next = limb >> (32 - part);
      limb = (limb << part) | carry;
      carry = next;
    }
    if (carry != 0) limbs_.push_back(carry);
  }
  limbs_.insert(limbs_.begin(), whole, 0u);
}

void BigUnsigned::ShiftRightOne() {
  for (std::size_t i = 0; i < limbs_.size(); ++i) {
    const std::uint32_t high = i + 1 < limbs_.size() ? limbs_[i + 1] << 31 : 0u;
    limbs_[i] = (limbs_[i] >> 1) | high;
  }
  Trim();
}

void BigUnsigned::Subtract(const BigUnsigned& other) {
  std::int64_t borrow = 0;
  for (std::size_t i = 0; i < limbs_.size(); ++i) {
    std::int64_t difference = std::int64_t{limbs_[i]} - borrow;
    if (i < other.limbs_.size()) difference -= other.limbs_[i];
    borrow = difference < 0 ? 1 : 0;
    limbs_[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
  }
  Trim();
}

int BigUnsigned::Compare(const BigUnsigned& a, const BigUnsigned& b) {
  if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
  for (std::size_t i = a.limbs_.size(); i-- > 0;) {
    if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
  }
  return 0;
}

std::uint64_t BigUnsigned::DivideSmallQuotient(BigUnsigned& dividend, const BigUnsigned& divisor, int bits) {
  // Schoolbook division one quotient bit at a time: `bits` subtractions of
  // the divisor shifted into place, each linear in the size of the numbers.
  BigUnsigned shifted = divisor;
  shifted.ShiftLeft(bits - 1);
  std::uint64_t quotient = 0;
  for (int bit = bits - 1; bit >= 0; --bit) {
    quotient <<= 1;
    if (Compare(dividend, shifted) >= 0) {
      dividend.Subtract(shifted);
      quotient |= 1u;
    }
    shifted.ShiftRightOne();
  }
  return quotient;
}

}  // namespace pavix
