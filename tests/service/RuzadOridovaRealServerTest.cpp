// The cloud print channel against a real WebSocket server standing in for
// the cloud print service: it records the identity, pushes a job, goes away
// and comes back.
#include <gtest/gtest.h>

#include "EventLoopDispatcher.h"
#include "RecordingSpooler.h"
#include "TestSupport.h"
#include "WebSocketPythonServer.h"
#include "WebSocketTestUi.h"
#include "uCommon.h"
#include "uRuzadOridova.h"

namespace pavix {
namespace {

using namespace std::chrono_literals;
using test::PythonWebSocketServer;

constexpr const char* kEsn = "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9";

TEST(RuzadOridovaRealServerTest, PrintsPushedJobsAndComesBackWhenTheServerDoes) {
  test::FreshSettingsStore store;
  NameValueList settings;
  settings.Add("ESN", kEsn);
  settings.Add("PrinterName", "Receipt");
  ASSERT_TRUE(WriteSettings(settings));
  platform::RecordingSpooler spooler{{"Receipt"}};
  platform::ScopedSpoolerOverride useSpooler{spooler};
  platform::EventLoopDispatcher ui;

  auto server = std::make_unique<PythonWebSocketServer>();
  PAVIX_NEED_PYTHON_SERVER(*server);
  const std::uint16_t port = server->Port();
  test::ScopedEnv host("PAVIX_CLOUD_HOST", "127.0.0.1");
  test::ScopedEnv portSetting("PAVIX_CLOUD_PORT", std::to_string(port));
  TRuzadOridova::Timing timing;
  timing.KeepAlive = 200ms;
  timing.RetryFirst = 100ms;
  timing.RetryMax = 400ms;
  timing.StartPause = 0ms;
  std::vector<std::string> log;
  auto channel = MakeStarted<TRuzadOridova>([&](const std::string& line) { log.push_back(line); }, ui, timing);
  channel->Running = true;
  channel->StartChannel();
  const auto report = [&](PythonWebSocketServer& on, const std::string& prefix) {
    std::optional<std::string> line;
    platform::RunServingUi(ui, [&] { line = on.Next(prefix); });
    return line.value_or("(none)");
  };

  EXPECT_EQ(report(*server, "connect "),
            std::string("connect /web/ruzadoridova/RuzadOridovaSocket?guid=") + kEsn + "&printerver=V1.0");
  EXPECT_EQ(report(*server, "text "), "text " + PythonWebSocketServer::Hex(kEsn));
  EXPECT_EQ(report(*server, "text "), "text " + PythonWebSocketServer::Hex(kEsn));

  server->Command("send " + PythonWebSocketServer::Hex(R"({"Model":1,"Data":"[[27,64]]","MN":2})"));
  server->Command("send " + PythonWebSocketServer::Hex("o"));
  EXPECT_TRUE(test::ServeUntil(ui, [&] { return spooler.Documents().size() >= 2; }));
  EXPECT_EQ(spooler.Documents().size(), 2u);

  server.reset();  // the cloud goes away ...
  server = std::make_unique<PythonWebSocketServer>(port);  // ... and comes back
  ASSERT_EQ(server->Port(), port) << server->Problem();
  EXPECT_EQ(report(*server, "connect ").rfind("connect /web/ruzadoridova/", 0), 0u);
  EXPECT_EQ(report(*server, "text "), "text " + PythonWebSocketServer::Hex(kEsn));

  channel->Running = false;
  channel->StopChannel();
  EXPECT_EQ(report(*server, "closed "), "closed 1006");  // closed without a close frame
  channel.reset();
}

}  // namespace
}  // namespace pavix
