// The server as a peer on the wire sees it: raw requests, including those a
// well-behaved client never sends, and the exact bytes of each answer.
#include <gtest/gtest.h>

#include <stdexcept>

#include "HttpTestClient.h"
#include "RecordingServer.h"

namespace pavix::test {
namespace {

const std::string kEmpty200 = "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 0\r\nDate: *\r\n\r\n";

std::string EarlyAnswer(const std::string& statusLine) {
  return "HTTP/1.1 " + statusLine + "\r\nConnection: close\r\nContent-Length: 0\r\nDate: *\r\n\r\n";
}

struct ExchangeCase {
  const char* what;
  std::string request;
  std::string response;                  // Date value as "*"
  std::optional<SeenRequest> handled;    // none: the handler must not run
};

class HttpServerExchangeTest : public ::testing::TestWithParam<ExchangeCase> {};

TEST_P(HttpServerExchangeTest, AnswersExactly) {
  const ExchangeCase& c = GetParam();
  SCOPED_TRACE(c.what);
  RecordingServer server;
  server.Start();
  EXPECT_EQ(WithoutDate(Exchange(server.Port(), c.request)), c.response);
  server.server.SetActive(false);  // every handler has returned
  const auto seen = server.Seen();
  if (!c.handled) {
    EXPECT_TRUE(seen.empty());
    return;
  }
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].command, c.handled->command);
  EXPECT_EQ(seen[0].params, c.handled->params);
  EXPECT_EQ(seen[0].body, c.handled->body);
  EXPECT_EQ(seen[0].formParams, c.handled->formParams);
  EXPECT_EQ(seen[0].lookedUpMn, c.handled->lookedUpMn);
}

