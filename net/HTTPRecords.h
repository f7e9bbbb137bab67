#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "NameValueList.h"

// The request as the server hands it to its handler, and the response the
// handler fills in.
namespace pavix::net {

// Positions in this list are the values of HTTPRequestInfo::CommandType.
enum class THTTPCommandType { Unknown, Head, Get, Post, Delete, Put, Trace, Options };

THTTPCommandType CommandTypeOf(std::string_view command);

struct HTTPRequestInfo {
  std::string RawHTTPCommand;  // the request line as received
  std::string Command;         // method, upper-cased, or the override's value
  THTTPCommandType CommandType = THTTPCommandType::Unknown;
  std::string Version;         // e.g. "HTTP/1.1"
  int VersionMajor = -1;
  int VersionMinor = -1;
  std::string URI;             // request target before its "?"
  std::string Document;        // percent-decoded path; "*" for the target "*"
  std::string QueryParams;     // raw text after the first "?"

  std::vector<std::string> RawHeaders;  // "Name: value", in order, continuations joined
  std::string Host;
  std::string Connection;
  std::string ContentType;  // Content-Type without its charset parameter
  std::string CharSet;
  std::int64_t ContentLength = -1;
  std::string TransferEncoding;
  std::string Accept;
  std::string AcceptCharSet;
  std::string AcceptEncoding;
  std::string AcceptLanguage;
  std::string From;
  std::string Referer;
  std::string UserAgent;
  std::string MethodOverride;

  std::optional<std::string> PostStream;  // the body, when one was read and kept
  std::string FormParams;
  std::string UnparsedParams;
  NameValueList Params;

  std::string RemoteIP;
  std::vector<std::string> Cookies;  // "name=value" pairs of the Cookie headers
  bool AuthExists = false;
  std::string AuthUsername;
  std::string AuthPassword;

  // Value of the first header named `name` (letter case ignored); "" if none.
  std::string RawHeaderValue(std::string_view name) const;
  bool HasRawHeader(std::string_view name) const;
};

// The reason phrase of a status code, "Unknown Response Code" for others.
std::string ReasonPhrase(int code);

class HTTPResponseInfo {
 public:
  int ResponseNo() const { return responseNo_; }
  // Also sets ResponseText; 404 also closes the connection.
  void SetResponseNo(int code);
  std::string ResponseText = "OK";

  std::string ContentText;                 // written byte for byte
  std::optional<std::string> ContentStream;  // body given whole, when not as text

  const std::string& ContentType() const { return contentType_; }
  // A "charset" parameter moves into CharSet; a text type without one gets
  // "ISO-8859-1" ("us-ascii" for xml text types).
  void SetContentType(std::string_view value);
  std::string CharSet;
  std::string ContentEncoding;
  std::int64_t ContentLength = -1;  // -1: counted when the header is written

  bool CloseConnection() const { return closeConnection_; }
  // Also sets the Connection header: "close" or "keep-alive".
  void SetCloseConnection(bool close);
  std::string Connection = "close";

  std::optional<std::chrono::system_clock::time_point> Date;  // now, when unset
  std::vector<std::string> CustomHeaders;                    // whole "Name: value" lines

  std::string ContentVersion;
  std::string ContentDisposition;
  std::string ContentLanguage;
  std::string CacheControl;
  std::string ETag;
  std::string Expires;
  std::string Pragma;
  std::string TransferEncoding;
  std::string ContentRange;
  std::string AcceptRanges;
  std::string LastModified;
  std::string Server;
  std::string Location;
  std::string WWWAuthenticate;

  bool HeaderHasBeenWritten = false;

 private:
  int responseNo_ = 200;
  std::string contentType_;
  bool closeConnection_ = true;
};

// Splits "type/sub; charset=x; a=b" into the value without the charset
// parameter and the charset (letter case of the name ignored).
struct MediaTypeParts {
  std::string withoutCharset;
  std::string charset;
};
MediaTypeParts SplitCharset(std::string_view contentType);

// The part of a Content-Type before any ";", trimmed.
std::string MediaTypeOf(std::string_view contentType);

// The charset a "text" media type implies when it names none; "" otherwise.
std::string DefaultTextCharset(std::string_view mediaType);

}  // namespace pavix::net
