#include "QRErrorCorrection.h"

#include <array>
#include <stdexcept>

namespace pavix::qr {

namespace {

struct GaloisField {
  std::array<std::uint8_t, 256> exp{};  // exp[255] = exp[0] = 1
  std::array<std::uint8_t, 256> log{};  // log[0] unused
};

constexpr GaloisField BuildField() {
  GaloisField field;
  std::uint32_t value = 1;
  for (std::uint32_t power = 0; power < 256; ++power) {
    field.exp[power] = static_cast<std::uint8_t>(value);
    if (power < 255) field.log[value] = static_cast<std::uint8_t>(power);
    value <<= 1;
    if (value & 0x100) value ^= 0x11D;
  }
  return field;
}

constexpr GaloisField kField = BuildField();

constexpr std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) {
  if (a == 0 || b == 0) return 0;
  return kField.exp[(kField.log[a] + kField.log[b]) % 255];
}

// Generator polynomials (x - a^0)(x - a^1)...(x - a^(e-1)) as exponents of
// their coefficients, leading term left out, highest power first.
using Generator = std::array<std::uint8_t, kMaxBlockEc>;

constexpr std::array<Generator, kMaxBlockEc + 1> BuildGenerators() {
  std::array<Generator, kMaxBlockEc + 1> generators{};
  // coefficients[0..degree], highest power first, coefficients[0] = 1.
  std::array<std::uint8_t, kMaxBlockEc + 1> coefficients{};
  coefficients[0] = 1;
  for (std::int32_t degree = 1; degree <= kMaxBlockEc; ++degree) {
    const std::uint8_t root = kField.exp[degree - 1];
    for (std::int32_t i = degree; i >= 1; --i) {
      coefficients[i] = static_cast<std::uint8_t>(coefficients[i] ^ Multiply(coefficients[i - 1], root));
    }
    for (std::int32_t j = 0; j < degree; ++j) generators[degree][j] = kField.log[coefficients[j + 1]];
  }
  return generators;
}

constexpr std::array<Generator, kMaxBlockEc + 1> kGenerators = BuildGenerators();

// The standard's generator of degree 7: x^7 + a^87 x^6 + a^229 x^5 + a^146 x^4
// + a^149 x^3 + a^238 x^2 + a^102 x + a^21.
static_assert(kGenerators[7][0] == 87 && kGenerators[7][1] == 229 && kGenerators[7][6] == 21);

}  // namespace

void BlockErrorCorrection(std::span<const std::uint8_t> data, std::span<std::uint8_t> ec) {
  const std::size_t e = ec.size();
  if (e == 0 || e > static_cast<std::size_t>(kMaxBlockEc)) throw std::invalid_argument("error correction length");
  const Generator& generator = kGenerators[e];
  // The remainder of data(x) * x^e divided by the generator, one data
  // codeword at a time.
  std::array<std::uint8_t, kMaxBlockEc> remainder{};
  for (const std::uint8_t codeword : data) {
    const std::uint8_t lead = codeword ^ remainder[0];
    for (std::size_t j = 0; j + 1 < e; ++j) remainder[j] = remainder[j + 1];
    remainder[e - 1] = 0;
    if (lead == 0) continue;
    for (std::size_t j = 0; j < e; ++j) {
      remainder[j] ^= kField.exp[(kField.log[lead] + generator[j]) % 255];
    }
  }
  for (std::size_t j = 0; j < e; ++j) ec[j] = remainder[j];
}

void MakeErrorCorrection(const TEcLevelInfo& level, std::span<const std::uint8_t> data, std::span<std::uint8_t> ec) {
  std::size_t dataAt = 0;
  std::size_t ecAt = 0;
  for (std::int32_t k = 0; k < level.blockKinds; ++k) {
    const TBlockKind& kind = level.kinds[k];
    const auto dataLength = static_cast<std::size_t>(kind.dataCodewords);
    const auto ecLength = static_cast<std::size_t>(kind.totalCodewords - kind.dataCodewords);
    for (std::int32_t block = 0; block < kind.blocks; ++block) {
      BlockErrorCorrection(data.subspan(dataAt, dataLength), ec.subspan(ecAt, ecLength));
      dataAt += dataLength;
      ecAt += ecLength;
    }
  }
}

void InterleaveCodewords(const TEcLevelInfo& level, std::span<const std::uint8_t> data,
                         std::span<const std::uint8_t> ec, std::span<std::uint8_t> sequence) {
  // Where each block's data starts, and how long it is.
  std::array<std::size_t, kMaxBlocks> starts{};
  std::array<std::int32_t, kMaxBlocks> lengths{};
  std::size_t blocks = 0;
  std::size_t at = 0;
  for (std::int32_t k = 0; k < level.blockKinds; ++k) {
    for (std::int32_t b = 0; b < level.kinds[k].blocks; ++b) {
      starts[blocks] = at;
      lengths[blocks++] = level.kinds[k].dataCodewords;
      at += static_cast<std::size_t>(level.kinds[k].dataCodewords);
    }
  }
  const std::int32_t longest = level.kinds[level.blockKinds - 1].dataCodewords;
  const std::int32_t ecPerBlock = level.kinds[0].totalCodewords - level.kinds[0].dataCodewords;
  std::size_t out = 0;
  for (std::int32_t j = 0; j < longest; ++j) {
    for (std::size_t b = 0; b < blocks; ++b) {
      if (j < lengths[b]) sequence[out++] = data[starts[b] + static_cast<std::size_t>(j)];
    }
  }
  for (std::int32_t j = 0; j < ecPerBlock; ++j) {
    for (std::size_t b = 0; b < blocks; ++b) {
      sequence[out++] = ec[b * static_cast<std::size_t>(ecPerBlock) + static_cast<std::size_t>(j)];
    }
  }
}

}  // namespace pavix::qr
