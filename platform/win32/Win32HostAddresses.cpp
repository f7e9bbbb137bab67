// The host's addresses the way the settings dialog has always offered them:
// the IPv4 addresses its own name resolves to.
#include <winsock2.h>
#include <windows.h>

#include <array>
#include <cstring>

#include "HostAddresses.h"

namespace pavix::platform {

namespace {

// Winsock for the length of one call, cleaned up on every path out.
class WinsockSession {
 public:
  WinsockSession() : started_(::WSAStartup(0x0002, &data_) == 0) {}
  ~WinsockSession() {
    if (started_) ::WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  bool Started() const { return started_; }

 private:
  WSADATA data_{};
  bool started_;
};

}  // namespace

bool ListHostIPv4Addresses(std::vector<std::string>& addresses) {
  const WinsockSession winsock;
  if (!winsock.Started()) return false;
  std::array<char, 261> hostName{};
  if (::gethostname(hostName.data(), static_cast<int>(hostName.size())) == SOCKET_ERROR) return false;
  const hostent* host = ::gethostbyname(hostName.data());
  if (host == nullptr) return false;
  std::vector<std::string> found;
  for (char** entry = host->h_addr_list; *entry != nullptr; ++entry) {
    in_addr address{};
    std::memcpy(&address, *entry, sizeof address);
    found.emplace_back(::inet_ntoa(address));
  }
  addresses = std::move(found);
  return true;
}

}  // namespace pavix::platform
