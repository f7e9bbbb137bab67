#include <gtest/gtest.h>

#include "Base64.h"
#include "HexBytes.h"
#include "Sha1.h"

namespace pavix {
namespace {

using test::ToHex;

std::string Sha1Hex(std::string_view message) {
  const Sha1Digest digest = Sha1(message);
  return ToHex(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

TEST(Sha1Test, GivesTheStandardDigests) {
  struct Case {
    std::string message;
    const char* digest;
  };
  const Case cases[] = {
      {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      // 56 bytes: the length no longer fits in the first block.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
  };
  for (const Case& c : cases) EXPECT_EQ(Sha1Hex(c.message), c.digest) << c.message.substr(0, 60);
}

TEST(Base64Test, EncodesAndDecodesTheStandardVectors) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [bytes, text] : vectors) {
    EXPECT_EQ(EncodeBase64(bytes), text);
    EXPECT_EQ(DecodeBase64(text), bytes) << text;
  }
  std::string every;
  for (int b = 0; b < 256; ++b) every.push_back(static_cast<char>(b));
  EXPECT_EQ(DecodeBase64(EncodeBase64(every)), every);
}

TEST(Base64Test, RefusesTextThatIsNotBase64) {
  for (const char* text : {"Zg=", "Zg", "Z===", "Zg=a", "Zg==Zg==", "Zm9v!A==", "Zm 9v", "===="}) {
    EXPECT_EQ(DecodeBase64(text), std::nullopt) << text;
  }
}

// The key a WebSocket server must answer to the example opening request.
TEST(Base64Test, WebSocketAcceptKeyExample) {
  const Sha1Digest digest = Sha1(std::string("dGhlIHNhbXBsZSBub25jZQ==") + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11");
  EXPECT_EQ(EncodeBase64(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size())),
            "s3pPLMBiTxaQ9kYGzzhZRbK+xOo=");
}

}  // namespace
}  // namespace pavix
