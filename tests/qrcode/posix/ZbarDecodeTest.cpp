// Symbols rendered to PNG and read back by zbarimg, an independent decoder.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "ExternalProgram.h"
#include "QRBitStream.h"
#include "QRCodeText.h"
#include "QRSymbolEncoder.h"
#include "QRVersionTable.h"
#include "SymbolImage.h"
#include "TestSupport.h"

namespace pavix::qr {
namespace {

// A kind of text: its characters (one or two bytes each) repeat as long as
// needed. `fullMode` is the single mode the whole text takes, if it does, so
// that the table's capacity can be checked as well.
struct TextKind {
  const char* name;
  std::vector<std::string> characters;
  bool usejis;
  bool escaped;  // given to the encoder as ~hex~ escapes
  std::int32_t fullMode;
};

std::vector<TextKind> Kinds() {
  std::vector<std::string> binary;
  for (int byte = 0; byte < 256; ++byte) binary.emplace_back(1, static_cast<char>((byte * 37 + 11) & 0xFF));
  auto each = [](std::string_view text) {
    std::vector<std::string> characters;
    for (const char c : text) characters.emplace_back(1, c);
    return characters;
  };
  return {
      {"digits", each("0123456789"), true, false, kModeNumeric},
      {"alphanumerics", each("HELLO WORLD $%*+-./:0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"), true, false,
       kModeAlphanumeric},
      {"mixed", each("Pavix 3.0: 8212 prints, 42 jobs; QR OK 1234567 "), true, false, kModeNone},
      {"lines", each("line 1\r\nline 2\r\n"), false, false, kModeByte},
      {"Shift-JIS kanji", {"\x93\x5F", "\xE4\xAA", "\x88\x9F", "\x82\xA0", "\x83\x41", "\x8C\x8E"}, true, false,
       kModeKanji},
      // GBK 打印服务器 among ASCII; 0xEBC0 would overflow a kanji value.
      {"GBK", {"\xB4\xF2", "\xD3\xA1", "\xB7\xFE", "\xCE\xF1", "\xC6\xF7", " ", "v", "3", "\xEB\xC0", "\x81\x40", "A"},
       true, false, kModeNone},
      {"binary", binary, false, true, kModeByte},
  };
}

std::string Text(const TextKind& kind, std::size_t characters) {
  std::string text;
  for (std::size_t i = 0; i < characters; ++i) text += kind.characters[i % kind.characters.size()];
  return text;
}

std::string Escaped(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string code = "~";
  for (const char c : bytes) {
    code += kDigits[static_cast<unsigned char>(c) >> 4];
    code += kDigits[static_cast<unsigned char>(c) & 0xF];
  }
  return code + "~";
}

class ZbarDecode : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(test::ProgramAvailable("zbarimg")) << "install Debian's zbar-tools package"; }

  static bool Fits(const std::string& data, const TEncodeSettings& settings) {
    TDataCodewords codewords;
    std::int32_t emodeR = kModeNone;
    return EncodePiece(data, settings, {}, codewords, emodeR);
  }

  // The most characters of `kind` that fit.
  std::size_t FullLength(const TextKind& kind, const TEncodeSettings& settings) {
    std::size_t fits = 0;
    std::size_t failsAt = kMaxPieceBytes + 1;
    while (failsAt - fits > 1) {
      const std::size_t middle = (fits + failsAt) / 2;
      (Fits(Text(kind, middle), settings) ? fits : failsAt) = middle;
    }
    return fits;
  }

