#pragma once

#include <chrono>
#include <string>

#include "HTTPRecords.h"
#include "HttpStream.h"

namespace pavix::net {

// The status line, the header lines in their fixed order and the empty line
// that ends them. Completes the response first: a default Content-Type when
// there is content, the Content-Length when it is -1, the Date when unset.
std::string ResponseHeaderText(HTTPResponseInfo& response);

// The header (unless already written) in one write, then the content.
void WriteResponse(IHttpStream& stream, HTTPResponseInfo& response);

}  // namespace pavix::net
