// The names database: bom.db in the library folder, an SQLite file holding the four work tables
// names1..names4 in which the specification sorts the items of one run, level by level. A
// `NamesDatabase` is the connection; a `WorkTable` is one open table with a cursor over its
// records. Texts are code page 1251 and come back byte for byte.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace zuro::generation {

// The database's file name in the library folder.
inline constexpr const char* kNamesDatabaseFile = "bom.db";

class WorkTable;

// One run is one transaction: Open begins it, Close keeps it. Every failure leaves its text in
// LastError.
class NamesDatabase {
 public:
  NamesDatabase() = default;
  ~NamesDatabase();
  NamesDatabase(const NamesDatabase&) = delete;
  NamesDatabase& operator=(const NamesDatabase&) = delete;

  // Opens (creating when missing) `library_folder` + "bom.db", ending with the path separator
  // (UTF-8, as every path; FilePath too).
  bool Open(const std::string& library_folder);
  // Keeps what the run wrote and closes every table still open on it; false when the writes
  // could not be kept (LastError tells why).
  bool Close();
  bool IsOpen() const { return db_ != nullptr; }
  const std::string& LastError() const { return last_error_; }
  const std::string& FilePath() const { return path_; }

 private:
  friend class WorkTable;
  bool Fail(int code, const char* description = nullptr);
  bool Execute(const char* sql);
  bool RunRolledBack() const;
  bool CreateMissingTables();

  sqlite3* db_ = nullptr;
  std::string path_;
  std::string last_error_;
  std::vector<WorkTable*> tables_;
  // Counts the statements that may have changed the database, so that a table's copy of its
  // current record knows when it can be stale.
  uint64_t changes_ = 0;
};

// One work table with a cursor, as the generator walks it. Open puts the cursor on the first
// record of the table's natural order (the order the records were added in). Closing the
// database closes its tables; a table never outlives its database.
class WorkTable {
 public:
  explicit WorkTable(NamesDatabase& database) : database_(&database) {}
  ~WorkTable();
  WorkTable(const WorkTable&) = delete;
  WorkTable& operator=(const WorkTable&) = delete;

  bool Open(const std::string& name);
  void Close();
  bool IsOpen() const { return open_; }
  const std::string& LastError() const { return last_error_; }

  // Deletes every record of the table.
  bool Empty();

  // A new record: AddNew, SetField per field (fields not set are empty texts or 0), Update.
  // The added record becomes the current one, after the records already in the cursor.
  void AddNew();
  bool SetField(const std::string& field, const std::string& text);
  bool SetField(const std::string& field, double value);
  bool Update();

  // A field's value for AddRecord: the text, or the number when there is no text.
  struct FieldValue {
    const char* field;
    const std::string_view* text;
    double number;
  };
  // Adds a record as AddNew, a SetField for each of `fields` and Update would, the values bound by
  // their place in the statement kept for these fields: a run adds many records of one layout.
  bool AddRecord(std::span<const FieldValue> fields);

  // Orders the cursor ascending by `field` (records with equal values keep the order they were
  // added in), or in the natural order for ""; the cursor goes to the first record.
  bool SetSort(const std::string& field);

  void MoveFirst();
  void MoveNext();      // at the end it stays there
  void MovePrevious();  // from the first record to before it (IsBOF)
  bool IsEOF() const;
  bool IsBOF() const;

  // A field of the current record: "" or 0 (and LastError) when there is none or no such field.
  std::string GetText(const std::string& field);
  double GetDouble(const std::string& field);

  // Deletes the current record; the cursor stays between its neighbours until the next move.
  bool DeleteCurrent();

 private:
  struct PendingField {
    std::string name;
    bool is_text;
    std::string text;
    double number;
  };

  bool Fail(int code);
  bool Refuse(int code, const char* description);
  bool Writable();
  sqlite3_stmt* Statement(const std::string& sql);
  bool LoadOrder(const std::string& sort_field);
  bool HasCurrent();
  sqlite3_stmt* ReadCurrent(const std::string& field);
  sqlite3_value* CurrentField(const std::string& field);
  // The statement adding a record of `count` fields, the i-th named `name_of(i)`.
  template <typename NameOf>
  sqlite3_stmt* InsertStatement(size_t count, const NameOf& name_of);
  bool StepInsert(sqlite3_stmt* statement);
  void ForgetCurrentRow();
  bool SetPending(const std::string& field, bool is_text, const std::string& text, double number);

  NamesDatabase* database_;
  std::string name_;
  bool open_ = false;
  std::string last_error_;
  std::vector<std::pair<std::string, sqlite3_stmt*>> statements_;
  std::vector<long long> order_;  // the rowids of the records, in the cursor's order
  long long position_ = 0;        // index into order_; -1 before the first record
  bool on_deleted_ = false;       // the current record was deleted; it stood at position_
  bool adding_ = false;
  std::vector<PendingField> pending_;
  // The current record's fields as the last read found them (SQLite's own copies of the values,
  // so that reading one as a text or a number converts it as reading the column would), with
  // their names in UTF-8; valid while the record is the current one and the database unchanged.
  struct CurrentRow {
    long long rowid = 0;
    uint64_t changes = 0;
    std::vector<std::string> names;
    std::vector<sqlite3_value*> values;
  };
  CurrentRow row_;
  sqlite3_stmt* insert_ = nullptr;  // one of statements_: the last record's insert
  std::vector<std::string> insert_fields_;
  bool row_read_ = false;
};

// Test seam: when set, called before each file open, write, sync and truncate the database makes
// ("open", "write", "sync", "truncate"); returning true makes that call fail as the disk would.
// Only databases opened while the hook is set see it.
using DatabaseFaultHook = std::function<bool(const char* step)>;
void SetDatabaseFaultHook(DatabaseFaultHook hook);

}  // namespace zuro::generation
