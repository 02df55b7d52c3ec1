// Clipboard text of the grid: paste into the table from the focus cell on, copy and cut a range.
#include <algorithm>

#include "table/grid_model.h"

namespace zuro::table {

namespace {

std::string_view TrimBlanks(std::string_view piece) {
  const size_t first = piece.find_first_not_of(' ');
  if (first == std::string_view::npos)
    return {};
  const size_t last = piece.find_last_not_of(' ');
  return piece.substr(first, last - first + 1);
}

// Splits the clipboard text into lines at CR LF, a lone LF or a lone CR; a final line break
// does not start another line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n')
      ++start;
  }
  return lines;
}

// Writes the pieces of one line into the row from `col` on. An empty piece takes no cell, so
// "R1,,R2" fills two neighbouring cells; a piece of blanks is trimmed to an empty text and does
// take its cell, so "R1, ,R2" clears the cell between R1 and R2.
int PasteLine(GridModel& model, int row, int col, std::string_view line) {
  int written = 0;
  size_t start = 0;
  while (start <= line.size() && col < model.GetColumnCount()) {
    size_t end = line.find_first_of("\t,\n", start);
    if (end == std::string_view::npos)
      end = line.size();
    const std::string_view raw = line.substr(start, end - start);
    start = end + 1;
    if (raw.empty())
      continue;
    const std::string_view piece = TrimBlanks(raw);
    if (model.IsCellEditable(row, col) && model.SetItemText(row, col, piece))
      ++written;
    ++col;
  }
  return written;
}

}  // namespace

int PasteText(GridModel& model, CellId origin, std::string_view text) {
  if (!model.IsValid(origin.row, origin.col))
    return 0;
  GridUpdate batch(model);
  int written = 0;
  int row = origin.row;
  for (std::string_view line : SplitLines(text)) {
    if (row >= model.GetRowCount())
      break;
    written += PasteLine(model, row++, origin.col, line);
  }
  return written;
}

namespace {

// The part of a range that lies inside the table; empty when none does.
CellRange ClipToTable(const GridModel& model, const CellRange& range) {
  if (range.IsEmpty())
    return {};
  CellRange clipped{std::max(range.top, 0), std::max(range.left, 0),
                    std::min(range.bottom, model.GetRowCount() - 1),
                    std::min(range.right, model.GetColumnCount() - 1)};
  return clipped.IsEmpty() ? CellRange{} : clipped;
}

}  // namespace

std::string CopyText(const GridModel& model, const CellRange& range) {
  const CellRange cells = ClipToTable(model, range);
  if (cells.IsEmpty())
    return {};
  std::string text;
  for (int row = cells.top; row <= cells.bottom; ++row) {
    for (int col = cells.left; col <= cells.right; ++col) {
      if (col > cells.left)
        text += '\t';
      text += model.GetItemText(row, col);
    }
    text += "\r\n";
  }
  return text;
}

std::string CutText(GridModel& model, const CellRange& range) {
  const CellRange cells = ClipToTable(model, range);
  std::string text = CopyText(model, cells);
  if (text.empty())
    return text;
  GridUpdate batch(model);
  for (int row = cells.top; row <= cells.bottom; ++row)
    for (int col = cells.left; col <= cells.right; ++col)
      if (model.IsCellEditable(row, col))
        model.SetItemText(row, col, "");
  return text;
}

}  // namespace zuro::table
