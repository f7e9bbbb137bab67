#pragma once

#include <optional>
#include <string>
#include <string_view>

// The three text forms of the system: 8-bit text in the system code page
// (settings, captions, log lines, error messages), UTF-16 (JSON strings) and
// UTF-8 (everything on the wire).
namespace pavix::platform {

// System code page <-> UTF-16; chosen by the back-end (the ANSI code page on
// Windows, PAVIX_CODEPAGE or the locale's character set on POSIX). Bytes that
// do not decode become U+FFFD; characters the code page lacks become '?'.
std::u16string SystemToUtf16(std::string_view text);
std::string Utf16ToSystem(std::u16string_view text);

// True when `byte` starts a double-byte character of the system code page
// (GBK: 0x81-0xFE). Single-byte code pages and UTF-8 have no lead bytes.
bool IsSystemLeadByte(unsigned char byte);

// Name of the system code page, for diagnostics ("GBK", "UTF-8", "936").
std::string SystemCodePageName();

// UTF-8 <-> UTF-16, the same on every platform. Malformed UTF-8 becomes
// U+FFFD; a lone surrogate is written as its own 3-byte form and read back.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// The building blocks of both directions, for readers with rules of their own.
struct Utf8Sequence {
  char32_t code;
  std::size_t length;  // in bytes
};
// The well-formed sequence that starts at text[at]; none for a stray
// continuation byte, a truncated or overlong sequence, or a byte UTF-8 never uses.
std::optional<Utf8Sequence> DecodeUtf8Sequence(std::string_view text, std::size_t at);
void AppendUtf8(std::string& out, char32_t code);
// One unit, or a surrogate pair from U+10000 on.
void AppendUtf16(std::u16string& out, char32_t code);

inline std::string Utf8ToSystem(std::string_view text) { return Utf16ToSystem(Utf8ToUtf16(text)); }
inline std::string SystemToUtf8(std::string_view text) { return Utf16ToUtf8(SystemToUtf16(text)); }

}  // namespace pavix::platform
