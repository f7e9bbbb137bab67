#include <gtest/gtest.h>

#include "TestSupport.h"
#include "uCommon.h"

namespace pavix {
namespace {

// The POSIX stand-in for a registry that refuses a user without
// administrator rights: a settings file in a folder that cannot exist.
class NoAdministratorRights : public ::testing::Test {
 protected:
  test::TempDir dir_;
  bool made_ = (test::WriteFileText(dir_ / "file", ""), true);
  test::ScopedEnv settings_{"PAVIX_SETTINGS_FILE", (dir_ / "file" / "settings.reg").string()};
  test::ScopedEnv autostart_{"PAVIX_AUTOSTART_DIR", (dir_ / "file" / "autostart").string()};
};

TEST_F(NoAdministratorRights, ReadsGiveDefaultsAndWritesFailQuietly) {
  EXPECT_EQ(ReadSetting("LocalPort", "8212"), "8212");
  EXPECT_TRUE(ReadSettings({"PrinterType", "PrinterName"}).Lines().empty());
  EXPECT_EQ(GetMachineEsn(), "");
  NameValueList list;
  list.Add("PrinterType", "2");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(WriteSettings(list));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(NoAdministratorRights, AutostartAsksForAdministratorAndEnds) {
  std::vector<std::string> calls;
  RegisterAutoStart("/usr/bin/pavix-print-server",
                    {[&](const std::string& message) { calls.push_back("message " + message); },
                     [&](const std::string& url) { calls.push_back("open " + url); },
                     [&] { calls.push_back("terminate"); }});
  // The message is in the system code page, which is UTF-8 in this run.
  EXPECT_EQ(calls, (std::vector<std::string>{"message 程序启动失败：请以管理员身份运行此程序",
                                             std::string("open ") + kHelpPageUrl, "terminate"}));
  EXPECT_TRUE(std::string_view(kHelpPageUrl).ends_with("/ruzadoridovahelp.htm"));
}

TEST(Autostart, ASuccessfulEntryCallsNoHook) {
  test::TempDir dir;
  test::ScopedEnv autostart("PAVIX_AUTOSTART_DIR", dir.Path().string());
  bool called = false;
  RegisterAutoStart("/usr/bin/pavix-print-server", {[&](const std::string&) { called = true; },
                                                      [&](const std::string&) { called = true; },
                                                      [&] { called = true; }});
  EXPECT_FALSE(called);
  EXPECT_NE(test::ReadFileText(dir / "pavix-print-server.desktop").find("Name=Melvo手机版打印服务器\n"), std::string::npos);
}

TEST(Autostart, WithoutAShellTheFailureIsRecorded) {
  test::TempDir dir;
  test::WriteFileText(dir / "file", "");
  test::ScopedEnv autostart("PAVIX_AUTOSTART_DIR", (dir / "file" / "x").string());
  test::ScopedEnv noBrowser("PATH", "");  // the help page has nowhere to open
  testing::internal::CaptureStderr();
  RegisterAutoStart("/usr/bin/pavix-print-server");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "程序启动失败：请以管理员身份运行此程序\n");
  EXPECT_TRUE(TerminateRequested());
}

}  // namespace
}  // namespace pavix
