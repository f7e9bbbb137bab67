#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The machine-wide settings hive: HKEY_LOCAL_MACHINE on Windows, a registry
// export file on POSIX (see posix/FileRegistry.cpp). Names of keys and values
// are case-insensitive; texts are in the system code page.
namespace pavix::platform {

inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x0100;

struct RegistryValue {
  bool isString = false;  // REG_SZ or REG_EXPAND_SZ; anything else cannot be read as a setting
  std::string text;       // the string, cut at its first NUL; empty for other types
};

// An open key; destroying it closes it.
class IRegistryKey {
 public:
  virtual ~IRegistryKey() = default;
  virtual std::optional<RegistryValue> Query(std::string_view valueName) = 0;
  // Stores a REG_SZ value (cut at its first NUL); false when the store failed.
  virtual bool SetString(std::string_view valueName, std::string_view value) = 0;
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Opens HKEY_LOCAL_MACHINE\subKey, creating it when missing; nullptr when it
  // cannot be opened with `access` (typically: no administrator rights).
  virtual std::unique_ptr<IRegistryKey> CreateKey(std::string_view subKey, std::uint32_t access) = 0;
};

IRegistry& SystemRegistry();

}  // namespace pavix::platform
