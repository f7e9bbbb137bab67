#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace pavix {

// The tagged scalar that JSON values are read and written through: Null, a
// double, UTF-16 text or a boolean. Conversions raise VariantConversionError
// or VariantOverflowError (JsonErrors.h) when the value has no such form.
//
// Conversion rules beyond the obvious ones:
// - Null converts to nothing but Null.
// - A boolean is -1 (true) or 0 (false) as a number, and "true" / "false" as text.
// - A number is non-zero as a boolean; as text it has the 15-digit general
//   format of FormatFloat15.
// - Text converts to a number when it has the form of a JSON number, with a
//   leading "+" also allowed and no blanks anywhere ("12", "-3", "65.5", "1E2").
//   As a boolean, text is "true" or "false" in any letter case, or a number
//   text, which is true when non-zero.
// - Integers are rounded to the nearest, ties to even, and must fit 32 bits
//   signed; NaN and infinities never fit.
class Variant {
 public:
  enum class Type { Null, Double, String, Boolean };

  Variant() = default;  // Null
  static Variant Null() { return Variant(); }
  static Variant FromDouble(double value) { return Variant(Storage(std::in_place_index<1>, value)); }
  static Variant FromText(std::u16string text) {
    return Variant(Storage(std::in_place_index<2>, std::move(text)));
  }
  static Variant FromBoolean(bool value) { return Variant(Storage(std::in_place_index<3>, value)); }

  Type GetType() const { return static_cast<Type>(value_.index()); }
  bool IsNull() const { return GetType() == Type::Null; }

  std::int32_t ToInt32() const;
  double ToDouble() const;
  bool ToBoolean() const;
  std::u16string ToText() const;

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  // The alternatives are in the order of Type.
  using Storage = std::variant<std::monostate, double, std::u16string, bool>;
  explicit Variant(Storage value) : value_(std::move(value)) {}

  Storage value_;
};

// The form's name as used in conversion messages ("Null", "Double", "String", "Boolean").
const char* VariantTypeName(Variant::Type type);

}  // namespace pavix
