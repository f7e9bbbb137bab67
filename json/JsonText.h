#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "JsonBase.h"

namespace pavix {

// The text form of the value tree. With utf8 the bytes of strings are UTF-8,
// otherwise the system code page.
class TJSON {
 public:
  // Deepest nesting of arrays and objects that the reader accepts: each level
  // costs a little stack, and a request thread must survive any body.
  static constexpr int kMaxNesting = 512;

  // Reads the first value of `text`, leniently, and ignores what follows it.
  // Malformed text gives none; nothing is ever raised. The caller owns the tree.
  static std::unique_ptr<TJSONbase> JsonFromText(std::string_view text, bool utf8) noexcept;

  // Compact text, byte for byte as the pairing code expects it; none gives "".
  static std::string JsonToText(const TJSONbase* value, bool utf8);
};

}  // namespace pavix
