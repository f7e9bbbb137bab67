#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "Registry.h"
#include "TestSupport.h"

namespace pavix::platform {
namespace {

namespace fs = std::filesystem;
constexpr const char* kSettingsKey = "SoftWare\\PavixRuzadOridova";

class FileRegistryTest : public ::testing::Test {
 protected:
  std::unique_ptr<IRegistryKey> Open() { return SystemRegistry().CreateKey(kSettingsKey, kKeyAllAccess); }

  test::TempDir dir_;
  fs::path file_ = dir_ / "etc" / "settings.reg";
  test::ScopedEnv env_{"PAVIX_SETTINGS_FILE", file_.string()};
};

TEST_F(FileRegistryTest, OpeningCreatesTheFolderTheFileAndTheKey) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(test::ReadFileText(file_),
            "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SoftWare\\PavixRuzadOridova]\n");
}

TEST_F(FileRegistryTest, StoresStringsAndReadsThemBackIgnoringCase) {
  auto key = Open();
  ASSERT_NE(key, nullptr);
  EXPECT_FALSE(key->Query("PrinterName").has_value());
  ASSERT_TRUE(key->SetString("PrinterName", "Front \"desk\" \\ 1"));
  ASSERT_TRUE(key->SetString("Empty", ""));
  ASSERT_TRUE(key->SetString("Cut", std::string_view("before\0after", 12)));
  ASSERT_TRUE(key->SetString("printername", "Kitchen"));  // the same value, another spelling
  EXPECT_EQ(key->Query("PrinterName")->text, "Kitchen");  // a key reads its own writes

  auto reopened = Open();
  EXPECT_EQ(reopened->Query("PRINTERNAME")->text, "Kitchen");
  EXPECT_TRUE(reopened->Query("PRINTERNAME")->isString);
  EXPECT_EQ(reopened->Query("Empty")->text, "");
  EXPECT_EQ(reopened->Query("Cut")->text, "before");
  EXPECT_NE(test::ReadFileText(file_).find("\"PrinterName\"=\"Kitchen\""), std::string::npos);
}

TEST_F(FileRegistryTest, ValuesOfOtherTypesAreNotStrings) {
  fs::create_directories(file_.parent_path());
  test::WriteFileText(file_,
                      "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SoftWare\\PavixRuzadOridova]\n"
                      "\"LocalPort\"=dword:00002014\n\"ESN\"=hex:41,42\n");
  auto key = Open();
  for (const char* name : {"LocalPort", "ESN"}) {
    const auto value = key->Query(name);
    ASSERT_TRUE(value.has_value()) << name;
    EXPECT_FALSE(value->isString) << name;
  }
}

TEST_F(FileRegistryTest, WritingKeepsOtherKeysAndValues) {
  fs::create_directories(file_.parent_path());
  test::WriteFileText(file_,
                      "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Other]\n\"A\"=\"1\"\n"
                      "[HKEY_LOCAL_MACHINE\\SoftWare\\PavixRuzadOridova]\n\"Count\"=dword:00000001\n");
  ASSERT_TRUE(Open()->SetString("PrinterType", "2"));
  const std::string text = test::ReadFileText(file_);
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\Other]\n\"A\"=\"1\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"Count\"=dword:00000001\n\"PrinterType\"=\"2\"\n"), std::string::npos);
}

TEST_F(FileRegistryTest, AnUnwritableLocationCannotBeOpened) {
  fs::create_directories(dir_.Path() / "blocker");
  test::WriteFileText(dir_ / "blocker" / "file", "");
  test::ScopedEnv env("PAVIX_SETTINGS_FILE", (dir_ / "blocker" / "file" / "settings.reg").string());
  EXPECT_EQ(Open(), nullptr);
}

// Reads are served from the last parse while the file is unchanged; every
// way another program may change it must still be seen by the next read.
class FileRegistryChangeTest : public FileRegistryTest {
 protected:
  void SetUp() override {
    fs::create_directories(file_.parent_path());
    Write("A");
  }
  void Write(const char* printer) {
    test::WriteFileText(file_, std::string("Windows Registry Editor Version 5.00\n\n"
                                           "[HKEY_LOCAL_MACHINE\\SoftWare\\PavixRuzadOridova]\n"
                                           "\"PrinterName\"=\"") + printer + "\"\n");
  }
  std::string Printer() { return Open()->Query("PrinterName")->text; }
};

TEST_F(FileRegistryChangeTest, AnOldFileEditedInPlaceWithItsTimeSetBackOrReplaced) {
  // Old enough that its parse is reused.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  EXPECT_EQ(Printer(), "A");
  EXPECT_EQ(Printer(), "A");
  const auto written = fs::last_write_time(file_);
  Write("B");
  fs::last_write_time(file_, written);
  EXPECT_EQ(Printer(), "B");
  const fs::path replacement = file_.string() + ".new";
  fs::copy_file(file_, replacement);
  fs::last_write_time(replacement, written);
  std::string text = test::ReadFileText(replacement);
  text.replace(text.find("\"B\""), 3, "\"C\"");
  test::WriteFileText(replacement, text);
  fs::last_write_time(replacement, written);
  fs::rename(replacement, file_);
  EXPECT_EQ(Printer(), "C");
}

// The answer to whether the settings may be written is kept too; a folder
// that is replaced must be asked about again.
TEST_F(FileRegistryTest, WriteRightsFollowTheFolder) {
  const fs::path folder = file_.parent_path();
  test::WriteFileText(folder, "");  // a plain file where the folder belongs
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));  // old enough for its answer to be kept
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(Open(), nullptr);
  fs::remove(folder);
  fs::create_directory(folder);
  EXPECT_NE(Open(), nullptr);
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  EXPECT_NE(Open(), nullptr);
  EXPECT_NE(Open(), nullptr);
  fs::remove_all(folder);
  test::WriteFileText(folder, "");
  EXPECT_EQ(Open(), nullptr);
}

TEST_F(FileRegistryTest, ConcurrentWritersLoseNothing) {
  constexpr int kWriters = 6;
  constexpr int kRounds = 15;
  {
    std::vector<std::jthread> writers;
    for (int w = 0; w < kWriters; ++w) {
      writers.emplace_back([this, w] {
        for (int round = 0; round < kRounds; ++round) {
          auto key = Open();
          ASSERT_NE(key, nullptr);
          ASSERT_TRUE(key->SetString("Writer" + std::to_string(w), std::to_string(round)));
        }
      });
    }
  }
  auto key = Open();
  for (int w = 0; w < kWriters; ++w) EXPECT_EQ(key->Query("Writer" + std::to_string(w))->text, std::to_string(kRounds - 1));
  for (const auto& entry : fs::directory_iterator(file_.parent_path())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << "left behind: " << entry.path();
  }
}

}  // namespace
}  // namespace pavix::platform
