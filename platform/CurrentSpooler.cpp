#include <atomic>
#include <cstdlib>
#include <optional>

#include "NameValueList.h"
#include "Spooler.h"
#include "VirtualPrinter.h"

namespace pavix::platform {

namespace {

std::optional<VirtualPrinter> ConfiguredVirtualPrinter() {
  const char* folder = std::getenv(kVirtualPrinterDirVariable);
  if (folder == nullptr || *folder == '\0') return std::nullopt;
  return VirtualPrinter(folder);
}

// The operating system's printers plus the virtual printer when it is configured.
class SpoolerWithVirtualPrinter final : public ISpooler {
 public:
  explicit SpoolerWithVirtualPrinter(ISpooler& os) : os_(os) {}

  std::unique_ptr<IPrinterConnection> Open(const std::string& printerName, std::string& errorText) override {
    if (auto virtualPrinter = ConfiguredVirtualPrinter(); virtualPrinter && IsVirtual(printerName)) {
      return virtualPrinter->Open(errorText);
    }
    return os_.Open(printerName, errorText);
  }

  std::vector<std::string> InstalledPrinters() override {
    std::vector<std::string> printers = os_.InstalledPrinters();
    if (ConfiguredVirtualPrinter()) printers.emplace_back(kVirtualPrinterName);
    return printers;
  }

  std::optional<std::string> DefaultPrinter() override {
    std::optional<std::string> printer = os_.DefaultPrinter();
    if (!printer && ConfiguredVirtualPrinter()) printer = kVirtualPrinterName;
    return printer;
  }

 private:
  static bool IsVirtual(const std::string& name) { return SameTextIgnoringCase(name, kVirtualPrinterName); }

  ISpooler& os_;
};

std::atomic<ISpooler*> overrideSpooler{nullptr};

}  // namespace

ISpooler& CurrentSpooler() {
  if (ISpooler* spooler = overrideSpooler.load()) return *spooler;
  static SpoolerWithVirtualPrinter system(OperatingSystemSpooler());
  return system;
}

ScopedSpoolerOverride::ScopedSpoolerOverride(ISpooler& spooler) : previous_(overrideSpooler.exchange(&spooler)) {}

ScopedSpoolerOverride::~ScopedSpoolerOverride() { overrideSpooler.store(previous_); }

}  // namespace pavix::platform
