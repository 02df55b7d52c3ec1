#include "generation/generation_run.h"

#include <charconv>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "generation/designators.h"
#include "generation/gost_split.h"
#include "generation/specification.h"
#include "base/leading_numbers.h"

namespace zuro::generation {

namespace {

using templates::DocumentField;

constexpr int kSelected = 1;
constexpr int32_t kMerged = -1;
constexpr std::string_view kCountTitle = "Count";
constexpr std::string_view kQuantityTitle = "Quantity";

// The table's side of a run: which rows take part, and what their cells say.
class RunTable {
 public:
  RunTable(table::GridModel& table,
           const readers::ReportAttributes& attributes,
           const templates::FieldTemplates& templates,
           const GenerationRules& rules)
      : table_(table),
        templates_(templates),
        rules_(rules),
        attribute_count_(static_cast<int>(attributes.names.size())),
        partlib_column_(attributes.partlib_column) {}

  bool TakesPart(int row) const {
    return table_.GetItemImage(row, 0) == kSelected && table_.GetItemData(row, 0) != kMerged;
  }
  // A field of the row, composed from views of the cells: nothing writes the table meanwhile.
  std::string Field(int row, DocumentField field) const {
    return templates::ComposeField(templates_, field, attribute_count_,
                                   [&](int column) { return table_.ItemText(row, column); });
  }
  std::string CountText(int row, int* count_column) const;
  std::string DesignatorText(int row, int* designator_column) const;
  ItemTexts Texts(int row,
                  std::string_view group_counts,
                  std::string_view group_designators,
                  bool list_only) const;

 private:
  bool CountsAsQuantity(int column) const;
  // References of a field that name an attribute of the loaded report; the columns the window
  // appends after them are never taken for one.
  template <typename Visit>
  void ForEachReference(DocumentField field, Visit visit) const {
    for (const int32_t reference : templates_.Row(field)) {
      if (reference > 0)
        visit(reference, reference <= attribute_count_);
    }
  }

