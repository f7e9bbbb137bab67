#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <thread>

#include "CodePage.h"
#include "Registry.h"
#include "TestSupport.h"
#include "UniqueRegistryKey.h"

namespace pavix::platform {
namespace {

constexpr const char* kSettingsKey = "SoftWare\\PavixRuzadOridova";

class Win32RegistryTest : public ::testing::Test {
 protected:
  static std::unique_ptr<IRegistryKey> Open() { return SystemRegistry().CreateKey(kSettingsKey, kKeyAllAccess); }

  static UniqueRegistryKey OpenRaw(REGSAM access) {
    HKEY key = nullptr;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, access, &key), ERROR_SUCCESS);
    return UniqueRegistryKey(key);
  }

  // Stores bytes of any type, as another program or an administrator could.
  static void StoreRaw(const char* name, DWORD type, std::string_view bytes) {
    ASSERT_NE(Open(), nullptr);
    ASSERT_EQ(::RegSetValueExA(OpenRaw(KEY_SET_VALUE).get(), name, 0, type,
                               reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }

  test::FreshSettingsStore store_;
};

TEST_F(Win32RegistryTest, CreatesTheKeyAndKeepsStringsAcrossHandles) {
  EXPECT_FALSE(test::SettingsKeyExists());
  auto key = Open();
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(test::SettingsKeyExists());
  EXPECT_FALSE(key->Query("PrinterName").has_value());

  // The printer name in the system code page, as the spooler gives it; longer
  // values than any first guess of a buffer must come back whole.
  const std::string printer = Utf16ToSystem(u"前台小票打印机");
  const std::string longValue(5000, 'x');
  ASSERT_TRUE(key->SetString("PrinterName", printer));
  ASSERT_TRUE(key->SetString("LocalAddr", ""));
  ASSERT_TRUE(key->SetString("Long", longValue));

  auto other = Open();
  ASSERT_NE(other, nullptr);
  const auto stored = other->Query("PRINTERNAME");  // value names ignore case
  ASSERT_TRUE(stored.has_value());
  EXPECT_TRUE(stored->isString);
  EXPECT_EQ(stored->text, printer);
  ASSERT_TRUE(other->Query("LocalAddr").has_value());
  EXPECT_EQ(other->Query("LocalAddr")->text, "");
  EXPECT_EQ(other->Query("Long")->text, longValue);
}

TEST_F(Win32RegistryTest, StoresRegSzWithItsTerminatorAndCutsAtANul) {
  ASSERT_TRUE(Open()->SetString("Cut", std::string_view("before\0after", 12)));
  // The wide query shows the stored characters, terminator included.
  DWORD type = 0;
  wchar_t data[32] = {};
  DWORD size = sizeof data;
  ASSERT_EQ(::RegQueryValueExW(OpenRaw(KEY_QUERY_VALUE).get(), L"Cut", nullptr, &type, reinterpret_cast<BYTE*>(data),
                               &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(data, size / sizeof(wchar_t)), std::wstring(L"before\0", 7));
}

TEST_F(Win32RegistryTest, OnlyStringTypesReadAsStrings) {
  struct Case {
    const char* name;
    DWORD type;
    std::string bytes;
    std::optional<std::string> text;  // nullopt: exists, but is no string
  };
  const Case cases[] = {
      {"Plain", REG_SZ, std::string("8212\0", 5), "8212"},
      {"Unterminated", REG_SZ, "8212", "8212"},
      {"EarlyNul", REG_SZ, std::string("ab\0cd\0", 6), "ab"},
      {"Expandable", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9), "%TEMP%\\x"},  // read as stored, not expanded
      {"Number", REG_DWORD, std::string("\x14\x20\0\0", 4), std::nullopt},
      {"Binary", REG_BINARY, "AB", std::nullopt},
      {"Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5), std::nullopt},
  };
  for (const Case& c : cases) StoreRaw(c.name, c.type, c.bytes);
  auto key = Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto value = key->Query(c.name);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->isString, c.text.has_value());
    EXPECT_EQ(value->text, c.text.value_or(""));
  }
}

TEST_F(Win32RegistryTest, AReaderSeesAValueThatGrowsWhileItReads) {
  // The settings dialog may store a value while a print thread reads it: the
  // reader must get the old or the new text, never "absent" or a cut one.
  static const std::string shortText = "A";
  static const std::string longText(4000, 'B');
  ASSERT_TRUE(Open()->SetString("PrinterName", shortText));
  // A failed assertion returns early: the stop request ends the writer then too.
  const std::jthread writer([](std::stop_token stop) {
    auto key = Open();
    for (int i = 0; !stop.stop_requested(); ++i) key->SetString("PrinterName", i % 2 == 0 ? longText : shortText);
  });
  auto key = Open();
  for (int i = 0; i < 3000; ++i) {
    const auto value = key->Query("PrinterName");
    ASSERT_TRUE(value.has_value()) << "read " << i;
    ASSERT_TRUE(value->text == shortText || value->text == longText) << "read " << i << ": " << value->text.size();
  }
}

}  // namespace
}  // namespace pavix::platform
