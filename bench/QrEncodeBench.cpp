// The pairing code from text to bitmap against a reference encoder in the
// same run: our component encoding a 176-character pairing text at version 8,
// level L with the automatic mask into its 57 × 57 bitmap, and libqrencode
// encoding the same text at 8-L in 8-bit mode and filling a bitmap of the same
// size. Then the largest byte symbol, 2953 bytes at 40-L, both ways. Prints
// the time per symbol of both and their ratio.
#include <benchmark/benchmark.h>
#include <qrencode.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "DESUtils.h"
#include "Graphics.h"
#include "QRCode.h"
#include "QRSymbolEncoder.h"

namespace {

using pavix::qr::TQRCode;

std::string PairingText() {
  const std::string payload =
      R"({"QRType":"PCPrinter","Type":2,"Model":1,"Addr":"192.168.1.20","Port":8212,)"
      R"("PESN":"3F2504E0-4F89-11D3-9A0C-0305E82C3301"})";
  std::string text = pavix::EncryptPairingText(payload, pavix::PairingKey, pavix::PairingIv);
  if (text.size() != 176) throw std::logic_error("pairing text is not 176 characters");
  return text;
}

// 2953 bytes: the byte capacity of 40-L, every byte value.
std::string LargestText() {
  std::string text;
  for (int i = 0; i < 2953; ++i) text.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
  return text;
}

// Ours: what the pairing dialog does on each show, a redraw for a new Code.
void Ours(benchmark::State& state, const std::string& text, std::int32_t version) {
  TQRCode qr(pavix::platform::PortableGraphics(), nullptr);
  qr.SetBinaryOperation(false);  // the text as it is, no ~hex~ escapes
  qr.SetEclevel(0);
  qr.SetVersion(version);
  for (auto _ : state) {
    qr.SetCode(text);
    if (!qr.SymbolDisped()) state.SkipWithError("not encoded");
    benchmark::DoNotOptimize(qr.Picture().Bitmap()->Pixels().data());
  }
}

// The reference: encode, then the same bitmap filling (white, then every
// dark module black, with the 4-module quiet zone), one pixel per module.
void Reference(benchmark::State& state, const std::string& text, int version) {
  const int side = 17 + 4 * version + 8;
  std::vector<std::uint32_t> bitmap(static_cast<std::size_t>(side) * side);
  for (auto _ : state) {
    QRcode* code = QRcode_encodeData(static_cast<int>(text.size()), reinterpret_cast<const unsigned char*>(text.data()),
                                     version, QR_ECLEVEL_L);
    if (code == nullptr || code->version != version) {
      state.SkipWithError("reference did not encode");
      break;
    }
    std::fill(bitmap.begin(), bitmap.end(), 0x00FFFFFFu);
    for (int row = 0; row < code->width; ++row) {
      for (int column = 0; column < code->width; ++column) {
        if (code->data[row * code->width + column] & 1) {
          bitmap[static_cast<std::size_t>((row + 4) * side + column + 4)] = 0;
        }
      }
    }
    QRcode_free(code);
    benchmark::DoNotOptimize(bitmap.data());
  }
}

void BM_Pairing8L_Ours(benchmark::State& state) { Ours(state, PairingText(), 8); }
void BM_Pairing8L_Reference(benchmark::State& state) { Reference(state, PairingText(), 8); }
void BM_Largest40L_Ours(benchmark::State& state) { Ours(state, LargestText(), 40); }
void BM_Largest40L_Reference(benchmark::State& state) { Reference(state, LargestText(), 40); }

BENCHMARK(BM_Pairing8L_Ours);
BENCHMARK(BM_Pairing8L_Reference);
BENCHMARK(BM_Largest40L_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Largest40L_Reference)->Unit(benchmark::kMillisecond);

// Keeps the usual console output and collects the CPU time per symbol for the
// summary at the end; CPU time, so that other work on the machine disturbs
// the ratio less.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
      seconds_[run.benchmark_name()] = run.GetAdjustedCPUTime() * UnitSeconds(run.time_unit);
    }
  }

  void PrintSummary() const {
    std::printf("\nOne symbol, text -> bitmap (CPU time per symbol)\n");
    std::printf("%-40s %14s %14s %12s\n", "symbol", "ours", "libqrencode", "ratio");
    Compare("pairing text 176 B, 8-L, 57 x 57", "BM_Pairing8L");
    Compare("2953 B, 40-L, 185 x 185", "BM_Largest40L");
  }

 private:
  static double UnitSeconds(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kNanosecond: return 1e-9;
      case benchmark::kMicrosecond: return 1e-6;
      case benchmark::kMillisecond: return 1e-3;
      case benchmark::kSecond: return 1.0;
    }
    return 1.0;
  }

  double Seconds(const std::string& name) const {
    const auto found = seconds_.find(name);
    return found == seconds_.end() ? NAN : found->second;
  }

  void Compare(const char* label, const std::string& name) const {
    const double ours = Seconds(name + "_Ours");
    const double reference = Seconds(name + "_Reference");
    std::printf("%-40s %11.1f us %11.1f us %11.2fx\n", label, ours * 1e6, reference * 1e6, ours / reference);
  }

  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
