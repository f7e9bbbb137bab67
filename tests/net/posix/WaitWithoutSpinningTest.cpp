// Waits that could turn into loops polling without waiting: they must cost
// next to no CPU time.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "HttpTestClient.h"
#include "RecordingServer.h"

namespace pavix::test {
namespace {

std::chrono::microseconds ProcessCpuTime() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

TEST(ListenerOutOfDescriptors, WaitsWithoutSpinningAndServesTheConnectionAfterwards) {
  RecordingServer server;
  server.Start();
  // Served once first: the server's threads are up and running before the
  // descriptors run out, which the sanitizers' own checks need some of.
  ASSERT_EQ(Exchange(server.Port(), "GET /first HTTP/1.0\r\n\r\n").rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  rlimit original{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &original), 0);

  // Every descriptor taken but one, which the client's socket gets.
  std::vector<int> fillers;
  rlimit low = original;
  low.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  for (int fd; (fd = open("/dev/null", O_RDONLY)) >= 0;) fillers.push_back(fd);
  ASSERT_FALSE(fillers.empty()) << "the test process already holds 64 descriptors";
  close(fillers.back());
  fillers.pop_back();
  net::Socket client = ConnectTo(server.Port());

  const auto before = ProcessCpuTime();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const auto spent = ProcessCpuTime() - before;

  for (const int fd : fillers) close(fd);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &original), 0);
  EXPECT_LT(spent, std::chrono::milliseconds(300)) << "the listener retried without pause";

  SendAll(client, "GET /waited HTTP/1.0\r\n\r\n");
  EXPECT_EQ(ReadToEnd(client).rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  ASSERT_EQ(server.Seen().size(), 2u);
  EXPECT_EQ(server.Seen()[1].document, "/waited");
}

// A connection thread's stop serves one connection after another; rearmed,
// it must not still wake every poll that watches it.
TEST(StopSignalRearmed, WaitsWithoutSpinning) {
  net::Socket listener = net::Socket::Listen(net::IpFamily::V4, 0, 1);
  net::Socket client = ConnectTo(listener.LocalPort());
  net::StopSignal never;
  std::optional<net::Socket> served = listener.Accept(std::chrono::seconds(5), never);
  ASSERT_TRUE(served.has_value());
  net::StopSignal stop;
  stop.Raise();
  stop.Rearm();
  const auto before = ProcessCpuTime();
  EXPECT_EQ(served->WaitReadable(std::chrono::milliseconds(500), &stop), net::WaitResult::TimedOut);
  EXPECT_LT(ProcessCpuTime() - before, std::chrono::milliseconds(150));
}

}  // namespace
}  // namespace pavix::test
