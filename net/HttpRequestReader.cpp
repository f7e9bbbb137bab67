#include "HttpRequestReader.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "Base64Decode.h"
#include "HttpParams.h"
#include "HttpText.h"

namespace pavix::net {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::size_t kReadChunk = 32768;

// Buffered reading of lines and counted bytes from the stream.
class Input {
 public:
  Input(IHttpStream& stream, const HttpLimits& limits) : stream_(stream), limits_(limits) {}

  bool Empty() const { return buffer_.size() == start_; }

  std::string ReadLine(milliseconds timeout) {
    std::size_t scanned = 0;  // bytes after start_ known to hold no line end
    for (;;) {
      const std::size_t end = buffer_.find('\n', start_ + scanned);
      if (end != std::string::npos) {
        std::size_t length = end - start_;
        if (length > 0 && buffer_[end - 1] == '\r') --length;
        if (length > limits_.maxLineLength) throw HttpRequestError("Max line length exceeded.");
        std::string line = buffer_.substr(start_, length);
        start_ = end + 1;
        return line;
      }
      // No line end yet: a line that is already too long cannot pass, so
      // stop buffering it (the CR that may end it is allowed for).
      if (buffer_.size() - start_ > limits_.maxLineLength + 1) throw HttpRequestError("Max line length exceeded.");
      scanned = buffer_.size() - start_;
      Fill(timeout);  // may move the unread bytes to the front
    }
  }

  void ReadBytes(std::string& target, std::int64_t count, milliseconds stallTimeout) {
    while (count > 0) {
      if (Empty()) Fill(stallTimeout);
      const std::size_t take = static_cast<std::size_t>(std::min<std::int64_t>(count, buffer_.size() - start_));
      target.append(buffer_, start_, take);
      start_ += take;
      count -= static_cast<std::int64_t>(take);
    }
  }

 private:
  void Fill(milliseconds timeout) {
    if (start_ > 0 && start_ == buffer_.size()) {
      buffer_.clear();
      start_ = 0;
    } else if (start_ > kReadChunk) {
      buffer_.erase(0, start_);
      start_ = 0;
    }
    char chunk[kReadChunk];
    const std::size_t got = stream_.Read(chunk, sizeof chunk, timeout);
    buffer_.append(chunk, got);
  }

