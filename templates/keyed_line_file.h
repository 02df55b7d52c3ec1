// A small text file of keyed lines ("key value"), the storage under the field-template files.
// One file may be open for reading and one for writing at a time. Paths are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/file_system.h"

namespace zuro::templates {

class KeyedLineFile {
 public:
  // The longest piece of a line read at once; the rest of a longer line reads as the next line.
  static constexpr size_t kPieceLength = 78;

  KeyedLineFile() = default;
  KeyedLineFile(const KeyedLineFile&) = delete;
  KeyedLineFile& operator=(const KeyedLineFile&) = delete;
  // A write that was never closed is abandoned: the old file stays as it was.
  ~KeyedLineFile() = default;

  // False when the file cannot be opened; closes the file read before.
  bool OpenForReading(const std::string& path);
  // The value of the first line keyed `key`, searched from the start of the file.
  std::optional<std::string> GetValue(std::string_view key);

  // Starts a new file contents for `path`; closes (commits) the file written before.
  void OpenForWriting(const std::string& path);
  // Appends `text` and a CR LF line end.
  void PutLine(std::string_view text);

  // Closes whatever is open. False when the written file could not be committed.
  bool Close();

 private:
  int ReadChar();
  bool ReadPiece(std::string& piece);
  bool CloseWriting();

  FileHandle reading_;
  std::optional<std::string> writing_path_;
  std::string written_;
};

}  // namespace zuro::templates
