#pragma once

#include <string>
#include <string_view>

#include "Exception.h"

// The causes of failure in the JSON model, each its own type so that a caller
// can tell them apart; the message texts are what users and clients see.
namespace pavix {

// A value was viewed as a class it is not (JsonCast).
class InvalidCastError : public Exception {
 public:
  InvalidCastError() : Exception("Invalid class typecast") {}
};

// A Variant cannot take the requested form; the form names are the ones of
// the messages: Null, Double, String, Boolean, Integer.
class VariantConversionError : public Exception {
 public:
  VariantConversionError(std::string_view from, std::string_view to)
      : Exception("Could not convert variant of type (" + std::string(from) + ") into type (" +
                  std::string(to) + ")") {}
};

// A Variant holds a number that the requested form cannot represent.
class VariantOverflowError : public Exception {
 public:
  VariantOverflowError(std::string_view from, std::string_view to)
      : Exception("Overflow while converting variant of type (" + std::string(from) + ") into type (" +
                  std::string(to) + ")") {}
};

// An object has no field of the requested name; the name is in the system code page.
class MissingFieldError : public Exception {
 public:
  explicit MissingFieldError(const std::string& nameInSystemCodePage)
      : Exception("json field " + nameInSystemCodePage + " not exists") {}
};

}  // namespace pavix
