#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The print spooler: the installed printers and raw documents for one of them.
// Printer names and error texts are in the system code page.
namespace pavix::platform {

// One opened printer (OpenPrinter .. ClosePrinter). Each step reports failure
// and leaves its reason in LastErrorText(). Destroying the connection aborts a
// document that was started and not ended, then closes the printer, so a
// failure never leaves a half document or a handle behind.
class IPrinterConnection {
 public:
  virtual ~IPrinterConnection() = default;
  virtual bool StartDocument(const std::string& documentName, const std::string& dataType) = 0;
  virtual bool StartPage() = 0;
  // `written` receives the count the spooler accepted, which may fall short.
  virtual bool Write(std::span<const std::uint8_t> bytes, std::size_t& written) = 0;
  virtual bool EndPage() = 0;
  virtual bool EndDocument() = 0;
  virtual std::string LastErrorText() const = 0;
};

class ISpooler {
 public:
  virtual ~ISpooler() = default;
  // nullptr when the printer cannot be opened; `errorText` then says why.
  virtual std::unique_ptr<IPrinterConnection> Open(const std::string& printerName, std::string& errorText) = 0;
  // The local printers and printer connections, in the system's order.
  virtual std::vector<std::string> InstalledPrinters() = 0;
  virtual std::optional<std::string> DefaultPrinter() = 0;
};

// The spooler the print service uses: the system's, together with the virtual
// receipt printer when PAVIX_VIRTUAL_PRINTER_DIR is set.
ISpooler& CurrentSpooler();

// Replaces CurrentSpooler() while it lives; for tests, set up before any
// thread that prints is started.
class ScopedSpoolerOverride {
 public:
  explicit ScopedSpoolerOverride(ISpooler& spooler);
  ~ScopedSpoolerOverride();
  ScopedSpoolerOverride(const ScopedSpoolerOverride&) = delete;
  ScopedSpoolerOverride& operator=(const ScopedSpoolerOverride&) = delete;

 private:
  ISpooler* previous_;
};

// The operating system's spooler alone (winspool or CUPS); defined by the back-end.
ISpooler& OperatingSystemSpooler();

}  // namespace pavix::platform
