#include "base/file_system.h"

#include <algorithm>
#include <atomic>
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

std::atomic<uint64_t> file_changes{0};

bool Fails(const char* step) {
  return FaultHook() && FaultHook()(step);
}

#if defined(__GLIBC__)
// Under a fault hook the temporary file is written through a stream of our own that hands the
// bytes on a few at a time, each few a write of its own that a test can make fail, as a full disk
// or a lost network folder would; a failure leaves what went before it in the file.
constexpr size_t kFaultableWrite = 64;

ssize_t FaultableWrite(void* cookie, const char* data, size_t size) {
  std::FILE* file = static_cast<std::FILE*>(cookie);
  for (size_t done = 0; done < size;) {
    if (Fails("write")) {
      errno = EIO;
      return -1;
    }
    const size_t piece = std::min(size - done, kFaultableWrite);
    if (std::fwrite(data + done, 1, piece, file) != piece)
      return -1;
    done += piece;
  }
  return static_cast<ssize_t>(size);
}

int FaultableClose(void* cookie) {
  return std::fclose(static_cast<std::FILE*>(cookie));
}

std::FILE* FaultableStream(std::FILE* file) {
  cookie_io_functions_t io{};
  io.write = FaultableWrite;
  io.close = FaultableClose;
  std::FILE* stream = fopencookie(file, "wb", io);
  if (!stream)
    std::fclose(file);
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
  const bool removed = platform::RemoveFile(path);
  ++file_changes;
  return removed;
}

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
  return platform::ReadFileStamp(path);
}

uint64_t CoarseMilliseconds() {
  return platform::CoarseMilliseconds();
}

uint64_t FileChangeCount() {
  return file_changes.load();
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

namespace {

std::string TemporaryPath(const std::string& path) {
  return path + ".new";
}

// The temporary file beside `path`; null when it cannot be opened.
std::FILE* OpenTemporary(const std::string& path) {
  std::FILE* out = Fails("open") ? nullptr : platform::OpenFile(TemporaryPath(path), "wb");
  if (out && FaultHook())
    out = FaultableStream(out);
  return out;
}

// Ends the temporary file beside `path`: moved over it when `ok` and every step succeeds, removed
// otherwise.
bool FinishTemporary(const std::string& path, std::FILE* out, bool ok) {
  // Where the writes themselves cannot be made to fail, the write as a whole can.
  if (!kWritesCounted)
    ok = ok && !Fails("write");
  ok = ok && !Fails("flush") && std::fflush(out) == 0 && !std::ferror(out);
  ok = (std::fclose(out) == 0) && ok && !Fails("close");
  ok = ok && !Fails("move") && platform::MoveFileOver(TemporaryPath(path), path);
  ++file_changes;
  if (!ok)
    platform::RemoveFile(TemporaryPath(path));
  return ok;
}

// A write that throws leaves the old files as they were, and no temporary file behind.
void AbandonTemporary(const std::string& path, std::FILE* out) {
  if (!out)
    return;
  std::fclose(out);
  platform::RemoveFile(TemporaryPath(path));
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::function<bool(std::FILE*)>& write) {
  std::FILE* out = OpenTemporary(path);
  if (!out)
    return false;
  bool ok = false;
  try {
    ok = write(out);
  } catch (...) {
    AbandonTemporary(path, out);
    throw;
  }
  return FinishTemporary(path, out, ok);
}

ReplacedFiles ReplaceFilesContents(const std::string& first,
                                   const std::string& second,
                                   const std::function<bool(std::FILE*, std::FILE*)>& write) {
  ReplacedFiles replaced;
  std::FILE* first_out = OpenTemporary(first);
  std::FILE* second_out = OpenTemporary(second);
  if (!first_out && !second_out)
    return replaced;
  bool ok = false;
  try {
    ok = write(first_out, second_out);
  } catch (...) {
    AbandonTemporary(first, first_out);
    AbandonTemporary(second, second_out);
    throw;
  }
  if (first_out)
    replaced.first = FinishTemporary(first, first_out, ok);
  if (second_out)
    replaced.second = FinishTemporary(second, second_out, ok);
  return replaced;
}

}  // namespace zuro
