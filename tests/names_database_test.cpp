#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <filesystem>
#include <string>
#include <vector>

#include "generation/names_database.h"

namespace zuro::generation {
namespace {

using testing_support::ReadBytes;
using testing_support::TestFolder;

const char* const kTables[] = {"names1", "names2", "names3", "names4"};

// Every field's texts of a table, walked from the cursor's first record.
std::vector<std::string> Texts(WorkTable& table, const std::string& field) {
  std::vector<std::string> texts;
  for (table.MoveFirst(); !table.IsEOF(); table.MoveNext())
    texts.push_back(table.GetText(field));
  return texts;
}

void Add(WorkTable& table, const std::string& name, const std::string& key_field, double key) {
  table.AddNew();
  ASSERT_TRUE(table.SetField("name", name)) << table.LastError();
  ASSERT_TRUE(table.SetField(key_field, key)) << table.LastError();
  ASSERT_TRUE(table.Update()) << table.LastError();
}

// Empties the table as the generator does: delete the current record, move on, to the end.
void DeleteAll(WorkTable& table) {
  for (table.MoveFirst(); !table.IsEOF(); table.MoveNext())
    ASSERT_TRUE(table.DeleteCurrent()) << table.LastError();
}

class NamesDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(database_.Open(folder_.path())) << database_.LastError(); }

  // Closes and opens the file again, as the next run does.
  void Reopen() {
    ASSERT_TRUE(database_.Close()) << database_.LastError();
    ASSERT_TRUE(database_.Open(folder_.path())) << database_.LastError();
  }

  TestFolder folder_{"names_database"};
  NamesDatabase database_;
};

TEST_F(NamesDatabaseTest, CreatesTheFileWithTheFourTablesAndTheirFields) {
  EXPECT_EQ(database_.FilePath(), folder_ + "bom.db");
  EXPECT_TRUE(std::filesystem::exists(folder_ + "bom.db"));
  const std::vector<std::vector<std::string>> fields = {
      {"name", "pattern", "component", "doc", "value", "unit", "count", "refdes", "volt", "watt"},
      {"name", "component", "doc", "value", "count", "refdes", "volt", "watt"},
      {"name", "component", "doc", "value", "count", "refdes", "volt", "watt"},
      {"name", "component", "doc", "value", "count", "refdes", "volt"}};
  for (int t = 0; t < 4; ++t) {
    WorkTable table(database_);
    ASSERT_TRUE(table.Open(kTables[t])) << table.LastError();
    EXPECT_TRUE(table.IsEOF());
    table.AddNew();
    for (const std::string& field : fields[t]) {
      if (field == "value" || field == "volt" || field == "watt")
        table.SetField(field, 1.5);
      else
        table.SetField(field, field + " текст");
    }
    ASSERT_TRUE(table.Update()) << kTables[t] << ": " << table.LastError();
    for (const std::string& field : fields[t]) {
      if (field == "value" || field == "volt" || field == "watt")
        EXPECT_EQ(table.GetDouble(field), 1.5) << field;
      else
        EXPECT_EQ(table.GetText(field), field + " текст") << field;
    }
  }
  // The tables lack what the generator never writes into them.
  WorkTable names2(database_), names4(database_);
  ASSERT_TRUE(names2.Open("names2"));
  names2.AddNew();
  names2.SetField("unit", "кОм");
  EXPECT_FALSE(names2.Update());
  EXPECT_NE(names2.LastError().find("no column named unit"), std::string::npos);
  ASSERT_TRUE(names4.Open("names4"));
  names4.AddNew();
  names4.SetField("watt", 0.25);
  EXPECT_FALSE(names4.Update());
  EXPECT_EQ(names4.LastError(),
            "Query = names4\nCADORecordset Error\n\tCode = 00000001\n\tCode meaning = SQL logic "
            "error\n\tSource = SQLite\n\tDescription = table names4 has no column named watt\n");
  // Nothing half-written was kept.
  names4.MoveFirst();
  EXPECT_EQ(Texts(names4, "name").size(), 1u);
}

