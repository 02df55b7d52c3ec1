// The GOST split of the list of elements against the split as it was first written
// (tests/gost_split_reference.*): on many generated tables the whole list-of-elements run, every
// row in turn as generation_run.cpp calls it, must leave both copies of a table the same after
// every call, cell for cell, and return the same texts.
#include <gtest/gtest.h>

#include "tests/gost_split_reference.h"
#include "tests/table_text.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "generation/designators.h"
#include "generation/gost_split.h"
#include "base/leading_numbers.h"
#include "table/component_rows.h"
#include "table/grid_model.h"

namespace zuro::generation {
namespace {

// One component row as the generator writes it: its attribute texts and its marks.
struct RowDraft {
  std::string heading = " ";
  std::vector<std::string> texts;  // columns 1..
  int image = table::kMarked;
  int32_t row_mark = 0;
};

// A table and the way the run reads it: the columns the templates name for the designators and
// the quantity (a column past the table's last names nothing), and, when `columns_given`, the
// designator and count columns handed to the split whatever the references say.
struct TableDraft {
  int columns = 0;
  std::vector<RowDraft> rows;
  std::vector<int> designator_references;
  std::vector<int> count_references;
  bool columns_given = false;
  int designator_column = -1;
  int count_column = -1;
  // Between two rows' splits the table is sometimes edited by someone else.
  bool edits_between = false;
};

void Build(const TableDraft& draft, table::GridModel& table) {
  table::ResetComponentTable(table);
  for (int col = 1; col <= draft.columns; ++col)
    table.InsertColumn(col == 1 ? "RefDes" : "Column " + std::to_string(col));
  for (const RowDraft& draft_row : draft.rows) {
    const int row = table::AppendComponentRow(table);
    table.SetItemText(row, 0, draft_row.heading);
    for (size_t col = 0; col < draft_row.texts.size(); ++col)
      table.SetItemText(row, static_cast<int>(col) + 1, draft_row.texts[col]);
    table.SetItemImage(row, 0, draft_row.image);
    table.SetItemData(row, 0, draft_row.row_mark);
  }
}

// The first cell in which two tables differ in anything (text, image, data, format, colours,
// state, font), or "" when they are the same.
std::string FirstDifference(const table::GridModel& a, const table::GridModel& b) {
  if (a.GetRowCount() != b.GetRowCount() || a.GetColumnCount() != b.GetColumnCount())
    return "size " + std::to_string(a.GetRowCount()) + "x" + std::to_string(a.GetColumnCount()) +
           " against " + std::to_string(b.GetRowCount()) + "x" + std::to_string(b.GetColumnCount());
  for (int row = 0; row < a.GetRowCount(); ++row) {
    for (int col = 0; col < a.GetColumnCount(); ++col) {
      const table::Cell x = *a.GetCell(row, col);
      const table::Cell y = *b.GetCell(row, col);
      if (x.text != y.text || x.data != y.data || x.image != y.image || x.format != y.format ||
          x.background != y.background || x.foreground != y.foreground || x.state != y.state ||
          x.font != y.font)
        return "cell " + std::to_string(row) + "," + std::to_string(col) + ": \"" +
               std::string(x.text) + "\" " + std::to_string(x.image) + "/" +
               std::to_string(x.data) + " against \"" + std::string(y.text) + "\" " +
               std::to_string(y.image) + "/" + std::to_string(y.data);
    }
  }
  return "";
}

// The run's side, as RunTable composes it: each designator reference adds its cell and a blank
// (a reference past the table a blank alone), each count reference its cell and a blank; the last
// existing reference is the column the split writes.
struct ComposedRow {
  std::string count_text;
  std::string designator_text;
  int count_column = -1;
  int designator_column = -1;
};

ComposedRow Compose(const TableDraft& draft, const table::GridModel& table, int row) {
  ComposedRow composed;
  for (const int column : draft.designator_references) {
    if (column <= draft.columns) {
      composed.designator_text += table.GetItemText(row, column);
      composed.designator_column = column;
    }
    composed.designator_text += ' ';
  }
  composed.designator_text = JoinPairRanges(composed.designator_text);
  for (const int column : draft.count_references) {
    if (column <= draft.columns) {
      composed.count_text += table.GetItemText(row, column) + " ";
      composed.count_column = column;
    }
  }
  if (draft.columns_given) {
    composed.designator_column = draft.designator_column;
    composed.count_column = draft.count_column;
  }
  return composed;
}

bool TakesPart(const table::GridModel& table, int row) {
  return table.GetItemImage(row, 0) == table::kMarked && table.GetItemData(row, 0) != -1;
}

// Designators of a generated table: a few or many prefixes, numbers from a narrow or a wide
// range, so that lists interleave, and now and then the odd items a report may hold.
class DesignatorSource {
 public:
  DesignatorSource(std::mt19937& random) : random_(random) {
    static const std::vector<std::string> kCommon = {"R", "C", "VD", "DA", "L", "XS", "VT", "HL"};
    static const std::vector<std::string> kOdd = {"", "r", "R R", "RC", "Ж"};
    const int kinds = Pick(4);
    const int count = kinds == 0 ? 1 : kinds == 1 ? 1 + Pick(3) : kinds == 2 ? 4 + Pick(5) : 30;
    for (int i = 0; i < count; ++i) {
      if (kinds == 3)
        prefixes_.push_back(std::string(1, static_cast<char>('A' + i % 26)) +
                            std::string(i / 26, 'X'));
      else if (Pick(8) == 0)
        prefixes_.push_back(kOdd[Pick(static_cast<int>(kOdd.size()))]);
      else
        prefixes_.push_back(kCommon[Pick(static_cast<int>(kCommon.size()))]);
    }
    static const int kRanges[] = {3, 10, 40, 200, 1000, 1000000};
    numbers_ = kRanges[Pick(6)];
    odd_items_ = Pick(3) == 0;
  }

