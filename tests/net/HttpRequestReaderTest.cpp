// The request reader on in-memory connections: the head's fields, the
// limits on lines and bodies, and what the handler is given.
#include <gtest/gtest.h>

#include "HttpRequestReader.h"
#include "MemoryHttpStream.h"

namespace pavix::net {
namespace {

struct Read {
  int answer = 0;
  HTTPRequestInfo request;
  std::string written;
};

Read ReadFrom(const std::string& bytes, const HttpLimits& limits = {}, std::size_t pieceSize = 32768) {
  MemoryHttpStream stream(bytes, pieceSize);
  Read result;
  result.answer = ReadRequest(stream, limits, result.request);
  result.written = stream.Output();
  return result;
}

TEST(HttpRequestReader, RequestLineFields) {
  const Read r = ReadFrom("get /a%20b/c?x=1?y a/b HTTP/1.0\r\n\r\n");
  EXPECT_EQ(r.request.Command, "GET");
  EXPECT_EQ(r.request.CommandType, THTTPCommandType::Get);
  EXPECT_EQ(r.request.URI, "/a%20b/c");
  EXPECT_EQ(r.request.Document, "/a b/c");
  EXPECT_EQ(r.request.QueryParams, "x=1?y a/b");  // the target may hold spaces
  EXPECT_EQ(r.request.Version, "HTTP/1.0");
  EXPECT_EQ(r.request.VersionMajor, 1);
  EXPECT_EQ(r.request.VersionMinor, 0);
}

TEST(HttpRequestReader, VersionNumbersAndCommandTypes) {
  struct Case {
    std::string line;
    int major, minor;
    THTTPCommandType type;
  };
  for (const Case& c : {Case{"PUT / HTTP/2.7", 2, 7, THTTPCommandType::Put},
                        Case{"options * X", -1, -1, THTTPCommandType::Options},
                        Case{"BREW / HTTP/x.1", -1, 1, THTTPCommandType::Unknown},
                        Case{"TRACE / HTTP/1", 1, -1, THTTPCommandType::Trace}}) {
    const Read r = ReadFrom(c.line + "\r\nHost: h\r\n\r\n");
    EXPECT_EQ(r.request.VersionMajor, c.major) << c.line;
    EXPECT_EQ(r.request.VersionMinor, c.minor) << c.line;
    EXPECT_EQ(r.request.CommandType, c.type) << c.line;
  }
}

TEST(HttpRequestReader, HeaderFieldsContinuationsAndHighBytes) {
  const Read r = ReadFrom(
      "POST / HTTP/1.1\nhost:  pc:8212 \r\nContent-Type: text/plain; Charset=\"utf-8\"; q=1\r\n"
      "User-Agent: app\r\n  2.0\r\nX-Name: \xE6\x89\x93\r\nCookie: a=1; b=2\r\nCookie: c=3\r\n"
      "Authorization: basic dXNlcjpwYTpzcw==\r\nContent-Length: 2\r\n\r\nhi");
  EXPECT_EQ(r.answer, 0);
  EXPECT_EQ(r.request.Host, "pc:8212");
  EXPECT_EQ(r.request.ContentType, "text/plain; q=1");
  EXPECT_EQ(r.request.CharSet, "utf-8");
  EXPECT_EQ(r.request.UserAgent, "app 2.0");
  EXPECT_EQ(r.request.RawHeaderValue("x-name"), "???");
  EXPECT_EQ(r.request.Cookies, (std::vector<std::string>{"a=1", "b=2", "c=3"}));
  EXPECT_TRUE(r.request.AuthExists);
  EXPECT_EQ(r.request.AuthUsername, "user");
  EXPECT_EQ(r.request.AuthPassword, "pa:ss");
  EXPECT_EQ(r.request.PostStream, "hi");
}

TEST(HttpRequestReader, TextTypesImplyACharset) {
  EXPECT_EQ(ReadFrom("GET / HTTP/1.0\r\nContent-Type: text/html\r\n\r\n").request.CharSet, "ISO-8859-1");
  EXPECT_EQ(ReadFrom("GET / HTTP/1.0\r\nContent-Type: text/xml\r\n\r\n").request.CharSet, "us-ascii");
  EXPECT_EQ(ReadFrom("GET / HTTP/1.0\r\nContent-Type: application/json\r\n\r\n").request.CharSet, "");
}

TEST(HttpRequestReader, LineAndHeaderCountLimits) {
  HttpLimits limits;
  const std::string longest(limits.maxLineLength - 7, 'a');  // with "GET /" and " H": the longest line
  EXPECT_NO_THROW(ReadFrom("GET /" + longest + " H\r\n\r\n", limits));
  EXPECT_THROW(ReadFrom("GET /" + longest + "a H\r\n\r\n", limits), HttpRequestError);
  // Refused before its end arrives: a line that never ends costs no more.
  EXPECT_THROW(ReadFrom("GET /" + std::string(1 << 20, 'a'), limits, 4096), HttpRequestError);

  std::string headers;
  for (std::size_t i = 0; i < limits.maximumHeaderLineCount + 1; ++i) headers += "X: " + std::to_string(i) + "\r\n";
  EXPECT_NO_THROW(ReadFrom("GET / HTTP/1.0\r\n" + headers + "\r\n", limits));
  EXPECT_THROW(ReadFrom("GET / HTTP/1.0\r\n" + headers + "X: last\r\n\r\n", limits), HttpRequestError);
  EXPECT_THROW(ReadFrom("\r\n\r\n", limits), HttpRequestError);
}

// Continuation lines are no lines of their own: only the head's size stops
// one header from growing for as long as the peer keeps sending.
TEST(HttpRequestReader, ContinuationLinesStopAtTheHeadsSize) {
  HttpLimits limits;
  limits.maxLineLength = 20;
  limits.maximumHeaderLineCount = 2;  // three lines of 20, with their line ends: 66 bytes
  const std::string piece(18, 'a');
  const std::string head = "GET / HTTP/1.0\r\nA: " + piece.substr(3) + "\r\n";
  const Read full = ReadFrom(head + " " + piece + "\r\n " + piece + "\r\n\r\n", limits);
  EXPECT_EQ(full.request.RawHeaderValue("A"), piece.substr(3) + " " + piece + " " + piece);
  std::string endless = head;
  for (int i = 0; i < 10000; ++i) endless += " " + piece + "\r\n";
  EXPECT_THROW(ReadFrom(endless + "\r\n", limits, 4096), HttpRequestError);
}

TEST(HttpRequestReader, BodiesWithinAndBeyondTheLimit) {
  HttpLimits limits;
  limits.maxBodySize = 10;
  const std::string head = "POST / HTTP/1.1\r\nHost: h\r\n";
  EXPECT_EQ(ReadFrom(head + "Content-Length: 10\r\n\r\n0123456789", limits, 3).request.PostStream, "0123456789");
  EXPECT_EQ(ReadFrom(head + "Content-Length: 11\r\n\r\n01234567890", limits).answer, 413);
  const std::string chunked = head + "Transfer-Encoding: chunked\r\n\r\n";
  EXPECT_EQ(ReadFrom(chunked + "5\r\n01234\r\n5\r\n56789\r\n0\r\nT: x\r\n\r\n", limits, 2).request.PostStream,
            "0123456789");
  EXPECT_EQ(ReadFrom(chunked + "5\r\n01234\r\n6\r\n567890\r\n0\r\n\r\n", limits).answer, 413);
  EXPECT_EQ(ReadFrom(chunked + "7fffffffffffffff\r\n", limits).answer, 413);
  // Size text that is not hexadecimal counts as 0 and ends the body.
  EXPECT_EQ(ReadFrom(chunked + "5\r\n01234\r\nzz\r\n\r\n", limits).request.PostStream, "01234");
  // A body that ends early ends the connection.
  EXPECT_THROW(ReadFrom(head + "Content-Length: 5\r\n\r\n012", limits), ConnectionEnded);
}

TEST(HttpRequestReader, ContinueIsOfferedOnlyWhileNoBodyByteHasArrived) {
  const std::string head = "POST / HTTP/1.1\r\nHost: h\r\nExpect: 100-continue\r\nContent-Length: 2\r\n\r\n";
  MemoryHttpStream early(head + "hi");
  HTTPRequestInfo request;
  EXPECT_EQ(ReadRequest(early, {}, request), 0);
  EXPECT_EQ(early.Output(), "");  // the body came with the head
  // Read in pieces, the head arrives alone: the interim answer goes out.
  MemoryHttpStream pieces(head + "hi", head.size());
  HTTPRequestInfo second;
  EXPECT_EQ(ReadRequest(pieces, {}, second), 0);
  EXPECT_EQ(pieces.Output(), "HTTP/1.1 100 Continue\r\n\r\n");
  EXPECT_EQ(second.PostStream, "hi");
  // HTTP/1.0 requests know no expectations.
  EXPECT_EQ(ReadFrom("POST / HTTP/1.0\r\nExpect: x\r\nContent-Length: 0\r\n\r\n").answer, 0);
}

}  // namespace
}  // namespace pavix::net
