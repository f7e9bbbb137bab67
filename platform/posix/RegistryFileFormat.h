#pragma once

#include <string>
#include <string_view>
#include <vector>

// The registry export text format, so an administrator can read and edit the
// settings file with any editor:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\SoftWare\PavixRuzadOridova]
//   "PrinterName"="Receipt \"front\""
//
// String data escapes only "\\" and "\""; other data ("dword:", "hex:") is
// kept verbatim. The text is UTF-8.
namespace pavix::platform {

struct RegistryFileValue {
  std::string name;
  bool isString = false;
  std::string data;  // the string when isString, else the raw text after "="
};

struct RegistryFileKey {
  std::string path;  // e.g. HKEY_LOCAL_MACHINE\SoftWare\PavixRuzadOridova
  std::vector<RegistryFileValue> values;
};

struct RegistryFile {
  std::vector<RegistryFileKey> keys;

  RegistryFileKey* FindKey(std::string_view path);
  const RegistryFileKey* FindKey(std::string_view path) const;
  static RegistryFileValue* FindValue(RegistryFileKey& key, std::string_view name);
  static const RegistryFileValue* FindValue(const RegistryFileKey& key, std::string_view name);
  // Replaces the value of that name (keeping its stored spelling) or appends it.
  static void SetString(RegistryFileKey& key, std::string_view name, std::string_view data);
};

// Lenient: lines it does not understand are skipped, never fatal.
RegistryFile ParseRegistryFile(std::string_view text);
std::string FormatRegistryFile(const RegistryFile& file);

}  // namespace pavix::platform
