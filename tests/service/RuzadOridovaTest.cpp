// The cloud print channel against a scripted cloud service on loopback:
// the request it opens with, the identity every keep-alive interval, the job
// messages, and coming back by itself after every kind of failure.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "EventLoopDispatcher.h"
#include "RecordingSpooler.h"
#include "TestSupport.h"
#include "WebSocketScriptedServer.h"
#include "WebSocketTestUi.h"
#include "uCommon.h"
#include "uRuzadOridova.h"
#include "uTexts.h"

namespace pavix {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using platform::RecordingSpooler;
using test::ScriptedPeer;
using test::ScriptedServer;
using test::ServerFrame;

constexpr const char* kEsn = "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9";

std::string Line(std::string_view text) { return texts::System(text); }

class RuzadOridovaTest : public ::testing::Test {
 protected:
  RuzadOridovaTest() {
    NameValueList settings;
    settings.Add("ESN", kEsn);
    settings.Add("PrinterName", "Receipt");
    EXPECT_TRUE(WriteSettings(settings));
    timing.KeepAlive = 200ms;
    timing.RetryFirst = 100ms;
    timing.RetryMax = 400ms;
    timing.ConnectTimeout = 2s;
    timing.PingInterval = 1h;
    timing.StartPause = 0ms;
  }

  ~RuzadOridovaTest() override {
    if (channel) {
      channel->Running = false;
      channel->StopChannel();
      channel.reset();
    }
  }

  void Start() {
    channel = MakeStarted<TRuzadOridova>([this](const std::string& line) { log.push_back(line); }, ui, timing);
    channel->Running = true;
    channel->StartChannel();
  }

  // Blocking work of the cloud's side, while the UI thread keeps serving
  // the channel's events and retries.
  template <class Work>
  void Serving(Work work) {
    platform::RunServingUi(ui, work);
  }

  std::unique_ptr<ScriptedPeer> AcceptAndShake(ScriptedServer& on) {
    std::unique_ptr<ScriptedPeer> peer;
    Serving([&] {
      peer = on.Accept(10s);
      if (peer) peer->AcceptHandshake();
    });
    return peer;
  }

  bool WaitForLog(std::size_t lines) {
    return test::ServeUntil(ui, [&] { return log.size() >= lines; });
  }

  test::FreshSettingsStore store;
  RecordingSpooler spooler{{"Receipt"}};
  platform::ScopedSpoolerOverride useSpooler{spooler};
  ScriptedServer server;
  test::ScopedEnv host{"PAVIX_CLOUD_HOST", "127.0.0.1"};
  test::ScopedEnv port{"PAVIX_CLOUD_PORT", std::to_string(server.Port())};
  platform::EventLoopDispatcher ui;
  TRuzadOridova::Timing timing;
  std::vector<std::string> log;
  std::unique_ptr<TRuzadOridova> channel;
};

TEST_F(RuzadOridovaTest, OpensWithItsIdentityAndSendsItEveryIntervalUntilStopped) {
  Start();
  std::unique_ptr<ScriptedPeer> peer;
  std::string request;
  Serving([&] {
    peer = server.Accept();
    if (peer) request = peer->ReadRequest();
  });
  ASSERT_TRUE(peer);
  EXPECT_EQ(request.substr(0, request.find("\r\n")),
            std::string("GET /web/ruzadoridova/RuzadOridovaSocket?guid=") + kEsn + "&printerver=V1.0 HTTP/1.1");
  EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"), std::string::npos);
  peer->Send(ScriptedPeer::AnswerFor(request));
  for (int i = 0; i < 2; ++i) {
    std::optional<test::ClientFrame> frame;
    Serving([&] { frame = peer->ReadFrame(); });
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->raw.size(), 42u);
    EXPECT_EQ(frame->first, 0x81);
    EXPECT_EQ(frame->second, 0xA4);
    EXPECT_EQ(frame->payload, kEsn);
  }
  channel->Running = false;
  channel->StopChannel();
  bool ended = false;
  Serving([&] { ended = peer->WaitForEnd(); });
  EXPECT_TRUE(ended);
  EXPECT_TRUE(log.empty());
}

