#include "pdm/object_list_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "pdm/line_pieces.h"
#include "base/leading_numbers.h"

namespace zuro::pdm {

namespace {

// Object numbers come from the PDM as text, read as atoi reads them; a negative or huge number
// names no object.
std::optional<size_t> ObjectIndex(std::string_view text) {
  const int64_t number = LeadingInteger(text);
  if (number < 0)
    return std::nullopt;
  return static_cast<size_t>(number);
}

// The attribute text of an object line lies between its first and second "#"; a line without "#"
// has none.
std::string_view AttributeText(std::string_view line) {
  return SecondPiece(line, '#');
}

// An answer as the caller's buffer holds it: no longer than fits with its NUL.
std::string FittingTheBuffer(std::string_view text) {
  return std::string(text.substr(0, kExportBufferSize - 1));
}

}  // namespace

// Each line is one object, however long. The object lines the window writes are longer than the
// PDM's buffers as a rule (the attribute names alone fill most of 200 bytes): read in pieces of
// the buffer's size, every object would lose its last attributes to a second object made of its
// tail. Only the answers must fit the buffers, and each is cut to fit as it is copied.
// The lines are kept only when the stamp was the same before and after the reading, so that a list
// replaced while it was read is read again at the next call.
const std::vector<std::string>& ObjectListReader::Lines(const std::string& library_folder) {
  const std::string path = library_folder + kObjectListFile;
  const std::optional<FileStamp> stamp = ReadFileStamp(path);
  if (stamp && stamp_ && *stamp == *stamp_ && path == path_)
    return lines_;
  std::optional<std::vector<std::string>> lines =
      stamp ? ReadLinePieces(path, std::string::npos) : std::nullopt;
  lines_ = lines ? std::move(*lines) : std::vector<std::string>{};
  path_ = path;
  stamp_ = lines && ReadFileStamp(path) == stamp ? stamp : std::nullopt;
  return lines_;
}

// A line equal to the one before it is no object of its own: the PDM receives each object once.
ObjectTypeAnswer ObjectListReader::ReadObjectType(const std::string& library_folder,
                                                  std::string_view argument) {
  ObjectTypeAnswer answer;
  const std::optional<size_t> k = ObjectIndex(argument);
  const std::lock_guard lock(mutex_);
  const std::vector<std::string>& lines = Lines(library_folder);
  if (!k || *k >= lines.size() || (*k > 0 && lines[*k] == lines[*k - 1]))
    return answer;
  const std::string& line = lines[*k];
  const std::string_view name = std::string_view(line).substr(0, line.find('#'));
  answer.name = FittingTheBuffer(name);
  answer.result = name.find('*') != std::string_view::npos ? 1 : 0;
  return answer;
}

// Every line ends with ";", so the attribute one past the last one is an empty piece: the PDM
// reads an empty name there and knows the object has no more attributes.
ObjectAttributeAnswer ObjectListReader::ReadObjectAttribute(const std::string& library_folder,
                                                            std::string_view argument) {
  ObjectAttributeAnswer answer;
  const size_t separator = argument.find(';');
  if (separator == std::string_view::npos)
    return answer;
  const std::optional<size_t> k = ObjectIndex(argument.substr(0, separator));
  const std::optional<size_t> j = ObjectIndex(argument.substr(separator + 1));
  const std::lock_guard lock(mutex_);
  const std::vector<std::string>& lines = Lines(library_folder);
  if (!k || !j || *k >= lines.size())
    return answer;
  const std::vector<std::string_view> attributes = SplitAt(AttributeText(lines[*k]), ';');
  if (*j >= attributes.size())
    return answer;
  const std::string_view attribute = attributes[*j];
  answer.name = FittingTheBuffer(attribute.substr(0, attribute.find('=')));
  answer.value = FittingTheBuffer(SecondPiece(attribute, '='));
  return answer;
}

std::optional<std::string_view> ExportArgument(const char* buffer) {
  if (!buffer)
    return std::nullopt;
  const void* end = std::memchr(buffer, '\0', kExportBufferSize);
  const size_t length =
      end ? static_cast<size_t>(static_cast<const char*>(end) - buffer) : kExportBufferSize;
  return std::string_view(buffer, length);
}

void CopyToExportBuffer(std::string_view text, char* buffer) {
  if (!buffer)
    return;
  const size_t length = std::min(text.size(), kExportBufferSize - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

// The answer is complete before anything is written, since the argument lies in the buffer that
// receives it.
int32_t ObjectListReader::AnswerObjectType(const std::string& library_folder, char* buffer) {
  const std::optional<std::string_view> argument = ExportArgument(buffer);
  if (!argument)
    return 0;
  const ObjectTypeAnswer answer = ReadObjectType(library_folder, *argument);
  CopyToExportBuffer(answer.name, buffer);
  return answer.result;
}

void ObjectListReader::AnswerObjectAttribute(const std::string& library_folder,
                                             char* name_buffer,
                                             char* value_buffer) {
  const std::optional<std::string_view> argument = ExportArgument(name_buffer);
  if (!argument)
    return;
  const ObjectAttributeAnswer answer = ReadObjectAttribute(library_folder, *argument);
  CopyToExportBuffer(answer.name, name_buffer);
  CopyToExportBuffer(answer.value, value_buffer);
}

}  // namespace zuro::pdm
