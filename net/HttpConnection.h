#pragma once

#include <functional>
#include <string>

#include "HTTPRecords.h"
#include "HttpLimits.h"
#include "HttpStream.h"

namespace pavix::net {

// What a handler learns of the connection it serves.
struct HTTPContext {
  std::string PeerIP;
};

using THTTPCommandEvent = std::function<void(HTTPContext& context, HTTPRequestInfo& request,
                                             HTTPResponseInfo& response)>;

struct HTTPHandlers {
  THTTPCommandEvent OnCommandGet;    // HEAD, GET and POST
  THTTPCommandEvent OnCommandOther;  // every other method
};

// Serves the one request of a connection: reads it, gives it to the handler
// (or answers early), writes the response. Returns when the connection is
// to be closed, which is always; it raises nothing. True when the request
// was read to its end and answered; false when the peer may have more of it
// to send (an early answer, a broken request or connection).
// `headRead`, when given, is called once the request head is in.
bool ServeConnection(IHttpStream& stream, const HttpLimits& limits, const HTTPHandlers& handlers,
                     const std::string& peerIP, const std::function<void()>& headRead = {});

}  // namespace pavix::net
