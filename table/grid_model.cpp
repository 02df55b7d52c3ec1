#include "table/grid_model.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace zuro::table {

namespace {

unsigned KindBit(ChangeKind kind) {
  return 1u << static_cast<unsigned>(kind);
}

CellRange Union(const CellRange& a, const CellRange& b) {
  if (a.IsEmpty())
    return b;
  if (b.IsEmpty())
    return a;
  return {std::min(a.top, b.top), std::min(a.left, b.left), std::max(a.bottom, b.bottom),
          std::max(a.right, b.right)};
}

CellRange CellBox(CellId a, CellId b) {
  CellRange box;
  if (a.IsValid())
    box = {a.row, a.col, a.row, a.col};
  if (b.IsValid())
    box = Union(box, {b.row, b.col, b.row, b.col});
  return box;
}

}  // namespace

GridModel::GridModel() = default;

GridModel::GridModel(int rows, int cols, int fixed_rows, int fixed_cols) {
  SetColumnCount(cols);
  SetRowCount(rows);
  SetFixedRowCount(fixed_rows);
  SetFixedColumnCount(fixed_cols);
}

GridModel::~GridModel() = default;

bool GridModel::IsValid(int row, int col) const {
  return row >= 0 && col >= 0 && row < GetRowCount() && col < GetColumnCount();
}

bool GridModel::IsCellFixed(int row, int col) const {
  return IsValid(row, col) && (row < fixed_rows_ || col < fixed_cols_);
}

std::optional<Cell> GridModel::GetCell(int row, int col) const {
  if (!IsValid(row, col))
    return std::nullopt;
  Cell cell;
  static_cast<CellAttributes&>(cell) = cells_.Attributes(row, col);
  cell.text = cells_.Text(row, col);
  return cell;
}

// Removing rows or columns may leave the focus cell or the selection pointing outside the table;
// the focus is then dropped and the selection cut to what remains.
void GridModel::ClipFocusAndSelection() {
  if (focus_.IsValid() && !IsValid(focus_.row, focus_.col))
    focus_ = {};
  if (selection_.IsEmpty())
    return;
  selection_.bottom = std::min(selection_.bottom, GetRowCount() - 1);
  selection_.right = std::min(selection_.right, GetColumnCount() - 1);
  if (selection_.IsEmpty())
    selection_ = {};
}

bool GridModel::SetRowCount(int rows) {
  if (rows < 0)
    return false;
  if (rows == GetRowCount())
    return true;
  cells_.Resize(rows, GetColumnCount(), kDefaultCellFormat);
  row_heights_.resize(rows, 0);
  fixed_rows_ = std::min(fixed_rows_, rows);
  ClipFocusAndSelection();
  NotifyStructure();
  return true;
}

bool GridModel::SetColumnCount(int cols) {
  if (cols < 0)
    return false;
  if (cols == GetColumnCount())
    return true;
  cells_.Resize(GetRowCount(), cols, kDefaultCellFormat);
  column_widths_.resize(cols, 0);
  fixed_cols_ = std::min(fixed_cols_, cols);
  ClipFocusAndSelection();
  NotifyStructure();
  return true;
}

bool GridModel::SetFixedRowCount(int rows) {
  if (rows < 0)
    return false;
  GridUpdate batch(*this);
  if (rows > GetRowCount())
    SetRowCount(rows);
  fixed_rows_ = rows;
  NotifyStructure();
  return true;
}

bool GridModel::SetFixedColumnCount(int cols) {
  if (cols < 0)
    return false;
  GridUpdate batch(*this);
  if (cols > GetColumnCount())
    SetColumnCount(cols);
  fixed_cols_ = cols;
  NotifyStructure();
  return true;
}

// The heading goes into row 0, the header row; a table without rows gets that row first. The
// format applies to the whole column and to the cells of rows added later. Inserting inside the
// fixed columns makes the new column fixed as well, so the old fixed columns stay fixed.
int GridModel::InsertColumn(std::string_view heading, CellFormat format, int position) {
  if (position < -1 || position > GetColumnCount())
    return -1;
  const int col = position < 0 ? GetColumnCount() : position;
  GridUpdate batch(*this);
  if (GetRowCount() == 0)
    SetRowCount(1);
  cells_.InsertColumn(col, format);
  cells_.SetText(0, col, heading);
  column_widths_.insert(column_widths_.begin() + col, 0);
  if (col < fixed_cols_)
    ++fixed_cols_;
  if (focus_.IsValid() && focus_.col >= col)
    ++focus_.col;
  selection_ = {};
  NotifyStructure();
  return col;
}

