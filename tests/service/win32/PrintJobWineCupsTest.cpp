#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "../JobBuilder.h"
#include "TestSupport.h"
#include "uCommon.h"
#include "uLocalPrintCommand.h"

namespace pavix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The jobs filed so far by the socket printer behind the CUPS queue.
std::vector<std::vector<unsigned char>> FiledJobs(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".prn") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<std::vector<unsigned char>> jobs;
  for (const auto& file : files) jobs.push_back(test::ReadFileBytes(file));
  return jobs;
}

// Under Wine, the Windows spooler hands raw documents to CUPS. Run beside a
// private scheduler (scripts/test-windows.sh starts the tests through
// pavix_cups_relay), the whole Windows road of a job ends at a network
// receipt printer on Linux.
TEST(PrintJobThroughWineAndCups, EveryCopyReachesThePrinterUnchanged) {
  const std::optional<std::string> queue = test::GetEnv("PAVIX_TEST_CUPS_QUEUE");
  const std::optional<std::string> jobs = test::GetEnv("PAVIX_TEST_CUPS_JOBS");
  if (!queue || !jobs) GTEST_SKIP() << "not run beside a CUPS scheduler (pavix_cups_relay)";
  // Wine shows the Unix root as drive Z:.
  const fs::path folder = jobs->starts_with("/") ? "Z:" + *jobs : *jobs;
  const std::size_t before = FiledJobs(folder).size();

  test::FreshSettingsStore store;
  NameValueList settings;
  settings.Add("PrinterName", *queue);
  ASSERT_TRUE(WriteSettings(settings));
  PrintJob(3, *test::Job({{27, 64}, {10}}));

  // The printer files each job when CUPS has sent it: nothing to wait on but the folder.
  auto filed = FiledJobs(folder);
  for (auto waited = 0ms; filed.size() < before + 3 && waited < 60s; waited += 100ms) {
    std::this_thread::sleep_for(100ms);
    filed = FiledJobs(folder);
  }
  const std::vector<unsigned char> expected{0x1B, 0x40, 0x0A};
  EXPECT_EQ(std::vector(filed.begin() + static_cast<std::ptrdiff_t>(std::min(before, filed.size())), filed.end()),
            std::vector(3, expected));
}

}  // namespace
}  // namespace pavix