  // Encodes `code` (after escape decoding), renders it at magnification 4
  // and expects zbarimg to read back exactly the data bytes.
  void ExpectRoundTrip(const std::string& code, bool escaped, const TEncodeSettings& settings) {
    const TDecodedCode decoded = DecodeCode(code, escaped);
    ASSERT_TRUE(decoded.escapesValid);
    std::int32_t emodeR = kModeNone;
    const std::optional<std::int32_t> mask = encoder_.Encode(decoded.data, settings, {}, emodeR);
    ASSERT_TRUE(mask.has_value()) << "does not fit";
    if (settings.masktype != kMaskAutomatic) {
      EXPECT_EQ(*mask, settings.masktype);
    }
    const auto png = dir_ / "symbol.png";
    std::ofstream(png, std::ios::binary) << SymbolPng(encoder_.Matrix(), 4);
    const test::ProgramResult read = test::RunProgram(
        {"zbarimg", "--nodbus", "--raw", "-q", "-Sdisable", "-Sqrcode.enable", "-Sbinary", png.string()});
    ASSERT_EQ(read.exitCode, 0) << "zbarimg found no symbol: " << read.err;
    EXPECT_EQ(testing::PrintToString(read.out), testing::PrintToString(decoded.data));
  }

  test::TempDir dir_;
  TQRSymbolEncoder encoder_;
};

// Every version, every level and every kind of text, at full capacity and
// just below it. Versions pair with kinds and levels in turn, so that the 40
// versions meet every kind at every level.
TEST_F(ZbarDecode, TextsAcrossVersionsAndLevelsAtFullAndNearFullCapacity) {
  const std::vector<TextKind> kinds = Kinds();
  const std::size_t k = kinds.size();
  for (std::int32_t version = kMinVersion; version <= kMaxVersion; ++version) {
    struct Pick {
      const TextKind& kind;
      std::int32_t eclevel;
      bool full;
    };
    const auto v = static_cast<std::size_t>(version);
    const Pick picks[] = {{kinds[v % k], version % 4, true}, {kinds[(v + 3) % k], (version + 1) % 4, false}};
    for (const Pick& pick : picks) {
      const TEncodeSettings settings{.version = version, .eclevel = pick.eclevel, .usejis = pick.kind.usejis};
      const std::size_t full = FullLength(pick.kind, settings);
      SCOPED_TRACE(testing::Message() << pick.kind.name << " at " << version << "-" << "LMQH"[pick.eclevel] << ", "
                                      << (pick.full ? "full" : "near full") << " (" << full << " characters)");
      if (pick.kind.fullMode != kModeNone) {
        const TEcLevelInfo& level = VersionInfo(version).levels[pick.eclevel];
        EXPECT_EQ(static_cast<std::int32_t>(full), level.capacity[pick.kind.fullMode]);
      }
      const std::string data = Text(pick.kind, pick.full ? full : full - 2);
      ExpectRoundTrip(pick.kind.escaped ? Escaped(data) : data, pick.kind.escaped, settings);
    }
  }
}

TEST_F(ZbarDecode, EmptyText) {
  for (const std::int32_t version : {1, 7, 40}) {
    SCOPED_TRACE(version);
    ExpectRoundTrip("", false, {.version = version, .eclevel = version % 4});
  }
}

// The pairing code's form: Base64 lines with CR LF, version 8, level L, one
// 8-bit segment; automatic and every fixed mask.
TEST_F(ZbarDecode, PairingTextUnderEveryMask) {
  const std::string text = "5rgI/aSkU+PwTh6cDLnq1lHzWfZpksQh2LxsyOVTDIpqImevyrSmIfXtJqbNmqPI+iZ8QT+o4Wtc\r\n"
                           "eJ9nilXmZJJd0ce8NpYH9AiK49x106TsErfpBe2XyEe7Sk7EtJLd8U2Tp4OgqVYoDRR3HPStKIRj\r\n"
                           "9oc+dd6U9wy+Xhl7mrM=";
  for (std::int32_t mask = kMaskAutomatic; mask < 8; ++mask) {
    SCOPED_TRACE(testing::Message() << "mask " << mask);
    ExpectRoundTrip(text, false, {.version = 8, .eclevel = 0, .masktype = mask});
  }
}

}  // namespace
}  // namespace pavix::qr
