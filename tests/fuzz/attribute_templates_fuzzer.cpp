// Fuzz target: the PDM attribute templates of the library folder, "eri.cfg" and "se.cfg" (lines
// "PDM attribute=report attribute;...") and "Attributes.txt" (the PDM attribute names), loaded as
// Create loads them, then composing the object line of one table row and giving the text the
// templates dialog saves. The input holds the three files in that order and then a row, its
// attribute names on the first line and its cells on the second, separated by ";", all four
// separated by part separators; a file the input does not reach is missing, and without a row
// the sample board's resistor is composed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pdm/attribute_templates.h"
#include "pdm/line_pieces.h"
#include "pdm/object_line.h"
#include "table/component_rows.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace zuro;

constexpr std::string_view kSampleRow =
    "Name;RefDes;Count;Nominal;Unit;Type;Specific;ID PartLib\n"
    "Резистор;R1;1;4,7;кОм;RC0805;Резисторы;PL-0001";

std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields;
  for (const std::string_view field : pdm::SplitAt(line, ';'))
    fields.emplace_back(field);
  return fields;
}

// A table of one component row, as the PDM window holds it after reading a report.
void FillRow(std::string_view row_text, table::GridModel& table, std::vector<std::string>& names) {
  const std::vector<std::string> lines = pdm::LinePieces(row_text, std::string::npos);
  names = Fields(lines.empty() ? std::string_view() : lines[0]);
  const std::vector<std::string> cells = Fields(lines.size() < 2 ? std::string_view() : lines[1]);
  table::ResetComponentTable(table);
  for (const std::string& name : names)
    table.InsertColumn(name);
  const int row = table::AppendComponentRow(table);
  for (size_t cell = 0; cell < cells.size(); ++cell)
    table.SetItemText(row, static_cast<int>(cell) + 1, cells[cell]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string_view> parts = fuzz::InputParts(fuzz::InputBytes(data, size), 4);
  fuzz::PutLibraryFile(pdm::AttributeTemplatesFileName(pdm::TemplateMode::kEri),
                       fuzz::PartAt(parts, 0));
  fuzz::PutLibraryFile(pdm::AttributeTemplatesFileName(pdm::TemplateMode::kSe),
                       fuzz::PartAt(parts, 1));
  fuzz::PutLibraryFile(pdm::kAttributeListFileName, fuzz::PartAt(parts, 2));

  const std::string& folder = fuzz::LibraryFolder();
  pdm::AttributeTemplates templates;
  pdm::LoadAttributeTemplates(templates, folder);
  const std::vector<std::string> attribute_list = pdm::ReadAttributeList(folder);

  table::GridModel table;
  std::vector<std::string> names;
  FillRow(fuzz::PartAt(parts, 3).value_or(kSampleRow), table, names);
  pdm::ComposeObjectLine(table, 1, names, templates).Text();

  // The templates dialog: every listed PDM attribute edited, then the text OK writes.
  for (const pdm::TemplateMode mode : {pdm::TemplateMode::kEri, pdm::TemplateMode::kSe}) {
    pdm::AttributeValueTable& edited = templates.Table(mode);
    for (const std::string& name : attribute_list) {
      if (pdm::AttributeRecord* record = edited.RecordFor(name))
        record->values[0] = name;
    }
    pdm::AttributeTableText(edited, attribute_list);
  }
  return 0;
}