// The heading goes into column 0, the header column; a table without columns gets that column
// first. Inserting inside the fixed rows makes the new row fixed as well.
int GridModel::InsertRow(std::string_view heading, int position) {
  if (position < -1 || position > GetRowCount())
    return -1;
  const int row = position < 0 ? GetRowCount() : position;
  GridUpdate batch(*this);
  if (GetColumnCount() == 0)
    SetColumnCount(1);
  cells_.InsertRow(row);
  cells_.SetText(row, 0, heading);
  row_heights_.insert(row_heights_.begin() + row, 0);
  if (row < fixed_rows_)
    ++fixed_rows_;
  if (focus_.IsValid() && focus_.row >= row)
    ++focus_.row;
  if (!selection_.IsEmpty() && row <= selection_.bottom)
    selection_ = {};
  NotifyStructure();
  return row;
}

// Deleting a fixed row shrinks the fixed part, so the remaining header rows stay headers.
bool GridModel::DeleteRow(int row) {
  if (row < 0 || row >= GetRowCount())
    return false;
  cells_.EraseRow(row);
  row_heights_.erase(row_heights_.begin() + row);
  if (row < fixed_rows_)
    --fixed_rows_;
  if (focus_.row == row)
    focus_ = {};
  else if (focus_.row > row)
    --focus_.row;
  if (!selection_.IsEmpty() && row <= selection_.bottom)
    selection_ = {};
  NotifyStructure();
  return true;
}

bool GridModel::DeleteColumn(int col) {
  if (col < 0 || col >= GetColumnCount())
    return false;
  cells_.EraseColumn(col);
  column_widths_.erase(column_widths_.begin() + col);
  if (col < fixed_cols_)
    --fixed_cols_;
  if (focus_.col == col)
    focus_ = {};
  else if (focus_.col > col)
    --focus_.col;
  if (!selection_.IsEmpty() && col <= selection_.right)
    selection_ = {};
  NotifyStructure();
  return true;
}

bool GridModel::DeleteAllItems() {
  cells_.Clear();
  fixed_rows_ = 0;
  fixed_cols_ = 0;
  row_heights_.clear();
  column_widths_.clear();
  focus_ = {};
  selection_ = {};
  NotifyStructure();
  return true;
}

std::string_view GridModel::ItemText(int row, int col) const {
  return IsValid(row, col) ? cells_.Text(row, col) : std::string_view();
}

// A text the table has no room for (it holds kMaxTextBytes already) is refused like a cell
// outside it.
bool GridModel::SetItemText(int row, int col, std::string_view text) {
  if (!IsValid(row, col) || !cells_.SetText(row, col, text))
    return false;
  NotifyCell(row, col);
  return true;
}

template <typename Change>
bool GridModel::ChangeAttributes(int row, int col, Change change) {
  if (!IsValid(row, col))
    return false;
  CellAttributes attributes = cells_.Attributes(row, col);
  change(attributes);
  cells_.SetAttributes(row, col, attributes);
  NotifyCell(row, col);
  return true;
}

int GridModel::GetItemImage(int row, int col) const {
  return IsValid(row, col) ? cells_.Attributes(row, col).image : -1;
}

bool GridModel::SetItemImage(int row, int col, int image) {
  return ChangeAttributes(row, col, [image](CellAttributes& a) { a.image = image; });
}

// -1 outside the table, as every numeric getter; inside, -1 is also the RowMark of a merged row,
// which is harmless because a row outside the table is never generated.
std::int32_t GridModel::GetItemData(int row, int col) const {
  return IsValid(row, col) ? cells_.Attributes(row, col).data : -1;
}

bool GridModel::SetItemData(int row, int col, std::int32_t data) {
  return ChangeAttributes(row, col, [data](CellAttributes& a) { a.data = data; });
}

CellFormat GridModel::GetItemFormat(int row, int col) const {
  return IsValid(row, col) ? cells_.Attributes(row, col).format : kDefaultCellFormat;
}

bool GridModel::SetItemFormat(int row, int col, CellFormat format) {
  return ChangeAttributes(row, col, [format](CellAttributes& a) { a.format = format; });
}

Colour GridModel::GetItemBkColour(int row, int col) const {
  return IsValid(row, col) ? cells_.Attributes(row, col).background : kSystemColour;
}

bool GridModel::SetItemBkColour(int row, int col, Colour colour) {
  return ChangeAttributes(row, col, [colour](CellAttributes& a) { a.background = colour; });
}

Colour GridModel::GetItemFgColour(int row, int col) const {
  return IsValid(row, col) ? cells_.Attributes(row, col).foreground : kSystemColour;
}

bool GridModel::SetItemFgColour(int row, int col, Colour colour) {
  return ChangeAttributes(row, col, [colour](CellAttributes& a) { a.foreground = colour; });
}

