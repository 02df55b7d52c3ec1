// The specification: every item of a run becomes one object in section 30 of the host's
// specification, or, in a model document, one object per designator linked to the model's item.
// In the P-CAD window the items are first collected in the work database and written sorted by
// component, power, voltage and nominal value; the OrCAD and Protel windows write them in table
// order as they come.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/settings.h"
#include "generation/document_kinds.h"
#include "generation/work_sort.h"
#include "generation/object_writer.h"
#include "readers/report_attributes.h"
#include "table/grid_model.h"

namespace zuro::generation {

struct ItemTexts;

// The texts one specification record is written from (code page 1251).
struct SpecRecord {
  std::string name;
  std::string count;
  std::string designators;
  std::string document;  // the "Specific" text, else the standard; also the "Обозн_СТ" column
};

// Where specification objects go, and the style columns found by the first of them.
struct SpecTarget {
  DocumentTarget document;
  automation::ModelDocument& model_document;  // empty unless the host's active document is a model
  automation::SpecStyleColumns& columns;
  OutputDevice device = OutputDevice::kGraphic;
  // How the note column writes a run of designators.
  RangeSeparator range_separator = RangeSeparator::kDots;
};

// The document text on a line of its own: a line feed goes before its first occurrence in the
// name, unless it opens the name, is blank, or the name already has a line break.
void BreakBeforeDocument(std::string& name, std::string_view document);

// The part library id of the table row whose "RefDes" cell holds the record's designators, the
// last such row winning; empty when none does or the report has no such columns. The rows are
// read at the first search, so that a run that never searches (every document but the
// specification) does not read them; the specification's run changes no texts before it.
class PartLibraryLookup {
 public:
  PartLibraryLookup(const table::GridModel& table, const readers::ReportAttributes& attributes);
  // The index looks into the rows' texts, which a copy would not bring along.
  PartLibraryLookup(const PartLibraryLookup&) = delete;
  PartLibraryLookup& operator=(const PartLibraryLookup&) = delete;
  PartLibraryLookup(PartLibraryLookup&&) = default;
  PartLibraryLookup& operator=(PartLibraryLookup&&) = default;
  std::string Find(std::string_view designators) const;

 private:
  // Where an entry of a row's list starts: the row, the entry's position in the row's text, and
  // the place in starts_ of the same entry's start in an earlier row (kNoStart for none).
  struct EntryStart {
    std::uint32_t row;
    std::uint32_t position;
    std::uint32_t earlier;
  };
  static constexpr std::uint32_t kNoStart = UINT32_MAX;

  void Build() const;
  std::string_view RowText(std::uint32_t row) const;

  const table::GridModel* table_;
  int refdes_column_;
  int partlib_column_;
  mutable bool built_ = false;
  // Each row's "RefDes" text in the compared form, one after another, and where each begins.
  mutable std::string designators_;
  mutable std::vector<std::uint32_t> row_starts_;
  mutable std::vector<std::string> ids_;
  // Each entry text (the text between commas) with the last row's start of it, rows in their
  // order: a record's list is found where its first entry is, not by reading every row.
  mutable std::vector<EntryStart> starts_;
  mutable std::unordered_map<std::string_view, std::uint32_t> last_start_;
};

// One record into the host document: WriteSpecObject, or WriteModelObjects when a model document
// is active.
void WriteSpecObject(const SpecRecord& record,
                     const std::string& part_library_id,
                     const SpecTarget& target);
void WriteModelObjects(const SpecRecord& record,
                       const std::string& part_library_id,
                       const SpecTarget& target);

// The specification side of one run. Items are either collected for the sort (the P-CAD window)
// or written at once (the others); records go to the host, or, in text output, to lines of
// "name;count;designators".
class SpecificationRun {
 public:
  SpecificationRun(const table::GridModel& table,
                   const readers::ReportAttributes& attributes,
                   const SpecTarget& target,
                   std::string* text_output);

  // Opens the work database in the library folder and empties its four tables; false (with
  // LastError) when the database cannot be opened or created.
  bool OpenWorkTables(const std::string& library_folder);
  const std::string& LastError() const { return last_error_; }

  // A work record in names1 from the item and the attributes of its base row.
  void Collect(const ItemTexts& item, int base_row);
  // Straight to the writer, in table order.
  void WriteNow(const ItemTexts& item);
  // Writes the collected records in order; false, writing nothing, when one of them could not be
  // stored, since a specification missing an item would look complete.
  bool SortAndWrite();
  // Ends the run's use of the database; names1 keeps the run's records.
  bool Close();
  // Records handed to the writer so far.
  int records_written() const { return records_written_; }

 private:
  void WriteRecord(SpecRecord record, const std::string& own_part_library_id = {});
  bool Failed(const std::string& text);

  const table::GridModel& table_;
  const readers::ReportAttributes& attributes_;
  const SpecTarget& target_;
  std::string* text_output_;
  PartLibraryLookup part_libraries_;
  WorkSort sort_;
  bool stored_all_ = true;
  int records_written_ = 0;
  std::string last_error_;
};

// The first line of the text output of a specification.
inline constexpr std::string_view kSpecTextHeader = "Наименование;Количество;Примечание\n";

}  // namespace zuro::generation
