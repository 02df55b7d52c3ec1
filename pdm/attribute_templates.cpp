#include "pdm/attribute_templates.h"

#include <algorithm>
#include <optional>

#include "base/file_system.h"
#include "base/text_file.h"

namespace zuro::pdm {

namespace {

// The lines of a template file: a LF or CR LF ends a line and is removed. Only the first `limit`
// characters of a line are read; the rest of it is skipped rather than read as a line of its own,
// which would make a record, or a PDM attribute, out of the middle of a value list. A line
// identical to the line before it is dropped. A file saved as UTF-8 by an editor reads as code
// page 1251, as the reports do. Nothing when the file cannot be opened.
std::optional<std::vector<std::string>> ReadLines(const std::string& path, size_t limit) {
  const std::optional<TextFile> file = ReadTextFile(path);
  if (!file)
    return std::nullopt;
  std::vector<std::string> lines;
  std::optional<std::string> previous;
  TextLines text(file->text);
  std::string line;
  while (text.Read(line)) {
    if (!line.empty() && line.back() == '\n')
      line.pop_back();
    if (line.size() > limit)
      line.resize(limit);
    if (line != previous)
      lines.push_back(line);
    previous = line;
  }
  return lines;
}

// A line "NAME=V1;V2;..." as a record: the name is the text before the first "=", the values the
// pieces of the text between the first and the second "=" split at ";", empty pieces included so
// that the values keep their slots. A line without "=" is a name alone. Values beyond the 20th
// have no slot and are dropped.
AttributeRecord ParseRecord(std::string_view line) {
  AttributeRecord record;
  const size_t equals = line.find('=');
  record.name = line.substr(0, equals);
  if (equals == std::string_view::npos)
    return record;
  std::string_view list = line.substr(equals + 1);
  list = list.substr(0, list.find('='));
  size_t slot = 0;
  size_t start = 0;
  while (slot < record.values.size()) {
    const size_t end = std::min(list.find(';', start), list.size());
    record.values[slot++] = list.substr(start, end - start);
    if (end == list.size())
      break;
    start = end + 1;
  }
  return record;
}

// "NAME=" and the non-empty values among the first 19 slots, joined by ";".
std::string RecordLine(const AttributeRecord& record) {
  std::string line = record.name + "=";
  bool first = true;
  for (int slot = 0; slot < kComposedValueCount; ++slot) {
    const std::string& value = record.values[slot];
    if (value.empty())
      continue;
    if (!first)
      line += ';';
    line += value;
    first = false;
  }
  return line;
}

}  // namespace

const AttributeRecord* AttributeValueTable::Find(std::string_view name) const {
  for (const AttributeRecord& record : records) {
    if (!record.IsFree() && record.name == name)
      return &record;
  }
  return nullptr;
}

// The record of that name is looked for before a free one: a free record that stands before it
// (a blank line of a file edited by hand) would otherwise take a second record of the name, and
// the old one would go on being composed and saved beside the new one.
AttributeRecord* AttributeValueTable::RecordFor(std::string_view name) {
  if (name.empty())
    return nullptr;
  AttributeRecord* record = const_cast<AttributeRecord*>(Find(name));
  if (!record) {
    const auto free = std::find_if(records.begin(), records.end(),
                                   [](const AttributeRecord& r) { return r.IsFree(); });
    if (free == records.end())
      return nullptr;
    record = &*free;
  }
  record->name = name;
  return record;
}

std::string_view AttributeTemplatesFileName(TemplateMode mode) {
  return mode == TemplateMode::kSe ? "se.cfg" : "eri.cfg";
}

// Nothing in the library writes Attributes.txt; the PDM's administrator keeps it. A blank line
// names no attribute and is left out: an empty name would stand for every free record.
std::vector<std::string> ReadAttributeList(const std::string& library_folder) {
  std::optional<std::vector<std::string>> lines =
      ReadLines(library_folder + std::string(kAttributeListFileName), kAttributeListLineLength);
  if (!lines)
    return {};
  std::erase_if(*lines, [](const std::string& line) { return line.empty(); });
  return std::move(*lines);
}

// Records are filled from the first on, in file order; lines after the hundredth find no record
// and are dropped.
bool LoadAttributeTable(AttributeValueTable& table,
                        TemplateMode mode,
                        const std::string& library_folder) {
  table.Clear();
  const std::optional<std::vector<std::string>> lines = ReadLines(
      library_folder + std::string(AttributeTemplatesFileName(mode)), kTemplateLineLength);
  if (!lines)
    return false;
  const size_t count = std::min(lines->size(), table.records.size());
  for (size_t index = 0; index < count; ++index)
    table.records[index] = ParseRecord((*lines)[index]);
  return true;
}

bool LoadAttributeTemplates(AttributeTemplates& templates, const std::string& library_folder) {
  const bool eri = LoadAttributeTable(templates.eri, TemplateMode::kEri, library_folder);
  const bool se = LoadAttributeTable(templates.se, TemplateMode::kSe, library_folder);
  return eri && se;
}

// The records go out in the order of Attributes.txt, each PDM attribute once even when the list
// names it twice (written twice, its records would double with every save). Records of
// attributes the list does not name are left out, and so are free records.
std::string AttributeTableText(const AttributeValueTable& table,
                               const std::vector<std::string>& attribute_list) {
  std::string text;
  std::vector<std::string_view> written;
  for (const std::string& name : attribute_list) {
    if (name.empty() || std::find(written.begin(), written.end(), name) != written.end())
      continue;
    written.push_back(name);
    for (const AttributeRecord& record : table.records) {
      if (record.name == name)
        text += RecordLine(record) + "\r\n";
    }
  }
  return text;
}

bool SaveAttributeTable(const AttributeValueTable& table,
                        TemplateMode mode,
                        const std::vector<std::string>& attribute_list,
                        const std::string& library_folder) {
  const std::string text = AttributeTableText(table, attribute_list);
  return ReplaceFileContents(library_folder + std::string(AttributeTemplatesFileName(mode)),
                             [&](std::FILE* file) {
                               return std::fwrite(text.data(), 1, text.size(), file) == text.size();
                             });
}

}  // namespace zuro::pdm
