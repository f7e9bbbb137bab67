#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "Exception.h"
#include "HTTPRecords.h"
#include "HttpLimits.h"
#include "HttpStream.h"

namespace pavix::net {

// The request is malformed: the connection is closed without an answer.
class HttpRequestError : public Exception {
 public:
  using Exception::Exception;
};

// Reads one request from `stream` into `request`: the head, the body and
// the parameters. Returns 0 when the request is ready for the handler, or
// the status of the early answer the server gives instead (400, 411, 413,
// 417). On "Expect: 100-continue" the interim answer is written before the
// body is read. `headRead`, when given, is called once the head is in.
// Raises HttpRequestError or ConnectionEnded.
int ReadRequest(IHttpStream& stream, const HttpLimits& limits, HTTPRequestInfo& request,
                const std::function<void()>& headRead = {});

}  // namespace pavix::net
