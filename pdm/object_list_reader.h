// Reading the object list res.txt back for the PDM, object by object and attribute by attribute,
// as the exports GetObjectType1 and GetObjectAttribute answer. Every call reads the file afresh.
// The exports only move texts between these functions and the caller's buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// GetObjectType1: `argument` is the object number as decimal text (0 for the first line).
ObjectTypeAnswer ReadObjectType(const std::string& library_folder, std::string_view argument);
// GetObjectAttribute: `argument` is "object;attribute", both decimal, counting from 0.
ObjectAttributeAnswer ReadObjectAttribute(const std::string& library_folder,
                                          std::string_view argument);

// The text a caller's buffer holds: up to its NUL, never more than kExportBufferSize bytes;
// nothing for a null pointer.
std::optional<std::string_view> ExportArgument(const char* buffer);
// Copies `text` into a caller's buffer of kExportBufferSize bytes, cut so that it and its NUL
// fit; a null buffer is left alone.
void CopyToExportBuffer(std::string_view text, char* buffer);

// The two exports on the caller's buffers: the numbers are read from `buffer` (`name_buffer`),
// the answer written back into it (and the value into `value_buffer`). A null buffer is neither
// read nor written; a null `name_buffer` leaves `value_buffer` alone as well.
int32_t AnswerObjectType(const std::string& library_folder, char* buffer);
void AnswerObjectAttribute(const std::string& library_folder,
                           char* name_buffer,
                           char* value_buffer);

}  // namespace zuro::pdm
