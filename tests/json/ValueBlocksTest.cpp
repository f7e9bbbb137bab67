#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "uJSON.h"

namespace pavix {
namespace {

std::string Job(int seed, int count) {
  std::string text = "[";
  for (int i = 0; i < count; ++i) text += (i > 0 ? "," : "") + std::to_string((seed * 31 + i) % 256);
  return text + "]";
}

bool Holds(const TJSONbase& job, int seed, int count) {
  if (job.ChildCount() != count) return false;
  for (int i = 0; i < count; ++i) {
    if (JsonCast<TJSONnumber>(job.ChildAt(i))->Value() != (seed * 31 + i) % 256) return false;
  }
  return true;
}

// Numbers made on one thread and destroyed on another, by several threads at
// once: no number may share memory with another while both live.
TEST(ValueBlocksTest, NumbersLiveAndDieOnAnyThread) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 20;
  constexpr int kCount = 3000;  // several batches of blocks per tree
  std::vector<std::unique_ptr<TJSONbase>> made(kThreads);
  std::vector<std::unique_ptr<TJSONbase>> toDestroy(kThreads);
  std::vector<int> failures(kThreads, 0);
  for (int round = 0; round < kRounds; ++round) {
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        toDestroy[t].reset();
        made[t] = TJSON::JsonFromText(Job(round * kThreads + t, kCount), true);
        if (!made[t] || !Holds(*made[t], round * kThreads + t, kCount)) ++failures[t];
      });
    }
    for (auto& thread : threads) thread.join();  // each thread ends, handing back what it keeps
    // All trees of this round exist together: each still holds its own values.
    for (int t = 0; t < kThreads; ++t) {
      ASSERT_NE(made[t], nullptr);
      EXPECT_TRUE(Holds(*made[t], round * kThreads + t, kCount)) << "round " << round << ", thread " << t;
    }
    // Each tree is destroyed next round by the thread after the one that made it.
    for (int t = 0; t < kThreads; ++t) toDestroy[(t + 1) % kThreads] = std::move(made[t]);
  }
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
}

}  // namespace
}  // namespace pavix
