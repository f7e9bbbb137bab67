// Resolving the host name on Linux usually gives only 127.0.1.1, which a phone
// on the LAN cannot reach; the interfaces that are up tell the real addresses.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <array>

#include "HostAddresses.h"

namespace pavix::platform {

namespace {

std::string DottedDecimal(const sockaddr* address) {
  std::array<char, INET_ADDRSTRLEN> text{};
  ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text.data(), text.size());
  return text.data();
}

std::vector<std::string> InterfaceAddresses() {
  std::vector<std::string> found;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return found;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
    if ((entry->ifa_flags & IFF_UP) == 0 || (entry->ifa_flags & IFF_LOOPBACK) != 0) continue;
    found.push_back(DottedDecimal(entry->ifa_addr));
  }
  ::freeifaddrs(list);
  return found;
}

bool ResolverAddresses(std::vector<std::string>& found) {
  std::array<char, 261> hostName{};
  if (::gethostname(hostName.data(), hostName.size() - 1) != 0) return false;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
  addrinfo* result = nullptr;
  if (::getaddrinfo(hostName.data(), nullptr, &hints, &result) != 0) return false;
  for (const addrinfo* entry = result; entry != nullptr; entry = entry->ai_next) {
    found.push_back(DottedDecimal(entry->ai_addr));
  }
  ::freeaddrinfo(result);
  return true;
}

}  // namespace

bool ListHostIPv4Addresses(std::vector<std::string>& addresses) {
  std::vector<std::string> found = InterfaceAddresses();
  if (found.empty() && !ResolverAddresses(found)) return false;
  addresses = std::move(found);
  return true;
}

}  // namespace pavix::platform
