#include "Win32ErrorText.h"

#include <windows.h>

#include <memory>

namespace pavix::platform {

namespace {

struct LocalFreer {
  void operator()(char* text) const { ::LocalFree(text); }
};

}  // namespace

std::string Win32ErrorText(unsigned long code) {
  char* raw = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<char*>(&raw), 0, nullptr);
  const std::unique_ptr<char, LocalFreer> owned(raw);
  std::string text(raw != nullptr ? raw : "", raw != nullptr ? length : 0);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  // Codes without a system message still have to tell the user something.
  if (text.empty()) text = "Windows error " + std::to_string(code);
  return text;
}

}  // namespace pavix::platform
