#include "pdm/object_list_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "base/leading_numbers.h"
#include "base/text_file.h"
#include "pdm/line_pieces.h"

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

// "object;attribute" as the PDM writes it, two short runs of digits, read in one pass; anything
// else (spaces, signs, huge numbers) is read as atoi reads each part. No pair without ";".
std::optional<std::pair<size_t, size_t>> AttributeArgument(std::string_view argument) {
  constexpr size_t kMostDigits = 9;
  size_t numbers[2] = {0, 0};
  size_t at = 0;
  for (size_t part = 0; part < 2; ++part) {
    const size_t start = at;
    for (; at < argument.size() && argument[at] >= '0' && argument[at] <= '9'; ++at)
      numbers[part] = numbers[part] * 10 + static_cast<size_t>(argument[at] - '0');
    const size_t digits = at - start;
    const bool ends = part == 0 ? at < argument.size() && argument[at] == ';' : at == argument.size();
    if (digits == 0 || digits > kMostDigits || !ends)
      break;
    if (part == 1)
      return std::pair(numbers[0], numbers[1]);
    ++at;
  }
  const size_t separator = argument.find(';');
  if (separator == std::string_view::npos)
    return std::nullopt;
  const std::optional<size_t> k = ObjectIndex(argument.substr(0, separator));
  const std::optional<size_t> j = ObjectIndex(argument.substr(separator + 1));
  if (!k || !j)
    return std::pair(SIZE_MAX, SIZE_MAX);  // names no object
  return std::pair(*k, *j);
}

// The attribute text of an object line lies between its first and second "#"; a line without "#"
// has none.
std::string_view AttributeText(std::string_view line) {
  return SecondPiece(line, '#');
}

// An answer as the caller's buffer holds it: no longer than fits with its NUL.
std::string_view FittingTheBuffer(std::string_view text) {
  return text.substr(0, kExportBufferSize - 1);
}

}  // namespace

bool ObjectListReader::StampStillValid(const std::string& library_folder) const {
  return stamp_ && library_folder == folder_ && FileChangeCount() == changes_seen_ &&
         CoarseMilliseconds() - stamp_asked_ < kStampIntervalMs;
}

// Each line is one object, however long. The object lines the window writes are longer than the
// PDM's buffers as a rule (the attribute names alone fill most of 200 bytes): read in pieces of
// the buffer's size, every object would lose its last attributes to a second object made of its
// tail. Only the answers must fit the buffers, and each is cut to fit as it is copied.
// The lines are kept only when the stamp was the same before and after the reading, so that a list
// replaced while it was read is read again at the next call.
void ObjectListReader::Refresh(const std::string& library_folder) {
  if (StampStillValid(library_folder))
    return;
  // Taken before the stamp, so that a change made while it is asked shows at the next call.
  changes_seen_ = FileChangeCount();
  stamp_asked_ = CoarseMilliseconds();
  const std::string path = library_folder + kObjectListFile;
  const std::optional<FileStamp> stamp = ReadFileStamp(path);
  if (stamp && stamp_ && *stamp == *stamp_ && library_folder == folder_)
    return;
  std::optional<TextFile> file = stamp ? ReadTextFile(path) : std::nullopt;
  text_ = file ? std::move(file->text) : std::string();
  lines_.clear();
  split_line_ = SIZE_MAX;
  pieces_.clear();
  const std::string_view text = text_;
  for (size_t position = 0; position < text.size();) {
    const size_t end = std::min(text.find('\n', position), text.size());
    size_t size = end - position;
    if (size > 0 && text[end - 1] == '\r')
      --size;
    lines_.push_back({position, size});
    position = end + 1;
  }
  folder_ = library_folder;
  stamp_ = file && ReadFileStamp(path) == stamp ? stamp : std::nullopt;
}

std::string_view ObjectListReader::Line(size_t k) const {
  return std::string_view(text_).substr(lines_[k].begin, lines_[k].size);
}

