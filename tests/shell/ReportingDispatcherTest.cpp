// Work that other threads queue for the desktop program's UI thread runs in
// a window procedure: an error it raises must end in the error box there.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "FakeShell.h"
#include "ReportingDispatcher.h"

namespace pavix {
namespace {

TEST(ReportingDispatcher, QueuedWorkThatRaisesIsReportedAndTheQueueGoesOn) {
  test::FakeShell shell;
  ReportingDispatcher ui(shell.ui, shell);
  std::vector<int> ran;
  std::thread other([&ui, &ran] {
    ui.Post([&ran] { ran.push_back(1); });
    ui.Post([] { throw Exception("The printer went away"); });
    ui.Post([&ran] { ran.push_back(3); });
  });
  other.join();
  EXPECT_NO_THROW(ui.ProcessPending());
  EXPECT_EQ(ran, (std::vector<int>{1, 3}));
  EXPECT_EQ(shell.errors, std::vector<std::string>{"The printer went away"});
}

TEST(ReportingDispatcher, AWaitingCallerGetsItsOwnErrorAndNoBoxIsShown) {
  test::FakeShell shell;
  ReportingDispatcher ui(shell.ui, shell);
  std::atomic<bool> done{false};
  bool raisedThere = false;
  std::thread other([&] {
    try {
      ui.RunAndWait([] { throw Exception("refused"); });
    } catch (const Exception&) {
      raisedThere = true;
    }
    done = true;
    ui.Post([] {});
  });
  ui.ServeUntil([&done] { return done.load(); });
  other.join();
  EXPECT_TRUE(raisedThere);
  EXPECT_TRUE(shell.errors.empty());
}

}  // namespace
}  // namespace pavix
