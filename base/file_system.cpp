#include "base/file_system.h"

namespace zuro {

namespace {
FileFaultHook& FaultHook() {
  static FileFaultHook hook;
  return hook;
}

bool Fails(const char* step) {
  return FaultHook() && FaultHook()(step);
}
}  // namespace

void SetFileFaultHook(FileFaultHook hook) {
  FaultHook() = std::move(hook);
}

FileHandle OpenFile(const std::string& path, const char* mode) {
  return FileHandle(platform::OpenFile(path, mode));
}

bool RemoveFile(const std::string& path) {
  return platform::RemoveFile(path);
}

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
  return platform::ReadFileStamp(path);
}

bool FileExists(const std::string& path) {
  return OpenFile(path, "rb") != nullptr;
}

bool CopyFileOver(const std::string& source, const std::string& target) {
  FileHandle in = OpenFile(source, "rb");
  if (!in)
    return false;
  return ReplaceFileContents(target, [&](std::FILE* out) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) {
      if (std::fwrite(buffer, 1, n, out) != n)
        return false;
    }
    return !std::ferror(in.get());
  });
}

bool ReplaceFileContents(const std::string& path, const std::function<bool(std::FILE*)>& write) {
  const std::string temporary = path + ".new";
  std::FILE* out = Fails("open") ? nullptr : platform::OpenFile(temporary, "wb");
  if (!out)
    return false;
  bool ok = write(out) && !Fails("write") && std::fflush(out) == 0 && !std::ferror(out);
  ok = (std::fclose(out) == 0) && ok && !Fails("close");
  ok = ok && !Fails("move") && platform::MoveFileOver(temporary, path);
  if (!ok)
    platform::RemoveFile(temporary);
  return ok;
}

}  // namespace zuro
