#include "SystemText.h"

#include "CodePage.h"

namespace pavix::platform {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameSystemTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (IsSystemLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (LowerAscii(a[i]) != LowerAscii(b[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace pavix::platform
