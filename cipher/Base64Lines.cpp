// The text form of the pairing code: Base64 broken into 76-character lines.
#include "Base64.h"
#include "DESUtils.h"

namespace pavix {

std::string EncodeBase64Lines(std::string_view bytes) {
  constexpr std::size_t kLineLength = 76;
  const std::string oneLine = EncodeBase64(bytes);
  std::string text;
  text.reserve(oneLine.size() + oneLine.size() / kLineLength * 2);
  for (std::size_t at = 0; at < oneLine.size(); at += kLineLength) {
    text.append(oneLine, at, kLineLength);
    // Every full line ends in CR LF, the last one too: the app has always
    // been given this exact text.
    if (oneLine.size() - at >= kLineLength) text += "\r\n";
  }
  return text;
}

}  // namespace pavix
