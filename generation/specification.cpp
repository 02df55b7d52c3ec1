#include "generation/specification.h"

#include <utility>

#include "generation/designators.h"
#include "generation/generation_run.h"
#include "base/text_edit.h"

namespace zuro::generation {

namespace {

constexpr int32_t kSpecStyle = 1;
constexpr int32_t kSpecSection = 30;
constexpr int32_t kNameColumn = 5;
constexpr int32_t kCountColumn = 6;
constexpr int32_t kDesignatorColumn = 7;
constexpr int32_t kPositionColumn = 3;
const char* SpecStyleLibrary(OutputDevice device) {
  return device == OutputDevice::kVector ? "vector.lyt" : "graphic.lyt";
}

std::string WithoutLineFeeds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c != '\n')
      out += c;
  }
  return out;
}

// Designators in the form the part library search compares: one line, ranges' dots as a comma,
// and a closing comma, so that "R1," is not found inside "R11,".
std::string ComparedDesignators(std::string_view designators) {
  std::string text = WithoutLineFeeds(designators);
  ReplaceAll(text, "...", ",");
  text += ',';
  return text;
}

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos)
    return {};
  const size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

// The designator a model item carries: the first word of its text.
std::string_view ItemDesignator(std::string_view item_text) {
  const std::string_view text = Trimmed(item_text);
  return Trimmed(text.substr(0, text.find(' ')));
}

// The style's additional columns are looked up by name in the object just created, as long as
// none was found: "БЦО" and "Обозн_СТ" begin a column's name, "PartLib" may stand anywhere in it.
void FindSpecColumns(ObjectWriter& object,
                     int32_t reference,
                     automation::SpecStyleColumns& columns) {
  if (columns.bco > 0)
    return;
  automation::SpecEditor& editor = object.editor();
  const int32_t first = editor.ColumnCount("", 0, 0);
  const int32_t second = editor.ColumnCount("", 0, 1);
  for (int32_t i = 1; i < first + second; ++i) {
    automation::ParamRecord record = object.application().NewParamRecord(automation::kColumnRecord);
    editor.DescribeColumn(reference, i, record);
    const std::string name = record.ColumnName();
    if (name.starts_with("БЦО"))
      columns.bco = i;
    if (name.starts_with("Обозн_СТ"))
      columns.standard = i;
    if (name.find("PartLib") != std::string::npos)
      columns.part_library = i;
  }
}

void WriteSpecColumns(ObjectWriter& object,
                      const SpecRecord& record,
                      int32_t count,
                      const std::string& designators,
                      const std::string& part_library_id,
                      bool extra_columns,
                      const automation::SpecStyleColumns& columns,
                      RangeSeparator separator) {
  object.SetText(kNameColumn, record.name);
  object.SetInteger(kCountColumn, count);
  object.SetText(kDesignatorColumn, DocumentRanges(designators, separator));
  if (extra_columns) {
    object.SetText(columns.bco, WithoutLineFeeds(designators));
    object.SetText(columns.standard, WithoutLineFeeds(record.document));
    object.SetText(columns.part_library, WithoutLineFeeds(part_library_id));
  }
  object.SetInteger(kPositionColumn, 0);
}

}  // namespace

// A document text of blanks alone, as a template composes from an empty cell, is no document:
// breaking the name at its first blank would split every such name after its first word.
void BreakBeforeDocument(std::string& name, std::string_view document) {
  if (Trimmed(document).empty() || name.find('\n') != std::string::npos)
    return;
  const size_t at = name.find(document);
  if (at != std::string::npos && at > 0)
    name.insert(at, 1, '\n');
}

PartLibraryLookup::PartLibraryLookup(const table::GridModel& table,
                                     const readers::ReportAttributes& attributes)
    : table_(&table),
      refdes_column_(attributes.refdes_column),
      partlib_column_(attributes.partlib_column) {}

// Rows beyond 32-bit positions cannot occur: the table's texts are themselves limited to 4 GiB.
void PartLibraryLookup::Build() const {
  built_ = true;
  if (refdes_column_ <= 0 || partlib_column_ <= 0)
    return;
  size_t entries = 0;
  // Held on the heap even when short, so that the entries' views stay valid when the lookup is
  // moved (a short string's characters would move with it).
  designators_.reserve(64);
  for (int row = 1; row < table_->GetRowCount(); ++row) {
    row_starts_.push_back(static_cast<std::uint32_t>(designators_.size()));
    designators_ += ComparedDesignators(table_->ItemText(row, refdes_column_));
    ids_.emplace_back(table_->ItemText(row, partlib_column_));
  }
  row_starts_.push_back(static_cast<std::uint32_t>(designators_.size()));
  for (const char c : designators_)
    entries += c == ',' ? 1 : 0;
  starts_.reserve(entries);
  last_start_.reserve(entries);
  for (std::uint32_t row = 0; row + 1 < row_starts_.size(); ++row) {
    const std::string_view text = RowText(row);
    for (size_t start = 0, comma; (comma = text.find(',', start)) != std::string_view::npos;
         start = comma + 1) {
      const auto index = static_cast<std::uint32_t>(starts_.size());
      const auto [entry, added] = last_start_.try_emplace(text.substr(start, comma - start), index);
      starts_.push_back({row, static_cast<std::uint32_t>(start), added ? kNoStart : entry->second});
      entry->second = index;
    }
  }
}

std::string_view PartLibraryLookup::RowText(std::uint32_t row) const {
  return std::string_view(designators_)
      .substr(row_starts_[row], row_starts_[row + 1] - row_starts_[row]);
}

