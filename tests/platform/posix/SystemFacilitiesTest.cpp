#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "Autostart.h"
#include "HostAddresses.h"
#include "MachineIdentity.h"
#include "TestSupport.h"

namespace pavix::platform {
namespace {

TEST(MachineIdentity, IsARandomVersion4GuidInRegistryForm) {
  const std::regex form("\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}");
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    const std::string guid = NewRegistryGuidText();
    EXPECT_TRUE(std::regex_match(guid, form)) << guid;
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), 50u);
}

TEST(XdgAutostart, WritesADesktopEntryThatRunsTheProgram) {
  test::TempDir dir;
  test::ScopedEnv env("PAVIX_AUTOSTART_DIR", (dir / "autostart").string());
  ASSERT_TRUE(WriteAutostartEntry("Pavix print server", "/opt/pavix dir/bin/pavix-print-server"));
  EXPECT_EQ(test::ReadFileText(dir / "autostart" / "pavix-print-server.desktop"),
            "[Desktop Entry]\nType=Application\nName=Pavix print server\n"
            "Exec=\"/opt/pavix dir/bin/pavix-print-server\"\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");

  ASSERT_TRUE(WriteAutostartEntry("Pavix", "/opt/100%/$HOME\\bin"));
  const std::string entry = test::ReadFileText(dir / "autostart" / "pavix-print-server.desktop");
  EXPECT_NE(entry.find("\nExec=\"/opt/100%%/\\\\$HOME\\\\\\\\bin\"\n"), std::string::npos) << entry;
}

TEST(XdgAutostart, AnUnwritableFolderFails) {
  test::TempDir dir;
  test::WriteFileText(dir / "file", "");
  test::ScopedEnv env("PAVIX_AUTOSTART_DIR", (dir / "file" / "autostart").string());
  EXPECT_FALSE(WriteAutostartEntry("Pavix", "/usr/bin/pavix-print-server"));
}

TEST(HostAddresses, AreDottedDecimalIPv4) {
  std::vector<std::string> addresses{"previous"};
  if (!ListHostIPv4Addresses(addresses)) {
    EXPECT_EQ(addresses, std::vector<std::string>{"previous"});
    GTEST_SKIP() << "this host has no usable IPv4 address";
  }
  const std::regex dotted("(\\d{1,3}\\.){3}\\d{1,3}");
  for (const auto& address : addresses) {
    EXPECT_TRUE(std::regex_match(address, dotted)) << address;
    EXPECT_NE(address, "127.0.0.1");
  }
}

}  // namespace
}  // namespace pavix::platform