const std::vector<std::string_view>& ObjectListReader::Attributes(size_t k) {
  if (split_line_ != k) {
    pieces_.clear();
    for (std::string_view rest = AttributeText(Line(k));;) {
      const size_t at = rest.find(';');
      pieces_.push_back(rest.substr(0, at));
      if (at == std::string_view::npos)
        break;
      rest.remove_prefix(at + 1);
    }
    split_line_ = k;
  }
  return pieces_;
}

// A line equal to the one before it is no object of its own: the PDM receives each object once.
ObjectTypeAnswer ObjectListReader::TypeOf(const std::string& library_folder,
                                          std::string_view argument,
                                          std::string_view& name) {
  ObjectTypeAnswer answer;
  name = {};
  const std::optional<size_t> k = ObjectIndex(argument);
  Refresh(library_folder);
  if (!k || *k >= LineCount() || (*k > 0 && Line(*k) == Line(*k - 1)))
    return answer;
  const std::string_view line = Line(*k);
  const std::string_view whole_name = line.substr(0, line.find('#'));
  name = FittingTheBuffer(whole_name);
  answer.result = whole_name.find('*') != std::string_view::npos ? 1 : 0;
  return answer;
}

// Every line ends with ";", so the attribute one past the last one is an empty piece: the PDM
// reads an empty name there and knows the object has no more attributes.
ObjectListReader::AttributeView ObjectListReader::AttributeOf(const std::string& library_folder,
                                                              std::string_view argument) {
  const std::optional<std::pair<size_t, size_t>> numbers = AttributeArgument(argument);
  if (!numbers)
    return {};
  const auto [k, j] = *numbers;
  Refresh(library_folder);
  if (k >= LineCount())
    return {};
  const std::vector<std::string_view>& attributes = Attributes(k);
  if (j >= attributes.size())
    return {};
  // NAME=VALUE: the value ends at a second "=", and there is none without the first.
  const std::string_view attribute = attributes[j];
  const size_t equals = attribute.find('=');
  if (equals == std::string_view::npos)
    return {FittingTheBuffer(attribute), {}};
  const std::string_view value = attribute.substr(equals + 1);
  return {FittingTheBuffer(attribute.substr(0, equals)),
          FittingTheBuffer(value.substr(0, value.find('=')))};
}

ObjectTypeAnswer ObjectListReader::ReadObjectType(const std::string& library_folder,
                                                  std::string_view argument) {
  const std::lock_guard lock(mutex_);
  std::string_view name;
  ObjectTypeAnswer answer = TypeOf(library_folder, argument, name);
  answer.name = name;
  return answer;
}

ObjectAttributeAnswer ObjectListReader::ReadObjectAttribute(const std::string& library_folder,
                                                            std::string_view argument) {
  const std::lock_guard lock(mutex_);
  const AttributeView view = AttributeOf(library_folder, argument);
  return {std::string(view.name), std::string(view.value)};
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
  if (length > 0)  // an empty answer may have no text at all to copy from
    std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

// The answer is complete before anything is written, since the argument lies in the buffer that
// receives it; it is copied while the lock keeps the list it points into.
int32_t ObjectListReader::AnswerObjectType(const std::string& library_folder, char* buffer) {
  const std::optional<std::string_view> argument = ExportArgument(buffer);
  if (!argument)
    return 0;
  const std::lock_guard lock(mutex_);
  std::string_view name;
  const ObjectTypeAnswer answer = TypeOf(library_folder, *argument, name);
  CopyToExportBuffer(name, buffer);
  return answer.result;
}

void ObjectListReader::AnswerObjectAttribute(const std::string& library_folder,
                                             char* name_buffer,
                                             char* value_buffer) {
  const std::optional<std::string_view> argument = ExportArgument(name_buffer);
  if (!argument)
    return;
  const std::lock_guard lock(mutex_);
  const AttributeView view = AttributeOf(library_folder, *argument);
  CopyToExportBuffer(view.name, name_buffer);
  CopyToExportBuffer(view.value, value_buffer);
}

}  // namespace zuro::pdm
