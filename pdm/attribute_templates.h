// The PDM attribute templates: which PDM attributes describe an object handed to the PDM
// (Attributes.txt), and from which report attributes each one's value is composed, for electrical
// items (eri.cfg) and for assembly units (se.cfg). All three files lie in the library folder.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zuro::pdm {

// Records of one table; a table never holds more PDM attributes.
inline constexpr int kAttributeRecordCount = 100;
// Value slots of one record (report attribute names).
inline constexpr int kValueSlotCount = 20;
// The values a saved line carries and a composition takes: the first 19 slots.
inline constexpr int kComposedValueCount = 19;
// Characters read of one line of Attributes.txt, and of eri.cfg and se.cfg.
inline constexpr size_t kAttributeListLineLength = 299;
inline constexpr size_t kTemplateLineLength = 298;

inline constexpr std::string_view kAttributeListFileName = "Attributes.txt";

// Which table describes an object: electrical items (ЭРИ) or assembly units (СЕ).
enum class TemplateMode : int {
  kEri = 0,
  kSe = 1,
};

struct AttributeRecord {
  std::string name;  // the PDM attribute; empty marks a free record
  // Report attribute names in composition order; an empty slot holds no value.
  std::array<std::string, kValueSlotCount> values;

  bool IsFree() const { return name.empty(); }
};

struct AttributeValueTable {
  std::array<AttributeRecord, kAttributeRecordCount> records;

  void Clear() { records = {}; }
  // The first record named `name`; null when none is.
  const AttributeRecord* Find(std::string_view name) const;
  // The record an edit of `name` goes to, named so; null when the name is new and no record free.
  AttributeRecord* RecordFor(std::string_view name);
};

// The library-wide ERI and SE tables and the mode that picks one of them.
struct AttributeTemplates {
  AttributeValueTable eri;
  AttributeValueTable se;
  TemplateMode mode = TemplateMode::kEri;

  AttributeValueTable& Table(TemplateMode of) { return of == TemplateMode::kSe ? se : eri; }
  const AttributeValueTable& Table(TemplateMode of) const {
    return of == TemplateMode::kSe ? se : eri;
  }
};

// "eri.cfg" or "se.cfg".
std::string_view AttributeTemplatesFileName(TemplateMode mode);

// The PDM attribute names of Attributes.txt in `library_folder` (ending with the path separator),
// in file order; empty when the file is missing.
std::vector<std::string> ReadAttributeList(const std::string& library_folder);

// Fills `table` from the mode's file; false, with the table cleared, when it cannot be read.
bool LoadAttributeTable(AttributeValueTable& table,
                        TemplateMode mode,
                        const std::string& library_folder);
// Loads both tables; false when either file cannot be read.
bool LoadAttributeTemplates(AttributeTemplates& templates, const std::string& library_folder);

// The file text of `table`: a line for each PDM attribute of `attribute_list` that has a record.
std::string AttributeTableText(const AttributeValueTable& table,
                               const std::vector<std::string>& attribute_list);
// Writes that text over the mode's file; false, with the old file kept, on failure.
bool SaveAttributeTable(const AttributeValueTable& table,
                        TemplateMode mode,
                        const std::vector<std::string>& attribute_list,
                        const std::string& library_folder);

}  // namespace zuro::pdm
