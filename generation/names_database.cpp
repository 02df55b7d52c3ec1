#include "generation/names_database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string_view>
#include <utility>

#include "base/text_encoding.h"
#include "generation/database_faults.h"

namespace zuro::generation {

namespace {

// The fields of the work tables, as the specification's sort passes copy records down the levels:
// names1 holds every field of an item, names2 and names3 lose the pattern and the unit, names4
// the power as well.
const char* const kNames1Fields[] = {"name", "pattern", "component", "doc",  "value",
                                     "unit", "count",   "refdes",    "volt", "watt"};
const char* const kNames2Fields[] = {"name",  "component", "doc",  "value",
                                     "count", "refdes",    "volt", "watt"};
const char* const kNames4Fields[] = {"name",  "component", "doc", "value",
                                     "count", "refdes",    "volt"};

struct TableLayout {
  const char* name;
  const char* const* fields_begin;
  const char* const* fields_end;
};
const TableLayout kTables[] = {
    {"names1", std::begin(kNames1Fields), std::end(kNames1Fields)},
    {"names2", std::begin(kNames2Fields), std::end(kNames2Fields)},
    {"names3", std::begin(kNames2Fields), std::end(kNames2Fields)},
    {"names4", std::begin(kNames4Fields), std::end(kNames4Fields)},
};

// Texts are stored as BLOBs: their code page 1251 bytes go in and come out untouched, and the
// sort compares them byte by byte. A double that is not a number is stored as NULL and reads as 0.
const char* FieldType(std::string_view field) {
  if (field == "value" || field == "volt" || field == "watt")
    return "REAL DEFAULT 0";
  return "BLOB NOT NULL DEFAULT x''";
}

// A table or field name as SQLite reads it, in UTF-8; most names are ASCII and stay as they are.
std::string Utf8Name(const std::string& name) {
  const bool ascii = std::all_of(name.begin(), name.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return ascii ? name : Cp1251ToUtf8(name);
}

// A table or field name for SQL text.
std::string Quote(const std::string& name) {
  std::string quoted = "\"";
  for (char c : Utf8Name(name)) {
    quoted += c;
    if (c == '"')
      quoted += '"';
  }
  return quoted + "\"";
}

std::string ErrorText(const char* subject_label,
                      const std::string& subject,
                      const char* object,
                      int code,
                      const std::string& description) {
  char number[32];
  std::snprintf(number, sizeof number, "%08lx", static_cast<unsigned long>(code));
  return std::string(subject_label) + subject + "\n" + object + " Error\n\tCode = " + number +
         "\n\tCode meaning = " + sqlite3_errstr(code) +
         "\n\tSource = SQLite\n\tDescription = " + description + "\n";
}

std::string Description(sqlite3* db, int code) {
  return Utf8ToCp1251(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

// SQLite rolls a transaction back by itself after some errors (a write or a sync the disk
// refused, a full disk): the run's later changes would then be kept one by one, without the
// earlier ones, so none is written any more and the close tells that the run was lost.
const char kRunRolledBack[] = "an error rolled the run back; its changes were not kept";

// How long an open waits for another program that holds the file.
constexpr int kBusyMilliseconds = 2000;

}  // namespace

// ---- NamesDatabase

NamesDatabase::~NamesDatabase() {
  Close();
}

// The whole run is one transaction, begun here and kept by Close: a run that stops half way
// leaves the tables as the previous run left them. The transaction takes the write lock at once
// and the layout's version is written, so that a file another program holds, a file that is no
// database, or a folder where the journal cannot be made fails the open rather than the run.
bool NamesDatabase::Open(const std::string& library_folder) {
  Close();
  path_ = library_folder + kNamesDatabaseFile;
  last_error_.clear();
  // SQLite takes UTF-8 file names on every platform, as the library holds its paths.
  const int code = sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                   FaultVfsName());
  if (code != SQLITE_OK) {
    Fail(code);
    sqlite3_close(db_);
    db_ = nullptr;
    return false;
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, kBusyMilliseconds);
  // Sorting never needs a temporary file.
  if (!Execute("PRAGMA temp_store = MEMORY") || !Execute("SELECT count(*) FROM sqlite_schema") ||
      !Execute("BEGIN IMMEDIATE") || !Execute("PRAGMA user_version = 1") ||
      !CreateMissingTables()) {
    sqlite3_close(db_);  // rolls the transaction back
    db_ = nullptr;
    return false;
  }
  return true;
}

bool NamesDatabase::CreateMissingTables() {
  for (const TableLayout& table : kTables) {
    std::string sql = "CREATE TABLE IF NOT EXISTS " + Quote(table.name) + " (";
    for (auto field = table.fields_begin; field != table.fields_end; ++field) {
      if (field != table.fields_begin)
        sql += ", ";
      sql += Quote(*field) + " " + FieldType(*field);
    }
    if (!Execute((sql + ")").c_str()))
      return false;
  }
  return true;
}

bool NamesDatabase::Close() {
  if (!db_)
    return true;
  while (!tables_.empty())
    tables_.back()->Close();
  bool kept = true;
  if (RunRolledBack()) {
    kept = Fail(SQLITE_ABORT, kRunRolledBack);
  } else {
    const int code = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
      kept = Fail(code);
  }
  sqlite3_close(db_);  // rolls back what a failed commit left
  db_ = nullptr;
  return kept;
}

bool NamesDatabase::Execute(const char* sql) {
  ++changes_;
  const int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  return code == SQLITE_OK || Fail(code);
}

bool NamesDatabase::RunRolledBack() const {
  return db_ && sqlite3_get_autocommit(db_);
}

bool NamesDatabase::Fail(int code, const char* description) {
  last_error_ = ErrorText("Connection String = ", Cp1251FromUtf8Path(path_), "CADODataBase", code,
                          description ? description : Description(db_, code));
  return false;
}

// ---- WorkTable

WorkTable::~WorkTable() {
  Close();
}

bool WorkTable::Open(const std::string& name) {
  Close();
  name_ = name;
  last_error_.clear();
  if (!database_->IsOpen())
    return Refuse(SQLITE_MISUSE, "the names database is not open");
  open_ = true;
  database_->tables_.push_back(this);
  if (!LoadOrder("")) {
    Close();
    return false;
  }
  return true;
}

void WorkTable::Close() {
  if (!open_)
    return;
  for (auto& [sql, statement] : statements_)
    sqlite3_finalize(statement);
  statements_.clear();
  insert_ = nullptr;
  insert_fields_.clear();
  ForgetCurrentRow();
  order_.clear();
  pending_.clear();
  adding_ = false;
  on_deleted_ = false;
  position_ = 0;
  open_ = false;
  std::erase(database_->tables_, this);
}

bool WorkTable::Empty() {
  if (!Writable())
    return false;
  sqlite3_stmt* statement = Statement("DELETE FROM " + Quote(name_));
  if (!statement)
    return false;
  ++database_->changes_;
  const int code = sqlite3_step(statement);
  sqlite3_reset(statement);
  if (code != SQLITE_DONE)
    return Fail(code);
  order_.clear();
  position_ = 0;
  on_deleted_ = false;
  return true;
}

// A second AddNew before Update drops the fields set so far.
void WorkTable::AddNew() {
  adding_ = true;
  pending_.clear();
}

bool WorkTable::SetField(const std::string& field, const std::string& text) {
  return SetPending(field, true, text, 0);
}

bool WorkTable::SetField(const std::string& field, double value) {
  return SetPending(field, false, {}, value);
}

bool WorkTable::SetPending(const std::string& field,
                           bool is_text,
                           const std::string& text,
                           double number) {
  if (!adding_)
    return Refuse(SQLITE_MISUSE, "no record is being added");
  for (PendingField& pending : pending_) {
    if (pending.name == field) {
      pending = {field, is_text, text, number};
      return true;
    }
  }
  pending_.push_back({field, is_text, text, number});
  return true;
}

// Whether the fields exist is known only here: an unknown one fails the whole record.
bool WorkTable::Update() {
  if (!Writable())
    return false;
  if (!adding_)
    return Refuse(SQLITE_MISUSE, "no record is being added");
  const std::vector<PendingField> fields = std::move(pending_);
  pending_.clear();
  adding_ = false;
  sqlite3_stmt* statement =
      InsertStatement(fields.size(), [&](size_t i) { return fields[i].name.c_str(); });
  if (!statement)
    return false;
  for (size_t i = 0; i < fields.size(); ++i) {
    const int index = static_cast<int>(i + 1);
    const PendingField& field = fields[i];
    if (field.is_text)
      sqlite3_bind_blob64(statement, index, field.text.data(), field.text.size(), SQLITE_STATIC);
    else
      sqlite3_bind_double(statement, index, field.number);
  }
  return StepInsert(statement);
}

bool WorkTable::AddRecord(std::span<const FieldValue> fields) {
  if (!Writable())
    return false;
  pending_.clear();
  adding_ = false;
  sqlite3_stmt* statement =
      InsertStatement(fields.size(), [&](size_t i) { return fields[i].field; });
  if (!statement)
    return false;
  for (size_t i = 0; i < fields.size(); ++i) {
    const int index = static_cast<int>(i + 1);
    const FieldValue& field = fields[i];
    if (field.text)
      sqlite3_bind_blob64(statement, index, field.text->data(), field.text->size(), SQLITE_STATIC);
    else
      sqlite3_bind_double(statement, index, field.number);
  }
  return StepInsert(statement);
}

// The values are bound as they stand: the statement is stepped and its bindings cleared before
// they can change.
bool WorkTable::StepInsert(sqlite3_stmt* statement) {
  ++database_->changes_;
  const int code = sqlite3_step(statement);
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  if (code != SQLITE_DONE)
    return Fail(code);
  order_.push_back(sqlite3_last_insert_rowid(database_->db_));
  position_ = static_cast<long long>(order_.size()) - 1;
  on_deleted_ = false;
  return true;
}

// The statement adding a record of these fields, in their order. The generator adds every record
// of a table with the same fields, so the last one is kept at hand.
// A template, not a std::function: it is asked once for every field of every record added.
template <typename NameOf>
sqlite3_stmt* WorkTable::InsertStatement(size_t count, const NameOf& name_of) {
  const auto same_names = [&] {
    if (insert_fields_.size() != count)
      return false;
    for (size_t i = 0; i < count; ++i) {
      if (insert_fields_[i] != name_of(i))
        return false;
    }
    return true;
  };
  if (insert_ && same_names())
    return insert_;
  std::string sql = "INSERT INTO " + Quote(name_);
  if (count == 0) {
    sql += " DEFAULT VALUES";
  } else {
    std::string names, values;
    for (size_t i = 0; i < count; ++i) {
      names += (i ? ", " : "") + Quote(name_of(i));
      values += (i ? ", ?" : "?") + std::to_string(i + 1);
    }
    sql += " (" + names + ") VALUES (" + values + ")";
  }
  insert_ = Statement(sql);
  insert_fields_.clear();
  if (insert_) {
    for (size_t i = 0; i < count; ++i)
      insert_fields_.push_back(name_of(i));
  }
  return insert_;
}

bool WorkTable::SetSort(const std::string& field) {
  if (!open_)
    return Refuse(SQLITE_MISUSE, "the table is not open");
  return LoadOrder(field);
}

// The cursor's records in their order; the rowid keeps records with equal keys in the order they
// were added (rowids grow with every record added).
bool WorkTable::LoadOrder(const std::string& sort_field) {
  std::string sql = "SELECT rowid FROM " + Quote(name_) + " ORDER BY ";
  if (!sort_field.empty())
    sql += Quote(sort_field) + ", ";
  sqlite3_stmt* statement = Statement(sql + "rowid");
  if (!statement)
    return false;
  std::vector<long long> order;
  int code;
  while ((code = sqlite3_step(statement)) == SQLITE_ROW)
    order.push_back(sqlite3_column_int64(statement, 0));
  sqlite3_reset(statement);
  if (code != SQLITE_DONE)
    return Fail(code);
  order_ = std::move(order);
  position_ = 0;
  on_deleted_ = false;
  return true;
}

void WorkTable::MoveFirst() {
  position_ = 0;
  on_deleted_ = false;
}

void WorkTable::MoveNext() {
  // After a delete the next record already stands at the position.
  if (on_deleted_)
    on_deleted_ = false;
  else if (position_ < static_cast<long long>(order_.size()))
    ++position_;
}

void WorkTable::MovePrevious() {
  on_deleted_ = false;
  if (position_ >= 0)
    --position_;
}

bool WorkTable::IsEOF() const {
  return !on_deleted_ && position_ >= static_cast<long long>(order_.size());
}

bool WorkTable::IsBOF() const {
  return !on_deleted_ && (position_ < 0 || order_.empty());
}

std::string WorkTable::GetText(const std::string& field) {
  if (sqlite3_value* value = CurrentField(field)) {
    const auto* bytes = static_cast<const char*>(sqlite3_value_blob(value));
    return bytes ? std::string(bytes, static_cast<size_t>(sqlite3_value_bytes(value)))
                 : std::string();
  }
  sqlite3_stmt* statement = ReadCurrent(field);
  if (!statement)
    return {};
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, 0));
  std::string text;
  if (bytes)
    text.assign(bytes, static_cast<size_t>(sqlite3_column_bytes(statement, 0)));
  sqlite3_reset(statement);
  return text;
}

double WorkTable::GetDouble(const std::string& field) {
  if (sqlite3_value* value = CurrentField(field))
    return sqlite3_value_double(value);
  sqlite3_stmt* statement = ReadCurrent(field);
  if (!statement)
    return 0;
  const double value = sqlite3_column_double(statement, 0);
  sqlite3_reset(statement);
  return value;
}

bool WorkTable::DeleteCurrent() {
  if (!HasCurrent() || !Writable())
    return false;
  sqlite3_stmt* statement = Statement("DELETE FROM " + Quote(name_) + " WHERE rowid = ?1");
  if (!statement)
    return false;
  sqlite3_bind_int64(statement, 1, order_[position_]);
  ++database_->changes_;
  const int code = sqlite3_step(statement);
  sqlite3_reset(statement);
  if (code != SQLITE_DONE)
    return Fail(code);
  order_.erase(order_.begin() + position_);
  on_deleted_ = true;
  return true;
}

bool WorkTable::Writable() {
  if (!open_)
    return Refuse(SQLITE_MISUSE, "the table is not open");
  if (database_->RunRolledBack())
    return Refuse(SQLITE_ABORT, kRunRolledBack);
  return true;
}

bool WorkTable::HasCurrent() {
  if (!open_)
    return Refuse(SQLITE_MISUSE, "the table is not open");
  if (on_deleted_)
    return Refuse(SQLITE_MISUSE, "the current record was deleted");
  if (position_ < 0 || position_ >= static_cast<long long>(order_.size()))
    return Refuse(SQLITE_MISUSE, "there is no current record");
  return true;
}

// The statement stepped onto the field of the current record; the caller resets it.
sqlite3_stmt* WorkTable::ReadCurrent(const std::string& field) {
  if (!HasCurrent())
    return nullptr;
  sqlite3_stmt* statement =
      Statement("SELECT " + Quote(field) + " FROM " + Quote(name_) + " WHERE rowid = ?1");
  if (!statement)
    return nullptr;
  sqlite3_bind_int64(statement, 1, order_[position_]);
  const int code = sqlite3_step(statement);
  if (code == SQLITE_ROW)
    return statement;
  sqlite3_reset(statement);
  if (code == SQLITE_DONE)
    Refuse(SQLITE_MISUSE, "the current record is no longer in the table");
  else
    Fail(code);
  return nullptr;
}

// The field of the current record from the copy of the record, read whole when the copy is not
// of it; nothing when the copy cannot tell (no current record, a read that failed, a name that is
// no column), and the caller reads the field alone, which says why. Names compare as SQLite
// compares them, without regard to the case of ASCII letters.
sqlite3_value* WorkTable::CurrentField(const std::string& field) {
  if (field.find('\0') != std::string::npos || !HasCurrent())
    return nullptr;
  const long long rowid = order_[position_];
  if (!row_read_ || row_.rowid != rowid || row_.changes != database_->changes_) {
    ForgetCurrentRow();
    sqlite3_stmt* statement = Statement("SELECT * FROM " + Quote(name_) + " WHERE rowid = ?1");
    if (!statement)
      return nullptr;
    sqlite3_bind_int64(statement, 1, rowid);
    if (sqlite3_step(statement) == SQLITE_ROW) {
      const int count = sqlite3_column_count(statement);
      for (int i = 0; i < count; ++i) {
        sqlite3_value* value = sqlite3_value_dup(sqlite3_column_value(statement, i));
        const char* name = sqlite3_column_name(statement, i);
        if (!value || !name) {
          sqlite3_value_free(value);
          break;
        }
        row_.names.emplace_back(name);
        row_.values.push_back(value);
      }
      row_read_ = row_.values.size() == static_cast<size_t>(count);
    }
    sqlite3_reset(statement);
    if (!row_read_) {
      ForgetCurrentRow();
      return nullptr;
    }
    row_.rowid = rowid;
    row_.changes = database_->changes_;
  }
  const std::string utf8 = Utf8Name(field);
  for (size_t i = 0; i < row_.names.size(); ++i) {
    if (sqlite3_stricmp(row_.names[i].c_str(), utf8.c_str()) == 0)
      return row_.values[i];
  }
  return nullptr;
}

void WorkTable::ForgetCurrentRow() {
  for (sqlite3_value* value : row_.values)
    sqlite3_value_free(value);
  row_ = {};
  row_read_ = false;
}

// Prepared statements are kept while the table is open: the generator repeats the same few.
sqlite3_stmt* WorkTable::Statement(const std::string& sql) {
  for (auto& [text, statement] : statements_) {
    if (text == sql) {
      sqlite3_clear_bindings(statement);
      return statement;
    }
  }
  sqlite3_stmt* statement = nullptr;
  const int code = sqlite3_prepare_v2(database_->db_, sql.c_str(), static_cast<int>(sql.size()),
                                      &statement, nullptr);
  if (code != SQLITE_OK) {
    Fail(code);
    return nullptr;
  }
  statements_.emplace_back(sql, statement);
  return statement;
}

bool WorkTable::Fail(int code) {
  last_error_ = ErrorText("Query = ", name_, "CADORecordset", code,
                          Description(database_->IsOpen() ? database_->db_ : nullptr, code));
  return false;
}

bool WorkTable::Refuse(int code, const char* description) {
  last_error_ = ErrorText("Query = ", name_, "CADORecordset", code, description);
  return false;
}

}  // namespace zuro::generation
