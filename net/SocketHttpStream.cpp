#include "SocketHttpStream.h"

namespace pavix::net {

namespace {

[[noreturn]] void End(WaitResult result) {
  throw ConnectionEnded(result == WaitResult::Stopped ? "The server is stopping" : "The peer went quiet");
}

}  // namespace

std::size_t SocketHttpStream::Read(char* data, std::size_t size, std::chrono::milliseconds timeout) {
  // Bytes that are there already are taken without a wait first: a request
  // has mostly arrived by the time its connection is served.
  for (;;) {
    if (stop_.Raised()) End(WaitResult::Stopped);
    if (const auto received = socket_.Receive(data, size)) {
      if (*received == 0) throw ConnectionEnded("The peer closed the connection");
      return *received;
    }
    // Nothing there, or woken without data after all.
    if (const WaitResult result = socket_.WaitReadable(timeout, &stop_); result != WaitResult::Ready) End(result);
  }
}

bool SocketHttpStream::BytesWaiting(std::chrono::milliseconds wait) {
  return socket_.WaitReadable(wait, &stop_) == WaitResult::Ready && socket_.HasBytesWaiting();
}

void SocketHttpStream::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t sent = socket_.Send(bytes.data(), bytes.size());
    bytes.remove_prefix(sent);
    if (bytes.empty()) break;
    // Only a peer that does not read makes us wait; a reply that fits the
    // socket buffer goes out even while the server stops.
    if (const WaitResult result = socket_.WaitWritable(sendTimeout_, &stop_); result != WaitResult::Ready) End(result);
  }
}

}  // namespace pavix::net
