#pragma once

#include "HttpStream.h"
#include "Socket.h"

namespace pavix::net {

// A connection's socket as the HTTP code reads and writes it; every wait also
// ends when the server's stop signal is raised.
class SocketHttpStream final : public IHttpStream {
 public:
  SocketHttpStream(Socket& socket, const StopSignal& stop, std::chrono::milliseconds sendTimeout)
      : socket_(socket), stop_(stop), sendTimeout_(sendTimeout) {}

  std::size_t Read(char* data, std::size_t size, std::chrono::milliseconds timeout) override;
  bool BytesWaiting(std::chrono::milliseconds wait) override;
  void Write(std::string_view bytes) override;

 private:
  Socket& socket_;
  const StopSignal& stop_;
  std::chrono::milliseconds sendTimeout_;
};

}  // namespace pavix::net
