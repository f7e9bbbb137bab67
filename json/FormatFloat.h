#pragma once

#include <string>

namespace pavix {

// The general number format with at most 15 significant digits, as JSON
// numbers are written: fixed notation for decimal exponents from -3 to 15
// ("8212", "0.0001", "0.333333333333333"), otherwise "1E-5", "1.5E-7",
// "1E15". The decimal point is always "." whatever the C locale; zero is "0".
// NaN and the infinities, which JSON cannot express, give "NAN", "INF" and "-INF".
std::string FormatFloat15(long double value);

}  // namespace pavix
