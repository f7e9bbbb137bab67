#pragma once

#include <type_traits>

#include "JsonBase.h"
#include "JsonErrors.h"

namespace pavix {

// Views a value as class T: none stays none, a value of another class raises
// InvalidCastError. JsonCast<TJSONcustomlist> accepts lists and objects alike.
template <class T>
T* JsonCast(TJSONbase* value) {
  static_assert(std::is_base_of_v<TJSONbase, T>);
  if (value == nullptr) return nullptr;
  if (auto* viewed = dynamic_cast<T*>(value)) return viewed;
  throw InvalidCastError();
}

template <class T>
const T* JsonCast(const TJSONbase* value) {
  return JsonCast<T>(const_cast<TJSONbase*>(value));
}

}  // namespace pavix
