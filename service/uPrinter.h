#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "IPrinter.h"
#include "UiDispatcher.h"

// The service controller: the one object through which the shell starts and
// stops the print service in the configured mode.
namespace pavix {

class TPrinterAdpater {
 public:
  // How the two channels are made; tests put recording channels here. Each
  // maker gets the controller's LogCallback at the time of the first start in
  // its mode.
  struct ChannelFactory {
    std::function<std::unique_ptr<TPrinterbase>(TLogCallback)> MakeCloud;
    std::function<std::unique_ptr<TPrinterbase>(TLogCallback)> MakeLocal;
  };

  // The real channels (TRuzadOridova, TLocalPrinter) on `ui`.
  explicit TPrinterAdpater(platform::IUiDispatcher& ui);
  explicit TPrinterAdpater(ChannelFactory factory);
  // Cloud channel first, then local: not running, stopped, destroyed.
  ~TPrinterAdpater();
  TPrinterAdpater(const TPrinterAdpater&) = delete;
  TPrinterAdpater& operator=(const TPrinterAdpater&) = delete;

  // Set by the main window before every StartService.
  TLogCallback LogCallback;

  // UI thread. Errors raised while making or starting a channel reach the caller.
  // A channel whose start raised is left stopped (Running false, StopChannel
  // called) but stays the current one, so the next StopService or
  // StartService deals with it; a channel that could not be made is tried
  // again at the next start. The channel stopped at the beginning of a start
  // is also marked not running, so that a start that ends in another mode or
  // at a failed check never leaves a stopped channel reconnecting by itself.
  void StartService();
  void StopService();

  // The channel last started (stays set after a stop), for the shell and tests.
  TPrinterbase* CurrentChannel() const { return CurrentChannel_; }

 private:
  void Log(const std::string& text) const;
  bool PrinterInstalled(const std::string& name);

  ChannelFactory factory_;
  TPrinterbase* CurrentChannel_ = nullptr;
  std::unique_ptr<TPrinterbase> CloudChannel;
  std::unique_ptr<TPrinterbase> LocalChannel;
  // Taken once per run, at the first check.
  std::optional<std::vector<std::string>> installedPrinters_;
};

}  // namespace pavix