  table::GridModel& table_;
  const templates::FieldTemplates& templates_;
  const GenerationRules& rules_;
  const int attribute_count_;
  const int32_t partlib_column_;
};

bool RunTable::CountsAsQuantity(int column) const {
  const std::string title = table_.GetItemText(0, column);
  return rules_.any_title_counts || title == kCountTitle ||
         (rules_.quantity_title_counts && title == kQuantityTitle);
}

// The quantity of a row: the cells of the "Количество" references whose columns count as
// quantities, each followed by a blank. The last such column is the one a GOST split rewrites.
std::string RunTable::CountText(int row, int* count_column) const {
  std::string text;
  ForEachReference(DocumentField::kCount, [&](int column, bool exists) {
    if (!exists || !CountsAsQuantity(column))
      return;
    text += table_.ItemText(row, column);
    text += ' ';
    if (count_column)
      *count_column = column;
  });
  return text;
}

std::string RunTable::DesignatorText(int row, int* designator_column) const {
  std::string text;
  ForEachReference(DocumentField::kDesignators, [&](int column, bool exists) {
    if (exists) {
      text += table_.ItemText(row, column);
      if (designator_column)
        *designator_column = column;
    }
    text += ' ';
  });
  return text;
}

std::string TwoDecimals(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  return result.ec == std::errc() ? std::string(buffer, result.ptr) : "0.00";
}

// The pieces of a group list: every blank and every comma ends one, so two separators in a row
// make an empty piece. Every piece takes part: a group of many rows (the same resistor on a large
// board) must neither lose designators nor count short, so no piece past some number is dropped.
template <typename Visit>
void ForEachPiece(std::string_view list, Visit visit) {
  size_t start = 0;
  for (size_t at = 0; at <= list.size(); ++at) {
    if (at == list.size() || list[at] == ' ' || list[at] == ',') {
      visit(list.substr(start, at - start));
      start = at + 1;
    }
  }
}

// Only the base row's cells are read: merged rows add their quantities and designators alone.
// The list of elements writes the name, the note, the count and the designators: its items get
// those alone.
ItemTexts RunTable::Texts(int row,
                          std::string_view group_counts,
                          std::string_view group_designators,
                          bool list_only) const {
  const auto field = [&](DocumentField f) { return Field(row, f); };
  ItemTexts item;
  const int64_t sum = SumCounts(group_counts);
  item.count = std::to_string(sum);
  item.list_name = field(DocumentField::kListName);
  item.list_note = field(DocumentField::kListNote);
  item.designators = JoinGroupDesignators(group_designators, sum);
  if (list_only)
    return item;
  item.spec_name = field(DocumentField::kSpecName);
  item.purchase_name = field(DocumentField::kPurchaseName);
  item.supply_document = field(DocumentField::kSupplyDocument);
  item.product_code = field(DocumentField::kProductCode);
  item.supplier = field(DocumentField::kSupplier);
  item.standard = field(DocumentField::kStandard);
  const int columns = table_.GetColumnCount();
  item.kits_quantity = table_.GetItemText(row, columns - 2);
  item.adjustment_quantity = table_.GetItemText(row, columns - 1);
  item.total_quantity =
      TwoDecimals(LeadingReal(item.kits_quantity) + LeadingReal(item.adjustment_quantity) +
                  LeadingReal(item.count));
  if (partlib_column_ > 0)
    item.part_library_id = table_.GetItemText(row, partlib_column_);
  return item;
}

void Write(const ItemTexts& item, const RunChoices& choices, const DocumentTarget& target) {
  if (choices.kind == DocumentKind::kListOfElements)
    WriteListObject(item, choices.device, target, choices.range_separator);
  else
    WritePurchaseObject(item, choices.device, target);
}

void HandToSpecification(ItemTexts item,
                         int base_row,
                         int count_column,
                         const GenerationRules& rules,
                         SpecificationRun& specification) {
  if (rules.sorts_specification) {
    specification.Collect(item, base_row);
    return;
  }
  if (rules.breaks_spec_designators_by_count_column)
    item.designators = SpecDesignatorsByCountColumn(item.designators, count_column);
  specification.WriteNow(item);
}

// A list of elements writes each letter prefix in an object of its own: a row whose designators
// begin with different letters (OrCAD groups parts by value, so one item may list P2 and R3...R5)
// would otherwise be one object in the section of its first letter, connectors, resistors and all.
// Each further prefix of such a row is appended as a copy of the row holding that prefix's
// designators and their count, and the row keeps its first prefix. Only a designators field of one
// column can be cut so. Returns the copies of each row cut, in the order its prefixes appear.
std::unordered_map<int, std::vector<int>> SplitRowsByPrefix(table::GridModel& table,
                                                            const RunTable& rows) {
  std::unordered_map<int, std::vector<int>> copies;
  const int original_rows = table.GetRowCount();
  for (int row = 1; row < original_rows; ++row) {
    if (!rows.TakesPart(row))
      continue;
    int designator_column = -1;
    const std::string composed = rows.DesignatorText(row, &designator_column);
    if (designator_column < 0)
      continue;
    const std::string cell(table.ItemText(row, designator_column));
    if (composed != cell + ' ')
      continue;
    const std::vector<std::string> groups = PrefixGroups(cell);
    if (groups.empty())
      continue;
    int count_column = -1;
    rows.CountText(row, &count_column);
    for (size_t group = 1; group < groups.size(); ++group) {
      const int copy = AppendRowCopy(table, row, designator_column, count_column, groups[group],
                                     CountDesignators(groups[group]));
      if (copy >= 0)
        copies[row].push_back(copy);
    }
    table.SetItemText(row, designator_column, groups[0]);
    if (count_column >= 0 && count_column != designator_column)
      table.SetItemText(row, count_column, std::to_string(CountDesignators(groups[0])));
  }
  return copies;
}

}  // namespace

std::string SpecDesignatorsByCountColumn(std::string_view designators, int count_column) {
  std::string text;
  for (const char c : designators) {
    if (c == '\n')
      continue;
    text += c;
    if (c == ',' && count_column > 2)
      text += '\n';
  }
  return text;
}

int64_t SumCounts(std::string_view group_counts) {
  int64_t sum = 0;
  ForEachPiece(group_counts, [&](std::string_view piece) {
    const int64_t count = LeadingInteger(piece);
    if (count > 0)
      sum += count;
  });
  return sum;
}

std::string JoinGroupDesignators(std::string_view group_designators, int64_t sum) {
  const std::string_view separator = sum == 2 ? "," : ",\n";
  std::string list;
  ForEachPiece(group_designators, [&](std::string_view piece) {
    if (piece.empty())
      return;
    if (!list.empty())
      list += separator;
    list += piece;
  });
  return list;
}

// Rows are visited while the table grows: a GOST split appends the rest of a list as a row of its
// own, which becomes an item further on. A row merged into an earlier one of the same name is
// marked -1 and is written no more, also by a later run on the same table. In the list of
// elements the copies cut from a row by its letter prefixes follow that row at once.
int RunGeneration(table::GridModel& table,
                  const readers::ReportAttributes& attributes,
                  const templates::FieldTemplates& templates,
                  const RunChoices& choices,
                  const GenerationRules& rules,
                  const DocumentTarget& target,
                  SpecificationRun* specification) {
  const RunTable rows(table, attributes, templates, rules);
  const bool list = choices.kind == DocumentKind::kListOfElements;
  const bool writes = !(rules.heeds_text_output && choices.text_output_mode);
  // Rows that merge are found by their name once, not by comparing every pair of rows: neither
  // the names nor the rows taking part change while the merging documents are written (only the
  // list of elements, which never merges, appends rows).
  const bool merging = rules.merges_rows && !list;
  std::unordered_map<std::string, std::vector<int>> rows_by_name;
  if (merging) {
    for (int row = 1; row < table.GetRowCount(); ++row) {
      if (rows.TakesPart(row))
        rows_by_name[rows.Field(row, DocumentField::kSpecName)].push_back(row);
    }
  }
  std::unordered_map<int, std::vector<int>> prefix_copies;
  if (list)
    prefix_copies = SplitRowsByPrefix(table, rows);
  std::vector<bool> written_early(table.GetRowCount(), false);
  for (const auto& [row, copies] : prefix_copies) {
    for (const int copy : copies)
      written_early[copy] = true;
  }
  // One splitter for the whole list: its index of the table's designators lives from row to row.
  GostSplitter splitter(table);
  int items = 0;
  const auto make_item = [&](int w) {
    int count_column = -1;
    int designator_column = -1;
    std::string count_text = rows.CountText(w, &count_column);
    std::string designator_text = JoinPairRanges(rows.DesignatorText(w, &designator_column));
    if (list && choices.sort == SortMode::kByGost && LeadingInteger(count_text) > 1) {
      GostSplitResult split = splitter.Split(w, designator_column, count_column,
                                             std::move(count_text), std::move(designator_text));
      count_text = std::move(split.count_text);
      designator_text = std::move(split.designator_text);
    }
    std::string group_counts = count_text;
    std::string group_designators = designator_text;
    if (merging) {
      // The later rows of the same specification name, in table order, join this one.
      for (const int i : rows_by_name[rows.Field(w, DocumentField::kSpecName)]) {
        if (i <= w || !rows.TakesPart(i))
          continue;
        group_counts += "," + rows.CountText(i, nullptr);
        group_designators += "," + rows.DesignatorText(i, nullptr);
        table.SetItemData(i, 0, kMerged);
      }
    }
    if (choices.kind == DocumentKind::kSpecification) {
      if (specification)
        HandToSpecification(rows.Texts(w, group_counts, group_designators, false), w, count_column,
                            rules, *specification);
    } else if (writes) {
      Write(rows.Texts(w, group_counts, group_designators, list), choices, target);
    }
    ++items;
  };
  for (int w = 1; w < table.GetRowCount(); ++w) {
    if (!rows.TakesPart(w) || (w < static_cast<int>(written_early.size()) && written_early[w]))
      continue;
    make_item(w);
    if (const auto copies = prefix_copies.find(w); copies != prefix_copies.end()) {
      for (const int copy : copies->second)
        make_item(copy);
    }
  }
  return items;
}

}  // namespace zuro::generation
