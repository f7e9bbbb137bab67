#include "IPrinter.h"

#include <utility>

namespace pavix {

TPrinterbase::TPrinterbase(TLogCallback logCallback, platform::IUiDispatcher& ui)
    : logCallback_(std::move(logCallback)), ui_(ui) {}

void TPrinterbase::Log(const std::string& text) {
  if (!logCallback_) return;
  ui_.RunAndWait([this, &text] { logCallback_(text); });
}

void TPrinterbase::StopServingLog(const std::function<void()>& stop) { platform::RunServingUi(ui_, stop); }

}  // namespace pavix