TEST_F(RuzadOridovaTest, JobMessagesPrintAndLog) {
  Start();
  auto peer = AcceptAndShake(server);
  ASSERT_TRUE(peer);
  const std::string received = Line(texts::kCloudJobReceived);
  const std::string sent = Line(texts::kCloudJobSent);
  const std::string failed = Line(texts::kCloudErrorPrefix);
  struct Case {
    std::string message;
    std::size_t documents;
    std::vector<std::string> log;
  };
  const std::vector<Case> cases = {
      {R"({"Model":1,"Data":"[[27,64]]","MN":2})", 2, {received, sent}},
      {R"({"Model":2,"Data":"[[27,64]]","MN":1})", 0, {received, sent}},
      {R"({"Model":"1","Data":"[[65]]","MN":"1"})", 1, {received, sent}},
      {R"({"model":1})", 0, {received, failed + "json field Model not exists"}},
      {R"({"Model":1,"Data":"[1,2]","MN":1})", 0, {received, failed + "Invalid class typecast"}},
      {"no JSON at all", 0, {received, failed + "The message is not JSON text"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    log.clear();
    const std::size_t before = spooler.Documents().size();
    // "o" is ignored without a line; the job after it shows it was read.
    peer->Send(ServerFrame(0x1, "o") + ServerFrame(0x1, c.message));
    ASSERT_TRUE(WaitForLog(2));
    EXPECT_EQ(log, c.log);
    EXPECT_EQ(spooler.Documents().size() - before, c.documents);
  }
  const auto documents = spooler.Documents();
  ASSERT_EQ(documents.size(), 3u);
  EXPECT_EQ(documents[0].writes, (std::vector<std::vector<std::uint8_t>>{{27, 64}}));
  EXPECT_EQ(documents[2].writes, (std::vector<std::vector<std::uint8_t>>{{65}}));
}

TEST_F(RuzadOridovaTest, ComesBackAfterTheServerDropsTheConnection) {
  Start();
  for (const bool reset : {false, true}) {
    auto peer = AcceptAndShake(server);
    ASSERT_TRUE(peer);
    if (reset) {
      peer->Reset();
    } else {
      peer->Send(ServerFrame(0x8, std::string("\x03\xE9", 2)));  // 1001, going away
    }
  }
  auto third = AcceptAndShake(server);
  ASSERT_TRUE(third);
  EXPECT_TRUE(log.empty());  // a drop is no error
}

TEST_F(RuzadOridovaTest, StartedWhileNothingListensItLogsAndConnectsOnceTheServerAppears) {
  auto absent = std::make_unique<ScriptedServer>();
  const std::uint16_t freePort = absent->Port();
  absent.reset();
  test::ScopedEnv movedPort("PAVIX_CLOUD_PORT", std::to_string(freePort));
  Start();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0].substr(0, Line(texts::kCloudErrorPrefix).size()), Line(texts::kCloudErrorPrefix));
  EXPECT_EQ(log[1], Line(texts::kCloudReconnecting));
  ScriptedServer late(freePort);
  auto peer = AcceptAndShake(late);
  ASSERT_TRUE(peer);
}

TEST_F(RuzadOridovaTest, RefusedHandshakesAreRetriedSilentlyWithGrowingDelays) {
  Start();
  std::vector<Clock::time_point> attempts;
  for (int i = 0; i < 4; ++i) {
    std::unique_ptr<ScriptedPeer> peer;
    Serving([&] {
      peer = server.Accept(10s);
      if (!peer) return;
      attempts.push_back(Clock::now());
      peer->ReadRequest();
      peer->Send("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n");
    });
    ASSERT_TRUE(peer);
  }
  // 100 ms, 200 ms, 400 ms, less at most a fifth of jitter.
  EXPECT_GE(attempts[1] - attempts[0], 80ms);
  EXPECT_GE(attempts[2] - attempts[1], 160ms);
  EXPECT_GE(attempts[3] - attempts[2], 320ms);
  EXPECT_TRUE(log.empty());
}

TEST_F(RuzadOridovaTest, AServerThatStopsAnsweringPingsIsReplaced) {
  timing.PingInterval = 100ms;
  timing.PongTimeout = 300ms;
  Start();
  auto silent = AcceptAndShake(server);
  ASSERT_TRUE(silent);
  auto next = AcceptAndShake(server);
  ASSERT_TRUE(next);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], Line(texts::kCloudErrorPrefix) + "HeartBeat Timeout exceeded.");
  EXPECT_EQ(log[1], Line(texts::kCloudReconnecting));
}

TEST_F(RuzadOridovaTest, AnErrorWhileStoppedIsLoggedButNotRetried) {
  Start();
  auto peer = AcceptAndShake(server);
  ASSERT_TRUE(peer);
  channel->Running = false;
  channel->HandleError(nullptr, "Error writing message x.");
  EXPECT_EQ(log, (std::vector<std::string>{Line(texts::kCloudErrorPrefix) + "Error writing message x.",
                                           Line(texts::kCloudReconnecting)}));
  channel->HandleError(nullptr, "Error Decoding Header: Switching Protocols");
  EXPECT_EQ(log.size(), 2u);
}

}  // namespace
}  // namespace pavix
