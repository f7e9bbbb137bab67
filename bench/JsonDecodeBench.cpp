// The job decode path of the print endpoint against a reference: JSON text
// -> JsonFromText(utf8) -> list -> DecodePrintJob, and the same text parsed by
// RapidJSON into its DOM with the same bytes taken out, measured in one run.
// Prints MB/s of both and their ratio for two realistic jobs, then the time
// per byte of both from 10 KB to 1 MB of text, which stays flat when no step
// is quadratic, and the same for the writer.
#include <benchmark/benchmark.h>
#include <rapidjson/document.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "uJSON.h"
#include "uLocalPrintCommand.h"

namespace {

using pavix::TPrintData;
using pavix::TPrintItem;

std::string JobText(const TPrintData& job) {
  std::string text = "[";
  for (std::size_t b = 0; b < job.size(); ++b) {
    text += b == 0 ? "[" : ",[";
    for (std::size_t i = 0; i < job[b].size(); ++i) {
      if (i > 0) text += ',';
      text += std::to_string(job[b][i]);
    }
    text += ']';
  }
  return text + "]";
}

void Append(TPrintItem& block, const std::string& bytes) { block.insert(block.end(), bytes.begin(), bytes.end()); }

// A till receipt of about 2 KB of printer bytes: initialise, a centred bold
// heading, item lines, a total, feed and cut, one block per line.
TPrintData TextReceipt() {
  TPrintData job;
  job.push_back({27, 64});
  job.push_back({27, 97, 1, 29, 33, 17});
  Append(job.emplace_back(), "PAVIX DEMO SHOP\n");
  job.push_back({29, 33, 0, 27, 97, 0});
  Append(job.emplace_back(), "Order 000123        2024-06-07 12:34\n");
  Append(job.emplace_back(), "--------------------------------\n");
  for (int i = 0; job.size() < 60; ++i) {
    Append(job.emplace_back(), "Item " + std::to_string(100 + i) + " noodles, large   x" + std::to_string(1 + i % 3) +
                                   "    " + std::to_string(12 + i) + ".50\n");
  }
  Append(job.emplace_back(), "--------------------------------\n");
  job.push_back({27, 69, 1});
  Append(job.emplace_back(), "TOTAL                     845.00\n");
  job.push_back({27, 69, 0, 27, 100, 4, 29, 86, 66, 0});
  return job;
}

// A raster image (GS v 0) of `dataBytes` bytes, 48 bytes a row, in blocks of
// 24 rows; a dithered picture, so the bytes spread over 0-255 (about 3.6
// bytes of JSON each).
TPrintData RasterJob(std::size_t dataBytes) {
  const std::size_t rows = (dataBytes + 47) / 48;
  TPrintData job;
  job.push_back({27, 64, 27, 97, 1});
  job.push_back({29, 118, 48, 0, 48, 0, static_cast<std::uint8_t>(rows & 0xFF), static_cast<std::uint8_t>(rows >> 8)});
  std::mt19937 random(42);
  std::size_t produced = 0;
  while (produced < dataBytes) {
    TPrintItem& block = job.emplace_back();
    for (std::size_t i = 0; i < 48 * 24 && produced < dataBytes; ++i, ++produced) {
      block.push_back(static_cast<std::uint8_t>(random() >> 24));
    }
  }
  job.push_back({27, 100, 3});
  return job;
}

// A raster job whose text is about `textBytes` long.
std::string RasterText(std::size_t textBytes) {
  const std::string probe = JobText(RasterJob(10000));
  return JobText(RasterJob(textBytes * 10000 / probe.size()));
}

TPrintData DecodeOurs(const std::string& text) {
  const auto tree = pavix::TJSON::JsonFromText(text, true);
  const auto* job = pavix::JsonCast<pavix::TJSONlist>(tree.get());
  if (job == nullptr) throw std::runtime_error("not a job");
  return pavix::DecodePrintJob(*job);
}

// The same rules for the values that the reference supports without effort:
// numbers rounded to the low 8 bits of their integer.
TPrintData DecodeReference(const std::string& text) {
  rapidjson::Document document;
  document.Parse(text.data(), text.size());
  if (document.HasParseError() || !document.IsArray()) throw std::runtime_error("not a job");
  TPrintData data(document.Size());
  for (rapidjson::SizeType b = 0; b < document.Size(); ++b) {
    const auto& block = document[b];
    if (!block.IsArray()) throw std::runtime_error("not a block");
    TPrintItem& item = data[b];
    item.resize(block.Size());
    for (rapidjson::SizeType i = 0; i < block.Size(); ++i) {
      const auto& value = block[i];
      if (value.IsInt()) {
        item[i] = static_cast<std::uint8_t>(value.GetInt());
      } else if (value.IsNumber()) {
        item[i] = static_cast<std::uint8_t>(static_cast<std::int32_t>(std::nearbyint(value.GetDouble())));
      } else {
        throw std::runtime_error("not a byte");
      }
    }
  }
  return data;
}

template <TPrintData (*Decode)(const std::string&)>
void Run(benchmark::State& state, const std::string& text) {
  if (Decode(text) != (Decode == DecodeOurs ? DecodeReference(text) : DecodeOurs(text))) {
    state.SkipWithError("the two decoders disagree");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(Decode(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

const std::string& ReceiptText() {
  static const std::string text = JobText(TextReceipt());
  return text;
}

const std::string& LogoText() {
  static const std::string text = JobText(RasterJob(100 * 1024));
  return text;
}

const std::string& SizedText(std::int64_t bytes) {
  static std::map<std::int64_t, std::string> texts;
  auto& text = texts[bytes];
  if (text.empty()) text = RasterText(static_cast<std::size_t>(bytes));
  return text;
}

void BM_Receipt_Ours(benchmark::State& state) { Run<DecodeOurs>(state, ReceiptText()); }
void BM_Receipt_RapidJSON(benchmark::State& state) { Run<DecodeReference>(state, ReceiptText()); }
void BM_Logo_Ours(benchmark::State& state) { Run<DecodeOurs>(state, LogoText()); }
void BM_Logo_RapidJSON(benchmark::State& state) { Run<DecodeReference>(state, LogoText()); }
void BM_Size_Ours(benchmark::State& state) { Run<DecodeOurs>(state, SizedText(state.range(0))); }
void BM_Size_RapidJSON(benchmark::State& state) { Run<DecodeReference>(state, SizedText(state.range(0))); }

void BM_Size_Writer(benchmark::State& state) {
  const auto tree = pavix::TJSON::JsonFromText(SizedText(state.range(0)), true);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = pavix::TJSON::JsonToText(tree.get(), true);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

BENCHMARK(BM_Receipt_Ours);
BENCHMARK(BM_Receipt_RapidJSON);
BENCHMARK(BM_Logo_Ours);
BENCHMARK(BM_Logo_RapidJSON);
constexpr std::int64_t kSizes[] = {10'000, 30'000, 100'000, 300'000, 1'000'000};
BENCHMARK(BM_Size_Ours)->Arg(kSizes[0])->Arg(kSizes[1])->Arg(kSizes[2])->Arg(kSizes[3])->Arg(kSizes[4]);
BENCHMARK(BM_Size_RapidJSON)->Arg(kSizes[0])->Arg(kSizes[1])->Arg(kSizes[2])->Arg(kSizes[3])->Arg(kSizes[4]);
BENCHMARK(BM_Size_Writer)->Arg(kSizes[0])->Arg(kSizes[1])->Arg(kSizes[2])->Arg(kSizes[3])->Arg(kSizes[4]);

// Keeps the usual console output and collects the CPU time per iteration of
// every run, for the summary printed at the end. CPU time rather than wall
// time: other work on the machine then disturbs the ratios less.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
      seconds_[run.benchmark_name()] = run.GetAdjustedCPUTime() * TimeUnitSeconds(run.time_unit);
    }
  }

  void PrintSummary() const {
    std::printf("\nJob decode, text -> tree -> print data (MB/s: 10^6 bytes of JSON text a CPU second)\n");
    std::printf("%-34s %10s %12s %12s %14s\n", "job", "JSON bytes", "ours MB/s", "RapidJSON", "time ratio");
    Compare("2 KB text receipt", "BM_Receipt", ReceiptText().size());
    Compare("100 KB raster logo (GS v 0)", "BM_Logo", LogoText().size());
    std::printf("\nTime per byte of JSON text, raster jobs (flat = linear)\n");
    std::printf("%-12s %16s %16s %16s\n", "text bytes", "ours ns/B", "RapidJSON ns/B", "writer ns/B");
    for (const std::int64_t size : kSizes) {
      const double bytes = static_cast<double>(SizedText(size).size());
      const std::string arg = "/" + std::to_string(size);
      std::printf("%-12.0f %16.2f %16.2f %16.2f\n", bytes, PerByte("BM_Size_Ours" + arg, bytes),
                  PerByte("BM_Size_RapidJSON" + arg, bytes), PerByte("BM_Size_Writer" + arg, bytes));
    }
  }

 private:
  static double TimeUnitSeconds(benchmark::TimeUnit unit) {
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

  double PerByte(const std::string& name, double bytes) const { return Seconds(name) * 1e9 / bytes; }

  void Compare(const char* label, const std::string& name, std::size_t bytes) const {
    const double ours = Seconds(name + "_Ours");
    const double reference = Seconds(name + "_RapidJSON");
    std::printf("%-34s %10zu %12.1f %12.1f %13.2fx\n", label, bytes, static_cast<double>(bytes) / ours / 1e6,
                static_cast<double>(bytes) / reference / 1e6, ours / reference);
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