  IHttpStream& stream_;
  const HttpLimits& limits_;
  std::string buffer_;
  std::size_t start_ = 0;
};

// Request lines and headers are read as ASCII: other bytes become "?".
std::string AsciiOnly(std::string line) {
  for (char& c : line) {
    if (static_cast<unsigned char>(c) > 0x7F) c = '?';
  }
  return line;
}

int NumberOrMinusOne(std::string_view digits) {
  int value = 0;
  if (digits.empty()) return -1;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() && end == digits.data() + digits.size() && value >= 0 ? value : -1;
}

void ParseVersion(HTTPRequestInfo& request) {
  const std::string_view version = request.Version;
  const auto slash = version.find('/');
  if (slash == std::string_view::npos) return;
  const auto dot = version.find('.', slash);
  request.VersionMajor = NumberOrMinusOne(version.substr(slash + 1, dot == std::string_view::npos ? std::string_view::npos : dot - slash - 1));
  if (dot != std::string_view::npos) request.VersionMinor = NumberOrMinusOne(version.substr(dot + 1));
}

void ParseRequestLine(const std::string& line, HTTPRequestInfo& request) {
  request.RawHTTPCommand = line;
  const auto lastSpace = line.rfind(' ');
  if (line.empty() || lastSpace == std::string::npos) throw HttpRequestError("Error in parsing command.");
  request.Version = line.substr(lastSpace + 1);
  const std::string_view head = std::string_view(line).substr(0, lastSpace);
  const auto firstSpace = head.find(' ');
  const std::string_view method = head.substr(0, firstSpace);
  const std::string_view target = firstSpace == std::string_view::npos ? std::string_view() : head.substr(firstSpace + 1);
  request.Command = UpperCase(method);
  const auto question = target.find('?');
  request.URI = std::string(target.substr(0, question));
  if (question != std::string_view::npos) request.QueryParams = std::string(target.substr(question + 1));
  request.Document = request.URI == "*" ? "*" : DecodePath(request.URI);
  ParseVersion(request);
}

void ReadHeaders(Input& input, const HttpLimits& limits, Clock::time_point deadline, HTTPRequestInfo& request) {
  // Continuation lines add to a stored header without counting as lines, so
  // the line rules alone would let one header grow for as long as the head
  // time-out lasts. The head may hold what the line rules allow, no more.
  const std::size_t maxHeadBytes = (limits.maximumHeaderLineCount + 1) * (limits.maxLineLength + 2);
  std::size_t headBytes = 0;
  for (;;) {
    std::string line = AsciiOnly(input.ReadLine(TimeLeftUntil(deadline)));
    if (line.empty()) return;
    headBytes += line.size() + 2;
    if (headBytes > maxHeadBytes) throw HttpRequestError("Maximum header size exceeded.");
    if ((line[0] == ' ' || line[0] == '\t') && !request.RawHeaders.empty()) {
      request.RawHeaders.back() += " " + std::string(Trim(line));
      continue;
    }
    if (request.RawHeaders.size() >= limits.maximumHeaderLineCount + 1) {
      throw HttpRequestError("Maximum number of line allowed exceeded");
    }
    const auto colon = line.find(':');
    if (colon == std::string::npos) {
      request.RawHeaders.push_back(std::move(line));
    } else {
      request.RawHeaders.push_back(std::string(Trim(std::string_view(line).substr(0, colon))) + ": " +
                                   std::string(Trim(std::string_view(line).substr(colon + 1))));
    }
  }
}

std::int64_t ContentLengthOf(std::string_view text) {
  text = Trim(text);
  std::int64_t value = -1;
  if (text.empty()) return -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0 ? value : -1;
}

void FillHeaderFields(HTTPRequestInfo& request) {
  request.Host = request.RawHeaderValue("Host");
  request.Connection = request.RawHeaderValue("Connection");
  MediaTypeParts contentType = SplitCharset(request.RawHeaderValue("Content-Type"));
  request.ContentType = std::move(contentType.withoutCharset);
  request.CharSet = !contentType.charset.empty() ? std::move(contentType.charset)
                                                 : DefaultTextCharset(MediaTypeOf(request.ContentType));
  request.ContentLength = ContentLengthOf(request.RawHeaderValue("Content-Length"));
  request.TransferEncoding = request.RawHeaderValue("Transfer-Encoding");
  request.Accept = request.RawHeaderValue("Accept");
  request.AcceptCharSet = request.RawHeaderValue("Accept-Charset");
  request.AcceptEncoding = request.RawHeaderValue("Accept-Encoding");
  request.AcceptLanguage = request.RawHeaderValue("Accept-Language");
  request.From = request.RawHeaderValue("From");
  request.Referer = request.RawHeaderValue("Referer");
  request.UserAgent = request.RawHeaderValue("User-Agent");
  request.MethodOverride = request.RawHeaderValue("X-HTTP-Method-Override");
  if (request.HasRawHeader("X-HTTP-Method-Override")) request.Command = UpperCase(request.MethodOverride);
  request.CommandType = CommandTypeOf(request.Command);
}

// The size of one chunk: hexadecimal up to any ";"; other text counts as 0.
// A size beyond `limit` gives nullopt, before it can overflow.
std::optional<std::int64_t> ChunkSize(std::string_view line, std::int64_t limit) {
  const std::string_view digits = Trim(line.substr(0, line.find(';')));
  std::int64_t size = 0;
  for (char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return 0;
    if (size > (limit - digit) / 16) return std::nullopt;
    size = size * 16 + digit;
  }
  return size;
}

// Returns 0, or 413 when the body grows beyond the limit.
int ReadChunkedBody(Input& input, const HttpLimits& limits, std::string& body) {
  for (;;) {
    const auto size = ChunkSize(input.ReadLine(limits.bodyStallTimeout), limits.maxBodySize);
    if (!size || *size > limits.maxBodySize - static_cast<std::int64_t>(body.size())) return 413;
    if (*size == 0) break;
    input.ReadBytes(body, *size, limits.bodyStallTimeout);
    input.ReadLine(limits.bodyStallTimeout);
  }
  // Trailer lines are read and dropped, as many as headers may be.
  for (std::size_t count = 0; !input.ReadLine(limits.bodyStallTimeout).empty(); ++count) {
    if (count > limits.maximumHeaderLineCount) throw HttpRequestError("Maximum number of line allowed exceeded");
  }
  return 0;
}

int ReadBody(Input& input, IHttpStream& stream, const HttpLimits& limits, HTTPRequestInfo& request) {
  const std::string_view coding = Trim(request.TransferEncoding);
  if (coding.empty() || SameTextIgnoringCase(coding, "identity")) {
    if (request.ContentLength >= 0) {
      if (request.ContentLength > limits.maxBodySize) return 413;
      std::string body;
      input.ReadBytes(body, request.ContentLength, limits.bodyStallTimeout);
      request.PostStream = std::move(body);
      return 0;
    }
    if (!input.Empty() || stream.BytesWaiting(limits.noBodyWait)) return 411;
    return 0;
  }
  if (SameTextIgnoringCase(coding, "chunked")) {
    std::string body;
    if (const int answer = ReadChunkedBody(input, limits, body); answer != 0) return answer;
    request.PostStream = std::move(body);
    return 0;
  }
  return 400;
}

void ReadCookies(HTTPRequestInfo& request) {
  for (const std::string& line : request.RawHeaders) {
    const auto colon = line.find(':');
    if (colon == std::string::npos || !SameTextIgnoringCase(Trim(std::string_view(line).substr(0, colon)), "Cookie")) {
      continue;
    }
    std::string_view rest = std::string_view(line).substr(colon + 1);
    while (!rest.empty()) {
      const auto semicolon = rest.find(';');
      const std::string_view cookie = Trim(rest.substr(0, semicolon));
      if (!cookie.empty()) request.Cookies.emplace_back(cookie);
      if (semicolon == std::string_view::npos) break;
      rest.remove_prefix(semicolon + 1);
    }
  }
}

void ReadAuthorization(HTTPRequestInfo& request) {
  if (!request.HasRawHeader("Authorization")) return;
  const std::string value = request.RawHeaderValue("Authorization");
  const std::string_view scheme = std::string_view(value).substr(0, value.find(' '));
  if (!SameTextIgnoringCase(scheme, "Basic")) throw HttpRequestError("Unsupported authorization scheme.");
  const std::string credentials =
      Base64Decode(value.size() > scheme.size() ? std::string_view(value).substr(scheme.size() + 1) : "");
  const auto colon = credentials.find(':');
  request.AuthExists = true;
  request.AuthUsername = credentials.substr(0, colon);
  if (colon != std::string::npos) request.AuthPassword = credentials.substr(colon + 1);
}

bool IsForm(const HTTPRequestInfo& request) {
  return SameTextIgnoringCase(MediaTypeOf(request.ContentType), "application/x-www-form-urlencoded");
}

}  // namespace

