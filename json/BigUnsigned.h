#pragma once

#include <cstdint>
#include <vector>

namespace pavix {

// An unsigned integer of any size, with only the few operations that exact
// decimal-to-binary conversion needs. Limbs are 32 bits so that every product
// fits a 64-bit integer on 32-bit targets too.
class BigUnsigned {
 public:
  BigUnsigned() = default;
  explicit BigUnsigned(std::uint64_t value);

  bool IsZero() const { return limbs_.empty(); }
  // Number of significant bits; 0 for zero.
  int BitLength() const;
  // Bits [from, from + 64) as an integer; bits past the top are zero.
  std::uint64_t BitsAt(int from) const;
  // True when any bit below `count` is set.
  bool AnyBitBelow(int count) const;

  void MultiplyAdd(std::uint32_t factor, std::uint32_t addend);
  void MultiplyByPowerOfFive(int exponent);
  void MultiplyByPowerOfTen(int exponent);
  void ShiftLeft(int bits);
  void ShiftRightOne();
  // *this -= other; other must not be greater.
  void Subtract(const BigUnsigned& other);

  // -1, 0 or 1 as a is less than, equal to or greater than b.
  static int Compare(const BigUnsigned& a, const BigUnsigned& b);

  // The quotient of dividend / divisor, which must be below 2^bits (bits
  // <= 64); dividend is left holding the remainder.
  static std::uint64_t DivideSmallQuotient(BigUnsigned& dividend, const BigUnsigned& divisor, int bits);

 private:
  void Trim();

  std::vector<std::uint32_t> limbs_;  // least significant first, no leading zero limbs
};

}  // namespace pavix
