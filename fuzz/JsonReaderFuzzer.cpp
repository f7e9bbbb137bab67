// Fuzz target of the JSON reader: any bytes, read as UTF-8 and as system code
// page text. Whatever is read must write, and what is written must read back
// to a tree that writes the same text again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "JsonText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const bool utf8 : {true, false}) {
    const auto tree = pavix::TJSON::JsonFromText(text, utf8);
    if (!tree) continue;
    const std::string written = pavix::TJSON::JsonToText(tree.get(), utf8);
    const auto again = pavix::TJSON::JsonFromText(written, utf8);
    if (!again || pavix::TJSON::JsonToText(again.get(), utf8) != written) std::abort();
  }
  return 0;
}
