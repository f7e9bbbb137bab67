#include "Sha1.h"

#include <bit>

namespace pavix {

namespace {

class Sha1State {
 public:
  // One 64-byte block of the padded message.
  void Process(const std::uint8_t* block) {
    std::uint32_t w[80];
    for (int t = 0; t < 16; ++t) {
      w[t] = std::uint32_t{block[4 * t]} << 24 | std::uint32_t{block[4 * t + 1]} << 16 |
             std::uint32_t{block[4 * t + 2]} << 8 | block[4 * t + 3];
    }
    for (int t = 16; t < 80; ++t) w[t] = std::rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
    std::uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4];
    for (int t = 0; t < 80; ++t) {
      std::uint32_t f = 0;
      std::uint32_t k = 0;
      if (t < 20) {
        f = (b & c) | (~b & d);
        k = 0x5A827999;
      } else if (t < 40) {
        f = b ^ c ^ d;
        k = 0x6ED9EBA1;
      } else if (t < 60) {
        f = (b & c) | (b & d) | (c & d);
        k = 0x8F1BBCDC;
      } else {
        f = b ^ c ^ d;
        k = 0xCA62C1D6;
      }
      const std::uint32_t temp = std::rotl(a, 5) + f + e + k + w[t];
      e = d;
      d = c;
      c = std::rotl(b, 30);
      b = a;
      a = temp;
    }
    h_[0] += a;
    h_[1] += b;
    h_[2] += c;
    h_[3] += d;
    h_[4] += e;
  }

  Sha1Digest Digest() const {
    Sha1Digest digest{};
    for (std::size_t i = 0; i < digest.size(); ++i) digest[i] = static_cast<std::uint8_t>(h_[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
  }

 private:
  std::uint32_t h_[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
};

}  // namespace

Sha1Digest Sha1(std::string_view message) {
  Sha1State state;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(message.data());
  std::size_t whole = message.size() / 64 * 64;
  for (std::size_t at = 0; at < whole; at += 64) state.Process(bytes + at);
  // The rest, a 1 bit, zeros and the length in bits fill one or two blocks.
  std::uint8_t tail[128] = {};
  const std::size_t rest = message.size() - whole;
  for (std::size_t i = 0; i < rest; ++i) tail[i] = bytes[whole + i];
  tail[rest] = 0x80;
  const std::size_t tailSize = rest < 56 ? 64 : 128;
  const std::uint64_t bits = static_cast<std::uint64_t>(message.size()) * 8;
  for (int i = 0; i < 8; ++i) tail[tailSize - 1 - i] = static_cast<std::uint8_t>(bits >> (8 * i));
  state.Process(tail);
  if (tailSize == 128) state.Process(tail + 64);
  return state.Digest();
}

}  // namespace pavix
