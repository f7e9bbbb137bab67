// The local print endpoint end to end: a raw HTTP client posts jobs over
// loopback, the recording spooler takes the documents, and the test thread
// is the UI thread that shows the log.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "EventLoopDispatcher.h"
#include "CodePage.h"
#include "HttpTestClient.h"
#include "IntegerText.h"
#include "RecordingSpooler.h"
#include "TestSupport.h"
#include "uCommon.h"
#include "uJSON.h"
#include "uLocalPrinter.h"
#include "uTexts.h"

namespace pavix {
namespace {

using platform::RecordingSpooler;
using Bytes = std::vector<std::uint8_t>;

const std::string kSuccessReply =
    "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Encoding: utf-8\r\nContent-Type: application/json\r\n"
    "Content-Length: 41\r\nDate: *\r\n\r\n{\"RetCode\":0,\"RetMessage\":\"\xE6\x89\x93\xE5\x8D\xB0\xE6\x88\x90\xE5\x8A\x9F\"}";
const std::string kBareReply = "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 0\r\nDate: *\r\n\r\n";

std::string Post(const std::string& target, const std::string& body,
                 const std::string& contentType = "application/json") {
  return "POST " + target + " HTTP/1.1\r\nHost: pc\r\nContent-Type: " + contentType +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// The body of a reply from the endpoint.
std::string BodyOf(const std::string& response) { return response.substr(response.find("\r\n\r\n") + 4); }

// Tells when a thread other than the UI thread starts waiting for it.
class WatchedDispatcher final : public platform::IUiDispatcher {
 public:
  bool IsUiThread() const override { return inner_.IsUiThread(); }
  void RunAndWait(std::function<void()> work) override {
    if (!IsUiThread()) {
      std::lock_guard lock(mutex_);
      ++waiting_;
      changed_.notify_all();
    }
    inner_.RunAndWait(std::move(work));
  }
  void Post(std::function<void()> work) override { inner_.Post(std::move(work)); }
  bool ProcessPending() override { return inner_.ProcessPending(); }
  void ServeUntil(const std::function<bool()>& done) override { inner_.ServeUntil(done); }

  void WaitForWaiters(int count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return waiting_ >= count; });
  }

 private:
  platform::EventLoopDispatcher inner_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int waiting_ = 0;
};

class LocalPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NameValueList settings;
    settings.Add("LocalPort", "0");  // a free port
    settings.Add("PrinterName", "Receipt");
    ASSERT_TRUE(WriteSettings(settings));
    channel_ = MakeStarted<TLocalPrinter>([this](const std::string& line) { lines_.push_back(line); }, ui_);
    channel_->StartChannel();
  }

  // Sends each request from its own thread while this, the UI thread,
  // serves the log; the responses with their Date values masked.
  std::vector<std::string> Exchange(const std::vector<std::string>& requests) {
    std::vector<std::string> responses(requests.size());
    std::atomic<std::size_t> done{0};
    std::vector<std::thread> clients;
    for (std::size_t i = 0; i < requests.size(); ++i) {
      clients.emplace_back([&, i] {
        responses[i] = test::Exchange(channel_->ListeningPort(), requests[i]);
        ++done;
        ui_.Post([] {});
      });
    }
    ui_.ServeUntil([&] { return done == requests.size(); });
    for (auto& client : clients) client.join();
    for (auto& response : responses) response = test::WithoutDate(response);
    return responses;
  }
  std::string Exchange(const std::string& request) { return Exchange(std::vector<std::string>{request}).front(); }

  std::vector<std::vector<Bytes>> Documents() const {
    std::vector<std::vector<Bytes>> writes;
    for (const auto& document : spooler_.Documents()) writes.push_back(document.writes);
    return writes;
  }

  static std::string Line(std::string_view text) { return texts::System(text); }

  test::FreshSettingsStore store_;
  RecordingSpooler spooler_{{"Receipt"}};
  platform::ScopedSpoolerOverride use_{spooler_};
  WatchedDispatcher ui_;
  std::vector<std::string> lines_;
  std::unique_ptr<TLocalPrinter> channel_;
};

