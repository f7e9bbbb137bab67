#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Spooler.h"

namespace pavix::platform {

// A spooler that records every document and every write, and fails on demand.
// Thread-safe: jobs may print from several threads at once.
class RecordingSpooler final : public ISpooler {
 public:
  enum class Step { Open, StartDocument, StartPage, Write, EndPage, EndDocument };

  struct Document {
    std::string printer;
    std::string name;
    std::string dataType;
    std::vector<std::vector<std::uint8_t>> writes;
    bool pageStarted = false;
    bool pageEnded = false;
    bool ended = false;
    bool aborted = false;  // started, then abandoned before it ended
  };

  explicit RecordingSpooler(std::vector<std::string> printers = {"Receipt"}) : printers_(std::move(printers)) {}

  // The next time `step` is reached it fails (a write then accepts
  // `acceptedBytes` bytes); later steps of the same kind succeed again.
  void FailOnce(Step step, std::size_t acceptedBytes = 0);
  void SetDefaultPrinter(std::optional<std::string> printer);

  std::vector<Document> Documents() const;
  int OpenConnections() const;

  std::unique_ptr<IPrinterConnection> Open(const std::string& printerName, std::string& errorText) override;
  std::vector<std::string> InstalledPrinters() override;
  std::optional<std::string> DefaultPrinter() override;

 private:
  friend class RecordingConnection;
  bool ShouldFail(Step step, std::size_t* acceptedBytes = nullptr);

  mutable std::mutex mutex_;
  std::vector<std::string> printers_;
  std::optional<std::string> defaultPrinter_;
  std::vector<Document> documents_;
  std::optional<Step> failure_;
  std::size_t failureAccepted_ = 0;
  int openConnections_ = 0;
};

}  // namespace pavix::platform
