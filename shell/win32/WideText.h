#pragma once

#include <string>
#include <string_view>

#include "CodePage.h"

// The windows take UTF-16 everywhere, whatever the machine's code page: the
// fixed texts come from their UTF-8 source, what the logic hands over comes
// in the system code page.
namespace pavix::desktop {

inline std::wstring WideFromUtf16(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
inline std::wstring WideFromUtf8(std::string_view text) { return WideFromUtf16(platform::Utf8ToUtf16(text)); }
inline std::wstring WideFromSystem(std::string_view text) { return WideFromUtf16(platform::SystemToUtf16(text)); }
inline std::string SystemFromWide(std::wstring_view text) {
  return platform::Utf16ToSystem(std::u16string(text.begin(), text.end()));
}

}  // namespace pavix::desktop
