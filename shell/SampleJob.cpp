#include "SampleJob.h"

#include <string_view>

namespace pavix {

namespace {

std::unique_ptr<TJSONlist> Block(std::string_view bytes) {
  auto block = std::make_unique<TJSONlist>();
  for (const char byte : bytes) block->AppendChild(std::make_unique<TJSONnumber>(static_cast<unsigned char>(byte)));
  return block;
}

}  // namespace

std::unique_ptr<TJSONlist> MakeSampleJob() {
  using namespace std::string_view_literals;  // the commands hold NUL bytes
  auto job = std::make_unique<TJSONlist>();
  job->AppendChild(Block("\x1B\x40"sv));                          // reset
  job->AppendChild(Block("\x1B\x61\x01Pavix Print Server\n"sv));  // centred
  job->AppendChild(Block("\x1B\x61\x00Test ticket\n1 x Coffee   3.50\n"sv));
  job->AppendChild(Block("\x1B\x64\x03"sv));      // feed three lines
  job->AppendChild(Block("\x1D\x56\x00"sv));      // cut
  return job;
}

}  // namespace pavix
