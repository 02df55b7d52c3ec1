// The component table's data: rows x columns of cells with their texts, images, data values,
// colours and formats, the fixed header rows and columns, the focus cell and the selection.
// Portable; the Win32 CGridCtrl draws and edits it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/cell_store.h"

namespace zuro::table {

// A cell as the views see it: its attributes and a view of its text (code page 1251), valid until
// the model is next changed.
struct Cell : CellAttributes {
  std::string_view text;
};

struct CellId {
  int row = -1;
  int col = -1;
  bool IsValid() const { return row >= 0 && col >= 0; }
  friend bool operator==(const CellId&, const CellId&) = default;
};

// Inclusive range of cells; empty when top < 0.
struct CellRange {
  int top = -1;
  int left = -1;
  int bottom = -1;
  int right = -1;
  bool IsEmpty() const { return top < 0 || left < 0 || bottom < top || right < left; }
  bool Contains(int row, int col) const {
    return !IsEmpty() && row >= top && row <= bottom && col >= left && col <= right;
  }
  friend bool operator==(const CellRange&, const CellRange&) = default;
};

enum class ChangeKind {
  kCells,          // texts or attributes of the cells in range changed
  kStructure,      // rows or columns were added, removed or fixed; redraw everything
  kLayout,         // row heights or column widths changed
  kFocus,          // the focus cell moved (range: old and new focus cells)
  kSelection,      // the selection changed
  kEnsureVisible,  // a request to the views: scroll range.top/range.left into view
};

struct GridChange {
  ChangeKind kind;
  CellRange range;
};

using GridListener = std::function<void(const GridChange&)>;

class GridModel {
 public:
  GridModel();
  GridModel(int rows, int cols, int fixed_rows = 0, int fixed_cols = 0);
  virtual ~GridModel();
  GridModel(const GridModel&) = delete;
  GridModel& operator=(const GridModel&) = delete;

  // Size and fixed headers.
  bool SetRowCount(int rows);
  bool SetColumnCount(int cols);
  bool SetFixedRowCount(int rows);
  bool SetFixedColumnCount(int cols);
  int GetRowCount() const { return cells_.Rows(); }
  int GetColumnCount() const { return cells_.Columns(); }
  int GetFixedRowCount() const { return fixed_rows_; }
  int GetFixedColumnCount() const { return fixed_cols_; }
  bool IsValid(int row, int col) const;
  bool IsCellFixed(int row, int col) const;

  // Structure. Inserts return the new row or column, or -1; position -1 appends.
  int InsertColumn(std::string_view heading,
                   CellFormat format = kDefaultHeadingFormat,
                   int position = -1);
  int InsertRow(std::string_view heading, int position = -1);
  bool DeleteRow(int row);
  bool DeleteColumn(int col);
  bool DeleteAllItems();
  // Room for this many rows and bytes of cell text: a reader that knows its report's size fills
  // the table without moving it.
  void Reserve(int rows, size_t text_bytes) { cells_.Reserve(rows, text_bytes); }

  // Cells. Setters return false outside the table; getters return "", -1 or the defaults there.
  std::string GetItemText(int row, int col) const { return std::string(ItemText(row, col)); }
  // The text without a copy, valid until the model is next changed.
  std::string_view ItemText(int row, int col) const;
  bool SetItemText(int row, int col, std::string_view text);
  int GetItemImage(int row, int col) const;
  bool SetItemImage(int row, int col, int image);
  std::int32_t GetItemData(int row, int col) const;
  bool SetItemData(int row, int col, std::int32_t data);
  CellFormat GetItemFormat(int row, int col) const;
  bool SetItemFormat(int row, int col, CellFormat format);
  Colour GetItemBkColour(int row, int col) const;
  bool SetItemBkColour(int row, int col, Colour colour);
  Colour GetItemFgColour(int row, int col) const;
  bool SetItemFgColour(int row, int col, Colour colour);
  CellState GetItemState(int row, int col) const;
  bool SetItemState(int row, int col, CellState state);
  int GetItemFont(int row, int col) const;
  bool SetItemFont(int row, int col, int font);
  bool IsCellEditable(int row, int col) const;
  std::optional<Cell> GetCell(int row, int col) const;

