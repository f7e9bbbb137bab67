#include <gtest/gtest.h>

#include "CupsSandbox.h"
#include "JobBuilder.h"
#include "uCommon.h"
#include "uLocalPrintCommand.h"

namespace pavix {
namespace {

using namespace std::chrono_literals;

// The whole road of a job on Linux: settings, decoding, CUPS, and a network
// receipt printer at the end of a raw queue.
TEST(PrintJobThroughCups, EveryCopyReachesThePrinterUnchanged) {
  test::FreshSettingsStore store;
  test::SocketPrinter printer;
  test::CupsSandbox cups;
  ASSERT_TRUE(cups.Running());
  ASSERT_TRUE(cups.AddRawQueue("Receipt", printer.DeviceUri()));
  NameValueList settings;
  settings.Add("PrinterName", "Receipt");
  ASSERT_TRUE(WriteSettings(settings));

  PrintJob(3, *test::Job({{27, 64}, {10}}));

  const std::vector<std::uint8_t> expected{0x1B, 0x40, 0x0A};
  EXPECT_EQ(printer.WaitForJobs(3, 60s), (std::vector<std::vector<std::uint8_t>>(3, expected)));
}

}  // namespace
}  // namespace pavix
