// Starting, stopping and the bounds that keep one peer from exhausting the
// server.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "HttpTestClient.h"
#include "RecordingServer.h"

namespace pavix::test {
namespace {

const std::string kJob = "POST / HTTP/1.1\r\nHost: h\r\nContent-Length: 8\r\n\r\n[[27,64]]";

bool Answered200(const std::string& response) { return response.rfind("HTTP/1.1 200 OK\r\n", 0) == 0; }

TEST(HttpServerLifecycle, PortHeldElsewhereFailsWithTheBindMessageAndNothingListens) {
  net::Socket holder = net::Socket::Listen(net::IpFamily::V4, 0, 1);
  RecordingServer server;
  server.server.DefaultPort = holder.LocalPort();
  try {
    server.Start();
    FAIL() << "started on a port that is held";
  } catch (const net::BindError& error) {
    EXPECT_STREQ(error.what(), "Could not bind socket. Address and port are already in use.");
  }
  EXPECT_FALSE(server.server.Active());
  holder.Close();
  server.Start();
  EXPECT_TRUE(server.server.Active());
  EXPECT_TRUE(Answered200(Exchange(server.server.BoundPort(), kJob)));
}

TEST(HttpServerLifecycle, PortHeldOnIpv6OnlyAlsoFailsAndReleasesTheIpv4Listener) {
  if (!net::Socket::HostHasIpv6()) GTEST_SKIP() << "no IPv6 on this host";
  net::Socket holder = net::Socket::Listen(net::IpFamily::V6, 0, 1);
  RecordingServer server;
  server.server.DefaultPort = holder.LocalPort();
  EXPECT_THROW(server.Start(), net::BindError);
  // The IPv4 listener opened first was closed again: the port is free there.
  EXPECT_NO_THROW(net::Socket::Listen(net::IpFamily::V4, holder.LocalPort(), 1));
}

TEST(HttpServerLifecycle, RestartsOnTheSamePortRightAfterServing) {
  RecordingServer server;
  server.Start();
  const std::uint16_t port = server.Port();
  for (int round = 0; round < 3; ++round) {
    // The server closes first, so its ends of these connections linger.
    EXPECT_TRUE(Answered200(Exchange(port, kJob)));
    server.server.SetActive(false);
    server.server.DefaultPort = port;
    ASSERT_NO_THROW(server.Start()) << "round " << round;
  }
  EXPECT_EQ(server.Seen().size(), 3u);
}

TEST(HttpServerLifecycle, ConnectionThreadsServeOneConnectionAfterAnotherAndEndWhenIdle) {
  RecordingServer server;
  server.server.IdleThreadLifetime = std::chrono::milliseconds(300);
  server.Start();
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(Answered200(Exchange(server.Port(), kJob)));
  // One after another, they need a thread or two (the next connection may
  // come while the last thread is still closing), not one each.
  EXPECT_LE(server.server.ConnectionThreads(), 4u);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (server.server.ConnectionThreads() != 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(server.server.ConnectionThreads(), 0u);
  EXPECT_TRUE(Answered200(Exchange(server.Port(), kJob)));
}

TEST(HttpServerLifecycle, StopDoesNotWaitForIdleConnectionThreadsToTimeOut) {
  RecordingServer server;
  server.server.IdleThreadLifetime = std::chrono::minutes(10);
  server.Start();
  EXPECT_TRUE(Answered200(Exchange(server.Port(), kJob)));
  const auto start = std::chrono::steady_clock::now();
  server.server.SetActive(false);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(server.server.ConnectionThreads(), 0u);
}

TEST(HttpServerLifecycle, Ipv6ClientsReachTheIpv6Listener) {
  if (!net::Socket::HostHasIpv6()) GTEST_SKIP() << "no IPv6 on this host";
  RecordingServer server;
  server.Start();
  net::Socket client;
  try {
    client = ConnectTo(server.Port(), "::1");
  } catch (const net::SocketError&) {
    GTEST_SKIP() << "no IPv6 loopback";
  }
  SendAll(client, kJob);
  EXPECT_TRUE(Answered200(ReadToEnd(client)));
}

TEST(HttpServerLifecycle, StopClosesConnectionsMidRequestAndWaitsForTheirThreads) {
  RecordingServer server;
  server.server.Limits.headTimeout = net::kNoTimeLimit;
  server.server.Limits.bodyStallTimeout = net::kNoTimeLimit;
  server.Start();
  net::Socket idle = ConnectTo(server.Port());
  net::Socket inHead = ConnectTo(server.Port());
  SendAll(inHead, "POST / HTTP/1.1\r\nHost: h\r\n");
  net::Socket inBody = ConnectTo(server.Port());
  SendAll(inBody, "POST / HTTP/1.1\r\nHost: h\r\nContent-Length: 100\r\n\r\n[[27");
  // All three are being served once a fourth is answered after them.
  EXPECT_TRUE(Answered200(Exchange(server.Port(), kJob)));
  server.server.SetActive(false);
  EXPECT_EQ(server.server.OpenConnections(), 0u);
  for (net::Socket* client : {&idle, &inHead, &inBody}) EXPECT_EQ(ReadToEnd(*client), "");
  EXPECT_EQ(server.Seen().size(), 1u);
}

TEST(HttpServerLifecycle, QuietPeersAreClosedAfterTheTimeOuts) {
  RecordingServer server;
  server.server.Limits.headTimeout = std::chrono::milliseconds(200);
  server.server.Limits.bodyStallTimeout = std::chrono::milliseconds(200);
  server.Start();
  net::Socket silent = ConnectTo(server.Port());
  net::Socket slowHead = ConnectTo(server.Port());
  SendAll(slowHead, "POST / HTTP/1.1\r\nHost: h\r\n");
  net::Socket stalledBody = ConnectTo(server.Port());
  SendAll(stalledBody, "POST / HTTP/1.1\r\nHost: h\r\nContent-Length: 100\r\n\r\n[[27");
  for (net::Socket* client : {&silent, &slowHead, &stalledBody}) EXPECT_EQ(ReadToEnd(*client), "");
  EXPECT_TRUE(server.Seen().empty());
}

TEST(HttpServerLifecycle, IdlePeersGiveWayToARealJobAtTheConnectionCap) {
  RecordingServer server;
  server.server.Limits.headTimeout = std::chrono::milliseconds(3000);
  // The connections come faster than any accept loop: a short queue would
  // only make the system retry them a second later.
  server.server.ListenQueue = 512;
  server.Start();
  std::vector<net::Socket> idle;
  for (int i = 0; i < 300; ++i) idle.push_back(ConnectTo(server.Port()));
  EXPECT_TRUE(Answered200(Exchange(server.Port(), kJob)));
  EXPECT_LE(server.server.OpenConnections(), server.server.MaxConnections);
  // Then the idle ones are all closed: the oldest to make room, the rest by
  // the head time-out.
  for (net::Socket& client : idle) EXPECT_TRUE(ServerClosed(client));
  EXPECT_EQ(server.Seen().size(), 1u);
}

TEST(HttpServerLifecycle, ConnectionsBusyWithRequestsAreNotEvicted) {
  std::mutex mutex;
  std::condition_variable changed;
  int inHandler = 0;
  bool release = false;
  RecordingServer server([&](net::HTTPRequestInfo&, net::HTTPResponseInfo&) {
    std::unique_lock lock(mutex);
    ++inHandler;
    changed.notify_all();
    changed.wait(lock, [&] { return release; });
  });
  server.server.MaxConnections = 2;
  server.Start();
  std::vector<net::Socket> busy;
  for (int i = 0; i < 2; ++i) {
    busy.push_back(ConnectTo(server.Port()));
    SendAll(busy.back(), kJob);
  }
  {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return inHandler == 2; });
  }
  net::Socket excess = ConnectTo(server.Port());
  EXPECT_EQ(ReadToEnd(excess), "");  // closed at once, unanswered
  {
    std::lock_guard lock(mutex);
    release = true;
    changed.notify_all();
  }
  for (net::Socket& client : busy) EXPECT_TRUE(Answered200(ReadToEnd(client)));
}

}  // namespace
}  // namespace pavix::test
