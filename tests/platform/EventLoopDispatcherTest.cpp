#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "EventLoopDispatcher.h"

namespace pavix::platform {
namespace {

TEST(EventLoopDispatcher, OnTheUiThreadWorkRunsAtOnce) {
  EventLoopDispatcher ui;
  EXPECT_TRUE(ui.IsUiThread());
  bool ran = false;
  ui.RunAndWait([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_FALSE(ui.ProcessPending());
}

TEST(EventLoopDispatcher, OtherThreadsWaitForTheUiThreadAndGetItsErrors) {
  EventLoopDispatcher ui;
  std::thread::id ranOn;
  bool otherIsUi = true;
  std::atomic<bool> done{false};
  std::string error;
  std::thread caller([&] {
    otherIsUi = ui.IsUiThread();
    ui.RunAndWait([&] { ranOn = std::this_thread::get_id(); });
    try {
      ui.RunAndWait([] { throw std::runtime_error("no paper"); });
    } catch (const std::runtime_error& e) {
      error = e.what();
    }
    done = true;
    ui.Post([] {});
  });
  ui.ServeUntil([&] { return done.load(); });
  caller.join();
  EXPECT_FALSE(otherIsUi);
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_EQ(error, "no paper");
}

TEST(EventLoopDispatcher, PostedWorkRunsInOrderAndOneBatchAtATime) {
  EventLoopDispatcher ui;
  std::vector<int> order;
  ui.Post([&] {
    order.push_back(1);
    ui.Post([&] { order.push_back(3); });  // waits for the next round
  });
  ui.Post([&] { order.push_back(2); });
  EXPECT_TRUE(ui.ProcessPending());
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_TRUE(ui.ProcessPending());
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(EventLoopDispatcher, WorkThatFailsInABatchDoesNotStrandTheCallersBehindIt) {
  auto ui = std::make_unique<EventLoopDispatcher>();
  std::atomic<int> callersServed{0};
  std::vector<std::thread> callers;
  ui->Post([] { throw std::runtime_error("posted work failed"); });
  for (int i = 0; i < 4; ++i) {
    callers.emplace_back([&, &dispatcher = *ui] {
      try {
        dispatcher.RunAndWait([&] { ++callersServed; });
      } catch (const DispatcherClosedError&) {
      }
    });
  }
  // Let every caller queue behind the failing work, so that one batch holds
  // them all.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  int failures = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (callersServed < 4 && std::chrono::steady_clock::now() < deadline) {
    try {
      if (!ui->ProcessPending()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } catch (const std::runtime_error&) {
      ++failures;
    }
  }
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(callersServed, 4);
  ui.reset();  // a stranded caller leaves with DispatcherClosedError
  for (auto& caller : callers) caller.join();
}

TEST(EventLoopDispatcher, ServingWhileBlockedLetsTheAwaitedThreadUseTheUiThread) {
  // The stop hazard: the UI thread waits for a thread that itself waits for
  // the UI thread.
  EventLoopDispatcher ui;
  std::vector<std::string> lines;
  RunServingUi(ui, [&] {
    std::thread([&] { ui.RunAndWait([&] { lines.push_back("from the worker"); }); }).join();
  });
  EXPECT_EQ(lines, (std::vector<std::string>{"from the worker"}));
  EXPECT_THROW(RunServingUi(ui, [] { throw std::runtime_error("stop failed"); }), std::runtime_error);
}

}  // namespace
}  // namespace pavix::platform
