#include "JsonUtf8.h"

#include "CodePage.h"

namespace pavix {

void AppendCodeUnitUtf8(std::string& out, char16_t unit) { platform::AppendUtf8(out, unit); }

std::size_t CodeUnitUtf8Length(char16_t unit) { return unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3; }

bool DecodeJsonUtf8(std::string_view bytes, std::u16string& out) {
  out.clear();
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto sequence = platform::DecodeUtf8Sequence(bytes, i);
    if (!sequence) return false;
    platform::AppendUtf16(out, sequence->code);
    i += sequence->length;
  }
  return true;
}

}  // namespace pavix
