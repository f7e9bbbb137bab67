#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// WebSocket framing (RFC 6455): writing the client's frames and reading the
// server's, checked as they arrive, with fragmented messages put together.
namespace pavix::net {

enum TWSOpcode : std::uint8_t {
  opContinuation = 0x0,
  opText = 0x1,
  opBinary = 0x2,
  opClose = 0x8,
  opPing = 0x9,
  opPong = 0xA,
  opNone = 0xFF,  // no data message in progress
};

// Close codes the client sends.
inline constexpr std::uint16_t kCloseNormal = 1000;
inline constexpr std::uint16_t kCloseProtocolError = 1002;
inline constexpr std::uint16_t kClosePolicyViolation = 1008;
inline constexpr std::uint16_t kCloseMessageTooBig = 1009;

// The most a whole message may hold: a job is a few kilobytes, and nothing
// the server says may make the client allocate without bound.
inline constexpr std::size_t kMaxMessageSize = std::size_t{64} << 20;

// One whole frame as the client sends it: FIN, the opcode, the mask bit, the
// shortest length form, the 4-byte `maskKey` and the masked payload.
std::string EncodeFrame(TWSOpcode opcode, std::string_view payload, std::string_view maskKey);

// The payload of a close frame with `code` and no reason.
std::string ClosePayload(std::uint16_t code);

// Whether a close code received from the server is one the client accepts.
bool IsAcceptedCloseCode(std::uint16_t code);

// What a run of received bytes completed.
struct TWSReceived {
  enum class Kind {
    Message,  // a whole text or binary message
    Ping,
    Pong,
    Close,    // an acceptable close frame: answer 1000 and end
    Error,    // the data broke the protocol: send `replyCode` and end
  };
  Kind kind = Kind::Message;
  TWSOpcode opcode = opNone;  // opText or opBinary for a message
  std::string payload;
  std::uint16_t closeCode = 0;  // the code of a close frame received, else 0
  std::uint16_t replyCode = 0;  // the code of the close frame to send on an error
  std::string error;

  static TWSReceived Of(Kind kind, TWSOpcode opcode = opNone, std::string payload = {}) {
    TWSReceived item;
    item.kind = kind;
    item.opcode = opcode;
    item.payload = std::move(payload);
    return item;
  }
};

// The receive state machine. It keeps the data message being assembled
// apart from the control frame being read, so that a control frame between
// two fragments does not disturb the message.
class TWSFrameReader {
 public:
  explicit TWSFrameReader(std::size_t maxMessageSize = kMaxMessageSize) : maxMessageSize_(maxMessageSize) {}

  // Consumes `bytes` and appends what they complete to `out`. After an
  // error everything is ignored: the connection is over.
  void Feed(std::string_view bytes, std::vector<TWSReceived>& out);
  bool Failed() const { return failed_; }

 private:
  void Fail(std::uint16_t replyCode, std::string text, std::vector<TWSReceived>& out, std::uint16_t closeCode = 0);
  // Checks a complete header; false when it broke the protocol.
  bool StartFrame(std::vector<TWSReceived>& out);
  void FinishFrame(std::vector<TWSReceived>& out);
  void FinishClose(std::vector<TWSReceived>& out);

  const std::size_t maxMessageSize_;
  bool failed_ = false;
  std::string header_;  // bytes of the header read so far
  bool inPayload_ = false;
  bool fin_ = false;
  TWSOpcode frameOpcode_ = opNone;
  std::uint64_t payloadLength_ = 0;
  std::uint64_t payloadRead_ = 0;
  bool masked_ = false;
  std::uint8_t mask_[4] = {};
  TWSOpcode messageOpcode_ = opNone;  // opNone: no data message in progress
  std::string message_;
  std::string control_;
};

}  // namespace pavix::net
