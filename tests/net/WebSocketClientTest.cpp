// The WebSocket client against a scripted server on loopback: the opening
// request and the answer checks, frames both ways, closing, heartbeat and
// the order of events on the UI thread.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "Base64.h"
#include "EventLoopDispatcher.h"
#include "WebSocketClient.h"
#include "WebSocketScriptedServer.h"
#include "WebSocketTestUi.h"

namespace pavix::net {
namespace {

using namespace std::chrono_literals;
using test::ClientFrame;
using test::ScriptedPeer;
using test::ScriptedServer;
using test::ServerFrame;

std::string CloseFrame(std::uint16_t code, const std::string& reason = "") {
  return ServerFrame(0x8, std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)} + reason);
}

std::uint16_t CodeOf(const ClientFrame& frame) {
  if (frame.payload.size() < 2) return 0;
  return static_cast<std::uint16_t>((static_cast<std::uint8_t>(frame.payload[0]) << 8) |
                                    static_cast<std::uint8_t>(frame.payload[1]));
}

class WebSocketClientTest : public ::testing::Test {
 protected:
  WebSocketClientTest() {
    client.Host = "127.0.0.1";
    client.Port = server.Port();
    client.Options.Parameters = "/web/socket?guid=X";
    client.OnConnect = [this](TWebSocketConnection*) { events.push_back("connect"); };
    client.OnDisconnect = [this](TWebSocketConnection*, std::uint16_t code) {
      events.push_back("disconnect " + std::to_string(code));
    };
    client.OnMessage = [this](TWebSocketConnection*, const std::string& text) { events.push_back("message " + text); };
    client.OnBinary = [this](TWebSocketConnection*, const std::string& data) { events.push_back("binary " + data); };
    client.OnError = [this](TWebSocketConnection*, const std::string& text) { events.push_back("error " + text); };
    client.OnException = [this](TWebSocketConnection*, const std::string& text) {
      events.push_back("exception " + text);
    };
  }

  // Connects and completes the handshake; the peer is the server's side.
  std::unique_ptr<ScriptedPeer> Open() {
    events.clear();
    client.SetActive(true);
    auto peer = server.Accept();
    if (!peer) return nullptr;
    peer->AcceptHandshake();
    EXPECT_TRUE(WaitForEvents(1));
    EXPECT_EQ(events, std::vector<std::string>{"connect"});
    events.clear();
    return peer;
  }

  bool WaitForEvents(std::size_t count) {
    return test::ServeUntil(ui, [&] { return events.size() >= count; });
  }
  bool WaitForDisconnect() {
    return test::ServeUntil(ui, [&] {
      for (const auto& event : events) {
        if (event.rfind("disconnect", 0) == 0) return true;
      }
      return false;
    });
  }

  platform::EventLoopDispatcher ui;
  ScriptedServer server;
  TWebSocketClient client{ui};
  std::vector<std::string> events;
};

TEST_F(WebSocketClientTest, OpeningRequestIsTheFixedLinesInOrderWithAVerifiableKey) {
  client.Port = server.Port();
  client.SetActive(true);
  EXPECT_TRUE(client.Active());
  auto peer = server.Accept();
  ASSERT_TRUE(peer);
  const std::string request = peer->ReadRequest();
  const std::string port = std::to_string(server.Port());
  const std::regex expected("GET /web/socket\\?guid=X HTTP/1\\.1\r\n"
                            "Host: 127\\.0\\.0\\.1:" + port + "\r\n"
                            "Upgrade: websocket\r\n"
                            "Connection: Upgrade\r\n"
                            "Sec-WebSocket-Key: ([A-Za-z0-9+/]{22}==)\r\n"
                            "Origin: 127\\.0\\.0\\.1\r\n"
                            "Sec-WebSocket-Version: 13\r\n\r\n");
  std::smatch match;
  ASSERT_TRUE(std::regex_match(request, match, expected)) << request;
  ASSERT_EQ(DecodeBase64(match[1].str()).value_or("").size(), 16u);
  peer->Send(ScriptedPeer::AnswerFor(request));
  ASSERT_TRUE(WaitForEvents(1));
  EXPECT_EQ(events, std::vector<std::string>{"connect"});
}

