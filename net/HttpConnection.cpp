#include "HttpConnection.h"

#include <exception>

#include "HttpRequestReader.h"
#include "HttpResponseWriter.h"
#include "Socket.h"

namespace pavix::net {

namespace {

bool IsGetCommand(THTTPCommandType type) {
  return type == THTTPCommandType::Head || type == THTTPCommandType::Get || type == THTTPCommandType::Post;
}

void CallHandler(const HTTPHandlers& handlers, HTTPContext& context, HTTPRequestInfo& request,
                 HTTPResponseInfo& response) {
  const THTTPCommandEvent& handler = IsGetCommand(request.CommandType) ? handlers.OnCommandGet : handlers.OnCommandOther;
  if (!handler) return;
  try {
    handler(context, request, response);
  } catch (const ConnectionEnded&) {
    throw;
  } catch (const SocketError&) {
    throw;
  } catch (const std::exception& error) {
    response.SetResponseNo(500);
    response.ContentText = error.what();
  } catch (...) {
    response.SetResponseNo(500);
    response.ContentText = "Unknown error";
  }
}

}  // namespace

bool ServeConnection(IHttpStream& stream, const HttpLimits& limits, const HTTPHandlers& handlers,
                     const std::string& peerIP, const std::function<void()>& headRead) {
  try {
    HTTPRequestInfo request;
    request.RemoteIP = peerIP;
    HTTPResponseInfo response;
    // Every response closes its connection: one request per connection.
    response.SetCloseConnection(true);
    if (const int earlyAnswer = ReadRequest(stream, limits, request, headRead); earlyAnswer != 0) {
      response.SetResponseNo(earlyAnswer);
      WriteResponse(stream, response);
      return false;
    }
    HTTPContext context{peerIP};
    CallHandler(handlers, context, request, response);
    WriteResponse(stream, response);
    return true;
  } catch (const ConnectionEnded&) {
  } catch (const HttpRequestError&) {
  } catch (const std::exception&) {
    // A socket failure or a lack of memory ends this connection only.
  }
  return false;
}

}  // namespace pavix::net
