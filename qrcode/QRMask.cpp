#include "QRMask.h"

#include <array>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace pavix::qr {

namespace {

bool MaskHolds(std::int32_t mask, std::int32_t i, std::int32_t j) {
  switch (mask) {
    case 0: return (i + j) % 2 == 0;
    case 1: return i % 2 == 0;
    case 2: return j % 3 == 0;
    case 3: return (i + j) % 3 == 0;
    case 4: return (i / 2 + j / 3) % 2 == 0;
    case 5: return (i * j) % 2 + (i * j) % 3 == 0;
    case 6: return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    default: return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
  }
}

// Sums `linePenalty` over every row and every column of the matrix.
template <typename LinePenalty>
std::int32_t EachLine(const TModuleMatrix& m, LinePenalty linePenalty) {
  std::int32_t penalty = 0;
  const std::int32_t n = m.Modules();
  for (std::int32_t i = 0; i < n; ++i) {
    penalty += linePenalty(n, [&m, i](std::int32_t k) { return m.IsDark(i, k); });
    penalty += linePenalty(n, [&m, i](std::int32_t k) { return m.IsDark(k, i); });
  }
  return penalty;
}

}  // namespace

void ApplyMask(TModuleMatrix& m, std::int32_t mask) {
  if (mask < 0 || mask > 7) throw std::out_of_range("QR mask pattern");
  const std::int32_t n = m.Modules();
  for (std::int32_t i = 0; i < n; ++i) {
    for (std::int32_t j = 0; j < n; ++j) {
      const std::uint8_t flags = m.Flags(i, j);
      if (flags & TModuleMatrix::kFunction) continue;
      const bool dark = ((flags & TModuleMatrix::kData) != 0) != MaskHolds(mask, i, j);
      m.SetFlags(i, j, static_cast<std::uint8_t>((flags & TModuleMatrix::kData) | (dark ? TModuleMatrix::kDark : 0)));
    }
  }
}

std::int32_t PenaltyRuns(const TModuleMatrix& m) {
  return EachLine(m, [](std::int32_t n, auto at) {
    std::int32_t penalty = 0;
    std::int32_t run = 1;
    for (std::int32_t k = 1; k <= n; ++k) {
      if (k < n && at(k) == at(k - 1)) {
        ++run;
        continue;
      }
      if (run >= 5) penalty += 3 + (run - 5);
      run = 1;
    }
    return penalty;
  });
}

std::int32_t PenaltyBlocks(const TModuleMatrix& m) {
  std::int32_t penalty = 0;
  for (std::int32_t i = 0; i + 1 < m.Modules(); ++i) {
    for (std::int32_t j = 0; j + 1 < m.Modules(); ++j) {
      const bool c = m.IsDark(i, j);
      if (m.IsDark(i, j + 1) == c && m.IsDark(i + 1, j) == c && m.IsDark(i + 1, j + 1) == c) penalty += 3;
    }
  }
  return penalty;
}

std::int32_t PenaltyFinderLike(const TModuleMatrix& m) {
  return EachLine(m, [](std::int32_t n, auto at) {
    static constexpr std::array<bool, 7> kPattern{true, false, true, true, true, false, true};
    std::int32_t penalty = 0;
    for (std::int32_t k = 0; k + 6 < n; ++k) {
      bool match = (k == 0 || !at(k - 1)) && (k + 6 == n - 1 || !at(k + 7));
      for (std::int32_t i = 0; match && i < 7; ++i) match = at(k + i) == kPattern[i];
      if (match) penalty += 40;
    }
    return penalty;
  });
}

std::int32_t PenaltyBalance(const TModuleMatrix& m) {
  const std::int32_t n = m.Modules();
  std::int32_t dark = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    for (std::int32_t j = 0; j < n; ++j) dark += m.IsDark(i, j) ? 1 : 0;
  }
  const std::int32_t percent = dark * 100 / (n * n);
  return 10 * (std::abs(percent - 50) / 5);
}

std::int32_t MaskPenalty(const TModuleMatrix& m) {
  return PenaltyRuns(m) + PenaltyBlocks(m) + PenaltyFinderLike(m) + PenaltyBalance(m);
}

std::int32_t ChooseMask(TModuleMatrix& m, std::int32_t masktype) {
  if (masktype != kMaskAutomatic) {
    ApplyMask(m, masktype);
    return masktype;
  }
  std::int32_t best = 0;
  std::int32_t bestPenalty = std::numeric_limits<std::int32_t>::max();
  for (std::int32_t mask = 0; mask < 8; ++mask) {
    ApplyMask(m, mask);
    const std::int32_t penalty = MaskPenalty(m);
    if (penalty < bestPenalty) {  // a tie keeps the lower-numbered mask
      best = mask;
      bestPenalty = penalty;
    }
  }
  ApplyMask(m, best);
  return best;
}

}  // namespace pavix::qr
