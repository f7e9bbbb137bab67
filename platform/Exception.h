#pragma once

#include <stdexcept>
#include <string>

namespace pavix {

// The one error type of the system: a message in the system code page. The few
// boundaries that catch errors (the local endpoint, the cloud channel, the UI)
// show or send exactly this text, so subclasses only tell causes apart.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace pavix