  // Whole-grid editing switch (cells are editable by default).
  void SetEditable(bool editable) { editable_ = editable; }
  bool IsEditable() const { return editable_; }

  // Layout: 0 means the view's default size.
  int GetRowHeight(int row) const;
  bool SetRowHeight(int row, int height);
  int GetColumnWidth(int col) const;
  bool SetColumnWidth(int col, int width);

  // Focus cell and selection.
  CellId GetFocusCell() const { return focus_; }
  bool SetFocusCell(int row, int col);
  void ClearFocusCell();
  CellRange GetSelectedRange() const { return selection_; }
  bool SetSelectedRange(const CellRange& range);
  void SelectAll();
  void ClearSelection();

  // Asks the views to scroll the cell into view; false outside the table.
  bool EnsureVisible(int row, int col);

  // Change notification for views.
  int AddListener(GridListener listener);
  void RemoveListener(int id);
  std::uint64_t Revision() const { return revision_; }
  void BeginUpdate();
  void EndUpdate();

  // Consistency of the whole table; `problem` receives the first fault found.
  bool CheckInvariants(std::string* problem = nullptr) const;

 private:
  // Changes one attribute of a cell; false outside the table.
  template <typename Change>
  bool ChangeAttributes(int row, int col, Change change);
  void ClipFocusAndSelection();
  void Notify(ChangeKind kind, CellRange range);
  void NotifyCell(int row, int col) { Notify(ChangeKind::kCells, {row, col, row, col}); }
  void NotifyStructure() { Notify(ChangeKind::kStructure, {}); }
  void Deliver(const GridChange& change);
  void DebugCheck() const;

  CellStore cells_;
  int fixed_rows_ = 0;
  int fixed_cols_ = 0;
  std::vector<int> row_heights_;
  std::vector<int> column_widths_;
  CellId focus_;
  CellRange selection_;
  bool editable_ = true;

  std::vector<std::pair<int, GridListener>> listeners_;
  int next_listener_id_ = 1;
  int delivering_ = 0;
  std::uint64_t revision_ = 0;
  int update_depth_ = 0;
  unsigned pending_kinds_ = 0;
  CellRange pending_cells_;
  CellRange pending_visible_;
};

// Holds a model's notifications while it lives and delivers them merged at its end.
class GridUpdate {
 public:
  explicit GridUpdate(GridModel& model) : model_(model) { model_.BeginUpdate(); }
  ~GridUpdate() { model_.EndUpdate(); }
  GridUpdate(const GridUpdate&) = delete;
  GridUpdate& operator=(const GridUpdate&) = delete;

 private:
  GridModel& model_;
};

// Watches a model and checks all its invariants after every notification, keeping the first
// faults found. Tests and debug builds attach one to catch a broken model at the change that
// broke it.
class GridModelTester {
 public:
  explicit GridModelTester(GridModel& model);
  ~GridModelTester();
  GridModelTester(const GridModelTester&) = delete;
  GridModelTester& operator=(const GridModelTester&) = delete;
  const std::vector<std::string>& Faults() const { return faults_; }

 private:
  void Check(const GridChange& change);

  GridModel& model_;
  int listener_ = 0;
  std::vector<std::string> faults_;
};

// Writes clipboard text into the table from `origin` on: each line to the next row, each line
// cut into cells at tabs, commas and line feeds; empty pieces are skipped, pieces are trimmed of
// blanks, and cells outside the table or read-only are left alone. Returns the cells written.
int PasteText(GridModel& model, CellId origin, std::string_view text);

// The texts of a range as clipboard text: cells separated by tabs, rows ended by CR LF.
std::string CopyText(const GridModel& model, const CellRange& range);

// Copies the range, then empties its editable non-fixed cells. Returns the copied text.
std::string CutText(GridModel& model, const CellRange& range);

}  // namespace zuro::table
