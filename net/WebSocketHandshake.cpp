#include "WebSocketHandshake.h"

#include <algorithm>
#include <cctype>

#include "Base64.h"
#include "Sha1.h"

namespace pavix::net {

namespace {

constexpr std::string_view kAcceptGuid = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool StartsIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool EndsIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [](char x, char y) { return Lower(x) == Lower(y); }) != text.end();
}

}  // namespace

std::vector<std::string> OpeningRequestLines(const TWSRequestTarget& target, const std::string& key) {
  std::string parameters = target.parameters;
  if (parameters.empty() || parameters.front() != '/') parameters.insert(0, "/");
  std::string host = "Host: " + target.host;
  if (target.port != 80 && target.port != 443) host += ":" + std::to_string(target.port);
  return {
      "GET " + parameters + " HTTP/1.1",
      host,
      "Upgrade: websocket",
      "Connection: Upgrade",
      "Sec-WebSocket-Key: " + key,
      "Origin: " + (target.origin.empty() ? target.host : target.origin),
      "Sec-WebSocket-Version: 13",
  };
}

std::string OpeningRequestText(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    for (const char c : line) text.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
    text += "\r\n";
  }
  return text + "\r\n";
}

std::string AcceptValueFor(std::string_view key) {
  const Sha1Digest digest = Sha1(std::string(key) + std::string(kAcceptGuid));
  return EncodeBase64(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

std::optional<std::string> CheckAnswer(const std::vector<std::string>& lines, std::string_view key) {
  std::optional<std::string> accept;
  bool statusSeen = false;
  for (const std::string& line : lines) {
    if (StartsIgnoringCase(line, "HTTP/")) {
      statusSeen = true;
      if (line.size() < 10 || line.find("101", 9) == std::string::npos) {
        return "Error Decoding Header: Switching Protocols";
      }
    } else if (StartsIgnoringCase(line, "Upgrade: ")) {
      if (!EndsIgnoringCase(line, " websocket")) return "Error Decoding Header: Upgrade";
    } else if (StartsIgnoringCase(line, "Connection: ")) {
      if (!ContainsIgnoringCase(line.substr(12), "Upgrade")) return "Error Decoding Header: Upgrade";
    } else if (StartsIgnoringCase(line, "Sec-WebSocket-Accept: ")) {
      accept = line.substr(22);
    }
  }
  // An answer without a status line is no switch of protocols either.
  if (!statusSeen) return "Error Decoding Header: Switching Protocols";
  if (!accept || *accept != AcceptValueFor(key)) return "Handshake Error: Invalid Accept Key";
  return std::nullopt;
}

}  // namespace pavix::net
