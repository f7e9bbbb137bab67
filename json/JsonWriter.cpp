#include <cmath>

#include "CodePage.h"
#include "FormatFloat.h"
#include "JsonObject.h"
#include "JsonScalars.h"
#include "JsonText.h"
#include "JsonUtf8.h"

namespace pavix {

namespace {

// Appends to one buffer, whose geometric growth keeps any output linear in
// its size.
class Writer {
 public:
  explicit Writer(bool utf8) : utf8_(utf8) {}

  void Write(const TJSONbase& value);
  std::string Take() { return std::move(out_); }

 private:
  void WriteString(std::u16string_view text);
  void WriteByte(char byte);

  std::string out_;
  bool utf8_;
};

void Writer::Write(const TJSONbase& value) {
  if (const auto* number = dynamic_cast<const TJSONnumber*>(&value)) {
    // JSON has no word for NaN or the infinities; null is the one value that
    // every reader accepts in their place.
    out_ += std::isfinite(number->Value()) ? FormatFloat15(number->Value()) : "null";
  } else if (const auto* text = dynamic_cast<const TJSONstring*>(&value)) {
    WriteString(text->Text());
  } else if (const auto* flag = dynamic_cast<const TJSONboolean*>(&value)) {
    out_ += flag->Flag() ? "true" : "false";
  } else if (dynamic_cast<const TJSONnull*>(&value) != nullptr) {
    out_ += "null";
  } else if (const auto* pair = dynamic_cast<const TJSONobjectmethod*>(&value)) {
    WriteString(pair->Name());
    out_ += ':';
    if (pair->Value() != nullptr) Write(*pair->Value());
  } else if (const auto* list = dynamic_cast<const TJSONcustomlist*>(&value)) {
    // Only lists and objects have brackets; a bare custom list writes nothing.
    const bool isObject = dynamic_cast<const TJSONobject*>(&value) != nullptr;
    if (!isObject && dynamic_cast<const TJSONlist*>(&value) == nullptr) return;
    out_ += isObject ? '{' : '[';
    for (int i = 0; i < list->ChildCount(); ++i) {
      if (i > 0) out_ += ',';
      if (const TJSONbase* item = list->ChildAt(i)) Write(*item);
    }
    out_ += isObject ? '}' : ']';
  }
}

void Writer::WriteString(std::u16string_view text) {
  out_ += '"';
  if (utf8_) {
    for (const char16_t unit : text) {
      if (unit < 0x80) {
        WriteByte(static_cast<char>(unit));
      } else {
        AppendCodeUnitUtf8(out_, unit);  // bytes of 0x80 and above are never escaped
      }
    }
  } else {
    const std::string bytes = platform::Utf16ToSystem(text);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      // The second byte of a double-byte character is part of the character,
      // even when it has the value of a backslash: escaping it would make the
      // reader, which takes such pairs whole, see an escape that was never meant.
      if (platform::IsSystemLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size()) {
        out_ += bytes[i];
        out_ += bytes[++i];
      } else {
        WriteByte(bytes[i]);
      }
    }
  }
  out_ += '"';
}

void Writer::WriteByte(char byte) {
  switch (byte) {
    case '\b': out_ += "\\b"; return;
    case '\t': out_ += "\\t"; return;
    case '\n': out_ += "\\n"; return;
    case '\f': out_ += "\\f"; return;
    case '\r': out_ += "\\r"; return;
    case '"':
    case '/':
    case '\\':
      out_ += '\\';
      out_ += byte;
      return;
    default: break;
  }
  const auto value = static_cast<unsigned char>(byte);
  if (value < 0x20) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out_ += "\\u00";
    out_ += kHex[value >> 4];
    out_ += kHex[value & 0x0F];
  } else {
    out_ += byte;
  }
}

}  // namespace

std::string TJSON::JsonToText(const TJSONbase* value, bool utf8) {
  if (value == nullptr) return std::string();
  Writer writer(utf8);
  writer.Write(*value);
  return writer.Take();
}

}  // namespace pavix
