// DES and three-key triple DES (EDE) in ECB and CBC mode, with the padding
// the app expects in both directions.
#include <cstddef>

#include "DESUtils.h"
#include "DesTables.h"
#include "Exception.h"

namespace pavix {

namespace {

using Block = std::uint64_t;
constexpr std::size_t kBlockSize = 8;
constexpr std::size_t kRounds = 16;

// Output bit i (from the most significant) is input bit table[i] of an
// `inWidth`-bit value, both numbered from 1 at the most significant bit.
template <std::size_t N>
std::uint64_t Permute(std::uint64_t in, const std::array<std::uint8_t, N>& table, int inWidth) {
  std::uint64_t out = 0;
  for (const std::uint8_t position : table) out = (out << 1) | ((in >> (inWidth - position)) & 1);
  return out;
}

std::uint32_t RotateLeft28(std::uint32_t half, int count) {
  return ((half << count) | (half >> (28 - count))) & 0x0FFFFFFF;
}

Block LoadBlock(const char* bytes) {
  Block block = 0;
  for (std::size_t i = 0; i < kBlockSize; ++i) block = (block << 8) | static_cast<unsigned char>(bytes[i]);
  return block;
}

Block LoadBlock(std::span<const std::uint8_t> bytes) {
  Block block = 0;
  for (std::size_t i = 0; i < kBlockSize; ++i) block = (block << 8) | bytes[i];
  return block;
}

void StoreBlock(Block block, std::string& out) {
  for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<char>((block >> shift) & 0xFF));
}

void AppendKeySchedule(Block key, std::vector<std::uint32_t>& words) {
  const std::uint64_t permuted = Permute(key, des_tables::kPermutedChoice1, 64);
  auto c = static_cast<std::uint32_t>(permuted >> 28);
  auto d = static_cast<std::uint32_t>(permuted & 0x0FFFFFFF);
  for (const std::uint8_t shift : des_tables::kLeftShifts) {
    c = RotateLeft28(c, shift);
    d = RotateLeft28(d, shift);
    const std::uint64_t roundKey = Permute((std::uint64_t{c} << 28) | d, des_tables::kPermutedChoice2, 56);
    words.push_back(static_cast<std::uint32_t>(roundKey >> 24));
    words.push_back(static_cast<std::uint32_t>(roundKey & 0xFFFFFF));
  }
}

std::uint32_t Feistel(std::uint32_t right, std::uint32_t keyHigh, std::uint32_t keyLow) {
  const std::uint64_t mixed = Permute(right, des_tables::kExpansion, 32) ^ ((std::uint64_t{keyHigh} << 24) | keyLow);
  std::uint32_t substituted = 0;
  for (int box = 0; box < 8; ++box) {
    const auto six = static_cast<unsigned>((mixed >> (42 - 6 * box)) & 0x3F);
    const unsigned row = ((six >> 4) & 2) | (six & 1);
    const unsigned column = (six >> 1) & 0xF;
    substituted = (substituted << 4) | des_tables::kSBoxes[box][row][column];
  }
  return static_cast<std::uint32_t>(Permute(substituted, des_tables::kPermutation, 32));
}

// One DES pass with the 16 round keys starting at `keys`, in order or reversed.
Block DesBlock(Block block, const std::uint32_t* keys, bool encipher) {
  const std::uint64_t permuted = Permute(block, des_tables::kInitialPermutation, 64);
  auto left = static_cast<std::uint32_t>(permuted >> 32);
  auto right = static_cast<std::uint32_t>(permuted);
  for (std::size_t round = 0; round < kRounds; ++round) {
    const std::size_t k = encipher ? round : kRounds - 1 - round;
    const std::uint32_t next = left ^ Feistel(right, keys[2 * k], keys[2 * k + 1]);
    left = right;
    right = next;
  }
  // The halves are not swapped after the last round.
  return Permute((std::uint64_t{right} << 32) | left, des_tables::kFinalPermutation, 64);
}

Block CipherBlock(Block block, const std::vector<std::uint32_t>& keys, bool encipher) {
  const std::uint32_t* k = keys.data();
  if (keys.size() == 2 * kRounds) return DesBlock(block, k, encipher);
  const std::size_t stride = 2 * kRounds;
  if (encipher) return DesBlock(DesBlock(DesBlock(block, k, true), k + stride, false), k + 2 * stride, true);
  return DesBlock(DesBlock(DesBlock(block, k + 2 * stride, false), k + stride, true), k, false);
}

}  // namespace

std::vector<std::uint32_t> DesKeySchedule(std::string_view key) {
  if (key.size() < kBlockSize) throw Exception("DES key shorter than 8 bytes");
  std::vector<std::uint32_t> words;
  const std::size_t keys = key.size() == 3 * kBlockSize ? 3 : 1;
  words.reserve(keys * 2 * kRounds);
  for (std::size_t i = 0; i < keys; ++i) AppendKeySchedule(LoadBlock(key.data() + i * kBlockSize), words);
  return words;
}

std::string DesCrypt(std::string_view key, std::string_view data, int encrypt, int mode,
                     std::span<const std::uint8_t> iv) {
  const std::vector<std::uint32_t> keys = DesKeySchedule(key);
  const bool encipher = encrypt == kDesEncrypt;
  const bool cbc = mode == kDesCbc;
  if (cbc && iv.size() < kBlockSize) throw Exception("DES-CBC initialisation vector shorter than 8 bytes");

  const std::size_t pad = kBlockSize - data.size() % kBlockSize;
  std::string padded(data);
  padded.append(pad, static_cast<char>(pad));
  // Deciphering never reaches the padding block that a whole-block input gains.
  const std::size_t length = encipher ? padded.size() : (data.size() + kBlockSize - 1) / kBlockSize * kBlockSize;

  std::string out;
  out.reserve(length);
  Block chain = cbc ? LoadBlock(iv) : 0;
  for (std::size_t offset = 0; offset < length; offset += kBlockSize) {
    const Block in = LoadBlock(padded.data() + offset);
    Block result;
    if (encipher) {
      result = CipherBlock(in ^ chain, keys, true);
      if (cbc) chain = result;
    } else {
      result = CipherBlock(in, keys, false) ^ chain;
      if (cbc) chain = in;
    }
    StoreBlock(result, out);
  }
  return out;
}

}  // namespace pavix
