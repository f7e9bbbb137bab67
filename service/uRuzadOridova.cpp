#include "uRuzadOridova.h"

#include <cstdlib>
#include <random>
#include <thread>

#include "CodePage.h"
#include "IntegerText.h"
#include "uCommon.h"
#include "uJSON.h"
#include "uLocalPrintCommand.h"
#include "uTexts.h"

namespace pavix {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kCloudHost = "cloud.pavix.net";
constexpr std::uint16_t kCloudPort = 64139;
// The service answers a refused handshake with another status; that is
// retried without filling the log.
constexpr const char* kStatusError = "Error Decoding Header: Switching Protocols";

std::string CloudHost() {
  const char* host = std::getenv("PAVIX_CLOUD_HOST");
  return host != nullptr && *host != '\0' ? host : kCloudHost;
}

std::uint16_t CloudPort() {
  const char* port = std::getenv("PAVIX_CLOUD_PORT");
  if (port == nullptr || *port == '\0') return kCloudPort;
  try {
    const std::int32_t value = StrToInt(port);
    if (value > 0 && value <= 65535) return static_cast<std::uint16_t>(value);
  } catch (const IntegerConversionError&) {
  }
  return kCloudPort;
}

std::int32_t IntegerOf(const TJSONbase* value) {
  if (value == nullptr) throw VariantConversionError("Null", "Integer");
  return value->AsVariant().ToInt32();
}

// Up to a fifth either way, so that the shops of one outage spread out.
std::chrono::milliseconds WithJitter(std::chrono::milliseconds delay) {
  static std::mutex mutex;
  static std::minstd_rand random{std::random_device{}()};
  std::lock_guard lock(mutex);
  std::uniform_real_distribution<double> factor(0.8, 1.2);
  return std::chrono::milliseconds(static_cast<std::int64_t>(static_cast<double>(delay.count()) * factor(random)));
}

}  // namespace

TRuzadOridova::TRuzadOridova(TLogCallback logCallback, platform::IUiDispatcher& ui)
    : TRuzadOridova(std::move(logCallback), ui, Timing{}) {}

TRuzadOridova::TRuzadOridova(TLogCallback logCallback, platform::IUiDispatcher& ui, const Timing& timing)
    : TPrinterbase(std::move(logCallback), ui),
      timing_(timing),
      esn_(GetMachineEsn()),
      WsClient(std::make_unique<net::TWebSocketClient>(ui)) {
  WsClient->Host = CloudHost();
  WsClient->Port = CloudPort();
  WsClient->ConnectTimeout = timing_.ConnectTimeout;
  WsClient->Options.Parameters = RequestTarget();
  WsClient->HeartBeat.Enabled = true;
  WsClient->HeartBeat.Interval = timing_.PingInterval;
  WsClient->HeartBeat.Timeout = timing_.PongTimeout;
  WsClient->OnConnect = [this](net::TWebSocketConnection* connection) { HandleConnect(connection); };
  WsClient->OnDisconnect = [this](net::TWebSocketConnection* connection, std::uint16_t code) {
    HandleDisconnect(connection, code);
  };
  WsClient->OnMessage = [this](net::TWebSocketConnection* connection, const std::string& text) {
    HandleMessage(connection, text);
  };
  WsClient->OnError = [this](net::TWebSocketConnection* connection, const std::string& error) {
    HandleError(connection, error);
  };
  WsClient->OnException = [this](net::TWebSocketConnection* connection, const std::string& error) {
    HandleException(connection, error);
  };
}

TRuzadOridova::~TRuzadOridova() {
  Terminate();
  WakeLoop();
  // The loop may be waiting for the UI thread to make a retry.
  StopServingLog([this] { TerminateAndWait(); });
  WsClient.reset();
}

std::string TRuzadOridova::RequestTarget() const {
  return "/web/ruzadoridova/RuzadOridovaSocket?guid=" + esn_ + "&printerver=V1.0";
}

void TRuzadOridova::Execute() {
  auto nextKeepAlive = Clock::now() + timing_.KeepAlive;
  while (!Terminated()) {
    bool retry = false;
    {
      std::unique_lock lock(loopMutex_);
      const auto wakeAt = retryAt_ ? std::min(nextKeepAlive, *retryAt_) : nextKeepAlive;
      loopWake_.wait_until(lock, wakeAt, [&] { return wakeRequested_ || Terminated(); });
      wakeRequested_ = false;
      if (Terminated()) return;
      if (retryAt_ && Clock::now() >= *retryAt_) {
        retryAt_.reset();
        retry = true;
      }
    }
    if (retry) {
      try {
        Ui().RunAndWait([this] { RetryNow(); });
      } catch (const platform::DispatcherClosedError&) {
        return;
      } catch (const std::exception&) {
        // A failed attempt has logged and scheduled the next itself.
      }
    }
    const auto now = Clock::now();
    if (now >= nextKeepAlive) {
      nextKeepAlive = now + timing_.KeepAlive;
      // The client sends nothing without an open connection and never
      // raises; a failed send arrives as an error event.
      if (Running) {
        try {
          WsClient->SendText(esn_);
        } catch (const std::exception&) {
        }
      }
    }
  }
}