TEST_F(WebSocketClientTest, TextFramesAreMaskedWithAFreshKeyAndTheShortestLength) {
  auto peer = Open();
  ASSERT_TRUE(peer);
  const std::string identity(36, 'A');
  client.SendText(identity);
  client.SendText(identity);
  client.SendText("");
  client.SendText(std::string(70000, 'x'));
  const auto first = peer->ReadFrame();
  const auto second = peer->ReadFrame();
  const auto empty = peer->ReadFrame();
  const auto large = peer->ReadFrame();
  ASSERT_TRUE(first && second && empty && large);
  EXPECT_EQ(first->raw.size(), 2u + 4u + 36u);
  EXPECT_EQ(first->first, 0x81);
  EXPECT_EQ(first->second, 0xA4);
  EXPECT_EQ(first->payload, identity);
  EXPECT_NE(first->maskKey, second->maskKey);
  EXPECT_NE(first->raw.substr(6), identity);  // the payload on the wire is masked
  EXPECT_EQ(empty->raw.size(), 6u);
  EXPECT_EQ(empty->second, 0x80);
  EXPECT_EQ(large->second, 0xFF);  // mask bit and the 8-byte length form
  EXPECT_EQ(large->payload, std::string(70000, 'x'));
}

TEST_F(WebSocketClientTest, NothingIsSentBeforeTheHandshakeHasCompleted) {
  client.SetActive(true);
  auto peer = server.Accept();
  ASSERT_TRUE(peer);
  const std::string request = peer->ReadRequest();
  client.SendText("too early");
  EXPECT_FALSE(peer->ReadFrame(300ms));
  peer->Send(ScriptedPeer::AnswerFor(request));
  ASSERT_TRUE(WaitForEvents(1));
  client.SendText("now");
  const auto frame = peer->ReadFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->payload, "now");
}

struct AnswerCase {
  const char* name;
  std::string (*answer)(const std::string& request);
  std::vector<std::string> events;
};

