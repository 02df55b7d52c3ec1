#include "table/cell_store.h"

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
  cells_.clear();
  column_attributes_.clear();
  texts_.clear();
  unused_bytes_ = 0;
}

void CellStore::RowOfDefaults(std::vector<StoredCell>& into) const {
  for (const std::uint32_t attributes : column_attributes_)
    into.push_back({0, 0, attributes});
}

void CellStore::Resize(int rows, int columns, CellFormat new_column_format) {
  while (Columns() > columns)
    EraseColumn(Columns() - 1);
  while (Columns() < columns)
    InsertColumn(Columns(), new_column_format);
  if (rows < rows_) {
    for (size_t i = Index(rows, 0); i < cells_.size(); ++i)
      Forget(cells_[i]);
    cells_.resize(Index(rows, 0));
    rows_ = rows;
    CompactIfWasteful();
  }
  if (rows > rows_) {
    cells_.reserve(Index(rows, 0));
    for (; rows_ < rows; ++rows_)
      RowOfDefaults(cells_);
  }
}

void CellStore::InsertRow(int row) {
  std::vector<StoredCell> cells;
  RowOfDefaults(cells);
  cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(Index(row, 0)), cells.begin(),
                cells.end());
  ++rows_;
}

void CellStore::EraseRow(int row) {
  const auto first = cells_.begin() + static_cast<std::ptrdiff_t>(Index(row, 0));
  const auto last = first + Columns();
  for (auto cell = first; cell != last; ++cell)
    Forget(*cell);
  cells_.erase(first, last);
  --rows_;
  CompactIfWasteful();
}

// Every row moves, so the cells are laid out again in one pass.
void CellStore::InsertColumn(int col, CellFormat format) {
  CellAttributes attributes;
  attributes.format = format;
  const std::uint32_t column = Intern(attributes);
  std::vector<StoredCell> cells;
  cells.reserve(static_cast<size_t>(rows_) * (column_attributes_.size() + 1));
  for (int row = 0; row < rows_; ++row) {
    const auto start = cells_.begin() + static_cast<std::ptrdiff_t>(Index(row, 0));
    cells.insert(cells.end(), start, start + col);
    cells.push_back({0, 0, column});
    cells.insert(cells.end(), start + col, start + Columns());
  }
  cells_ = std::move(cells);
  column_attributes_.insert(column_attributes_.begin() + col, column);
}

void CellStore::EraseColumn(int col) {
  const size_t columns = column_attributes_.size();
  size_t kept = 0;
  for (size_t i = 0; i < cells_.size(); ++i) {
    if (i % columns == static_cast<size_t>(col))
      Forget(cells_[i]);
    else
      cells_[kept++] = cells_[i];
  }
  cells_.resize(kept);
  column_attributes_.erase(column_attributes_.begin() + col);
  CompactIfWasteful();
}

bool CellStore::SetText(int row, int col, std::string_view text) {
  StoredCell& cell = cells_[Index(row, col)];
  // The new text may be a view of a text of this table, which growing the buffer would move.
  const char* const old_data = texts_.data();
  const bool own_text = !text.empty() && text.data() >= old_data &&
                        text.data() < old_data + texts_.size();
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
  cells_[Index(row, col)].attributes = Intern(attributes);
}

void CellStore::CompactIfWasteful() {
  if (unused_bytes_ > kCompactAtUnusedBytes && unused_bytes_ > texts_.size() / 2)
    Compact();
}

// The texts in use are copied, in cell order, into a buffer of their own size.
void CellStore::Compact() {
  std::string texts;
  texts.reserve(texts_.size() - unused_bytes_);
  for (StoredCell& cell : cells_) {
    const size_t offset = texts.size();
    texts.append(texts_, cell.offset, cell.length);
    cell.offset = static_cast<std::uint32_t>(offset);
  }
  texts_ = std::move(texts);
  unused_bytes_ = 0;
}

}  // namespace zuro::table
