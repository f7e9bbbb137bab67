#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "uJSON.h"

// Builds job trees in tests: List(List(Num(27), Str(u"64")), List(Null())).
namespace pavix::test {

inline std::unique_ptr<TJSONbase> Num(long double value) { return std::make_unique<TJSONnumber>(value); }
inline std::unique_ptr<TJSONbase> Str(std::u16string text) { return std::make_unique<TJSONstring>(std::move(text)); }
inline std::unique_ptr<TJSONbase> Bool(bool flag) { return std::make_unique<TJSONboolean>(flag); }
inline std::unique_ptr<TJSONbase> Null() { return std::make_unique<TJSONnull>(); }

template <class... Items>
std::unique_ptr<TJSONlist> List(Items... items) {
  auto list = std::make_unique<TJSONlist>();
  (list->AppendChild(std::move(items)), ...);
  return list;
}

// A job of byte blocks given as numbers.
inline std::unique_ptr<TJSONlist> Job(std::initializer_list<std::initializer_list<long double>> blocks) {
  auto job = std::make_unique<TJSONlist>();
  for (const auto& block : blocks) {
    auto list = std::make_unique<TJSONlist>();
    for (long double value : block) list->AppendChild(Num(value));
    job->AppendChild(std::move(list));
  }
  return job;
}

}  // namespace pavix::test
