#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "Socket.h"

// A raw HTTP peer for the tests: sends exactly the bytes given and reads
// whatever comes back until the server closes the connection.
namespace pavix::test {

// Long enough never to end a passing test, short enough to end a hanging one.
inline constexpr std::chrono::milliseconds kClientPatience{20'000};

net::Socket ConnectTo(std::uint16_t port, const std::string& host = "127.0.0.1");
void SendAll(net::Socket& socket, const std::string& bytes);
// Everything until the end of the stream; "<no end>" marks a server that
// kept the connection open past kClientPatience.
std::string ReadToEnd(net::Socket& socket);
// The bytes that have arrived so far, waiting up to `patience` for the
// first one.
std::string ReadSome(net::Socket& socket, std::chrono::milliseconds patience = kClientPatience);
// Whether the server has closed (or reset) the connection, waiting up to
// kClientPatience for it to do so.
bool ServerClosed(net::Socket& socket);

// Connect, send, read to the end.
std::string Exchange(std::uint16_t port, const std::string& request);

// The response with the value of its Date header replaced by "*", after
// checking that value has the RFC 1123 form.
std::string WithoutDate(const std::string& response);

}  // namespace pavix::test
