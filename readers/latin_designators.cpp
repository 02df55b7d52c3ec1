#include "readers/latin_designators.h"

#include <algorithm>
#include <vector>

#include "readers/csv_reader.h"
#include "readers/designator_lists.h"

namespace zuro::readers {

namespace {

// The look-alikes in code page 1251 and their Latin twins, letter for letter.
constexpr std::string_view kCyrillic = "АВЕКМНОРСТХавекмнорстх";
constexpr std::string_view kLatin = "ABEKMHOPCTXabekmhopctx";
static_assert(kCyrillic.size() == kLatin.size());

bool EndsDesignator(char c) {
  return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A designator is rewritten only when each byte outside ASCII is a look-alike letter, and one is.
void RewriteDesignator(std::string& text, size_t start, size_t end) {
  bool lookalike = false;
  for (size_t i = start; i < end; ++i) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) < 0x80)
      continue;
    if (kCyrillic.find(c) == std::string_view::npos)
      return;
    lookalike = true;
  }
  if (!lookalike)
    return;
  for (size_t i = start; i < end; ++i) {
    if (const size_t at = kCyrillic.find(text[i]); at != std::string_view::npos)
      text[i] = kLatin[at];
  }
}

// The OrCAD window's lists write a run of two as two items; the others write it as a run.
std::string JoinedAgain(std::string_view list, LibraryCommand command) {
  const std::vector<std::string> designators = ExpandDesignators(list);
  if (designators.size() < 3)
    return std::string(list);
  const std::vector<std::string_view> ordered(designators.begin(), designators.end());
  const std::string joined = JoinRuns(ordered);
  return command == LibraryCommand::kOrcad ? JoinPairRanges(joined) : joined;
}

bool IsOrcadReferenceName(std::string_view name) {
  return name == "Reference" || name == "Part Reference" || name == "RefDes";
}

// The columns each window's reader writes designators into.
bool IsDesignatorColumn(int column, const ReportAttributes& attributes, LibraryCommand command) {
  if (column == attributes.refdes_column)
    return true;
  const std::string& name = attributes.names[static_cast<size_t>(column - 1)];
  switch (command) {
    case LibraryCommand::kOrcad:
      return IsOrcadReferenceName(name);
    case LibraryCommand::kProtel:
    case LibraryCommand::kAltiumDesigner:
    case LibraryCommand::kAllegro:
      return IsReferenceColumnName(name);
    default:
      return false;
  }
}

}  // namespace

std::string LatinDesignatorText(std::string_view text) {
  std::string latin(text);
  for (size_t start = 0; start < latin.size();) {
    size_t end = start;
    while (end < latin.size() && !EndsDesignator(latin[end]))
      ++end;
    RewriteDesignator(latin, start, end);
    start = end + 1;
  }
  return latin;
}

int UseLatinDesignators(table::GridModel& table,
                        const ReportAttributes& attributes,
                        LibraryCommand command) {
  int changed = 0;
  const int columns =
      std::min(table.GetColumnCount(), static_cast<int>(attributes.names.size()) + 1);
  for (int column = 1; column < columns; ++column) {
    if (!IsDesignatorColumn(column, attributes, command))
      continue;
    for (int row = 1; row < table.GetRowCount(); ++row) {
      const std::string_view cell = table.ItemText(row, column);
      const std::string latin = LatinDesignatorText(cell);
      if (latin == cell)
        continue;
      table.SetItemText(row, column, JoinedAgain(latin, command));
      ++changed;
    }
  }
  return changed;
}

}  // namespace zuro::readers
