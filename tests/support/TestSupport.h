#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pavix::test {

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Sets (or, with nullopt, removes) an environment variable and restores it.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::optional<std::string>& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

void SetEnv(const std::string& name, const std::optional<std::string>& value);
std::optional<std::string> GetEnv(const std::string& name);

// An empty settings store for one test: on POSIX a new settings file in a
// temporary folder, on Windows the settings key deleted before and after.
class FreshSettingsStore {
 public:
  FreshSettingsStore();
  ~FreshSettingsStore();
  FreshSettingsStore(const FreshSettingsStore&) = delete;
  FreshSettingsStore& operator=(const FreshSettingsStore&) = delete;

 private:
  struct State;  // what the back-end needs to undo
  std::unique_ptr<State> state_;
};

// Whether the settings key exists in the store.
bool SettingsKeyExists();
// Stores `name` as a number, a value of another type than a string.
void StoreNumberSetting(const std::string& name, unsigned value);

std::vector<unsigned char> ReadFileBytes(const std::filesystem::path& path);
std::string ReadFileText(const std::filesystem::path& path);
void WriteFileText(const std::filesystem::path& path, const std::string& text);

}  // namespace pavix::test