  int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

  std::string Prefix() { return prefixes_[Pick(static_cast<int>(prefixes_.size()))]; }
  int Number() { return Pick(numbers_) + (Pick(20) == 0 ? 0 : 1); }

  std::string Item() {
    const std::string prefix = Prefix();
    if (!odd_items_ || Pick(6) != 0)
      return prefix + std::to_string(Number());
    switch (Pick(9)) {
      case 0:
        return "";
      case 1:
        return " ";
      case 2:
        return prefix;  // no number
      case 3: {
        const int first = Number();
        return prefix + std::to_string(first) + "..." + prefix + std::to_string(first + 1);
      }
      case 4: {
        const int first = Number();
        return prefix + std::to_string(first) + "..." + prefix +
               std::to_string(first + Pick(6) - 1);
      }
      case 5:
        return "-" + std::to_string(Number());
      case 6:
        return prefix + std::to_string(Number()) + "A";
      case 7:
        return prefix + " " + std::to_string(Number());
      default:
        return prefix + std::to_string(Number()) + "..";
    }
  }

 private:
  std::mt19937& random_;
  std::vector<std::string> prefixes_;
  int numbers_ = 10;
  bool odd_items_ = false;
};

std::string JoinList(const std::vector<std::string>& items) {
  std::string list;
  for (size_t i = 0; i < items.size(); ++i)
    list += (i ? "," : "") + items[i];
  return list;
}

// The designator lists of `rows` rows: either a board whose designators are dealt out among the
// rows and each list sorted (as a report lists them), or lists drawn item by item, in any order.
std::vector<std::string> DesignatorLists(DesignatorSource& source,
                                         int rows,
                                         int longest,
                                         int single_rows) {
  std::vector<std::vector<std::string>> lists(rows);
  const auto length_of = [&] {
    return source.Pick(8) < single_rows ? 1 : 1 + source.Pick(longest);
  };
  const int style = source.Pick(4);
  if (style <= 1) {
    // A board: every row takes 1..longest designators of one or a few prefixes, ascending.
    for (auto& list : lists) {
      const int length = length_of();
      const std::string prefix = source.Prefix();
      std::vector<std::pair<std::string, int>> items;
      for (int i = 0; i < length; ++i) {
        const std::string own = source.Pick(5) == 0 ? source.Prefix() : prefix;
        items.emplace_back(own, source.Number());
      }
      std::sort(items.begin(), items.end(),
                [](const auto& a, const auto& b) { return a.second < b.second; });
      if (style == 1 && source.Pick(3) == 0)
        std::reverse(items.begin(), items.end());
      for (const auto& [own, number] : items)
        list.push_back(own + std::to_string(number));
      if (source.Pick(10) == 0)
        list.insert(list.begin() + source.Pick(static_cast<int>(list.size()) + 1), source.Item());
    }
  } else {
    for (auto& list : lists) {
      const int length = length_of();
      for (int i = 0; i < length; ++i)
        list.push_back(source.Item());
      if (style == 3 && !list.empty() && source.Pick(3) == 0)
        list.push_back(list[source.Pick(static_cast<int>(list.size()))]);  // a repeat
    }
  }
  std::vector<std::string> texts;
  for (const auto& list : lists)
    texts.push_back(source.Pick(40) == 0 ? "" : JoinList(list));
  return texts;
}

TableDraft DraftTable(std::mt19937& random) {
  DesignatorSource source(random);
  TableDraft draft;
  draft.columns = 2 + source.Pick(4);
  // Mostly small tables of short lists; now and then a few rows of long lists, or a board of a
  // few hundred rows, most of them a single designator (rows of a quantity of one are not split).
  const int size = source.Pick(100);
  int rows = 1 + source.Pick(8);
  int longest = 1 + source.Pick(8);
  int single_rows = 0;  // of every 8 rows, how many hold a single designator
  if (size >= 60 && size < 90) {
    rows = 8 + source.Pick(33);
    longest = 1 + source.Pick(12);
  } else if (size >= 90 && size < 97) {
    rows = 2 + source.Pick(9);
    longest = 1 + source.Pick(50);
  } else if (size >= 97) {
    rows = 100 + source.Pick(201);
    longest = 2 + source.Pick(5);
    single_rows = 7;
  }
  // The references: one designators column as a rule; at times another column before it (the
  // list is then both cells joined by a blank) or one past the table. The other column holds a
  // single item: a list of its own there would come back whole in every copy's composed list,
  // and its cuts would never end.
  const int designators = 1 + source.Pick(draft.columns);
  draft.designator_references = {designators};
  if (source.Pick(10) == 0)
    draft.designator_references.insert(
        draft.designator_references.begin(),
        source.Pick(3) == 0 ? draft.columns + 1 : designators % draft.columns + 1);
  if (source.Pick(15) == 0)
    draft.designator_references.push_back(draft.columns + 1);
  const int count_choice = source.Pick(10);
  int count = 1 + source.Pick(draft.columns);
  if (count == designators && count_choice < 7)
    count = designators == 1 ? 2 : 1;
  if (count_choice == 7)
    count = designators;  // the quantity read from the designators' own column
  if (count_choice < 9)
    draft.count_references = {count};
  else
    draft.count_references = {draft.columns + 1};  // no count column
  // Columns handed over as no reference gives them: a designators column that is none, and any
  // count column. (A designators column other than the one the list is composed from would give
  // every copy the whole list again.)
  if (source.Pick(25) == 0) {
    static const int kDesignatorColumns[] = {-1, 0, 1000};
    static const int kCountColumns[] = {-1, 0, 1, 2, 3, 7, 1000};
    draft.columns_given = true;
    draft.designator_column = source.Pick(2) ? designators : kDesignatorColumns[source.Pick(3)];
    draft.count_column = kCountColumns[source.Pick(7)];
  }
  draft.edits_between = source.Pick(20) == 0;

  const std::vector<std::string> lists = DesignatorLists(source, rows, longest, single_rows);
  for (int row = 0; row < rows; ++row) {
    RowDraft row_draft;
    if (source.Pick(30) == 0)
      row_draft.heading = "*";
    for (int col = 1; col <= draft.columns; ++col)
      row_draft.texts.push_back("T" + std::to_string(row) + "." + std::to_string(col));
    row_draft.texts[designators - 1] = lists[row];
    if (draft.designator_references.size() > 1 && draft.designator_references[0] <= draft.columns &&
        draft.designator_references[0] != designators)
      row_draft.texts[draft.designator_references[0] - 1] = source.Item();
    if (count <= draft.columns && count != designators) {
      const int64_t designators_count = CountDesignators(lists[row]);
      static const std::vector<std::string> kOdd = {"", "1", "0", "x", "-2", "100", "3 "};
      row_draft.texts[count - 1] = source.Pick(8) == 0
                                       ? kOdd[source.Pick(static_cast<int>(kOdd.size()))]
                                       : std::to_string(designators_count);
    }
    const int marks = source.Pick(20);
    row_draft.image = marks == 0 ? table::kUnmarked : table::kMarked;
    row_draft.row_mark = marks == 1 ? -1 : marks == 2 ? 7 : 0;
    draft.rows.push_back(std::move(row_draft));
  }
  return draft;
}

// The split under test for one run over one table: row w and what the run composed for it.
using Split = std::function<GostSplitResult(int, const ComposedRow&)>;
using MakeSplit = std::function<Split(table::GridModel&)>;

// Someone else's edit between two rows' splits: a designator cell rewritten, or a row appended.
struct Edit {
  int row = 0;  // the row count appends one
  std::string list;
};

Edit DrawEdit(const table::GridModel& table, std::mt19937& random) {
  return {1 + static_cast<int>(random() % static_cast<unsigned>(table.GetRowCount())),
          "R" + std::to_string(random() % 20) + ",R" + std::to_string(random() % 20)};
}

void Apply(const TableDraft& draft, const Edit& edit, table::GridModel& table) {
  const int column = draft.designator_references.back();
  if (column > draft.columns)
    return;
  if (edit.row == table.GetRowCount())
    table::AppendComponentRow(table);
  table.SetItemText(edit.row, column, edit.list);
}

// Far more rows than any generated table can be cut into.
constexpr int kRunawayRows = 50000;

// Runs the list's split over both copies of one table, row by row as the generation run does,
// and compares after every call. Returns false on the first difference.
bool RunsAlike(const TableDraft& draft, int seed, const MakeSplit& make_split) {
  table::GridModel reference;
  table::GridModel indexed;
  Build(draft, reference);
  Build(draft, indexed);
  const std::string before = testing_support::TableText(reference);
  const Split split = make_split(indexed);
  std::mt19937 edits(seed);
  int calls = 0;
  for (int w = 1; w < reference.GetRowCount(); ++w) {
    if (!TakesPart(reference, w))
      continue;
    const ComposedRow composed = Compose(draft, reference, w);
    if (LeadingInteger(composed.count_text) <= 1)
      continue;
    if (reference.GetRowCount() > kRunawayRows) {
      ADD_FAILURE() << "seed " << seed << ": the split goes on without end";
      return false;
    }
    const GostSplitResult expected = testing_support::quadratic::GostSplit(
        reference, w, composed.designator_column, composed.count_column, composed.count_text,
        composed.designator_text);
    const GostSplitResult result = split(w, composed);
    ++calls;
    const std::string difference = FirstDifference(reference, indexed);
    if (result.count_text != expected.count_text ||
        result.designator_text != expected.designator_text || !difference.empty()) {
      ADD_FAILURE() << "seed " << seed << ", row " << w << " (call " << calls << ")\n"
                    << "returned \"" << result.count_text << "\" \"" << result.designator_text
                    << "\", expected \"" << expected.count_text << "\" \""
                    << expected.designator_text << "\"\n"
                    << (difference.empty() ? "" : difference + "\n") << "table before:\n"
                    << before << "expected now:\n"
                    << testing_support::TableText(reference) << "indexed now:\n"
                    << testing_support::TableText(indexed);
      return false;
    }
    if (draft.edits_between && edits() % 3 == 0) {
      const Edit edit = DrawEdit(reference, edits);
      Apply(draft, edit, reference);
      Apply(draft, edit, indexed);
    }
  }
  return true;
}

// Each test runs its split over the tables of the seeds from 1 to `tables`.
void ExpectAlike(int tables, const MakeSplit& make_split) {
  for (int seed = 1; seed <= tables; ++seed) {
    std::mt19937 random(seed);
    const TableDraft draft = DraftTable(random);
    ASSERT_TRUE(RunsAlike(draft, seed, make_split)) << "seed " << seed;
  }
}

// As the generation run splits a list: one splitter, whose index lives from row to row.
TEST(GostSplitReferenceTest, OneSplitterForTheWholeListMatchesTheQuadraticRule) {
  ExpectAlike(3000, [](table::GridModel& table) -> Split {
    auto splitter = std::make_shared<GostSplitter>(table);
    return [splitter](int w, const ComposedRow& composed) {
      return splitter->Split(w, composed.designator_column, composed.count_column,
                             composed.count_text, composed.designator_text);
    };
  });
}

// Each row's split alone, its index built for it.
TEST(GostSplitReferenceTest, EachRowSplitAloneMatchesTheQuadraticRule) {
  ExpectAlike(500, [](table::GridModel& table) -> Split {
    return [&table](int w, const ComposedRow& composed) {
      return GostSplit(table, w, composed.designator_column, composed.count_column,
                       composed.count_text, composed.designator_text);
    };
  });
}

// A list composed of the designators column and another column of several items: every copy a
// cut makes brings the other column's list along, and the run composes and cuts it again. The
// run must still end, with a bounded table.
TEST(GostSplitReferenceTest, ListsComposedWithAnotherColumnOfManyItemsStillEnd) {
  for (int seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    TableDraft draft = DraftTable(random);
    const int designators = draft.designator_references.back();
    if (designators > draft.columns)
      continue;
    const int other = designators % draft.columns + 1;
    draft.designator_references = {other, designators};
    for (size_t row = 0; row < draft.rows.size(); ++row)
      draft.rows[row].texts[other - 1] =
          "R" + std::to_string(row % 7 + 1) + ",R" + std::to_string(row % 5 + 9) + ",C3";
    table::GridModel table;
    Build(draft, table);
    // Each split shares out at most the items of the list it is given; the rows it appends
    // stay far below this.
    int64_t items = 0;
    for (int row = 1; row < table.GetRowCount(); ++row)
      items += static_cast<int64_t>(DesignatorItems(table.ItemText(row, designators)).size() +
                                    DesignatorItems(table.ItemText(row, other)).size());
    const int64_t bound = table.GetRowCount() + 4 * items + 1000;
    GostSplitter splitter(table);
    for (int w = 1; w < table.GetRowCount(); ++w) {
      ASSERT_LE(table.GetRowCount(), bound) << "seed " << seed << ": no end";
      if (!TakesPart(table, w))
        continue;
      const ComposedRow composed = Compose(draft, table, w);
      if (LeadingInteger(composed.count_text) <= 1)
        continue;
      splitter.Split(w, composed.designator_column, composed.count_column, composed.count_text,
                     composed.designator_text);
    }
  }
}

}  // namespace
}  // namespace zuro::generation
