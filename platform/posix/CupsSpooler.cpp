// The spooler on POSIX: CUPS. One raw job per document, its data streamed in
// the order written; CUPS_SERVER chooses the scheduler, as for every client.
#include <cups/cups.h>

#include "CodePage.h"
#include "Spooler.h"

namespace pavix::platform {

namespace {

std::string LastCupsError() { return Utf8ToSystem(cupsLastErrorString()); }

// A CUPS destination list, freed when it goes out of scope.
class Destinations {
 public:
  Destinations() : count_(cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_)) {}
  ~Destinations() { cupsFreeDests(count_, dests_); }
  Destinations(const Destinations&) = delete;
  Destinations& operator=(const Destinations&) = delete;
  const cups_dest_t* begin() const { return dests_; }
  const cups_dest_t* end() const { return dests_ + count_; }

 private:
  cups_dest_t* dests_ = nullptr;
  int count_ = 0;
};

class CupsConnection final : public IPrinterConnection {
 public:
  CupsConnection(http_t* http, std::string printer) : http_(http), printer_(std::move(printer)) {}

  ~CupsConnection() override {
    if (jobId_ != 0) {
      // Dropping the connection ends the unfinished upload; the job itself is
      // cancelled over a fresh connection, so no half document prints.
      httpClose(http_);
      http_ = nullptr;
      cupsCancelJob2(CUPS_HTTP_DEFAULT, printer_.c_str(), jobId_, 0);
    }
    if (http_ != nullptr) httpClose(http_);
  }

  bool StartDocument(const std::string& documentName, const std::string& dataType) override {
    if (jobId_ != 0) return Fail("a document is already open");
    const std::string title = SystemToUtf8(documentName);
    const int job = cupsCreateJob(http_, printer_.c_str(), title.c_str(), 0, nullptr);
    if (job == 0) return Fail(LastCupsError());
    jobId_ = job;
    const char* format = dataType == "RAW" ? CUPS_FORMAT_RAW : dataType.c_str();
    if (cupsStartDocument(http_, printer_.c_str(), jobId_, title.c_str(), format, 1) != HTTP_STATUS_CONTINUE) {
      return Fail(LastCupsError());
    }
    return true;
  }

  bool StartPage() override { return jobId_ != 0 || Fail("no document is open"); }

  bool Write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
    written = 0;
    if (jobId_ == 0) return Fail("no document is open");
    // An empty write would end the chunked upload early; it has nothing to send anyway.
    if (bytes.empty()) return true;
    if (cupsWriteRequestData(http_, reinterpret_cast<const char*>(bytes.data()), bytes.size()) !=
        HTTP_STATUS_CONTINUE) {
      return Fail(LastCupsError());
    }
    written = bytes.size();
    return true;
  }

  bool EndPage() override { return jobId_ != 0 || Fail("no document is open"); }

  bool EndDocument() override {
    if (jobId_ == 0) return Fail("no document is open");
    if (cupsFinishDocument(http_, printer_.c_str()) > IPP_STATUS_OK_CONFLICTING) return Fail(LastCupsError());
    jobId_ = 0;
    return true;
  }

  std::string LastErrorText() const override { return lastError_; }

 private:
  bool Fail(std::string text) {
    lastError_ = std::move(text);
    return false;
  }

  http_t* http_;
  std::string printer_;  // the destination's name as CUPS spells it (UTF-8)
  int jobId_ = 0;        // set from job creation until the document is finished
  std::string lastError_;
};

class CupsSpooler final : public ISpooler {
 public:
  std::unique_ptr<IPrinterConnection> Open(const std::string& printerName, std::string& errorText) override {
    const std::string name = SystemToUtf8(printerName);
    std::string canonical;
    for (const cups_dest_t& dest : Destinations()) {
      if (dest.instance == nullptr && strcasecmp(dest.name, name.c_str()) == 0) canonical = dest.name;
    }
    if (canonical.empty()) {
      errorText = "no such printer";
      return nullptr;
    }
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
    if (http == nullptr) {
      errorText = LastCupsError();
      return nullptr;
    }
    return std::make_unique<CupsConnection>(http, canonical);
  }

  std::vector<std::string> InstalledPrinters() override {
    std::vector<std::string> printers;
    for (const cups_dest_t& dest : Destinations()) {
      if (dest.instance == nullptr) printers.push_back(Utf8ToSystem(dest.name));
    }
    return printers;
  }

  std::optional<std::string> DefaultPrinter() override {
    for (const cups_dest_t& dest : Destinations()) {
      if (dest.is_default && dest.instance == nullptr) return Utf8ToSystem(dest.name);
    }
    return std::nullopt;
  }
};

}  // namespace

ISpooler& OperatingSystemSpooler() {
  static CupsSpooler spooler;
  return spooler;
}

}  // namespace pavix::platform
