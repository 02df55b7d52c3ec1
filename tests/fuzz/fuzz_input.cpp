#include "tests/fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/file_system.h"
#include "base/text_file.h"

namespace zuro::fuzz {

namespace {

std::string MakeLibraryFolder() {
  const char* temporary = std::getenv("TMPDIR");
  std::string pattern =
      std::string(temporary && *temporary ? temporary : "/tmp") + "/zuro-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    std::perror("zuro fuzz: cannot make a library folder");
    std::abort();
  }
  return pattern + "/";
}

void RemoveLibraryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(LibraryFolder(), ignored);
}

}  // namespace

std::string_view InputBytes(const uint8_t* data, size_t size) {
  return size == 0 ? std::string_view()
                   : std::string_view(reinterpret_cast<const char*>(data), size);
}

std::string FileText(const uint8_t* data, size_t size) {
  return DecodeText(std::string(InputBytes(data, size))).text;
}

std::vector<std::string_view> InputParts(std::string_view input, size_t most) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < most) {
    const size_t separator = input.find(kPartSeparator);
    if (separator == std::string_view::npos)
      break;
    parts.push_back(input.substr(0, separator));
    input.remove_prefix(separator + 1);
  }
  parts.push_back(input);
  return parts;
}

std::optional<std::string_view> PartAt(const std::vector<std::string_view>& parts, size_t index) {
  if (index >= parts.size())
    return std::nullopt;
  return parts[index];
}

// One folder for the whole run: making one for every input would cost more than most readings.
// Every target writes the files it reads before each input, so nothing carries over. The name
// is never destroyed, so that the removal at exit can still read it.
const std::string& LibraryFolder() {
  static const std::string* const folder = [] {
    const auto* made = new std::string(MakeLibraryFolder());
    std::atexit(RemoveLibraryFolder);
    return made;
  }();
  return *folder;
}

void PutLibraryFile(std::string_view name, std::optional<std::string_view> contents) {
  const std::string path = LibraryFolder() + std::string(name);
  if (!contents) {
    RemoveFile(path);
    return;
  }
  FileHandle file = OpenFile(path, "wb");
  const bool written =
      file && (contents->empty() ||
               std::fwrite(contents->data(), 1, contents->size(), file.get()) == contents->size());
  if (!written) {
    std::fprintf(stderr, "zuro fuzz: cannot write %s\n", path.c_str());
    std::abort();
  }
}

void RequireConsistent(const table::GridModel& table) {
  std::string problem;
  if (table.CheckInvariants(&problem))
    return;
  std::fprintf(stderr, "zuro fuzz: the table breaks its invariants: %s\n", problem.c_str());
  std::abort();
}

}  // namespace zuro::fuzz
