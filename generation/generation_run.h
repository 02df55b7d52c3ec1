// The generation run behind "Создать": the selected rows of the component table become document
// items, like rows merged where the document merges them, each item's texts composed from the
// field templates, and one host object written per item.
#pragma once

#include <cstdint>
#include <string>

#include "base/settings.h"
#include "generation/document_kinds.h"
#include "generation/object_writer.h"
#include "readers/report_attributes.h"
#include "table/grid_model.h"
#include "templates/field_templates.h"

namespace zuro::generation {

// Where the converter windows' runs differ.
struct GenerationRules {
  // A reference of the "Количество" field counts when its column is titled "Count"; in the OrCAD
  // window "Quantity" too; in the Protel window whatever its title.
  bool quantity_title_counts = false;
  bool any_title_counts = false;
  // Rows with the same specification name make one item (not in the Protel window).
  bool merges_rows = true;
  // The PDM road's text output writes no objects (only the P-CAD window heeds it).
  bool heeds_text_output = true;
  // The specification is sorted through the work database (the P-CAD window); the other windows
  // write its items in table order.
  bool sorts_specification = true;
  // The Protel window hands the specification its designators on one line, or, when the count
  // column is past the second, broken after every comma.
  bool breaks_spec_designators_by_count_column = false;
};

inline constexpr GenerationRules kPcadRules{};
inline constexpr GenerationRules kOrcadRules{.quantity_title_counts = true,
                                             .merges_rows = true,
                                             .heeds_text_output = false,
                                             .sorts_specification = false};
inline constexpr GenerationRules kProtelRules{.any_title_counts = true,
                                              .merges_rows = false,
                                              .heeds_text_output = false,
                                              .sorts_specification = false,
                                              .breaks_spec_designators_by_count_column = true};

struct RunChoices {
  DocumentKind kind = DocumentKind::kSpecification;
  SortMode sort = SortMode::kByElements;
  OutputDevice device = OutputDevice::kGraphic;
  bool text_output_mode = false;
  RangeSeparator range_separator = RangeSeparator::kDots;
};

// The texts of one item as the writers take them (code page 1251).
struct ItemTexts {
  std::string count;  // the summed quantity, in decimal
  std::string spec_name;
  std::string list_name;
  std::string list_note;
  std::string designators;  // joined: "," for two, "," and a line feed otherwise
  std::string purchase_name;
  std::string supply_document;
  std::string product_code;
  std::string supplier;
  std::string standard;
  std::string kits_quantity;
  std::string adjustment_quantity;
  std::string total_quantity;  // count + kits + adjustment, two decimals
  std::string part_library_id;
};

class SpecificationRun;

// Runs over the table with templates already loaded; returns the number of items handed to the
// writer. The list-of-elements and purchased-items objects are written into the target; the
// specification's items go to `specification`, which the caller sorts and writes afterwards
// where the rules ask for it.
int RunGeneration(table::GridModel& table,
                  const readers::ReportAttributes& attributes,
                  const templates::FieldTemplates& templates,
                  const RunChoices& choices,
                  const GenerationRules& rules,
                  const DocumentTarget& target,
                  SpecificationRun* specification = nullptr);

// The Protel window's designators for the specification: line feeds removed, and when the count
// column is past the second, a line feed after every comma.
std::string SpecDesignatorsByCountColumn(std::string_view designators, int count_column);

// The writers of the documents' objects.
void WriteListObject(const ItemTexts& item,
                     OutputDevice device,
                     const DocumentTarget& target,
                     RangeSeparator separator = RangeSeparator::kDots);
void WritePurchaseObject(const ItemTexts& item, OutputDevice device, const DocumentTarget& target);

// The count of a group: the total of the positive quantities among its pieces, pieces ending at
// every blank and comma.
int64_t SumCounts(std::string_view group_counts);
// The designators of a group joined for the document: "," between two, "," and a line feed
// between more (or fewer).
std::string JoinGroupDesignators(std::string_view group_designators, int64_t sum);

}  // namespace zuro::generation
