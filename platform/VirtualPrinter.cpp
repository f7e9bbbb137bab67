#include "VirtualPrinter.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <system_error>

#include "FileOps.h"

namespace pavix::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSuffix = "-pavix.prn";

// The number of a finished document's file name, or 0 for any other file.
unsigned long long DocumentNumber(const std::string& fileName) {
  if (fileName.size() <= kSuffix.size() || !fileName.ends_with(kSuffix)) return 0;
  unsigned long long number = 0;
  for (std::size_t i = 0; i + kSuffix.size() < fileName.size(); ++i) {
    const char c = fileName[i];
    if (c < '0' || c > '9' || number > 1'000'000'000'000ULL) return 0;
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  return number;
}

unsigned long long HighestDocumentNumber(const fs::path& folder) {
  unsigned long long highest = 0;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    highest = std::max(highest, DocumentNumber(entry.path().filename().string()));
  }
  return highest;
}

// The numbers given out in each folder by this process. The folder is
// scanned once, not for every document: a scan per document makes filing
// slower with every document the folder holds. A number is given to one
// document only, so the threads of this process never race for a name; only
// another process can take a number first, which the filing finds out.
class DocumentNumbers {
 public:
  unsigned long long Reserve(const fs::path& folder) {
    std::lock_guard lock(mutex_);
    const auto [highest, added] = highest_.try_emplace(folder.lexically_normal().string(), 0);
    if (added) highest->second = HighestDocumentNumber(folder);
    return ++highest->second;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, unsigned long long> highest_;
};

DocumentNumbers& KnownDocumentNumbers() {
  static DocumentNumbers numbers;
  return numbers;
}

std::string ErrnoText() { return std::strerror(errno); }

// A name no other document, thread or process picks at the same moment.
std::string TemporaryName() {
  static std::atomic<unsigned long long> counter{0};
  static const unsigned long long processSalt = std::random_device{}();
  return ".pavix-" + std::to_string(processSalt) + "-" + std::to_string(++counter) + ".tmp";
}

class VirtualPrinterConnection final : public IPrinterConnection {
 public:
  explicit VirtualPrinterConnection(fs::path folder) : folder_(std::move(folder)) {}

  ~VirtualPrinterConnection() override {
    if (inDocument_ || out_.is_open()) Discard();
  }

  // The first document's file, made when the printer is opened: whether it
  // can be made is what tells whether the folder can be used.
  bool Prepare(std::string& errorText) {
    if (CreateDocumentFile()) return true;
    errorText = ErrnoText();
    return false;
  }

  bool StartDocument(const std::string&, const std::string&) override {
    if (inDocument_) return Fail("a document is already open");
    if (!out_.is_open() && !CreateDocumentFile()) return Fail("cannot create " + tempPath_.string() + ": " + ErrnoText());
    inDocument_ = true;
    return true;
  }

  bool StartPage() override { return inDocument_ || Fail("no document is open"); }

  bool Write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
    written = 0;
    if (!inDocument_) return Fail("no document is open");
    out_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out_) return Fail("cannot write " + tempPath_.string() + ": " + ErrnoText());
    written = bytes.size();
    return true;
  }

  bool EndPage() override { return inDocument_ || Fail("no document is open"); }

  bool EndDocument() override {
    if (!inDocument_) return Fail("no document is open");
    out_.close();
    if (!out_) {
      Discard();
      return Fail("cannot write " + tempPath_.string() + ": " + ErrnoText());
    }
    // Another process may take a number first; the rename then fails on the
    // existing file and the next number is tried.
    for (;;) {
      const fs::path target = folder_ / VirtualPrinterFileName(KnownDocumentNumbers().Reserve(folder_));
      if (RenameWithoutReplacing(tempPath_, target)) break;
      // Taken before the look at the target, which sets errno anew.
      const std::string reason = ErrnoText();
      std::error_code ec;
      if (!fs::exists(target, ec)) {
        Discard();
        return Fail("cannot file the document as " + target.string() + ": " + reason);
      }
    }
    inDocument_ = false;
    return true;
  }

  std::string LastErrorText() const override { return lastError_; }

 private:
  bool Fail(std::string text) {
    lastError_ = std::move(text);
    return false;
  }

  bool CreateDocumentFile() {
    tempPath_ = folder_ / TemporaryName();
    out_.open(tempPath_, std::ios::binary | std::ios::trunc);
    return out_.is_open();
  }

  void Discard() {
    out_.close();
    std::error_code ec;
    fs::remove(tempPath_, ec);
    inDocument_ = false;
  }

  fs::path folder_;
  fs::path tempPath_;
  std::ofstream out_;
  bool inDocument_ = false;
  std::string lastError_;
};

}  // namespace

std::string VirtualPrinterFileName(unsigned long long number) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%06llu", number);
  return digits + std::string(kSuffix);
}

std::unique_ptr<IPrinterConnection> VirtualPrinter::Open(std::string& errorText) const {
  auto connection = std::make_unique<VirtualPrinterConnection>(folder_);
  std::string reason;
  if (connection->Prepare(reason)) return connection;
  // Making the folder is for the first job.
  std::error_code ec;
  if (!fs::is_directory(folder_, ec) && fs::create_directories(folder_, ec) && connection->Prepare(reason)) {
    return connection;
  }
  if (ec) reason = ec.message();
  errorText = "the folder " + folder_.string() + " cannot be used: " + reason;
  return nullptr;
}

}  // namespace pavix::platform
