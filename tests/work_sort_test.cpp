#include <gtest/gtest.h>
#include <sqlite3.h>

#include "tests/test_folder.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "generation/names_database.h"
#include "generation/work_sort.h"

namespace zuro::generation {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Item {
  std::string label;  // the record's name; its doc, count and designators are made from it
  std::string component;
  double watt = 0, volt = 0, value = 0;
};

WorkRecord RecordOf(const Item& item) {
  WorkRecord record;
  record.name = item.label;
  record.pattern = "pattern";
  record.component = item.component;
  record.doc = item.label + ".doc";
  record.unit = "unit";
  record.count = item.label + ".count";
  record.refdes = item.label + ".refdes";
  record.watt = item.watt;
  record.volt = item.volt;
  record.value = item.value;
  return record;
}

class WorkSortTest : public ::testing::Test {
 protected:
  // The labels of the records as the walk visits them, or the failure; the walk stores the records
  // first, or `while_storing` beside.
  std::vector<std::string> Walked(const std::vector<Item>& items, bool while_storing = false) {
    WorkSort sort;
    if (!sort.Open(folder_.path()))
      return {sort.LastError()};
    for (const Item& item : items) {
      if (!sort.Add(RecordOf(item)))
        return {sort.LastError()};
    }
    std::vector<std::string> labels;
    const auto visit = [&](const WorkRecord& record) {
      const bool whole = record.doc == record.name + ".doc" &&
                         record.count == record.name + ".count" &&
                         record.refdes == record.name + ".refdes";
      labels.push_back(whole ? record.name : "broken " + record.name);
    };
    const bool walked = while_storing ? sort.WalkWhileStoring(visit) : sort.Walk(visit);
    if (!walked)
      labels.push_back(sort.LastError());
    EXPECT_TRUE(sort.Close()) << sort.LastError();
    return labels;
  }

  testing_support::TestFolder folder_{"work_sort"};
};

// Components sort by their code page 1251 bytes ("C" 0x43 < "R" 0x52 < "Я" 0xDF); within a
// component, powers within 0.001 of the first of their run run together, and so do voltages;
// the last level sorts by value, and records with equal keys keep the order they were added in.
TEST_F(WorkSortTest, WalksByComponentPowerVoltageAndValue) {
  const struct {
    const char* title;
    std::vector<Item> items;
    std::vector<std::string> order;
  } cases[] = {
      {"levels",
       {{"a", "R", 0.25, 50, 100},
        {"b", "C", 0, 0, 5},
        {"c", "R", 0.2505, 16, 10},
        {"d", "R", 0.125, 50, 1},
        {"e", "C", 0, 0, 5},
        {"f", "\xDF", 0, 0, 0},
        {"g", "R", 0.2515, 10, 1}},
       // R's powers: d 0.125 | a 0.25, c 0.2505 (within 0.001 of a) | g 0.2515; c before a by
       // voltage.
       {"b", "e", "d", "c", "a", "g", "f"}},
      {"a run is measured from its first record, not from its last",
       {{"x", "R", 0.1, 30, 0}, {"y", "R", 0.1008, 20, 0}, {"z", "R", 0.1016, 10, 0}},
       // x and y run together and go by voltage; z is 0.0016 past x and runs alone.
       {"y", "x", "z"}},
      {"voltages run together as powers do",
       {{"p", "R", 0, 10.0005, 1}, {"q", "R", 0, 10, 2}, {"r", "R", 0, 9, 9}},
       // q and p run together and go by value.
       {"r", "p", "q"}},
      {"a number that is none counts as 0 below the components",
       {{"n1", "R", 0, 0, 0.5},
        {"n2", "R", 0, 0, kNaN},
        {"n3", "R", 0, 0, -1},
        {"n4", "R", kNaN, 5, 0},
        {"n5", "R", 0.0005, 1, 0}},
       // n4's power is 0, so n4 and n5 run with the others; by voltage n1, n2, n3 (0), n5 (1),
       // n4 (5); by value within the first run n3 (-1), n2 (0), n1 (0.5).
       {"n3", "n2", "n1", "n5", "n4"}},
      {"a component before the longer ones it begins, an empty one first, each in its order",
       {{"a", "R1", 0, 0, 0}, {"b", "R", 0, 0, 0}, {"c", "R1", 0, 0, 0}, {"d", "", 0, 0, 0},
        {"e", "R", 0, 0, 0}},
       {"d", "b", "e", "a", "c"}},
      {"nothing added", {}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Walked(c.items), c.order) << c.title;
    EXPECT_EQ(Walked(c.items, true), c.order) << c.title << ", while storing";
  }
}

// names1 keeps every record of the run, in the order added, for whoever reads bom.db afterwards;
// the other tables stay empty; a second run replaces the first, whichever way it was walked.
TEST_F(WorkSortTest, Names1KeepsTheLastRunsRecords) {
  Walked({{"a", "R"}, {"b", "C"}});
  Walked({{"c", "Z", 0, 0, kNaN}, {"d", "A", 0.5, 16, 100}}, true);
  NamesDatabase database;
  ASSERT_TRUE(database.Open(folder_.path())) << database.LastError();
  const char* const tables[] = {"names1", "names2", "names3", "names4"};
  for (const char* name : tables) {
    WorkTable table(database);
    ASSERT_TRUE(table.Open(name)) << table.LastError();
    std::vector<std::string> records;
    for (table.MoveFirst(); !table.IsEOF(); table.MoveNext()) {
      records.push_back(table.GetText("name") + " " + table.GetText("pattern") + " " +
                        table.GetText("component") + " " + table.GetText("unit") + " " +
                        std::to_string(table.GetDouble("value")) + " " +
                        std::to_string(table.GetDouble("watt")));
    }
    const std::vector<std::string> expected =
        name == tables[0] ? std::vector<std::string>{"c pattern Z unit 0.000000 0.000000",
                                                     "d pattern A unit 100.000000 0.500000"}
                          : std::vector<std::string>{};
    EXPECT_EQ(records, expected) << name;
  }
}

// A names1 from elsewhere that lacks a field takes no record: the walk then visits none, and a
// walk beside the storing visits every record but says that the run was not taken.
TEST_F(WorkSortTest, ARecordThatCannotBeStoredStopsTheRun) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((folder_ + "bom.db").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE names1 (name BLOB)", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  for (const bool while_storing : {false, true}) {
    WorkSort sort;
    ASSERT_TRUE(sort.Open(folder_.path())) << sort.LastError();
    EXPECT_TRUE(sort.Add(RecordOf({"a", "R"})));
    EXPECT_TRUE(sort.Add(RecordOf({"b", "C"})));
    int visited = 0;
    const auto visit = [&](const WorkRecord&) { ++visited; };
    EXPECT_FALSE(while_storing ? sort.WalkWhileStoring(visit) : sort.Walk(visit));
    EXPECT_EQ(visited, while_storing ? 2 : 0);
    EXPECT_NE(sort.LastError().find("has no column named pattern"), std::string::npos)
        << sort.LastError();
    sort.Close();
  }
}

}  // namespace
}  // namespace zuro::generation