TEST_F(NamesDatabaseTest, FieldsNotSetAreEmptyTextsAndZero) {
  WorkTable names1(database_);
  ASSERT_TRUE(names1.Open("names1"));
  names1.AddNew();
  ASSERT_TRUE(names1.Update()) << names1.LastError();
  names1.AddNew();
  names1.SetField("volt", 16.0);
  ASSERT_TRUE(names1.Update());
  names1.MoveFirst();
  EXPECT_EQ(names1.GetText("refdes"), "");
  EXPECT_EQ(names1.GetDouble("watt"), 0.0);
  names1.MoveNext();
  EXPECT_EQ(names1.GetText("name"), "");
  EXPECT_EQ(names1.GetDouble("volt"), 16.0);
  EXPECT_EQ(names1.LastError(), "");
}

TEST_F(NamesDatabaseTest, LongTextsWithLineFeedsAndEveryByteComeBackAsTheyWere) {
  std::string refdes;
  for (int i = 1; i <= 20000; ++i)
    refdes += "R" + std::to_string(i) + (i % 10 ? "," : ",\n");
  std::string bytes;
  for (int b = 0; b < 256; ++b)
    bytes += static_cast<char>(b);
  const std::string name = "Резистор С2-23\nОЖО.467.081 ТУ";
  WorkTable names1(database_);
  ASSERT_TRUE(names1.Open("names1"));
  names1.AddNew();
  names1.SetField("refdes", refdes);
  names1.SetField("name", name);
  names1.SetField("doc", bytes);
  names1.SetField("unit", "мкФ");
  names1.SetField("value", 4.7e-6);
  ASSERT_TRUE(names1.Update()) << names1.LastError();
  Reopen();
  ASSERT_TRUE(names1.Open("names1"));
  ASSERT_FALSE(names1.IsEOF());
  EXPECT_EQ(names1.GetText("refdes"), refdes);
  EXPECT_EQ(names1.GetText("name"), name);
  EXPECT_EQ(names1.GetText("doc"), bytes);
  EXPECT_EQ(names1.GetText("unit"), "мкФ");
  EXPECT_EQ(names1.GetDouble("value"), 4.7e-6);
}

TEST_F(NamesDatabaseTest, ComponentsSortByTheirBytesAndEqualOnesKeepTheOrderAdded) {
  WorkTable names1(database_);
  ASSERT_TRUE(names1.Open("names1"));
  // (component, name): in code page 1251 Cyrillic letters come after Latin ones, "Р" after "К".
  const std::vector<std::pair<std::string, std::string>> items = {{"Резистор С2-33", "first"},
                                                                  {"Конденсатор К10-17", "second"},
                                                                  {"Резистор С2-33", "third"},
                                                                  {"Diode 1N4148", "fourth"},
                                                                  {"Резистор С2-29", "fifth"},
                                                                  {"Конденсатор К10-17", "sixth"},
                                                                  {"", "seventh"}};
  for (const auto& [component, name] : items) {
    names1.AddNew();
    names1.SetField("component", component);
    names1.SetField("name", name);
    ASSERT_TRUE(names1.Update()) << names1.LastError();
  }
  ASSERT_TRUE(names1.SetSort("component")) << names1.LastError();
  EXPECT_EQ(Texts(names1, "name"), (std::vector<std::string>{"seventh", "fourth", "second", "sixth",
                                                             "fifth", "first", "third"}));
  // The empty sort gives the order the records were added in.
  ASSERT_TRUE(names1.SetSort(""));
  EXPECT_EQ(Texts(names1, "name"), (std::vector<std::string>{"first", "second", "third", "fourth",
                                                             "fifth", "sixth", "seventh"}));
}

