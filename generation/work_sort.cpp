#include "generation/work_sort.h"

#include <cmath>
#include <utility>

#include "base/text_edit.h"
#include "base/leading_numbers.h"

namespace zuro::generation {

namespace {

// Powers and voltages this close are one value: reports write 0.25 and 0.2505 for the same part.
constexpr double kSameRating = 0.001;

// The work tables of the four levels and the key each is sorted by.
constexpr const char* kTableNames[] = {"names1", "names2", "names3", "names4"};
constexpr const char* kSortKeys[] = {"component", "watt", "volt", "value"};

double RatingValue(std::string text) {
  ReplaceAll(text, ",", ".");
  return LeadingReal(text);
}

}  // namespace

SortAttributes ReadSortAttributes(const table::GridModel& table,
                                  const readers::ReportAttributes& attributes,
                                  int row) {
  SortAttributes read;
  const std::pair<const char*, std::string*> wanted[] = {
      {"Nominal", &read.nominal}, {"Unit", &read.unit},         {"TypeElement", &read.type},
      {"Name", &read.name},       {"Specific", &read.specific}, {"Volt", &read.volt},
      {"Watt", &read.watt},
  };
  for (size_t i = 0; i < attributes.names.size(); ++i) {
    for (const auto& [title, text] : wanted) {
      if (attributes.names[i] == title)
        *text = table.GetItemText(row, static_cast<int>(i) + 1);
    }
  }
  return read;
}

WorkRecord SortKeys(SortAttributes attributes) {
  WorkRecord record;
  record.value = ScaledNominal(attributes.nominal, attributes.unit);
  record.pattern = attributes.type;
  record.component = attributes.type + " " + attributes.name;
  record.unit = std::move(attributes.unit);
  record.volt = RatingValue(std::move(attributes.volt));
  record.watt = RatingValue(std::move(attributes.watt));
  return record;
}

double ScaledNominal(std::string_view nominal, std::string& unit) {
  if (nominal.empty())
    return 0;
  std::string text(nominal);
  ReplaceAll(text, ",", ".");
  const double v = LeadingReal(text);
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

bool WorkSort::Open(const std::string& library_folder) {
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

bool WorkSort::Failed(const std::string& text) {
  last_error_ = text;
  sound_ = false;
  return false;
}

bool WorkSort::Add(const WorkRecord& record) {
  if (!IsOpen())
    return false;
  WorkTable& names1 = *tables_[0];
  names1.AddNew();
  const bool stored =
      names1.SetField("name", record.name) && names1.SetField("pattern", record.pattern) &&
      names1.SetField("component", record.component) && names1.SetField("doc", record.doc) &&
      names1.SetField("value", record.value) && names1.SetField("unit", record.unit) &&
      names1.SetField("count", record.count) && names1.SetField("refdes", record.refdes) &&
      names1.SetField("volt", record.volt) && names1.SetField("watt", record.watt) &&
      names1.Update();
  return stored || Failed(names1.LastError());
}

bool WorkSort::Walk(const std::function<void(const WorkRecord&)>& visit) {
  if (!sound_ || !IsOpen())
    return false;
  SortLevel(0, visit);
  return sound_;
}

// Records run together while their key stays equal to the run's first: the same component text
// byte for byte, or power, voltage within kSameRating. Each run is sorted again by the next key
// in the next table, and the last table's records are visited in their order.
void WorkSort::SortLevel(size_t level, const std::function<void(const WorkRecord&)>& visit) {
  WorkTable& table = *tables_[level];
  if (!table.SetSort(kSortKeys[level]))
    Failed(table.LastError());
  if (level + 1 == kLevels) {
    for (table.MoveFirst(); !table.IsEOF(); table.MoveNext()) {
      WorkRecord record;
      record.name = table.GetText("name");
      record.component = table.GetText("component");
      record.doc = table.GetText("doc");
      record.value = table.GetDouble("value");
      record.count = table.GetText("count");
      record.refdes = table.GetText("refdes");
      record.volt = table.GetDouble("volt");
      visit(record);
    }
    return;
  }
  WorkTable& next = *tables_[level + 1];
  const auto end_run = [&] {
    SortLevel(level + 1, visit);
    if (!next.Empty())
      Failed(next.LastError());
  };
  bool in_run = false;
  std::string run_text;
  double run_number = 0;
  for (table.MoveFirst(); !table.IsEOF(); table.MoveNext()) {
    const bool same = level == 0
                          ? table.GetText(kSortKeys[0]) == run_text
                          : std::fabs(table.GetDouble(kSortKeys[level]) - run_number) < kSameRating;
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

// names2 and names3 take every field but the pattern and the unit; names4 loses the power too.
void WorkSort::CopyRecord(WorkTable& from, WorkTable& to, bool with_watt) {
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

bool WorkSort::Close() {
  tables_.clear();
  return !database_.IsOpen() || database_.Close();
}

}  // namespace zuro::generation
