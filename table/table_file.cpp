#include "table/table_file.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "base/file_system.h"
#include "base/text_file.h"
#include "table/component_rows.h"

namespace zuro::table {

namespace {

// "#" opens a cell, so a "#" of a cell's own text (a part number such as LT1460KCS3-10#TRPBF)
// would split the cell in two on reading and move every later cell of its row one column on. It
// is written as the one byte that code page 1251 leaves unassigned, which no text of the library
// holds, and read back as "#".
constexpr char kCellMark = '#';
constexpr char kMarkInCell = '\x98';

// The cells of a line: the pieces after each "#", without line feeds. What stands before the
// first "#" is no cell.
std::vector<std::string_view> CellsOf(std::string_view line) {
  std::vector<std::string_view> cells;
  size_t mark = line.find(kCellMark);
  while (mark != std::string_view::npos) {
    const size_t next = line.find(kCellMark, mark + 1);
    const size_t end = next == std::string_view::npos ? line.size() : next;
    cells.push_back(line.substr(mark + 1, end - mark - 1));
    mark = next;
  }
  return cells;
}

// A cell's text as read: without line feeds, its own "#" back in place.
std::string CellText(std::string_view piece) {
  std::string text(piece);
  std::erase(text, '\n');
  std::replace(text.begin(), text.end(), kMarkInCell, kCellMark);
  return text;
}

}  // namespace

// "#" opens every cell, so an empty cell shows as two adjacent "#" and a line always begins with
// one; a table of only the mark column gives empty lines.
void AppendTableFileLine(const GridModel& table, int row, std::string& text) {
  for (int col = 1; col < table.GetColumnCount(); ++col) {
    text += kCellMark;
    const size_t start = text.size();
    text += table.ItemText(row, col);
    std::replace(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), kCellMark,
                 kMarkInCell);
  }
}

std::vector<std::string> TableFileText(const GridModel& table) {
  std::vector<std::string> lines(table.GetRowCount());
  for (int row = 0; row < table.GetRowCount(); ++row)
    AppendTableFileLine(table, row, lines[row]);
  return lines;
}

// The lines go out in pieces of a few hundred kilobytes: a table of a million cells is never
// held twice.
bool WriteTableText(std::FILE* file, const GridModel& table, std::string_view line_end) {
  constexpr size_t kPiece = 256 * 1024;
  std::string piece;
  piece.reserve(2 * kPiece);
  const auto flush = [&] {
    const bool written = std::fwrite(piece.data(), 1, piece.size(), file) == piece.size();
    piece.clear();
    return written;
  };
  for (int row = 0; row < table.GetRowCount(); ++row) {
    AppendTableFileLine(table, row, piece);
    piece += line_end;
    if (piece.size() >= kPiece && !flush())
      return false;
  }
  return piece.empty() || flush();
}

bool WriteTableFile(const std::string& path, const GridModel& table) {
  return ReplaceFileContents(path,
                             [&](std::FILE* file) { return WriteTableText(file, table, "\r\n"); });
}

// Lines are read whole, whatever their length: the library writes its rows without a limit, and
// a long row cut in two would come back as two components. A cell's text that held a line feed
// comes back without it; a "#" written by an earlier version inside a cell, as two cells. A title
// line of more cells than a table file can have gets no columns beyond them, so a stray file cannot
// use up the memory.
int ReadTableFile(std::string_view text, GridModel& table, std::vector<std::string>& titles) {
  GridUpdate update(table);
  ResetComponentTable(table);
  titles.clear();
  TextLines lines(text);
  int read = 0;
  for (std::string line; lines.Read(line); ++read) {
    const std::vector<std::string_view> cells = CellsOf(line);
    if (read == 0) {
      for (const std::string_view cell : cells) {
        if (table.GetColumnCount() > kMaxTableFileColumns)
          break;
        titles.push_back(CellText(cell));
        table.InsertColumn(titles.back(), kColumnTitleFormat);
      }
      continue;
    }
    const int row = AppendComponentRow(table);
    const int filled = std::min<int>(static_cast<int>(cells.size()), table.GetColumnCount() - 1);
    for (int cell = 0; cell < filled; ++cell)
      table.SetItemText(row, cell + 1, CellText(cells[cell]));
  }
  return read;
}

}  // namespace zuro::table
