// Runs a fuzz target on saved inputs without libFuzzer: every file named on the command line and
// every file of every folder named (sorted by name), each once. The native test run replays the
// seed corpus and the regression inputs of every target this way, under the sanitizers of the
// build. Exit status 0 when every input ran, 1 when a path could not be read or none was given.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

// The files of a folder, or the file itself; false when the path names neither.
bool CollectInputs(const fs::path& path, std::vector<fs::path>& inputs) {
  std::error_code error;
  if (fs::is_regular_file(path, error)) {
    inputs.push_back(path);
    return true;
  }
  if (!fs::is_directory(path, error))
    return false;
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(path, error)) {
    if (entry.is_regular_file())
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  inputs.insert(inputs.end(), files.begin(), files.end());
  return !error;
}

// The input is handed over in a buffer of exactly its size, as libFuzzer does, so that a read
// past its end is caught by the address sanitizer.
bool RunInput(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(file), {});
  if (!file.good() && !file.eof())
    return false;
  const std::unique_ptr<uint8_t[]> data(new uint8_t[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), data.get());
  std::fprintf(stderr, "running %s (%zu bytes)\n", path.c_str(), bytes.size());
  LLVMFuzzerTestOneInput(data.get(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
    return 1;
  }
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!CollectInputs(argv[i], inputs)) {
      std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[i]);
      return 1;
    }
  }
  for (const fs::path& input : inputs) {
    if (!RunInput(input)) {
      std::fprintf(stderr, "%s: cannot read %s\n", argv[0], input.c_str());
      return 1;
    }
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