SeenRequest Handled(std::string command, std::vector<std::string> params = {""},
                    std::optional<std::string> body = std::nullopt, std::string formParams = "",
                    std::string mn = "") {
  SeenRequest seen;
  seen.command = std::move(command);
  seen.params = std::move(params);
  seen.body = std::move(body);
  seen.formParams = std::move(formParams);
  seen.lookedUpMn = std::move(mn);
  return seen;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, HttpServerExchangeTest,
    ::testing::Values(
        ExchangeCase{"body without a length, in the packet of the head",
                     "POST / HTTP/1.1\r\nHost: h\r\n\r\n[[27,64]]", EarlyAnswer("411 Length Required"), std::nullopt},
        ExchangeCase{"expectation other than 100-continue",
                     "POST / HTTP/1.1\r\nHost: h\r\nExpect: fast\r\nContent-Length: 4\r\n\r\n",
                     EarlyAnswer("417 Expectation Failed"), std::nullopt},
        ExchangeCase{"chunked body with an extension",
                     "POST / HTTP/1.1\r\nHost: h\r\nTransfer-Encoding: chunked\r\n\r\n4;x=y\r\nWiki\r\n0\r\n\r\n",
                     kEmpty200, Handled("POST", {""}, "Wiki")},
        ExchangeCase{"chunk size beyond any body: no overflow, 413",
                     "POST / HTTP/1.1\r\nHost: h\r\nTransfer-Encoding: CHUNKED\r\n\r\nffffffffffffffffffffff\r\n",
                     EarlyAnswer("413 Request Entity Too Long"), std::nullopt},
        ExchangeCase{"Content-Length beyond the body limit",
                     "POST / HTTP/1.1\r\nHost: h\r\nContent-Length: 4294967296\r\n\r\n",
                     EarlyAnswer("413 Request Entity Too Long"), std::nullopt},
        ExchangeCase{"other transfer coding",
                     "POST / HTTP/1.1\r\nHost: h\r\nTransfer-Encoding: gzip\r\n\r\n",
                     EarlyAnswer("400 Bad Request"), std::nullopt},
        ExchangeCase{"form body becomes parameters, not a body",
                     "POST /?q=1 HTTP/1.1\r\nHost: h\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                     "Content-Length: 7\r\n\r\nmn=2&x=",
                     kEmpty200, Handled("POST", {"mn=2", "x=", "q=1"}, std::nullopt, "mn=2&x=", "2")},
        ExchangeCase{"query pieces, empty ones and bad escapes",
                     "GET /?a=1&&b=%41+%zz HTTP/1.1\r\nHost: h\r\n\r\n", kEmpty200,
                     Handled("GET", {"a=1", "", "b=A "})},
        ExchangeCase{"parameters looked up without regard to case",
                     "GET /anything?mn=2&model=1 HTTP/1.1\r\nHost: h\r\n\r\n", kEmpty200,
                     Handled("GET", {"mn=2", "model=1"}, std::nullopt, "", "2")},
        ExchangeCase{"DELETE goes to the other-command handler, which is unset",
                     "DELETE /x HTTP/1.1\r\nHost: h\r\n\r\n", kEmpty200, std::nullopt},
        ExchangeCase{"method override to DELETE",
                     "POST / HTTP/1.1\r\nHost: h\r\nX-HTTP-Method-Override: delete\r\nContent-Length: 0\r\n\r\n",
                     kEmpty200, std::nullopt},
        ExchangeCase{"HTTP/1.0 needs no Host", "GET / HTTP/1.0\r\n\r\n", kEmpty200, Handled("GET")},
        ExchangeCase{"HTTP/1.1 without Host", "GET / HTTP/1.1\r\n\r\n", EarlyAnswer("400 Bad Request"),
                     std::nullopt},
        ExchangeCase{"HTTP/1.1 with an empty Host", "GET / HTTP/1.1\r\nHost:\r\n\r\n",
                     EarlyAnswer("400 Bad Request"), std::nullopt},
        ExchangeCase{"Content-Length 0 gives an empty body, not none",
                     "POST / HTTP/1.1\r\nHost: h\r\nContent-Length: 0\r\n\r\n", kEmpty200, Handled("POST", {""}, "")},
        ExchangeCase{"two requests on one connection: one answer",
                     "POST / HTTP/1.1\r\nHost: h\r\nContent-Length: 1\r\n\r\nA"
                     "POST / HTTP/1.1\r\nHost: h\r\nContent-Length: 1\r\n\r\nB",
                     kEmpty200, Handled("POST", {""}, "A")},
        ExchangeCase{"request line without a space: closed, no answer", "GARBAGE\r\n\r\n", "", std::nullopt},
        ExchangeCase{"authorization scheme other than Basic: closed, no answer",
                     "GET / HTTP/1.1\r\nHost: h\r\nAuthorization: Bearer x\r\n\r\n", "", std::nullopt}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(HttpServerExchange, InterimContinueComesBeforeTheBodyIsSent) {
  RecordingServer server;
  server.Start();
  net::Socket client = ConnectTo(server.Port());
  SendAll(client, "POST / HTTP/1.1\r\nHost: h\r\nExpect: 100-Continue\r\nContent-Length: 4\r\n\r\n");
  std::string interim;
  while (interim.size() < 25 && interim.find("<no end>") == std::string::npos) interim += ReadSome(client);
  EXPECT_EQ(interim, "HTTP/1.1 100 Continue\r\n\r\n");
  SendAll(client, "Wiki");
  EXPECT_EQ(WithoutDate(ReadToEnd(client)), kEmpty200);
  server.server.SetActive(false);
  ASSERT_EQ(server.Seen().size(), 1u);
  EXPECT_EQ(server.Seen()[0].body, "Wiki");
}

TEST(HttpServerExchange, HandlerErrorBecomes500WithItsMessage) {
  RecordingServer server([](net::HTTPRequestInfo& request, net::HTTPResponseInfo& response) {
    if (request.Document == "/typed") response.SetContentType("application/json");
    throw std::runtime_error("no \"paper\"");
  });
  server.Start();
  EXPECT_EQ(WithoutDate(Exchange(server.Port(), "GET /plain HTTP/1.0\r\n\r\n")),
            "HTTP/1.1 500 Internal Server Error\r\nConnection: close\r\n"
            "Content-Type: text/html; charset=ISO-8859-1\r\nContent-Length: 10\r\nDate: *\r\n\r\nno \"paper\"");
  EXPECT_EQ(WithoutDate(Exchange(server.Port(), "GET /typed HTTP/1.0\r\n\r\n")),
            "HTTP/1.1 500 Internal Server Error\r\nConnection: close\r\n"
            "Content-Type: application/json\r\nContent-Length: 10\r\nDate: *\r\n\r\nno \"paper\"");
}

TEST(HttpServerExchange, ResponseFieldsGoOutInTheirFixedOrder) {
  RecordingServer server([](net::HTTPRequestInfo&, net::HTTPResponseInfo& response) {
    response.SetResponseNo(404);
    response.CustomHeaders.push_back("X-Custom: 1");
    response.Location = "/elsewhere";
    response.ContentEncoding = "utf-8";
    response.SetContentType("text/plain");
    response.CacheControl = "no-cache";
    response.ContentText = "\xE6\x89\x93";  // bytes go out unchanged
  });
  server.Start();
  EXPECT_EQ(WithoutDate(Exchange(server.Port(), "GET / HTTP/1.0\r\n\r\n")),
            "HTTP/1.1 404 Not Found\r\nConnection: close\r\nContent-Encoding: utf-8\r\n"
            "Content-Type: text/plain; charset=ISO-8859-1\r\nContent-Length: 3\r\nCache-control: no-cache\r\n"
            "Date: *\r\nX-Custom: 1\r\nLocation: /elsewhere\r\n\r\n\xE6\x89\x93");
}

}  // namespace
}  // namespace pavix::test
