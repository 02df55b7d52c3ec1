#include "table/table_file.h"

#include <algorithm>
#include <cstdio>

#include "base/file_system.h"
#include "base/text_file.h"
#include "table/component_rows.h"

namespace zuro::table {

namespace {

// The cells of a line: the pieces after each "#", without line feeds. What stands before the
// first "#" is no cell.
std::vector<std::string_view> CellsOf(std::string_view line) {
  std::vector<std::string_view> cells;
  size_t mark = line.find('#');
  while (mark != std::string_view::npos) {
    const size_t next = line.find('#', mark + 1);
    const size_t end = next == std::string_view::npos ? line.size() : next;
    cells.push_back(line.substr(mark + 1, end - mark - 1));
    mark = next;
  }
  return cells;
}

std::string WithoutLineFeeds(std::string_view text) {
  std::string result(text);
  std::erase(result, '\n');
  return result;
}

}  // namespace

// "#" opens every cell, so an empty cell shows as two adjacent "#" and a line always begins with
// one; a table of only the mark column gives empty lines.
std::vector<std::string> TableFileText(const GridModel& table) {
  std::vector<std::string> lines;
  lines.reserve(table.GetRowCount());
  for (int row = 0; row < table.GetRowCount(); ++row) {
    std::string line;
    for (int col = 1; col < table.GetColumnCount(); ++col)
      line += "#" + table.GetItemText(row, col);
    lines.push_back(std::move(line));
  }
  return lines;
}

bool WriteTableFile(const std::string& path, const GridModel& table) {
  const std::vector<std::string> lines = TableFileText(table);
  return ReplaceFileContents(path, [&](std::FILE* file) {
    for (const std::string& line : lines) {
      const std::string text = line + "\r\n";
      if (std::fwrite(text.data(), 1, text.size(), file) != text.size())
        return false;
    }
    return true;
  });
}

// Lines are read whole, whatever their length: the library writes its rows without a limit, and
// a long row cut in two would come back as two components. A cell's text that held "#" comes
// back as two cells, and one that held a line feed without it. A title line of more cells than
// a table file can have gets no columns beyond them, so a stray file cannot use up the memory.
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
        titles.push_back(WithoutLineFeeds(cell));
        table.InsertColumn(titles.back(), kColumnTitleFormat);
      }
      continue;
    }
    const int row = AppendComponentRow(table);
    const int filled = std::min<int>(static_cast<int>(cells.size()), table.GetColumnCount() - 1);
    for (int cell = 0; cell < filled; ++cell)
      table.SetItemText(row, cell + 1, WithoutLineFeeds(cells[cell]));
  }
  return read;
}

}  // namespace zuro::table
