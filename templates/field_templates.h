// The ten document fields and their templates: which report attributes, in which order, make up
// each column text that the library writes into a document.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/library_command.h"

namespace zuro::templates {

inline constexpr int kFieldCount = 10;
inline constexpr int kReferencesPerField = 10;

// The number is the field's key in the templates file.
enum class DocumentField : int {
  kCount = 1,
  kSpecName = 2,
  kListName = 3,
  kListNote = 4,
  kDesignators = 5,
  kPurchaseName = 6,
  kSupplyDocument = 7,
  kProductCode = 8,
  kSupplier = 9,
  kStandard = 10,
};

// The field at list position 0..9 of the templates dialog.
constexpr DocumentField FieldAt(int position) {
  return static_cast<DocumentField>(position + 1);
}
constexpr int FieldNumber(DocumentField field) {
  return static_cast<int>(field);
}
// The caption of the field in the templates dialog (code page 1251).
std::string_view FieldCaption(DocumentField field);

// Slots of one field: attribute numbers (table columns) in composition order; 0 is an empty slot.
using TemplateRow = std::array<int32_t, kReferencesPerField>;

// The library-wide templates table and the result of its last load.
struct FieldTemplates {
  std::array<TemplateRow, kFieldCount> rows{};
  // True when the last Load found its file; composition needs it.
  bool loaded = false;

  TemplateRow& Row(DocumentField field) { return rows[FieldNumber(field) - 1]; }
  const TemplateRow& Row(DocumentField field) const { return rows[FieldNumber(field) - 1]; }
  void Clear() { rows = {}; }
};

// The templates file of a converter command ("bom.cfg" ...); empty for an unknown command.
std::string_view TemplatesFileName(LibraryCommand command);

// Reads the templates of the command from `library_folder` (ending with the path separator).
// False, and every template empty, when the file cannot be opened. Sets `templates.loaded`.
bool Load(FieldTemplates& templates, LibraryCommand command, const std::string& library_folder);
// Writes the ten templates to the command's file; false, with the old file kept, on failure.
bool Save(const FieldTemplates& templates,
          LibraryCommand command,
          const std::string& library_folder);

// Ten texts, one per field: 0 is field 1.
using FieldTexts = std::array<std::string, kFieldCount>;

// One field's text; `attribute_count` is the number of attributes of the loaded report, and
// `cell_text(column)` gives the text (a string or a view) of the table cell in that column of the
// row being composed.
// Every reference gives its cell text and one space, so a field with a template always ends with
// a space; the generators compare and write these texts as they are. A reference to an attribute
// the loaded report lacks (a template made for another layout) gives an empty text, still followed
// by its space: the shape of the text depends on the template alone, and the columns the window
// appends after the attributes are never taken for one.
template <typename CellText>
std::string ComposeField(const FieldTemplates& templates,
                         DocumentField field,
                         int attribute_count,
                         const CellText& cell_text) {
  std::string text;
  for (const int32_t reference : templates.Row(field)) {
    if (reference <= 0)
      continue;
    if (reference <= attribute_count)
      text += cell_text(reference);
    text += ' ';
  }
  return text;
}

// The ten field texts of one table row.
template <typename CellText>
FieldTexts Compose(const FieldTemplates& templates,
                   int attribute_count,
                   const CellText& cell_text) {
  FieldTexts texts;
  for (int position = 0; position < kFieldCount; ++position)
    texts[position] = ComposeField(templates, FieldAt(position), attribute_count, cell_text);
  return texts;
}

}  // namespace zuro::templates