void TRuzadOridova::StartChannel() {
  CancelRetry();
  // Failures from here on wait the first delay before the next attempt.
  nextDelay_ = timing_.RetryFirst;
  Connect();
  std::this_thread::sleep_for(timing_.StartPause);
}

void TRuzadOridova::StopChannel() {
  CancelRetry();
  WsClient->SetActive(false);
}

void TRuzadOridova::Connect() {
  // Closing the old connection reports its disconnection at once, nested in
  // this call; it is not the current connection any more, so it starts no
  // further attempt.
  WsClient->SetActive(false);
  WsClient->SetActive(true);
  if (!WsClient->Active() && Running) ScheduleRetry();
}

void TRuzadOridova::RetryNow() {
  if (!Running || Terminated()) return;
  Connect();
}

bool TRuzadOridova::IsNewFailure(net::TWebSocketConnection* connection) {
  if (connection == nullptr || connection->Id() != WsClient->ConnectionId()) return false;
  if (connection->Id() == failedConnection_) return false;
  failedConnection_ = connection->Id();
  return true;
}

void TRuzadOridova::ScheduleRetry() {
  std::lock_guard lock(loopMutex_);
  if (retryAt_) return;  // one failure, one retry
  const auto delay = nextDelay_;
  nextDelay_ = nextDelay_.count() == 0 ? timing_.RetryFirst : std::min(nextDelay_ * 2, timing_.RetryMax);
  retryAt_ = Clock::now() + WithJitter(delay);
  wakeRequested_ = true;
  loopWake_.notify_all();
}

void TRuzadOridova::CancelRetry() {
  std::lock_guard lock(loopMutex_);
  retryAt_.reset();
}

void TRuzadOridova::WakeLoop() {
  {
    std::lock_guard lock(loopMutex_);
    wakeRequested_ = true;
  }
  loopWake_.notify_all();
}

void TRuzadOridova::HandleConnect(net::TWebSocketConnection* connection) {
  // A connection that worked is retried at once when it drops.
  if (connection != nullptr && connection->Id() == WsClient->ConnectionId()) nextDelay_ = std::chrono::milliseconds(0);
}

void TRuzadOridova::HandleDisconnect(net::TWebSocketConnection* connection, std::uint16_t) {
  if (Running && IsNewFailure(connection)) ScheduleRetry();
}

void TRuzadOridova::HandleError(net::TWebSocketConnection* connection, const std::string& error) {
  if (error != kStatusError) {
    Log(texts::System(texts::kCloudErrorPrefix) + error);
    Log(texts::System(texts::kCloudReconnecting));
  }
  if (Running && IsNewFailure(connection)) ScheduleRetry();
}

void TRuzadOridova::HandleException(net::TWebSocketConnection* connection, const std::string& error) {
  // A failed connect has no connection; a stale connection's report is old news.
  if (connection != nullptr && connection->Id() != WsClient->ConnectionId()) return;
  if (!Running) return;
  Log(texts::System(texts::kCloudErrorPrefix) + error);
  Log(texts::System(texts::kCloudReconnecting));
}

void TRuzadOridova::HandleMessage(net::TWebSocketConnection*, const std::string& text) {
  if (text == "o") return;
  Log(texts::System(texts::kCloudJobReceived));
  try {
    const std::string message = platform::Utf16ToSystem(platform::Utf8ToUtf16(text));
    const std::unique_ptr<TJSONbase> tree = TJSON::JsonFromText(message, false);
    const TJSONobject* object = JsonCast<TJSONobject>(tree.get());
    if (object == nullptr) throw Exception("The message is not JSON text");
    if (IntegerOf(object->FieldByName("Model")) == 1) {
      const TJSONbase* data = object->FieldByName("Data");
      if (data == nullptr) throw VariantConversionError("Null", "String");
      const std::unique_ptr<TJSONbase> job = TJSON::JsonFromText(platform::Utf16ToUtf8(data->AsVariant().ToText()), true);
      const TJSONlist* list = JsonCast<TJSONlist>(job.get());
      if (list == nullptr) throw Exception("The print job is not JSON text");
      PrintJob(IntegerOf(object->FieldByName("MN")), *list);
    }
    Log(texts::System(texts::kCloudJobSent));
  } catch (const std::exception& error) {
    // Nothing was printed; later messages are handled as usual.
    Log(texts::System(texts::kCloudErrorPrefix) + error.what());
  }
}

}  // namespace pavix
