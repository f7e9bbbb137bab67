#include <gtest/gtest.h>

#include <regex>

#include "TestSupport.h"
#include "uCommon.h"

namespace pavix {
namespace {

const std::vector<std::string> kServiceNames{"PrinterType", "PrinterModelType", "LocalPort", "LocalAddr", "PrinterName"};

NameValueList Lines(std::vector<std::string> lines) { return NameValueList(std::move(lines)); }

class SettingsStoreTest : public ::testing::Test {
 protected:
  test::FreshSettingsStore store_;
};

TEST_F(SettingsStoreTest, TheFirstReadCreatesTheKey) {
  EXPECT_FALSE(test::SettingsKeyExists());
  EXPECT_EQ(ReadSetting("PrinterType", "none"), "none");
  EXPECT_TRUE(test::SettingsKeyExists());
}

TEST_F(SettingsStoreTest, AStoredEmptyStringIsNotTheDefault) {
  ASSERT_TRUE(WriteSettings(Lines({"LocalPort=", "PrinterName=Receipt"})));
  EXPECT_EQ(ReadSetting("LocalPort", "8212"), "");
  EXPECT_EQ(ReadSetting("localport", "8212"), "");
  EXPECT_EQ(ReadSetting("LocalAddr", "8212"), "8212");
  EXPECT_EQ(ReadSetting("PRINTERNAME", ""), "Receipt");
}

TEST_F(SettingsStoreTest, ReadSettingsGivesStoredNamesInTheOrderAsked) {
  ASSERT_TRUE(WriteSettings(Lines({"PrinterName=HP", "PrinterType=1"})));
  EXPECT_EQ(ReadSettings(kServiceNames).Lines(), (std::vector<std::string>{"PrinterType=1", "PrinterName=HP"}));
}

TEST_F(SettingsStoreTest, WriteSettingsLeavesUnnamedValuesAlone) {
  ASSERT_TRUE(WriteSettings(Lines({"PrinterType=2", "LocalAddr=192.168.1.5", "LocalPort=8212"})));
  ASSERT_TRUE(WriteSettings(Lines({"PrinterType=1", "LocalPort=9100", "Note=a=b"})));
  EXPECT_EQ(ReadSettings({"PrinterType", "LocalAddr", "LocalPort", "Note"}).Lines(),
            (std::vector<std::string>{"PrinterType=1", "LocalAddr=192.168.1.5", "LocalPort=9100", "Note=a=b"}));
}

TEST_F(SettingsStoreTest, TheMachineIdentityIsCreatedOnceAndKept) {
  const std::string esn = GetMachineEsn();
  EXPECT_TRUE(std::regex_match(esn, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}"))) << esn;
  EXPECT_EQ(GetMachineEsn(), esn);
  EXPECT_EQ(ReadSetting("ESN", ""), esn);  // stored, so the next run finds it
}

TEST_F(SettingsStoreTest, AStoredIdentityIsReturnedAsItIs) {
  ASSERT_TRUE(WriteSettings(Lines({"ESN=not-a-guid"})));
  EXPECT_EQ(GetMachineEsn(), "not-a-guid");
}

TEST_F(SettingsStoreTest, AValueOfAnotherTypeIsAReadError) {
  test::StoreNumberSetting("LocalPort", 8212);
  EXPECT_THROW(ReadSetting("LocalPort", "8212"), RegistryReadError);
  EXPECT_THROW(ReadSettings(kServiceNames), RegistryReadError);
  test::StoreNumberSetting("ESN", 1);
  EXPECT_THROW(GetMachineEsn(), RegistryReadError);
}

TEST(LocalAddresses, ReplaceTheListOrLeaveItAlone) {
  std::vector<std::string> list{"previous"};
  const int count = GetLocalAddresses(list);
  if (count == 0) {
    EXPECT_TRUE(list.empty() || list == std::vector<std::string>{"previous"});
  } else {
    EXPECT_EQ(static_cast<std::size_t>(count), list.size());
    EXPECT_NE(list[0], "previous");
  }
}

}  // namespace
}  // namespace pavix
