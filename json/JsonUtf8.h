#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// UTF-8 as JSON text carries it: every UTF-16 code unit is encoded on its own,
// so a surrogate pair becomes two 3-byte sequences, and such sequences are
// read back as the code units they encode.
namespace pavix {

// Appends one UTF-16 code unit in 1, 2 or 3 bytes.
void AppendCodeUnitUtf8(std::string& out, char16_t unit);
// Bytes that AppendCodeUnitUtf8 writes for unit.
std::size_t CodeUnitUtf8Length(char16_t unit);

// Decodes `bytes` into `out`; false, with `out` unspecified, when they are not
// well-formed: a lead byte without its continuation bytes, a stray
// continuation byte, an overlong form or a byte that UTF-8 never uses.
// 4-byte forms become surrogate pairs.
bool DecodeJsonUtf8(std::string_view bytes, std::u16string& out);

}  // namespace pavix
