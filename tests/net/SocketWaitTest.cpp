// The waits under every socket read and write: their time limits and the
// stop signal that ends them.
#include <gtest/gtest.h>

#include <chrono>

#include "HttpTestClient.h"
#include "Socket.h"
#include "TimeLimit.h"

namespace pavix::test {
namespace {

using namespace std::chrono;

TEST(SocketWait, TimeLeftNeverFallsShortOfTheDeadline) {
  // Rounded down, the last fraction of a millisecond becomes a wait of 0,
  // and a loop waiting what is left polls without waiting until it passes.
  const auto deadline = steady_clock::now() + microseconds(1500);
  const milliseconds left = net::TimeLeftUntil(deadline);
  EXPECT_GE(left, deadline - steady_clock::now());
  EXPECT_EQ(net::TimeLeftUntil(steady_clock::now() - microseconds(800)), milliseconds(0));
  EXPECT_EQ(net::TimeLeftUntil(steady_clock::time_point::max()), net::kNoTimeLimit);
}

TEST(SocketWait, ARearmedStopNoLongerEndsWaits) {
  // A connection thread's stop serves one connection after another.
  net::Socket listener = net::Socket::Listen(net::IpFamily::V4, 0, 1);
  net::Socket client = ConnectTo(listener.LocalPort());
  net::StopSignal never;
  std::optional<net::Socket> served = listener.Accept(seconds(5), never);
  ASSERT_TRUE(served.has_value());
  net::StopSignal stop;
  for (int round = 0; round < 2; ++round) {
    stop.Raise();
    EXPECT_EQ(served->WaitReadable(seconds(5), &stop), net::WaitResult::Stopped);
    stop.Rearm();
    EXPECT_FALSE(stop.Raised());
    EXPECT_EQ(served->WaitReadable(milliseconds(50), &stop), net::WaitResult::TimedOut);
  }
  SendAll(client, "x");
  EXPECT_EQ(served->WaitReadable(seconds(5), &stop), net::WaitResult::Ready);
}

}  // namespace
}  // namespace pavix::test
