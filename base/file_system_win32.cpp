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

// The file is opened only to be asked about, sharing everything, so that it never stands in the
// way of a writer.
std::optional<FileStamp> ReadFileStamp(const std::string& path) {
  HANDLE file = CreateFileW(WideFromCp1251(path).c_str(), 0,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool asked = GetFileInformationByHandle(file, &information) != 0;
  CloseHandle(file);
  if (!asked)
    return std::nullopt;
  FileStamp stamp;
  stamp.id = (static_cast<uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow) ^
             (static_cast<uint64_t>(information.dwVolumeSerialNumber) << 32);
  stamp.size = static_cast<uint64_t>(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
  stamp.modified =
      static_cast<int64_t>(static_cast<uint64_t>(information.ftLastWriteTime.dwHighDateTime) << 32 |
                           information.ftLastWriteTime.dwLowDateTime);
  return stamp;
}

}  // namespace zuro::platform
