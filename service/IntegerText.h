#pragma once

#include <cstdint>
#include <string>

#include "Exception.h"

namespace pavix {

// A text that should hold a decimal integer and does not.
class IntegerConversionError : public Exception {
 public:
  explicit IntegerConversionError(const std::string& text) : Exception("'" + text + "' is not a valid integer value") {}
};

// A decimal integer with an optional sign, within the signed 32-bit range;
// leading blanks are allowed. Anything else raises IntegerConversionError.
std::int32_t StrToInt(const std::string& text);

}  // namespace pavix
