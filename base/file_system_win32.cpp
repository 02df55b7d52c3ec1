// Windows builds: the UTF-8 paths go to the wide API as UTF-16.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "base/file_system.h"
#include "base/win32_text.h"

namespace zuro::platform {

// The mode is a few ASCII letters ("rb", "wb").
std::FILE* OpenFile(const std::string& path, const char* mode) {
  const std::wstring wide_mode(mode, mode + std::strlen(mode));
  return _wfopen(WidePath(path).c_str(), wide_mode.c_str());
}

bool RemoveFile(const std::string& path) {
  return DeleteFileW(WidePath(path).c_str()) != 0;
}

bool MoveFileOver(const std::string& source, const std::string& target) {
  return MoveFileExW(WidePath(source).c_str(), WidePath(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Asked by name alone, without opening the file: the PDM reads an object list back with a dozen
// calls per object, and opening a handle costs each of them a round trip to the system. A file
// moved over the old one brings the last write of its own writing, so the time and size tell the
// two apart; the file's number is not asked.
std::optional<FileStamp> ReadFileStamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  FileStamp stamp;
  stamp.size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  stamp.modified =
      static_cast<int64_t>(static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                           data.ftLastWriteTime.dwLowDateTime);
  return stamp;
}

uint64_t CoarseMilliseconds() {
  return GetTickCount64();
}

}  // namespace zuro::platform
