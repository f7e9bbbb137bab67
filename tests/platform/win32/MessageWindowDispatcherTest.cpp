#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "MessageWindowDispatcher.h"

namespace pavix::platform {
namespace {

TEST(MessageWindowDispatcher, OtherThreadsWaitForTheUiThreadAndGetItsErrors) {
  MessageWindowDispatcher ui;
  DWORD ranOn = 0;
  std::string error;
  std::atomic<bool> done{false};
  std::thread caller([&] {
    ui.RunAndWait([&] { ranOn = GetCurrentThreadId(); });
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
  EXPECT_EQ(ranOn, GetCurrentThreadId());
  EXPECT_EQ(error, "no paper");
}

TEST(MessageWindowDispatcher, PostedWorkRunsInOrderWhenMessagesArePumped) {
  MessageWindowDispatcher ui;
  std::vector<int> order;
  ui.Post([&] { order.push_back(1); });
  ui.Post([&] { order.push_back(2); });
  EXPECT_TRUE(ui.ProcessPending());
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_FALSE(ui.ProcessPending());
  bool ranAtOnce = false;
  ui.RunAndWait([&] { ranAtOnce = true; });
  EXPECT_TRUE(ranAtOnce);
}

TEST(MessageWindowDispatcher, ServingWhileBlockedLetsTheAwaitedThreadUseTheUiThread) {
  MessageWindowDispatcher ui;
  std::vector<std::string> lines;
  RunServingUi(ui, [&] {
    std::thread([&] { ui.RunAndWait([&] { lines.push_back("from the worker"); }); }).join();
  });
  EXPECT_EQ(lines, (std::vector<std::string>{"from the worker"}));
}

}  // namespace
}  // namespace pavix::platform
