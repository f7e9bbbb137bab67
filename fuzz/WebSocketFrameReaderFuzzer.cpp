// Fuzz target of the WebSocket frame reader: any bytes from the server, fed
// whole and in two pieces cut where the first byte says. Both ways must read
// the same, nothing may exceed the message limit, and after an error or a
// close nothing more may come out.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "WebSocketFrames.h"

namespace {

using pavix::net::TWSFrameReader;
using pavix::net::TWSReceived;

// Small enough that the fuzzer reaches the limit with short inputs.
constexpr std::size_t kLimit = 4096;

std::vector<TWSReceived> Read(std::string_view bytes, std::size_t cut) {
  TWSFrameReader reader(kLimit);
  std::vector<TWSReceived> out;
  reader.Feed(bytes.substr(0, cut), out);
  reader.Feed(bytes.substr(cut), out);
  return out;
}

bool Same(const std::vector<TWSReceived>& a, const std::vector<TWSReceived>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind || a[i].payload != b[i].payload || a[i].error != b[i].error ||
        a[i].closeCode != b[i].closeCode || a[i].replyCode != b[i].replyCode) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto whole = Read(bytes, bytes.size());
  const auto split = Read(bytes, size == 0 ? 0 : data[0] % (size + 1));
  if (!Same(whole, split)) std::abort();
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (whole[i].payload.size() > kLimit) std::abort();
    const bool final = whole[i].kind == TWSReceived::Kind::Error || whole[i].kind == TWSReceived::Kind::Close;
    if (final && i + 1 != whole.size()) std::abort();
  }
  return 0;
}
