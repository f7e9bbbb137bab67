#pragma once

#include <string>
#include <vector>

namespace pavix::platform {

// The host's IPv4 addresses as dotted-decimal text, in the order the system
// gives them. False on any failure, with `addresses` untouched.
bool ListHostIPv4Addresses(std::vector<std::string>& addresses);

}  // namespace pavix::platform
