#include "uPrinter.h"

#include <stdexcept>
#include <utility>

#include "Spooler.h"
#include "SystemText.h"
#include "uCommon.h"
#include "uLocalPrinter.h"
#include "uRuzadOridova.h"
#include "uTexts.h"

namespace pavix {

namespace {

// Best effort where an error is already on its way or none may leave.
void StopQuietly(TPrinterbase& channel) noexcept {
  try {
    channel.StopChannel();
  } catch (...) {
  }
}

}  // namespace

TPrinterAdpater::TPrinterAdpater(platform::IUiDispatcher& ui)
    : TPrinterAdpater(ChannelFactory{
          [&ui](TLogCallback log) -> std::unique_ptr<TPrinterbase> {
            return MakeStarted<TRuzadOridova>(std::move(log), ui);
          },
          [&ui](TLogCallback log) -> std::unique_ptr<TPrinterbase> {
            return MakeStarted<TLocalPrinter>(std::move(log), ui);
          },
      }) {}

TPrinterAdpater::TPrinterAdpater(ChannelFactory factory) : factory_(std::move(factory)) {}

TPrinterAdpater::~TPrinterAdpater() {
  CurrentChannel_ = nullptr;
  for (std::unique_ptr<TPrinterbase>* channel : {&CloudChannel, &LocalChannel}) {
    if (!*channel) continue;
    (*channel)->Running = false;
    StopQuietly(**channel);
    channel->reset();
  }
}

void TPrinterAdpater::Log(const std::string& text) const {
  if (LogCallback) LogCallback(text);
}

bool TPrinterAdpater::PrinterInstalled(const std::string& name) {
  if (!installedPrinters_) installedPrinters_ = platform::CurrentSpooler().InstalledPrinters();
  for (const std::string& printer : *installedPrinters_) {
    if (platform::SameSystemTextIgnoringCase(printer, name)) return true;
  }
  return false;
}

void TPrinterAdpater::StartService() {
  if (CurrentChannel_ != nullptr) {
    CurrentChannel_->Running = false;
    CurrentChannel_->StopChannel();
  }

  const NameValueList settings =
      ReadSettings({"PrinterType", "PrinterModelType", "LocalPort", "LocalAddr", "PrinterName"});
  const std::string printerType = settings.Value("PrinterType");
  if (printerType.empty()) {
    Log(texts::System(texts::kConfigureFirst));
    return;
  }
  const std::string printerName = settings.Value("PrinterName");
  if (printerName.empty() || !PrinterInstalled(printerName)) {
    Log(texts::System(texts::kPrinterNotFound));
    return;
  }

  const bool cloud = printerType == "1";
  std::unique_ptr<TPrinterbase>& channel = cloud ? CloudChannel : LocalChannel;
  if (!channel) {
    const auto& make = cloud ? factory_.MakeCloud : factory_.MakeLocal;
    auto made = make(LogCallback);
    if (!made) throw std::logic_error("The channel factory made no channel");
    channel = std::move(made);
  }
  CurrentChannel_ = channel.get();

  CurrentChannel_->Running = true;
  try {
    CurrentChannel_->StartChannel();
  } catch (...) {
    CurrentChannel_->Running = false;
    StopQuietly(*CurrentChannel_);
    throw;
  }
  Log(texts::System(texts::kServiceStarted));
}

void TPrinterAdpater::StopService() {
  if (CurrentChannel_ != nullptr) {
    CurrentChannel_->Running = false;
    CurrentChannel_->StopChannel();
  }
  Log(texts::System(texts::kServiceStopped));
}

}  // namespace pavix
