// The settings hive on POSIX: one registry export file that keeps the key
// paths, value names and string values of the Windows registry.
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "AtomicFile.h"
#include "CodePage.h"
#include "Registry.h"
#include "RegistryFileCache.h"
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

bool Store(const std::string& path, const RegistryFile& file) {
  return WriteFileAtomically(path, FormatRegistryFile(file), 0644);
}

// Readers take the cache's copy; none when the file cannot be read.
const RegistryFileKey* FindKey(const std::shared_ptr<const RegistryFile>& file, std::string_view keyPath) {
  return file ? file->FindKey(keyPath) : nullptr;
}

// Writers read, change and replace the whole file under one lock, so two
// writers never lose each other's values. They read afresh, and a file that
// exists and cannot be read fails the write rather than being replaced by
// settings that never saw it. `change` tells whether there is anything to
// write.
template <typename Change>
bool UpdateFile(const std::string& path, Change change) {
  FileLock lock(path + ".lock");
  if (!lock.Locked()) return false;
  const std::shared_ptr<const RegistryFile> stored = ReadRegistryFile(path);
  if (!stored) return false;
  RegistryFile file = *stored;
  return !change(file) || Store(path, file);
}

// Keys live for one call: each settings function opens the key, does its
// work and closes it. A key reads the file as it was opened, which is what
// a read a moment later would most likely find too, and afresh after its
// own writes.
class FileRegistryKey final : public IRegistryKey {
 public:
  FileRegistryKey(RegistryFileCache& cache, std::string filePath, std::string keyPath,
                  std::shared_ptr<const RegistryFile> opened)
      : cache_(cache), filePath_(std::move(filePath)), keyPath_(std::move(keyPath)), file_(std::move(opened)) {}

  std::optional<RegistryValue> Query(std::string_view valueName) override {
    if (!file_) file_ = cache_.Load(filePath_);
    const RegistryFileKey* key = FindKey(file_, keyPath_);
    if (key == nullptr) return std::nullopt;
    const RegistryFileValue* value = RegistryFile::FindValue(*key, SystemToUtf8(valueName));
    if (value == nullptr) return std::nullopt;
    if (!value->isString) return RegistryValue{};
    const std::string text = Utf8ToSystem(value->data);
    return RegistryValue{true, text.substr(0, text.find('\0'))};
  }

  bool SetString(std::string_view valueName, std::string_view value) override {
    file_.reset();
    return UpdateFile(filePath_, [&](RegistryFile& file) {
      RegistryFileKey* key = file.FindKey(keyPath_);
      if (key == nullptr) key = &file.keys.emplace_back(RegistryFileKey{keyPath_, {}});
      RegistryFile::SetString(*key, SystemToUtf8(valueName), SystemToUtf8(value.substr(0, value.find('\0'))));
      return true;
    });
  }

 private:
  RegistryFileCache& cache_;
  std::string filePath_;
  std::string keyPath_;
  std::shared_ptr<const RegistryFile> file_;  // none: load at the next read
};

class FileRegistry final : public IRegistry {
 public:
  std::unique_ptr<IRegistryKey> CreateKey(std::string_view subKey, std::uint32_t access) override {
    const std::string filePath = SettingsFilePath();
    const fs::path folder = fs::path(filePath).parent_path();
    const std::string folderPath = folder.empty() ? "." : folder.string();
    // The folder is made for the first key; every later one finds it.
    PathState file = StatPath(filePath);
    if (!Allowed(folderPath, filePath, file, access)) {
      if (!MakeFolder(folder)) return nullptr;
      file = StatPath(filePath);
      if (!Allowed(folderPath, filePath, file, access)) return nullptr;
    }

    std::string keyPath(kRootName);
    keyPath += SystemToUtf8(subKey);
    // A key that exists needs no writing, so no lock: the file is only ever
    // replaced whole, and a reader sees the old one or the new one.
    std::shared_ptr<const RegistryFile> opened = cache_.Load(filePath, file);
    if (FindKey(opened, keyPath) == nullptr) {
      if (!AddKey(filePath, keyPath)) return nullptr;
      opened.reset();
    }
    return std::make_unique<FileRegistryKey>(cache_, filePath, keyPath, std::move(opened));
  }

 private:
  static bool MakeFolder(const fs::path& folder) {
    std::error_code ec;
    if (folder.empty() || fs::is_directory(folder, ec)) return true;
    fs::create_directories(folder, ec);
    return !ec;
  }

  static bool AddKey(const std::string& filePath, const std::string& keyPath) {
    if (!MakeFolder(fs::path(filePath).parent_path())) return false;
    return UpdateFile(filePath, [&](RegistryFile& file) {
      if (file.FindKey(keyPath) != nullptr) return false;  // another writer was first
      file.keys.push_back(RegistryFileKey{keyPath, {}});
      return true;
    });
  }

  // A key opened for writing fails up front, as a registry open without
  // administrator rights does, rather than at the first write.
  bool Allowed(const std::string& folderPath, const std::string& filePath, const PathState& file,
               std::uint32_t access) {
    return (access & kKeySetValue) == 0 || rights_.Writable(folderPath, filePath, file);
  }

  RegistryFileCache cache_;
  WriteRightsCache rights_;
};

}  // namespace

IRegistry& SystemRegistry() {
  static FileRegistry registry;
  return registry;
}

}  // namespace pavix::platform
