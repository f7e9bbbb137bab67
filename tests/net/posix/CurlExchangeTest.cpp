// A real client against the server: curl, as a phone's HTTP stack would talk.
#include <gtest/gtest.h>

#include "ExternalProgram.h"
#include "RecordingServer.h"
#include "TestSupport.h"

namespace pavix::test {
namespace {

class CurlExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ProgramAvailable("curl")) GTEST_SKIP() << "curl is not installed";
    server_.Start();
  }

  ProgramResult Curl(std::vector<std::string> arguments) {
    std::vector<std::string> argv = {"curl", "--silent", "--show-error", "--max-time", "20"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProgram(argv);
  }

  std::string Url(const std::string& host = "127.0.0.1") const {
    return "http://" + host + ":" + std::to_string(server_.Port());
  }

  RecordingServer server_{[](net::HTTPRequestInfo& request, net::HTTPResponseInfo& response) {
    if (!request.PostStream) return;
    response.SetContentType("application/json");
    response.ContentText = "got " + std::to_string(request.PostStream->size());
  }};
};

TEST_F(CurlExchangeTest, PostWithQueryAndBody) {
  const ProgramResult result =
      Curl({"--data-binary", "[[27,64]]", "-H", "Content-Type: application/json", Url() + "/print?mn=3&model=1",
            "--write-out", "|%{http_code}|%{content_type}"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "got 9|200|application/json");
  server_.server.SetActive(false);
  ASSERT_EQ(server_.Seen().size(), 1u);
  EXPECT_EQ(server_.Seen()[0].params, (std::vector<std::string>{"mn=3", "model=1"}));
  EXPECT_EQ(server_.Seen()[0].body, "[[27,64]]");
}

TEST_F(CurlExchangeTest, LargeBodyWaitsForContinueThenChunkedUpload) {
  TempDir folder;
  WriteFileText(folder / "body", std::string(200000, 'x'));
  // curl waits for the interim answer before it sends the body, and chunks
  // the body when told to.
  const ProgramResult expecting = Curl({"--data-binary", "@" + (folder / "body").string(), "-H",
                                        "Expect: 100-continue", "-H", "Content-Type: text/plain", Url()});
  ASSERT_EQ(expecting.exitCode, 0) << expecting.err;
  EXPECT_EQ(expecting.out, "got 200000");
  const ProgramResult chunked =
      Curl({"--data-binary", "[[1],[2]]", "-H", "Transfer-Encoding: chunked", "-H", "Content-Type: text/plain", Url()});
  ASSERT_EQ(chunked.exitCode, 0) << chunked.err;
  EXPECT_EQ(chunked.out, "got 9");
}

TEST_F(CurlExchangeTest, HeadersOfTheAnswer) {
  const ProgramResult result = Curl({"--include", "--http1.0", Url() + "/x"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.substr(0, result.out.find("Date:")), "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 0\r\n");
}

TEST_F(CurlExchangeTest, ReachesTheIpv6Listener) {
  if (!net::Socket::HostHasIpv6()) GTEST_SKIP() << "no IPv6 on this host";
  const ProgramResult result = Curl({"--globoff", "--data-binary", "[]", "-H", "Content-Type: text/plain", Url("[::1]")});
  if (result.exitCode == 7) GTEST_SKIP() << "no IPv6 loopback: " << result.err;
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "got 2");
}

}  // namespace
}  // namespace pavix::test
