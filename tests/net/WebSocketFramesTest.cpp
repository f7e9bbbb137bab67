// Framing and the opening handshake, without sockets: the frames the client
// writes, the receive state machine's checks and reassembly, and the checks
// of the server's answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WebSocketFrames.h"
#include "WebSocketHandshake.h"
#include "WebSocketScriptedServer.h"

namespace pavix::net {
namespace {

using test::ServerFrame;
using Kind = TWSReceived::Kind;

std::vector<TWSReceived> Read(const std::string& bytes, std::size_t maxMessage = kMaxMessageSize, bool byteByByte = false) {
  TWSFrameReader reader(maxMessage);
  std::vector<TWSReceived> out;
  if (byteByByte) {
    for (const char c : bytes) reader.Feed(std::string_view(&c, 1), out);
  } else {
    reader.Feed(bytes, out);
  }
  return out;
}

TEST(WebSocketFramesTest, ClientFramesUseTheShortestLengthFormAndMaskEveryByte) {
  const std::string key = "\x01\x80\xff\x10";
  struct Case {
    std::size_t length;
    std::string lengthBytes;
  };
  for (const Case& c : std::vector<Case>{{0, "\x80"},
                                         {125, "\xFD"},
                                         {126, std::string("\xFE\x00\x7E", 3)},
                                         {65535, "\xFE\xFF\xFF"},
                                         {65536, std::string("\xFF\x00\x00\x00\x00\x00\x01\x00\x00", 9)}}) {
    SCOPED_TRACE(c.length);
    std::string payload(c.length, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 7);
    const std::string frame = EncodeFrame(opText, payload, key);
    ASSERT_EQ(frame.size(), 1 + c.lengthBytes.size() + 4 + c.length);
    EXPECT_EQ(static_cast<std::uint8_t>(frame[0]), 0x81);
    EXPECT_EQ(frame.substr(1, c.lengthBytes.size()), c.lengthBytes);
    EXPECT_EQ(frame.substr(1 + c.lengthBytes.size(), 4), key);
    const std::string masked = frame.substr(5 + c.lengthBytes.size());
    for (std::size_t i = 0; i < masked.size(); ++i) ASSERT_EQ(static_cast<char>(masked[i] ^ key[i % 4]), payload[i]) << i;
  }
}

TEST(WebSocketFramesTest, FragmentsWithAControlFrameBetweenThemMakeOneMessage) {
  const std::string bytes = ServerFrame(opText, "Hel", false) + ServerFrame(opContinuation, "lo, ", false) +
                            ServerFrame(opPing, "p") + ServerFrame(opContinuation, "world") +
                            ServerFrame(opBinary, std::string(70000, 'b'));
  for (const bool byteByByte : {false, true}) {
    const auto out = Read(bytes, kMaxMessageSize, byteByByte);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].kind, Kind::Ping);
    EXPECT_EQ(out[0].payload, "p");
    EXPECT_EQ(out[1].kind, Kind::Message);
    EXPECT_EQ(out[1].opcode, opText);
    EXPECT_EQ(out[1].payload, "Hello, world");
    EXPECT_EQ(out[2].opcode, opBinary);
    EXPECT_EQ(out[2].payload.size(), 70000u);
  }
}

TEST(WebSocketFramesTest, MaskedServerFramesAreUnmasked) {
  std::string frame = "\x81\x85";
  const std::string key = "\x11\x22\x33\x44";
  frame += key;
  const std::string text = "hello";
  for (std::size_t i = 0; i < text.size(); ++i) frame.push_back(static_cast<char>(text[i] ^ key[i % 4]));
  const auto out = Read(frame);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].payload, "hello");
}

TEST(WebSocketFramesTest, ProtocolErrorsCarryTheirTextAndCloseCode) {
  struct Case {
    std::string bytes;
    std::string error;
    std::uint16_t reply;
  };
  const std::vector<Case> cases = {
      {ServerFrame(opContinuation, "x"), "Unfragmented message after continuation frame with FIN", 1002},
      {ServerFrame(opText, "a", false) + ServerFrame(opText, "b"),
       "OpCode error, received opText after Continuation not finished", 1002},
      {ServerFrame(opText, "a", false) + ServerFrame(opBinary, "b"),
       "OpCode error, received opBinary after Continuation not finished", 1002},
      {ServerFrame(opText, "x", true, 0x10), "Invalid value of RSV while no Extension Negotiated", 1002},
      {ServerFrame(opPing, "x", false), "Control Message must not be fragmented", 1002},
      {ServerFrame(0x3, "x"), "Invalid Control OptCode", 1002},
      {ServerFrame(0xB, "x"), "Invalid Control OptCode", 1002},
      {ServerFrame(opPing, std::string(126, 'p')),
       "Control frames are only allowed to have payload up to and including 125 octets", 1002},
      {ServerFrame(opClose, "x"), "Invalid Payload length for close code", 1002},
      // A length the client cannot hold is refused before anything is kept.
      {std::string("\x82\x7F\x7F\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 10), "Message too big: more than 1000 bytes", 1009},
      {std::string("\x82\x7F\x80\x00\x00\x00\x00\x00\x00\x00", 10), "Message too big: more than 1000 bytes", 1009},
      {ServerFrame(opText, std::string(600, 'a'), false) + ServerFrame(opContinuation, std::string(600, 'b')),
       "Message too big: more than 1000 bytes", 1009},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    const auto out = Read(c.bytes + ServerFrame(opText, "after the error"), 1000);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].kind, Kind::Error);
    EXPECT_EQ(out[0].error, c.error);
    EXPECT_EQ(out[0].replyCode, c.reply);
  }
}

