#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace pavix::platform {

struct RegistryKeyCloser {
  void operator()(HKEY key) const { ::RegCloseKey(key); }
};

// An open registry key, closed when its owner goes.
using UniqueRegistryKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegistryKeyCloser>;

}  // namespace pavix::platform
