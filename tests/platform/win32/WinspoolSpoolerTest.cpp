#include <gtest/gtest.h>

#include <algorithm>

#include "CodePage.h"
#include "FilePrinter.h"
#include "Spooler.h"

namespace pavix::platform {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

TEST(WinspoolSpooler, APrinterThatIsNotThereCannotBeOpened) {
  // An empty name would reach the print server itself.
  for (const std::string& name :
       {std::string(), std::string("Pavix No Such Printer"), Utf16ToSystem(u"不存在的打印机")}) {
    SCOPED_TRACE(name);
    std::string error;
    EXPECT_EQ(OperatingSystemSpooler().Open(name, error), nullptr);
    ASSERT_FALSE(error.empty());
    EXPECT_NE(error.back(), '\n');  // the system's line break is not part of a log line
    EXPECT_NE(error.back(), '\r');
  }
}

// A printer with a Chinese name, as shops name them, in the system code page.
class WinspoolPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!printer_.Failure().empty()) GTEST_SKIP() << "no test printer: " << printer_.Failure();
  }

  std::unique_ptr<IPrinterConnection> Open() {
    std::string error;
    auto connection = spooler_.Open(printer_.Name(), error);
    EXPECT_NE(connection, nullptr) << error;
    return connection;
  }

  ISpooler& spooler_ = OperatingSystemSpooler();
  test::FilePrinter printer_{Utf16ToSystem(u"Pavix 收银小票")};
};

TEST_F(WinspoolPrinterTest, IsListedAndEveryListedPrinterOpens) {
  const std::vector<std::string> printers = spooler_.InstalledPrinters();
  EXPECT_NE(std::find(printers.begin(), printers.end(), printer_.Name()), printers.end());
  for (const std::string& printer : printers) {
    SCOPED_TRACE(printer);
    std::string error;
    EXPECT_NE(spooler_.Open(printer, error), nullptr) << error;
  }
  if (const auto defaultPrinter = spooler_.DefaultPrinter()) {
    EXPECT_NE(std::find(printers.begin(), printers.end(), *defaultPrinter), printers.end()) << *defaultPrinter;
  }
}

TEST_F(WinspoolPrinterTest, PassesARawDocumentOnUnchanged) {
  auto connection = Open();
  ASSERT_NE(connection, nullptr);
  ASSERT_TRUE(connection->StartDocument("pavix", "RAW")) << connection->LastErrorText();
  ASSERT_TRUE(connection->StartPage()) << connection->LastErrorText();
  for (const Bytes& block : {Bytes{0x1B, 0x40}, Bytes{}, Bytes{0x00, 0x0A, 0x1A, 0xFF}}) {
    std::size_t written = 99;
    ASSERT_TRUE(connection->Write(block, written)) << connection->LastErrorText();
    EXPECT_EQ(written, block.size());
  }
  ASSERT_TRUE(connection->EndPage()) << connection->LastErrorText();
  ASSERT_TRUE(connection->EndDocument()) << connection->LastErrorText();
  EXPECT_EQ(printer_.WaitForOutput(20s), (Bytes{0x1B, 0x40, 0x00, 0x0A, 0x1A, 0xFF}));
}

TEST_F(WinspoolPrinterTest, StepsOutsideADocumentFailWithTheSystemsReason) {
  auto connection = Open();
  ASSERT_NE(connection, nullptr);
  std::size_t written = 99;
  EXPECT_FALSE(connection->Write(Bytes{0x41}, written));
  EXPECT_EQ(written, 0u);
  EXPECT_FALSE(connection->LastErrorText().empty());
  EXPECT_FALSE(connection->EndDocument());
  EXPECT_FALSE(connection->LastErrorText().empty());
}

TEST_F(WinspoolPrinterTest, AnAbandonedDocumentIsNotPrinted) {
  if (test::RunningUnderWine()) {
    GTEST_SKIP() << "Wine's AbortPrinter is a stub, and closing the printer prints the open document";
  }
  {
    auto connection = Open();
    ASSERT_NE(connection, nullptr);
    ASSERT_TRUE(connection->StartDocument("pavix", "RAW")) << connection->LastErrorText();
    std::size_t written = 0;
    ASSERT_TRUE(connection->Write(Bytes{0x41, 0x42}, written)) << connection->LastErrorText();
  }
  EXPECT_EQ(printer_.WaitForOutput(3s), std::nullopt);
}

}  // namespace
}  // namespace pavix::platform
