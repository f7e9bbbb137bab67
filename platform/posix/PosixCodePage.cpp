// The system code page on POSIX: PAVIX_CODEPAGE (an iconv name such as GBK),
// else the character set of the locale named by the environment. Chosen once
// per process, as the ANSI code page is on Windows.
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>

#include "CodePage.h"

namespace pavix::platform {

namespace {

std::string CodesetOfLocale() {
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    std::string name(value);
    const auto dot = name.find('.');
    if (dot == std::string::npos) return "UTF-8";  // "C", "POSIX", "en_US": treat as UTF-8
    name = name.substr(dot + 1);
    return name.substr(0, name.find('@'));
  }
  return "UTF-8";
}

bool IsUtf8Name(std::string name) {
  for (auto& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return name == "UTF-8" || name == "UTF8";
}

// One iconv descriptor per conversion call: descriptors are not thread-safe.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
  ~Converter() {
    if (Valid()) ::iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  iconv_t Handle() const { return cd_; }

  // Converts `input`; a sequence that does not convert becomes `standIn`
  // and `skip` input bytes are passed over.
  std::string Run(std::string_view input, std::string_view standIn, std::size_t skip) {
    std::string out;
    std::array<char, 1024> buffer;
    auto* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
      char* outPtr = buffer.data();
      std::size_t outLeft = buffer.size();
      const std::size_t result = ::iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer.data(), buffer.size() - outLeft);
      if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
        out.append(standIn);
        const std::size_t skipped = std::min(inLeft, skip);
        in += skipped;
        inLeft -= skipped;
      }
    }
    return out;
  }

 private:
  iconv_t cd_;
};

struct SystemCodePage {
  std::string name;
  bool utf8 = true;
  std::array<bool, 256> leadBytes{};
};

SystemCodePage Detect() {
  SystemCodePage page;
  const char* configured = std::getenv("PAVIX_CODEPAGE");
  page.name = (configured != nullptr && *configured != '\0') ? configured : CodesetOfLocale();
  page.utf8 = IsUtf8Name(page.name);
  if (page.utf8) return page;
  if (!Converter("UTF-16LE", page.name.c_str()).Valid()) {
    page = SystemCodePage{"UTF-8", true, {}};  // an unknown name must not make every text unreadable
    return page;
  }
  // A lead byte is one that iconv reports as an incomplete character on its own.
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    Converter probe("UTF-16LE", page.name.c_str());
    const char single = static_cast<char>(byte);
    char* in = const_cast<char*>(&single);
    std::size_t inLeft = 1;
    char out[8];
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    page.leadBytes[byte] =
        ::iconv(probe.Handle(), &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) && errno == EINVAL;
  }
  return page;
}

const SystemCodePage& Page() {
  static const SystemCodePage page = Detect();
  return page;
}

std::u16string FromUtf16Le(const std::string& bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return text;
}

std::string ToUtf16Le(std::u16string_view text) {
  std::string bytes(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return bytes;
}

}  // namespace

std::u16string SystemToUtf16(std::string_view text) {
  const SystemCodePage& page = Page();
  if (page.utf8) return Utf8ToUtf16(text);
  Converter converter("UTF-16LE", page.name.c_str());
  return FromUtf16Le(converter.Run(text, std::string_view("\xFD\xFF", 2) /* U+FFFD */, 1));
}

std::string Utf16ToSystem(std::u16string_view text) {
  const SystemCodePage& page = Page();
  if (page.utf8) return Utf16ToUtf8(text);
  Converter converter(page.name.c_str(), "UTF-16LE");
  return converter.Run(ToUtf16Le(text), "?", 2 /* one UTF-16 code unit */);
}

bool IsSystemLeadByte(unsigned char byte) { return Page().leadBytes[byte]; }

std::string SystemCodePageName() { return Page().name; }

}  // namespace pavix::platform