TEST_F(LocalPrinterTest, PrintsAJobAndAnswersWithTheSuccessText) {
  EXPECT_EQ(Exchange(Post("/", "[[27,64]]")), kSuccessReply);
  EXPECT_EQ(Documents(), (std::vector<std::vector<Bytes>>{{{27, 64}}}));
  EXPECT_EQ(lines_, (std::vector<std::string>{Line(texts::kLocalJobReceived), Line(texts::kLocalJobSent)}));
}

TEST_F(LocalPrinterTest, CopiesAndModelFromTheQuery) {
  struct Case {
    std::string target;
    std::size_t documents;
  };
  for (const Case& c : {Case{"/?mn=3", 3}, Case{"/print?MN=2&model=1", 2}, Case{"/?model=2", 0}, Case{"/?mn=0", 0}}) {
    const std::size_t before = spooler_.Documents().size();
    EXPECT_EQ(Exchange(Post(c.target, "[[27,64],[10]]")), kSuccessReply) << c.target;
    EXPECT_EQ(spooler_.Documents().size() - before, c.documents) << c.target;
  }
  // Skipped or not, each job is logged as received and as sent.
  std::vector<std::string> expected;
  for (int i = 0; i < 4; ++i) {
    expected.push_back(Line(texts::kLocalJobReceived));
    expected.push_back(Line(texts::kLocalJobSent));
  }
  EXPECT_EQ(lines_, expected);
}

TEST_F(LocalPrinterTest, FailuresAnswerRetCodeMinusOneWithTheMessage) {
  struct Case {
    std::string target, body, message;
  };
  for (const Case& c : {
           Case{"/?mn=abc", "[[27]]", "'abc' is not a valid integer value"},
           Case{"/?model=x", "[[27]]", "'x' is not a valid integer value"},
           Case{"/", "{\"a\":1}", "Invalid class typecast"},
           Case{"/?model=2", "{\"a\":1}", "Invalid class typecast"},
           Case{"/", "[[27],5]", "Invalid class typecast"},
           Case{"/", "[[null]]", "Could not convert variant of type (Null) into type (Integer)"},
           Case{"/", "[[4294967296]]", "Overflow while converting variant of type (Double) into type (Integer)"},
           Case{"/", "not json", "The print job is not JSON text"},
       }) {
    const std::string reply = Exchange(Post(c.target, c.body));
    EXPECT_EQ(BodyOf(reply), "{\"RetCode\":-1,\"RetMessage\":\"\xE6\x89\x93\xE5\x8D\xB0\xE5\xA4\xB1\xE8\xB4\xA5:" +
                                 c.message + "\"}")
        << c.target << " " << c.body;
    EXPECT_NE(reply.find("\r\nContent-Encoding: utf-8\r\nContent-Type: application/json\r\n"), std::string::npos);
  }
  EXPECT_TRUE(spooler_.Documents().empty());
  // Not JSON is no failure when nothing is to be printed.
  EXPECT_EQ(Exchange(Post("/?model=2", "not json")), kSuccessReply);
}

// A connection's thread has a small stack: the deepest text the JSON reader
// follows must still fit on it, in every kind of build.
TEST_F(LocalPrinterTest, TheDeepestJobTheReaderFollowsIsReadOnAConnectionThread) {
  for (const std::size_t depth : {std::size_t{512}, std::size_t{100000}}) {
    const std::string body = std::string(depth, '[') + std::string(depth, ']');
    EXPECT_EQ(Exchange(Post("/?model=2", body)), kSuccessReply) << depth;
  }
}

