// The system code page on Windows: the ANSI code page (CP_ACP), GBK (936) on
// the users' machines.
#include <windows.h>

#include <climits>
#include <stdexcept>

#include "CodePage.h"

namespace pavix::platform {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

int CheckedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(INT_MAX)) throw std::length_error("text too long to convert");
  return static_cast<int>(size);
}

// Strict conversion: empty when `bytes` holds anything that does not decode.
std::u16string DecodeStrictly(std::string_view bytes) {
  const int length = CheckedLength(bytes.size());
  const int units = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::u16string out(static_cast<std::size_t>(units), u'\0');
  ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), length, reinterpret_cast<wchar_t*>(out.data()),
                        units);
  return out;
}

// Character by character, so that one bad byte costs one U+FFFD and not the
// text around it. The system's own substitutes differ between code pages.
std::u16string DecodeWithReplacements(std::string_view text) {
  std::u16string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const bool lead = ::IsDBCSLeadByte(static_cast<BYTE>(text[i])) != FALSE;
    if (lead && i + 1 < text.size()) {
      const std::u16string pair = DecodeStrictly(text.substr(i, 2));
      if (!pair.empty()) {
        out += pair;
        i += 2;
        continue;
      }
    }
    // A lead byte cut off at the end or followed by a byte that is no trail
    // byte: only the lead byte is lost, the next byte may start a character.
    const std::u16string single = lead ? std::u16string() : DecodeStrictly(text.substr(i, 1));
    out += single.empty() ? std::u16string(1, kReplacement) : single;
    ++i;
  }
  return out;
}

bool SystemIsUtf8() { return ::GetACP() == CP_UTF8; }

}  // namespace

std::u16string SystemToUtf16(std::string_view text) {
  if (text.empty()) return {};
  if (SystemIsUtf8()) return Utf8ToUtf16(text);
  std::u16string out = DecodeStrictly(text);
  return out.empty() ? DecodeWithReplacements(text) : out;
}

std::string Utf16ToSystem(std::u16string_view text) {
  if (text.empty()) return {};
  if (SystemIsUtf8()) return Utf16ToUtf8(text);
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = CheckedLength(text.size());
  // No best fit: a look-alike such as a full-width backslash must not turn
  // into a real one in a name or a path.
  const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, "?", nullptr);
  if (bytes <= 0) return std::string(text.size(), '?');
  std::string out(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, out.data(), bytes, "?", nullptr);
  return out;
}

bool IsSystemLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

std::string SystemCodePageName() { return std::to_string(::GetACP()); }

}  // namespace pavix::platform
