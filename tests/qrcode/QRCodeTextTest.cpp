#include <gtest/gtest.h>

#include "QRCodeText.h"

namespace pavix::qr {
namespace {

TEST(DecodeCode, EscapesBecomeBytes) {
  struct Case {
    std::string code;
    std::string data;
    bool binary;
  };
  const Case cases[] = {
      {"A~0D0A~B", "A\r\nB", false},        // CR and LF are not binary: text can hold them
      {"50~~%", "50~%", false},
      {"~41~", "A", false},
      {"~1F~", "\x1F", true},
      {"~a1~x~20~", "\xA1x ", true},        // lower-case digits; one binary byte is enough
      {"~A0~", "\xA0", false},               // 0xA0 is not in the binary set, 0xA1 is
      {"~0009~", std::string("\0\t", 2), true},
      {"~~~~", "~~", false},
      {"no escapes", "no escapes", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const TDecodedCode decoded = DecodeCode(c.code, true);
    EXPECT_TRUE(decoded.escapesValid);
    EXPECT_EQ(decoded.data, c.data);
    EXPECT_EQ(decoded.binary, c.binary);
  }
}

TEST(DecodeCode, MalformedEscapesLeaveTheTextAsItIs) {
  // Odd digit count, a non-hexadecimal pair, a tilde left open: the whole
  // text is taken literally, even the escapes before the bad one.
  for (const std::string code : {"~1~", "~G1~", "~1F~~4~", "ab~41", "~0D0A~x~zz~", "~"}) {
    SCOPED_TRACE(code);
    const TDecodedCode decoded = DecodeCode(code, true);
    EXPECT_FALSE(decoded.escapesValid);
    EXPECT_EQ(decoded.data, code);
    EXPECT_FALSE(decoded.binary);
  }
}

TEST(DecodeCode, EscapesOffCopiesTheText) {
  const TDecodedCode decoded = DecodeCode("~41~", false);
  EXPECT_EQ(decoded.data, "~41~");
  EXPECT_TRUE(decoded.escapesValid);
  EXPECT_FALSE(decoded.binary);
}

}  // namespace
}  // namespace pavix::qr