CellState GridModel::GetItemState(int row, int col) const {
  return IsValid(row, col) ? cells_.Attributes(row, col).state : 0;
}

bool GridModel::SetItemState(int row, int col, CellState state) {
  return ChangeAttributes(row, col, [state](CellAttributes& a) { a.state = state; });
}

int GridModel::GetItemFont(int row, int col) const {
  return IsValid(row, col) ? cells_.Attributes(row, col).font : -1;
}

bool GridModel::SetItemFont(int row, int col, int font) {
  if (font < 0 || font > 0xFFFF)
    return false;
  return ChangeAttributes(row, col,
                          [font](CellAttributes& a) { a.font = static_cast<std::uint16_t>(font); });
}

// Headers are never edited in place; the user edits component cells only.
bool GridModel::IsCellEditable(int row, int col) const {
  return IsValid(row, col) && editable_ && !IsCellFixed(row, col) &&
         !(cells_.Attributes(row, col).state & kStateReadOnly);
}

int GridModel::GetRowHeight(int row) const {
  return row >= 0 && row < GetRowCount() ? row_heights_[row] : -1;
}

bool GridModel::SetRowHeight(int row, int height) {
  if (row < 0 || row >= GetRowCount() || height < 0)
    return false;
  row_heights_[row] = height;
  Notify(ChangeKind::kLayout, {row, 0, row, std::max(GetColumnCount() - 1, 0)});
  return true;
}

int GridModel::GetColumnWidth(int col) const {
  return col >= 0 && col < GetColumnCount() ? column_widths_[col] : -1;
}

bool GridModel::SetColumnWidth(int col, int width) {
  if (col < 0 || col >= GetColumnCount() || width < 0)
    return false;
  column_widths_[col] = width;
  Notify(ChangeKind::kLayout, {0, col, std::max(GetRowCount() - 1, 0), col});
  return true;
}

bool GridModel::SetFocusCell(int row, int col) {
  if (!IsValid(row, col))
    return false;
  const CellId old = focus_;
  focus_ = {row, col};
  if (old != focus_)
    Notify(ChangeKind::kFocus, CellBox(old, focus_));
  return true;
}

void GridModel::ClearFocusCell() {
  if (!focus_.IsValid())
    return;
  const CellId old = focus_;
  focus_ = {};
  Notify(ChangeKind::kFocus, CellBox(old, focus_));
}

// A range given corner to corner in any order is accepted; one reaching outside the table is not.
bool GridModel::SetSelectedRange(const CellRange& range) {
  CellRange sorted{std::min(range.top, range.bottom), std::min(range.left, range.right),
                   std::max(range.top, range.bottom), std::max(range.left, range.right)};
  if (!IsValid(sorted.top, sorted.left) || !IsValid(sorted.bottom, sorted.right))
    return false;
  const CellRange old = selection_;
  selection_ = sorted;
  if (old != selection_)
    Notify(ChangeKind::kSelection, Union(old, selection_));
  return true;
}

// Selects every component cell, not the headers.
void GridModel::SelectAll() {
  if (fixed_rows_ < GetRowCount() && fixed_cols_ < GetColumnCount())
    SetSelectedRange({fixed_rows_, fixed_cols_, GetRowCount() - 1, GetColumnCount() - 1});
  else
    ClearSelection();
}

void GridModel::ClearSelection() {
  if (selection_.IsEmpty())
    return;
  const CellRange old = selection_;
  selection_ = {};
  Notify(ChangeKind::kSelection, old);
}

bool GridModel::EnsureVisible(int row, int col) {
  if (!IsValid(row, col))
    return false;
  Notify(ChangeKind::kEnsureVisible, {row, col, row, col});
  return true;
}

int GridModel::AddListener(GridListener listener) {
  listeners_.emplace_back(next_listener_id_, std::move(listener));
  return next_listener_id_++;
}

// A listener may remove itself or another while a change is being delivered; its slot is then
// emptied and dropped after the delivery.
void GridModel::RemoveListener(int id) {
  for (auto& [key, listener] : listeners_)
    if (key == id)
      listener = nullptr;
  if (!delivering_)
    std::erase_if(listeners_, [](const auto& entry) { return !entry.second; });
}

void GridModel::BeginUpdate() {
  ++update_depth_;
}

