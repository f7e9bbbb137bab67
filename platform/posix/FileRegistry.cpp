// The settings hive on POSIX: one registry export file that keeps the key
// paths, value names and string values of the Windows registry.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "AtomicFile.h"
#include "CodePage.h"
#include "Registry.h"
#include "RegistryFileFormat.h"

namespace pavix::platform {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultSettingsFile = "/etc/pavix-print-server/settings.reg";
constexpr std::string_view kRootName = "HKEY_LOCAL_MACHINE\\";
constexpr std::uint32_t kKeySetValue = 0x0002;

std::string SettingsFilePath() {
  const char* path = std::getenv("PAVIX_SETTINGS_FILE");
  return (path != nullptr && *path != '\0') ? path : kDefaultSettingsFile;
}

// A missing file reads as an empty hive; one that exists and cannot be read
// is an error, so that a write never replaces settings it could not see.
std::optional<RegistryFile> Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::error_code ec;
    if (fs::exists(path, ec) || ec) return std::nullopt;
    return RegistryFile{};
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return ParseRegistryFile(text);
}

bool Store(const std::string& path, const RegistryFile& file) {
  return WriteFileAtomically(path, FormatRegistryFile(file), 0644);
}

class FileRegistryKey final : public IRegistryKey {
 public:
  FileRegistryKey(std::string filePath, std::string keyPath)
      : filePath_(std::move(filePath)), keyPath_(std::move(keyPath)) {}

  std::optional<RegistryValue> Query(std::string_view valueName) override {
    std::optional<RegistryFile> file = Load(filePath_);
    const RegistryFileKey* key = file ? file->FindKey(keyPath_) : nullptr;
    if (key == nullptr) return std::nullopt;
    const RegistryFileValue* value = RegistryFile::FindValue(*key, SystemToUtf8(valueName));
    if (value == nullptr) return std::nullopt;
    if (!value->isString) return RegistryValue{};
    const std::string text = Utf8ToSystem(value->data);
    return RegistryValue{true, text.substr(0, text.find('\0'))};
  }

  bool SetString(std::string_view valueName, std::string_view value) override {
    // Writers read, change and replace the whole file under one lock, so two
    // writers never lose each other's values.
    FileLock lock(filePath_ + ".lock");
    if (!lock.Locked()) return false;
    std::optional<RegistryFile> file = Load(filePath_);
    if (!file) return false;
    RegistryFileKey* key = file->FindKey(keyPath_);
    if (key == nullptr) key = &file->keys.emplace_back(RegistryFileKey{keyPath_, {}});
    RegistryFile::SetString(*key, SystemToUtf8(valueName), SystemToUtf8(value.substr(0, value.find('\0'))));
    return Store(filePath_, *file);
  }

 private:
  std::string filePath_;
  std::string keyPath_;
};

class FileRegistry final : public IRegistry {
 public:
  std::unique_ptr<IRegistryKey> CreateKey(std::string_view subKey, std::uint32_t access) override {
    const std::string filePath = SettingsFilePath();
    const fs::path folder = fs::path(filePath).parent_path();
    std::error_code ec;
    if (!folder.empty()) fs::create_directories(folder, ec);
    if (ec || !Writable(filePath, folder, access)) return nullptr;

    std::string keyPath(kRootName);
    keyPath += SystemToUtf8(subKey);
    FileLock lock(filePath + ".lock");
    if (!lock.Locked()) return nullptr;
    std::optional<RegistryFile> file = Load(filePath);
    if (!file) return nullptr;
    if (file->FindKey(keyPath) == nullptr) {
      file->keys.push_back(RegistryFileKey{keyPath, {}});
      if (!Store(filePath, *file)) return nullptr;
    }
    return std::make_unique<FileRegistryKey>(filePath, keyPath);
  }

 private:
  // A key opened for writing fails up front, as a registry open without
  // administrator rights does, rather than at the first write.
  static bool Writable(const std::string& filePath, const fs::path& folder, std::uint32_t access) {
    if ((access & kKeySetValue) == 0) return true;
    const std::string folderPath = folder.empty() ? "." : folder.string();
    if (::access(folderPath.c_str(), W_OK | X_OK) != 0) return false;
    return ::access(filePath.c_str(), F_OK) != 0 || ::access(filePath.c_str(), W_OK) == 0;
  }
};

}  // namespace

IRegistry& SystemRegistry() {
  static FileRegistry registry;
  return registry;
}

}  // namespace pavix::platform
