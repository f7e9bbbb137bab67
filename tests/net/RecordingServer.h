#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "HTTPServer.h"

namespace pavix::test {

// What a handler saw of one request.
struct SeenRequest {
  std::string command;
  std::string document;
  std::string version;
  std::vector<std::string> params;
  std::optional<std::string> body;
  std::string formParams;
  std::string lookedUpMn;  // Params value of "MN", looked up in upper case
};

// A server on a free port whose GET handler records each request and then
// runs `respond`, if set.
class RecordingServer {
 public:
  explicit RecordingServer(std::function<void(net::HTTPRequestInfo&, net::HTTPResponseInfo&)> respond = {});
  ~RecordingServer();

  std::uint16_t Port() const { return server.BoundPort(); }
  std::vector<SeenRequest> Seen() const;
  void Start();

  net::THTTPServer server;

 private:
  std::function<void(net::HTTPRequestInfo&, net::HTTPResponseInfo&)> respond_;
  mutable std::mutex mutex_;
  std::vector<SeenRequest> seen_;
};

}  // namespace pavix::test
