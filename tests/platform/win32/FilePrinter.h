#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace pavix::test {

// A printer installed for one test, whose port is a file: what the spooler
// passes on to the device can be read back. Installing one takes
// administrator rights and an installed printer driver (under Wine, which has
// none at first, one is added from Wine's own PostScript driver; a raw
// document never reaches the driver anyway).
class FilePrinter {
 public:
  explicit FilePrinter(std::string name);
  ~FilePrinter();
  FilePrinter(const FilePrinter&) = delete;
  FilePrinter& operator=(const FilePrinter&) = delete;

  // Why the printer could not be installed; empty when it was.
  const std::string& Failure() const { return failure_; }
  const std::string& Name() const { return name_; }

  // The bytes of the last document once the spooler has written them out;
  // nullopt when nothing arrived in time.
  std::optional<std::vector<std::uint8_t>> WaitForOutput(std::chrono::milliseconds timeout) const;

 private:
  bool InstallPort();
  bool InstallPrinter();
  void Remove();

  std::string name_;
  TempDir folder_;
  std::filesystem::path output_;
  bool portAdded_ = false;
  std::string failure_;
};

// Wine implements some spooler functions as stubs; tests of those skip there.
bool RunningUnderWine();

}  // namespace pavix::test
