// The cells of the component table, stored for boards of a million cells: one 12-byte record per
// cell, the texts side by side in one buffer, and the cells' attributes (data, image, format,
// colours, state, font) kept once per distinct combination. A table read from a report has
// thousands of cells for every distinct set of attributes (each column's default, the marked
// check box), so a record per cell with a string of its own would cost several times the report.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zuro::table {

// Text-drawing flags of a cell. The values are those of the Win32 DT_* flags, so the view hands
// them to DrawText unchanged.
using CellFormat = std::uint32_t;
// A colour in COLORREF layout (0x00BBGGRR); kSystemColour lets the view pick the system colour.
using Colour = std::uint32_t;
inline constexpr Colour kSystemColour = 0xFF000000;
// Cell state flags.
using CellState = std::uint16_t;

inline constexpr CellFormat kFormatLeft = 0x0;
inline constexpr CellFormat kFormatCentre = 0x1;
inline constexpr CellFormat kFormatRight = 0x2;
inline constexpr CellFormat kFormatVCentre = 0x4;
inline constexpr CellFormat kFormatBottom = 0x8;
inline constexpr CellFormat kFormatWordBreak = 0x10;
inline constexpr CellFormat kFormatSingleLine = 0x20;
inline constexpr CellFormat kFormatNoPrefix = 0x800;
inline constexpr CellFormat kFormatEndEllipsis = 0x8000;
inline constexpr CellFormat kDefaultCellFormat =
    kFormatLeft | kFormatVCentre | kFormatSingleLine | kFormatNoPrefix | kFormatEndEllipsis;
inline constexpr CellFormat kDefaultHeadingFormat =
    kFormatCentre | kFormatVCentre | kFormatSingleLine;

inline constexpr CellState kStateReadOnly = 0x1;
inline constexpr CellState kStateModified = 0x2;

struct CellAttributes {
  std::int32_t data = 0;
  std::int32_t image = -1;  // index into the view's image list, -1 none
  CellFormat format = kDefaultCellFormat;
  Colour background = kSystemColour;
  Colour foreground = kSystemColour;
  CellState state = 0;
  std::uint16_t font = 0;  // 0 = the grid's font; other values are the view's font ids
  friend bool operator==(const CellAttributes&, const CellAttributes&) = default;
};

// Rows x columns of cells, column by column: a reader appends rows one by one and a window adds a
// column to a table of a hundred thousand rows, neither of which moves the other columns' cells.
// Positions are not checked: the grid model checks them first. A view of a text stays valid until
// the store is next changed.
class CellStore {
 public:
  // The most bytes of text a table holds (offsets are 32-bit); a text that would go beyond is not
  // stored.
  static constexpr size_t kMaxTextBytes = 0xFFFFFFFFu;

  int Rows() const { return rows_; }
  int Columns() const { return static_cast<int>(columns_.size()); }

  void Clear();
  // New rows and columns are empty cells with their column's attributes; new columns get the
  // default attributes with `format`.
  void Resize(int rows, int columns, CellFormat new_column_format);
  void InsertRow(int row);
  void EraseRow(int row);
  void InsertColumn(int col, CellFormat format);
  void EraseColumn(int col);
  // Room for this many rows and bytes of text, so that a reader that knows its report's size
  // fills the table without moving it.
  void Reserve(int rows, size_t text_bytes);

  std::string_view Text(int row, int col) const {
    const StoredCell& cell = columns_[col].cells[row];
    return {texts_.data() + cell.offset, cell.length};
  }
  // False, and the old text kept, only when the table's texts would outgrow kMaxTextBytes.
  bool SetText(int row, int col, std::string_view text);
  const CellAttributes& Attributes(int row, int col) const {
    return attribute_sets_[columns_[col].cells[row].attributes];
  }
  void SetAttributes(int row, int col, const CellAttributes& attributes);

  // For tests: the bytes the texts take and the distinct attribute sets kept.
  size_t TextBytes() const { return texts_.size(); }
  size_t AttributeSets() const { return attribute_sets_.size(); }

 private:
  struct StoredCell {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::uint32_t attributes = 0;  // index into attribute_sets_
  };
  struct Column {
    std::vector<StoredCell> cells;
    std::uint32_t attributes = 0;  // for new cells
  };
  struct AttributesHash {
    size_t operator()(const CellAttributes& a) const;
  };

  std::uint32_t Intern(const CellAttributes& attributes);
  void Forget(const StoredCell& cell) { unused_bytes_ += cell.length; }
  void CompactIfWasteful();
  void Compact();

  int rows_ = 0;
  std::vector<Column> columns_;
  size_t reserved_rows_ = 0;
  std::string texts_;
  size_t unused_bytes_ = 0;  // bytes of texts_ no cell refers to any more
  std::vector<CellAttributes> attribute_sets_;
  std::unordered_map<CellAttributes, std::uint32_t, AttributesHash> attribute_index_;
};

}  // namespace zuro::table