int ReadRequest(IHttpStream& stream, const HttpLimits& limits, HTTPRequestInfo& request,
                const std::function<void()>& headRead) {
  Input input(stream, limits);
  const auto deadline = DeadlineIn(limits.headTimeout);
  ParseRequestLine(AsciiOnly(input.ReadLine(limits.headTimeout)), request);
  ReadHeaders(input, limits, deadline, request);
  FillHeaderFields(request);
  if (headRead) headRead();

  const bool http11 = request.VersionMajor > 1 || (request.VersionMajor == 1 && request.VersionMinor >= 1);
  if (http11) {
    if (request.Host.empty()) return 400;
    if (request.HasRawHeader("Expect") && input.Empty()) {
      if (!SameTextIgnoringCase(request.RawHeaderValue("Expect"), "100-continue")) return 417;
      stream.Write(request.Version + " 100 Continue\r\n\r\n");
    }
  }
  if (const int answer = ReadBody(input, stream, limits, request); answer != 0) return answer;

  if (IsForm(request) && request.PostStream) {
    request.FormParams = std::move(*request.PostStream);
    request.PostStream.reset();
  }
  request.UnparsedParams = request.FormParams;
  if (!request.FormParams.empty() && !request.QueryParams.empty()) request.UnparsedParams += "&";
  request.UnparsedParams += request.QueryParams;
  request.Params = DecodeParams(IsForm(request) ? request.UnparsedParams : request.QueryParams, request.CharSet);

  ReadCookies(request);
  ReadAuthorization(request);
  return 0;
}

}  // namespace pavix::net
