#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "Thread.h"
#include "UiDispatcher.h"

// The print channel base: what the service controller sees of the local
// endpoint and the cloud channel.
namespace pavix {

// Receives each log line on the UI thread; the main window's AddLog.
using TLogCallback = std::function<void(const std::string& text)>;

class TPrinterbase : public TThread {
 public:
  // The channel is meant to run: written by the controller on the UI thread,
  // read by the channel's loop and transport threads.
  std::atomic<bool> Running{false};

  // UI thread only. StartChannel (re)starts the transport, also when it runs
  // already; StopChannel stops it and leaves the thread idling.
  virtual void StartChannel() = 0;
  virtual void StopChannel() = 0;

  // From any thread: hands `text` to the log callback on the UI thread and
  // returns once the callback has run (at once on the UI thread). Each call
  // carries its own text, so lines logged together all arrive, once each, in
  // the order the UI thread takes them.
  void Log(const std::string& text);

 protected:
  TPrinterbase(TLogCallback logCallback, platform::IUiDispatcher& ui);

  // For stopping a transport whose threads may be waiting in Log: on the UI
  // thread the queue keeps being served until `stop` returns, so neither
  // waits for the other for ever and no line is lost.
  void StopServingLog(const std::function<void()>& stop);

  platform::IUiDispatcher& Ui() const { return ui_; }

 private:
  const TLogCallback logCallback_;
  platform::IUiDispatcher& ui_;
};

}  // namespace pavix
