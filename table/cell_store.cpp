#include "table/cell_store.h"

#include <algorithm>
#include <functional>

namespace zuro::table {

namespace {

// Texts no cell uses any more are dropped once they are more than half of the buffer and more
// than this: an edited table never holds more than twice its texts, and a small one is never
// copied for a few bytes.
constexpr size_t kCompactAtUnusedBytes = 1 << 20;

}  // namespace

size_t CellStore::AttributesHash::operator()(const CellAttributes& a) const {
  size_t hash = std::hash<std::uint64_t>()((std::uint64_t(std::uint32_t(a.data)) << 32) |
                                           std::uint32_t(a.image));
  const auto mix = [&hash](std::uint64_t value) {
    hash ^= std::hash<std::uint64_t>()(value) + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
  };
  mix((std::uint64_t(a.format) << 32) | a.background);
  mix((std::uint64_t(a.foreground) << 32) | (std::uint32_t(a.state) << 16) | a.font);
  return hash;
}

std::uint32_t CellStore::Intern(const CellAttributes& attributes) {
  const auto [entry, added] =
      attribute_index_.try_emplace(attributes, static_cast<std::uint32_t>(attribute_sets_.size()));
  if (added)
    attribute_sets_.push_back(attributes);
  return entry->second;
}

void CellStore::Clear() {
  rows_ = 0;
  columns_.clear();
  texts_.clear();
  unused_bytes_ = 0;
  reserved_rows_ = 0;
}

void CellStore::Reserve(int rows, size_t text_bytes) {
  reserved_rows_ = static_cast<size_t>(std::max(rows, 0));
  for (Column& column : columns_)
    column.cells.reserve(reserved_rows_);
  texts_.reserve(std::min(text_bytes, kMaxTextBytes));
}

void CellStore::Resize(int rows, int columns, CellFormat new_column_format) {
  while (Columns() > columns)
    EraseColumn(Columns() - 1);
  while (Columns() < columns)
    InsertColumn(Columns(), new_column_format);
  if (rows < rows_) {
    for (Column& column : columns_) {
      for (auto cell = column.cells.begin() + rows; cell != column.cells.end(); ++cell)
        Forget(*cell);
      column.cells.resize(static_cast<size_t>(rows));
    }
    CompactIfWasteful();
  }
  for (Column& column : columns_)
    column.cells.resize(static_cast<size_t>(rows), {0, 0, column.attributes});
  rows_ = rows;
}

void CellStore::InsertRow(int row) {
  for (Column& column : columns_)
    column.cells.insert(column.cells.begin() + row, {0, 0, column.attributes});
  ++rows_;
}

void CellStore::EraseRow(int row) {
  for (Column& column : columns_) {
    Forget(column.cells[row]);
    column.cells.erase(column.cells.begin() + row);
  }
  --rows_;
  CompactIfWasteful();
}

void CellStore::InsertColumn(int col, CellFormat format) {
  CellAttributes attributes;
  attributes.format = format;
  Column column;
  column.attributes = Intern(attributes);
  column.cells.reserve(std::max(reserved_rows_, static_cast<size_t>(rows_)));
  column.cells.resize(static_cast<size_t>(rows_), {0, 0, column.attributes});
  columns_.insert(columns_.begin() + col, std::move(column));
}

void CellStore::EraseColumn(int col) {
  for (const StoredCell& cell : columns_[col].cells)
    Forget(cell);
  columns_.erase(columns_.begin() + col);
  CompactIfWasteful();
}

bool CellStore::SetText(int row, int col, std::string_view text) {
  StoredCell& cell = columns_[col].cells[row];
  // The new text may be a view of a text of this table, which growing the buffer would move.
  const char* const old_data = texts_.data();
  const bool own_text =
      !text.empty() && text.data() >= old_data && text.data() < old_data + texts_.size();
  const size_t own_offset = own_text ? static_cast<size_t>(text.data() - old_data) : 0;
  if (texts_.size() + text.size() > kMaxTextBytes && unused_bytes_ > 0 && !own_text)
    Compact();
  if (texts_.size() + text.size() > kMaxTextBytes)
    return false;
  Forget(cell);
  const size_t offset = texts_.size();
  if (own_text) {
    texts_.reserve(offset + text.size());
    texts_.append(texts_, own_offset, text.size());
  } else {
    texts_.append(text);
  }
  cell.offset = static_cast<std::uint32_t>(offset);
  cell.length = static_cast<std::uint32_t>(text.size());
  CompactIfWasteful();
  return true;
}

void CellStore::SetAttributes(int row, int col, const CellAttributes& attributes) {
  columns_[col].cells[row].attributes = Intern(attributes);
}

void CellStore::CompactIfWasteful() {
  if (unused_bytes_ > kCompactAtUnusedBytes && unused_bytes_ > texts_.size() / 2)
    Compact();
}

// The texts in use are copied, column by column, into a buffer of their own size.
void CellStore::Compact() {
  std::string texts;
  texts.reserve(texts_.size() - unused_bytes_);
  for (Column& column : columns_) {
    for (StoredCell& cell : column.cells) {
      const size_t offset = texts.size();
      texts.append(texts_, cell.offset, cell.length);
      cell.offset = static_cast<std::uint32_t>(offset);
    }
  }
  texts_ = std::move(texts);
  unused_bytes_ = 0;
}

}  // namespace zuro::table
