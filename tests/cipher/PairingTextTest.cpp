#include <gtest/gtest.h>

#include "DESUtils.h"
#include "HexBytes.h"

namespace pavix {
namespace {

// Lines of `text` split at CR LF; the part after the last CR LF is kept even
// when empty, so a trailing line break shows as a final "".
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

TEST(EncodeBase64Lines, StandardGroupsAndPadding) {
  struct Case {
    const char* bytes;
    const char* text;
  };
  for (const Case c : {Case{"f", "Zg=="}, Case{"fo", "Zm8="}, Case{"foo", "Zm9v"}, Case{"foob", "Zm9vYg=="},
                       Case{"fooba", "Zm9vYmE="}, Case{"foobar", "Zm9vYmFy"}, Case{"\xFB\xFF", "+/8="}}) {
    EXPECT_EQ(EncodeBase64Lines(c.bytes), c.text);
  }
}

TEST(EncodeBase64Lines, BreaksAfterEverySeventySixCharacters) {
  struct Case {
    std::size_t bytes;
    std::vector<std::size_t> lineLengths;  // the last entry is what follows the last CR LF
  };
  const Case cases[] = {
      {0, {0}},
      {1, {4}},
      {56, {76, 0}},  // the padded last group completes the line
      {57, {76, 0}},
      {58, {76, 4}},
      {114, {76, 76, 0}},
      {120, {76, 76, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    const std::string text = EncodeBase64Lines(std::string(c.bytes, '\xA5'));
    std::vector<std::size_t> lengths;
    for (const std::string& line : Lines(text)) lengths.push_back(line.size());
    EXPECT_EQ(lengths, c.lineLengths);
  }
}

TEST(EncryptPairingText, SettingsPayloadGivesTheTextTheAppReads) {
  // A pairing payload of 121 bytes: 128 cipher bytes, 176 characters. The
  // expected text is openssl's DES-CBC under the pairing key and vector,
  // Base64 with CR LF line breaks.
  const std::string payload =
      R"({"QRType":"PCPrinter","Type":2,"Model":1,"Addr":"192.168.1.20","Port":8212,)"
      R"("PESN":"0F8A2C44-7B1D-4E9A-9C3B-5D6E7F8091A2"})";
  ASSERT_EQ(payload.size(), 121u);
  EXPECT_EQ(EncryptPairingText(payload, PairingKey, PairingIv),
            "5rgI/aSkU+PwTh6cDLnq1lHzWfZpksQh2LxsyOVTDIpqImevyrSmIfXtJqbNmqPI+iZ8QT+o4Wtc\r\n"
            "eJ9nilXmZJJd0ce8NpYH9AiK49x106TsErfpBe2XyEe7Sk7EtJLd8U2Tp4OgqVYoDRR3HPStKIRj\r\n"
            "9oc+dd6U9wy+Xhl7mrM=");
  EXPECT_EQ(test::ToHex(std::string(PairingKey)), "6b777a7166687462");
}

TEST(EncryptPairingText, SizesOfShortestAndLongestPayloads) {
  struct Case {
    std::size_t json;
    std::size_t text;
  };
  for (const Case c : {Case{114, 164}, Case{119, 164}, Case{120, 176}, Case{125, 176}}) {
    SCOPED_TRACE(c.json);
    const std::string text = EncryptPairingText(std::string(c.json, '{'), PairingKey, PairingIv);
    EXPECT_EQ(text.size(), c.text);
    EXPECT_EQ(Lines(text).size(), 3u);
  }
  // Empty data: one padding block, 12 characters ending in "=".
  const std::string empty = EncryptPairingText("", PairingKey, PairingIv);
  EXPECT_EQ(empty.size(), 12u);
  EXPECT_EQ(empty.back(), '=');
}

}  // namespace
}  // namespace pavix
