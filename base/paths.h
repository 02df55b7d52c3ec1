// Paths as the library holds them: Windows paths with "\" and drive letters, and the "/" paths of
// the native builds. Nothing here touches the file system.
#pragma once

#include <cstddef>
#include <string>

namespace zuro {

// Where the file name of `path` begins: after its last "\", "/" or drive colon ("C:name").
// Narrow or wide paths.
template <typename String>
size_t FileNameStart(const String& path) {
  using Char = typename String::value_type;
  const Char separators[] = {Char('\\'), Char('/'), Char(':'), Char(0)};
  const size_t separator = path.find_last_of(separators);
  return separator == String::npos ? 0 : separator + 1;
}

// The folder of `path` with its separator, and the file name; either may be empty.
struct FolderAndName {
  std::string folder;
  std::string name;
};

inline FolderAndName SplitFolder(const std::string& path) {
  const size_t name_start = FileNameStart(path);
  return {path.substr(0, name_start), path.substr(name_start)};
}

}  // namespace zuro
