// Native builds: the file system takes UTF-8 names.
#include <cstdio>

#include "base/file_system.h"
#include "base/text_encoding.h"

namespace zuro::platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(Cp1251ToUtf8(path).c_str(), mode);
}

bool RemoveFile(const std::string& path) {
  return std::remove(Cp1251ToUtf8(path).c_str()) == 0;
}

bool MoveFileOver(const std::string& source, const std::string& target) {
  return std::rename(Cp1251ToUtf8(source).c_str(), Cp1251ToUtf8(target).c_str()) == 0;
}

}  // namespace zuro::platform
