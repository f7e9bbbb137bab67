#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace pavix::net {

// What one request may cost the server. Anyone on the LAN can connect, so
// every wait ends and every buffer has a ceiling.
struct HttpLimits {
  std::chrono::milliseconds headTimeout{30'000};       // the request line and headers, in all
  std::chrono::milliseconds bodyStallTimeout{30'000};  // between two pieces of the body
  std::chrono::milliseconds sendTimeout{30'000};       // a peer that does not take the reply
  std::chrono::milliseconds noBodyWait{1};             // bytes after a head without a length
  // After the answer the server stops sending and drops what the peer still
  // sends, for a while, before it closes: closing on unread bytes would
  // reset the connection, and a reset can destroy the answer in transit.
  std::chrono::milliseconds lingerTimeout{2000};
  std::size_t lingerBytes = 256 * 1024;
  std::int64_t maxBodySize = 16 * 1024 * 1024;         // larger bodies get 413
  std::size_t maxLineLength = 16384;
  std::size_t maximumHeaderLineCount = 1024;  // one more passes; the next one fails
};

}  // namespace pavix::net
