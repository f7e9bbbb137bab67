#include <gtest/gtest.h>

#include <atomic>
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
