// The channel base: log lines cross to the UI thread once each and in order,
// and a channel's thread ends when the channel dies.
#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <string>
#include <thread>
#include <vector>

#include "EventLoopDispatcher.h"
#include "IPrinter.h"

namespace pavix {
namespace {

class IdleChannel final : public TPrinterbase {
 public:
  IdleChannel(TLogCallback log, platform::IUiDispatcher& ui, std::chrono::milliseconds interval)
      : TPrinterbase(std::move(log), ui), interval_(interval) {}
  ~IdleChannel() override { TerminateAndWait(); }
  void StartChannel() override {}
  void StopChannel() override {}
  std::atomic<int> loops{0};

 protected:
  void Execute() override {
    while (!Terminated()) {
      ++loops;
      SleepUnlessTerminated(interval_);
    }
  }

 private:
  std::chrono::milliseconds interval_;
};

class PrinterbaseTest : public ::testing::Test {
 protected:
  std::unique_ptr<IdleChannel> MakeChannel(std::chrono::milliseconds interval = std::chrono::hours(1)) {
    return MakeStarted<IdleChannel>([this](const std::string& line) {
      EXPECT_TRUE(ui_.IsUiThread());
      lines_.push_back(line);
    }, ui_, interval);
  }

  platform::EventLoopDispatcher ui_;
  std::vector<std::string> lines_;  // touched on the UI thread only
};

TEST_F(PrinterbaseTest, LogOnTheUiThreadAppendsBeforeItReturns) {
  auto channel = MakeChannel();
  channel->Log("one");
  EXPECT_EQ(lines_, (std::vector<std::string>{"one"}));
}

TEST_F(PrinterbaseTest, ThreadsLoggingAtOnceDeliverEachLineOnceInTheirOwnOrder) {
  auto channel = MakeChannel();
  constexpr int kThreads = 8;
  constexpr int kLines = 50;
  std::barrier start(kThreads);
  std::atomic<int> finished{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      for (int i = 0; i < kLines; ++i) channel->Log(std::to_string(t) + ":" + std::to_string(i));
      ++finished;
      ui_.Post([] {});
    });
  }
  ui_.ServeUntil([&] { return finished == kThreads; });
  for (auto& thread : threads) thread.join();
  ASSERT_EQ(lines_.size(), static_cast<std::size_t>(kThreads * kLines));
  std::vector<int> next(kThreads, 0);
  for (const std::string& line : lines_) {
    const int t = std::stoi(line.substr(0, line.find(':')));
    EXPECT_EQ(line, std::to_string(t) + ":" + std::to_string(next[t]++));
  }
}

TEST_F(PrinterbaseTest, DestroyingASleepingChannelEndsItsLoopAtOnce) {
  // With an hour between passes, only a wake-up on termination lets the
  // destructor return within the test's time.
  auto channel = MakeChannel(std::chrono::hours(1));
  while (channel->loops == 0) std::this_thread::yield();
  channel.reset();
  SUCCEED();
}

}  // namespace
}  // namespace pavix
