// The spooler on Windows: winspool through its ANSI functions, so printer
// names stay in the system code page.
#include <windows.h>
#include <winspool.h>

#include <limits>

#include "Spooler.h"
#include "Win32ErrorText.h"

namespace pavix::platform {

namespace {

struct PrinterCloser {
  void operator()(HANDLE printer) const { ::ClosePrinter(printer); }
};

using UniquePrinter = std::unique_ptr<void, PrinterCloser>;

class WinspoolConnection final : public IPrinterConnection {
 public:
  explicit WinspoolConnection(UniquePrinter printer) : printer_(std::move(printer)) {}

  ~WinspoolConnection() override {
    // Without this the spooler would keep the half document, and could print it.
    if (inDocument_) ::AbortPrinter(printer_.get());
  }

  bool StartDocument(const std::string& documentName, const std::string& dataType) override {
    // DOC_INFO_1A takes mutable strings although the spooler only reads them.
    std::string name = documentName;
    std::string type = dataType;
    DOC_INFO_1A info{name.data(), nullptr, type.data()};
    if (::StartDocPrinterA(printer_.get(), 1, reinterpret_cast<BYTE*>(&info)) == 0) return Fail();
    inDocument_ = true;
    return true;
  }

  bool StartPage() override { return ::StartPagePrinter(printer_.get()) != FALSE || Fail(); }

  bool Write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
    written = 0;
    if (bytes.size() > std::numeric_limits<DWORD>::max()) return Fail(ERROR_INVALID_PARAMETER);
    // An empty block is still one write; it gets a valid pointer all the same.
    static std::uint8_t none = 0;
    void* data = bytes.empty() ? &none : const_cast<std::uint8_t*>(bytes.data());
    DWORD accepted = 0;
    if (::WritePrinter(printer_.get(), data, static_cast<DWORD>(bytes.size()), &accepted) == FALSE) return Fail();
    written = accepted;
    return true;
  }

  bool EndPage() override { return ::EndPagePrinter(printer_.get()) != FALSE || Fail(); }

  bool EndDocument() override {
    // A document that did not end stays marked, so that it is aborted.
    if (::EndDocPrinter(printer_.get()) == FALSE) return Fail();
    inDocument_ = false;
    return true;
  }

  std::string LastErrorText() const override { return lastError_; }

 private:
  bool Fail(DWORD code = ::GetLastError()) {
    lastError_ = Win32ErrorText(code);
    return false;
  }

  UniquePrinter printer_;
  bool inDocument_ = false;
  std::string lastError_;
};

class WinspoolSpooler final : public ISpooler {
 public:
  std::unique_ptr<IPrinterConnection> Open(const std::string& printerName, std::string& errorText) override {
    // An empty name would open the print server itself, which takes no documents.
    if (printerName.empty()) {
      errorText = Win32ErrorText(ERROR_INVALID_PRINTER_NAME);
      return nullptr;
    }
    std::string name = printerName;
    HANDLE printer = nullptr;
    if (::OpenPrinterA(name.data(), &printer, nullptr) == FALSE) {
      errorText = Win32ErrorText(::GetLastError());
      return nullptr;
    }
    return std::make_unique<WinspoolConnection>(UniquePrinter(printer));
  }

  std::vector<std::string> InstalledPrinters() override {
    constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    std::vector<BYTE> buffer;
    DWORD count = 0;
    // Size first, then the list; a printer added in between asks for more room.
    for (;;) {
      DWORD needed = 0;
      if (::EnumPrintersA(kFlags, nullptr, 4, buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &count)) {
        break;
      }
      if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
      buffer.resize(needed);
    }
    std::vector<std::string> printers;
    const auto* info = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      if (info[i].pPrinterName != nullptr) printers.emplace_back(info[i].pPrinterName);
    }
    return printers;
  }

  std::optional<std::string> DefaultPrinter() override {
    std::string name;
    for (;;) {
      DWORD size = static_cast<DWORD>(name.size());
      if (::GetDefaultPrinterA(name.empty() ? nullptr : name.data(), &size)) {
        name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
        if (name.empty()) return std::nullopt;
        return name;
      }
      if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;  // no default printer
      name.assign(size, '\0');
    }
  }
};

}  // namespace

ISpooler& OperatingSystemSpooler() {
  static WinspoolSpooler spooler;
  return spooler;
}

}  // namespace pavix::platform
