// Table files (".tbl"): the component table with all its edits, one line per table row, header
// row first, each line the cells of columns 1.. each preceded by "#" (a "#" of a cell's own text
// written as the byte 0x98). The mark column is not stored: a table read back has every row
// marked.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "table/grid_model.h"

namespace zuro::table {

// A table file has at most this many columns: the hundred attributes a report can name and the
// two quantity columns.
inline constexpr int kMaxTableFileColumns = 102;

// The lines of the table's file, without line ends, in code page 1251.
std::vector<std::string> TableFileText(const GridModel& table);
// Appends the line of one row, without its line end.
void AppendTableFileLine(const GridModel& table, int row, std::string& text);
// Writes the table's lines (code page 1251), each ended by `line_end`; false when a write failed.
bool WriteTableText(std::FILE* file, const GridModel& table, std::string_view line_end);

// Writes the table's file, lines ended by CR LF, into a temporary file beside `path` that replaces
// the old file only once it is whole. False when it could not be written; the old file stays.
bool WriteTableFile(const std::string& path, const GridModel& table);

// Rebuilds the table from a table file's text (code page 1251): the first line's cells become the
// column titles, returned in `titles`, every further line a marked component row. Returns the
// number of lines read; 0 leaves the title row only.
int ReadTableFile(std::string_view text, GridModel& table, std::vector<std::string>& titles);

}  // namespace zuro::table
