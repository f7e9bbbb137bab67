#include <cstdlib>

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

}  // namespace pavix::test
