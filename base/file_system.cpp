#include "base/file_system.h"

#include <algorithm>
#include <cerrno>
#if defined(__GLIBC__)
#include <sys/types.h>
#endif

namespace zuro {

namespace {
FileFaultHook& FaultHook() {
  static FileFaultHook hook;
  return hook;
}

bool Fails(const char* step) {
  return FaultHook() && FaultHook()(step);
}

#if defined(__GLIBC__)
// Under a fault hook the temporary file is written through a stream of our own, so that every few
// bytes reach the file in a write of their own and a test can make any one of those writes fail,
// as a full disk or a lost network folder would.
constexpr size_t kFaultableBuffer = 64;

struct FaultableFile {
  std::FILE* file;
  char buffer[kFaultableBuffer];
};

// The C library takes a short write for a failed one, so the bytes are handed on a few at a time
// here, each few a step that may fail; a failure leaves what went before it in the file.
ssize_t FaultableWrite(void* cookie, const char* data, size_t size) {
  std::FILE* file = static_cast<FaultableFile*>(cookie)->file;
  for (size_t done = 0; done < size;) {
    if (Fails("write")) {
      errno = EIO;
      return -1;
    }
    const size_t piece = std::min(size - done, kFaultableBuffer);
    if (std::fwrite(data + done, 1, piece, file) != piece)
      return -1;
    done += piece;
  }
  return static_cast<ssize_t>(size);
}

int FaultableClose(void* cookie) {
  auto* faultable = static_cast<FaultableFile*>(cookie);
  const int result = std::fclose(faultable->file);
  delete faultable;
  return result;
}

std::FILE* FaultableStream(std::FILE* file) {
  cookie_io_functions_t io{};
  io.write = FaultableWrite;
  io.close = FaultableClose;
  auto* faultable = new FaultableFile{file, {}};
  std::FILE* stream = fopencookie(faultable, "wb", io);
  if (!stream) {
    std::fclose(file);
    delete faultable;
    return nullptr;
  }
  // The buffer is the stream's own: the C library would make a larger one for a null buffer.
  std::setvbuf(stream, faultable->buffer, _IOFBF, kFaultableBuffer);
  return stream;
}
constexpr bool kWritesCounted = true;
#else
std::FILE* FaultableStream(std::FILE* file) {
  return file;
}
constexpr bool kWritesCounted = false;
#endif
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
  if (out && FaultHook())
    out = FaultableStream(out);
  if (!out)
    return false;
  bool ok = write(out);
  // Where the writes themselves cannot be made to fail, the write as a whole can.
  if (!kWritesCounted)
    ok = ok && !Fails("write");
  ok = ok && !Fails("flush") && std::fflush(out) == 0 && !std::ferror(out);
  ok = (std::fclose(out) == 0) && ok && !Fails("close");
  ok = ok && !Fails("move") && platform::MoveFileOver(temporary, path);
  if (!ok)
    platform::RemoveFile(temporary);
  return ok;
}

}  // namespace zuro
