#include <cstdint>
#include <vector>

#include "CodePage.h"
#include "DecimalToFloat.h"
#include "JsonDateText.h"
#include "JsonObject.h"
#include "JsonScalars.h"
#include "JsonText.h"
#include "JsonUtf8.h"

namespace pavix {

namespace {

// Every control byte counts as a blank, not only the four of RFC 8259.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A \u escape inside a string read in the system code page: its code unit,
// and where its UTF-8 bytes stand among the string's bytes.
struct EscapedUnit {
  std::size_t offset;
  char16_t unit;
};

// One pass over the text. Each Read* step either succeeds, returning what it
// made and moving past what it consumed, or fails, returning none and leaving
// the position where it was. A failure anywhere inside a container fails the
// container, so any failure ends the whole read with none.
class Reader {
 public:
  Reader(std::string_view text, bool utf8) : text_(text), utf8_(utf8) {}

  std::unique_ptr<TJSONbase> ReadValue();

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Current() const { return text_[pos_]; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(Current())) ++pos_;
  }
  bool LooksAt(std::string_view word) const { return text_.substr(pos_, word.size()) == word; }

  std::unique_ptr<TJSONbase> ReadNumber();
  bool ReadString(std::u16string& text);
  bool ReadStringBytes(std::string& bytes, std::vector<EscapedUnit>& escapes);
  std::u16string ToUtf16(const std::string& bytes, const std::vector<EscapedUnit>& escapes) const;
  std::unique_ptr<TJSONbase> ReadArray();
  std::unique_ptr<TJSONbase> ReadObject();
  std::unique_ptr<TJSONobjectmethod> ReadPair();

  // Counts one level of nesting for as long as it lives.
  class Level {
   public:
    explicit Level(int& depth) : depth_(depth) { ++depth_; }
    ~Level() { --depth_; }
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

   private:
    int& depth_;
  };

