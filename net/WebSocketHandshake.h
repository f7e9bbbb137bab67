#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The opening handshake of the WebSocket client: the request it writes and
// the checks of the server's answer.
namespace pavix::net {

struct TWSRequestTarget {
  std::string host;
  std::uint16_t port = 80;
  std::string parameters;  // request target; a missing leading "/" is added
  std::string origin;      // empty: the host
};

// The header lines of the opening request, without line ends, in the order
// they are written; `key` is the 24-character Base64 key.
std::vector<std::string> OpeningRequestLines(const TWSRequestTarget& target, const std::string& key);

// The lines joined with CRLF, the empty line after them, and every
// character outside ASCII written as "?".
std::string OpeningRequestText(const std::vector<std::string>& lines);

// The accept value a server must answer to `key`.
std::string AcceptValueFor(std::string_view key);

// The answer's header lines (the status line first, no line ends) checked
// in the order received; none when the answer is accepted, else the error
// text to report.
std::optional<std::string> CheckAnswer(const std::vector<std::string>& lines, std::string_view key);

}  // namespace pavix::net