TEST_F(LocalPrinterTest, APrinterThatFailsGivesRetCodeMinusOneAsValidJson) {
  // The spooler's message quotes the printer's name: the reply must still parse.
  NameValueList settings;
  settings.Add("PrinterName", "Kitchen \\ \"2\"");
  ASSERT_TRUE(WriteSettings(settings));
  const std::string body = BodyOf(Exchange(Post("/", "[[27,64]]")));
  const auto reply = TJSON::JsonFromText(body, true);
  ASSERT_NE(reply, nullptr) << body;
  const auto* object = JsonCast<TJSONobject>(reply.get());
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(TJSON::JsonToText(object->FieldByName("RetCode"), true), "-1");
  const std::u16string message = JsonCast<TJSONstring>(object->FieldByName("RetMessage"))->Text();
  EXPECT_EQ(platform::Utf16ToUtf8(message).rfind("\xE6\x89\x93\xE5\x8D\xB0\xE5\xA4\xB1\xE8\xB4\xA5:Printer \"Kitchen \\ \"2\"\" could not be opened", 0), 0u)
      << platform::Utf16ToUtf8(message);
  EXPECT_TRUE(spooler_.Documents().empty());
}

TEST_F(LocalPrinterTest, RequestsWithoutABodyGetOnlyTheLogLineAndTheBareAnswer) {
  EXPECT_EQ(Exchange(Post("/", "")), kBareReply);
  EXPECT_EQ(Exchange("GET /?mn=1 HTTP/1.0\r\n\r\n"), kBareReply);
  EXPECT_EQ(Exchange(Post("/", "mn=2", "application/x-www-form-urlencoded")), kBareReply);
  EXPECT_EQ(lines_, std::vector<std::string>(3, Line(texts::kLocalEmptyJobReceived)));
  EXPECT_TRUE(spooler_.Documents().empty());
}

TEST_F(LocalPrinterTest, JobsPostedTogetherAreAllPrintedAndLoggedOnceEach) {
  const std::vector<std::string> replies = Exchange(std::vector<std::string>(6, Post("/", "[[65]]")));
  for (const auto& reply : replies) EXPECT_EQ(reply, kSuccessReply);
  EXPECT_EQ(spooler_.Documents().size(), 6u);
  EXPECT_EQ(std::count(lines_.begin(), lines_.end(), Line(texts::kLocalJobReceived)), 6);
  EXPECT_EQ(std::count(lines_.begin(), lines_.end(), Line(texts::kLocalJobSent)), 6);
}

TEST_F(LocalPrinterTest, StoppingWhileARequestWaitsInLogEndsAndKeepsItsLines) {
  std::string reply;
  std::thread client([&] { reply = test::Exchange(channel_->ListeningPort(), Post("/", "[[27,64]]")); });
  ui_.WaitForWaiters(1);  // the request waits in Log for this thread
  channel_->StopChannel();
  client.join();
  EXPECT_EQ(lines_, (std::vector<std::string>{Line(texts::kLocalJobReceived), Line(texts::kLocalJobSent)}));
  EXPECT_EQ(spooler_.Documents().size(), 1u);
  // Stopped means stopped: nobody listens, and a restart listens again.
  EXPECT_THROW(test::ConnectTo(channel_->ListeningPort()), net::SocketError);
  channel_->StartChannel();
  EXPECT_EQ(Exchange(Post("/", "[[1]]")), kSuccessReply);
}

TEST_F(LocalPrinterTest, PortInUseFailsTheStartWithTheBindMessage) {
  NameValueList settings;
  settings.Add("LocalPort", std::to_string(channel_->ListeningPort()));
  ASSERT_TRUE(WriteSettings(settings));
  auto second = MakeStarted<TLocalPrinter>([](const std::string&) {}, ui_);
  try {
    second->StartChannel();
    FAIL() << "a second channel started on a port in use";
  } catch (const net::BindError& error) {
    EXPECT_STREQ(error.what(), "Could not bind socket. Address and port are already in use.");
  }
}

TEST(LocalPrinterSettings, APortThatIsNotANumberFailsTheConstructor) {
  test::FreshSettingsStore store;
  platform::EventLoopDispatcher ui;
  NameValueList settings;
  settings.Add("LocalPort", "82x");
  ASSERT_TRUE(WriteSettings(settings));
  EXPECT_THROW(TLocalPrinter([](const std::string&) {}, ui), IntegerConversionError);
}

}  // namespace
}  // namespace pavix
