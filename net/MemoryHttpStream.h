#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "HttpStream.h"

namespace pavix::net {

// A connection held in memory: the peer's bytes are all there from the
// start and arrive at most `pieceSize` at a time; what the server writes is
// collected. For the request reader's tests and fuzzing.
class MemoryHttpStream final : public IHttpStream {
 public:
  explicit MemoryHttpStream(std::string_view input, std::size_t pieceSize = 32768)
      : input_(input), pieceSize_(std::max<std::size_t>(pieceSize, 1)) {}

  std::size_t Read(char* data, std::size_t size, std::chrono::milliseconds) override {
    if (input_.empty()) throw ConnectionEnded("The peer closed the connection");
    const std::size_t count = std::min({size, pieceSize_, input_.size()});
    std::memcpy(data, input_.data(), count);
    input_.erase(0, count);
    return count;
  }
  bool BytesWaiting(std::chrono::milliseconds) override { return !input_.empty(); }
  void Write(std::string_view bytes) override { output_ += bytes; }

  const std::string& Output() const { return output_; }

 private:
  std::string input_;
  std::size_t pieceSize_;
  std::string output_;
};

}  // namespace pavix::net
