#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "Spooler.h"

namespace pavix::platform {

inline constexpr const char* kVirtualPrinterName = "Pavix Virtual Printer";
inline constexpr const char* kVirtualPrinterDirVariable = "PAVIX_VIRTUAL_PRINTER_DIR";

// A receipt printer that files each raw document in a folder as
// NNNNNN-pavix.prn, numbering on from the highest file already there. A
// document is written under a temporary name and renamed when it ends, so a
// reader of the folder never sees a partial document.
class VirtualPrinter {
 public:
  explicit VirtualPrinter(std::filesystem::path folder) : folder_(std::move(folder)) {}
  std::unique_ptr<IPrinterConnection> Open(std::string& errorText) const;
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

// File name of document `number`, e.g. 000001-pavix.prn.
std::string VirtualPrinterFileName(unsigned long long number);

}  // namespace pavix::platform
