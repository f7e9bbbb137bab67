// Replays a fuzz corpus without libFuzzer: every file of the folders (or the
// files) named on the command line goes once through the fuzz target, so the
// inputs found so far keep being checked in the ordinary test run.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
    } else if (std::filesystem::is_regular_file(path)) {
      files.push_back(path);
    } else {
      std::cerr << "no such file or folder: " << path.string() << "\n";
      return 1;
    }
  }
  if (files.empty()) {
    std::cerr << "usage: " << argv[0] << " corpus-folder-or-file...\n";
    return 1;
  }
  for (const auto& file : files) Replay(file);
  std::cout << "replayed " << files.size() << " inputs\n";
  return 0;
}
