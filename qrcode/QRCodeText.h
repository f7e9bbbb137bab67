#pragma once

#include <string>
#include <string_view>

// The data bytes of a Code text: with escapes on, "~hex~" stands for the
// bytes it spells and "~~" for one tilde, so binary data can be typed.
namespace pavix::qr {

struct TDecodedCode {
  std::string data;
  bool binary = false;        // an escape produced a byte of the binary set
  bool escapesValid = true;   // false: the text was taken literally; the caller turns escapes off
};

TDecodedCode DecodeCode(std::string_view code, bool binaryOperation);

}  // namespace pavix::qr
