#include "table/replace_step.h"

namespace zuro::table {

namespace {

// The first row from `from` on whose cell in `column` holds the text, letter case significant;
// 0 when none does.
int FindMatch(const GridModel& table, int column, int from, const std::string& text) {
  for (int row = from; row < table.GetRowCount(); ++row) {
    if (table.GetItemText(row, column).find(text) != std::string::npos)
      return row;
  }
  return 0;
}

// The pending match gets its replacement, only the first occurrence of the text, unless it is
// passed over; either way its highlight goes. A cell that no longer holds the text (it cannot
// be edited while the dialog is open) keeps its text.
void SettlePending(GridModel& table, ReplaceState& state) {
  const int row = state.pending_row;
  std::string text = table.GetItemText(row, state.column);
  const size_t at = text.find(state.find_text);
  if (!state.skip && at != std::string::npos && !state.find_text.empty()) {
    text.replace(at, state.find_text.size(), state.replacement_text);
    table.SetItemText(row, state.column, text);
  }
  table.SetItemBkColour(row, state.column, kPlainColour);
  state.pending_row = 0;
}

}  // namespace

// The first step of a search only shows a match; each further step settles the shown one and
// shows the next. With `all` on, matches are settled as they are found, to the end of the table.
// An empty find text would match every cell and replace nothing: it finishes at once.
void ReplaceStep(GridModel& table, ReplaceState& state) {
  if (state.column > 0) {
    GridUpdate update(table);
    for (;;) {
      if (state.pending_row > 0) {
        SettlePending(table, state);
        continue;
      }
      if (state.finished || state.next_row >= table.GetRowCount() || state.find_text.empty()) {
        state.Finish();
        break;
      }
      const int match =
          FindMatch(table, state.column, std::max(state.next_row, 1), state.find_text);
      if (match == 0) {
        state.Finish();
        break;
      }
      table.EnsureVisible(match, state.column);
      table.SetItemBkColour(match, state.column, kMatchColour);
      state.pending_row = match;
      state.next_row = match + 1;
      if (!state.all)
        break;
    }
  }
  state.skip = false;
  state.all = false;
}

}  // namespace zuro::table
