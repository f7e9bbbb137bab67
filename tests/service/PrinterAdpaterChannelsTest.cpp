// The service controller with the real channels: a local start listens and
// prints what is posted, a taken port fails the start, and a cloud start
// connects to a scripted cloud service on loopback and prints what it pushes.
// The test thread is the UI thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "EventLoopDispatcher.h"
#include "HttpTestClient.h"
#include "RecordingSpooler.h"
#include "Socket.h"
#include "TestSupport.h"
#include "WebSocketScriptedServer.h"
#include "WebSocketTestUi.h"
#include "uCommon.h"
#include "uLocalPrinter.h"
#include "uPrinter.h"
#include "uRuzadOridova.h"
#include "uTexts.h"

namespace pavix {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kEsn = "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9";

std::string Line(std::string_view text) { return texts::System(text); }

class PrinterAdpaterChannelsTest : public ::testing::Test {
 protected:
  PrinterAdpaterChannelsTest() {
    NameValueList settings;
    settings.Add("PrinterName", "receipt");
    settings.Add("LocalPort", "0");  // a free port
    settings.Add("ESN", kEsn);
    EXPECT_TRUE(WriteSettings(settings));
    controller.LogCallback = [this](const std::string& line) { log.push_back(line); };
  }

  static void SetMode(const std::string& printerType) {
    NameValueList settings;
    settings.Add("PrinterType", printerType);
    ASSERT_TRUE(WriteSettings(settings));
  }

  // Posts from another thread while this, the UI thread, serves the log.
  std::string Exchange(std::uint16_t port, const std::string& request) {
    std::string response;
    std::atomic<bool> done{false};
    std::thread client([&] {
      response = test::Exchange(port, request);
      done = true;
      ui.Post([] {});
    });
    ui.ServeUntil([&] { return done.load(); });
    client.join();
    return response;
  }

  std::vector<std::vector<Bytes>> Documents() const {
    std::vector<std::vector<Bytes>> writes;
    for (const auto& document : spooler.Documents()) writes.push_back(document.writes);
    return writes;
  }

  test::FreshSettingsStore store;
  platform::RecordingSpooler spooler{{"Receipt"}};
  platform::ScopedSpoolerOverride useSpooler{spooler};
  platform::EventLoopDispatcher ui;
  std::vector<std::string> log;
  TPrinterAdpater controller{ui};
};

TEST_F(PrinterAdpaterChannelsTest, ALocalStartListensAndPrintsWhatIsPosted) {
  SetMode("2");
  controller.StartService();
  auto* local = dynamic_cast<TLocalPrinter*>(controller.CurrentChannel());
  ASSERT_NE(local, nullptr);
  const std::uint16_t port = local->ListeningPort();
  const std::string body = "[[27,64]]";
  const std::string response = Exchange(port, "POST / HTTP/1.1\r\nHost: pc\r\nContent-Type: application/json\r\n"
                                              "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  EXPECT_EQ(response.substr(response.find("\r\n\r\n") + 4), LocalPrintSuccessText());
  EXPECT_EQ(Documents(), (std::vector<std::vector<Bytes>>{{{27, 64}}}));
  controller.StopService();
  EXPECT_THROW(test::ConnectTo(port), net::SocketError);
  EXPECT_EQ(log, (std::vector<std::string>{Line(texts::kServiceStarted), Line(texts::kLocalJobReceived),
                                           Line(texts::kLocalJobSent), Line(texts::kServiceStopped)}));
}

TEST_F(PrinterAdpaterChannelsTest, ATakenPortFailsTheStartWithTheBindErrorAndLeavesItStopped) {
  SetMode("2");
  controller.StartService();
  const std::uint16_t taken = dynamic_cast<TLocalPrinter&>(*controller.CurrentChannel()).ListeningPort();
  NameValueList settings;
  settings.Add("LocalPort", std::to_string(taken));
  ASSERT_TRUE(WriteSettings(settings));

  TPrinterAdpater second(ui);
  std::vector<std::string> secondLog;
  second.LogCallback = [&](const std::string& line) { secondLog.push_back(line); };
  try {
    second.StartService();
    FAIL() << "a second service started on a port in use";
  } catch (const net::BindError& error) {
    EXPECT_STREQ(error.what(), "Could not bind socket. Address and port are already in use.");
  }
  ASSERT_NE(second.CurrentChannel(), nullptr);
  EXPECT_FALSE(second.CurrentChannel()->Running);
  EXPECT_TRUE(secondLog.empty());
  // Once the port is free the same channel starts.
  controller.StopService();
  second.StartService();
  EXPECT_EQ(secondLog, std::vector<std::string>{Line(texts::kServiceStarted)});
  EXPECT_EQ(Exchange(taken, "GET / HTTP/1.1\r\nHost: pc\r\n\r\n").substr(0, 15), "HTTP/1.1 200 OK");
}

TEST_F(PrinterAdpaterChannelsTest, ACloudStartConnectsAndPrintsWhatTheCloudPushes) {
  test::ScriptedServer server;
  test::ScopedEnv host{"PAVIX_CLOUD_HOST", "127.0.0.1"};
  test::ScopedEnv port{"PAVIX_CLOUD_PORT", std::to_string(server.Port())};
  SetMode("1");
  controller.StartService();
  ASSERT_NE(dynamic_cast<TRuzadOridova*>(controller.CurrentChannel()), nullptr);
  std::unique_ptr<test::ScriptedPeer> peer;
  std::string request;
  platform::RunServingUi(ui, [&] {
    peer = server.Accept(10s);
    if (!peer) return;
    request = peer->ReadRequest();
    peer->Send(test::ScriptedPeer::AnswerFor(request));
  });
  ASSERT_TRUE(peer);
  EXPECT_EQ(request.substr(0, request.find("\r\n")),
            std::string("GET /web/ruzadoridova/RuzadOridovaSocket?guid=") + kEsn + "&printerver=V1.0 HTTP/1.1");
  peer->Send(test::ServerFrame(0x1, R"({"Model":1,"Data":"[[27,64]]","MN":1})"));
  ASSERT_TRUE(test::ServeUntil(ui, [&] { return log.size() >= 3; }));
  EXPECT_EQ(Documents(), (std::vector<std::vector<Bytes>>{{{27, 64}}}));
  controller.StopService();
  bool ended = false;
  platform::RunServingUi(ui, [&] { ended = peer->WaitForEnd(); });
  EXPECT_TRUE(ended);
  EXPECT_EQ(log, (std::vector<std::string>{Line(texts::kServiceStarted), Line(texts::kCloudJobReceived),
                                           Line(texts::kCloudJobSent), Line(texts::kServiceStopped)}));
}

}  // namespace
}  // namespace pavix
