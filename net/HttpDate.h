#pragma once

#include <chrono>
#include <string>

namespace pavix::net {

// "Thu, 10 Dec 2026 05:17:25 GMT": the RFC 1123 form of HTTP dates, in GMT
// with English names whatever the user's language.
std::string Rfc1123Date(std::chrono::system_clock::time_point moment);

}  // namespace pavix::net
