#include "HttpTestClient.h"

#include <gtest/gtest.h>

#include <regex>

namespace pavix::test {

net::Socket ConnectTo(std::uint16_t port, const std::string& host) { return net::Socket::Connect(host, port); }

void SendAll(net::Socket& socket, const std::string& bytes) {
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    offset += socket.Send(bytes.data() + offset, bytes.size() - offset);
    if (offset < bytes.size() && socket.WaitWritable(kClientPatience, nullptr) != net::WaitResult::Ready) {
      throw net::SocketError("the server does not take the request");
    }
  }
}

std::string ReadSome(net::Socket& socket, std::chrono::milliseconds patience) {
  std::string received;
  char buffer[4096];
  if (socket.WaitReadable(patience, nullptr) != net::WaitResult::Ready) return received;
  while (auto got = socket.Receive(buffer, sizeof buffer)) {
    if (*got == 0) break;
    received.append(buffer, *got);
  }
  return received;
}

std::string ReadToEnd(net::Socket& socket) {
  std::string received;
  char buffer[4096];
  const auto deadline = std::chrono::steady_clock::now() + kClientPatience;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || socket.WaitReadable(left, nullptr) != net::WaitResult::Ready) return received + "<no end>";
    std::optional<std::size_t> got;
    try {
      got = socket.Receive(buffer, sizeof buffer);
    } catch (const net::SocketError&) {
      return received;  // reset: the end as well
    }
    if (!got) continue;
    if (*got == 0) return received;
    received.append(buffer, *got);
  }
}

bool ServerClosed(net::Socket& socket) {
  const std::string rest = ReadToEnd(socket);
  return rest.find("<no end>") == std::string::npos;
}

std::string Exchange(std::uint16_t port, const std::string& request) {
  net::Socket socket = ConnectTo(port);
  SendAll(socket, request);
  return ReadToEnd(socket);
}

std::string WithoutDate(const std::string& response) {
  static const std::regex date("\r\nDate: ([^\r]*)\r\n");
  static const std::regex rfc1123("(Mon|Tue|Wed|Thu|Fri|Sat|Sun), \\d\\d (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \\d{4} \\d\\d:\\d\\d:\\d\\d GMT");
  std::smatch match;
  if (!std::regex_search(response, match, date)) return response;
  EXPECT_TRUE(std::regex_match(match[1].str(), rfc1123)) << match[1].str();
  return match.prefix().str() + "\r\nDate: *\r\n" + match.suffix().str();
}

}  // namespace pavix::test
