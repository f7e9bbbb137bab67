// Random keys, vectors and data against the openssl command line tool.
#include <gtest/gtest.h>

#include <random>

#include "DESUtils.h"
#include "Sha1.h"
#include "ExternalProgram.h"
#include "../HexBytes.h"
#include "TestSupport.h"

namespace pavix {
namespace {

using test::ToHex;

struct Cipher {
  const char* name;  // openssl's
  std::size_t keyLength;
};

class OpensslAgreement : public ::testing::TestWithParam<Cipher> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ProgramAvailable("openssl")) << "install Debian's openssl package";
  }

  std::string Openssl(const std::string& key, const std::string& iv, const std::string& data, bool decipher) {
    const auto input = dir_ / "input.bin";
    test::WriteFileText(input, data);
    std::vector<std::string> argv{"openssl", "enc", std::string("-") + GetParam().name, "-provider", "legacy",
                                  "-provider", "default", "-K", ToHex(key), "-iv", ToHex(iv), "-in", input.string()};
    if (decipher) {
      argv.push_back("-d");
      argv.push_back("-nopad");
    }
    const test::ProgramResult result = test::RunProgram(argv);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
  }

  std::string RandomBytes(std::size_t length) {
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(random_() & 0xFF);
    return bytes;
  }

  test::TempDir dir_;
  std::mt19937 random_{0x5A3C9107};  // fixed, so a failure can be replayed
};

TEST_P(OpensslAgreement, EncipheringRandomData) {
  std::vector<std::size_t> lengths{0, 1, 7, 8, 9, 15, 16, 17, 63, 64, 65, 199, 200};
  for (int i = 0; i < 30; ++i) lengths.push_back(random_() % 201);
  for (const std::size_t length : lengths) {
    const std::string key = RandomBytes(GetParam().keyLength);
    const std::string iv = RandomBytes(8);
    const std::string data = RandomBytes(length);
    SCOPED_TRACE("key " + ToHex(key) + " iv " + ToHex(iv) + " data " + ToHex(data));
    const std::vector<std::uint8_t> ivBytes(iv.begin(), iv.end());
    EXPECT_EQ(ToHex(DesCrypt(key, data, kDesEncrypt, kDesCbc, ivBytes)), ToHex(Openssl(key, iv, data, false)));
  }
}

TEST_P(OpensslAgreement, DecipheringWholeBlocksStripsNothing) {
  for (const std::size_t length : {8, 16, 64, 200}) {
    const std::string key = RandomBytes(GetParam().keyLength);
    const std::string iv = RandomBytes(8);
    const std::string cipher = RandomBytes(length);
    SCOPED_TRACE("key " + ToHex(key) + " iv " + ToHex(iv) + " cipher " + ToHex(cipher));
    const std::vector<std::uint8_t> ivBytes(iv.begin(), iv.end());
    EXPECT_EQ(ToHex(DesCrypt(key, cipher, 0, kDesCbc, ivBytes)), ToHex(Openssl(key, iv, cipher, true)));
  }
}

INSTANTIATE_TEST_SUITE_P(Ciphers, OpensslAgreement,
                         ::testing::Values(Cipher{"des-cbc", 8}, Cipher{"des-ede3-cbc", 24}),
                         [](const auto& info) { return info.param.keyLength == 8 ? "Des" : "TripleDes"; });

// Every length around the block and padding boundaries, and random ones.
TEST(OpensslSha1Agreement, DigestsOfEveryLengthAroundTheBlockBoundaries) {
  ASSERT_TRUE(test::ProgramAvailable("openssl")) << "install Debian's openssl package";
  test::TempDir dir;
  std::mt19937 random(0x67452301);
  for (std::size_t length = 0; length <= 200; ++length) {
    std::string data(length, '\0');
    for (char& c : data) c = static_cast<char>(random() & 0xFF);
    test::WriteFileText(dir / "input.bin", data);
    const test::ProgramResult result =
        test::RunProgram({"openssl", "dgst", "-sha1", "-binary", (dir / "input.bin").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const Sha1Digest digest = Sha1(data);
    EXPECT_EQ(ToHex(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size())), ToHex(result.out))
        << "length " << length;
  }
}

}  // namespace
}  // namespace pavix
