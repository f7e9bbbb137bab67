// Headless check of a machine: what the print server sees of its settings
// and printers, and one sample ticket through the real print path.
#include <iostream>

#include "CodePage.h"
#include "SampleJob.h"
#include "Spooler.h"
#include "VirtualPrinter.h"
#include "uCommon.h"
#include "uLocalPrintCommand.h"

namespace pavix {
namespace {

// The printer to test: the configured one, else the virtual printer (so a
// first run prints to a folder, not on paper), else the system's default.
std::string ChoosePrinter(platform::ISpooler& spooler) {
  std::string printer = ReadSetting("PrinterName", "");
  if (!printer.empty()) return printer;
  const auto installed = spooler.InstalledPrinters();
  for (const auto& name : installed) {
    if (name == platform::kVirtualPrinterName) return name;
  }
  return spooler.DefaultPrinter().value_or("");
}

int Run() {
  platform::ISpooler& spooler = platform::CurrentSpooler();
  std::cout << "Pavix Print Server 3.0\n"
            << "System code page: " << platform::SystemCodePageName() << "\n"
            << "Machine identity: " << GetMachineEsn() << "\n"
            << "Installed printers:\n";
  const std::string defaultPrinter = spooler.DefaultPrinter().value_or("");
  for (const auto& name : spooler.InstalledPrinters()) {
    std::cout << "  " << name << (name == defaultPrinter ? "  (default)" : "") << "\n";
  }

  const std::string printer = ChoosePrinter(spooler);
  if (printer.empty()) {
    std::cout << "No printer to test: set PrinterName, PAVIX_VIRTUAL_PRINTER_DIR or a default printer.\n";
    return 1;
  }
  if (ReadSetting("PrinterName", "").empty()) {
    NameValueList settings;
    settings.Add("PrinterName", printer);
    if (!WriteSettings(settings)) {
      std::cout << "The settings cannot be written: run as administrator (root) or set PAVIX_SETTINGS_FILE.\n";
      return 1;
    }
    std::cout << "PrinterName was not set; it is now \"" << printer << "\".\n";
  }
  try {
    PrintJob(1, *MakeSampleJob());
  } catch (const Exception& error) {
    std::cout << "The sample ticket did not print: " << error.what() << "\n";
    return 1;
  }
  std::cout << "Sample ticket sent to \"" << printer << "\"";
  if (const char* folder = std::getenv(platform::kVirtualPrinterDirVariable); folder && printer == platform::kVirtualPrinterName) {
    std::cout << ": see the newest file in " << folder;
  }
  std::cout << ".\n";
  return 0;
}

}  // namespace
}  // namespace pavix

int main() { return pavix::Run(); }
