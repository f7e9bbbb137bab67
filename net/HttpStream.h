#pragma once

#include <chrono>
#include <cstddef>
#include <string_view>

#include "Exception.h"
#include "TimeLimit.h"

namespace pavix::net {

// The peer closed or reset the connection, a time-out passed or the server
// is stopping: the connection ends quietly, without an answer.
class ConnectionEnded : public Exception {
 public:
  using Exception::Exception;
};

// The byte stream of one connection, as the request reader and the response
// writer see it: a socket in the server, memory in the fuzz target.
class IHttpStream {
 public:
  virtual ~IHttpStream() = default;
  // At least one and at most `size` bytes; raises ConnectionEnded at the end
  // of the stream or when nothing arrives within `timeout`.
  virtual std::size_t Read(char* data, std::size_t size, std::chrono::milliseconds timeout) = 0;
  // Whether bytes (not just the end of the stream) arrive within `wait`.
  virtual bool BytesWaiting(std::chrono::milliseconds wait) = 0;
  // All of `bytes`, or ConnectionEnded.
  virtual void Write(std::string_view bytes) = 0;
};

}  // namespace pavix::net
