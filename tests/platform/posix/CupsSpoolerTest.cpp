#include <gtest/gtest.h>

#include <algorithm>

#include "CupsSandbox.h"
#include "Spooler.h"

namespace pavix::platform {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

class CupsSpoolerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(cups_.Running()) << "cupsd did not start";
    ASSERT_TRUE(cups_.AddRawQueue("Receipt", printer_.DeviceUri()));
  }

  ISpooler& spooler_ = OperatingSystemSpooler();
  test::SocketPrinter printer_;
  test::CupsSandbox cups_;
};

TEST_F(CupsSpoolerTest, ListsTheQueuesAndTheDefault) {
  ASSERT_TRUE(cups_.AddRawQueue("Kitchen", printer_.DeviceUri()));
  std::vector<std::string> printers = spooler_.InstalledPrinters();
  std::sort(printers.begin(), printers.end());
  EXPECT_EQ(printers, (std::vector<std::string>{"Kitchen", "Receipt"}));
  EXPECT_EQ(spooler_.DefaultPrinter(), std::nullopt);
  ASSERT_TRUE(cups_.Admin({"-d", "Kitchen"}));
  EXPECT_EQ(spooler_.DefaultPrinter(), "Kitchen");
}

TEST_F(CupsSpoolerTest, SendsTheBytesOfADocumentUnchanged) {
  std::string error;
  auto connection = spooler_.Open("RECEIPT", error);  // queue names ignore case
  ASSERT_NE(connection, nullptr) << error;
  ASSERT_TRUE(connection->StartDocument("pavix", "RAW")) << connection->LastErrorText();
  ASSERT_TRUE(connection->StartPage());
  for (const Bytes& block : {Bytes{0x1B, 0x40}, Bytes{}, Bytes{0x00, 0x0A, 0xFF}}) {
    std::size_t written = 99;
    ASSERT_TRUE(connection->Write(block, written)) << connection->LastErrorText();
    EXPECT_EQ(written, block.size());
  }
  ASSERT_TRUE(connection->EndPage());
  ASSERT_TRUE(connection->EndDocument()) << connection->LastErrorText();
  EXPECT_EQ(printer_.WaitForJobs(1, 30s), (std::vector<Bytes>{{0x1B, 0x40, 0x00, 0x0A, 0xFF}}));
}

TEST_F(CupsSpoolerTest, AnAbandonedDocumentIsCancelledNotPrinted) {
  {
    std::string error;
    auto connection = spooler_.Open("Receipt", error);
    ASSERT_NE(connection, nullptr) << error;
    ASSERT_TRUE(connection->StartDocument("pavix", "RAW"));
    std::size_t written = 0;
    ASSERT_TRUE(connection->Write(Bytes{0x41, 0x42}, written));
    EXPECT_EQ(cups_.ActiveJobs("Receipt"), 1);
  }
  EXPECT_EQ(cups_.ActiveJobs("Receipt"), 0);
  EXPECT_TRUE(printer_.WaitForJobs(1, 2s).empty());
}

TEST_F(CupsSpoolerTest, AMissingPrinterCannotBeOpened) {
  std::string error;
  EXPECT_EQ(spooler_.Open("Removed", error), nullptr);
  EXPECT_NE(error, "");
}

}  // namespace
}  // namespace pavix::platform