TEST_F(WebSocketClientTest, TheAnswerIsCheckedBeforeAnyFrame) {
  const std::vector<AnswerCase> cases = {
      {"404", [](const std::string&) { return std::string("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"); },
       {"error Error Decoding Header: Switching Protocols", "disconnect 0"}},
      {"wrong accept key",
       [](const std::string&) {
         return std::string("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                            "Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n\r\n");
       },
       {"error Handshake Error: Invalid Accept Key", "disconnect 0"}},
      {"lower-case accept header name",
       [](const std::string& request) { return ScriptedPeer::AnswerFor(request, "sec-websocket-accept"); },
       {"connect"}},
      {"no upgrade or connection line",
       [](const std::string& request) {
         std::string answer = ScriptedPeer::AnswerFor(request);
         for (const char* line : {"Upgrade: websocket\r\n", "Connection: Upgrade\r\n"}) {
           answer.erase(answer.find(line), std::string(line).size());
         }
         return answer;
       },
       {"connect"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    events.clear();
    client.SetActive(true);
    auto peer = server.Accept();
    ASSERT_TRUE(peer);
    peer->Send(c.answer(peer->ReadRequest()));
    ASSERT_TRUE(WaitForEvents(c.events.size()));
    EXPECT_EQ(events, c.events);
    if (c.events.size() == 2) {
      EXPECT_TRUE(peer->WaitForEnd());
    }
    client.SetActive(false);
  }
}

struct ProtocolCase {
  const char* name;
  std::string frames;
  std::uint16_t closeSent;
  std::vector<std::string> events;
};

TEST_F(WebSocketClientTest, BrokenFramesAndCloseFramesEndTheConnectionWithTheRightCode) {
  const std::vector<ProtocolCase> cases = {
      {"reserved bits", ServerFrame(0x1, "x", true, 0x40), 1002,
       {"disconnect 0", "error Invalid value of RSV while no Extension Negotiated"}},
      {"fragmented ping", ServerFrame(0x9, "x", false), 1002,
       {"disconnect 0", "error Control Message must not be fragmented"}},
      {"close 1001 with a reason", CloseFrame(1001, "going away"), 1000, {"disconnect 1001"}},
      {"empty close", ServerFrame(0x8, ""), 1000, {"disconnect 0"}},
      {"close 1005", CloseFrame(1005), 1002, {"disconnect 1005", "error Invalid close code"}},
      {"close with 1 byte", ServerFrame(0x8, "x"), 1002,
       {"disconnect 0", "error Invalid Payload length for close code"}},
      {"unmatched pong before any ping", ServerFrame(0xA, "pong") + CloseFrame(1000), 1000, {"disconnect 1000"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto peer = Open();
    ASSERT_TRUE(peer);
    peer->Send(c.frames);
    const auto close = peer->ReadFrame();
    ASSERT_TRUE(close);
    EXPECT_EQ(close->Opcode(), 0x8);
    EXPECT_EQ(CodeOf(*close), c.closeSent);
    EXPECT_TRUE(peer->WaitForEnd());  // closed right after the close frame
    ASSERT_TRUE(WaitForEvents(c.events.size()));
    EXPECT_EQ(events, c.events);
    EXPECT_FALSE(client.Active());
  }
}

TEST_F(WebSocketClientTest, FragmentsMakeOneMessageAndAPingBetweenThemIsAnsweredAtOnce) {
  auto peer = Open();
  ASSERT_TRUE(peer);
  peer->Send(ServerFrame(0x1, "ab", false) + ServerFrame(0x0, "cd", false) + ServerFrame(0x9, "are you there"));
  const auto pong = peer->ReadFrame();
  ASSERT_TRUE(pong);
  EXPECT_EQ(pong->Opcode(), 0xA);
  EXPECT_EQ(pong->payload, "are you there");
  EXPECT_TRUE(events.empty());
  peer->Send(ServerFrame(0x0, "\xff\xfe", true));  // not UTF-8: delivered unchanged
  peer->Send(ServerFrame(0x1, std::string(70000, 'j')));
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(events[0], "message abcd\xff\xfe");
  EXPECT_EQ(events[1], "message " + std::string(70000, 'j'));
}

// The UI thread is busy elsewhere (the test does not serve it) while the
// server sends: what waits for it is bounded. Every message queued is still
// handled; the one beyond the limit ends the connection with 1008 and an
// error instead of vanishing.
TEST_F(WebSocketClientTest, MessagesBeyondTheReceiveQueueLimitEndTheConnectionAndNoneQueuedIsLost) {
  struct FloodCase {
    const char* name;
    TWSQueueLimit limit;
    std::vector<std::string> messages;
    std::size_t handled;  // all of them: the limit is not passed
  };
  const std::vector<FloodCase> cases = {
      {"exactly the limits", {3, 15}, {"12345", "12345", "12345"}, 3},
      {"one message too many", {3, 1 << 20}, {"a", "b", "c", "d", "e"}, 3},
      {"one byte too many", {100, 10}, {"12345", "12345", "x"}, 2},
      {"a message larger than the byte limit fits an empty queue", {100, 10}, {std::string(50, 'L'), "y"}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    client.ReceiveQueueLimit = c.limit;
    auto peer = Open();
    ASSERT_TRUE(peer);
    std::string flood;
    for (const auto& message : c.messages) flood += ServerFrame(0x1, message);
    peer->Send(flood + ServerFrame(0x9, "after"));
    const auto answer = peer->ReadFrame();  // sent while nothing has been handled
    ASSERT_TRUE(answer);
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < c.handled; ++i) expected.push_back("message " + c.messages[i]);
    if (c.handled == c.messages.size()) {
      EXPECT_EQ(answer->Opcode(), 0xA);
      peer->Send(CloseFrame(1000));
      expected.push_back("disconnect 1000");
    } else {
      EXPECT_EQ(answer->Opcode(), 0x8);
      EXPECT_EQ(CodeOf(*answer), 1008);
      expected.push_back("disconnect 0");
      expected.push_back("error Receive queue full: more than " + std::to_string(c.limit.Messages) + " messages or " +
                         std::to_string(c.limit.Bytes) + " bytes waiting");
    }
    EXPECT_TRUE(peer->WaitForEnd());
    ASSERT_TRUE(WaitForEvents(expected.size()));
    EXPECT_EQ(events, expected);
    EXPECT_FALSE(client.Active());
  }
}

TEST_F(WebSocketClientTest, APeerThatGoesAwayGivesOneDisconnectWithoutError) {
  for (const bool reset : {false, true}) {
    SCOPED_TRACE(reset ? "reset" : "orderly close");
    auto peer = Open();
    ASSERT_TRUE(peer);
    peer->Send(ServerFrame(0x1, "last words"));
    if (reset) {
      ASSERT_TRUE(WaitForEvents(1));
      peer->Reset();
    } else {
      peer.reset();
    }
    ASSERT_TRUE(WaitForDisconnect());
    EXPECT_EQ(events, (std::vector<std::string>{"message last words", "disconnect 0"}));
    events.clear();
  }
}

TEST_F(WebSocketClientTest, ClosingOnTheUiThreadDeliversTheDisconnectionBeforeReturning) {
  auto peer = Open();
  ASSERT_TRUE(peer);
  client.SetActive(false);
  EXPECT_EQ(events, std::vector<std::string>{"disconnect 0"});
  EXPECT_FALSE(client.Active());
  EXPECT_TRUE(peer->WaitForEnd());
  EXPECT_FALSE(peer->ReadFrame(100ms));  // no close frame was sent
}

TEST_F(WebSocketClientTest, EachEventIsDeliveredOnceAlsoWhenAHandlerClosesTheConnection) {
  auto peer = Open();
  ASSERT_TRUE(peer);
  client.OnMessage = [this](TWebSocketConnection*, const std::string& text) {
    events.push_back("message " + text);
    if (text == "one") client.SetActive(false);
    events.push_back("end of " + text);
  };
  peer->Send(ServerFrame(0x1, "one") + ServerFrame(0x1, "two"));
  ASSERT_TRUE(WaitForDisconnect());
  // "two" was queued before the disconnection, so it comes before it, inside
  // the handler of "one" that closed the connection.
  EXPECT_EQ(events, (std::vector<std::string>{"message one", "message two", "end of two", "disconnect 0", "end of one"}));
  ui.ProcessPending();
  EXPECT_EQ(events.size(), 5u);
}

TEST_F(WebSocketClientTest, ADisconnectHandlerCanConnectAgainAndTheNewConnectionHasItsHeartbeat) {
  client.HeartBeat.Enabled = true;
  client.HeartBeat.Interval = 100ms;
  auto peer = Open();
  ASSERT_TRUE(peer);
  client.OnDisconnect = [this](TWebSocketConnection*, std::uint16_t) {
    events.push_back("disconnect");
    if (events.size() == 1) client.SetActive(true);
  };
  peer.reset();
  ASSERT_TRUE(WaitForEvents(1));
  auto second = server.Accept();
  ASSERT_TRUE(second);
  second->AcceptHandshake();
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(events, (std::vector<std::string>{"disconnect", "connect"}));
  EXPECT_TRUE(client.Active());
  const auto ping = second->ReadFrame();
  ASSERT_TRUE(ping);
  EXPECT_EQ(ping->Opcode(), 0x9);
}

TEST_F(WebSocketClientTest, AServerThatNeverAnswersTheHandshakeIsGivenUp) {
  client.ConnectTimeout = 300ms;
  client.SetActive(true);
  auto peer = server.Accept();
  ASSERT_TRUE(peer);
  peer->ReadRequest();
  ASSERT_TRUE(WaitForDisconnect());
  EXPECT_EQ(events, (std::vector<std::string>{"error Handshake Error: no answer from the server", "disconnect 0"}));
  EXPECT_TRUE(peer->WaitForEnd());
}

TEST_F(WebSocketClientTest, AFailedConnectStaysInactiveAndReportsOnlyTheException) {
  std::uint16_t closedPort = 0;
  {
    ScriptedServer gone;
    closedPort = gone.Port();
  }
  client.Port = closedPort;
  client.ConnectTimeout = 5s;
  client.SetActive(true);
  EXPECT_FALSE(client.Active());
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].rfind("exception ", 0), 0u) << events[0];
}

TEST_F(WebSocketClientTest, HeartbeatPingsCarryTheTimeAndAMissingPongEndsTheConnection) {
  client.HeartBeat.Enabled = true;
  client.HeartBeat.Interval = 100ms;
  client.HeartBeat.Timeout = 400ms;
  auto peer = Open();
  ASSERT_TRUE(peer);
  const auto ping = peer->ReadFrame();
  ASSERT_TRUE(ping);
  EXPECT_EQ(ping->Opcode(), 0x9);
  EXPECT_EQ(ping->second & 0x80, 0x80);
  EXPECT_TRUE(std::regex_match(ping->payload, std::regex("20[0-9]{15}"))) << ping->payload;
  peer->Send(ServerFrame(0xA, ping->payload));  // answered: no event
  // Later pings stay unanswered.
  ASSERT_TRUE(WaitForDisconnect());
  EXPECT_EQ(events, (std::vector<std::string>{"exception HeartBeat Timeout exceeded.", "disconnect 0"}));
  EXPECT_TRUE(peer->WaitForEnd());
}

TEST_F(WebSocketClientTest, APongThatMatchesNoOutstandingPingIsAnError) {
  client.HeartBeat.Enabled = true;
  client.HeartBeat.Interval = 100ms;
  auto peer = Open();
  ASSERT_TRUE(peer);
  const auto ping = peer->ReadFrame();
  ASSERT_TRUE(ping);
  peer->Send(ServerFrame(0xA, "not the ping text"));
  std::optional<ClientFrame> close;
  while ((close = peer->ReadFrame()) && close->Opcode() == 0x9) {
  }
  ASSERT_TRUE(close);
  EXPECT_EQ(close->Opcode(), 0x8);
  EXPECT_EQ(CodeOf(*close), 1000);
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(events, (std::vector<std::string>{"disconnect 0", "error Received Pong is different from Sent Ping"}));
}

}  // namespace
}  // namespace pavix::net
