#include "HTTPRecords.h"

#include <array>
#include <utility>

#include "HttpText.h"

namespace pavix::net {

THTTPCommandType CommandTypeOf(std::string_view command) {
  static constexpr std::array<std::string_view, 8> kCommands = {"UNKNOWN", "HEAD",   "GET",   "POST",
                                                                "DELETE",  "PUT",    "TRACE", "OPTIONS"};
  for (std::size_t i = 0; i < kCommands.size(); ++i) {
    if (SameTextIgnoringCase(command, kCommands[i])) return static_cast<THTTPCommandType>(i);
  }
  return THTTPCommandType::Unknown;
}

std::string HTTPRequestInfo::RawHeaderValue(std::string_view name) const {
  for (const std::string& line : RawHeaders) {
    const auto colon = line.find(':');
    if (colon != std::string::npos && SameTextIgnoringCase(Trim(std::string_view(line).substr(0, colon)), name)) {
      return std::string(Trim(std::string_view(line).substr(colon + 1)));
    }
  }
  return "";
}

bool HTTPRequestInfo::HasRawHeader(std::string_view name) const {
  for (const std::string& line : RawHeaders) {
    const auto colon = line.find(':');
    if (colon != std::string::npos && SameTextIgnoringCase(Trim(std::string_view(line).substr(0, colon)), name)) {
      return true;
    }
  }
  return false;
}

std::string ReasonPhrase(int code) {
  switch (code) {
    case 100: return "Continue";
    case 200: return "OK";
    case 201: return "Created";
    case 202: return "Accepted";
    case 203: return "Non-authoritative Information";
    case 204: return "No Content";
    case 205: return "Reset Content";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Moved Temporarily";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 305: return "Use Proxy";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method not allowed";
    case 406: return "Not Acceptable";
    case 407: return "Proxy Authentication Required";
    case 408: return "Request Timeout";
    case 409: return "Conflict";
    case 410: return "Gone";
    case 411: return "Length Required";
    case 412: return "Precondition Failed";
    case 413: return "Request Entity Too Long";
    case 414: return "Request-URI Too Long. 256 Chars max";
    case 415: return "Unsupported Media Type";
    case 417: return "Expectation Failed";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway timeout";
    case 505: return "HTTP version not supported";
    default: return "Unknown Response Code";
  }
}

void HTTPResponseInfo::SetResponseNo(int code) {
  responseNo_ = code;
  ResponseText = ReasonPhrase(code);
  if (code == 404) SetCloseConnection(true);
}

void HTTPResponseInfo::SetContentType(std::string_view value) {
  MediaTypeParts parts = SplitCharset(value);
  contentType_ = std::move(parts.withoutCharset);
  if (!parts.charset.empty()) {
    CharSet = std::move(parts.charset);
  } else if (std::string implied = DefaultTextCharset(MediaTypeOf(contentType_)); !implied.empty()) {
    CharSet = std::move(implied);
  }
}

void HTTPResponseInfo::SetCloseConnection(bool close) {
  closeConnection_ = close;
  Connection = close ? "close" : "keep-alive";
}

MediaTypeParts SplitCharset(std::string_view contentType) {
  MediaTypeParts parts;
  std::size_t start = 0;
  bool first = true;
  while (start <= contentType.size()) {
    std::size_t end = contentType.find(';', start);
    if (end == std::string_view::npos) end = contentType.size();
    const std::string_view piece = Trim(contentType.substr(start, end - start));
    const auto equals = piece.find('=');
    if (!first && equals != std::string_view::npos && SameTextIgnoringCase(Trim(piece.substr(0, equals)), "charset")) {
      std::string_view value = Trim(piece.substr(equals + 1));
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
      parts.charset = std::string(value);
    } else if (first || !piece.empty()) {
      if (!first) parts.withoutCharset += "; ";
      parts.withoutCharset += piece;
    }
    first = false;
    start = end + 1;
  }
  return parts;
}

std::string MediaTypeOf(std::string_view contentType) {
  return std::string(Trim(contentType.substr(0, contentType.find(';'))));
}

std::string DefaultTextCharset(std::string_view mediaType) {
  if (!StartsWithIgnoringCase(mediaType, "text/")) return "";
  const std::string lower = LowerCase(mediaType);
  if (lower == "text/xml" || lower == "text/xml-external-parsed-entity" ||
      (lower.size() > 4 && lower.substr(lower.size() - 4) == "+xml")) {
    return "us-ascii";
  }
  return "ISO-8859-1";
}

}  // namespace pavix::net