// Delivers what changed during the update, merged: a structure change stands for every cell and
// layout change; cell changes come as one range covering them all.
void GridModel::EndUpdate() {
  assert(update_depth_ > 0);
  if (update_depth_ == 0 || --update_depth_ > 0 || pending_kinds_ == 0)
    return;
  const unsigned kinds = std::exchange(pending_kinds_, 0);
  const CellRange cells = std::exchange(pending_cells_, {});
  const CellRange visible = std::exchange(pending_visible_, {});
  if (kinds & KindBit(ChangeKind::kStructure)) {
    Deliver({ChangeKind::kStructure, {}});
  } else {
    if (kinds & KindBit(ChangeKind::kCells))
      Deliver({ChangeKind::kCells, cells});
    if (kinds & KindBit(ChangeKind::kLayout))
      Deliver({ChangeKind::kLayout, {}});
  }
  if (kinds & KindBit(ChangeKind::kSelection))
    Deliver({ChangeKind::kSelection, selection_});
  if (kinds & KindBit(ChangeKind::kFocus))
    Deliver({ChangeKind::kFocus, CellBox(focus_, {})});
  if ((kinds & KindBit(ChangeKind::kEnsureVisible)) && IsValid(visible.top, visible.left))
    Deliver({ChangeKind::kEnsureVisible, visible});
}

void GridModel::Notify(ChangeKind kind, CellRange range) {
  ++revision_;
  DebugCheck();
  if (update_depth_ == 0) {
    Deliver({kind, range});
    return;
  }
  // A pending structure change is delivered alone and stands for every cell, so a table filled
  // row by row inside one update merges no cell ranges.
  const bool structure_pending = pending_kinds_ & KindBit(ChangeKind::kStructure);
  pending_kinds_ |= KindBit(kind);
  if (kind == ChangeKind::kCells && !structure_pending)
    pending_cells_ = Union(pending_cells_, range);
  else if (kind == ChangeKind::kEnsureVisible)
    pending_visible_ = range;
}

void GridModel::Deliver(const GridChange& change) {
  ++delivering_;
  for (size_t i = 0; i < listeners_.size(); ++i)
    if (listeners_[i].second)
      listeners_[i].second(change);
  if (--delivering_ == 0)
    std::erase_if(listeners_, [](const auto& entry) { return !entry.second; });
}

// The cheap part of CheckInvariants, run on every change of a debug build; the per-row part is
// left to GridModelTester because it would make loading a large table quadratic.
void GridModel::DebugCheck() const {
  assert(fixed_rows_ >= 0 && fixed_rows_ <= GetRowCount());
  assert(fixed_cols_ >= 0 && fixed_cols_ <= GetColumnCount());
  assert(row_heights_.size() == static_cast<size_t>(GetRowCount()));
  assert(column_widths_.size() == static_cast<size_t>(GetColumnCount()));
  assert(!focus_.IsValid() || IsValid(focus_.row, focus_.col));
}

bool GridModel::CheckInvariants(std::string* problem) const {
  auto fail = [problem](const char* what) {
    if (problem)
      *problem = what;
    return false;
  };
  if (GetColumnCount() < 0)
    return fail("negative column count");
  if (fixed_rows_ < 0 || fixed_rows_ > GetRowCount())
    return fail("fixed row count outside the table");
  if (fixed_cols_ < 0 || fixed_cols_ > GetColumnCount())
    return fail("fixed column count outside the table");
  if (column_widths_.size() != static_cast<size_t>(GetColumnCount()))
    return fail("column data out of step with the columns");
  if (row_heights_.size() != static_cast<size_t>(GetRowCount()))
    return fail("row heights out of step with the rows");
  if (std::any_of(row_heights_.begin(), row_heights_.end(), [](int h) { return h < 0; }) ||
      std::any_of(column_widths_.begin(), column_widths_.end(), [](int w) { return w < 0; }))
    return fail("negative row height or column width");
  if ((focus_.row >= 0 || focus_.col >= 0) && !IsValid(focus_.row, focus_.col))
    return fail("focus cell outside the table");
  if (selection_ != CellRange{} &&
      (selection_.IsEmpty() || !IsValid(selection_.top, selection_.left) ||
       !IsValid(selection_.bottom, selection_.right)))
    return fail("selection outside the table");
  return true;
}

GridModelTester::GridModelTester(GridModel& model) : model_(model) {
  listener_ = model_.AddListener([this](const GridChange& change) { Check(change); });
  Check({ChangeKind::kStructure, {}});
}

GridModelTester::~GridModelTester() {
  model_.RemoveListener(listener_);
}

void GridModelTester::Check(const GridChange& change) {
  std::string problem;
  if (!model_.CheckInvariants(&problem))
    faults_.push_back(problem);
  if (change.kind == ChangeKind::kCells && !change.range.IsEmpty() &&
      (!model_.IsValid(change.range.top, change.range.left) ||
       !model_.IsValid(change.range.bottom, change.range.right)))
    faults_.push_back("changed cells reported outside the table");
  if (change.kind == ChangeKind::kEnsureVisible &&
      !model_.IsValid(change.range.top, change.range.left))
    faults_.push_back("scroll request for a cell outside the table");
}

}  // namespace zuro::table
