#pragma once

#include <optional>
#include <string_view>

namespace pavix {

// The value of a number literal of the form [+-]digits[.digits][(e|E)[+-]digits]
// (the caller has checked the form) as the nearest long double, ties to
// even. nullopt when the value lies beyond the range of long double; values
// too small for its smallest subnormal become zero of the literal's sign.
//
// The decimal point is always "." and neither the locale nor the FPU's
// precision and rounding settings play a part: on x86, where long double is
// the 80-bit extended format, the result is computed with integers only and
// assembled bit by bit (some C runtimes convert only to double precision, and
// threads on Windows start with the FPU set to double precision).
std::optional<long double> DecimalToLongDouble(std::string_view literal);

namespace detail {
// The same without the fast approximation: exact big-integer arithmetic for
// every literal. Slower; the tests hold both paths against each other.
std::optional<long double> DecimalToLongDoubleExact(std::string_view literal);
}  // namespace detail

}  // namespace pavix
