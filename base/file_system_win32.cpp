// Windows builds: names go through the wide API, converted from code page 1251 explicitly.
#include <windows.h>

#include <cstdio>

#include "base/file_system.h"
#include "base/win32_text.h"

namespace zuro::platform {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(WideFromCp1251(path).c_str(), WideFromCp1251(mode).c_str());
}

bool RemoveFile(const std::string& path) {
  return DeleteFileW(WideFromCp1251(path).c_str()) != 0;
}

bool MoveFileOver(const std::string& source, const std::string& target) {
  return MoveFileExW(WideFromCp1251(source).c_str(), WideFromCp1251(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace zuro::platform
