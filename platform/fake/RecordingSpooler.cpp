#include "RecordingSpooler.h"

#include "NameValueList.h"

namespace pavix::platform {

class RecordingConnection final : public IPrinterConnection {
 public:
  RecordingConnection(RecordingSpooler& spooler, std::string printer)
      : spooler_(spooler), printer_(std::move(printer)) {}

  ~RecordingConnection() override {
    std::lock_guard lock(spooler_.mutex_);
    if (document_) spooler_.documents_[*document_].aborted = true;
    --spooler_.openConnections_;
  }

  bool StartDocument(const std::string& documentName, const std::string& dataType) override {
    if (spooler_.ShouldFail(RecordingSpooler::Step::StartDocument)) return Fail("start document failed");
    std::lock_guard lock(spooler_.mutex_);
    document_ = spooler_.documents_.size();
    spooler_.documents_.push_back({printer_, documentName, dataType, {}, false, false, false, false});
    return true;
  }

  bool StartPage() override {
    if (spooler_.ShouldFail(RecordingSpooler::Step::StartPage)) return Fail("start page failed");
    return Update([](RecordingSpooler::Document& d) { d.pageStarted = true; });
  }

  bool Write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
    std::size_t accepted = 0;
    if (spooler_.ShouldFail(RecordingSpooler::Step::Write, &accepted)) {
      written = std::min(accepted, bytes.size());
      Update([&](RecordingSpooler::Document& d) { d.writes.emplace_back(bytes.begin(), bytes.begin() + written); });
      return accepted < bytes.size() ? Fail("write failed") : true;
    }
    written = bytes.size();
    return Update([&](RecordingSpooler::Document& d) { d.writes.emplace_back(bytes.begin(), bytes.end()); });
  }

  bool EndPage() override {
    if (spooler_.ShouldFail(RecordingSpooler::Step::EndPage)) return Fail("end page failed");
    return Update([](RecordingSpooler::Document& d) { d.pageEnded = true; });
  }

  bool EndDocument() override {
    if (spooler_.ShouldFail(RecordingSpooler::Step::EndDocument)) return Fail("end document failed");
    const bool ok = Update([](RecordingSpooler::Document& d) { d.ended = true; });
    document_.reset();
    return ok;
  }

  std::string LastErrorText() const override { return lastError_; }

 private:
  template <class Change>
  bool Update(Change change) {
    std::lock_guard lock(spooler_.mutex_);
    if (!document_) return Fail("no document is open");
    change(spooler_.documents_[*document_]);
    return true;
  }

  bool Fail(std::string text) {
    lastError_ = std::move(text);
    return false;
  }

  RecordingSpooler& spooler_;
  std::string printer_;
  std::optional<std::size_t> document_;
  std::string lastError_;
};

void RecordingSpooler::FailOnce(Step step, std::size_t acceptedBytes) {
  std::lock_guard lock(mutex_);
  failure_ = step;
  failureAccepted_ = acceptedBytes;
}

void RecordingSpooler::SetDefaultPrinter(std::optional<std::string> printer) {
  std::lock_guard lock(mutex_);
  defaultPrinter_ = std::move(printer);
}

bool RecordingSpooler::ShouldFail(Step step, std::size_t* acceptedBytes) {
  std::lock_guard lock(mutex_);
  if (failure_ != step) return false;
  failure_.reset();
  if (acceptedBytes != nullptr) *acceptedBytes = failureAccepted_;
  return true;
}

std::vector<RecordingSpooler::Document> RecordingSpooler::Documents() const {
  std::lock_guard lock(mutex_);
  return documents_;
}

int RecordingSpooler::OpenConnections() const {
  std::lock_guard lock(mutex_);
  return openConnections_;
}

std::unique_ptr<IPrinterConnection> RecordingSpooler::Open(const std::string& printerName, std::string& errorText) {
  if (ShouldFail(Step::Open)) {
    errorText = "the printer is offline";
    return nullptr;
  }
  std::lock_guard lock(mutex_);
  for (const auto& printer : printers_) {
    if (SameTextIgnoringCase(printer, printerName)) {
      ++openConnections_;
      return std::make_unique<RecordingConnection>(*this, printer);
    }
  }
  errorText = "no such printer";
  return nullptr;
}

std::vector<std::string> RecordingSpooler::InstalledPrinters() {
  std::lock_guard lock(mutex_);
  return printers_;
}

std::optional<std::string> RecordingSpooler::DefaultPrinter() {
  std::lock_guard lock(mutex_);
  return defaultPrinter_;
}

}  // namespace pavix::platform
