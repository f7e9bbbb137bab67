// Fuzz target of the HTTP request reader: any bytes as one connection's
// input, arriving whole and in small pieces, through the reader, a handler
// and the response writer. Nothing may crash, hang or grow without bound,
// and the reader's results must hold together.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "HttpConnection.h"
#include "HttpRequestReader.h"
#include "MemoryHttpStream.h"

namespace {

using namespace pavix::net;

void Check(bool condition) {
  if (!condition) std::abort();
}

void ReadOnce(std::string_view bytes, std::size_t pieceSize) {
  HttpLimits limits;
  limits.maxBodySize = 1 << 16;  // small enough that fuzzed sizes reach it
  MemoryHttpStream stream(bytes, pieceSize);
  HTTPRequestInfo request;
  try {
    const int answer = ReadRequest(stream, limits, request);
    Check(answer == 0 || answer == 400 || answer == 411 || answer == 413 || answer == 417);
    if (answer != 0) return;
    if (request.PostStream) Check(static_cast<std::int64_t>(request.PostStream->size()) <= limits.maxBodySize);
    Check(request.Params.Count() >= 1);
    Check(request.CommandType == CommandTypeOf(request.Command));
  } catch (const HttpRequestError&) {
  } catch (const ConnectionEnded&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ReadOnce(bytes, 32768);
  ReadOnce(bytes, 7);

  // The whole connection: whatever the request, the answer (if any) starts
  // with a status line and the handler's text goes out as it was set.
  MemoryHttpStream stream(bytes);
  HTTPHandlers handlers;
  handlers.OnCommandGet = [](HTTPContext&, HTTPRequestInfo& request, HTTPResponseInfo& response) {
    if (request.PostStream && request.PostStream->size() % 2 == 1) throw std::runtime_error("odd body");
    response.ContentText = request.Params.Value("echo");
  };
  ServeConnection(stream, HttpLimits{}, handlers, "127.0.0.1");
  const std::string& output = stream.Output();
  std::string_view answer = output;
  // The interim answer echoes the request's own version text.
  constexpr std::string_view kInterimEnd = " 100 Continue\r\n\r\n";
  if (const auto end = answer.find(kInterimEnd); end != std::string_view::npos &&
      answer.substr(0, end).find("\r\n") == std::string_view::npos) {
    answer.remove_prefix(end + kInterimEnd.size());
  }
  Check(answer.empty() || answer.rfind("HTTP/1.1 ", 0) == 0);
  return 0;
}
