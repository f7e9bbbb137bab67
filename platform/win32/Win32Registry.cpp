// The settings hive on Windows: HKEY_LOCAL_MACHINE through the ANSI registry
// functions, so names and texts stay in the system code page.
#include <windows.h>

#include <algorithm>

#include "Registry.h"
#include "UniqueRegistryKey.h"

namespace pavix::platform {

namespace {

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

class Win32RegistryKey final : public IRegistryKey {
 public:
  explicit Win32RegistryKey(UniqueRegistryKey key) : key_(std::move(key)) {}

  std::optional<RegistryValue> Query(std::string_view valueName) override {
    const std::string name(valueName);
    // Size first, then the data; another writer may grow the value in between.
    for (;;) {
      DWORD type = 0;
      DWORD size = 0;
      if (::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
      }
      std::string data(size, '\0');
      const LSTATUS status =
          ::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
      if (status == ERROR_MORE_DATA) continue;
      if (status != ERROR_SUCCESS) return std::nullopt;
      if (!IsStringType(type)) return RegistryValue{};
      // Stored strings need not end in a NUL, and may hold one early.
      data.resize(std::min<std::size_t>(size, data.size()));
      data.resize(data.find('\0') == std::string::npos ? data.size() : data.find('\0'));
      return RegistryValue{true, std::move(data)};
    }
  }

  bool SetString(std::string_view valueName, std::string_view value) override {
    const std::string name(valueName);
    const std::string text(value.substr(0, value.find('\0')));
    // The stored length counts the terminating NUL, as readers of REG_SZ expect.
    return ::RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
  }

 private:
  UniqueRegistryKey key_;
};

class Win32Registry final : public IRegistry {
 public:
  std::unique_ptr<IRegistryKey> CreateKey(std::string_view subKey, std::uint32_t access) override {
    const std::string path(subKey);
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          static_cast<REGSAM>(access), nullptr, &key, nullptr) != ERROR_SUCCESS) {
      return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(UniqueRegistryKey(key));
  }
};

}  // namespace

IRegistry& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace pavix::platform
