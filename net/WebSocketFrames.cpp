#include "WebSocketFrames.h"

#include <algorithm>

namespace pavix::net {

namespace {

constexpr std::uint8_t kFin = 0x80;
constexpr std::uint8_t kRsvBits = 0x70;
constexpr std::uint8_t kMaskBit = 0x80;
constexpr std::size_t kMaxControlPayload = 125;

bool IsControl(std::uint8_t opcode) { return opcode >= opClose && opcode <= opPong; }
bool IsKnown(std::uint8_t opcode) { return opcode <= opBinary || IsControl(opcode); }

std::size_t ExtendedLengthSize(std::uint8_t lengthByte) {
  if (lengthByte == 126) return 2;
  if (lengthByte == 127) return 8;
  return 0;
}

}  // namespace

std::string EncodeFrame(TWSOpcode opcode, std::string_view payload, std::string_view maskKey) {
  std::string frame;
  frame.reserve(payload.size() + 14);
  frame.push_back(static_cast<char>(kFin | opcode));
  const std::uint64_t length = payload.size();
  if (length < 126) {
    frame.push_back(static_cast<char>(kMaskBit | length));
  } else if (length <= 0xFFFF) {
    frame.push_back(static_cast<char>(kMaskBit | 126));
    for (int shift = 8; shift >= 0; shift -= 8) frame.push_back(static_cast<char>((length >> shift) & 0xFF));
  } else {
    frame.push_back(static_cast<char>(kMaskBit | 127));
    for (int shift = 56; shift >= 0; shift -= 8) frame.push_back(static_cast<char>((length >> shift) & 0xFF));
  }
  frame.append(maskKey.substr(0, 4));
  for (std::size_t i = 0; i < payload.size(); ++i) frame.push_back(static_cast<char>(payload[i] ^ maskKey[i % 4]));
  return frame;
}

std::string ClosePayload(std::uint16_t code) {
  return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

bool IsAcceptedCloseCode(std::uint16_t code) {
  return (code >= 1000 && code <= 1003) || (code >= 1007 && code <= 1011) || (code >= 3000 && code <= 4999);
}

void TWSFrameReader::Fail(std::uint16_t replyCode, std::string text, std::vector<TWSReceived>& out,
                          std::uint16_t closeCode) {
  failed_ = true;
  message_.clear();
  control_.clear();
  TWSReceived error = TWSReceived::Of(TWSReceived::Kind::Error);
  error.replyCode = replyCode;
  error.closeCode = closeCode;
  error.error = std::move(text);
  out.push_back(std::move(error));
}

bool TWSFrameReader::StartFrame(std::vector<TWSReceived>& out) {
  const auto first = static_cast<std::uint8_t>(header_[0]);
  const auto second = static_cast<std::uint8_t>(header_[1]);
  const std::uint8_t opcode = first & 0x0F;
  fin_ = (first & kFin) != 0;
  masked_ = (second & kMaskBit) != 0;
  const std::uint8_t lengthByte = second & 0x7F;
  if (opcode == opContinuation && messageOpcode_ == opNone) {
    Fail(kCloseProtocolError, "Unfragmented message after continuation frame with FIN", out);
  } else if ((opcode == opText || opcode == opBinary) && messageOpcode_ != opNone) {
    Fail(kCloseProtocolError,
         std::string("OpCode error, received ") + (opcode == opText ? "opText" : "opBinary") +
             " after Continuation not finished",
         out);
  } else if ((first & kRsvBits) != 0 && opcode != opContinuation) {
    Fail(kCloseProtocolError, "Invalid value of RSV while no Extension Negotiated", out);
  } else if (IsControl(opcode) && !fin_) {
    Fail(kCloseProtocolError, "Control Message must not be fragmented", out);
  } else if (!IsKnown(opcode)) {
    Fail(kCloseProtocolError, "Invalid Control OptCode", out);
  } else if (IsControl(opcode) && lengthByte > kMaxControlPayload) {
    Fail(kCloseProtocolError, "Control frames are only allowed to have payload up to and including 125 octets", out);
  }
  frameOpcode_ = static_cast<TWSOpcode>(opcode);
  return !failed_;
}

void TWSFrameReader::Feed(std::string_view bytes, std::vector<TWSReceived>& out) {
  while (!failed_ && !bytes.empty()) {
    if (!inPayload_) {
      // The header: 2 bytes, then the extended length and the masking key.
      std::size_t needed = 2;
      if (header_.size() >= 2) {
        const auto second = static_cast<std::uint8_t>(header_[1]);
        needed += ExtendedLengthSize(second & 0x7F) + ((second & kMaskBit) != 0 ? 4 : 0);
      }
      const std::size_t take = std::min(needed - header_.size(), bytes.size());
      header_.append(bytes.substr(0, take));
      bytes.remove_prefix(take);
      if (header_.size() == 2 && needed == 2) {
        if (!StartFrame(out)) return;
        const auto second = static_cast<std::uint8_t>(header_[1]);
        if (ExtendedLengthSize(second & 0x7F) + ((second & kMaskBit) != 0 ? 4 : 0) > 0) continue;
      } else if (header_.size() < needed) {
        continue;
      }
      const auto lengthByte = static_cast<std::uint8_t>(header_[1]) & 0x7F;
      const std::size_t extended = ExtendedLengthSize(lengthByte);
      payloadLength_ = lengthByte;
      if (extended > 0) {
        payloadLength_ = 0;
        for (std::size_t i = 0; i < extended; ++i) payloadLength_ = (payloadLength_ << 8) | static_cast<std::uint8_t>(header_[2 + i]);
      }
      if (masked_) {
        for (std::size_t i = 0; i < 4; ++i) mask_[i] = static_cast<std::uint8_t>(header_[2 + extended + i]);
      }
      header_.clear();
      payloadRead_ = 0;
      // Checked before a byte is kept: a frame longer than the client can
      // hold is refused, not allocated.
      const std::size_t held = frameOpcode_ == opContinuation || !IsControl(frameOpcode_) ? message_.size() : 0;
      if (payloadLength_ > maxMessageSize_ - held) {
        Fail(kCloseMessageTooBig, "Message too big: more than " + std::to_string(maxMessageSize_) + " bytes", out);
        return;
      }
      if (payloadLength_ == 0) {
        FinishFrame(out);
        continue;
      }
      inPayload_ = true;
      continue;
    }
    std::string& target = IsControl(frameOpcode_) ? control_ : message_;
    const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(payloadLength_ - payloadRead_, bytes.size()));
    const std::size_t start = target.size();
    target.append(bytes.substr(0, take));
    if (masked_) {
      for (std::size_t i = 0; i < take; ++i) target[start + i] = static_cast<char>(target[start + i] ^ mask_[(payloadRead_ + i) % 4]);
    }
    payloadRead_ += take;
    bytes.remove_prefix(take);
    if (payloadRead_ == payloadLength_) {
      inPayload_ = false;
      FinishFrame(out);
    }
  }
}

void TWSFrameReader::FinishFrame(std::vector<TWSReceived>& out) {
  switch (frameOpcode_) {
    case opText:
    case opBinary:
    case opContinuation:
      if (frameOpcode_ != opContinuation) messageOpcode_ = frameOpcode_;
      if (fin_) {
        TWSReceived message = TWSReceived::Of(TWSReceived::Kind::Message, messageOpcode_, std::move(message_));
        out.push_back(std::move(message));
        message_.clear();
        messageOpcode_ = opNone;
      }
      return;
    case opPing:
    case opPong:
      out.push_back(TWSReceived::Of(frameOpcode_ == opPing ? TWSReceived::Kind::Ping : TWSReceived::Kind::Pong,
                                    frameOpcode_, std::move(control_)));
      control_.clear();
      return;
    case opClose:
      FinishClose(out);
      return;
    case opNone:
      return;
  }
}

void TWSFrameReader::FinishClose(std::vector<TWSReceived>& out) {
  const std::string payload = std::move(control_);
  control_.clear();
  if (payload.size() == 1) {
    Fail(kCloseProtocolError, "Invalid Payload length for close code", out);
    return;
  }
  std::uint16_t code = 0;
  if (!payload.empty()) {
    code = static_cast<std::uint16_t>((static_cast<std::uint8_t>(payload[0]) << 8) | static_cast<std::uint8_t>(payload[1]));
    if (!IsAcceptedCloseCode(code)) {
      Fail(kCloseProtocolError, "Invalid close code", out, code);
      return;
    }
  }
  TWSReceived close = TWSReceived::Of(TWSReceived::Kind::Close, opClose);
  close.closeCode = code;
  out.push_back(std::move(close));
  // Nothing after a close frame counts.
  failed_ = true;
}

}  // namespace pavix::net