TEST_F(NamesDatabaseTest, EachLevelSortsAscendingByItsNumberKey) {
  struct Level {
    const char* table;
    const char* key;
  };
  for (const Level& level :
       {Level{"names2", "watt"}, Level{"names3", "volt"}, Level{"names4", "value"}}) {
    WorkTable table(database_);
    ASSERT_TRUE(table.Open(level.table));
    Add(table, "a", level.key, 1000000);
    Add(table, "b", level.key, 470);
    Add(table, "c", level.key, 0.25);
    Add(table, "d", level.key, 4700);
    Add(table, "e", level.key, 470);
    Add(table, "f", level.key, 0);
    Add(table, "g", level.key, -1);
    Add(table, "h", level.key, 0.2505);
    ASSERT_TRUE(table.SetSort(level.key)) << table.LastError();
    EXPECT_FALSE(table.IsEOF());
    EXPECT_EQ(table.GetText("name"), "g") << "the sort puts the cursor on the first record";
    EXPECT_EQ(Texts(table, "name"),
              (std::vector<std::string>{"g", "f", "c", "h", "b", "e", "d", "a"}))
        << level.table;
    ASSERT_TRUE(table.SetSort(""));
    EXPECT_EQ(Texts(table, "name"),
              (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g", "h"}));
  }
}

TEST_F(NamesDatabaseTest, SortingAgainTakesTheRecordsAddedSince) {
  WorkTable names2(database_);
  ASSERT_TRUE(names2.Open("names2"));
  Add(names2, "b", "watt", 2);
  ASSERT_TRUE(names2.SetSort("watt"));
  Add(names2, "a", "watt", 1);
  // Until the next sort, the added record stands after the others.
  EXPECT_EQ(Texts(names2, "name"), (std::vector<std::string>{"b", "a"}));
  ASSERT_TRUE(names2.SetSort("watt"));
  EXPECT_EQ(Texts(names2, "name"), (std::vector<std::string>{"a", "b"}));
}

TEST_F(NamesDatabaseTest, WalksForwardAndBackward) {
  WorkTable names3(database_);
  ASSERT_TRUE(names3.Open("names3"));
  EXPECT_TRUE(names3.IsEOF());
  EXPECT_TRUE(names3.IsBOF());
  for (const char* name : {"a", "b", "c"})
    Add(names3, name, "volt", 5);
  EXPECT_EQ(names3.GetText("name"), "c") << "the added record is the current one";
  names3.MoveNext();
  EXPECT_TRUE(names3.IsEOF());
  names3.MoveNext();
  EXPECT_TRUE(names3.IsEOF());
  EXPECT_EQ(names3.GetText("name"), "");
  EXPECT_NE(names3.LastError().find("there is no current record"), std::string::npos);
  names3.MovePrevious();
  EXPECT_EQ(names3.GetText("name"), "c");
  names3.MovePrevious();
  names3.MovePrevious();
  EXPECT_EQ(names3.GetText("name"), "a");
  EXPECT_FALSE(names3.IsBOF());
  names3.MovePrevious();
  EXPECT_TRUE(names3.IsBOF());
  EXPECT_FALSE(names3.IsEOF());
  names3.MovePrevious();
  EXPECT_TRUE(names3.IsBOF());
  names3.MoveNext();
  EXPECT_EQ(names3.GetText("name"), "a");
}

TEST_F(NamesDatabaseTest, DeletingLeavesTheCursorBetweenTheNeighbours) {
  WorkTable names4(database_);
  ASSERT_TRUE(names4.Open("names4"));
  for (const char* name : {"a", "b", "c", "d"})
    Add(names4, name, "value", 1);
  names4.MoveFirst();
  names4.MoveNext();
  ASSERT_TRUE(names4.DeleteCurrent());
  EXPECT_FALSE(names4.IsEOF());
  EXPECT_EQ(names4.GetText("name"), "");
  EXPECT_NE(names4.LastError().find("the current record was deleted"), std::string::npos);
  EXPECT_FALSE(names4.DeleteCurrent());
  names4.MoveNext();
  EXPECT_EQ(names4.GetText("name"), "c");
  ASSERT_TRUE(names4.DeleteCurrent());
  names4.MovePrevious();
  EXPECT_EQ(names4.GetText("name"), "a");
  // The last record deleted: the end comes with the next move.
  names4.MoveNext();
  EXPECT_EQ(names4.GetText("name"), "d");
  ASSERT_TRUE(names4.DeleteCurrent());
  EXPECT_FALSE(names4.IsEOF());
  names4.MoveNext();
  EXPECT_TRUE(names4.IsEOF());
  EXPECT_EQ(Texts(names4, "name"), (std::vector<std::string>{"a"}));
  // The deletes are in the file, not only in the cursor.
  Reopen();
  ASSERT_TRUE(names4.Open("names4"));
  EXPECT_EQ(Texts(names4, "name"), (std::vector<std::string>{"a"}));
}

TEST_F(NamesDatabaseTest, EmptyingByDeletesOrAtOnce) {
  WorkTable names1(database_), names2(database_);
  ASSERT_TRUE(names1.Open("names1"));
  ASSERT_TRUE(names2.Open("names2"));
  for (int i = 0; i < 50; ++i) {
    Add(names1, "item" + std::to_string(i), "volt", i % 3);
    Add(names2, "item" + std::to_string(i), "watt", i % 7);
  }
  ASSERT_TRUE(names1.SetSort("volt"));
  DeleteAll(names1);
  EXPECT_TRUE(names1.IsEOF());
  ASSERT_TRUE(names2.Empty()) << names2.LastError();
  EXPECT_TRUE(names2.IsEOF());
  Reopen();
  for (const char* name : {"names1", "names2"}) {
    WorkTable table(database_);
    ASSERT_TRUE(table.Open(name));
    EXPECT_TRUE(table.IsEOF()) << name;
  }
}

// One specification run as the generator makes it: the four tables emptied, one record per item
// in names1, copied down the levels and names2..names4 emptied again after each run of keys.
void RunSpecification(NamesDatabase& database, const std::vector<std::string>& components) {
  WorkTable tables[] = {WorkTable(database), WorkTable(database), WorkTable(database),
                        WorkTable(database)};
  for (int t = 0; t < 4; ++t) {
    ASSERT_TRUE(tables[t].Open(kTables[t])) << tables[t].LastError();
    DeleteAll(tables[t]);
  }
  for (const std::string& component : components) {
    tables[0].AddNew();
    tables[0].SetField("component", component);
    tables[0].SetField("name", component);
    ASSERT_TRUE(tables[0].Update());
  }
  ASSERT_TRUE(tables[0].SetSort("component"));
  for (tables[0].MoveFirst(); !tables[0].IsEOF(); tables[0].MoveNext()) {
    for (int level = 1; level < 4; ++level) {
      tables[level].AddNew();
      tables[level].SetField("name", tables[0].GetText("name"));
      ASSERT_TRUE(tables[level].Update());
    }
    for (int level = 1; level < 4; ++level)
      DeleteAll(tables[level]);
  }
  // names4 is emptied by closing and opening it again.
  tables[3].Close();
  ASSERT_TRUE(tables[3].Open("names4"));
  DeleteAll(tables[3]);
  for (WorkTable& table : tables)
    table.Close();
}

TEST_F(NamesDatabaseTest, ARunLeavesItsRecordsInNames1AndTheOtherTablesEmpty) {
  RunSpecification(database_, {"C", "A", "B"});
  Reopen();
  RunSpecification(database_, {"E", "D"});
  Reopen();
  WorkTable names1(database_);
  ASSERT_TRUE(names1.Open("names1"));
  EXPECT_EQ(Texts(names1, "component"), (std::vector<std::string>{"E", "D"}))
      << "the second run wrote each item once";
  for (int t = 1; t < 4; ++t) {
    WorkTable table(database_);
    ASSERT_TRUE(table.Open(kTables[t]));
    EXPECT_TRUE(table.IsEOF()) << kTables[t];
  }
}

TEST_F(NamesDatabaseTest, ClosingTheDatabaseClosesItsTables) {
  WorkTable names1(database_);
  ASSERT_TRUE(names1.Open("names1"));
  Add(names1, "kept", "value", 1);
  ASSERT_TRUE(database_.Close());
  EXPECT_FALSE(database_.IsOpen());
  EXPECT_FALSE(names1.IsOpen());
  names1.MoveFirst();
  EXPECT_EQ(names1.GetText("name"), "");
  EXPECT_FALSE(names1.Open("names1"));
  EXPECT_NE(names1.LastError().find("the names database is not open"), std::string::npos);
  ASSERT_TRUE(database_.Open(folder_.path()));
  ASSERT_TRUE(names1.Open("names1"));
  EXPECT_EQ(Texts(names1, "name"), (std::vector<std::string>{"kept"}));
}

TEST_F(NamesDatabaseTest, MistakesAreRefusedWithTheirText) {
  WorkTable table(database_);
  EXPECT_FALSE(table.Open("names5"));
  EXPECT_EQ(table.LastError(),
            "Query = names5\nCADORecordset Error\n\tCode = 00000001\n\tCode meaning = SQL logic "
            "error\n\tSource = SQLite\n\tDescription = no such table: names5\n");
  EXPECT_FALSE(table.IsOpen());
  EXPECT_FALSE(table.Update());
  ASSERT_TRUE(table.Open("names1"));
  EXPECT_FALSE(table.SetField("name", "x"));
  EXPECT_EQ(
      table.LastError(),
      "Query = names1\nCADORecordset Error\n\tCode = 00000015\n\tCode meaning = bad parameter "
      "or other API misuse\n\tSource = SQLite\n\tDescription = no record is being added\n");
  EXPECT_FALSE(table.Update());
  Add(table, "a", "watt", 1);
  EXPECT_FALSE(table.SetSort("wat"));
  // Double quotes name a field, never stand for a text.
  EXPECT_NE(table.LastError().find("Description = no such column: \"wat\""), std::string::npos);
  // A name that quotes itself stays one name.
  EXPECT_FALSE(table.SetSort("watt\", \"name"));
  EXPECT_EQ(table.GetText("nom"), "");
  EXPECT_NE(table.LastError().find("no such column: \"nom\""), std::string::npos);
  EXPECT_EQ(table.GetDouble("wat"), 0.0);
  EXPECT_EQ(table.GetDouble("watt"), 1.0);
}

// A record's fields are read together once it is current; what another table on the same records,
// or a write of the table itself, changed since must show in the next read.
TEST_F(NamesDatabaseTest, ReadsSeeEveryChangeMadeSinceTheLastRead) {
  WorkTable reader(database_), writer(database_);
  ASSERT_TRUE(reader.Open("names2"));
  ASSERT_TRUE(writer.Open("names2"));
  Add(writer, "first", "watt", 0.25);
  Add(writer, "second", "watt", 2);
  ASSERT_TRUE(reader.SetSort(""));
  EXPECT_EQ(reader.GetText("name"), "first");
  // A number read as a text, and a name in other letter cases, read as SQLite reads them.
  EXPECT_EQ(reader.GetText("watt"), "0.25");
  EXPECT_EQ(reader.GetText("NAME"), "first");
  EXPECT_EQ(reader.GetDouble("Watt"), 0.25);
  EXPECT_EQ(reader.GetDouble("name"), 0.0);
  reader.MoveNext();
  EXPECT_EQ(reader.GetText("name"), "second");
  EXPECT_EQ(reader.GetDouble("watt"), 2.0);
  // The other table deletes the record the reader stands on.
  writer.MoveFirst();
  writer.MoveNext();
  ASSERT_TRUE(writer.DeleteCurrent());
  EXPECT_EQ(reader.GetText("name"), "");
  EXPECT_NE(reader.LastError().find("the current record is no longer in the table"),
            std::string::npos);
  reader.MovePrevious();
  EXPECT_EQ(reader.GetText("name"), "first");
  ASSERT_TRUE(writer.Empty());
  EXPECT_EQ(reader.GetText("name"), "");
  EXPECT_EQ(reader.GetDouble("watt"), 0.0);
  // A field that is no column is refused after a record was read whole, too.
  Add(writer, "third", "volt", 5);
  ASSERT_TRUE(reader.SetSort("volt"));
  EXPECT_EQ(reader.GetText("name"), "third");
  EXPECT_EQ(reader.GetText("unit"), "");
  EXPECT_NE(reader.LastError().find("no such column: \"unit\""), std::string::npos);
  EXPECT_EQ(reader.GetText(std::string("name\0x", 6)), "");
  EXPECT_EQ(reader.GetDouble("volt"), 5.0);
}

TEST_F(NamesDatabaseTest, AFileAnotherRunHoldsIsNotOpened) {
  NamesDatabase other;
  EXPECT_FALSE(other.Open(folder_.path()));
  EXPECT_NE(other.LastError().find("\tCode = 00000005\n\tCode meaning = database is locked\n"),
            std::string::npos)
      << other.LastError();
  ASSERT_TRUE(database_.Close());
  EXPECT_TRUE(other.Open(folder_.path())) << other.LastError();
}

TEST(NamesDatabaseFailures, AFolderThatDoesNotExistGivesTheConnectionError) {
  TestFolder folder("names_database");
  NamesDatabase database;
  const std::string missing = folder + testing_support::Utf8(u8"нет такой папки/");
  EXPECT_FALSE(database.Open(missing));
  EXPECT_FALSE(database.IsOpen());
  // The message shows the path in code page 1251, as every text.
  EXPECT_EQ(database.LastError(), "Connection String = " + folder.path() + "нет такой папки/" +
                                      "bom.db\nCADODataBase Error\n\tCode = 0000000e\n\tCode "
                                      "meaning = unable to open database file\n\tSource = "
                                      "SQLite\n\tDescription = unable to open database file\n");
  EXPECT_TRUE(database.Close());
  WorkTable table(database);
  EXPECT_FALSE(table.Open("names1"));
}

TEST(NamesDatabaseFailures, AFileThatIsNoDatabaseIsRefusedAndLeftAlone) {
  TestFolder folder("names_database");
  std::string garbage = "Это не база данных.\n";
  for (int i = 0; i < 200; ++i)
    garbage += static_cast<char>(i * 37);
  folder.Write("bom.db", garbage);
  NamesDatabase database;
  EXPECT_FALSE(database.Open(folder.path()));
  EXPECT_EQ(database.LastError(), "Connection String = " + (folder + "bom.db") +
                                      "\nCADODataBase Error\n\tCode = 0000001a\n\tCode meaning = "
                                      "file is not a database\n\tSource = SQLite\n\tDescription "
                                      "= file is not a database\n");
  EXPECT_EQ(ReadBytes(folder + "bom.db"), garbage);
  EXPECT_FALSE(std::filesystem::exists(folder + "bom.db-journal"));
}

// The fault seam makes the disk fail under SQLite itself.
class NamesDatabaseFaultTest : public ::testing::Test {
 protected:
  ~NamesDatabaseFaultTest() override { SetDatabaseFaultHook(nullptr); }

  // Fails every call of `step` from the `first`-th on (counting from 1).
  void FailFrom(const std::string& step, int first) {
    SetDatabaseFaultHook([step, first, count = 0](const char* now) mutable {
      return now == step && ++count >= first;
    });
  }

  // A run kept in the file without faults.
  void KeepRun(const std::vector<std::string>& components) {
    NamesDatabase database;
    ASSERT_TRUE(database.Open(folder_.path())) << database.LastError();
    RunSpecification(database, components);
    ASSERT_TRUE(database.Close()) << database.LastError();
  }

  void ExpectNames1(const std::vector<std::string>& components) {
    SetDatabaseFaultHook(nullptr);
    NamesDatabase database;
    ASSERT_TRUE(database.Open(folder_.path())) << database.LastError();
    WorkTable names1(database);
    ASSERT_TRUE(names1.Open("names1"));
    EXPECT_EQ(Texts(names1, "component"), components);
  }

  TestFolder folder_{"names_database"};
};

TEST_F(NamesDatabaseFaultTest, ARunWhoseWritesCannotBeKeptLeavesThePreviousRun) {
  KeepRun({"previous"});
  // The run's changes reach the file only when it ends.
  NamesDatabase database;
  SetDatabaseFaultHook([](const char*) { return false; });
  ASSERT_TRUE(database.Open(folder_.path()));
  RunSpecification(database, {"lost"});
  FailFrom("sync", 1);
  EXPECT_FALSE(database.Close());
  EXPECT_EQ(database.LastError(), "Connection String = " + (folder_ + "bom.db") +
                                      "\nCADODataBase Error\n\tCode = 0000040a\n\tCode meaning "
                                      "= disk I/O error\n\tSource = SQLite\n\tDescription = "
                                      "disk I/O error\n");
  ExpectNames1({"previous"});
}

// SQLite rolls the run back by itself when the disk refuses a write; nothing written after that
// may be kept without what came before it.
TEST_F(NamesDatabaseFaultTest, AWriteThatFailsInTheRunLosesTheWholeRun) {
  KeepRun({"previous"});
  NamesDatabase database;
  SetDatabaseFaultHook([](const char*) { return false; });
  ASSERT_TRUE(database.Open(folder_.path()));
  WorkTable names1(database);
  ASSERT_TRUE(names1.Open("names1"));
  FailFrom("write", 1);
  EXPECT_FALSE(names1.DeleteCurrent());
  EXPECT_NE(names1.LastError().find("\tCode = 0000030a\n\tCode meaning = disk I/O error\n"),
            std::string::npos)
      << names1.LastError();
  SetDatabaseFaultHook(nullptr);
  names1.AddNew();
  names1.SetField("component", "after");
  EXPECT_FALSE(names1.Update());
  const std::string rolled_back =
      "\tCode = 00000004\n\tCode meaning = query aborted\n\tSource = SQLite\n\tDescription = an "
      "error rolled the run back; its changes were not kept\n";
  EXPECT_NE(names1.LastError().find(rolled_back), std::string::npos) << names1.LastError();
  EXPECT_FALSE(names1.Empty());
  EXPECT_FALSE(database.Close());
  EXPECT_EQ(database.LastError(),
            "Connection String = " + (folder_ + "bom.db") + "\nCADODataBase Error\n" + rolled_back);
  ExpectNames1({"previous"});
}

TEST_F(NamesDatabaseFaultTest, AJournalThatCannotBeMadeFailsTheOpen) {
  {
    NamesDatabase database;
    ASSERT_TRUE(database.Open(folder_.path()));
    ASSERT_TRUE(database.Close());
  }
  FailFrom("open", 2);  // the file opens, its journal does not
  NamesDatabase database;
  EXPECT_FALSE(database.Open(folder_.path()));
  EXPECT_NE(database.LastError().find("\tCode meaning = unable to open database file\n"),
            std::string::npos)
      << database.LastError();
  FailFrom("open", 1);
  EXPECT_FALSE(database.Open(folder_.path()));
  SetDatabaseFaultHook(nullptr);
  EXPECT_TRUE(database.Open(folder_.path())) << database.LastError();
}

}  // namespace
}  // namespace zuro::generation
