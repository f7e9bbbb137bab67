#pragma once

#include <chrono>

namespace pavix::net {

// "Wait as long as it takes", for every wait that takes a time-out.
inline constexpr std::chrono::milliseconds kNoTimeLimit = std::chrono::milliseconds::max();

// The moment `timeout` from now; none (time_point::max) for kNoTimeLimit and
// for time-outs too long to add without overflow.
inline std::chrono::steady_clock::time_point DeadlineIn(std::chrono::milliseconds timeout) {
  using namespace std::chrono;
  if (timeout >= duration_cast<milliseconds>(hours(24 * 365 * 100))) return steady_clock::time_point::max();
  return steady_clock::now() + timeout;
}

// What is left until `deadline`: kNoTimeLimit for none, never below zero.
// Rounded up: the last fraction of a millisecond, rounded down to a wait of
// 0, would have a waiting loop poll without waiting until it passed.
inline std::chrono::milliseconds TimeLeftUntil(std::chrono::steady_clock::time_point deadline) {
  using namespace std::chrono;
  if (deadline == steady_clock::time_point::max()) return kNoTimeLimit;
  const auto left = ceil<milliseconds>(deadline - steady_clock::now());
  return left.count() < 0 ? milliseconds(0) : left;
}

}  // namespace pavix::net
