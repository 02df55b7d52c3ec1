// Native builds: the file system takes the UTF-8 paths as they are.
#include <sys/stat.h>
#include <time.h>

#include <cstdio>

#include "base/file_system.h"

namespace zuro::platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool RemoveFile(const std::string& path) {
  return std::remove(path.c_str()) == 0;
}

bool MoveFileOver(const std::string& source, const std::string& target) {
  return std::rename(source.c_str(), target.c_str()) == 0;
}

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0)
    return std::nullopt;
  FileStamp stamp;
  stamp.id = static_cast<uint64_t>(status.st_ino) ^ (static_cast<uint64_t>(status.st_dev) << 40);
  stamp.size = static_cast<uint64_t>(status.st_size);
  stamp.modified =
      static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
  return stamp;
}

uint64_t CoarseMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

}  // namespace zuro::platform
