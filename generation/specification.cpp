#include "generation/specification.h"

#include <cmath>
#include <utility>

#include "generation/designators.h"
#include "generation/generation_run.h"
#include "readers/report_lines.h"

namespace zuro::generation {

namespace {

constexpr int32_t kSpecStyle = 1;
constexpr int32_t kSpecSection = 30;
constexpr int32_t kNameColumn = 5;
constexpr int32_t kCountColumn = 6;
constexpr int32_t kDesignatorColumn = 7;
constexpr int32_t kPositionColumn = 3;
// Powers and voltages this close are one value: reports write 0.25 and 0.2505 for the same part.
constexpr double kSameRating = 0.001;

// The work tables of the four sort levels and the key each is sorted by.
constexpr const char* kTableNames[] = {"names1", "names2", "names3", "names4"};
constexpr const char* kSortKeys[] = {"component", "watt", "volt", "value"};
constexpr size_t kLevels = 4;

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

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
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
void FindSpecColumns(ObjectWriter& object, int32_t reference, host::SpecStyleColumns& columns) {
  if (columns.bco > 0)
    return;
  host::SpecEditor& editor = object.editor();
  const int32_t first = editor.ColumnCount("", 0, 0);
  const int32_t second = editor.ColumnCount("", 0, 1);
  for (int32_t i = 1; i < first + second; ++i) {
    host::ParamRecord record = object.application().NewParamRecord(host::kColumnRecord);
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
                      const host::SpecStyleColumns& columns) {
  object.SetText(kNameColumn, record.name);
  object.SetInteger(kCountColumn, count);
  object.SetText(kDesignatorColumn, designators);
  if (extra_columns) {
    object.SetText(columns.bco, WithoutLineFeeds(designators));
    object.SetText(columns.standard, WithoutLineFeeds(record.document));
    object.SetText(columns.part_library, WithoutLineFeeds(part_library_id));
  }
  object.SetInteger(kPositionColumn, 0);
}

// The attributes the sort reads from an item's base row, by their names in the report.
struct SortAttributes {
  std::string nominal, unit, type, name, specific, volt, watt;
};

SortAttributes ReadSortAttributes(const table::GridModel& table,
                                  const readers::ReportAttributes& attributes,
                                  int row) {
  SortAttributes read;
  const std::pair<const char*, std::string*> wanted[] = {
      {"Nominal", &read.nominal},   {"Unit", &read.unit},  {"TypeElement", &read.type},
      {"Name", &read.name},         {"Specific", &read.specific},
      {"Volt", &read.volt},         {"Watt", &read.watt},
  };
  for (size_t i = 0; i < attributes.names.size(); ++i) {
    for (const auto& [title, text] : wanted) {
      if (attributes.names[i] == title)
        *text = table.GetItemText(row, static_cast<int>(i) + 1);
    }
  }
  return read;
}

double RatingValue(std::string text) {
  ReplaceAll(text, ",", ".");
  return readers::LeadingReal(text);
}

}  // namespace

double ScaledNominal(std::string_view nominal, std::string& unit) {
  if (nominal.empty())
    return 0;
  std::string text(nominal);
  ReplaceAll(text, ",", ".");
  const double v = readers::LeadingReal(text);
  double value = v;
  // The tests run in this order, each on the unit as the earlier ones left it: "мк" is emptied
  // so that it is not taken for milli afterwards.
  if (unit.starts_with("М"))
    value = v * 1000000;
  if (unit.starts_with("к"))
    value = v * 1000;
  if (unit.starts_with("мк")) {
    value = v * 0.000001;
    unit.clear();
  }
  if (unit.starts_with("м"))
    value = v * 0.001;
  if (unit.starts_with("н"))
    value = v * 0.000000001;
  if (unit.starts_with("п"))
    value = v * 0.000000000001;
  return value;
}

void BreakBeforeDocument(std::string& name, std::string_view document) {
  if (document.empty() || name.find('\n') != std::string::npos)
    return;
  const size_t at = name.find(document);
  if (at != std::string::npos && at > 0)
    name.insert(at, 1, '\n');
}

PartLibraryLookup::PartLibraryLookup(const table::GridModel& table,
                                     const readers::ReportAttributes& attributes) {
  if (attributes.refdes_column <= 0 || attributes.partlib_column <= 0)
    return;
  for (int row = 1; row < table.GetRowCount(); ++row) {
    designators_.push_back(
        ComparedDesignators(table.GetItemText(row, attributes.refdes_column)));
    ids_.push_back(table.GetItemText(row, attributes.partlib_column));
  }
}

// A record no row holds gets no id: keeping the one found for an earlier record would give this
// part another part's library entry. The record's designators are found whole, at the start of
// the row's text or after one of its commas, so that A1 is not taken for the end of DA1.
std::string PartLibraryLookup::Find(std::string_view designators) const {
  const std::string wanted = ComparedDesignators(designators);
  for (size_t i = designators_.size(); i-- > 0;) {
    const std::string& row = designators_[i];
    for (size_t at = row.find(wanted); at != std::string::npos; at = row.find(wanted, at + 1)) {
      if (at == 0 || row[at - 1] == ',')
        return ids_[i];
    }
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
                   target.columns.bco > 0, target.columns);
  object.Finish();
}

// One object per designator, each linked to the model item of that designator. A designator the
// model lacks ends the record: its objects would stand unlinked in a document of linked ones.
void WriteModelObjects(const SpecRecord& record,
                       const std::string& part_library_id,
                       const SpecTarget& target) {
  host::ItemCollection items = target.model_document.Items();
  const int32_t count = items.Count();
  for (const std::string& designator : ExpandDesignators(WithoutLineFeeds(record.designators))) {
    host::ModelItem match;
    for (int32_t j = 1; j < count && !match; ++j) {
      host::ModelItem item = items.Item(j);
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
                     target.columns);
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
  if (!database_.Open(library_folder))
    return Failed(database_.LastError());
  for (const char* name : kTableNames) {
    auto table = std::make_unique<WorkTable>(database_);
    if (!table->Open(name) || !table->Empty())
      return Failed(table->LastError());
    tables_.push_back(std::move(table));
  }
  return true;
}

bool SpecificationRun::Failed(const std::string& text) {
  last_error_ = text;
  stored_all_ = false;
  return false;
}

void SpecificationRun::Collect(const ItemTexts& item, int base_row) {
  if (tables_.size() != kLevels)
    return;
  SortAttributes read = ReadSortAttributes(table_, attributes_, base_row);
  const double value = ScaledNominal(read.nominal, read.unit);
  WorkTable& names1 = *tables_[0];
  names1.AddNew();
  const bool stored =
      names1.SetField("name", item.spec_name) && names1.SetField("pattern", read.type) &&
      names1.SetField("component", read.type + " " + read.name) &&
      names1.SetField("doc", read.specific.empty() ? item.standard : read.specific) &&
      names1.SetField("value", value) && names1.SetField("unit", read.unit) &&
      names1.SetField("count", item.count) && names1.SetField("refdes", item.designators) &&
      names1.SetField("volt", RatingValue(read.volt)) &&
      names1.SetField("watt", RatingValue(read.watt)) && names1.Update();
  if (!stored)
    Failed(names1.LastError());
}

// An item written as soon as it is composed still has its base row's part library id at hand:
// it stands when no row is found by the item's designators, as in the windows whose reports have
// no "RefDes" column to search.
void SpecificationRun::WriteNow(const ItemTexts& item) {
  WriteRecord({item.spec_name, item.count, item.designators, item.standard}, item.part_library_id);
}

bool SpecificationRun::SortAndWrite() {
  if (!stored_all_ || tables_.size() != kLevels)
    return false;
  SortLevel(0);
  return stored_all_;
}

// Records run together while their key stays equal to the run's first: the same component text
// byte for byte, or power, voltage within kSameRating. Each run is sorted again by the next key
// in the next table, and the last table's records are written in their order.
void SpecificationRun::SortLevel(size_t level) {
  WorkTable& table = *tables_[level];
  if (!table.SetSort(kSortKeys[level]))
    Failed(table.LastError());
  if (level + 1 == kLevels) {
    for (table.MoveFirst(); !table.IsEOF(); table.MoveNext()) {
      WriteRecord({table.GetText("name"), table.GetText("count"), table.GetText("refdes"),
                   table.GetText("doc")});
    }
    return;
  }
  WorkTable& next = *tables_[level + 1];
  const auto end_run = [&] {
    SortLevel(level + 1);
    if (!next.Empty())
      Failed(next.LastError());
  };
  bool in_run = false;
  std::string run_text;
  double run_number = 0;
  for (table.MoveFirst(); !table.IsEOF(); table.MoveNext()) {
    const bool same = level == 0 ? table.GetText(kSortKeys[0]) == run_text
                                 : std::fabs(table.GetDouble(kSortKeys[level]) - run_number) <
                                       kSameRating;
    if (in_run && !same)
      end_run();
    if (!in_run || !same) {
      in_run = true;
      run_text = level == 0 ? table.GetText(kSortKeys[0]) : std::string();
      run_number = level == 0 ? 0 : table.GetDouble(kSortKeys[level]);
    }
    CopyRecord(table, next, level + 1 < kLevels - 1);
  }
  if (in_run)
    end_run();
}

void SpecificationRun::CopyRecord(WorkTable& from, WorkTable& to, bool with_watt) {
  to.AddNew();
  bool stored = true;
  for (const char* field : {"name", "component", "count", "refdes", "doc"})
    stored = stored && to.SetField(field, from.GetText(field));
  for (const char* field : {"value", "volt"})
    stored = stored && to.SetField(field, from.GetDouble(field));
  if (with_watt)
    stored = stored && to.SetField("watt", from.GetDouble("watt"));
  if (!stored || !to.Update())
    Failed(to.LastError());
}

void SpecificationRun::WriteRecord(SpecRecord record, const std::string& own_part_library_id) {
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
  tables_.clear();
  return !database_.IsOpen() || database_.Close();
}

}  // namespace zuro::generation
