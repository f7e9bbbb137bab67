#include "DESUtils.h"

namespace pavix {

std::string EncryptPairingText(std::string_view text, std::string_view key, std::span<const std::uint8_t> iv) {
  return EncodeBase64Lines(DesCrypt(key, text, kDesEncrypt, kDesCbc, iv));
}

}  // namespace pavix
