#include "HttpResponseWriter.h"

#include "HttpDate.h"
#include "HttpText.h"

namespace pavix::net {

namespace {

void AddLine(std::string& text, const char* name, const std::string& value) {
  if (value.empty()) return;
  text += name;
  text += ": ";
  text += value;
  text += "\r\n";
}

}  // namespace

std::string ResponseHeaderText(HTTPResponseInfo& response) {
  const bool hasContent = !response.ContentText.empty() || response.ContentStream.has_value();
  if (response.ContentType().empty() && hasContent) response.SetContentType("text/html; charset=ISO-8859-1");
  const std::string_view coding = Trim(response.TransferEncoding);
  if (response.ContentLength == -1 && (coding.empty() || SameTextIgnoringCase(coding, "identity"))) {
    if (!response.ContentText.empty()) {
      response.ContentLength = static_cast<std::int64_t>(response.ContentText.size());
    } else if (response.ContentStream) {
      response.ContentLength = static_cast<std::int64_t>(response.ContentStream->size());
    } else {
      response.ContentLength = 0;
    }
  }
  if (!response.Date) response.Date = std::chrono::system_clock::now();

  std::string text = "HTTP/1.1 " + std::to_string(response.ResponseNo()) + " " + response.ResponseText + "\r\n";
  AddLine(text, "Connection", response.Connection);
  AddLine(text, "Content-Version", response.ContentVersion);
  AddLine(text, "Content-Disposition", response.ContentDisposition);
  AddLine(text, "Content-Encoding", response.ContentEncoding);
  AddLine(text, "Content-Language", response.ContentLanguage);
  if (!response.ContentType().empty()) {
    AddLine(text, "Content-Type",
            response.CharSet.empty() ? response.ContentType() : response.ContentType() + "; charset=" + response.CharSet);
  }
  if (response.ContentLength >= 0) AddLine(text, "Content-Length", std::to_string(response.ContentLength));
  AddLine(text, "Cache-control", response.CacheControl);
  AddLine(text, "Date", Rfc1123Date(*response.Date));
  AddLine(text, "ETag", response.ETag);
  AddLine(text, "Expires", response.Expires);
  AddLine(text, "Pragma", response.Pragma);
  AddLine(text, "Transfer-Encoding", response.TransferEncoding);
  for (const std::string& line : response.CustomHeaders) text += line + "\r\n";
  AddLine(text, "Content-Range", response.ContentRange);
  AddLine(text, "Accept-Ranges", response.AcceptRanges);
  AddLine(text, "Last-Modified", response.LastModified);
  AddLine(text, "Server", response.Server);
  AddLine(text, "Location", response.Location);
  AddLine(text, "WWW-Authenticate", response.WWWAuthenticate);
  text += "\r\n";
  return text;
}

void WriteResponse(IHttpStream& stream, HTTPResponseInfo& response) {
  if (!response.HeaderHasBeenWritten) {
    std::string text = ResponseHeaderText(response);
    response.HeaderHasBeenWritten = true;
    // Head and text body in one write: one call, and no small second
    // segment for Nagle's algorithm to hold back until the first is acked.
    text += response.ContentText;
    response.ContentText.clear();
    stream.Write(text);
  }
  if (!response.ContentText.empty()) {
    stream.Write(response.ContentText);
    response.ContentText.clear();
  } else if (response.ContentStream) {
    stream.Write(*response.ContentStream);
  }
}

}  // namespace pavix::net