// A record no row holds gets no id: keeping the one found for an earlier record would give this
// part another part's library entry. The record's designators are found whole, at the start of
// the row's text or after one of its commas, so that A1 is not taken for the end of DA1; both
// texts end with a comma, so the record's list is a run of whole entries of the row's. The last
// row holding them gives the id.
std::string PartLibraryLookup::Find(std::string_view designators) const {
  if (!built_)
    Build();
  const std::string wanted = ComparedDesignators(designators);
  const auto found = last_start_.find(std::string_view(wanted).substr(0, wanted.find(',')));
  if (found == last_start_.end())
    return {};
  for (std::uint32_t index = found->second; index != kNoStart; index = starts_[index].earlier) {
    const EntryStart& start = starts_[index];
    if (RowText(start.row).compare(start.position, wanted.size(), wanted) == 0)
      return ids_[start.row];
  }
  return {};
}

// The object is created and finished once, then taken up again by its reference, so that its
// columns can be described before they are filled.
void WriteSpecObject(const SpecRecord& record,
                     const std::string& part_library_id,
                     const SpecTarget& target) {
  ObjectWriter object(target.document);
  if (!object.Ready())
    return;
  if (!object.Create(SpecStyleLibrary(target.device), kSpecStyle, kSpecSection))
    return;
  const int32_t reference = object.editor().Finish();
  object.editor().Reopen(reference);
  FindSpecColumns(object, reference, target.columns);
  WriteSpecColumns(object, record, ColumnInteger(record.count), record.designators, part_library_id,
                   target.columns.bco > 0, target.columns, target.range_separator);
  object.Finish();
}

// One object per designator, each linked to the model item of that designator. A designator the
// model lacks ends the record: its objects would stand unlinked in a document of linked ones.
void WriteModelObjects(const SpecRecord& record,
                       const std::string& part_library_id,
                       const SpecTarget& target) {
  automation::ItemCollection items = target.model_document.Items();
  const int32_t count = items.Count();
  for (const std::string& designator : ExpandDesignators(WithoutLineFeeds(record.designators))) {
    automation::ModelItem match;
    for (int32_t j = 1; j < count && !match; ++j) {
      automation::ModelItem item = items.Item(j);
      if (ItemDesignator(item.Text()) == designator)
        match = std::move(item);
    }
    if (!match)
      return;
    ObjectWriter object(target.document.application, target.model_document.Editor());
    if (!object.Ready())
      continue;
    // The reference the host gave the new object is the one its columns are described by.
    const int32_t reference =
        object.Create(SpecStyleLibrary(target.device), kSpecStyle, kSpecSection);
    if (!reference)
      continue;
    FindSpecColumns(object, reference, target.columns);
    WriteSpecColumns(object, record, 1, designator, part_library_id, target.columns.bco > 1,
                     target.columns, target.range_separator);
    object.editor().LinkItem(match, false);
    object.Finish();
  }
}

SpecificationRun::SpecificationRun(const table::GridModel& table,
                                   const readers::ReportAttributes& attributes,
                                   const SpecTarget& target,
                                   std::string* text_output)
    : table_(table),
      attributes_(attributes),
      target_(target),
      text_output_(text_output),
      part_libraries_(table, attributes) {
  if (text_output_)
    *text_output_ = kSpecTextHeader;
}

bool SpecificationRun::OpenWorkTables(const std::string& library_folder) {
  return sort_.Open(library_folder) || Failed(sort_.LastError());
}

bool SpecificationRun::Failed(const std::string& text) {
  last_error_ = text;
  stored_all_ = false;
  return false;
}

void SpecificationRun::Collect(const ItemTexts& item, int base_row) {
  SortAttributes read = ReadSortAttributes(table_, attributes_, base_row);
  const std::string specific = read.specific;
  WorkRecord record = SortKeys(std::move(read));
  record.name = item.spec_name;
  record.doc = specific.empty() ? item.standard : specific;
  record.count = item.count;
  record.refdes = item.designators;
  if (!sort_.Add(record))
    Failed(sort_.LastError());
}

// An item written as soon as it is composed still has its base row's part library id at hand:
// it stands when no row is found by the item's designators, as in the windows whose reports have
// no "RefDes" column to search.
void SpecificationRun::WriteNow(const ItemTexts& item) {
  WriteRecord({item.spec_name, item.count, item.designators, item.standard}, item.part_library_id);
}

bool SpecificationRun::SortAndWrite() {
  if (!stored_all_)
    return false;
  const bool walked = sort_.Walk([this](const WorkRecord& record) {
    WriteRecord({record.name, record.count, record.refdes, record.doc});
  });
  return walked || Failed(sort_.LastError());
}

void SpecificationRun::WriteRecord(SpecRecord record, const std::string& own_part_library_id) {
  ++records_written_;
  std::string part_library_id = part_libraries_.Find(record.designators);
  if (part_library_id.empty())
    part_library_id = own_part_library_id;
  BreakBeforeDocument(record.name, record.document);
  if (text_output_) {
    *text_output_ +=
        WithoutLineFeeds(record.name) + ";" + record.count + ";" + record.designators + "\n";
  } else if (target_.model_document) {
    WriteModelObjects(record, part_library_id, target_);
  } else {
    WriteSpecObject(record, part_library_id, target_);
  }
}

bool SpecificationRun::Close() {
  return sort_.Close();
}

}  // namespace zuro::generation
