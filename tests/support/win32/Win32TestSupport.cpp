#include <windows.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <type_traits>

#include "TestSupport.h"

namespace pavix::test {

namespace {

constexpr const char* kSettingsKey = "SoftWare\\PavixRuzadOridova";

struct KeyCloser {
  void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

void DeleteSettingsKey() { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey); }

}  // namespace

void SetEnv(const std::string& name, const std::optional<std::string>& value) {
  // getenv reads the C runtime's copy of the environment, child processes and
  // GetEnvironmentVariable the process's own: both must agree.
  ::_putenv_s(name.c_str(), value ? value->c_str() : "");
  ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
}

// The settings key has one place on Windows, so a test empties it before and
// after instead of pointing the program elsewhere.
struct FreshSettingsStore::State {
  State() { DeleteSettingsKey(); }
  ~State() { DeleteSettingsKey(); }
  State(const State&) = delete;
  State& operator=(const State&) = delete;
};

FreshSettingsStore::FreshSettingsStore() : state_(std::make_unique<State>()) {}
FreshSettingsStore::~FreshSettingsStore() = default;

bool SettingsKeyExists() {
  HKEY key = nullptr;
  const bool exists = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
  const UniqueKey owner(exists ? key : nullptr);
  return exists;
}

void StoreNumberSetting(const std::string& name, unsigned value) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the settings key");
  }
  const UniqueKey owner(key);
  const DWORD number = value;
  if (::RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number) !=
      ERROR_SUCCESS) {
    throw std::runtime_error("cannot store " + name);
  }
}

}  // namespace pavix::test
