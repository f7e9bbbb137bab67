#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The pairing cipher: the app deciphers the pairing code with the same fixed
// key and initialisation vector, so both constants and the exact output form
// (DES-CBC, PKCS #5 padding, Base64 in 76-character CR LF lines) are part of
// the contract with the app.
namespace pavix {

inline constexpr int kDesEncrypt = 1;  // DesCrypt's `encrypt`: any other value deciphers
inline constexpr int kDesCbc = 1;      // DesCrypt's `mode`: any other value is ECB

inline constexpr std::string_view PairingKey{"kwzqfhtb"};
inline constexpr std::array<std::uint8_t, 8> PairingIv{0x5A, 0x3C, 0x91, 0x07, 0xE4, 0x28, 0xB6, 0x7D};

// Key length picks the cipher: exactly 24 bytes is three-key EDE triple DES
// (bytes 0-7, 8-15, 16-23); any other length of at least 8 bytes is single
// DES with the first 8 bytes. Parity bits are ignored. Shorter keys raise
// pavix::Exception.
//
// Both directions append p = 8 - (size mod 8) bytes of value p first.
// Enciphering processes all of it; deciphering only the data rounded up to
// whole blocks, and strips nothing. In CBC mode `iv` must hold at least 8
// bytes (only the first 8 count, else pavix::Exception); ECB never reads it.
std::string DesCrypt(std::string_view key, std::string_view data, int encrypt, int mode,
                     std::span<const std::uint8_t> iv = {});

// The 16 round keys of each DES key in round order, two words per round key:
// the first and the last 24 of its 48 bits. 32 words for single DES, 96 for
// triple DES.
std::vector<std::uint32_t> DesKeySchedule(std::string_view key);

// Base64 with "=" padding, CR LF after every 76 characters, including after
// the last line when it is full. Empty input gives empty text.
std::string EncodeBase64Lines(std::string_view bytes);

// EncodeBase64Lines(DesCrypt(key, text, encipher, CBC, iv)).
std::string EncryptPairingText(std::string_view text, std::string_view key, std::span<const std::uint8_t> iv);

}  // namespace pavix
