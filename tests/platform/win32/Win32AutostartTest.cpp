#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "Autostart.h"
#include "CodePage.h"
#include "UniqueRegistryKey.h"

namespace pavix::platform {
namespace {

constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The REG_SZ text of a Run value in one registry view; nullopt when absent.
std::optional<std::string> RunValue(REGSAM view, const std::string& name) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE | view, &raw) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const UniqueRegistryKey key(raw);
  DWORD type = 0;
  char data[512] = {};
  DWORD size = sizeof data - 1;
  if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  return std::string(data);
}

// The test's entry must not outlive it: on a real machine it would start a
// program that does not exist at every log-on.
class RunValueRemover {
 public:
  explicit RunValueRemover(std::string name) : name_(std::move(name)) { Remove(); }
  ~RunValueRemover() { Remove(); }

 private:
  void Remove() const {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      HKEY raw = nullptr;
      if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE | view, &raw) != ERROR_SUCCESS) continue;
      const UniqueRegistryKey key(raw);
      ::RegDeleteValueA(key.get(), name_.c_str());
    }
  }
  std::string name_;
};

TEST(Win32Autostart, WritesTheEntryIntoThe64BitRunKey) {
  const std::string entry = Utf16ToSystem(u"Pavix 测试自启动");
  const std::string exePath = Utf16ToSystem(u"C:\\收银台\\Pavix\\pavix-print-server.exe");
  const RunValueRemover remover(entry);

  ASSERT_TRUE(WriteAutostartEntry(entry, exePath));
  EXPECT_EQ(RunValue(KEY_WOW64_64KEY, entry), exePath);
  // Never in the 32-bit mirror, whichever build wrote it.
  EXPECT_EQ(RunValue(KEY_WOW64_32KEY, entry), std::nullopt);

  ASSERT_TRUE(WriteAutostartEntry(entry, "D:\\moved\\pavix.exe"));
  EXPECT_EQ(RunValue(KEY_WOW64_64KEY, entry), "D:\\moved\\pavix.exe");
}

}  // namespace
}  // namespace pavix::platform
