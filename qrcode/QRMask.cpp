#include "QRMask.h"

#include <array>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace pavix::qr {

namespace {

// The eight conditions, numbered as the standard numbers the mask patterns.
// Chosen once per mask rather than per cell: the automatic choice masks the
// whole matrix eight times.
template <typename Visit>
void WithCondition(std::int32_t mask, Visit visit) {
  switch (mask) {
    case 0: return visit([](std::int32_t i, std::int32_t j) { return (i + j) % 2 == 0; });
    case 1: return visit([](std::int32_t i, std::int32_t) { return i % 2 == 0; });
    case 2: return visit([](std::int32_t, std::int32_t j) { return j % 3 == 0; });
    case 3: return visit([](std::int32_t i, std::int32_t j) { return (i + j) % 3 == 0; });
    case 4: return visit([](std::int32_t i, std::int32_t j) { return (i / 2 + j / 3) % 2 == 0; });
    case 5: return visit([](std::int32_t i, std::int32_t j) { return (i * j) % 2 + (i * j) % 3 == 0; });
    case 6: return visit([](std::int32_t i, std::int32_t j) { return ((i * j) % 2 + (i * j) % 3) % 2 == 0; });
    default: return visit([](std::int32_t i, std::int32_t j) { return ((i + j) % 2 + (i * j) % 3) % 2 == 0; });
  }
}

// The colours of the matrix as one byte per cell (1 dark), row by row and
// column by column, so that every rule reads its lines from contiguous
// memory. The penalty runs eight times per symbol and dominates encoding.
struct DarkLines {
  explicit DarkLines(const TModuleMatrix& m) : n(m.Modules()) {
    for (std::int32_t i = 0; i < n; ++i) {
      for (std::int32_t j = 0; j < n; ++j) {
        const std::uint8_t dark = m.IsDark(i, j) ? 1 : 0;
        rows[static_cast<std::size_t>(i * n + j)] = dark;
        columns[static_cast<std::size_t>(j * n + i)] = dark;
      }
    }
  }
  const std::uint8_t* Row(std::int32_t i) const { return rows.data() + i * n; }
  const std::uint8_t* Column(std::int32_t j) const { return columns.data() + j * n; }

  std::int32_t n;
  std::array<std::uint8_t, kMaxModules * kMaxModules> rows;
  std::array<std::uint8_t, kMaxModules * kMaxModules> columns;
};

// Without branches on the colours: random-looking data would make every
// other one a misprediction.
std::int32_t LineRuns(const std::uint8_t* line, std::int32_t n) {
  std::int32_t penalty = 0;
  std::int32_t run = 1;
  for (std::int32_t k = 1; k < n; ++k) {
    const std::int32_t same = line[k] == line[k - 1];
    penalty += (1 - same) * (run >= 5) * (3 + (run - 5));
    run = same * run + 1;
  }
  return penalty + (run >= 5) * (3 + (run - 5));
}

// The last seven cells as bits, oldest highest: dark, light, dark, dark, dark, light, dark.
constexpr std::uint32_t kFinderLike = 0b1011101;

std::int32_t LineFinderLike(const std::uint8_t* line, std::int32_t n) {
  std::int32_t penalty = 0;
  std::uint32_t window = 0;
  for (std::int32_t k = 0; k < n; ++k) {
    window = (window << 1 | line[k]) & 0x7F;
    if (k < 6 || window != kFinderLike) continue;
    const std::int32_t start = k - 6;
    if ((start == 0 || line[start - 1] == 0) && (k == n - 1 || line[k + 1] == 0)) penalty += 40;
  }
  return penalty;
}

template <typename LinePenalty>
std::int32_t EachLine(const DarkLines& lines, LinePenalty linePenalty) {
  std::int32_t penalty = 0;
  for (std::int32_t i = 0; i < lines.n; ++i) {
    penalty += linePenalty(lines.Row(i), lines.n) + linePenalty(lines.Column(i), lines.n);
  }
  return penalty;
}

std::int32_t Blocks(const DarkLines& lines) {
  std::int32_t penalty = 0;
  for (std::int32_t i = 0; i + 1 < lines.n; ++i) {
    const std::uint8_t* top = lines.Row(i);
    const std::uint8_t* bottom = lines.Row(i + 1);
    for (std::int32_t j = 0; j + 1 < lines.n; ++j) {
      const std::uint8_t c = top[j];
      penalty += 3 * ((top[j + 1] == c) & (bottom[j] == c) & (bottom[j + 1] == c));
    }
  }
  return penalty;
}

std::int32_t Balance(const DarkLines& lines) {
  const std::int32_t n = lines.n;
  std::int32_t dark = 0;
  for (std::int32_t i = 0; i < n * n; ++i) dark += lines.rows[static_cast<std::size_t>(i)];
  const std::int32_t percent = dark * 100 / (n * n);
  return 10 * (std::abs(percent - 50) / 5);
}

}  // namespace

void ApplyMask(TModuleMatrix& m, std::int32_t mask) {
  if (mask < 0 || mask > 7) throw std::out_of_range("QR mask pattern");
  const std::int32_t n = m.Modules();
  WithCondition(mask, [&m, n](auto holds) {
    for (std::int32_t i = 0; i < n; ++i) {
      for (std::int32_t j = 0; j < n; ++j) {
        const std::uint8_t flags = m.Flags(i, j);
        if (flags & TModuleMatrix::kFunction) continue;
        const bool dark = ((flags & TModuleMatrix::kData) != 0) != holds(i, j);
        m.SetFlags(i, j, static_cast<std::uint8_t>((flags & TModuleMatrix::kData) | (dark ? TModuleMatrix::kDark : 0)));
      }
    }
  });
}

std::int32_t PenaltyRuns(const TModuleMatrix& m) { return EachLine(DarkLines(m), LineRuns); }

std::int32_t PenaltyBlocks(const TModuleMatrix& m) { return Blocks(DarkLines(m)); }

std::int32_t PenaltyFinderLike(const TModuleMatrix& m) { return EachLine(DarkLines(m), LineFinderLike); }

std::int32_t PenaltyBalance(const TModuleMatrix& m) { return Balance(DarkLines(m)); }

std::int32_t MaskPenalty(const TModuleMatrix& m) {
  const DarkLines lines(m);
  return EachLine(lines, LineRuns) + Blocks(lines) + EachLine(lines, LineFinderLike) + Balance(lines);
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