  // The items of the lists being read, innermost last.
  std::vector<std::unique_ptr<TJSONbase>> pending_;
  std::string_view text_;
  bool utf8_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

std::unique_ptr<TJSONbase> Reader::ReadValue() {
  const std::size_t start = pos_;
  SkipBlanks();
  if (AtEnd()) {
    pos_ = start;
    return nullptr;
  }
  // The forms are tried in the order true, false, null, number, string,
  // array, object; no two of them can begin with the same byte, so the first
  // byte picks the only one that may succeed. The words need nothing after
  // them: "trueish" reads true and leaves "ish".
  std::unique_ptr<TJSONbase> value;
  switch (Current()) {
    case 't':
      if (LooksAt("true")) {
        pos_ += 4;
        return std::make_unique<TJSONboolean>(true);
      }
      break;
    case 'f':
      if (LooksAt("false")) {
        pos_ += 5;
        return std::make_unique<TJSONboolean>(false);
      }
      break;
    case 'n':
      if (LooksAt("null")) {
        pos_ += 4;
        return std::make_unique<TJSONnull>();
      }
      break;
    case '"': {
      std::u16string text;
      if (ReadString(text)) value = std::make_unique<TJSONstring>(std::move(text));
      break;
    }
    case '[':
      value = ReadArray();
      break;
    case '{':
      value = ReadObject();
      break;
    default:
      value = ReadNumber();
      break;
  }
  if (!value) pos_ = start;
  return value;
}

// [+-]digits[.digits][(e|E)[+-]digits]; a part begun must be completed.
std::unique_ptr<TJSONbase> Reader::ReadNumber() {
  std::size_t end = pos_;
  const auto skipDigits = [this, &end] {
    const std::size_t first = end;
    while (end < text_.size() && IsDigit(text_[end])) ++end;
    return end > first;
  };
  const bool negative = end < text_.size() && text_[end] == '-';
  if (end < text_.size() && (text_[end] == '+' || text_[end] == '-')) ++end;
  // The integer part is scanned and summed in one pass: the bytes of print
  // jobs are such integers, and converted without detour. Past 18 digits the
  // sum is unused.
  const std::size_t digitsStart = end;
  std::uint64_t magnitude = 0;
  for (; end < text_.size() && IsDigit(text_[end]); ++end) magnitude = magnitude * 10 + static_cast<unsigned>(text_[end] - '0');
  if (end == digitsStart) return nullptr;
  bool integer = end - digitsStart <= 18;
  if (end < text_.size() && text_[end] == '.') {
    ++end;
    if (!skipDigits()) return nullptr;
    integer = false;
  }
  if (end < text_.size() && (text_[end] == 'e' || text_[end] == 'E')) {
    ++end;
    if (end < text_.size() && (text_[end] == '+' || text_[end] == '-')) ++end;
    if (!skipDigits()) return nullptr;
    integer = false;
  }
  // The value is made in place, after the allocation: an 80-bit float kept
  // across the call would be stored and loaded once more, which is slow.
  auto number = std::make_unique<TJSONnumber>();
  if (integer) {
    // Below 10^18, so exact in a signed 64-bit integer, whose conversion is
    // exact whatever the FPU settings.
    const auto signedMagnitude = static_cast<std::int64_t>(magnitude);
    number->SetValue(negative && magnitude == 0 ? -0.0L
                                                : static_cast<long double>(negative ? -signedMagnitude : signedMagnitude));
  } else {
    const auto converted = DecimalToLongDouble(text_.substr(pos_, end - pos_));
    if (!converted) return nullptr;  // beyond the range of the float: the read fails
    number->SetValue(*converted);
  }
  pos_ = end;
  return number;
}

bool Reader::ReadString(std::u16string& text) {
  std::string bytes;
  std::vector<EscapedUnit> escapes;
  if (!ReadStringBytes(bytes, escapes)) return false;
  if (const auto date = ConvertDateText(bytes)) {
    // The date text is the machine's, in the system code page in either mode.
    text = platform::SystemToUtf16(*date);
  } else {
    text = ToUtf16(bytes, escapes);
  }
  return true;
}

// From the opening quotation mark to the closing one: the bytes in between
// with the escapes resolved.
bool Reader::ReadStringBytes(std::string& bytes, std::vector<EscapedUnit>& escapes) {
  std::size_t at = pos_ + 1;
  for (;;) {
    // Runs of plain bytes are copied at once.
    std::size_t runEnd = at;
    while (runEnd < text_.size() && text_[runEnd] != '"' && text_[runEnd] != '\\' &&
           (utf8_ || static_cast<unsigned char>(text_[runEnd]) < 0x80)) {
      ++runEnd;
    }
    bytes.append(text_.data() + at, runEnd - at);
    at = runEnd;
    if (at >= text_.size()) return false;  // no closing quotation mark
    const char c = text_[at];
    if (c == '"') break;
    if (c != '\\') {
      // Text in the system code page: the byte after a lead byte belongs to
      // its character, even when it has the value of a quotation mark or a
      // backslash (GBK has such characters). UTF-8 never needs this.
      bytes += c;
      ++at;
      if (platform::IsSystemLeadByte(static_cast<unsigned char>(c)) && at < text_.size()) bytes += text_[at++];
      continue;
    }
    if (at + 1 >= text_.size()) return false;  // a backslash as the last byte
    const char escaped = text_[at + 1];
    at += 2;
    switch (escaped) {
      case '"':
      case '\\':
      case '/': bytes += escaped; break;
      case 'b': bytes += '\b'; break;
      case 'f': bytes += '\f'; break;
      case 'n': bytes += '\n'; break;
      case 'r': bytes += '\r'; break;
      case 't': bytes += '\t'; break;
      case 'u': {
        if (text_.size() - at < 4) return false;
        unsigned unit = 0;
        for (int i = 0; i < 4; ++i) {
          const int digit = HexValue(text_[at + static_cast<std::size_t>(i)]);
          if (digit < 0) return false;
          unit = unit * 16 + static_cast<unsigned>(digit);
        }
        at += 4;
        if (!utf8_ && unit >= 0x80) escapes.push_back({bytes.size(), static_cast<char16_t>(unit)});
        AppendCodeUnitUtf8(bytes, static_cast<char16_t>(unit));
        break;
      }
      default: break;  // an unknown escape: the backslash and its byte are dropped
    }
  }
  pos_ = at + 1;
  return true;
}

std::u16string Reader::ToUtf16(const std::string& bytes, const std::vector<EscapedUnit>& escapes) const {
  std::u16string text;
  if (utf8_) {
    // A malformed string is read as empty rather than as a guess.
    if (!DecodeJsonUtf8(bytes, text)) text.clear();
    return text;
  }
  // A \u escape names a UTF-16 code unit, whatever the code page of the
  // bytes around it: it is placed as such, not read as code page bytes.
  std::size_t from = 0;
  for (const EscapedUnit& escape : escapes) {
    text += platform::SystemToUtf16(std::string_view(bytes).substr(from, escape.offset - from));
    text += escape.unit;
    from = escape.offset + CodeUnitUtf8Length(escape.unit);
  }
  text += platform::SystemToUtf16(std::string_view(bytes).substr(from));
  return text;
}

// "[" values "]", each value optionally followed by blanks and one ",".
std::unique_ptr<TJSONbase> Reader::ReadArray() {
  if (depth_ >= TJSON::kMaxNesting) return nullptr;
  const Level level(depth_);
  const std::size_t start = pos_;
  const std::size_t first = pending_.size();
  ++pos_;
  while (auto item = ReadValue()) {
    pending_.push_back(std::move(item));
    SkipBlanks();
    if (!AtEnd() && Current() == ',') ++pos_;
  }
  // Where the last ReadValue gave up, before any blanks: so [ ] and [1, ] fail.
  if (!AtEnd() && Current() == ']') {
    ++pos_;
    auto list = std::make_unique<TJSONlist>();
    list->AppendChildren(pending_, first);
    return list;
  }
  // The last item dies first, as in a list.
  while (pending_.size() > first) pending_.pop_back();
  pos_ = start;
  return nullptr;
}

// "{" pairs "}", with the same optional commas as arrays.
std::unique_ptr<TJSONbase> Reader::ReadObject() {
  if (depth_ >= TJSON::kMaxNesting) return nullptr;
  const Level level(depth_);
  const std::size_t start = pos_;
  ++pos_;
  auto object = std::make_unique<TJSONobject>(false);
  while (auto pair = ReadPair()) {
    object->AppendChild(std::move(pair));
    SkipBlanks();
    if (!AtEnd() && Current() == ',') ++pos_;
  }
  if (!AtEnd() && Current() == '}') {
    ++pos_;
    return object;
  }
  pos_ = start;
  return nullptr;
}

// A quoted name, ":" and a value, with blanks allowed around the name.
std::unique_ptr<TJSONobjectmethod> Reader::ReadPair() {
  const std::size_t start = pos_;
  SkipBlanks();
  std::u16string name;
  if (!AtEnd() && Current() == '"' && ReadString(name)) {
    SkipBlanks();
    if (!AtEnd() && Current() == ':') {
      ++pos_;
      if (auto value = ReadValue()) return std::make_unique<TJSONobjectmethod>(std::move(name), std::move(value));
    }
  }
  pos_ = start;
  return nullptr;
}

}  // namespace

std::unique_ptr<TJSONbase> TJSON::JsonFromText(std::string_view text, bool utf8) noexcept {
  try {
    Reader reader(text, utf8);
    return reader.ReadValue();
  } catch (...) {
    // Only exhausted memory can get here; the tree built so far has been
    // destroyed on the way out.
    return nullptr;
  }
}

}  // namespace pavix
