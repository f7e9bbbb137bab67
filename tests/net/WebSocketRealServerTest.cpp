// The WebSocket client against an independent, real WebSocket server: the
// server must accept its handshake and frames, and the client must take the
// server's messages, fragments, pings and close.
#include <gtest/gtest.h>

#include "EventLoopDispatcher.h"
#include "WebSocketClient.h"
#include "WebSocketPythonServer.h"
#include "WebSocketTestUi.h"

namespace pavix::net {
namespace {

using test::PythonWebSocketServer;

class WebSocketRealServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server = std::make_unique<PythonWebSocketServer>();
    PAVIX_NEED_PYTHON_SERVER(*server);
    client.Host = "127.0.0.1";
    client.Port = server->Port();
    client.Options.Parameters = "web/socket?guid=ABC&v=1";
    client.OnConnect = [this](TWebSocketConnection*) { events.push_back("connect"); };
    client.OnDisconnect = [this](TWebSocketConnection*, std::uint16_t code) {
      events.push_back("disconnect " + std::to_string(code));
    };
    client.OnMessage = [this](TWebSocketConnection*, const std::string& text) { events.push_back("message " + text); };
    client.OnError = [this](TWebSocketConnection*, const std::string& text) { events.push_back("error " + text); };
  }

  std::optional<std::string> Report(const std::string& prefix) {
    std::optional<std::string> report;
    platform::RunServingUi(ui, [&] { report = server->Next(prefix); });
    return report;
  }
  bool WaitForEvents(std::size_t count) {
    return test::ServeUntil(ui, [&] { return events.size() >= count; });
  }

  platform::EventLoopDispatcher ui;
  std::unique_ptr<PythonWebSocketServer> server;
  TWebSocketClient client{ui};
  std::vector<std::string> events;
};

TEST_F(WebSocketRealServerTest, TalksWithARealServerBothWays) {
  client.SetActive(true);
  ASSERT_TRUE(WaitForEvents(1));
  ASSERT_EQ(events, std::vector<std::string>{"connect"});
  EXPECT_EQ(Report("connect "), "connect /web/socket?guid=ABC&v=1");

  const std::string text = "h\xC3\xA9llo " + std::string(300, 'x');
  client.SendText(text);
  client.SendText("");
  EXPECT_EQ(Report("text "), "text " + PythonWebSocketServer::Hex(text));
  EXPECT_EQ(Report("text"), "text ");

  server->Command("send " + PythonWebSocketServer::Hex("job \xE2\x9C\x93"));
  server->Command("sendparts " + PythonWebSocketServer::Hex("one ") + " " + PythonWebSocketServer::Hex("two ") + " " +
                  PythonWebSocketServer::Hex("three"));
  server->Command("ping " + PythonWebSocketServer::Hex("are you there"));
  EXPECT_EQ(Report("pong"), "pong");
  ASSERT_TRUE(WaitForEvents(3));
  EXPECT_EQ(events[1], "message job \xE2\x9C\x93");
  EXPECT_EQ(events[2], "message one two three");

  server->Command("close 1001");
  EXPECT_EQ(Report("closed "), "closed 1000");  // the client's answer
  ASSERT_TRUE(WaitForEvents(4));
  EXPECT_EQ(events[3], "disconnect 1001");
  EXPECT_FALSE(client.Active());
}

}  // namespace
}  // namespace pavix::net
