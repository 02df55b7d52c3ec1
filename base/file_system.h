// The library's narrow seam to the file system. Every path here is UTF-8, unlike the library's
// texts, which are code page 1251: a folder named outside code page 1251 ("Müller 日本") must open
// as well as a Cyrillic one. The native builds hand UTF-8 to the system as it is; the Windows
// implementation converts it to UTF-16 at the wide call, whatever the system's own code page is.
// A path becomes a text only where it is shown or handed to the host (Cp1251FromUtf8Path). Tests
// can make writes fail through the fault hook to check that no failed write loses a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zuro {

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file)
      std::fclose(file);
  }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// fopen with a UTF-8 path; null when the file cannot be opened.
FileHandle OpenFile(const std::string& path, const char* mode);
bool RemoveFile(const std::string& path);
bool FileExists(const std::string& path);
// Copies source over target (replacing it); false on failure.
bool CopyFileOver(const std::string& source, const std::string& target);
// Counts the files this process has replaced or removed through RemoveFile and
// ReplaceFileContents (successfully or not), so that a reader keeping a file's contents knows
// when it must ask for the file's stamp again.
uint64_t FileChangeCount();

// Milliseconds from some fixed moment, read from the system's coarse clock: in steps of up to
// some 16 ms, but read in a few nanoseconds, where a precise clock costs 25 (100 under Wine). For
// intervals of tens of milliseconds asked for on every call, such as how long a file's stamp is
// trusted.
uint64_t CoarseMilliseconds();

// What tells one state of a file from another without reading it: its size and its last write,
// and, where the system tells it without opening the file, which file the name leads to. A file
// replaced by another (as ReplaceFileContents does) or written to in place gets another stamp.
struct FileStamp {
  uint64_t id = 0;  // the file's own number on its volume (with the volume's); 0 on Windows
  uint64_t size = 0;
  int64_t modified = 0;  // last write, in the platform's finest unit
  bool operator==(const FileStamp&) const = default;
};
// Nothing when the file is not there or cannot be asked.
std::optional<FileStamp> ReadFileStamp(const std::string& path);

// Writes a whole file through `write` into a temporary file beside `path`, then moves it over
// `path`. If anything fails (open, write, flush, close, move), the old file stays as it was and
// the temporary file is removed. `write` returns false to abandon the write.
bool ReplaceFileContents(const std::string& path, const std::function<bool(std::FILE*)>& write);

// Two different files written in one pass, each through a temporary file beside it as
// ReplaceFileContents writes one, and each replaced or left as it was on its own: `write`
// receives both streams, either null when its file could not be opened, and returns false to
// abandon both. Nothing is written when neither can be opened.
struct ReplacedFiles {
  bool first = false;
  bool second = false;
};
ReplacedFiles ReplaceFilesContents(const std::string& first,
                                   const std::string& second,
                                   const std::function<bool(std::FILE*, std::FILE*)>& write);

// Test seam: when set, called before each step of ReplaceFileContents ("open", each "write" of
// buffered bytes to the temporary file (natively; on Windows one "write" for the whole), "flush",
// "close", "move"); returning true makes that step fail. Counting the calls, a test can fail the
// Nth step of any writer.
using FileFaultHook = std::function<bool(const char* step)>;
void SetFileFaultHook(FileFaultHook hook);

namespace platform {
// Implemented once per platform (file_system_posix.cpp, file_system_win32.cpp); UTF-8 paths.
std::FILE* OpenFile(const std::string& path, const char* mode);
bool RemoveFile(const std::string& path);
bool MoveFileOver(const std::string& source, const std::string& target);
std::optional<FileStamp> ReadFileStamp(const std::string& path);
uint64_t CoarseMilliseconds();
}  // namespace platform

}  // namespace zuro
