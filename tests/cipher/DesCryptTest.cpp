#include <gtest/gtest.h>

#include <vector>

#include "DESUtils.h"
#include "Exception.h"
#include "HexBytes.h"

namespace pavix {
namespace {

using test::FromHex;
using test::ToHex;

std::vector<std::uint8_t> Iv(std::string_view hex) {
  const std::string bytes = FromHex(hex);
  return {bytes.begin(), bytes.end()};
}

constexpr int kDecipher = 0;
constexpr int kEcb = 0;

TEST(DesCrypt, Fips81CbcExampleThenOnePaddingBlock) {
  const std::string cipher = DesCrypt(FromHex("0123456789abcdef"), "Now is the time for all ", kDesEncrypt, kDesCbc,
                                      Iv("1234567890abcdef"));
  // The fourth block is openssl's for the eight padding bytes 0x08.
  EXPECT_EQ(ToHex(cipher), "e5c7cdde872bf27c" "43e934008c389c0f" "683788499a7c05f6" "62c16a27e4fcf277");
}

TEST(DesCrypt, EcbVectorAndRoundKeysOfTheStandardsWorkedKey) {
  const std::string key = FromHex("133457799BBCDFF1");
  EXPECT_EQ(ToHex(DesCrypt(key, FromHex("0123456789ABCDEF"), kDesEncrypt, kEcb).substr(0, 8)), "85e813540f0ab405");

  const std::vector<std::uint32_t> words = DesKeySchedule(key);
  ASSERT_EQ(words.size(), 32u);
  // K1 = 000110 110000 001011 101111 | 111111 000111 000001 110010, K16 likewise.
  EXPECT_EQ(words[0], 0x1B02EFu);
  EXPECT_EQ(words[1], 0xFC7072u);
  EXPECT_EQ(words[30], 0xCB3D8Bu);
  EXPECT_EQ(words[31], 0x0E17F5u);
}

// Vectors made once with `openssl enc -des-cbc` / `-des-ede3-cbc` (PKCS #5
// padding); the POSIX tests also compare against openssl live.
TEST(DesCrypt, AgreesWithRecordedOpensslVectors) {
  struct Case {
    const char* key;
    const char* iv;
    std::string data;
    const char* cipher;
  };
  const std::string ede3 = "0123456789abcdef23456789abcdef01456789abcdef0123";
  const Case cases[] = {
      {"0123456789abcdef", "1234567890abcdef", "", "c21106448c1e13c5"},
      {"3b3898371520f75e", "0001020304050607", FromHex("00112233445566778899aabbccddee"),
       "29927008b94c70b5b1fe68a1f89407bb"},
      {ede3.c_str(), "fedcba9876543210", "", "6f3a6218c39bbfef"},
      {ede3.c_str(), "fedcba9876543210", "Now is the time fo", "521aa2041b4963af4f5390823188b5a69190cece15d46c41"},
      {ede3.c_str(), "fedcba9876543210", "Now is the time for all ",
       "521aa2041b4963af4f5390823188b5a62e765f4b9bcef207a163b83f403bffc9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " / " + ToHex(c.data));
    EXPECT_EQ(ToHex(DesCrypt(FromHex(c.key), c.data, kDesEncrypt, kDesCbc, Iv(c.iv))), c.cipher);
  }
}

TEST(DesCrypt, KeyLengthChoosesTheCipher) {
  const std::string k1 = FromHex("0123456789abcdef");
  const std::string k2 = FromHex("fedcba9876543210");
  const std::string k3 = FromHex("89abcdef01234567");
  const std::string data = "key length decides";
  const auto iv = Iv("0011223344556677");
  auto encipher = [&](const std::string& key) { return DesCrypt(key, data, kDesEncrypt, kDesCbc, iv); };
  const std::string single = encipher(k1);

  EXPECT_EQ(encipher(k1 + k2), single) << "16 bytes: the first 8";
  EXPECT_EQ(encipher(k1 + "x"), single) << "9 bytes: the first 8";
  EXPECT_EQ(encipher(k1 + k2 + k3 + "y"), single) << "25 bytes: the first 8";
  EXPECT_EQ(encipher(k1 + k1 + k1), single) << "one key three times is single DES";
  EXPECT_NE(encipher(k1 + k2 + k3), single);
  EXPECT_EQ(DesKeySchedule(k1 + k2 + k3).size(), 96u);
  EXPECT_EQ(DesKeySchedule(k1 + k2).size(), 32u);

  // The parity bit (the low bit of each key byte) is ignored.
  std::string flipped = k1;
  for (char& c : flipped) c = static_cast<char>(c ^ 1);
  EXPECT_EQ(encipher(flipped), single);
}

TEST(DesCrypt, PaddingLengthsInBothDirections) {
  const std::string key = FromHex("0123456789abcdef");
  const auto iv = Iv("1234567890abcdef");
  struct Case {
    std::size_t length;
    std::size_t cipherLength;
  };
  for (const Case c : {Case{0, 8}, Case{1, 8}, Case{7, 8}, Case{8, 16}, Case{9, 16}, Case{200, 208}}) {
    SCOPED_TRACE(c.length);
    const std::string data(c.length, 'a');
    const std::string cipher = DesCrypt(key, data, kDesEncrypt, kDesCbc, iv);
    EXPECT_EQ(cipher.size(), c.cipherLength);
    // Deciphering strips nothing: the padding comes back.
    const std::size_t pad = 8 - c.length % 8;
    EXPECT_EQ(DesCrypt(key, cipher, kDecipher, kDesCbc, iv), data + std::string(pad, static_cast<char>(pad)));
  }
}

TEST(DesCrypt, DecipheringPadsAPartialBlockAndIgnoresTheExtraBlock) {
  const std::string key = FromHex("0123456789abcdef");
  const auto iv = Iv("1234567890abcdef");
  const std::string cipher = DesCrypt(key, "0123456789ABCDEF", kDesEncrypt, kDesCbc, iv);  // 24 bytes
  // Whole blocks: no padding block is processed, so 16 bytes in give 16 out.
  EXPECT_EQ(DesCrypt(key, cipher.substr(0, 16), kDecipher, kDesCbc, iv), "0123456789ABCDEF");
  // A partial block is completed with padding bytes before deciphering.
  const std::string partial = cipher.substr(0, 12);
  const std::string completed = partial + std::string(4, '\x04');
  EXPECT_EQ(DesCrypt(key, partial, kDecipher, kDesCbc, iv), DesCrypt(key, completed, kDecipher, kDesCbc, iv));
  EXPECT_EQ(DesCrypt(key, "", kDecipher, kDesCbc, iv), "");
}

TEST(DesCrypt, ModeAndDirectionFlags) {
  const std::string key = FromHex("133457799BBCDFF1");
  const std::string data = FromHex("0123456789ABCDEF0123456789ABCDEF");
  const std::string ecb = DesCrypt(key, data, kDesEncrypt, kEcb);
  // ECB: equal blocks give equal cipher blocks, and any mode other than 1 is ECB.
  EXPECT_EQ(ecb.substr(0, 8), ecb.substr(8, 8));
  EXPECT_EQ(DesCrypt(key, data, kDesEncrypt, 7, Iv("ffffffffffffffff")), ecb);
  // Any `encrypt` other than 1 deciphers.
  for (const int encrypt : {0, 2, -1}) EXPECT_EQ(DesCrypt(key, ecb, encrypt, kEcb), data + std::string(8, '\x08'));
}

TEST(DesCrypt, OnlyTheFirstEightIvBytesCount) {
  const std::string key = FromHex("0123456789abcdef");
  const std::string data = "initialisation vector";
  EXPECT_EQ(DesCrypt(key, data, kDesEncrypt, kDesCbc, Iv("1234567890abcdef")),
            DesCrypt(key, data, kDesEncrypt, kDesCbc, Iv("1234567890abcdef99887766")));
}

TEST(DesCrypt, RejectsShortKeysAndShortCbcVectors) {
  const std::string key = FromHex("0123456789abcdef");
  EXPECT_THROW(DesCrypt("short", "data", kDesEncrypt, kEcb), Exception);
  EXPECT_THROW(DesCrypt("", "data", kDesEncrypt, kEcb), Exception);
  EXPECT_THROW(DesKeySchedule("1234567"), Exception);
  EXPECT_THROW(DesCrypt(key, "data", kDesEncrypt, kDesCbc, Iv("01020304050607")), Exception);
  EXPECT_THROW(DesCrypt(key, "data", kDesEncrypt, kDesCbc), Exception);
  EXPECT_NO_THROW(DesCrypt(key, "data", kDesEncrypt, kEcb));  // ECB never reads the vector
}

}  // namespace
}  // namespace pavix
