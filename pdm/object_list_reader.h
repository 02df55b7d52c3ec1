// Reading the object list res.txt back for the PDM, object by object and attribute by attribute,
// as the exports GetObjectType1 and GetObjectAttribute answer. Every call answers from the file as
// it stands (see ObjectListReader for how soon a change is seen). The exports only move texts
// between these functions and the caller's buffers.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"

namespace zuro::pdm {

// The object list in the library folder that the PDM window writes and the exports read back.
inline constexpr const char* kObjectListFile = "res.txt";

// The PDM's buffers hold at least this many bytes, the terminating NUL included.
inline constexpr size_t kExportBufferSize = 200;

// The answers as the caller's buffers receive them: each text cut to fit with its NUL.
struct ObjectTypeAnswer {
  std::string name;    // the object line's text before its first "#"
  int32_t result = 0;  // 1 when the name holds "*"
};

struct ObjectAttributeAnswer {
  std::string name;   // text before the attribute's first "="
  std::string value;  // text between its first and second "="
};

// The PDM asks for every attribute of every object, each question a call of its own: a board of
// n objects makes some 12 n calls. Reading the whole list at each call would make the read-back
// quadratic (hours for a large board), so the lines read are kept, and read again only when the
// file's stamp shows that another list has taken its place (or that it is gone). Asking for the
// stamp costs more than the answer itself (the system walks the path every time), so it is asked
// again only when this process has replaced or removed a file since (as the PDM window does when
// it writes or deletes the list), and otherwise once kStampInterval has passed: a list another
// program puts in place is seen within that time and a step of the coarse clock. One reader serves
// the library from load to unload; its calls may come from any thread.
class ObjectListReader {
 public:
  static constexpr std::chrono::milliseconds kStampInterval{20};
  static constexpr uint64_t kStampIntervalMs = kStampInterval.count();

  // GetObjectType1: `argument` is the object number as decimal text (0 for the first line).
  ObjectTypeAnswer ReadObjectType(const std::string& library_folder, std::string_view argument);
  // GetObjectAttribute: `argument` is "object;attribute", both decimal, counting from 0.
  ObjectAttributeAnswer ReadObjectAttribute(const std::string& library_folder,
                                            std::string_view argument);

  // The two exports on the caller's buffers: the numbers are read from `buffer` (`name_buffer`),
  // the answer written back into it (and the value into `value_buffer`). A null buffer is neither
  // read nor written; a null `name_buffer` leaves `value_buffer` alone as well.
  int32_t AnswerObjectType(const std::string& library_folder, char* buffer);
  void AnswerObjectAttribute(const std::string& library_folder,
                             char* name_buffer,
                             char* value_buffer);

 private:
  struct Span {
    size_t begin = 0;
    size_t size = 0;
  };

  struct AttributeView {
    std::string_view name, value;
  };
  // The answers as views into the kept list, cut to fit the caller's buffers; valid while the
  // mutex is held.
  ObjectTypeAnswer TypeOf(const std::string& library_folder,
                          std::string_view argument,
                          std::string_view& name);
  AttributeView AttributeOf(const std::string& library_folder, std::string_view argument);
  // Makes the kept lines those of the list in `library_folder` as the file now stands; none when
  // there is none. Called with the mutex held.
  void Refresh(const std::string& library_folder);
  bool StampStillValid(const std::string& library_folder) const;
  size_t LineCount() const { return lines_.size(); }
  std::string_view Line(size_t k) const;
  // The ";"-separated attribute pieces of line k, split once for the object last asked about.
  const std::vector<std::string_view>& Attributes(size_t k);

  std::mutex mutex_;
  std::string folder_;              // the library folder whose list is kept
  std::optional<FileStamp> stamp_;  // its stamp when it was read; none: nothing kept
  uint64_t changes_seen_ = 0;       // FileChangeCount when the stamp was last asked for
  uint64_t stamp_asked_ = 0;        // CoarseMilliseconds when the stamp was last asked for
  std::string text_;                // the whole list
  std::vector<Span> lines_;         // its lines in `text_`, without their line ends
  size_t split_line_ = SIZE_MAX;    // the line whose pieces `pieces_` holds
  std::vector<std::string_view> pieces_;
};

// The text a caller's buffer holds: up to its NUL, never more than kExportBufferSize bytes;
// nothing for a null pointer.
std::optional<std::string_view> ExportArgument(const char* buffer);
// Copies `text` into a caller's buffer of kExportBufferSize bytes, cut so that it and its NUL
// fit; a null buffer is left alone.
void CopyToExportBuffer(std::string_view text, char* buffer);

}  // namespace zuro::pdm
