// The sort of one run through the work database: records added to names1, then walked in order of
// component, power, voltage and nominal value, each level sorting one run of the level above in
// its own table. The specification writes its objects in this order, and the PDM window its
// object lines.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "generation/names_database.h"
#include "readers/report_attributes.h"
#include "table/grid_model.h"

namespace zuro::generation {

// One record of the work tables (code page 1251 texts).
struct WorkRecord {
  std::string name;
  std::string pattern;
  std::string component;
  std::string doc;
  double value = 0;
  std::string unit;
  std::string count;
  std::string refdes;
  double volt = 0;
  double watt = 0;
};

// The attributes the sort reads from a row, found by their names in the report ("Nominal",
// "Unit", "TypeElement", "Name", "Specific", "Volt", "Watt"); a later attribute of a name wins,
// a missing one is empty.
struct SortAttributes {
  std::string nominal, unit, type, name, specific, volt, watt;
};
SortAttributes ReadSortAttributes(const table::GridModel& table,
                                  const readers::ReportAttributes& attributes,
                                  int row);

// The sort keys of a row's attributes: pattern, component, value, unit, volt and watt of the
// record; the other fields are the caller's.
WorkRecord SortKeys(SortAttributes attributes);

// The nominal value in base units for sorting: "4,7" with "кОм" gives 4700. A unit beginning with
// "мк" is emptied, as the record keeps no unit for micro values.
double ScaledNominal(std::string_view nominal, std::string& unit);

class WorkSort {
 public:
  // Opens the work database in the library folder and empties its four tables; false (with
  // LastError) when it cannot be opened or created.
  bool Open(const std::string& library_folder);
  bool IsOpen() const { return tables_.size() == kLevels; }
  // Adds a record to names1; false when it could not be stored.
  bool Add(const WorkRecord& record);
  // Visits the records in order; false when a level could not be sorted or copied, which may
  // leave records unvisited.
  bool Walk(const std::function<void(const WorkRecord&)>& visit);
  // Ends the run's use of the database; names1 keeps the run's records.
  bool Close();
  const std::string& LastError() const { return last_error_; }

 private:
  static constexpr size_t kLevels = 4;
  void SortLevel(size_t level, const std::function<void(const WorkRecord&)>& visit);
  void CopyRecord(WorkTable& from, WorkTable& to, bool with_watt);
  bool Failed(const std::string& text);

  NamesDatabase database_;
  std::vector<std::unique_ptr<WorkTable>> tables_;
  bool sound_ = true;
  std::string last_error_;
};

}  // namespace zuro::generation
