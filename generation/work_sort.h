// The sort of one run through the work database: records added to names1, then walked in order of
// component, power, voltage and nominal value, each level sorting one run of the level above. The
// specification writes its objects in this order, and the PDM window its object lines. names1
// keeps the run's records in bom.db for whoever looks at them afterwards; the sort itself needs no
// table and is made in memory on the records' copies, as names2..names4 would have made it. The
// records are kept as they are added and stored in names1 together, before the walk or beside it.
#pragma once

#include <cstdint>
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

// ReadSortAttributes for the rows of one table: the attributes are found by their names once.
class SortAttributeColumns {
 public:
  explicit SortAttributeColumns(const std::vector<std::string>& attribute_names);
  SortAttributes Read(const table::GridModel& table, int row) const;
  // Read into `read`, whose texts keep their storage from one row to the next.
  void ReadInto(const table::GridModel& table, int row, SortAttributes& read) const;

 private:
  // The table column of each attribute, in the order of SortAttributes' fields; -1 without one.
  int columns_[7];
};

// The sort keys of a row's attributes: pattern, component, value, unit, volt and watt of the
// record; the other fields are the caller's.
WorkRecord SortKeys(SortAttributes attributes);
// The same keys set in `record`, whose texts keep their storage from one row to the next.
void SetSortKeys(const SortAttributes& attributes, WorkRecord& record);

// The nominal value in base units for sorting: "4,7" with "кОм" gives 4700. A unit beginning with
// "мк" is emptied, as the record keeps no unit for micro values.
double ScaledNominal(std::string_view nominal, std::string& unit);

class WorkSort {
 public:
  // Opens the work database in the library folder and empties its four tables; false (with
  // LastError) when it cannot be opened or created. names2..names4 stay empty.
  bool Open(const std::string& library_folder);
  bool IsOpen() const { return tables_.size() == kLevels; }
  // Room for this many records, so that a caller that knows how many it adds never has their
  // copies moved (and held twice) as they grow.
  void Reserve(size_t records) { kept_.reserve(records); }
  // Keeps a record for names1 and the sort; false when the database is not open.
  bool Add(const WorkRecord& record);
  // Stores the records in names1 in the order they were added, then visits them in order, each
  // with the fields the last level kept (no pattern, unit or power); false, visiting none, when a
  // record could not be stored.
  bool Walk(const std::function<void(const WorkRecord&)>& visit);
  // Visits the records in order while a thread of its own stores them in names1 and keeps the
  // run, closing the database: a large board's list is composed in the time its records take to
  // store. False when a record could not be stored: the visits have been made all the same, and
  // the caller drops what they made, as nothing may come of a run the database did not take. A
  // run that could not be kept (its commit refused) says so only through Close.
  bool WalkWhileStoring(const std::function<void(const WorkRecord&)>& visit);
  // Ends the run's use of the database; names1 keeps the run's records.
  bool Close();
  const std::string& LastError() const { return last_error_; }

 private:
  static constexpr size_t kLevels = 4;
  // A record's copy: its texts one after another in block `block` of texts_ from `offset`, in the
  // order of the lengths here, and its numbers as they were added.
  struct Kept {
    uint32_t block = 0;
    uint32_t offset = 0;
    uint32_t name = 0, component = 0, doc = 0, count = 0, refdes = 0, pattern = 0, unit = 0;
    double value = 0, volt = 0, watt = 0;
  };
  using Order = std::vector<uint32_t>;  // indexes into kept_
  // The texts of a record as they follow one another.
  std::string_view Texts(const Kept& kept) const;
  std::string_view Component(const Kept& kept) const;
  void Visited(const Kept& kept, WorkRecord& record) const;
  // Stores every record kept in names1; false (with LastError) at the first that fails.
  bool Store();
  void VisitInOrder(const std::function<void(const WorkRecord&)>& visit) const;
  void SortRun(Order::iterator begin,
               Order::iterator end,
               size_t level,
               const std::function<void(const WorkRecord&)>& visit,
               WorkRecord& record) const;
  bool Failed(const std::string& text);

  NamesDatabase database_;
  std::vector<std::unique_ptr<WorkTable>> tables_;
  bool sound_ = true;
  bool stored_ = false;   // names1 holds the records kept
  bool run_kept_ = true;  // the commit of a database that WalkWhileStoring closed
  std::string last_error_;
  // The records' texts in blocks of kTextBlock bytes or so, each record's in one block: a large
  // run's texts never stand twice in memory, as they would while a single buffer grew.
  static constexpr size_t kTextBlock = 1 << 18;
  std::vector<std::string> texts_;
  std::vector<Kept> kept_;
};

}  // namespace zuro::generation
