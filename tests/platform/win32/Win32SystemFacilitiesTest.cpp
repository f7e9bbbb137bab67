#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "FileOps.h"
#include "HostAddresses.h"
#include "MachineIdentity.h"
#include "TestSupport.h"

namespace pavix::platform {
namespace {

namespace fs = std::filesystem;

TEST(Win32MachineIdentity, IsAFreshGuidInRegistryForm) {
  const std::regex form("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    const std::string guid = NewRegistryGuidText();
    EXPECT_TRUE(std::regex_match(guid, form)) << guid;
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), 50u);
}

TEST(Win32HostAddresses, AreDottedDecimalIPv4) {
  std::vector<std::string> addresses{"previous"};
  if (!ListHostIPv4Addresses(addresses)) {
    EXPECT_EQ(addresses, std::vector<std::string>{"previous"});
    GTEST_SKIP() << "this host's name does not resolve";
  }
  ASSERT_FALSE(addresses.empty());
  const std::regex dotted("(\\d{1,3}\\.){3}\\d{1,3}");
  for (const auto& address : addresses) EXPECT_TRUE(std::regex_match(address, dotted)) << address;
}

TEST(Win32FileOps, RenamesOnlyOntoAFreeName) {
  test::TempDir dir;
  const fs::path from = dir / "draft.tmp";
  const fs::path taken = dir.Path() / u"000001-收银.prn";  // wide names reach the file system intact
  const fs::path free = dir.Path() / u"000002-收银.prn";
  test::WriteFileText(from, "new");
  test::WriteFileText(taken, "old");

  EXPECT_FALSE(RenameWithoutReplacing(from, taken));
  EXPECT_EQ(test::ReadFileText(taken), "old");
  EXPECT_TRUE(fs::exists(from));

  EXPECT_TRUE(RenameWithoutReplacing(from, free));
  EXPECT_EQ(test::ReadFileText(free), "new");
  EXPECT_FALSE(fs::exists(from));
}

}  // namespace
}  // namespace pavix::platform
