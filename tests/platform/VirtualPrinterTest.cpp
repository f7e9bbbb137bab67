#include "VirtualPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "Spooler.h"
#include "TestSupport.h"

namespace pavix::platform {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

bool PrintDocument(const VirtualPrinter& printer, const std::vector<Bytes>& blocks) {
  std::string error;
  auto connection = printer.Open(error);
  if (!connection || !connection->StartDocument("pavix", "RAW") || !connection->StartPage()) return false;
  for (const Bytes& block : blocks) {
    std::size_t written = 0;
    if (!connection->Write(block, written) || written != block.size()) return false;
  }
  return connection->EndPage() && connection->EndDocument();
}

std::vector<std::string> FileNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(VirtualPrinter, FilesEachDocumentWithExactlyItsBytes) {
  test::TempDir dir;
  const VirtualPrinter printer(dir / "out");  // created on first use
  ASSERT_TRUE(PrintDocument(printer, {{0x1B, 0x40}, {}, {0x0A}}));
  ASSERT_TRUE(PrintDocument(printer, {}));
  EXPECT_EQ(FileNames(dir / "out"), (std::vector<std::string>{"000001-pavix.prn", "000002-pavix.prn"}));
  EXPECT_EQ(test::ReadFileBytes(dir / "out" / "000001-pavix.prn"), (std::vector<unsigned char>{0x1B, 0x40, 0x0A}));
  EXPECT_TRUE(test::ReadFileBytes(dir / "out" / "000002-pavix.prn").empty());
}

TEST(VirtualPrinter, OneConnectionFilesDocumentAfterDocument) {
  test::TempDir dir;
  std::string error;
  auto connection = VirtualPrinter(dir.Path()).Open(error);
  ASSERT_NE(connection, nullptr);
  for (std::uint8_t byte : {0x41, 0x42}) {
    std::size_t written = 0;
    ASSERT_TRUE(connection->StartDocument("pavix", "RAW") && connection->Write(Bytes{byte}, written) &&
                connection->EndDocument());
  }
  EXPECT_EQ(FileNames(dir.Path()), (std::vector<std::string>{"000001-pavix.prn", "000002-pavix.prn"}));
  EXPECT_EQ(test::ReadFileText(dir / "000002-pavix.prn"), "B");
}

TEST(VirtualPrinter, NumbersOnFromTheHighestDocumentAlreadyThere) {
  test::TempDir dir;
  test::WriteFileText(dir / "000041-pavix.prn", "old");
  test::WriteFileText(dir / "000007-pavix.prn", "older");
  test::WriteFileText(dir / "900000-other.prn", "not ours");
  ASSERT_TRUE(PrintDocument(VirtualPrinter(dir.Path()), {{0x41}}));
  EXPECT_EQ(test::ReadFileText(dir / "000042-pavix.prn"), "A");
}

// The folder is read once; a document that another program files meanwhile
// must still never be overwritten.
TEST(VirtualPrinter, NeverOverwritesADocumentFiledByAnotherProgram) {
  test::TempDir dir;
  const VirtualPrinter printer(dir.Path());
  ASSERT_TRUE(PrintDocument(printer, {{0x41}}));
  test::WriteFileText(dir / "000002-pavix.prn", "theirs");
  ASSERT_TRUE(PrintDocument(printer, {{0x42}}));
  EXPECT_EQ(test::ReadFileText(dir / "000002-pavix.prn"), "theirs");
  EXPECT_EQ(test::ReadFileText(dir / "000003-pavix.prn"), "B");
}

TEST(VirtualPrinter, AnAbandonedDocumentLeavesNothingBehind) {
  test::TempDir dir;
  const VirtualPrinter printer(dir.Path());
  {
    std::string error;
    ASSERT_NE(printer.Open(error), nullptr);  // opened, and closed without a document
  }
  EXPECT_TRUE(FileNames(dir.Path()).empty());
  {
    std::string error;
    auto connection = printer.Open(error);
    ASSERT_TRUE(connection && connection->StartDocument("pavix", "RAW") && connection->StartPage());
    std::size_t written = 0;
    ASSERT_TRUE(connection->Write(Bytes{1, 2, 3}, written));
    EXPECT_TRUE(FileNames(dir.Path()).size() == 1);  // only the temporary file, which no reader takes for a document
    EXPECT_EQ(FileNames(dir.Path())[0].find("-pavix.prn"), std::string::npos);
  }
  EXPECT_TRUE(FileNames(dir.Path()).empty());
}

TEST(VirtualPrinter, ConcurrentDocumentsGetTheirOwnNumbers) {
  test::TempDir dir;
  const VirtualPrinter printer(dir.Path());
  constexpr int kThreads = 4;
  constexpr int kDocumentsEach = 25;
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&printer, t] {
        for (int i = 0; i < kDocumentsEach; ++i) {
          EXPECT_TRUE(PrintDocument(printer, {{static_cast<std::uint8_t>(t)}, {static_cast<std::uint8_t>(i)}}));
        }
      });
    }
  }
  const auto names = FileNames(dir.Path());
  ASSERT_EQ(names.size(), static_cast<std::size_t>(kThreads * kDocumentsEach));
  EXPECT_EQ(names.back(), VirtualPrinterFileName(kThreads * kDocumentsEach));
  std::set<std::pair<int, int>> seen;
  for (const auto& name : names) {
    const auto bytes = test::ReadFileBytes(dir / name);
    ASSERT_EQ(bytes.size(), 2u) << name;
    seen.emplace(bytes[0], bytes[1]);
  }
  EXPECT_EQ(seen.size(), names.size());
}

TEST(VirtualPrinter, AFolderThatCannotBeMadeFailsToOpen) {
  test::TempDir dir;
  test::WriteFileText(dir / "file", "");
  std::string error;
  EXPECT_EQ(VirtualPrinter(dir / "file" / "printer").Open(error), nullptr);
  EXPECT_NE(error, "");
}

TEST(CurrentSpooler, OffersTheVirtualPrinterOnlyWhenItsFolderIsSet) {
  test::TempDir dir;
  {
    test::ScopedEnv unset(kVirtualPrinterDirVariable, std::nullopt);
    const auto printers = CurrentSpooler().InstalledPrinters();
    EXPECT_EQ(std::count(printers.begin(), printers.end(), kVirtualPrinterName), 0);
  }
  test::ScopedEnv set(kVirtualPrinterDirVariable, dir.Path().string());
  const auto printers = CurrentSpooler().InstalledPrinters();
  EXPECT_EQ(std::count(printers.begin(), printers.end(), kVirtualPrinterName), 1);
  if (!OperatingSystemSpooler().DefaultPrinter()) {
    EXPECT_EQ(CurrentSpooler().DefaultPrinter(), kVirtualPrinterName);
  }

  std::string error;
  auto connection = CurrentSpooler().Open("pavix virtual PRINTER", error);  // names ignore case
  ASSERT_NE(connection, nullptr) << error;
}

}  // namespace
}  // namespace pavix::platform
