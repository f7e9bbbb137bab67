#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "IPrinter.h"
#include "WebSocketClient.h"

// The cloud print channel: the PC holds a WebSocket connection to the cloud
// print service, says who it is every 2 s and prints every job pushed to it.
namespace pavix {

class TRuzadOridova : public TPrinterbase {
 public:
  // Intervals; the defaults are the service's, tests shorten them.
  struct Timing {
    std::chrono::milliseconds KeepAlive{2000};
    // Retries after a failure grow from the first delay to the last, so that
    // a cloud outage does not bring every shop back at once and for ever.
    std::chrono::milliseconds RetryFirst{1000};
    std::chrono::milliseconds RetryMax{60000};
    // The connect runs on the UI thread: it may not hold the window long.
    std::chrono::milliseconds ConnectTimeout{10000};
    std::chrono::milliseconds PingInterval{300000};
    // A ping unanswered this long means the network dropped the connection.
    std::chrono::milliseconds PongTimeout{30000};
    std::chrono::milliseconds StartPause{200};
  };

  // Reads ESN once; the host is the cloud's unless PAVIX_CLOUD_HOST and
  // PAVIX_CLOUD_PORT say otherwise. Not connected; make it with MakeStarted.
  TRuzadOridova(TLogCallback logCallback, platform::IUiDispatcher& ui);
  TRuzadOridova(TLogCallback logCallback, platform::IUiDispatcher& ui, const Timing& timing);
  ~TRuzadOridova() override;

  // UI thread. StartChannel drops any connection and connects again; when
  // that fails it keeps trying while Running.
  void StartChannel() override;
  void StopChannel() override;

  // The client's events, on the UI thread.
  void HandleConnect(net::TWebSocketConnection* connection);
  void HandleDisconnect(net::TWebSocketConnection* connection, std::uint16_t code);
  void HandleError(net::TWebSocketConnection* connection, const std::string& error);
  void HandleException(net::TWebSocketConnection* connection, const std::string& error);
  void HandleMessage(net::TWebSocketConnection* connection, const std::string& text);

  const std::string& Esn() const { return esn_; }
  // The request target of the opening handshake.
  std::string RequestTarget() const;

 protected:
  void Execute() override;

 private:
  void Connect();
  // The first report of a failure of the current connection; later reports
  // of it and reports of connections already replaced are not.
  bool IsNewFailure(net::TWebSocketConnection* connection);
  void ScheduleRetry();
  void CancelRetry();
  void RetryNow();
  void WakeLoop();

  const Timing timing_;
  const std::string esn_;
  std::unique_ptr<net::TWebSocketClient> WsClient;

  // UI thread only.
  std::chrono::milliseconds nextDelay_{0};
  std::uint64_t failedConnection_ = 0;

  // Shared with the channel's thread, which makes the retries.
  std::mutex loopMutex_;
  std::condition_variable loopWake_;
  bool wakeRequested_ = false;
  std::optional<std::chrono::steady_clock::time_point> retryAt_;
};

}  // namespace pavix
