#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "TestSupport.h"

namespace pavix::test {

void SetEnv(const std::string& name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name.c_str());
  }
}

struct FreshSettingsStore::State {
  TempDir folder;
  ScopedEnv file{"PAVIX_SETTINGS_FILE", (folder / "settings.reg").string()};
};

FreshSettingsStore::FreshSettingsStore() : state_(std::make_unique<State>()) {}
FreshSettingsStore::~FreshSettingsStore() = default;

namespace {
std::string SettingsFile() { return GetEnv("PAVIX_SETTINGS_FILE").value_or("/etc/pavix-print-server/settings.reg"); }
constexpr const char* kSection = "[HKEY_LOCAL_MACHINE\\SoftWare\\PavixRuzadOridova]\n";
}  // namespace

bool SettingsKeyExists() {
  return std::filesystem::exists(SettingsFile()) && ReadFileText(SettingsFile()).find(kSection) != std::string::npos;
}

void StoreNumberSetting(const std::string& name, unsigned value) {
  char dword[16];
  std::snprintf(dword, sizeof dword, "dword:%08x", value);
  const std::string file = SettingsFile();
  std::string text = std::filesystem::exists(file) ? ReadFileText(file) : "Windows Registry Editor Version 5.00\n";
  if (text.find(kSection) == std::string::npos) text += std::string("\n") + kSection;
  text.insert(text.find(kSection) + std::string(kSection).size(), "\"" + name + "\"=" + dword + "\n");
  WriteFileText(file, text);
}

}  // namespace pavix::test
