#include "templates/field_templates.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "templates/keyed_line_file.h"

namespace zuro::templates {

namespace {

constexpr std::array<std::string_view, kFieldCount> kCaptions = {
    "Количество",
    "Наименование (для спецификации)",
    "Наименование (для перечня элементов)",
    "Примечание для перечня элементов",
    "Позиционное обозначение/примечание для спецификации",
    "Наименование для ВП",
    "Документ на поставку для ВП",
    "Код продукции",
    "Поставщик",
    "Обозначение стандарта для спецификации",
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
  return c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

// Reads a word the way the standard conversion does, independent of the locale: leading blanks,
// a sign, digits and a fractional part, with anything after the number ignored. The fraction is
// cut off towards zero ("2.9" is 2) and very long numbers stop at the largest 32-bit value. No
// result when the word does not begin with a number.
std::optional<int32_t> ReadReference(std::string_view word) {
  constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
  size_t i = 0;
  while (i < word.size() && IsBlank(word[i]))
    ++i;
  bool negative = false;
  if (i < word.size() && (word[i] == '+' || word[i] == '-'))
    negative = word[i++] == '-';
  bool has_digits = false;
  int64_t value = 0;
  for (; i < word.size() && IsDigit(word[i]); ++i) {
    has_digits = true;
    value = std::min(value * 10 + (word[i] - '0'), kLargest);
  }
  if (!has_digits && i + 1 < word.size() && word[i] == '.' && IsDigit(word[i + 1]))
    has_digits = true;  // ".5" is a number, zero
  if (!has_digits)
    return std::nullopt;
  return static_cast<int32_t>(negative ? -value : value);
}

// Splits the value of a field's line into words at spaces and takes the first ten numbers. A
// word that is no number takes no slot; a number of 0 or less does, but refers to nothing.
TemplateRow ParseReferences(std::string_view value) {
  TemplateRow row{};
  int slot = 0;
  size_t pos = 0;
  while (slot < kReferencesPerField) {
    const size_t start = value.find_first_not_of(' ', pos);
    if (start == std::string_view::npos)
      break;
    const size_t end = std::min(value.find(' ', start), value.size());
    if (const std::optional<int32_t> reference = ReadReference(value.substr(start, end - start)))
      row[slot++] = *reference;
    pos = end;
  }
  return row;
}

// The file line of one field: its number, then " n" for every reference.
std::string FieldLine(const FieldTemplates& templates, DocumentField field) {
  std::string line = std::to_string(FieldNumber(field));
  for (int32_t reference : templates.Row(field)) {
    if (reference > 0)
      line += " " + std::to_string(reference);
  }
  return line;
}

}  // namespace

std::string_view FieldCaption(DocumentField field) {
  return kCaptions[FieldNumber(field) - 1];
}

// Protel, Altium Designer and Cadence Allegro reports share their column layout, and so their
// file; there is no "bom2.cfg".
std::string_view TemplatesFileName(LibraryCommand command) {
  switch (command) {
    case LibraryCommand::kPcad:
      return "bom.cfg";
    case LibraryCommand::kOrcad:
      return "bom1.cfg";
    case LibraryCommand::kProtel:
    case LibraryCommand::kAltiumDesigner:
    case LibraryCommand::kAllegro:
      return "bom3.cfg";
    case LibraryCommand::kMentor:
      return "bom4.cfg";
    default:
      return {};
  }
}

// Fields are found by their number, not by their line, so files edited by hand (lines in another
// order, comments, missing fields) still load; a field without a line is empty.
bool Load(FieldTemplates& templates, LibraryCommand command, const std::string& library_folder) {
  templates.Clear();
  templates.loaded = false;
  const std::string_view name = TemplatesFileName(command);
  KeyedLineFile file;
  if (name.empty() || !file.OpenForReading(library_folder + std::string(name)))
    return false;
  for (int position = 0; position < kFieldCount; ++position) {
    const DocumentField field = FieldAt(position);
    if (const std::optional<std::string> value = file.GetValue(std::to_string(FieldNumber(field))))
      templates.Row(field) = ParseReferences(*value);
  }
  file.Close();
  templates.loaded = true;
  return true;
}

// Always ten lines in field order, an empty template as its bare number. References of 0 or less
// are left out: they mean nothing and would only shift the slots on the next load.
bool Save(const FieldTemplates& templates,
          LibraryCommand command,
          const std::string& library_folder) {
  const std::string_view name = TemplatesFileName(command);
  if (name.empty())
    return false;
  KeyedLineFile file;
  file.OpenForWriting(library_folder + std::string(name));
  for (int position = 0; position < kFieldCount; ++position)
    file.PutLine(FieldLine(templates, FieldAt(position)));
  return file.Close();
}

}  // namespace zuro::templates
