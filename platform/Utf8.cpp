#include "CodePage.h"

namespace pavix::platform {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t code) {
  if (code >= 0x10000) {
    code -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (code >> 10));
    out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  } else {
    out += static_cast<char16_t>(code);
  }
}

std::optional<Utf8Sequence> DecodeUtf8Sequence(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    return Utf8Sequence{lead, 1};
  } else if (lead >= 0xC2 && lead < 0xE0) {
    length = 2, code = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3, code = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    length = 4, code = lead & 0x07, minimum = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() - at < length) return std::nullopt;
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    if (!IsContinuation(next)) return std::nullopt;
    code = (code << 6) | (next & 0x3F);
  }
  // Encoded surrogates pass: a lone surrogate is written in its 3-byte form.
  if (code < minimum || code > 0x10FFFF) return std::nullopt;
  return Utf8Sequence{code, length};
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (const auto sequence = DecodeUtf8Sequence(text, i)) {
      AppendUtf16(out, sequence->code);
      i += sequence->length;
      continue;
    }
    // One replacement for the bad lead byte and the continuation bytes after it.
    out += kReplacement;
    ++i;
    while (i < text.size() && IsContinuation(static_cast<unsigned char>(text[i]))) ++i;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    const bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                      text[i + 1] < 0xE000;
    if (pair) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace pavix::platform