TEST(WebSocketFramesTest, CloseCodesOutsideTheAcceptedSetsAreErrors) {
  for (const int code : {1000, 1001, 1002, 1003, 1007, 1010, 1011, 3000, 4000, 4999}) {
    SCOPED_TRACE(code);
    const auto out = Read(ServerFrame(opClose, ClosePayload(static_cast<std::uint16_t>(code)) + "reason"));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].kind, Kind::Close);
    EXPECT_EQ(out[0].closeCode, code);
  }
  for (const int code : {0, 999, 1004, 1005, 1006, 1012, 2999, 5000, 65535}) {
    SCOPED_TRACE(code);
    const auto out = Read(ServerFrame(opClose, ClosePayload(static_cast<std::uint16_t>(code))));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].kind, Kind::Error);
    EXPECT_EQ(out[0].error, "Invalid close code");
    EXPECT_EQ(out[0].replyCode, 1002);
    EXPECT_EQ(out[0].closeCode, code);
  }
  const auto empty = Read(ServerFrame(opClose, ""));
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_EQ(empty[0].kind, Kind::Close);
  EXPECT_EQ(empty[0].closeCode, 0);
}

TEST(WebSocketHandshakeTest, OpeningRequestLines) {
  const std::string key = "dGhlIHNhbXBsZSBub25jZQ==";
  EXPECT_EQ(OpeningRequestLines({"cloud.example", 64139, "/a?guid=1", ""}, key),
            (std::vector<std::string>{"GET /a?guid=1 HTTP/1.1", "Host: cloud.example:64139", "Upgrade: websocket",
                                      "Connection: Upgrade", "Sec-WebSocket-Key: " + key, "Origin: cloud.example",
                                      "Sec-WebSocket-Version: 13"}));
  const auto plain = OpeningRequestLines({"h", 80, "x", "o"}, key);
  EXPECT_EQ(plain[0], "GET /x HTTP/1.1");
  EXPECT_EQ(plain[1], "Host: h");
  EXPECT_EQ(plain[5], "Origin: o");
  EXPECT_EQ(OpeningRequestText({"A\xE4", "B"}), "A?\r\nB\r\n\r\n");
}

TEST(WebSocketHandshakeTest, AnswerChecks) {
  const std::string key = "dGhlIHNhbXBsZSBub25jZQ==";
  EXPECT_EQ(AcceptValueFor(key), "s3pPLMBiTxaQ9kYGzzhZRbK+xOo=");
  const std::string accept = "Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=";
  struct Case {
    std::vector<std::string> lines;
    std::optional<std::string> error;
  };
  const std::vector<Case> cases = {
      {{"HTTP/1.1 101 Switching Protocols", "Upgrade: websocket", "Connection: Upgrade", accept}, std::nullopt},
      {{"HTTP/1.1 101 Switching Protocols", "upgrade: WebSocket", "connection: keep-alive, upgrade",
        "SEC-WEBSOCKET-ACCEPT: s3pPLMBiTxaQ9kYGzzhZRbK+xOo="},
       std::nullopt},
      {{"HTTP/1.1 101 Switching Protocols", accept}, std::nullopt},
      {{"HTTP/1.1 404 Not Found", accept}, "Error Decoding Header: Switching Protocols"},
      {{"HTTP/1.1 502 Bad Gateway"}, "Error Decoding Header: Switching Protocols"},
      {{accept}, "Error Decoding Header: Switching Protocols"},
      {{"HTTP/1.1 101 Switching Protocols", "Upgrade: h2c", accept}, "Error Decoding Header: Upgrade"},
      {{"HTTP/1.1 101 Switching Protocols", "Connection: close", accept}, "Error Decoding Header: Upgrade"},
      {{"HTTP/1.1 101 Switching Protocols"}, "Handshake Error: Invalid Accept Key"},
      {{"HTTP/1.1 101 Switching Protocols", "Sec-WebSocket-Accept:s3pPLMBiTxaQ9kYGzzhZRbK+xOo="},
       "Handshake Error: Invalid Accept Key"},
      {{"HTTP/1.1 101 Switching Protocols", "Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo"},
       "Handshake Error: Invalid Accept Key"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.front());
    EXPECT_EQ(CheckAnswer(c.lines, key), c.error);
  }
}

}  // namespace
}  // namespace pavix::net
