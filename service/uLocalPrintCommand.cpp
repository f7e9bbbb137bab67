#include "uLocalPrintCommand.h"

#include <typeinfo>

#include "Spooler.h"
#include "uCommon.h"
#include "uJSON.h"

namespace pavix {

namespace {

std::uint8_t ByteOf(const TJSONbase* value) {
  if (value == nullptr) throw VariantConversionError("Null", "Integer");
  // Nearly every value is a whole number of a byte's range, which any way of
  // converting takes as it is; the detour through a variant is for the rest.
  if (typeid(*value) == typeid(TJSONnumber)) {
    // As a double first: an x87 value cast straight to an integer switches
    // the FPU's rounding mode twice, which costs more than the whole parse.
    const double number = static_cast<double>(static_cast<const TJSONnumber*>(value)->Value());
    if (number >= 0 && number <= 255) {
      const auto whole = static_cast<std::uint8_t>(number);
      if (whole == number) return whole;
    }
  }
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value->AsVariant().ToInt32()));
}

[[noreturn]] void Fail(const std::string& printer, const std::string& what, const std::string& reason) {
  std::string message = "Printer \"" + printer + "\" " + what;
  if (!reason.empty()) message += ": " + reason;
  throw PrintError(message);
}

}  // namespace

TPrintData DecodePrintJob(const TJSONlist& job) {
  TPrintData data(static_cast<std::size_t>(job.ChildCount()));
  for (int i = 0; i < job.ChildCount(); ++i) {
    const TJSONlist* block = JsonCast<TJSONlist>(job.ChildAt(i));
    if (block == nullptr) throw InvalidCastError();
    TPrintItem& item = data[static_cast<std::size_t>(i)];
    item.resize(static_cast<std::size_t>(block->ChildCount()));
    for (int j = 0; j < block->ChildCount(); ++j) item[static_cast<std::size_t>(j)] = ByteOf(block->ChildAt(j));
  }
  return data;
}

void PrintJob(std::int32_t copies, const TJSONlist& job) {
  const TPrintData data = DecodePrintJob(job);
  for (std::int32_t copy = 1; copy <= copies; ++copy) {
    try {
      SendRawToPrinter(data);
    } catch (const PrintError& error) {
      if (copies == 1) throw;
      throw PrintError(std::string(error.what()) + " (copy " + std::to_string(copy) + " of " +
                       std::to_string(copies) + ")");
    }
  }
}

void SendRawToPrinter(const TPrintData& data) {
  const std::string printer = ReadSetting("PrinterName", "");
  if (printer.empty()) throw PrintError("No printer is configured");
  std::string reason;
  // The connection closes the printer, and abandons an unfinished document,
  // on every way out of this function.
  auto connection = platform::CurrentSpooler().Open(printer, reason);
  if (!connection) Fail(printer, "could not be opened", reason);
  if (!connection->StartDocument("pavix", "RAW")) {
    Fail(printer, "could not start a document", connection->LastErrorText());
  }
  if (!connection->StartPage()) Fail(printer, "could not start a page", connection->LastErrorText());
  for (const TPrintItem& block : data) {
    std::size_t written = 0;
    if (!connection->Write(block, written)) Fail(printer, "rejected the data", connection->LastErrorText());
    if (written != block.size()) {
      Fail(printer, "accepted only " + std::to_string(written) + " of " + std::to_string(block.size()) + " bytes",
           "");
    }
  }
  if (!connection->EndPage()) Fail(printer, "could not end the page", connection->LastErrorText());
  if (!connection->EndDocument()) Fail(printer, "could not end the document", connection->LastErrorText());
}

}  // namespace pavix
